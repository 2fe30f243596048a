#include "services/postnr_writer.h"

#include <vector>

#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull {

namespace {

bool fourDigits(std::string_view s) {
    if (s.size() != 4) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

void addEntry(PostalRegister& reg, std::string_view code, std::string place, int line) {
    if (!fourDigits(code))
        throw FormatError("Ugyldig postnummer \"" + std::string(code) + "\" i linje " +
                          std::to_string(line));
    while (!place.empty() && place.back() == ' ') place.pop_back();
    reg[std::stoi(std::string(code))] = std::move(place);
}

// A JSON string starting at `pos` (on the opening quote); handles the
// escapes a generated map can hold.
std::string jsonString(std::string_view text, std::size_t& pos) {
    std::string out;
    ++pos;
    while (pos < text.size() && text[pos] != '"') {
        char c = text[pos++];
        if (c == '\\' && pos < text.size()) {
            c = text[pos++];
            if (c == 'u' && pos + 4 <= text.size()) {
                appendUtf8(out, static_cast<char32_t>(
                                    std::stoul(std::string(text.substr(pos, 4)), nullptr, 16)));
                pos += 4;
                continue;
            }
        }
        out += c;
    }
    if (pos >= text.size()) throw FormatError("Postnummerregisteret slutter midt i en tekst");
    ++pos;
    return out;
}

}  // namespace

PostalRegister readPostalCodesJs(std::string_view text) {
    PostalRegister reg;
    std::size_t pos = text.find('{');
    if (pos == std::string_view::npos) throw FormatError("Fant ikke postnummerlisten");
    int entry = 0;
    while (true) {
        pos = text.find_first_of("\"}", pos);
        if (pos == std::string_view::npos || text[pos] == '}') break;
        const std::string code = jsonString(text, pos);
        pos = text.find('"', pos);
        if (pos == std::string_view::npos) throw FormatError("Mangler poststed for " + code);
        addEntry(reg, code, jsonString(text, pos), ++entry);
    }
    return reg;
}

PostalRegister readPostalRegisterTsv(std::string_view bytes) {
    const std::string text =
        isValidUtf8(bytes) ? std::string(bytes) : toUtf8(bytes, CodePage::Windows1252);
    PostalRegister reg;
    std::size_t start = 0;
    int line = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view row(text.data() + start, end - start);
        start = end + 1;
        ++line;
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        if (row.empty()) continue;
        const std::size_t tab = row.find('\t');
        if (tab == std::string_view::npos)
            throw FormatError("Mangler tabulator i linje " + std::to_string(line));
        const std::size_t tab2 = row.find('\t', tab + 1);
        addEntry(reg, row.substr(0, tab),
                 std::string(
                     row.substr(tab + 1, tab2 == std::string_view::npos ? tab2 : tab2 - tab - 1)),
                 line);
    }
    return reg;
}

namespace {

void put16(std::string& out, std::size_t at, int v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
}

// Places the sorted entries on the level-by-level tree: an in-order walk of
// the implicit tree 1..N visits its slots in ascending order.
void fillTree(const std::vector<int>& sorted, std::vector<int>& slotToIndex, std::size_t slot,
              std::size_t& next) {
    if (slot >= slotToIndex.size()) return;
    fillTree(sorted, slotToIndex, 2 * slot, next);
    slotToIndex[slot] = static_cast<int>(next++);
    fillTree(sorted, slotToIndex, 2 * slot + 1, next);
}

}  // namespace

std::string makePostnrFile(const PostalRegister& reg) {
    if (reg.size() > 32767) throw Error("For mange postnumre for postnummerfilen");
    std::vector<int> numbers;
    std::string text;
    std::vector<std::int32_t> offsets;
    for (const auto& [number, place] : reg) {
        numbers.push_back(number);
        offsets.push_back(static_cast<std::int32_t>(text.size()) + 1);
        char code[8];
        std::snprintf(code, sizeof code, "%04d", number);
        std::string line = std::string(code) + "    " + fromUtf8(place, CodePage::Windows1252);
        if (line.size() > 80) line.resize(80);
        text += line + "\r\n";
    }
    const std::size_t n = numbers.size();
    std::vector<int> slotToIndex(n + 1, -1);
    std::size_t next = 0;
    fillTree(numbers, slotToIndex, 1, next);
    std::string out(6 * (n + 1), '\0');
    put16(out, 0, static_cast<int>(n));
    for (std::size_t slot = 1; slot <= n; ++slot) {
        const int i = slotToIndex[slot];
        put32(out, 6 * slot, offsets[i]);
        put16(out, 6 * slot + 4, numbers[i]);
    }
    return out + text;
}

}  // namespace lagrull
