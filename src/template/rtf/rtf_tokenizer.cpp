#include "template/rtf/rtf_tokenizer.h"

#include <algorithm>
#include <array>

namespace lagrull {

namespace {

constexpr std::size_t kMaxTokenText = 80;

bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isLetter(char c) { return isLower(c) || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The words that stand for one character, with their Windows-1252 code.
struct CharacterWord {
    std::string_view name;
    unsigned char code;
    char32_t unicode;
};
constexpr std::array<CharacterWord, 7> kCharacterWords = {{
    {"bullet", 149, 0x2022},
    {"endash", 150, 0x2013},
    {"emdash", 151, 0x2014},
    {"lquote", 145, 0x2018},
    {"rquote", 146, 0x2019},
    {"ldblquote", 147, 0x201C},
    {"rdblquote", 148, 0x201D},
}};

}  // namespace

std::size_t TRtfTokenizer::skipLineBreaks() const {
    std::size_t p = pos_;
    while (p < source_.size() && (source_[p] == '\r' || source_[p] == '\n')) ++p;
    return p;
}

const TRtfToken& TRtfTokenizer::next() {
    if (pushedBack_) {
        pushedBack_ = false;
        return token_;
    }
    pos_ = skipLineBreaks();
    if (pos_ >= source_.size()) throw RtfEndOfSource{};
    const std::size_t start = pos_;
    const char c = source_[pos_++];
    token_ = TRtfToken{};
    switch (c) {
        case '{': token_.kind = TRtfTokenKind::GroupStart; break;
        case '}': token_.kind = TRtfTokenKind::GroupEnd; break;
        case '\t':
            token_.kind = TRtfTokenKind::Control;
            token_.text = "\\tab";
            token_.wordLength = 3;
            break;
        case '\\': readControl(start); return token_;
        default:
            token_.kind = TRtfTokenKind::Text;
            token_.ch = static_cast<unsigned char>(c);
            break;
    }
    token_.raw = source_.substr(start, pos_ - start);
    if (token_.text.empty()) token_.text = token_.raw;
    return token_;
}

void TRtfTokenizer::readControl(std::size_t start) {
    if (pos_ >= source_.size()) {
        // A lone backslash at the very end: a control symbol of nothing.
        token_.kind = TRtfTokenKind::Control;
        token_.text = token_.raw = source_.substr(start);
        return;
    }
    const char c = source_[pos_];
    if (isLetter(c)) {
        readWord(start);
        return;
    }
    ++pos_;
    token_.kind = TRtfTokenKind::Control;
    token_.wordLength = 1;
    switch (c) {
        case '\r':
        case '\n':
            token_.text = "\\par";
            token_.wordLength = 3;
            break;
        case '*': token_.kind = TRtfTokenKind::IgnorableMark; break;
        case '{':
        case '}':
        case '\\':
            token_.kind = TRtfTokenKind::Text;
            token_.ch = static_cast<unsigned char>(c);
            break;
        case '\'': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < source_.size()) {
                const int h = hexValue(source_[pos_]);
                if (h < 0) break;
                value = value * 16 + h;
                ++pos_;
                ++digits;
            }
            if (digits > 0) {
                token_.kind = TRtfTokenKind::Text;
                token_.ch = static_cast<unsigned char>(value);
            }
            break;
        }
        default: break;
    }
    token_.raw = source_.substr(start, pos_ - start);
    if (token_.text.empty()) token_.text = token_.raw.substr(0, 2);
}

void TRtfTokenizer::readWord(std::size_t start) {
    token_.kind = TRtfTokenKind::Control;
    // All letters belong to the word; it is named by its first letter and
    // the lower-case letters that follow ("sectSide" is the word "sect").
    ++pos_;
    while (pos_ < source_.size() && isLower(source_[pos_])) ++pos_;
    token_.wordLength = static_cast<int>(pos_ - start - 1);
    while (pos_ < source_.size() && isLetter(source_[pos_])) ++pos_;
    bool negative = false;
    if (pos_ + 1 < source_.size() && source_[pos_] == '-' && isDigit(source_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    if (pos_ < source_.size() && isDigit(source_[pos_])) {
        // The value wraps like the old signed 32-bit reader; digits beyond
        // any sensible length are still consumed as part of the word.
        std::uint32_t value = 0;
        while (pos_ < source_.size() && isDigit(source_[pos_])) {
            value = value * 10u + static_cast<std::uint32_t>(source_[pos_] - '0');
            ++pos_;
        }
        token_.hasParam = true;
        token_.param = static_cast<std::int32_t>(negative ? 0u - value : value);
    }
    const std::size_t end = pos_;
    if (pos_ < source_.size() && source_[pos_] == ' ') ++pos_;
    token_.text = source_.substr(start, std::min(end - start, kMaxTokenText));
    if (token_.wordLength > static_cast<int>(kMaxTokenText) - 1)
        token_.wordLength = static_cast<int>(kMaxTokenText) - 1;
    token_.raw = source_.substr(start, pos_ - start);

    const std::string_view name = token_.word();
    if (name == "bin" && token_.hasParam) {
        const std::size_t wanted = token_.param > 0 ? static_cast<std::size_t>(token_.param) : 0;
        const std::size_t count = std::min(wanted, source_.size() - pos_);
        token_.kind = TRtfTokenKind::Binary;
        token_.binary = source_.substr(pos_, count);
        pos_ += count;
        token_.raw = source_.substr(start, pos_ - start);
        // Data cut short by the end of the source ends the reading.
        if (count < wanted) throw RtfEndOfSource{};
        return;
    }
    if (name.size() >= 6 && name.size() <= 9) {
        for (const auto& w : kCharacterWords) {
            if (w.name == name) {
                token_.kind = TRtfTokenKind::Text;
                token_.ch = w.code;
                token_.unicode = w.unicode;
                return;
            }
        }
    }
}

}  // namespace lagrull
