#include "common/ui/printers.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace lagrull {

QPrinter& currentPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

std::unique_ptr<QPrintDialog> printerSetupDialog(QWidget* parent) {
    auto dialog = std::make_unique<QPrintDialog>(&currentPrinter(), parent);
    dialog->setWindowTitle("Skriveroppsett");
    // Page ranges and copies belong to a print, not to the set-up.
    dialog->setOptions(QAbstractPrintDialog::PrintShowPageSize);
    for (auto* box : dialog->findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText("&Bruk oppsettet");
    return dialog;
}

}  // namespace lagrull
