#include "clearing/ui/grid_form_helpers.h"

#include <QKeyEvent>
#include <QStandardPaths>

#include "common/ui.h"
#include "common/ui/help_window.h"

namespace lagrull::clearing {

void guarded(Ui& ui, const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& e) {
        ui.error(e.what());
    }
}

bool helpKey(QKeyEvent* event, int topic, RegisterKind registerKind) {
    if (event->key() != Qt::Key_F1) return false;
    showHelp(topic, registerKind);
    return true;
}

std::string documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

std::optional<std::string> askPdfFile(Ui& ui, const std::string& name) {
    return ui.saveFileName({"Lagre som PDF", "PDF-filer|*.pdf", documentsFolder(), name + ".pdf"});
}

}  // namespace lagrull::clearing
