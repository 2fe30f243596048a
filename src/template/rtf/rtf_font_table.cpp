#include "template/rtf/rtf_font_table.h"

#include <cstdio>

namespace lagrull {

void TFontList::add(TRtfFontInfo font) {
    const std::string key = upperCase(font.name);
    auto it = byNumber_.find(font.number);
    if (it != byNumber_.end()) {
        TRtfFontInfo& old = fonts_[it->second];
        auto named = byName_.find(upperCase(old.name));
        if (named != byName_.end() && named->second == it->second) byName_.erase(named);
        old = std::move(font);
        byName_.emplace(key, it->second);
        return;
    }
    byNumber_.emplace(font.number, fonts_.size());
    byName_.emplace(key, fonts_.size());
    fonts_.push_back(std::move(font));
}

const TRtfFontInfo* TFontList::byNumber(int number) const {
    auto it = byNumber_.find(number);
    return it == byNumber_.end() ? nullptr : &fonts_[it->second];
}

const TRtfFontInfo* TFontList::byName(std::string_view name) const {
    auto it = byName_.find(upperCase(name));
    return it == byName_.end() ? nullptr : &fonts_[it->second];
}

std::map<int, int> TFontList::merge(const TFontList& other) {
    std::map<int, int> numbers;
    long long nextNumber = byNumber_.empty() ? 0 : byNumber_.rbegin()->first + 1LL;
    for (const TRtfFontInfo& f : other.fonts_) {
        if (const TRtfFontInfo* known = byName(f.name)) {
            numbers[f.number] = known->number;
            continue;
        }
        TRtfFontInfo copy = f;
        copy.number = static_cast<int>(nextNumber++);
        numbers[f.number] = copy.number;
        add(std::move(copy));
    }
    return numbers;
}

std::string rtfEscape(std::string_view utf8) {
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = decodeUtf8(utf8, pos);
        if (cp == '\\' || cp == '{' || cp == '}') {
            out.push_back('\\');
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else {
            const int b = unicodeToCodePage(cp, CodePage::Windows1252);
            char hex[16];
            std::snprintf(hex, sizeof hex, "\\'%02x", b < 0 ? '?' : b);
            out += hex;
        }
    }
    return out;
}

std::string TFontList::write() const {
    std::string out = "{\\fonttbl\r\n";
    for (const TRtfFontInfo& f : fonts_) {
        out += "{\\f" + std::to_string(static_cast<unsigned>(f.number)) + "\\" + f.family +
               "\\fcharset" + std::to_string(static_cast<unsigned>(f.charset)) + "\\fprq" +
               std::to_string(static_cast<unsigned>(f.pitch));
        out += f.panose.empty() ? std::string(" ") : "{\\*\\panose " + f.panose + "}";
        out += rtfEscape(f.name) + ";}\r\n";
    }
    out += "}";
    return out;
}

void TRtfFontTableReader::finishEntry() {
    if (!open_) return;
    entry_.name = trimBlanks(name_);
    list_.add(std::move(entry_));
    entry_ = TRtfFontInfo{};
    name_.clear();
    open_ = false;
}

void TRtfFontTableReader::onText(const TRtfToken& t) {
    if (!open_) return;
    if (t.ch == ';' && !t.unicode) {
        finishEntry();
        return;
    }
    appendTokenText(name_, t, page_);
}

void TRtfFontTableReader::onWord(const TRtfToken& t) {
    const std::string_view w = t.word();
    if (w == "f") {
        finishEntry();
        open_ = true;
        entry_.number = t.paramOr(0);
    } else if (!open_) {
        return;
    } else if (w == "fnil" || w == "froman" || w == "fswiss" || w == "fmodern" || w == "fscript" ||
               w == "fdecor" || w == "ftech" || w == "fbidi") {
        entry_.family = std::string(w);
    } else if (w == "fprq") {
        entry_.pitch = t.paramOr(0);
    } else if (w == "fcharset") {
        entry_.charset = t.paramOr(0);
    }
}

bool TRtfFontTableReader::onDestination(const TRtfToken& first, bool /*ignorable*/) {
    if (!open_ || !(first.is("panose") || first.is("falt"))) return false;
    const bool panose = first.is("panose");
    TRtfString text(tokens_, page_);
    text.run();
    (panose ? entry_.panose : entry_.altName) = text.trimmed();
    return true;
}

void TRtfFontTableReader::onGroupEnd() {
    // An entry in a group of its own ends with the group even without ";".
    if (depth() == 0) finishEntry();
}

}  // namespace lagrull
