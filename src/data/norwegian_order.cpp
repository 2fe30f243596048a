#include "data/norwegian_order.h"

#include <algorithm>
#include <cstring>

#include "common/text_codec.h"

namespace lagrull::data {

namespace {

// Letters weigh above every other character; the rest keep their code point.
constexpr char32_t kLetterBase = 0x110000;

char32_t weight(char32_t cp) {
    if (cp < 0x80) {
        if (cp >= 'a' && cp <= 'z') return kLetterBase + (cp - 'a');
        if (cp >= 'A' && cp <= 'Z') return kLetterBase + (cp - 'A');
        return cp;
    }
    const char32_t up = upperCase(cp);
    switch (up) {
        case 0xC6:
        case 0xC4: return kLetterBase + 26;  // Æ, Ä
        case 0xD8:
        case 0xD6: return kLetterBase + 27;  // Ø, Ö
        case 0xC5: return kLetterBase + 28;  // Å
        case 0xC0:
        case 0xC1:
        case 0xC2:
        case 0xC3: return kLetterBase + ('A' - 'A');
        case 0xC7: return kLetterBase + ('C' - 'A');
        case 0xC8:
        case 0xC9:
        case 0xCA:
        case 0xCB: return kLetterBase + ('E' - 'A');
        case 0xCC:
        case 0xCD:
        case 0xCE:
        case 0xCF: return kLetterBase + ('I' - 'A');
        case 0xD1: return kLetterBase + ('N' - 'A');
        case 0xD2:
        case 0xD3:
        case 0xD4:
        case 0xD5: return kLetterBase + ('O' - 'A');
        case 0xD9:
        case 0xDA:
        case 0xDB: return kLetterBase + ('U' - 'A');
        case 0xDC:
        case 0xDD:
        case 0x178: return kLetterBase + ('Y' - 'A');
        default: return up;
    }
}

int compareWeights(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[j]);
        char32_t wa, wb;
        // ASCII is by far the most common: no decoding needed.
        if (ca < 0x80) {
            wa = weight(ca);
            ++i;
        } else
            wa = weight(decodeUtf8(a, i));
        if (cb < 0x80) {
            wb = weight(cb);
            ++j;
        } else
            wb = weight(decodeUtf8(b, j));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool continuationByte(std::string_view text, std::size_t i) {
    return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
}

// Where two texts stop being alike, backed up to the start of a character.
// The decoder never takes a byte that is not a continuation byte as part of
// an earlier character, so both texts decode alike up to there, and their
// order is the order of what follows.
std::size_t commonPrefix(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t k = 0;
    while (k < n && a[k] == b[k]) ++k;
    while (k > 0 && (continuationByte(a, k) || continuationByte(b, k))) --k;
    return k;
}

}  // namespace

// The columns of an index mostly hold texts with a common beginning (names,
// numbers, dates): comparing starts where they differ.
int compareNorwegianNoCase(std::string_view a, std::string_view b) {
    const std::size_t k = commonPrefix(a, b);
    return compareWeights(a.substr(k), b.substr(k));
}

int compareNorwegian(std::string_view a, std::string_view b) {
    const std::size_t k = commonPrefix(a, b);
    a.remove_prefix(k);
    b.remove_prefix(k);
    if (const int c = compareWeights(a, b)) return c;
    const std::size_t n = std::min(a.size(), b.size());
    if (const int c = n ? std::memcmp(a.data(), b.data(), n) : 0) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace lagrull::data
