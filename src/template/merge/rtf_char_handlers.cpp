#include "template/merge/rtf_char_handlers.h"

#include <array>
#include <string_view>

#include "common/text_codec.h"
#include "template/merge/merge_format.h"
#include "template/merge/rtf_ext_errors.h"
#include "template/rtf/rtf_parser.h"

namespace lagrull {

namespace {

struct CommandWord {
    std::string_view word;
    TRtfCommand type;
};

constexpr std::array<CommandWord, 15> kCommands{{
    {"FOR", TRtfCommand::For},
    {"IF", TRtfCommand::If},
    {"ELSE", TRtfCommand::Else},
    {"BEGIN", TRtfCommand::Begin},
    {"END", TRtfCommand::End},
    {"SKIP", TRtfCommand::Skip},
    {"LINK", TRtfCommand::Link},
    {"SET", TRtfCommand::Set},
    {"INSERT", TRtfCommand::Insert},
    {"FIRSTPAGE", TRtfCommand::FirstPage},
    {"ODDPAGE", TRtfCommand::OddPage},
    {"INISECTIONS", TRtfCommand::IniSections},
    {"\\", TRtfCommand::Comment},
    {"ABORT", TRtfCommand::Abort},
    {"IGNORE", TRtfCommand::Ignore},
}};

}  // namespace

std::string_view commandWord(TRtfCommand type) {
    for (const CommandWord& w : kCommands)
        if (w.type == type) return w.word;
    return {};
}

namespace {

bool parameterised(TRtfCommand t) {
    switch (t) {
        case TRtfCommand::For:
        case TRtfCommand::If:
        case TRtfCommand::Link:
        case TRtfCommand::Set:
        case TRtfCommand::Insert:
        case TRtfCommand::IniSections:
        case TRtfCommand::Abort:
        case TRtfCommand::Ignore: return true;
        default: return false;
    }
}

bool staysOpen(TRtfCommand t) {
    return t == TRtfCommand::For || t == TRtfCommand::If || t == TRtfCommand::Skip;
}

}  // namespace

void TCharHandler::feed(char32_t c) {
    if (!child_) {
        handle(c);
        return;
    }
    child_->feed(c);
    if (!child_->complete_) return;
    std::unique_ptr<TCharHandler> done = std::move(child_);
    childDone(*done);
    if (done->handBack_) handle(c);
}

void TCharHandler::childDone(TCharHandler& child) { text_ += child.text_; }

void TCharHandler::append(char32_t c) {
    appendUtf8(text_, c);
    complete_ = true;
}

void TCharHandler::startMergeField() { child_ = std::make_unique<TMergeCharHandler>(engine_); }

void TCharHandler::startCommand() {
    child_ = std::make_unique<TCmdCharHandler>(engine_, TRtfCommand::None);
}

bool TCharHandler::startsChild(char32_t c) {
    if (c == U'{')
        startMergeField();
    else if (c == U'@')
        startCommand();
    else
        return false;
    return true;
}

void TTextCharHandler::handle(char32_t c) {
    if (engine_.rawMode()) {
        if (c == U'\\') engine_.endComment();
        return;
    }
    if (startsChild(c)) return;
    if ((c == U'\r' || c == U'\n') && engine_.dropNextBreak) {
        engine_.dropNextBreak = false;
        return;
    }
    if (c == U' ' && engine_.dropBlanks) return;
    if (c != U' ' && engine_.outputActive()) {
        engine_.lineHasContent = c != U'\r' && c != U'\n';
        engine_.dropNextBreak = false;
        engine_.dropBlanks = false;
    }
    append(c);
}

void TTextCharHandler::childDone(TCharHandler& child) {
    if (!child.text().empty() && engine_.outputActive()) {
        engine_.lineHasContent = true;
        engine_.dropNextBreak = false;
        engine_.dropBlanks = false;
    }
    TCharHandler::childDone(child);
    if (!text_.empty()) complete_ = true;
}

void TMergeCharHandler::handle(char32_t c) {
    if (startsChild(c)) return;
    if (c != U'}') {
        appendUtf8(text_, c);
        return;
    }
    const std::string body = text_;
    const std::size_t open = body.find('[');
    std::string name = trimBlanks(body.substr(0, open));
    std::string format;
    if (open != std::string::npos) {
        const std::size_t close = body.find(']', open + 1);
        format = trimBlanks(body.substr(
            open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
    }
    name = unprotectValue(name);
    text_ = protectValue(applyMergeFormat(engine_.lookupField(name), format));
    complete_ = true;
}

void TParamCharHandler::handle(char32_t c) {
    if (c == U'@') throw ERtfField("Error in paramlist: " + unprotectValue(text_));
    if (c == U'{') {
        startMergeField();
        return;
    }
    if (c == U'(') {
        if (opened_) appendUtf8(text_, c);
        opened_ = true;
        ++depth_;
        return;
    }
    if (c == U')') {
        --depth_;
        if (depth_ < 0) throw ERtfCmdParam("Missing parantees in statement parameter list");
        if (depth_ == 0) {
            text_ = trimBlanks(text_);
            complete_ = true;
            return;
        }
    }
    appendUtf8(text_, c);
}

TCmdCharHandler::TCmdCharHandler(TRtfExtended& engine, TRtfCommand open)
    : TCharHandler(engine), open_(open), lineHadContent_(engine.lineHasContent) {}

void TCmdCharHandler::handle(char32_t c) {
    switch (state_) {
        case State::Word: {
            appendUtf8(word_, c);
            bool prefix = false;
            for (const CommandWord& w : kCommands) {
                if (w.word == word_) {
                    recognised(w.type);
                    return;
                }
                if (w.word.substr(0, word_.size()) == word_) prefix = true;
            }
            if (prefix) return;
            if (open_ != TRtfCommand::None)
                throw ERtfExtendedCmd("Illigal combination of commands");
            // No command: the at sign and the letters before this character
            // are text, and this character is read anew by the parent.
            std::string last;
            appendUtf8(last, c);
            word_.resize(word_.size() - last.size());
            text_ = "@" + word_;
            handBack_ = true;
            complete_ = true;
            return;
        }
        case State::Parameters: return;  // the parameter child takes every character
        case State::Waiting:
            if (c == U'@') {
                child_ = std::make_unique<TCmdCharHandler>(engine_, type_);
                return;
            }
            if (c == U'{') throw ERtfExtendedCmd("Command Syntax Error");
            return;  // characters between combined commands are dropped
    }
}

void TCmdCharHandler::recognised(TRtfCommand type) {
    type_ = type;
    if (open_ != TRtfCommand::None) {
        if (type == TRtfCommand::Link || type == TRtfCommand::Insert) {
            if (open_ != TRtfCommand::For && open_ != TRtfCommand::If)
                throw ERtfLink("Illigal combination of LINK command and other command");
        } else if (type == TRtfCommand::IniSections) {
            if (open_ != TRtfCommand::If)
                throw ERtfField("Illigal combination of INISECTION command and other command");
        } else if (type != TRtfCommand::Begin) {
            throw ERtfExtendedCmd("Illigal combination of commands");
        }
    }
    if (parameterised(type)) {
        state_ = State::Parameters;
        child_ = std::make_unique<TParamCharHandler>(engine_);
        return;
    }
    execute({});
}

void TCmdCharHandler::execute(const std::string& parameter) {
    engine_.runCommand(type_, parameter, open_);
    if (staysOpen(type_) && open_ == TRtfCommand::None) {
        state_ = State::Waiting;
        return;
    }
    if (open_ == TRtfCommand::None) engine_.noteCommandDone(lineHadContent_);
    complete_ = true;
}

void TCmdCharHandler::childDone(TCharHandler& child) {
    if (state_ == State::Parameters) {
        execute(child.text());
        return;
    }
    // The command that followed an open one is done: so is this one. After
    // "@BEGIN" the level stays open until "@END".
    const TRtfCommand followed = static_cast<TCmdCharHandler&>(child).type_;
    if (followed != TRtfCommand::Begin) engine_.closeOpenCommand(followed);
    engine_.noteCommandDone(lineHadContent_);
    complete_ = true;
}

}  // namespace lagrull
