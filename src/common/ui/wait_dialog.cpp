#include "common/ui/wait_dialog.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lagrull {

WaitDialog::WaitDialog(QWidget* owner, const QString& caption, const QString& text)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("WaitDialog");
    setWindowTitle(caption);
    setModal(false);
    auto* layout = new QVBoxLayout(this);  // owned by the dialog
    layout->setContentsMargins(24, 16, 24, 16);
    text_ = new QLabel(text, this);
    text_->setObjectName("laText");
    text_->setAlignment(Qt::AlignCenter);
    layout->addWidget(text_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (owner) {
        const QPoint centre = owner->frameGeometry().center();
        move(centre - QPoint(width() / 2, height() / 2));
    }
}

}  // namespace lagrull
