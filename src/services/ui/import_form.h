#pragma once
// The windows of the member import: "Importer fil" (TImportForm) with its
// three pages, and "Verifiser oppdatering" (TUpdateForm) for a staged row
// that a later line would change. The rules are TImportFormLogic's.

#include <QDialog>

#include "common/settings_keys.h"
#include "services/file_trans.h"
#include "services/member_import.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace lagrull {

class Ui;
class TImportFormLogic;

class TUpdateForm : public QDialog, public TUpdateConfirm {
    Q_OBJECT
public:
    explicit TUpdateForm(QWidget* parent = nullptr);
    TUpdateChoice Confirm(const std::vector<std::string>& labels,
                          const std::vector<std::string>& newData,
                          const std::vector<std::string>& oldData) override;

    QTableWidget* grData;
    QPushButton* btLagre;
    QPushButton* btBehold;
    QPushButton* btLagreAlle;
    QPushButton* btBeholdAlle;
    QPushButton* btAvbryt;
};

class TImportForm : public QDialog {
    Q_OBJECT
public:
    enum Page { pgFil = 0, pgOppsett = 1, pgKobling = 2 };

    TImportForm(TImportFormLogic& logic, Ui& ui, RegisterKind kind, QWidget* parent = nullptr);

    QTabWidget* Notebook;
    // "Velg fil"
    QLineEdit* edFilNavn;
    QPushButton* btVelgFil;
    QProgressBar* pbImport;
    // "Oppsett"
    QButtonGroup* rgSeparator;
    QButtonGroup* rgHeader;
    QButtonGroup* rgTekst;
    QButtonGroup* rgOppdatering;
    // "Feltadressering"
    QTableWidget* grKobling;
    QPlainTextEdit* memoData;
    QPushButton* btOK;
    QPushButton* btAvbryt;
    QPushButton* btHjelp;
    TUpdateForm* UpdateForm;

    // "Avbryt" and Esc: before the import the window closes; while it runs,
    // a Yes to "Skal importeringen avbrytes?" stops the reading.
    void reject() override;

private:
    QWidget* makeFilePage();
    QWidget* makeSetupPage();
    QWidget* makeMappingPage();
    void chooseFile(const std::string& path);
    void browse();
    // Shows the logic's set-up and map; the tabs only while the file exists.
    void showState();
    void showMapping();
    void showPreview();
    void setupChanged();
    void ok();
    void setRunning(bool running);

    TImportFormLogic& logic_;
    Ui& ui_;
    RegisterKind kind_;
    bool running_ = false;
    bool filling_ = false;
};

// The window as the import's step: shown modally over `parent`.
class TQtImportFormStep : public TImportFormStep {
public:
    TQtImportFormStep(Ui& ui, RegisterKind kind, QWidget* parent)
        : ui_(ui), kind_(kind), parent_(parent) {}
    bool ShowModal(TImportFormLogic& logic) override;

private:
    Ui& ui_;
    RegisterKind kind_;
    QWidget* parent_;
};

}  // namespace lagrull
