#pragma once
// The chain of character handlers that scans template text for merge
// fields and commands.
//
// A character goes to the deepest active child handler; when a child
// completes, its parent takes over the child's text and frees it. A child
// that finds the character is not its own (an "@" word that begins no
// command) hands it back, and the parent reads it anew.

#include <memory>
#include <string>
#include <string_view>

#include "template/merge/rtf_extended.h"

namespace lagrull {

// The word of a command type ("IF" for TRtfCommand::If).
std::string_view commandWord(TRtfCommand type);

class TCharHandler {
public:
    explicit TCharHandler(TRtfExtended& engine) : engine_(engine) {}
    virtual ~TCharHandler() = default;
    TCharHandler(const TCharHandler&) = delete;
    TCharHandler& operator=(const TCharHandler&) = delete;

    void feed(char32_t c);
    bool complete() const { return complete_; }
    bool busy() const { return child_ != nullptr; }
    const std::string& text() const { return text_; }
    void clearText() {
        text_.clear();
        complete_ = false;
    }

protected:
    virtual void handle(char32_t c) = 0;
    // The child has completed; its text is appended (the text handler's
    // text is then complete, a field's or parameter list's is not).
    virtual void childDone(TCharHandler& child);
    void append(char32_t c);
    void startMergeField();
    void startCommand();
    // "{" starts a merge field, "@" a command; false for other characters.
    bool startsChild(char32_t c);

    TRtfExtended& engine_;
    std::unique_ptr<TCharHandler> child_;
    std::string text_;  // UTF-8
    bool complete_ = false;
    bool handBack_ = false;  // the last character is the parent's
};

// Plain text: the root handler of the document and of each include level.
class TTextCharHandler : public TCharHandler {
public:
    using TCharHandler::TCharHandler;

protected:
    void handle(char32_t c) override;
    // A merged value is visible text of the line like any typed character.
    void childDone(TCharHandler& child) override;
};

// The text of a merge field between "{" and "}".
class TMergeCharHandler : public TCharHandler {
public:
    using TCharHandler::TCharHandler;

protected:
    void handle(char32_t c) override;
};

// A parameter list in parentheses.
class TParamCharHandler : public TCharHandler {
public:
    using TCharHandler::TCharHandler;

protected:
    void handle(char32_t c) override;

private:
    int depth_ = 0;
    bool opened_ = false;
};

// A command word after "@", its parameters, and a following command when
// the command stays open.
class TCmdCharHandler : public TCharHandler {
public:
    TCmdCharHandler(TRtfExtended& engine, TRtfCommand open);

protected:
    void handle(char32_t c) override;
    void childDone(TCharHandler& child) override;

private:
    void recognised(TRtfCommand type);
    void execute(const std::string& parameter);

    enum class State { Word, Parameters, Waiting } state_ = State::Word;
    TRtfCommand open_;  // the open command this one follows, or None
    TRtfCommand type_ = TRtfCommand::None;
    std::string word_;
    bool lineHadContent_;
};

}  // namespace lagrull
