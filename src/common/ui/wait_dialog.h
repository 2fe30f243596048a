#pragma once
// The small "VENT!" window shown while a step runs: centred on its owner,
// as wide as the longest line of its text and as high as its lines.

#include <QDialog>

class QLabel;

namespace lagrull {

class WaitDialog : public QDialog {
    Q_OBJECT
public:
    WaitDialog(QWidget* owner, const QString& caption, const QString& text);

private:
    QLabel* text_;
};

}  // namespace lagrull
