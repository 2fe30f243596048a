#pragma once
// The application's current printer: chosen in "Skriveroppsett" and used by
// every print from then on.

class QPrinter;

namespace lagrull {

QPrinter& currentPrinter();

}  // namespace lagrull
