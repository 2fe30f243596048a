#pragma once
// TfoAvtaleGiro: the AvtaleGiro claims of the current organisation for one
// due date, written as a claim file ("Avtalegiro") or, for the rows marked
// in "Slettes", as a deletion request ("Sletteposter").

#include <cstdint>
#include <string>

#include <QDialog>

#include "clearing/avtalegiro.h"
#include "common/settings_keys.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class TDatabase;
}

namespace lagrull::clearing {

inline constexpr int kAvtaleGiroHelpTopic = 61;

enum AvtaleGiroKolonne {
    kNavn = 0,
    kForfallsdato,
    kBelop,
    kTekst,
    kKid,
    kSlettes,
    kEgetVarsel,
    kOppdragsnr,
    kAvtaleGiroKolonner
};

class TfoAvtaleGiro : public QDialog {
    Q_OBJECT
public:
    TfoAvtaleGiro(Ui& ui, data::TDatabase& db, std::int64_t orgnr, const Date& forfall,
                  AvtaleGiroModus modus, std::string settingsFile, TAvtaleGiroListe liste,
                  RegisterKind registerKind, QWidget* owner = nullptr);

    // Fills the list and shows the window modally; a list with a claim
    // without KID is refused with a message and the window is not shown.
    static void run(Ui& ui, data::TDatabase& db, std::int64_t orgnr, const Date& forfall,
                    AvtaleGiroModus modus, const std::string& settingsFile,
                    RegisterKind registerKind, QWidget* owner = nullptr);

    const TAvtaleGiroListe& liste() const { return liste_; }

    QTableWidget* grBetalingsposter;
    QLineEdit* edAntall;
    QLineEdit* edSum;
    QPushButton* btSendLagre;
    QPushButton* btSletteanmodning;
    QPushButton* btSlettAlle;
    QPushButton* btSlettIngen;
    QPushButton* btSkrivUt;
    QPushButton* btPdf;
    QPushButton* btOk;
    QPushButton* btAvbryt;

    void BtSendLagClick();
    void btSletteanmodningClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    void setMarks(bool all);

    Ui& ui_;
    data::TDatabase& db_;
    std::int64_t orgnr_;
    Date forfall_;
    AvtaleGiroModus modus_;
    std::string settingsFile_;
    TAvtaleGiroListe liste_;
    RegisterKind registerKind_;
};

}  // namespace lagrull::clearing
