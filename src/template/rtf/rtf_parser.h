#pragma once
// The parser framework: every reader of RTF is a TRtfParser over one
// tokenizer.
//
// Design note. A parser is started inside a group (or at the top of the
// source) and reads until that group ends; the closing "}" is pushed back
// for the caller, which consumes it (TRtfGroupParser::run does both). A
// nested group is first offered to onDestination with its first token:
// a handler that claims it reads the whole group, "}" included; a group that
// starts with "\*" and is not claimed is skipped; any other group is read in
// line, one level deeper, with onGroupStart/onGroupEnd around it. The base
// handlers do nothing, so unknown words and groups are ignored. Nothing here
// recurses on the nesting of the source: skipping and copying are loops.

#include <string>
#include <string_view>

#include "common/text_codec.h"
#include "template/rtf/rtf_tokenizer.h"

namespace lagrull {

class TRtfParser {
public:
    explicit TRtfParser(TRtfTokenizer& tokens) : tokens_(tokens) {}
    virtual ~TRtfParser() = default;
    TRtfParser(const TRtfParser&) = delete;
    TRtfParser& operator=(const TRtfParser&) = delete;

    // Reads until the group the parser was started in ends; that "}" is left
    // for the caller.
    void parse();

    TRtfTokenizer& tokens() { return tokens_; }

protected:
    virtual void onText(const TRtfToken&) {}
    virtual void onWord(const TRtfToken&) {}
    virtual void onBinary(const TRtfToken&) {}
    // A group begins with `first`, the word after "\*" when `ignorable`.
    // Return true when the handler has read the whole group, "}" included.
    virtual bool onDestination(const TRtfToken& /*first*/, bool /*ignorable*/) { return false; }
    virtual void onGroupStart() {}
    virtual void onGroupEnd() {}

    // Skips the rest of the current group, its "}" included.
    void skipGroup();
    // Runs `sub` on the rest of the current group and consumes its "}".
    void readGroup(TRtfParser& sub);
    // Reads the rest of the current group with this parser's own handlers,
    // as if it were the parser's group, and consumes its "}".
    void parseNested();
    // Levels of in-line groups open below the parser's own.
    int depth() const { return depth_; }

    TRtfTokenizer& tokens_;

private:
    int depth_ = 0;
};

// A parser for the rest of one group, started after the group's first word.
class TRtfGroupParser : public TRtfParser {
public:
    using TRtfParser::TRtfParser;
    // Reads the rest of the group and its closing "}".
    void run();
};

// An RTF text held in memory: the copy of a group, or a stream to parse.
class TRtfStringStream {
public:
    TRtfStringStream() = default;
    explicit TRtfStringStream(std::string data) : data_(std::move(data)) {}

    void write(std::string_view bytes) { data_.append(bytes); }
    const std::string& data() const { return data_; }
    bool empty() const { return data_.empty(); }
    void clear() { data_.clear(); }

private:
    std::string data_;
};

// Copies every token of the rest of a group unchanged into a stream. The
// group's closing "}" is not copied.
class TRtfCopier : public TRtfGroupParser {
public:
    TRtfCopier(TRtfTokenizer& tokens, TRtfStringStream& out) : TRtfGroupParser(tokens), out_(out) {}
    void copy();  // like run(), but copying

private:
    TRtfStringStream& out_;
};

// Collects the text of the rest of a group as UTF-8 (nested groups included,
// "\*" destinations skipped). Bytes are read through `page`.
class TRtfString : public TRtfGroupParser {
public:
    TRtfString(TRtfTokenizer& tokens, CodePage page) : TRtfGroupParser(tokens), page_(page) {}
    const std::string& text() const { return text_; }
    // The text without leading and trailing blanks and a final ";".
    std::string trimmed() const;

protected:
    void onText(const TRtfToken& t) override;
    void onWord(const TRtfToken& t) override;

private:
    CodePage page_;
    std::string text_;
    int skip_ = 0;    // characters still to skip after "\u"
    int ucSkip_ = 1;  // "\uc"
};

// One text token as UTF-8 through `page` (character words keep their own
// Unicode value).
void appendTokenText(std::string& out, const TRtfToken& t, CodePage page);

// The code page of an "ansicpg" number; code pages the program does not
// know fall back to Windows-1252.
CodePage codePageOf(int ansicpg);

std::string trimBlanks(std::string_view text);

}  // namespace lagrull
