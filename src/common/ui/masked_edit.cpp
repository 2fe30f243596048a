#include "common/ui/masked_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTimer>

#include "common/field_checks.h"
#include "common/text_codec.h"
#include "common/ui/qt_ui.h"

namespace lagrull {

namespace {

// Position in `shown` after `count` characters that the mask stores.
int shownPosition(const Mask& mask, const std::u32string& shown, int count) {
    int seen = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (seen == count) return static_cast<int>(i);
        if (mask.inCharacterSet(shown[i])) ++seen;
    }
    return static_cast<int>(shown.size());
}

}  // namespace

MaskValidator::MaskValidator(QObject* parent, bool formatWhileTyping)
    : QValidator(parent), formatWhileTyping_(formatWhileTyping) {}

QValidator::State MaskValidator::validate(QString& input, int& pos) const {
    const std::string text = input.toStdString();
    if (!mask_.fits(text)) return Invalid;
    if (formatWhileTyping_ && mask_.type() == MaskType::Template) {
        // Count the stored characters before the cursor, then put the
        // cursor after as many in the formatted text.
        const std::u32string before = toU32(input.left(pos).toStdString());
        int count = 0;
        for (const char32_t c : before)
            if (mask_.inCharacterSet(c)) ++count;
        const std::string formatted = mask_.show(mask_.store(text));
        input = QString::fromStdString(formatted);
        pos = shownPosition(mask_, toU32(formatted), count);
    }
    return Acceptable;
}

TFastEdit::TFastEdit(QWidget* parent)
    : QLineEdit(parent), validator_(new MaskValidator(this, false)) {}

TFastEdit::~TFastEdit() = default;

void TFastEdit::setFieldMask(const std::string& mask, bool formatWhileTyping) {
    mask_ = Mask(mask);
    delete validator_;
    validator_ = new MaskValidator(this, formatWhileTyping);  // owned by the field
    validator_->setMask(mask_);
    setValidator(mask_.type() == MaskType::FreeText ? nullptr : validator_);
}

std::string TFastEdit::storedValue() const { return mask_.store(text().toStdString()); }

void TFastEdit::setStoredValue(const std::string& value) {
    setText(QString::fromStdString(mask_.show(value)));
}

Ui& TFastEdit::ui() {
    if (ui_) return *ui_;
    if (!ownUi_) ownUi_ = std::make_unique<QtUi>();
    return *ownUi_;
}

bool TFastEdit::checkOnLeave() { return true; }

bool TFastEdit::checkBeforePost() {
    if (!isModified() || checking_ || !defaultCheck_) return true;
    checking_ = true;
    const bool ok = checkOnLeave();
    checking_ = false;
    setModified(false);
    return ok;
}

void TFastEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() != QEvent::ReadOnlyChange) return;
    // The base of a read-only field is the window's colour, as a disabled
    // field's; a click still puts the cursor there for copying.
    setFocusPolicy(isReadOnly() ? Qt::ClickFocus : Qt::StrongFocus);
    QPalette p = palette();
    p.setBrush(QPalette::Base, isReadOnly() ? p.brush(QPalette::Window)
                                            : QApplication::palette(this).brush(QPalette::Base));
    setPalette(p);
}

void TFastEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (checking_ || !defaultCheck_) return;
    checking_ = true;
    const bool ok = checkOnLeave();
    checking_ = false;
    setModified(false);  // checked: saving the record need not check again
    if (ok) {
        emit leftField();
    } else {
        // Back to the field once the box is gone; the value stays.
        QTimer::singleShot(0, this, [this] {
            setFocus(Qt::OtherFocusReason);
            selectAll();
        });
    }
}

TMalEdit::TMalEdit(QWidget* parent, EditKind kind, const std::string& mask) : TFastEdit(parent) {
    setKind(kind, mask);
}

void TMalEdit::setKind(EditKind kind, const std::string& mask) {
    kind_ = kind;
    const std::string m = maskOfKind(kind, mask);
    // A date is typed freely in its form and written back on leaving;
    // the other templates put in their literals as digits are typed.
    if (kind != EditKind::mkDate) {
        setFieldMask(m, true);
        return;
    }
    // Digits and the form's separators, no longer than the form.
    dateMask_ = m;
    std::string typed = "{0123456789";
    for (const char c : m)
        if (!Mask::isPlaceholder(static_cast<unsigned char>(c)) &&
            typed.find(c) == std::string::npos)
            typed += c;
    setFieldMask(typed + "}" + std::string(m.size(), '#'), false);
}

bool TMalEdit::checkBeforePost() {
    return TFastEdit::checkBeforePost() || kind_ == EditKind::mkAccount;
}

bool TMalEdit::checkOnLeave() {
    const Mask checked(kind_ == EditKind::mkDate ? dateMask_ : mask().text());
    const LeaveResult r =
        checkFieldOnLeave(kind_, checked, text().toStdString(), isDataAware(), ui());
    if (r.rewritten) {
        setText(QString::fromStdString(*r.rewritten));
        rewritten();
    }
    return r.accepted;
}

std::string TMalEdit::storedValue() const {
    if (kind_ != EditKind::mkDate) return TFastEdit::storedValue();
    return Mask(dateMask_).store(text().toStdString());
}

void TMalEdit::setStoredValue(const std::string& value) {
    if (kind_ != EditKind::mkDate) return TFastEdit::setStoredValue(value);
    setText(QString::fromStdString(Mask(dateMask_).show(value)));
}

TNumEdit::TNumEdit(QWidget* parent, const std::string& mask) : TFastEdit(parent) {
    setNumberMask(mask);
    setAlignment(Qt::AlignRight);
}

void TNumEdit::setNumberMask(const std::string& mask) { setFieldMask(mask, false); }

bool TNumEdit::checkOnLeave() {
    // Leaving shows the number in the mask's own form (decimals, groups).
    const QString shown = QString::fromStdString(mask().show(storedValue()));
    if (shown != text()) {
        setText(shown);
        rewritten();
    }
    return true;
}

TChoiceBox::TChoiceBox(QWidget* parent) : QComboBox(parent) {}

void TChoiceBox::setChoiceItems(const TChoiceList& items) {
    items_ = items;
    clear();
    for (std::size_t i = 0; i < items_.size(); ++i) addItem(QString::fromStdString(items_.text(i)));
}

std::string TChoiceBox::choice() const {
    const int i = currentIndex();
    return i < 0 ? std::string() : items_.code(static_cast<std::size_t>(i));
}

void TChoiceBox::setChoice(const std::string& code) {
    const auto i = items_.indexOfCode(code);
    setCurrentIndex(i ? static_cast<int>(*i) : -1);
}

}  // namespace lagrull
