#pragma once
// TfoStartGen, the first step of claim generation: it shows the state
// TStartGenStep holds and hands the user's entries back to it.

#include <QDialog>
#include <array>

#include "payments/betalinger.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace lagrull {

class TMalEdit;

inline constexpr int kHelpStartGen = 20;  // help topic (F1)

// Step 1 of claim generation, "Spesifiser betalingskrav".
class TfoStartGen : public QDialog, public TStartGenStep {
    Q_OBJECT
public:
    TfoStartGen(Ui& ui, RegisterKind registerKind, QWidget* parent = nullptr);
    int ShowModal() override;

    TMalEdit* edKontDato;
    QComboBox* edKontDatoDropDownHelper;
    QCheckBox* CBKidRef;
    QLineEdit* edTEKST;
    QGroupBox* edBelopskilde;
    std::array<QRadioButton*, 4> rbBelopskilde;
    QLabel* laBELOP;
    QLineEdit* EditBELOP;
    QWidget* pnRelasjoner;
    QListWidget* lbFra;
    QListWidget* lbTil;
    QPushButton* btTil;
    QPushButton* btFra;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

protected:
    void EntriesChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void next();
    void showSource();
    void showRelations();
    void moveToTil();
    void moveToFra();

    Ui& ui_;
};

}  // namespace lagrull
