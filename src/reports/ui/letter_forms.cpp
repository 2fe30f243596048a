#include "reports/ui/letter_forms.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <filesystem>

#include "common/app_paths.h"
#include "common/ui.h"
#include "common/ui/help_window.h"
#include "data/db_manager.h"
#include "data/orv_table.h"
#include "register/merge_database.h"
#include "reports/print/letter_devices.h"
#include "reports/ui/utvalgskriterier_form.h"

namespace lagrull {

TfoBrevUtskrift::TfoBrevUtskrift(RegisterKind registerKind, QWidget* parent) : QDialog(parent) {
    setObjectName("TfoBrevUtskrift");
    setWindowTitle("Brev");
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox("Hvor skal brevene?", this);
    auto* choices = new QVBoxLayout(box);
    rbSkrivUt = new QRadioButton("&Skriv ut", box);
    rbPdf = new QRadioButton("Lagre som PDF (&én fil)", box);
    rbPdfPerMedlem = new QRadioButton("Lagre som PDF (én fil &per medlem)", box);
    for (QRadioButton* rb : {rbSkrivUt, rbPdf, rbPdfPerMedlem}) choices->addWidget(rb);
    rbSkrivUt->setChecked(true);
    layout->addWidget(box);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("&OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("&Avbryt", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [registerKind] { showHelp(kHelpBrevTopic, registerKind); });
}

TLetterTarget TfoBrevUtskrift::Target() const {
    if (rbPdf->isChecked()) return TLetterTarget::OnePdf;
    if (rbPdfPerMedlem->isChecked()) return TLetterTarget::PdfPerMember;
    return TLetterTarget::Printer;
}

void RunLetterMenu(reports::TLetterKind kind, Ui& ui, data::TOrvDbMng& dbMng,
                   data::TOrvTable& organisations, data::TOrvTable& members,
                   RegisterKind registerKind, QWidget* parent) {
    TQtSelectionSteps steps(ui, registerKind, parent);
    TRegisterMergeDatabase database(members.database());
    reports::TBrev brev({ui, dbMng, steps, organisations, members, registerKind, dbMng.dataPath(),
                         appPaths().programDirectory, std::filesystem::temp_directory_path(),
                         &database});
    if (!brev.SelectMembers(kind)) return;
    TfoBrevUtskrift target(registerKind, parent);
    if (target.exec() != QDialog::Accepted) return;
    std::unique_ptr<reports::TLetterOutput> letters;
    switch (target.Target()) {
        case TLetterTarget::Printer: letters = PrinterLetters(); break;
        case TLetterTarget::OnePdf: {
            auto file = ui.saveFileName({"Lagre som PDF", "PDF-fil|*.pdf", {}, "brev.pdf"});
            if (!file || file->empty()) return;
            if (std::filesystem::path(*file).extension().empty()) *file += ".pdf";
            letters = OnePdfLetters(*file);
            break;
        }
        case TLetterTarget::PdfPerMember: {
            const auto directory = ui.directoryName({"Velg mappe for brevene", {}, {}, {}}, true);
            if (!directory || directory->empty()) return;
            letters = PdfLettersPerMember(*directory);
            break;
        }
    }
    brev.RunLetters(kind, *letters);
}

}  // namespace lagrull
