#include "template/rtf/rtf_parser.h"

namespace lagrull {

void TRtfParser::parse() {
    for (;;) {
        const TRtfToken& t = tokens_.next();
        switch (t.kind) {
            case TRtfTokenKind::GroupStart: {
                const TRtfToken& first = tokens_.next();
                if (first.kind == TRtfTokenKind::IgnorableMark) {
                    const TRtfToken& word = tokens_.next();
                    if (word.kind == TRtfTokenKind::Control && onDestination(word, true)) break;
                    if (word.kind == TRtfTokenKind::GroupEnd) break;  // "{\*}"
                    if (word.kind == TRtfTokenKind::GroupStart) tokens_.pushBack();
                    skipGroup();
                    break;
                }
                if (first.kind == TRtfTokenKind::Control && onDestination(first, false)) break;
                tokens_.pushBack();
                ++depth_;
                onGroupStart();
                break;
            }
            case TRtfTokenKind::GroupEnd:
                if (depth_ == 0) {
                    tokens_.pushBack();
                    return;
                }
                --depth_;
                onGroupEnd();
                break;
            case TRtfTokenKind::Text: onText(t); break;
            case TRtfTokenKind::Control: onWord(t); break;
            case TRtfTokenKind::Binary: onBinary(t); break;
            case TRtfTokenKind::IgnorableMark:
                break;  // a mark that does not open a group means nothing
        }
    }
}

void TRtfParser::skipGroup() {
    int level = 1;
    while (level > 0) {
        const TRtfToken& t = tokens_.next();
        if (t.kind == TRtfTokenKind::GroupStart)
            ++level;
        else if (t.kind == TRtfTokenKind::GroupEnd)
            --level;
    }
}

void TRtfParser::readGroup(TRtfParser& sub) {
    sub.parse();
    tokens_.next();  // the group's "}"
}

void TRtfParser::parseNested() {
    const int saved = depth_;
    depth_ = 0;
    parse();
    depth_ = saved;
    tokens_.next();
}

void TRtfGroupParser::run() {
    parse();
    tokens_.next();
}

void TRtfCopier::copy() {
    int level = 0;
    for (;;) {
        const TRtfToken& t = tokens_.next();
        if (t.kind == TRtfTokenKind::GroupStart) {
            ++level;
        } else if (t.kind == TRtfTokenKind::GroupEnd) {
            if (level == 0) return;  // the group's own "}" is consumed, not copied
            --level;
        }
        out_.write(t.raw);
    }
}

void appendTokenText(std::string& out, const TRtfToken& t, CodePage page) {
    if (t.unicode)
        appendUtf8(out, t.unicode);
    else if (t.ch < 0x80)
        out.push_back(static_cast<char>(t.ch));
    else
        appendUtf8(out, codePageToUnicode(t.ch, page));
}

void TRtfString::onText(const TRtfToken& t) {
    if (skip_ > 0) {
        --skip_;
        return;
    }
    appendTokenText(text_, t, page_);
}

void TRtfString::onWord(const TRtfToken& t) {
    if (t.is("uc")) {
        ucSkip_ = t.param < 0 ? 0 : t.paramOr(1);
    } else if (t.is("u") && t.hasParam) {
        const std::int32_t v = t.param < 0 ? t.param + 65536 : t.param;
        appendUtf8(text_, v > 0 && v <= 0x10FFFF ? static_cast<char32_t>(v) : U'\uFFFD');
        skip_ = ucSkip_;
    } else if (t.is("tab")) {
        text_.push_back('\t');
    } else if (skip_ > 0) {
        --skip_;
    }
}

std::string trimBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    return std::string(text.substr(b, e - b));
}

std::string TRtfString::trimmed() const {
    std::string_view v = text_;
    std::string t = trimBlanks(v);
    if (!t.empty() && t.back() == ';') t.pop_back();
    return trimBlanks(t);
}

CodePage codePageOf(int ansicpg) {
    switch (ansicpg) {
        case 437:
        case 850:
        case 865: return CodePage::Dos865;
        case 28591: return CodePage::Latin1;
        default: return CodePage::Windows1252;
    }
}

}  // namespace lagrull
