#pragma once
// The letter menu ("Brev - Generelt", "Brev - Tilbud") in the program: the
// selection, then where the letters go (TfoBrevUtskrift: "Skriv ut", "Lagre
// som PDF (én fil)", "Lagre som PDF (én fil per medlem)"), then the letter
// run of reports/brev.h on the printer or the PDF device.

#include <QDialog>

#include "common/settings_keys.h"
#include "reports/brev.h"

class QRadioButton;

namespace lagrull {

class Ui;

inline constexpr int kHelpBrevTopic = 44;

enum class TLetterTarget { Printer = 0, OnePdf = 1, PdfPerMember = 2 };

class TfoBrevUtskrift : public QDialog {
    Q_OBJECT
public:
    TfoBrevUtskrift(RegisterKind registerKind, QWidget* parent = nullptr);
    TLetterTarget Target() const;

    QRadioButton* rbSkrivUt;
    QRadioButton* rbPdf;
    QRadioButton* rbPdfPerMedlem;
};

void RunLetterMenu(reports::TLetterKind kind, Ui& ui, data::TOrvDbMng& dbMng,
                   data::TOrvTable& organisations, data::TOrvTable& members,
                   RegisterKind registerKind, QWidget* parent);

}  // namespace lagrull
