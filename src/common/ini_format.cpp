#include "common/ini_format.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/text_codec.h"

namespace lagrull::ini {

std::string normaliseName(std::string_view name) {
    std::string compact;
    compact.reserve(name.size());
    for (const char c : name)
        if (c != ' ' && c != '_') compact += c;
    return upperCase(compact);
}

std::string scrambleFirst(std::string_view line) {
    std::string out(line);
    for (char& c : out)
        if (c != 'e' && c != 'h' && c != 'o' && c != '\r' && c != '\n')
            c = static_cast<char>(static_cast<unsigned char>(c) ^ kFirstFormKey);
    return out;
}

std::string scrambleSecond(std::string_view line) {
    std::string out(line);
    for (char& c : out) {
        const unsigned char b = static_cast<unsigned char>(c);
        const unsigned char x = b ^ kSecondFormKey;
        if (b >= 32 && x >= 32) c = static_cast<char>(x);
    }
    return out;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return s;
}

}  // namespace

Document parse(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    std::vector<std::string_view> raw = splitLines(bytes);
    Document doc;
    std::size_t first = 0;
    if (!raw.empty()) {
        const std::string_view head = trimRight(raw[0]);
        if (head == "@@@@@")
            doc.scramble = Scramble::Second;
        else if (head == "@@@@")
            doc.scramble = Scramble::First;
        if (doc.scramble != Scramble::None) first = 1;
    }
    std::string plain;
    plain.reserve(bytes.size());
    for (std::size_t i = first; i < raw.size(); ++i) {
        switch (doc.scramble) {
            case Scramble::None: plain.append(raw[i]); break;
            case Scramble::First: plain += scrambleFirst(raw[i]); break;
            case Scramble::Second: plain += scrambleSecond(raw[i]); break;
        }
        plain += '\n';
    }
    const std::string text = isValidUtf8(plain) ? plain : toUtf8(plain, CodePage::Windows1252);

    doc.sections.push_back(Section{"", {}, false});
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name = line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            doc.sections.push_back(Section{std::string(name), {}, true});
        } else {
            doc.sections.back().lines.emplace_back(line);
        }
    }
    return doc;
}

std::string serialise(const Document& doc) {
    std::string out;
    const bool scrambled = doc.scramble != Scramble::None;
    auto put = [&](std::string_view line) {
        out += scrambled ? scrambleSecond(line) : std::string(line);
        out += "\r\n";
    };
    if (scrambled) out += "@@@@@\r\n";
    for (const Section& s : doc.sections) {
        if (s.named) put("[" + s.name + "]");
        // The section's text without trailing control characters.
        std::size_t n = s.lines.size();
        while (n > 0 && trimRight(s.lines[n - 1]).empty()) --n;
        if (n == 0) continue;  // a section without text gets only its header
        for (std::size_t i = 0; i + 1 < n; ++i) put(s.lines[i]);
        put(trimRight(s.lines[n - 1]));
        out += "\r\n";
    }
    // Reading drops one byte-order mark before the first line; a first line
    // that itself begins with one gets another in front, or it would lose
    // its own (and "@@@@@" behind it would read as a scrambled file).
    if (!scrambled && out.starts_with(kByteOrderMark)) out.insert(0, kByteOrderMark);
    return out;
}

std::string encodeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') {
            out += " \\n ";
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string decodeValue(std::string_view stored) {
    if (stored.find('\\') == std::string_view::npos) return std::string(stored);
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored.substr(i, 4) == " \\n ") {
            out += "\r\n";
            i += 3;
        } else {
            out += stored[i];
        }
    }
    return out;
}

std::string_view valueOf(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    std::string_view v = line.substr(eq + 1);
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    return trimRight(v);
}

std::optional<std::string> keyOf(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return normaliseName(line.substr(0, eq));
}

std::optional<bool> parseBool(std::string_view value) {
    if (value.empty()) return std::nullopt;
    switch (
        static_cast<char>(upperCase(static_cast<char32_t>(static_cast<unsigned char>(value[0]))))) {
        case '1':
        case 'J':
        case 'S':
        case 'T':
        case 'X':
        case 'Y': return true;
        case '0':
        case 'F':
        case 'N':
        case 'U': return false;
        default: return std::nullopt;
    }
}

std::optional<long long> parseInteger(std::string_view value) {
    const std::string s(value);
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(s.c_str(), &end, 10);
    if (end == s.c_str() || *end != '\0' || errno == ERANGE) return std::nullopt;
    return n;
}

std::optional<double> parseDecimal(std::string_view value) {
    std::string s(value);
    if (s.empty()) return std::nullopt;
    for (char& c : s)
        if (c == ',') c = '.';
    // from_chars does not look at the locale, which the GUI may have set.
    const char* begin = s.c_str();
    if (*begin == '+') ++begin;
    double d = 0;
    const auto [end, ec] = std::from_chars(begin, s.c_str() + s.size(), d);
    if (ec != std::errc() || end != s.c_str() + s.size() || !std::isfinite(d)) return std::nullopt;
    return d;
}

std::string formatBool(bool value) { return value ? "Ja" : "Nei"; }

std::string formatDecimal(double value) {
    char buf[400];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    std::string s(buf, result.ptr);
    for (char& c : s)
        if (c == '.') c = ',';
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == ',') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

}  // namespace lagrull::ini
