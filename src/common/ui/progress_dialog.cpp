#include "common/ui/progress_dialog.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace lagrull {

ProgressDialog::ProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("ProgressDialog");
    setWindowTitle("Prosesserer.....");
    setModal(true);
    auto* layout = new QVBoxLayout(this);  // owned by the dialog
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName("Gauge");
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setMinimumWidth(320);
    layout->addWidget(gauge_);
    adjustSize();
}

void ProgressDialog::setPercent(int percent) { gauge_->setValue(percent); }

int ProgressDialog::percent() const { return gauge_->value(); }

}  // namespace lagrull
