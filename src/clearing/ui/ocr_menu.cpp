#include "clearing/ui/ocr_menu.h"

#include "clearing/medl_liste.h"
#include "clearing/ui/bbs_data_form.h"
#include "clearing/ui/bbs_rapport_form.h"
#include "clearing/ui/grid_form_helpers.h"
#include "common/ui.h"
#include "data/database.h"

namespace lagrull::clearing {

namespace {

std::optional<std::string> returnFile(Ui& ui) {
    return ui.openFileName({"Åpne", "Alle filer|*.*", documentsFolder(), "*.*"});
}

}  // namespace

void OCRAvtaleGiro1Click(QWidget* owner, Ui& ui, data::TDatabase& db, RegisterKind registerKind) {
    const auto file = returnFile(ui);
    if (!file) return;
    importOcrFile(ui, db, db.path(), *file, [&]() -> TBBSRapportMottaker& {
        auto* form = new TFormBBSRapport(ui, registerKind, owner);  // frees itself when closed
        form->show();
        return *form;
    });
}

void OCRFilrapport1Click(QWidget* owner, Ui& ui, data::TDatabase& db, RegisterKind registerKind) {
    const auto file = returnFile(ui);
    if (!file) return;
    if (ui.message("Advarsel!", "Henter fram ocr fila og lager en rapport av den, fortsette ?",
                   Buttons::YesNo) != Answer::Yes)
        return;
    guarded(ui, [&] {
        TBBSReturAlle reader(ui, db.path());
        reader.LoadFromFile(*file);
        TFormBBSData form(ui, fyllBBSData(reader, TMedlListe(db)), registerKind, owner);
        form.exec();
    });
}

}  // namespace lagrull::clearing
