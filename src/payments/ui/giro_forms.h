#pragma once
// The windows of giro printing: its first step TfoStartGiro (the state
// TStartGiroStep holds, shown and written back) and the dialogs of the menu
// entry "Giro&utskrift", TfoDialogBetaling and TfoDialogDato.

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "clearing/avtalegiro.h"
#include "common/settings_keys.h"
#include "payments/giro_wizard.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lagrull {

// Help topics of these windows (F1).
inline constexpr int kHelpStartGiro = 21;
inline constexpr int kHelpDialogBetaling = 22;
inline constexpr int kHelpDialogDato = 23;

// Step 1 of giro printing, "Send til giroutskrift".
class TfoStartGiro : public QDialog, public TStartGiroStep {
    Q_OBJECT
public:
    TfoStartGiro(Ui& ui, RegisterKind registerKind, QWidget* parent = nullptr);
    int ShowModal() override;

    QComboBox* edGiroDato;
    QCheckBox* xbBetKonto;
    QGroupBox* rgOppdragsType;
    std::array<QRadioButton*, 2> rbOppdragsType;
    QGroupBox* rgGiroName;
    std::array<QRadioButton*, 2> rbGiroName;
    QGroupBox* rgOppsett;
    std::array<QRadioButton*, 3> rbOppsett;
    std::array<QComboBox*, kGiroTextLines> xbFlettInn;
    std::array<QLineEdit*, kGiroTextLines> edTekst;
    std::array<QComboBox*, kGiroTextLines> cbTekst;
    QLabel* pnIngenBetalingskrav;
    QWidget* pnSettings;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

protected:
    void EntriesChanged() override;

private:
    void writeLines();
    void showLine(int line);
    void next();

    Ui& ui_;
};

// "Giroutskrifter": giro printing, or the AvtaleGiro claim file and
// deletion request of a due date.
class TfoDialogBetaling : public QDialog {
    Q_OBJECT
public:
    // `giro` runs the giro printing.
    TfoDialogBetaling(Ui& ui, data::TDatabase& db, std::int64_t orgNr, std::string settingsFile,
                      RegisterKind registerKind, std::function<void()> giro,
                      QWidget* parent = nullptr);

    QPushButton* btGiro;
    QPushButton* btAvtaleGiro;
    QPushButton* btSletting;
    QPushButton* btLukk;

private:
    // False when the customer unit is missing and nothing was opened.
    bool avtaleGiro(clearing::AvtaleGiroModus mode);

    Ui& ui_;
    data::TDatabase& db_;
    std::int64_t orgNr_;
    std::string settingsFile_;
    RegisterKind registerKind_;
};

// "Velg Forfallsdato": the due date of the AvtaleGiro window, for its
// claims or its deletion requests.
class TfoDialogDato : public QDialog {
    Q_OBJECT
public:
    TfoDialogDato(Ui& ui, data::TDatabase& db, std::int64_t orgNr, clearing::AvtaleGiroModus mode,
                  std::string settingsFile, RegisterKind registerKind, QWidget* parent = nullptr);

    QComboBox* cbForfdato;
    QPushButton* btOk;
    QPushButton* btAvbryt;

private:
    void ok();

    Ui& ui_;
    data::TDatabase& db_;
    std::int64_t orgNr_;
    clearing::AvtaleGiroModus mode_;
    std::string settingsFile_;
    RegisterKind registerKind_;
};

}  // namespace lagrull
