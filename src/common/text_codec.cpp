#include "common/text_codec.h"

#include <array>

namespace lagrull {

namespace {

// Windows-1252's characters at 0x80..0x9F; 0 marks an unassigned byte, which
// is kept as its C1 code point as Windows itself does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Code page 865 (DOS Nordic) at 0x80..0xFF.
constexpr std::array<char16_t, 128> kCp865High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00A4,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

}  // namespace

char32_t codePageToUnicode(unsigned char byte, CodePage page) {
    if (byte < 0x80) return byte;
    switch (page) {
        case CodePage::Latin1: return byte;
        case CodePage::Windows1252:
            if (byte < 0xA0) {
                const char16_t c = kCp1252High[byte - 0x80];
                return c ? c : byte;
            }
            return byte;
        case CodePage::Dos865: return kCp865High[byte - 0x80];
    }
    return byte;
}

int unicodeToCodePage(char32_t cp, CodePage page) {
    if (cp < 0x80) return static_cast<int>(cp);
    switch (page) {
        case CodePage::Latin1: return cp <= 0xFF ? static_cast<int>(cp) : -1;
        case CodePage::Windows1252:
            if (cp >= 0xA0 && cp <= 0xFF) return static_cast<int>(cp);
            for (int i = 0; i < 32; ++i)
                if (kCp1252High[i] == cp) return 0x80 + i;
            if (cp >= 0x80 && cp < 0xA0 && kCp1252High[cp - 0x80] == 0) return static_cast<int>(cp);
            return -1;
        case CodePage::Dos865:
            for (int i = 0; i < 128; ++i)
                if (kCp865High[i] == cp) return 0x80 + i;
            return -1;
    }
    return -1;
}

char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = byte(pos);
    int len = 0;
    char32_t cp = 0;
    if (c < 0x80) {
        ++pos;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + len > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < len; ++i) {
        const unsigned char k = byte(pos + i);
        if ((k & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (k & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += len;
    return cp;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t start = pos;
        const char32_t cp = decodeUtf8(bytes, pos);
        if (cp == 0xFFFD && !(pos - start == 3 && bytes.substr(start, 3) == "\xEF\xBF\xBD"))
            return false;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string toUtf8(std::string_view bytes, CodePage from) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes)
        appendUtf8(out, codePageToUnicode(static_cast<unsigned char>(c), from));
    return out;
}

std::string fromUtf8(std::string_view utf8, CodePage to) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // Plain ASCII is the same in every code page: copied a run at a time.
        std::size_t ascii = pos;
        while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
        out.append(utf8, pos, ascii - pos);
        pos = ascii;
        if (pos == utf8.size()) break;
        const int b = unicodeToCodePage(decodeUtf8(utf8, pos), to);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

std::u32string toU32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) out += decodeUtf8(utf8, pos);
    return out;
}

std::string fromU32(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t cp : text) appendUtf8(out, cp);
    return out;
}

namespace {
// Latin Extended-A pairs: in 0x100-0x137 and 0x14A-0x177 the capital is
// even, in 0x139-0x148 and 0x179-0x17E it is odd.
bool capitalIsEven(char32_t cp) {
    return (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177);
}
bool capitalIsOdd(char32_t cp) {
    return (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
}
}  // namespace

char32_t upperCase(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
    if (cp == 0xFF) return 0x178;
    if (capitalIsEven(cp) && (cp & 1)) return cp - 1;
    if (capitalIsOdd(cp) && !(cp & 1)) return cp - 1;
    return cp;
}

char32_t lowerCase(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
    if (cp == 0x178) return 0xFF;
    if (capitalIsEven(cp) && !(cp & 1)) return cp + 1;
    if (capitalIsOdd(cp) && (cp & 1)) return cp + 1;
    return cp;
}

namespace {
template <typename F>
std::string mapCase(std::string_view utf8, F f) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[pos]);
        if (c < 0x80) {
            out += static_cast<char>(f(c));
            ++pos;
        } else {
            appendUtf8(out, f(decodeUtf8(utf8, pos)));
        }
    }
    return out;
}
}  // namespace

std::string upperCase(std::string_view utf8) {
    return mapCase(utf8, [](char32_t c) { return upperCase(c); });
}

std::string_view upperCase(std::string_view utf8, std::string& buffer) {
    for (const char c : utf8) {
        // Only a-z and the letters beyond ASCII have an upper case of their own.
        if ((c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80) {
            buffer = upperCase(utf8);
            return buffer;
        }
    }
    return utf8;
}

std::string lowerCase(std::string_view utf8) {
    return mapCase(utf8, [](char32_t c) { return lowerCase(c); });
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace lagrull
