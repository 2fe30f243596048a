#pragma once
// The data-aware forms of the edit fields: each shows one field of a table
// object's current record and writes what the user types back into it.

#include <QCheckBox>
#include <QPlainTextEdit>

#include "common/ui/field_link.h"
#include "common/ui/masked_edit.h"

namespace lagrull {

// A masked field bound to a table field (free text with an empty custom mask).
class TMalDB : public TMalEdit {
    Q_OBJECT
public:
    explicit TMalDB(QWidget* parent = nullptr, EditKind kind = EditKind::mkCustom,
                    const std::string& mask = {});
    void setDataField(data::TOrvTable* table, const std::string& field);
    FieldLink& link() { return link_; }

protected:
    bool isDataAware() const override { return true; }
    void rewritten() override { link_.write(storedValue()); }

private:
    FieldLink link_;
};

class TNumDB : public TNumEdit {
    Q_OBJECT
public:
    explicit TNumDB(QWidget* parent = nullptr, const std::string& mask = "T2");
    void setDataField(data::TOrvTable* table, const std::string& field);
    FieldLink& link() { return link_; }

protected:
    bool isDataAware() const override { return true; }
    void rewritten() override { link_.write(storedValue()); }

private:
    FieldLink link_;
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
