#pragma once
// TFormBBSRapport "BBS returfil import": the OCR import's report. It is
// modeless and frees itself when closed, so several can stay open; lines
// arrive through the report interface while the import runs.

#include <QDialog>

#include "clearing/ocr_import.h"
#include "common/settings_keys.h"

class QPushButton;
class QTableWidget;

namespace lagrull {
class Ui;
}

namespace lagrull::clearing {

inline constexpr int kBBSRapportHelpTopic = 60;

class TFormBBSRapport : public QDialog, public TBBSRapportMottaker {
    Q_OBJECT
public:
    TFormBBSRapport(Ui& ui, RegisterKind registerKind, QWidget* owner = nullptr);

    void AddLine(const TBBSRapportLinje& line) override;

    QTableWidget* grRapport;
    QPushButton* btnOK;
    QPushButton* btnPrint;
    QPushButton* btnPdf;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void savePdf();

    Ui& ui_;
    RegisterKind registerKind_;
};

}  // namespace lagrull::clearing
