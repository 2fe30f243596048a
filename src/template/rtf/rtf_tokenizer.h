#pragma once
// The one RTF tokenizer every reader of the document engine stands on.
//
// Design note. Tokens are views into the source, which must outlive the
// tokenizer; a token is therefore cheap to copy and is valid for as long as
// the source is. Invariants:
//  - CR and LF between tokens are never tokens; a tab is the word "tab" and a
//    backslash before a line break the word "par";
//  - characters written as control symbols or words ("\'e6", "\{", "bullet")
//    are text tokens carrying the byte in the document's code page;
//  - `text` is the backslash and the word with its parameter as read, at most
//    80 characters; `raw` is every byte the token took from the source,
//    delimiter included, so that a copier can reproduce the source exactly;
//  - a control word takes all letters that follow the backslash, but its
//    name is its first letter and the lower-case letters after it: a name
//    matches when the next character is not a lower-case letter;
//  - exactly one token can be pushed back;
//  - reading past the end throws RtfEndOfSource, which the outermost reader
//    catches: the end of the data ends parsing without an error.

#include <cstdint>
#include <string>
#include <string_view>

namespace lagrull {

enum class TRtfTokenKind : std::uint8_t {
    IgnorableMark = 0,  // "\*"
    Binary = 1,         // "\binN" with its N bytes
    Control = 2,        // a control word or control symbol
    GroupStart = 3,     // "{"
    GroupEnd = 4,       // "}"
    Text = 5,           // one character of text
};

struct TRtfToken {
    TRtfTokenKind kind = TRtfTokenKind::Text;
    std::string_view text;    // "\word-12", "\~"; for text the bytes read
    std::string_view raw;     // the source bytes of the token
    std::string_view binary;  // the data of a Binary token
    int wordLength = 0;       // letters of the word's name (1 for a control symbol)
    bool hasParam = false;
    std::int32_t param = 0;
    unsigned char ch = 0;  // a Text token's byte
    char32_t unicode = 0;  // set for the character words (bullet ... rdblquote)

    std::string_view word() const {
        return text.size() > 1 ? text.substr(1, static_cast<std::size_t>(wordLength))
                               : std::string_view{};
    }
    // True for the control word or symbol `name` exactly.
    bool is(std::string_view name) const {
        return kind == TRtfTokenKind::Control && word() == name;
    }
    std::int32_t paramOr(std::int32_t fallback) const { return hasParam ? param : fallback; }
};

// The quiet end-of-source signal ("slutt").
struct RtfEndOfSource {};

class TRtfTokenizer {
public:
    explicit TRtfTokenizer(std::string_view source) : source_(source) {}
    explicit TRtfTokenizer(const char* source) : source_(source) {}
    // The tokens would outlive a temporary source.
    explicit TRtfTokenizer(std::string&&) = delete;

    // The next token; throws RtfEndOfSource past the end.
    const TRtfToken& next();
    // The token last returned by next() is returned once more.
    void pushBack() { pushedBack_ = true; }

    bool atEnd() const { return !pushedBack_ && skipLineBreaks() >= source_.size(); }
    std::size_t position() const { return pos_; }
    std::string_view source() const { return source_; }

private:
    std::size_t skipLineBreaks() const;
    void readControl(std::size_t start);
    void readWord(std::size_t start);

    std::string_view source_;
    std::size_t pos_ = 0;
    TRtfToken token_;
    bool pushedBack_ = false;
};

}  // namespace lagrull
