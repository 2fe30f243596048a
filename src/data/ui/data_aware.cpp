#include "data/ui/data_aware.h"

#include "common/text_codec.h"

namespace lagrull {

TChoiceBoxDB::TChoiceBoxDB(QWidget* parent) : TChoiceBox(parent) {
    connect(this, &QComboBox::activated, this, [this] { link_.write(choice()); });
}

void TChoiceBoxDB::setDataField(data::TOrvTable* table, const std::string& field) {
    link_.bind(table, field, [this](const std::string& v) {
        const QSignalBlocker block(this);
        setChoice(v);
    });
}

TDBCheckBox::TDBCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    connect(this, &QCheckBox::clicked, this,
            [this](bool on) { link_.write(on ? "True" : "False"); });
}

void TDBCheckBox::setDataField(data::TOrvTable* table, const std::string& field) {
    link_.bind(table, field, [this](const std::string& v) {
        const QSignalBlocker block(this);
        setChecked(!v.empty() &&
                   (v[0] == 'T' || v[0] == 't' || v[0] == '1' || v[0] == 'J' || v[0] == 'j'));
    });
}

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (showing_) return;
        std::string text = toPlainText().toStdString();
        // The field holds 255 characters: the rest is cut, as the table would.
        const int width = link_.width();
        if (width > 0 && static_cast<int>(characterCount(text)) > width) {
            text = fromU32(toU32(text).substr(0, static_cast<std::size_t>(width)));
            showing_ = true;
            setPlainText(QString::fromStdString(text));
            moveCursor(QTextCursor::End);
            showing_ = false;
        }
        link_.write(text);
    });
}

void TDBMemo::setDataField(data::TOrvTable* table, const std::string& field) {
    link_.bind(table, field, [this](const std::string& v) {
        if (toPlainText().toStdString() == v) return;
        showing_ = true;
        setPlainText(QString::fromStdString(v));
        showing_ = false;
    });
}

}  // namespace lagrull
