#include "services/import_text.h"

#include <algorithm>

#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull {

namespace {

constexpr std::size_t kCtosMarkWindow = 15;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Control bytes a text file never holds; tab, the line ends, Ctrl-R (a
// separator) and Ctrl-Z (the end) are text.
bool binaryByte(unsigned char c) {
    if (c == 0x7F) return true;
    if (c >= 32) return false;
    return c != '\t' && c != '\n' && c != '\r' && c != kCtrlR && c != kCtrlZ && c != kEsc;
}

// Ctos moved six letters onto bytes Windows-1252 uses otherwise.
char32_t ctosLetter(unsigned char c) {
    switch (c) {
        case 0xA0: return U'Å';
        case 0xA1: return U'å';
        case 0xA6: return U'Ø';
        case 0xA7: return U'ø';
        case 0xAE: return U'Æ';
        case 0xAF: return U'æ';
        default: return 0;
    }
}

std::size_t ctosStart(std::string_view bytes) {
    const std::size_t window = std::min(bytes.size(), kCtosMarkWindow);
    for (std::size_t i = 0; i + 1 < window; ++i)
        if (bytes[i] == kEsc && bytes[i + 1] == kCtrlR) return i + 1;
    return std::string_view::npos;
}

}  // namespace

std::string SeparatorName(char c) {
    switch (c) {
        case '\t': return "tabulator";
        case kCtrlR: return "Ctrl-R";
        default: return std::string("«") + c + "»";
    }
}

std::string ConvertText(std::string_view bytes, TTextConvert convert) {
    switch (convert) {
        case TTextConvert::tcWindows: return toUtf8(bytes, CodePage::Windows1252);
        case TTextConvert::tcDos: return toUtf8(bytes, CodePage::Dos865);
        case TTextConvert::tcUtf8: {
            if (isValidUtf8(bytes)) return std::string(bytes);
            std::string out;
            for (std::size_t pos = 0; pos < bytes.size();) appendUtf8(out, decodeUtf8(bytes, pos));
            return out;
        }
        case TTextConvert::tcCtos: break;
    }
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        const char32_t letter = ctosLetter(c);
        appendUtf8(out, letter ? letter : codePageToUnicode(c, CodePage::Windows1252));
    }
    return out;
}

bool TImportReader::HasCtosMark(std::string_view bytes) {
    return ctosStart(bytes) != std::string_view::npos;
}

bool TImportReader::HasUtf8Bom(std::string_view bytes) { return bytes.starts_with(kUtf8Bom); }

std::string_view FirstLine(std::string_view bytes) {
    const std::size_t ctos = ctosStart(bytes);
    if (ctos != std::string_view::npos)
        bytes.remove_prefix(ctos + 1);
    else if (TImportReader::HasUtf8Bom(bytes))
        bytes.remove_prefix(kUtf8Bom.size());
    const std::size_t end = bytes.find_first_of(std::string_view("\r\n\x1A\x1B", 4));
    return bytes.substr(0, std::min(end, kMaxLineBytes));
}

TImportReader::TImportReader(std::string_view bytes, char separator)
    : bytes_(bytes), separator_(separator) {
    const std::size_t start = ctosStart(bytes);
    ctos_ = start != std::string_view::npos;
    if (ctos_)
        pos_ = start;
    else if (HasUtf8Bom(bytes))
        pos_ = kUtf8Bom.size();
}

void TImportReader::fail(const std::string& what) const {
    throw FormatError("Linje " + std::to_string(line_) + " i filen " + what);
}

bool TImportReader::lineEnd(std::size_t at) const {
    const char c = bytes_[at];
    return c == '\r' || c == '\n' || c == kCtrlZ || c == kEsc;
}

void TImportReader::takeLineEnd() {
    // A Ctrl-Z that ends a line ends the file too: it stays for Next.
    if (pos_ >= bytes_.size() || bytes_[pos_] == kCtrlZ) return;
    ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n' && bytes_[pos_ - 1] != '\n') ++pos_;
}

bool TImportReader::Next(std::vector<std::string>& values, std::string_view* raw) {
    values.clear();
    if (ctos_ && pos_ < bytes_.size()) ++pos_;
    if (pos_ >= bytes_.size() || bytes_[pos_] == kCtrlZ) return false;
    ++line_;
    const std::size_t start = pos_;
    for (;;) {
        std::string& value = values.emplace_back();
        if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
            ++pos_;
            for (;;) {
                const std::size_t quote = bytes_.find('"', pos_);
                if (quote == std::string_view::npos) fail("har et anførselstegn som aldri lukkes.");
                checkText(pos_, quote);
                value.append(bytes_.substr(pos_, quote - pos_));
                pos_ = quote + 1;
                if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
                    value += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
        }
        const std::size_t from = pos_;
        while (pos_ < bytes_.size() && bytes_[pos_] != separator_ && !lineEnd(pos_)) ++pos_;
        checkText(from, pos_);
        value.append(bytes_.substr(from, pos_ - from));
        if (pos_ - start > kMaxLineBytes)
            fail("er lengre enn " + std::to_string(kMaxLineBytes) + " byte.");
        if (pos_ < bytes_.size() && bytes_[pos_] == separator_) {
            ++pos_;
            continue;
        }
        break;
    }
    if (raw) *raw = bytes_.substr(start, pos_ - start);
    if (pos_ == start) values.clear();
    takeLineEnd();
    return true;
}

void TImportReader::checkText(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i < to; ++i)
        if (binaryByte(static_cast<unsigned char>(bytes_[i])))
            fail("har tegn som ikke hører hjemme i en tekstfil.");
}

}  // namespace lagrull
