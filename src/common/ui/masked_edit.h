#pragma once
// The register's edit fields: TMalEdit (a masked text: account, phone,
// postal code, date), TNumEdit (a number with decimals and groups) and
// TChoiceBox (texts shown, codes held). A typed character stands only while
// the text still fits the field's mask; the checks of leaving a field run
// through a Ui, so their messages are the register's own.

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>
#include <memory>

#include "common/choice_list.h"
#include "common/mask.h"

namespace lagrull {

class Ui;
class QtUi;

// Accepts an edit only while the text fits the mask; a template that
// places its own literals gets them put in as the user types.
class MaskValidator : public QValidator {
    Q_OBJECT
public:
    MaskValidator(QObject* parent, bool formatWhileTyping);
    void setMask(const Mask& mask) { mask_ = mask; }
    State validate(QString& input, int& pos) const override;

private:
    Mask mask_;
    bool formatWhileTyping_;
};

class TFastEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFastEdit(QWidget* parent = nullptr);
    ~TFastEdit() override;

    // Where messages go; without one the field shows its own boxes.
    void setUi(Ui* ui) { ui_ = ui; }
    // The check on leaving the field (on unless switched off).
    void setDefaultCheck(bool on) { defaultCheck_ = on; }
    bool defaultCheck() const { return defaultCheck_; }
    // A record is saved while the cursor is still in the field: the check
    // of leaving runs on a typed value. False when the value must not be
    // saved as it stands.
    virtual bool checkBeforePost();

    const Mask& mask() const { return mask_; }
    // The value as stored in a table, and back.
    virtual std::string storedValue() const;
    virtual void setStoredValue(const std::string& value);

signals:
    // The field was left and its check passed.
    void leftField();

protected:
    void setFieldMask(const std::string& mask, bool formatWhileTyping);
    void focusOutEvent(QFocusEvent* event) override;
    // A read-only field looks read-only and is skipped by Tab.
    void changeEvent(QEvent* event) override;
    // Runs the kind's check; false sends the focus back to the field.
    virtual bool checkOnLeave();
    Ui& ui();
    virtual bool isDataAware() const { return false; }
    // The field put a new text in itself (a date written back in its form).
    virtual void rewritten() {}

private:
    Mask mask_;
    MaskValidator* validator_;  // owned by the field (Qt parent)
    Ui* ui_ = nullptr;
    std::unique_ptr<QtUi> ownUi_;
    bool defaultCheck_ = true;
    bool checking_ = false;
};

class TMalEdit : public TFastEdit {
    Q_OBJECT
public:
    explicit TMalEdit(QWidget* parent = nullptr, EditKind kind = EditKind::mkCustom,
                      const std::string& mask = {});
    void setKind(EditKind kind, const std::string& mask = {});
    EditKind kind() const { return kind_; }

    // A date field keeps its mask for the date form and for storing.
    std::string storedValue() const override;
    void setStoredValue(const std::string& value) override;
    // A wrong account number is only warned of: the record can be saved.
    bool checkBeforePost() override;

protected:
    bool checkOnLeave() override;

private:
    EditKind kind_ = EditKind::mkCustom;
    std::string dateMask_;
};

class TNumEdit : public TFastEdit {
    Q_OBJECT
public:
    // `mask` is a number mask such as "T2" or "N0".
    explicit TNumEdit(QWidget* parent = nullptr, const std::string& mask = "T2");
    void setNumberMask(const std::string& mask);

protected:
    bool checkOnLeave() override;
};

class TChoiceBox : public QComboBox {
    Q_OBJECT
public:
    explicit TChoiceBox(QWidget* parent = nullptr);
    void setChoiceItems(const TChoiceList& items);
    const TChoiceList& choiceItems() const { return items_; }
    // The code of the chosen entry ("" when none), and choosing by code.
    std::string choice() const;
    void setChoice(const std::string& code);

private:
    TChoiceList items_;
};

}  // namespace lagrull
