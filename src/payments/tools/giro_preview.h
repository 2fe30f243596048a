#pragma once
// The giro printer's window: the giro sheets one page at a time, with
// "Skriv ut" (the system's print dialog, then the printer's offsets) and
// "Lagre som PDF".

#include <QDialog>

#include "giro_painter.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace lagrull {

class Ui;

class TGiroPreview : public QDialog {
    Q_OBJECT
public:
    TGiroPreview(GiroSheets sheets, const QString& title, Ui& ui, QWidget* parent = nullptr);

    int page() const { return page_; }
    void showPage(int page);

    QPushButton* btSkrivUt;
    QPushButton* btLagrePdf;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btLukk;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void print();
    void savePdf();

    GiroSheets sheets_;
    Ui& ui_;
    int page_ = 0;
    QLabel* laSide_;
    QLabel* image_;
    QScrollArea* scroll_;
};

}  // namespace lagrull
