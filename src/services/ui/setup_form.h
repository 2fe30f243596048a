#pragma once
// "Dataoppsett": where the data and the letter template are, the register
// kind and the report font size. The rules are in TSetupSettings.

#include <QDialog>

#include "services/setup_settings.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;
class QPushButton;

namespace lagrull {

class Ui;

class TSetupForm : public QDialog {
    Q_OBJECT
public:
    // exec() returns this when a changed setting needs the program to restart.
    static constexpr int kRestart = 2;

    TSetupForm(TSetupSettings& settings, Ui& ui, QWidget* parent = nullptr);

    // Fills the fields from the settings file.
    void reload();

    QLineEdit* EditDATABASE;
    QLineEdit* EditBREV;
    QRadioButton* rbMedlemsregister;
    QRadioButton* rbHusleieregister;
    QSpinBox* EditFONT;
    QPushButton* btOK;
    QPushButton* btAvbryt;
    QPushButton* btBla;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ok();
    void cancel();
    void browse();
    SetupValues edited() const;

    TSetupSettings& settings_;
    Ui& ui_;
    QLineEdit* lastPathField_;
    std::string customerUnitId_;
};

}  // namespace lagrull
