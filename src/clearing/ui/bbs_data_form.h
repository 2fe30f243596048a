#pragma once
// TFormBBSData "Returdata frå BBS": what a return file holds, on the tabs
// "Innbetalt", "Avtaleendringer" and "Avtalestatusliste". The register is
// not changed.

#include <QDialog>

#include "clearing/ocr_report.h"
#include "common/settings_keys.h"

class QPushButton;
class QTabWidget;
class QTableWidget;

namespace lagrull {
class Ui;
}

namespace lagrull::clearing {

inline constexpr int kBBSDataHelpTopic = 62;

class TFormBBSData : public QDialog {
    Q_OBJECT
public:
    TFormBBSData(Ui& ui, TBBSData returData, RegisterKind registerKind, QWidget* owner = nullptr);

    // Releasing the mouse over a header of the payments sorts by that column.
    void sortInnbetalt(InnbetaltKolonne column);
    void btnPrintClick();

    QTabWidget* pages;
    QTableWidget* grInnbet;
    QTableWidget* grAvtaleEndring;
    QTableWidget* grAvtaleStatus;
    QPushButton* btnOK;
    QPushButton* btnPrint;
    QPushButton* btnPdf;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Ui& ui_;
    TBBSData data_;
    RegisterKind registerKind_;
};

}  // namespace lagrull::clearing
