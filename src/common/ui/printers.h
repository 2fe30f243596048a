#pragma once
// The application's current printer: chosen in "Skriveroppsett" and used by
// every print from then on.

#include <memory>

class QPrintDialog;
class QPrinter;
class QWidget;

namespace lagrull {

QPrinter& currentPrinter();

// "Skriveroppsett": printer, paper and orientation of the current printer;
// its button sets them up and prints nothing.
std::unique_ptr<QPrintDialog> printerSetupDialog(QWidget* parent);

}  // namespace lagrull
