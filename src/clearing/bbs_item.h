#pragma once
// One record of the clearing house's fixed-width format "NY": a text line of
// 80 characters whose fields lie at fixed positions.
//
// Invariants:
// - `Line` holds the record as the file's bytes, ISO-8859-1, one byte per
//   character, so that positions are byte positions and a name with Æ, Ø or
//   Å keeps every later field in its place. Text handed to or taken from a
//   field is UTF-8 and converted at the field.
// - Positions are counted from 1, as in the clearing house's layouts.
// - A field written beyond the end of a short line first extends the line
//   with blanks; nothing else ever changes the line's length.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/dates.h"
#include "common/money.h"

namespace lagrull::clearing {

inline constexpr int kRecordLength = 80;

class TBBSItem {
public:
    TBBSItem() = default;
    explicit TBBSItem(std::string bytes) : line_(std::move(bytes)) {}
    virtual ~TBBSItem() = default;
    TBBSItem(const TBBSItem&) = default;
    TBBSItem& operator=(const TBBSItem&) = default;
    TBBSItem(TBBSItem&&) = default;
    TBBSItem& operator=(TBBSItem&&) = default;

    // The record's bytes (ISO-8859-1) as they go into the file.
    const std::string& Line() const { return line_; }
    void SetLine(std::string bytes) { line_ = std::move(bytes); }

    // Characters first..last, cut at the end of the line, blanks removed at
    // both ends, as UTF-8.
    std::string GetField(int first, int last) const;
    // The same bytes untrimmed and unconverted (empty past the line's end).
    std::string_view RawField(int first, int last) const;
    // Left-justified: the value cut or blank-padded to the field's length.
    // A character that ISO-8859-1 lacks ("€", "Ő") throws FormatError naming
    // the record, the field and the character.
    void SetField(int first, int last, std::string_view utf8);
    // The value padded on the left with `fill` to at least the field's
    // length, then written with SetField (which cuts a longer one).
    void SetNumberField(int first, int last, char fill, std::string_view utf8);
    static std::string Fill(char c, int count);

    // Typed fields. Numbers and amounts are zero-filled decimal digits.
    std::int64_t GetNumber(int first, int last) const;
    void SetNumber(int first, int last, std::int64_t value);
    // Whole øre. A negative amount or one too long for its field has no
    // form in the file and is refused with a FormatError.
    Money GetAmount(int first, int last) const { return Money::fromOre(GetNumber(first, last)); }
    void SetAmount(int first, int last, Money amount);
    // "DDMMYY"; no date is written "000000" and read from zeros or blanks.
    // Reading throws FormatError for a
    // field that is neither empty, zeros nor a real date.
    std::optional<Date> GetDate(int first, int last) const;
    void SetDate(int first, int last, std::optional<Date> date);

private:
    std::string toLatin1(int first, int last, std::string_view utf8) const;
    void extendTo(int last);
    void putBytes(int first, int last, std::string_view bytes);

    std::string line_;
};

// Field readers shared by the records and the return-file reader.
// The decimal digits at the start of the trimmed field; reading stops at the
// first other character, an empty field is 0.
std::int64_t readNumberField(std::string_view field);
// "DDMMYY" with the two-digit-year window; blanks or zeros are no date;
// anything else that is not a real date throws FormatError.
std::optional<Date> readDateField(std::string_view field);
// An amount field of a return file: a decimal number of øre ("," or "." as
// decimal point), rounded to whole øre half to even. Throws FormatError
// when the field holds no number.
Money readOcrAmountField(std::string_view field);

// The decimal digits of a number, left-padded with "0" to `width`.
std::string zeroPadded(std::int64_t value, std::size_t width);

// Blanks removed at both ends.
std::string_view trimBlanks(std::string_view text);

}  // namespace lagrull::clearing
