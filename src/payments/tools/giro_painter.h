#pragma once
// Drawing giro sheets (the items of giro_form.h) on a Qt paint device: a
// PDF file, a printer, or an image for the preview. Printer offsets move
// everything on the sheet, so that the code line lands on pre-printed giro
// paper whatever the printer's own margins.

#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "payments/giro_form.h"

class QPainter;
class QPrinter;

namespace lagrull {

using GiroSheets = std::vector<std::vector<GiroItem>>;

// Millimetres to the right and downwards.
struct GiroOffset {
    double x = 0, y = 0;
};

// A printer's offsets: keys "ForskyvningX" and "ForskyvningY" of the section
// "Giroskriver <navn>" in the per-user settings file; 0 when missing.
GiroOffset printerOffset(const std::string& printerName);

// Throws Error when the OCR-B font is not installed: a code line in another
// font would not be read by the bank's scanner.
void requireOcrFont();

void paintSheet(QPainter& painter, const std::vector<GiroItem>& items, GiroOffset offset);
// Writes the sheets as an A4 PDF; throws Error when the file cannot be made.
void writeGiroPdf(const QString& file, const GiroSheets& sheets);
// Prints on a set-up printer with its offsets; throws Error on failure.
void printGiros(QPrinter& printer, const GiroSheets& sheets);
// Prints on the named printer ("" for the default one).
void printGiros(const std::string& printerName, const GiroSheets& sheets);
QImage renderSheet(const std::vector<GiroItem>& items, int dotsPerInch);

}  // namespace lagrull
