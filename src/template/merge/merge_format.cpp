#include "template/merge/merge_format.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "common/text_codec.h"
#include "template/merge/rtf_ext_errors.h"

namespace lagrull {

namespace {

std::string replaceCodePoints(std::string_view value, char32_t a, char32_t b, char32_t c,
                              char32_t ra, char32_t rb, char32_t rc) {
    std::string out;
    out.reserve(value.size());
    std::size_t pos = 0;
    while (pos < value.size()) {
        char32_t cp = decodeUtf8(value, pos);
        if (cp == a)
            cp = ra;
        else if (cp == b)
            cp = rb;
        else if (cp == c)
            cp = rc;
        appendUtf8(out, cp);
    }
    return out;
}

bool isBlank(char32_t c) { return c == U' ' || c == kNoBreakBlank; }

std::string digitsOf(std::string_view value) {
    std::string d;
    for (char c : value)
        if (c >= '0' && c <= '9') d.push_back(c);
    return d;
}

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v % 100);
    return buf;
}

std::string dateFormat(const std::string& value, const std::string& format) {
    std::string f = upperCase(format);
    if (f != "D" && f != "D4" && f != "D6" && f != "D8" && f != "DY" && f != "DT")
        throw ERtfField("Field merge syntax Error");
    const auto date = readMergeDate(value, Date::today().year);
    if (!date) return {};  // a value that is no date gives no date
    const Date& d = *date;
    if (f == "D") return twoDigits(d.day) + twoDigits(d.month) + twoDigits(d.year);
    if (f == "D4") return twoDigits(d.day) + "." + twoDigits(d.month);
    if (f == "D6") return twoDigits(d.day) + "." + twoDigits(d.month) + "." + twoDigits(d.year);
    if (f == "D8") return d.shown();
    if (f == "DY") return std::to_string(d.year);
    return std::to_string(d.day) + ". " + norwegianMonthName(d.month) + " " +
           std::to_string(d.year);
}

std::string caseFormat(const std::string& value, const std::string& f) {
    if (f == "A" || f == "AA") return upperCase(value);
    if (f == "a" || f == "aa") return lowerCase(value);
    if (f == "Aaa") {
        std::u32string v = toU32(lowerCase(value));
        if (!v.empty()) v[0] = upperCase(v[0]);
        return fromU32(v);
    }
    if (f == "Aa") return nameCase(value);
    if (f == "Aa?") {
        int blanks = 0;
        for (char c : value) blanks += c == ' ';
        return blanks <= 4 ? nameCase(value) : value;
    }
    return value;
}

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
}

}  // namespace

std::string protectValue(std::string_view value) {
    return replaceCodePoints(value, U'(', U')', U'=', kProtectedOpen, kProtectedClose,
                             kProtectedEquals);
}

std::string unprotectValue(std::string_view value) {
    return replaceCodePoints(value, kProtectedOpen, kProtectedClose, kProtectedEquals, U'(', U')',
                             U'=');
}

std::string decimalText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    for (char& c : s)
        if (c == '.') c = ',';
    return s == "-0" ? "0" : s;
}

std::string norwegianMonthName(int month) {
    static const char* const names[] = {"januar",    "februar", "mars",     "april",
                                        "mai",       "juni",    "juli",     "august",
                                        "september", "oktober", "november", "desember"};
    return month >= 1 && month <= 12 ? names[month - 1] : "";
}

std::optional<Date> readMergeDate(std::string_view value, int currentYear) {
    std::string v = [&] {
        std::size_t b = 0, e = value.size();
        while (b < e && value[b] == ' ') ++b;
        while (e > b && value[e - 1] == ' ') --e;
        return std::string(value.substr(b, e - b));
    }();
    const bool hasDot = v.find('.') != std::string::npos;
    if ((v.size() == 8 && hasDot) || (v.size() == 10 && v.find('.') == 4)) {
        std::string t;
        for (char c : v)
            if (c != '.') t.push_back(c);
        v = t;
    }
    for (char c : v)
        if (c != '.' && (c < '0' || c > '9')) return std::nullopt;
    auto num = [&](std::size_t at, std::size_t n) { return std::atoi(v.substr(at, n).c_str()); };
    int day = 0, month = 0, year = 0;
    if (v.size() == 6 && !hasDot) {
        day = num(0, 2), month = num(2, 2);
        const int yy = num(4, 2);
        year = yy > (currentYear % 100) + 4 ? 1900 + yy : 2000 + yy;
    } else if (v.size() == 6) {  // "DD.MM.YY" with its dots removed
        day = num(0, 2), month = num(2, 2);
        const int yy = num(4, 2);
        year = yy > (currentYear % 100) + 4 ? 1900 + yy : 2000 + yy;
    } else if (v.size() == 8 && v.find('.') == std::string::npos) {
        year = num(0, 4), month = num(4, 2), day = num(6, 2);
    } else if (v.size() == 10 && v[2] == '.' && v[5] == '.') {
        day = num(0, 2), month = num(3, 2), year = num(6, 4);
    } else {
        return std::nullopt;
    }
    if (!isValidDate(year, month, day)) return std::nullopt;
    return Date{year, month, day};
}

std::optional<std::string> formatMergeNumber(std::string_view value, int decimals, bool groups,
                                             bool hideZero) {
    std::string t;
    bool comma = false;
    for (char c : value) {
        if (c == '.' || c == ' ') continue;
        if (c == ',') {
            if (comma) return std::nullopt;
            comma = true;
            t.push_back('.');
        } else {
            t.push_back(c);
        }
    }
    if (t.empty()) t = "0";
    char* end = nullptr;
    const double number = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(number) || std::fabs(number) > 1e15)
        return std::nullopt;
    if (number == 0 && hideZero) return std::string();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, number);
    std::string s = buf;
    std::string sign;
    if (!s.empty() && s[0] == '-') {
        sign = "-";
        s.erase(0, 1);
    }
    const std::size_t point = s.find('.');
    std::string whole = s.substr(0, point),
                frac = point == std::string::npos ? "" : s.substr(point + 1);
    if (groups)
        for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3)
            whole.insert(static_cast<std::size_t>(at), ".");
    if (sign == "-" && whole.find_first_not_of("0.") == std::string::npos &&
        frac.find_first_not_of('0') == std::string::npos)
        sign.clear();  // no "-0,00"
    return sign + whole + (frac.empty() ? "" : "," + frac);
}

std::string applyMergeMask(std::string_view value, std::string_view mask) {
    std::string digits = digitsOf(value);
    if (mask.find('\\') != std::string_view::npos) {
        std::size_t start = 0;
        while (start <= mask.size()) {
            std::size_t end = mask.find('\\', start);
            if (end == std::string_view::npos) end = mask.size();
            const std::string_view entry = mask.substr(start, end - start);
            const std::size_t open = entry.rfind('['), close = entry.rfind(']');
            if (open != std::string_view::npos && close != std::string_view::npos && close > open &&
                entry.substr(open + 1, close - open - 1) == digits)
                return std::string(entry.substr(0, open));
            start = end + 1;
        }
        return digits;
    }
    std::string out;
    std::size_t next = 0;
    for (char c : mask) {
        if (c == '#') {
            if (next < digits.size()) out.push_back(digits[next++]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string nameCase(const std::string& value) {
    std::u32string v = toU32(value);
    for (char32_t c : v)
        if ((c >= U'a' && c <= U'z') || c == U'æ' || c == U'ø' || c == U'å') return value;
    std::u32string t;
    for (char32_t c : v) {
        if (c == U' ' && (t.empty() || t.back() == U' ')) continue;
        t.push_back(c);
    }
    while (!t.empty() && t.back() == U' ') t.pop_back();
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool start = i == 0 || isBlank(t[i - 1]) || t[i - 1] == U'&' || t[i - 1] == U'-' ||
                           t[i - 1] == U'.' || t[i - 1] == U'/';
        t[i] = start ? upperCase(t[i]) : lowerCase(t[i]);
    }
    std::string s = fromU32(t);
    replaceAll(s, "V/", "v/");
    for (const char* word : {" Og ", " I ", " For ", " På "}) {
        std::string lower = lowerCase(word);
        // a word between two blanks: the second blank is shared with the next match
        for (std::size_t p = s.find(word); p != std::string::npos; p = s.find(word, p + 1))
            s.replace(p, std::string_view(word).size(), lower);
    }
    replaceAll(s, " Ikt", " IKT");
    replaceAll(s, " Il ", " IL ");
    auto endsWith = [&](std::string_view tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(" As"))
        s.replace(s.size() - 3, 3, " AS");
    else if (endsWith(" Asa"))
        s.replace(s.size() - 4, 4, " ASA");
    else if (endsWith(" Il"))
        s.replace(s.size() - 3, 3, " IL");
    return s;
}

std::string applyMergeFormat(const std::string& value, const std::string& rawFormat) {
    std::string format = rawFormat;
    bool noBreak = false;
    if (!format.empty() && format.front() == '_') {
        format.erase(0, 1);
        noBreak = true;
    } else if (!format.empty() && format.back() == '_') {
        format.pop_back();
        noBreak = true;
    }
    std::string result;
    if (format.empty()) {
        result = value;
    } else if (format[0] == 'A' || format[0] == 'a') {
        result = caseFormat(value, format);
    } else if (format[0] == 'D' || format[0] == 'd') {
        result = dateFormat(value, format);
    } else if (format[0] == 'N' || format[0] == 'T') {
        const int decimals =
            format.size() > 1 && format[1] >= '0' && format[1] <= '9' ? format[1] - '0' : 0;
        const bool hideZero = upperCase(format).find("H0") != std::string::npos;
        result = formatMergeNumber(value, decimals, format[0] == 'T', hideZero).value_or(value);
    } else {
        result = applyMergeMask(value, format);
    }
    if (noBreak) {
        std::string nb;
        appendUtf8(nb, kNoBreakBlank);
        replaceAll(result, " ", nb);
    }
    return result;
}

std::string mergedTextToRtf(const std::string& utf8, CodePage page) {
    std::string out;
    std::size_t pos = 0;
    char32_t previous = 0;
    while (pos < utf8.size()) {
        const char32_t c = decodeUtf8(utf8, pos);
        switch (c) {
            case U'\n':
                if (previous != U'\r') out += "\\line ";
                break;
            case U'\r': out += "\\line "; break;
            case U'\t': out += "\\tab "; break;
            case U'\\': out += "\\\\"; break;
            case U'{': out += "\\{"; break;
            case U'}': out += "\\}"; break;
            case kProtectedOpen: out += '('; break;
            case kProtectedClose: out += ')'; break;
            case kProtectedEquals: out += '='; break;
            case kNoBreakBlank: out += "\\~"; break;
            default:
                if (c < 0x20) break;  // other control characters have no place in text
                if (c < 0x80) {
                    out.push_back(static_cast<char>(c));
                } else if (const int b = unicodeToCodePage(c, page); b >= 0x80) {
                    char buf[16];
                    std::snprintf(buf, sizeof buf, "\\'%02x", b);
                    out += buf;
                } else if (c <= 0xFFFF) {
                    out += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
                } else {
                    const char32_t v = c - 0x10000;
                    out +=
                        "\\u" + std::to_string(static_cast<std::int16_t>(0xD800 + (v >> 10))) + "?";
                    out += "\\u" + std::to_string(static_cast<std::int16_t>(0xDC00 + (v & 0x3FF))) +
                           "?";
                }
        }
        previous = c;
    }
    return out;
}

}  // namespace lagrull
