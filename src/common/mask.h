#pragma once
// The mask language of the edit fields. A mask's first character decides
// its kind:
//   "#", "D", "M", "Y", "h", "m", "n", "s" or "{"  template
//   "N"                                             number
//   "T"                                             number with groups
//   anything else                                   free text
// The second character, when a digit, is the number of decimals; "H0" in a
// number mask shows a zero as an empty text.
//
// Invariants: show(store(x)) == x for any text that fits a template mask,
// and store(show(v)) == v for a stored value made of the mask's character
// set; a number mask's stored form uses "," as the decimal separator.

#include <string>
#include <string_view>

namespace lagrull {

enum class MaskType { Template, Number, GroupedNumber, FreeText };

class Mask {
public:
    Mask() = default;
    explicit Mask(std::string_view text);

    MaskType type() const { return type_; }
    int decimals() const { return decimals_; }
    bool hidesZero() const { return hideZero_; }
    const std::string& text() const { return text_; }
    const std::u32string& templateText() const { return template_; }  // without the "{...}" prefix

    // Whether a character may stand in the stored value of a template mask.
    bool inCharacterSet(char32_t c) const;
    static bool isPlaceholder(char32_t c);

    std::string show(std::string_view stored) const;
    std::string store(std::string_view shown) const;

    // Whether a text being typed still fits the mask: a template's stored
    // characters fit its placeholders and the literals stand where they
    // belong; a number holds one sign, digits and at most `decimals`
    // decimals.
    bool fits(std::string_view shown) const;

private:
    std::string text_;
    MaskType type_ = MaskType::FreeText;
    int decimals_ = 0;
    bool hideZero_ = false;
    std::u32string template_;
    std::u32string charset_;
    bool anyLetter_ = false;  // "{*": digits and every character of code 65 or more
};

// "1.234,50" for 1234.5 with two decimals; d = 0 keeps the digits as they
// are apart from leading zeros. Exposed for the reports.
std::string groupDigits(std::string_view number);

// The masks of the masked edit kinds.
enum class EditKind { mkCustom, mkPostNr, mkPhone, mkPersNr, mkAccount, mkDate, mkTime };
std::string maskOfKind(EditKind kind, const std::string& customMask = {});

}  // namespace lagrull
