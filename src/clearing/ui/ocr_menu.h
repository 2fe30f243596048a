#pragma once
// The main window's "BBS" menu: "Les OCR-returfil" and "OCR-filrapport".

#include "common/settings_keys.h"

class QWidget;

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class TDatabase;
}

namespace lagrull::clearing {

// The OCR import: file, question, the report window (modeless; it stays
// open after the import), reading and registering.
void OCRAvtaleGiro1Click(QWidget* owner, Ui& ui, data::TDatabase& db, RegisterKind registerKind);
// The OCR file report, shown modally; the register is not changed.
void OCRFilrapport1Click(QWidget* owner, Ui& ui, data::TDatabase& db, RegisterKind registerKind);

}  // namespace lagrull::clearing
