#include "template/merge/fillin.h"

#include <cstdlib>

#include "common/text_codec.h"
#include "template/merge/merge_format.h"
#include "template/merge/rtf_word_fields.h"
#include "template/rtf/rtf_field.h"
#include "template/rtf/rtf_file_parser.h"

namespace lagrull {

namespace {

struct FillinField {
    std::size_t start = 0, end = 0;  // the field group in the source, braces included
    TFillinRec entry;
};

// Finds the FILLIN fields of a document, wherever they stand.
class FillinFinder : public TRtfFileParser {
public:
    using TRtfFileParser::TRtfFileParser;
    std::vector<FillinField> fields;

protected:
    bool onDestination(const TRtfToken& first, bool ignorable) override {
        if (first.word() != "field") return TRtfFileParser::onDestination(first, ignorable);
        const std::string_view source = tokens_.source();
        std::size_t start = static_cast<std::size_t>(first.raw.data() - source.data());
        while (start > 0 && source[start - 1] != '{')
            --start;  // line breaks between "{" and the word
        if (start > 0) --start;
        TRtfField field;
        TRtfFieldParser reader(tokens_, field);
        reader.run();
        const TFieldInstruction f =
            parseFieldInstruction(rtfPlainText(field.instruction.data(), codePage()));
        if (f.type != "FILLIN") return true;
        FillinField found;
        found.start = start;
        found.end = tokens_.position();
        TFillinRec& e = found.entry;
        e.prompt = f.args.empty() ? std::string() : f.args[0];
        if (const std::string* d = f.switchValue('d')) e.defaultText = *d;
        if (const std::string* k = f.switchValue('k')) e.key = *k;
        if (const std::string* l = f.switchValue('l')) e.lines = std::max(1, std::atoi(l->c_str()));
        e.wordWrap = f.hasSwitch('w');
        e.paragraph = f.hasSwitch('n');
        e.checkBox = f.hasSwitch('x') || f.hasSwitch('y');
        e.checked = f.hasSwitch('y');
        fields.push_back(std::move(found));
        return true;
    }
};

std::vector<FillinField> findFillins(const std::string& rtf) {
    TRtfTokenizer tokens(rtf);
    FillinFinder finder(tokens);
    finder.read();
    return std::move(finder.fields);
}

// The answer as RTF: without a key a line break is a paragraph mark.
std::string answerRtf(const TFillinRec& e) {
    if (!e.key.empty()) return {};
    if (e.checkBox && !e.checked) return {};
    std::string text, line;
    for (char c : e.text + "\n") {
        if (c == '\r') continue;
        if (c == '\n') {
            text += mergedTextToRtf(line, CodePage::Windows1252);
            text += "\\par ";
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    text.resize(text.size() - 5);  // the last "\par " was not typed
    if (e.paragraph && !e.text.empty()) text += "\\par ";
    return text;
}

}  // namespace

std::vector<TFillinRec> readFillins(const std::string& rtf,
                                    const std::function<std::string(const std::string&)>& lookup) {
    std::vector<TFillinRec> out;
    for (FillinField& f : findFillins(rtf)) {
        if (f.entry.defaultText.empty() && !f.entry.key.empty() && lookup)
            f.entry.defaultText = lookup(f.entry.key);
        f.entry.text = f.entry.defaultText;
        out.push_back(std::move(f.entry));
    }
    return out;
}

std::string applyFillins(const std::string& rtf, const std::vector<TFillinRec>& entries) {
    const std::vector<FillinField> fields = findFillins(rtf);
    std::string out;
    std::size_t from = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out += rtf.substr(from, fields[i].start - from);
        out += "{" + (i < entries.size() ? answerRtf(entries[i]) : std::string()) + "}";
        from = fields[i].end;
    }
    return out + rtf.substr(from);
}

std::optional<TFillinResult> promptFillins(const std::string& rtf, const std::string& title,
                                           TFillInPrompter& prompter) {
    TFillinResult result;
    std::vector<TFillinRec> entries = readFillins(rtf);
    if (entries.empty()) {
        result.rtf = rtf;
        return result;
    }
    if (!prompter.ask(title, entries)) return std::nullopt;
    for (const TFillinRec& e : entries)
        if (!e.key.empty()) result.keyed[e.key] = e.checkBox && !e.checked ? std::string() : e.text;
    result.rtf = applyFillins(rtf, entries);
    return result;
}

}  // namespace lagrull
