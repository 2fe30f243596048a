#pragma once
// The data-aware forms of the edit fields: each shows one field of a table
// object's current record and writes what the user types back into it.

#include <QCheckBox>
#include <QPlainTextEdit>

#include "common/ui/masked_edit.h"
#include "data/ui/field_link.h"

namespace lagrull {

// A masked or number field bound to a table field: it shows the current
// record's value and writes each edit back at once.
template <typename Edit>
class TDataAwareEdit : public Edit {
public:
    template <typename... Args>
    explicit TDataAwareEdit(Args&&... args) : Edit(std::forward<Args>(args)...) {
        QObject::connect(this, &QLineEdit::textEdited, this,
                         [this] { link_.write(this->storedValue()); });
    }
    void setDataField(data::TOrvTable* table, const std::string& field) {
        link_.bind(table, field, [this](const std::string& v) {
            const QSignalBlocker block(this);
            this->setStoredValue(v);
            this->setEnabled(link_.table() && link_.table()->active());
        });
        // A free text field takes no more than its table field holds.
        if (this->mask().type() == MaskType::FreeText && link_.width() > 0)
            this->setMaxLength(link_.width());
    }
    FieldLink& link() { return link_; }

protected:
    bool isDataAware() const override { return true; }
    void rewritten() override { link_.write(this->storedValue()); }

private:
    FieldLink link_;
};

// The data-aware masked field (free text with an empty custom mask).
class TMalDB : public TDataAwareEdit<TMalEdit> {
public:
    using TDataAwareEdit::TDataAwareEdit;
};

class TNumDB : public TDataAwareEdit<TNumEdit> {
public:
    using TDataAwareEdit::TDataAwareEdit;
};

// Shows the entries' texts and stores the chosen entry's code.
class TChoiceBoxDB : public TChoiceBox {
    Q_OBJECT
public:
    explicit TChoiceBoxDB(QWidget* parent = nullptr);
    void setDataField(data::TOrvTable* table, const std::string& field);
    FieldLink& link() { return link_; }

private:
    FieldLink link_;
};

class TDBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TDBCheckBox(const QString& text, QWidget* parent = nullptr);
    void setDataField(data::TOrvTable* table, const std::string& field);

private:
    FieldLink link_;
};

// A note field of limited length (TEKST, 255 characters).
class TDBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);
    void setDataField(data::TOrvTable* table, const std::string& field);

private:
    FieldLink link_;
    bool showing_ = false;
};

}  // namespace lagrull
