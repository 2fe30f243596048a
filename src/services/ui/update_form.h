#pragma once
// The windows and desktop services of the online update and the support
// mail: "TformAutoUpdate" (the update's question), "TProgressForm" (the
// download), and the Qt desktop that
// opens addresses and files with their default handlers, places files on
// the clipboard and runs an installer.

#include <QDialog>

#include "common/settings_keys.h"
#include "services/desktop.h"
#include "services/version_update.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lagrull {

inline constexpr int kHelpOppdatering = 70;

class TformAutoUpdate : public QDialog, public TAutoUpdateStep {
    Q_OBJECT
public:
    TformAutoUpdate(RegisterKind kind, QWidget* parent = nullptr);
    bool ShowModal() override;

    QPlainTextEdit* memoInfo;
    QCheckBox* edAutoCheck;
    QCheckBox* edUpdateNow;
    QPushButton* btOK;
    QPushButton* btAvbryt;
};

// The download's window: shown while the installer is fetched.
class TQtProgressForm : public QDialog, public TProgressForm {
    Q_OBJECT
public:
    explicit TQtProgressForm(QWidget* parent = nullptr);
    void Show(const std::string& hostnameString) override;
    void Bytes(long long received) override;
    void Close() override { hide(); }

    QLabel* HostnameString;
    QLabel* stProgress;
};

class TQtDesktop : public TDesktop {
public:
    bool OpenUrl(const std::string& url) override;
    bool PutFilesOnClipboard(const std::vector<std::string>& files) override;
    bool RunAndWait(const std::string& program) override;
    void Quit() override;
};

}  // namespace lagrull
