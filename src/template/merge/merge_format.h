#pragma once
// The formats of merge fields ({navn[Aa]}, {forfdato[DT]}, {belop[T2]}) and
// the protection of merged values inside command parameters.
//
// Values are UTF-8. A protected value carries private-use characters in
// place of "(", ")" and "=", so a value inside "@IF(...)" can neither end
// the parameter list nor split a comparison; they turn back when the text is
// written. A non-breaking blank is U+00A0 and is written as "\~".

#include <optional>
#include <string>
#include <string_view>

#include "common/dates.h"
#include "common/text_codec.h"

namespace lagrull {

inline constexpr char32_t kProtectedOpen = 0xF8F0;    // "("
inline constexpr char32_t kProtectedClose = 0xF8F1;   // ")"
inline constexpr char32_t kProtectedEquals = 0xF8F2;  // "="
inline constexpr char32_t kNoBreakBlank = 0x00A0;

std::string protectValue(std::string_view value);
// The protected characters as the ordinary ones again.
std::string unprotectValue(std::string_view value);

// Applies a merge-field format; throws ERtfField "Field merge syntax Error"
// for an unknown D format.
std::string applyMergeFormat(const std::string& value, const std::string& format);

// "OLA NORDMANN OG SØNN AS" -> "Ola Nordmann og Sønn AS"; a value holding
// a lower-case letter is kept.
std::string nameCase(const std::string& value);

// A date in one of the shapes "DD.MM.YYYY", "DD.MM.YY", "DDMMYY",
// "YYYYMMDD"; nullopt for any other shape or a date that does not exist.
std::optional<Date> readMergeDate(std::string_view value, int currentYear);

// A number with `decimals` decimals and "," as the decimal mark, "." between
// groups of three with `groups`; empty for 0 with `hideZero`. The value's
// "." are removed and its first "," is the decimal point. nullopt when the
// value is no number.
std::optional<std::string> formatMergeNumber(std::string_view value, int decimals, bool groups,
                                             bool hideZero);

// "#" takes the next digit of the value; with "\" the mask is a choice list
// "text[code]\text[code]" and the value's digits pick the entry.
std::string applyMergeMask(std::string_view value, std::string_view mask);

std::string norwegianMonthName(int month);  // 1 = "januar"

// A computed number as a stored value: up to six decimals, "," as decimal
// mark, no trailing zeros or trailing comma ("2,5", "6", "-0,125").
std::string decimalText(double value);

// Merged text as RTF: "\", "{" and "}" escaped, line breaks as "\line ",
// tabs as "\tab ", the protected characters as themselves, U+00A0 as "\~",
// characters beyond ASCII as "\'hh" in `page` or "\uN?".
std::string mergedTextToRtf(const std::string& utf8, CodePage page);

}  // namespace lagrull
