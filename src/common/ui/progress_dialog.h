#pragma once
// The "Prosesserer....." window with its gauge from 0 to 100.

#include <QDialog>

class QProgressBar;

namespace lagrull {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* owner);
    void setPercent(int percent);
    int percent() const;

private:
    QProgressBar* gauge_;
};

}  // namespace lagrull
