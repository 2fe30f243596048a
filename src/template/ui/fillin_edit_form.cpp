#include "template/ui/fillin_edit_form.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace lagrull {

TFillInEditForm::TFillInEditForm(QWidget* parent) : QDialog(parent) {}

bool TFillInEditForm::ask(const std::string& title, std::vector<TFillinRec>& entries) {
    setWindowTitle(QString::fromStdString(title));
    auto* outer = new QVBoxLayout(this);
    auto* area = new QScrollArea(this);
    auto* page = new QWidget(area);
    auto* form = new QFormLayout(page);
    const int lineHeight = QFontMetrics(font()).height();
    for (const TFillinRec& e : entries) {
        auto* edit = new QPlainTextEdit(QString::fromStdString(e.text), page);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setFixedHeight((e.lines * 170 + 20) * lineHeight / 100);
        QCheckBox* check = nullptr;
        if (e.checkBox) {
            check = new QCheckBox(QString::fromStdString(e.prompt), page);
            check->setChecked(e.checked);
            form->addRow(check, edit);
        } else {
            auto* label = new QLabel(QString::fromStdString(e.prompt), page);
            label->setWordWrap(e.wordWrap);
            form->addRow(label, edit);
        }
        edits_.push_back(edit);
        checks_.push_back(check);
    }
    area->setWidget(page);
    area->setWidgetResizable(true);
    outer->addWidget(area);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    outer->addWidget(buttons);
    if (exec() != QDialog::Accepted) return false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].text = edits_[i]->toPlainText().toStdString();
        if (checks_[i]) entries[i].checked = checks_[i]->isChecked();
    }
    return true;
}

}  // namespace lagrull
