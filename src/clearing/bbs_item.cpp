#include "clearing/bbs_item.h"

#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull::clearing {

namespace {

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string fieldName(int first, int last) {
    return std::to_string(first) + "–" + std::to_string(last);
}

// Which record of the file a field belongs to, for a message: its record
// type and, once it has one, its transaction number.
std::string recordName(const TBBSItem& record) {
    std::string name = "post " + std::string(trimBlanks(record.RawField(7, 8)));
    const std::int64_t transaction = readNumberField(record.RawField(9, 15));
    const std::string_view kind = record.RawField(7, 8);
    if (transaction > 0 && kind != "10" && kind != "89" && kind != "20" && kind != "88")
        name += " i transaksjon " + std::to_string(transaction);
    return name;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number of positions first..last, widened before it is counted.
std::size_t fieldLength(int first, int last) {
    return static_cast<std::size_t>(last) - static_cast<std::size_t>(first) + 1;
}

}  // namespace

std::string zeroPadded(std::int64_t value, std::size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string_view TBBSItem::RawField(int first, int last) const {
    const auto begin = static_cast<std::size_t>(first - 1);
    if (first < 1 || last < first || begin >= line_.size()) return {};
    return std::string_view(line_).substr(begin, fieldLength(first, last));
}

std::string TBBSItem::GetField(int first, int last) const {
    const std::string_view field = trimBlanks(RawField(first, last));
    return isAscii(field) ? std::string(field) : toUtf8(field, CodePage::Latin1);
}

void TBBSItem::extendTo(int last) {
    if (line_.size() < static_cast<std::size_t>(last))
        line_.resize(static_cast<std::size_t>(last), ' ');
}

// `bytes` is exactly the field's length.
void TBBSItem::putBytes(int first, int last, std::string_view bytes) {
    extendTo(last);
    line_.replace(static_cast<std::size_t>(first - 1), bytes.size(), bytes);
}

std::string TBBSItem::toLatin1(int first, int last, std::string_view utf8) const {
    if (isAscii(utf8)) return std::string(utf8);
    // A character the clearing house's code page lacks is refused rather
    // than sent as "?": the bank would show the payer a name that is wrong.
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t at = pos;
        const char32_t cp = decodeUtf8(utf8, pos);
        const int byte = unicodeToCodePage(cp, CodePage::Latin1);
        if (byte < 0 || (cp == U'\uFFFD' && utf8.substr(at, pos - at) != "\uFFFD")) {
            std::string shown;
            if (cp == U'\uFFFD')
                shown = "byte " + std::to_string(static_cast<unsigned char>(utf8[at]));
            else
                appendUtf8(shown, cp);
            throw FormatError("Tegnet «" + shown + "» kan ikke skrives i en BBS-fil (" +
                              recordName(*this) + ", felt " + fieldName(first, last) + ": «" +
                              std::string(utf8) + "»)");
        }
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

void TBBSItem::SetField(int first, int last, std::string_view utf8) {
    const std::size_t length = fieldLength(first, last);
    std::string bytes = toLatin1(first, last, utf8);
    bytes.resize(length, ' ');
    putBytes(first, last, bytes);
}

void TBBSItem::SetNumberField(int first, int last, char fill, std::string_view utf8) {
    const std::size_t length = fieldLength(first, last);
    std::string bytes = toLatin1(first, last, utf8);
    if (bytes.size() < length) bytes.insert(0, length - bytes.size(), fill);
    bytes.resize(length, ' ');
    putBytes(first, last, bytes);
}

std::string TBBSItem::Fill(char c, int count) {
    return std::string(static_cast<std::size_t>(count > 0 ? count : 0), c);
}

std::int64_t TBBSItem::GetNumber(int first, int last) const {
    return readNumberField(RawField(first, last));
}

void TBBSItem::SetNumber(int first, int last, std::int64_t value) {
    if (value < 0)
        throw FormatError("Negative tall kan ikke skrives i BBS-fil (felt " +
                          fieldName(first, last) + ": " + std::to_string(value) + ")");
    // Written straight into a buffer: totals are rewritten after every change.
    char digits[24];
    const std::size_t length = fieldLength(first, last);
    if (length > sizeof digits) throw FormatError("Ugyldig BBS-felt " + fieldName(first, last));
    auto rest = static_cast<std::uint64_t>(value);
    for (std::size_t pos = length; pos > 0; rest /= 10)
        digits[--pos] = static_cast<char>('0' + rest % 10);
    if (rest != 0)
        throw FormatError("Tallet " + std::to_string(value) + " får ikke plass i BBS-feltet " +
                          fieldName(first, last));
    putBytes(first, last, std::string_view(digits, length));
}

void TBBSItem::SetAmount(int first, int last, Money amount) {
    if (amount.ore() < 0)
        throw FormatError("Et negativt beløp (" + FormatAmount(amount) +
                          ") kan ikke sendes i en BBS-fil");
    SetNumber(first, last, amount.ore());
}

std::optional<Date> TBBSItem::GetDate(int first, int last) const {
    return readDateField(RawField(first, last));
}

void TBBSItem::SetDate(int first, int last, std::optional<Date> date) {
    if (!date) {
        // The clearing house reads an absent date as zeros; blanks are refused.
        putBytes(first, last, std::string(fieldLength(first, last), '0'));
        return;
    }
    char text[8];
    const int parts[3] = {date->day, date->month, date->year % 100};
    for (std::size_t i = 0; i < 3; ++i) {
        text[2 * i] = static_cast<char>('0' + parts[i] / 10 % 10);
        text[2 * i + 1] = static_cast<char>('0' + parts[i] % 10);
    }
    putBytes(first, last, std::string_view(text, 6));
}

std::int64_t readNumberField(std::string_view field) {
    field = trimBlanks(field);
    std::int64_t value = 0;
    for (const char c : field) {
        if (!isDigit(c)) break;
        if (value > (INT64_MAX - 9) / 10) break;  // wider than any field
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<Date> readDateField(std::string_view field) {
    const std::string_view text = trimBlanks(field);
    if (text.find_first_not_of('0') == std::string_view::npos) return std::nullopt;
    bool digits = text.size() == 6;
    for (const char c : text) digits = digits && isDigit(c);
    if (digits) {
        const int day = (text[0] - '0') * 10 + (text[1] - '0');
        const int month = (text[2] - '0') * 10 + (text[3] - '0');
        const int year = expandTwoDigitYear((text[4] - '0') * 10 + (text[5] - '0'));
        if (isValidDate(year, month, day)) return Date{year, month, day};
    }
    throw FormatError("Ugyldig dato «" + toUtf8(text, CodePage::Latin1) + "»");
}

Money readOcrAmountField(std::string_view field) {
    const std::string_view text = trimBlanks(field);
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    const std::size_t point = digits.find_first_of(",.");
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    bool valid = !whole.empty() || !fraction.empty();
    for (const char c : whole) valid = valid && isDigit(c);
    for (const char c : fraction) valid = valid && isDigit(c);
    if (!valid || whole.size() > 17)
        throw FormatError("Ugyldig beløp «" + toUtf8(text, CodePage::Latin1) + "»");
    std::int64_t ore = 0;
    for (const char c : whole) ore = ore * 10 + (c - '0');
    // Parts of an øre are rounded half to even, as amounts are everywhere.
    if (!fraction.empty() && fraction[0] >= '5') {
        const bool aboveHalf = fraction[0] > '5' ||
                               fraction.substr(1).find_first_not_of('0') != std::string_view::npos;
        if (aboveHalf || ore % 2 == 1) ++ore;
    }
    return Money::fromOre(negative ? -ore : ore);
}

}  // namespace lagrull::clearing
