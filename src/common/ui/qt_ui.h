#pragma once
// The Ui of the GUI program: Qt message boxes, input box, the wait window,
// the progress window and the file dialogs, each owned by the active window.

#include <memory>

#include "common/ui.h"

class QWidget;

namespace lagrull {

class WaitDialog;
class ProgressDialog;

class QtUi : public Ui {
public:
    QtUi();
    ~QtUi() override;

    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    void closeWait() override;
    void progressBegin() override;
    void progressSet(int percent) override;
    void progressEnd() override;
    std::optional<std::string> openFileName(const FileRequest& request) override;
    std::optional<std::string> saveFileName(const FileRequest& request) override;
    std::optional<std::string> directoryName(const FileRequest& request, bool mayCreate) override;
    void setBusy(bool busy) override;
    void processEvents() override;

    // How long the full gauge stays at the end (one second; tests shorten it).
    void setProgressLinger(int milliseconds) { progressLinger_ = milliseconds; }

    // The open wait and progress windows, for tests.
    QWidget* waitWindow() const;
    QWidget* progressWindow() const;

protected:
    Answer doMessage(const std::string& caption, const std::string& text, Buttons buttons,
                     Icon icon) override;
    void doShowWait(const std::string& caption, const std::string& text) override;

private:
    std::unique_ptr<WaitDialog> wait_;
    std::unique_ptr<ProgressDialog> progress_;
    int progressLinger_ = 1000;
};

// The window that owns dialogs: the active window, else the main window.
QWidget* dialogOwner();

// "RTF-filer|*.rtf|Alle filer|*.*" in Qt's form "RTF-filer (*.rtf);;Alle filer (*.*)".
std::string qtFileFilter(const std::string& filter);

}  // namespace lagrull
