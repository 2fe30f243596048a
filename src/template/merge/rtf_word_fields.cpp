#include "template/merge/rtf_word_fields.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "common/log.h"
#include "common/text_codec.h"
#include "script/active_script_site.h"
#include "template/merge/merge_format.h"
#include "template/merge/rtf_extended.h"
#include "template/merge/word_formula.h"

namespace lagrull {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxFieldNesting = 20;

// Switches that take a value; the others are flags.
bool switchTakesValue(char c) {
    return std::string_view("@#*bfdklscmp").find(c) != std::string_view::npos;
}

bool isQuote(std::string_view s, std::size_t pos, std::size_t& length) {
    if (s.compare(pos, 1, "\"") == 0) return length = 1, true;
    if (s.compare(pos, 3, "\u201C") == 0 || s.compare(pos, 3, "\u201D") == 0 ||
        s.compare(pos, 3, "\u201E") == 0)
        return length = 3, true;
    return false;
}

// The instruction text with nested fields replaced by their values.
class InstructionText : public TRtfGroupParser {
public:
    InstructionText(TRtfTokenizer& tokens, TRtfExtWordFieldComputer& computer,
                    const TRtfHeader& header, int nesting)
        : TRtfGroupParser(tokens), computer_(computer), header_(header), nesting_(nesting) {}
    std::string text;

    void readAll() {
        for (;;) {
            try {
                parse();
                tokens_.next();
            } catch (const RtfEndOfSource&) {
                return;
            }
        }
    }

protected:
    void onText(const TRtfToken& t) override { appendTokenText(text, t, header_.codePage()); }
    void onWord(const TRtfToken& t) override {
        if (t.is("tab")) text.push_back(' ');
    }
    bool onDestination(const TRtfToken& first, bool) override {
        if (first.word() != "field") return false;
        TRtfField field;
        TRtfFieldParser reader(tokens_, field);
        reader.run();
        if (nesting_ >= kMaxFieldNesting) return true;
        const auto result = computer_.computeNested(field, header_, nesting_ + 1);
        if (!result)
            text += rtfPlainText(field.result.data(), header_.codePage());
        else if (result->kind == TFieldResult::Text)
            text += result->text;
        else
            text += rtfPlainText(result->text, header_.codePage());
        return true;
    }

private:
    TRtfExtWordFieldComputer& computer_;
    const TRtfHeader& header_;
    int nesting_;
};

std::string timePicture(const TFieldInstruction& f, const std::string& fallback) {
    const std::string* p = f.switchValue('@');
    return p ? *p : fallback;
}

std::string formatNow(const std::string& picture, const std::optional<Date>& fixed) {
    if (fixed) return formatDatePicture(picture, fixed->year, fixed->month, fixed->day, 0, 0, 0);
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return formatDatePicture(picture, tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                             tm.tm_min, tm.tm_sec);
}

std::optional<TFieldResult> infoTime(const TRtfTime& t, const TFieldInstruction& f) {
    if (!t.present) return std::nullopt;
    return TFieldResult{TFieldResult::Text,
                        formatDatePicture(timePicture(f, "dd.MM.yyyy"), t.year, t.month, t.day,
                                          t.hour, t.minute, t.second)};
}

std::string applyCaseSwitch(const std::string& value, const std::string& how) {
    const std::string h = upperCase(how);
    if (h == "UPPER") return upperCase(value);
    if (h == "LOWER") return lowerCase(value);
    if (h == "CAPS" || h == "FIRSTCAP") {
        std::u32string u = toU32(h == "CAPS" ? lowerCase(value) : value);
        for (std::size_t i = 0; i < u.size(); ++i)
            if ((h == "CAPS" && (i == 0 || u[i - 1] == U' ')) || (h == "FIRSTCAP" && i == 0))
                u[i] = upperCase(u[i]);
        return fromU32(u);
    }
    return value;  // CHARFORMAT, MERGEFORMAT: formatting, not text
}

std::optional<double> numberValue(const std::string& text) {
    std::string t;
    for (char c : text)
        if (c != ' ') t.push_back(c);
    return evaluateWordFormula(t);
}

}  // namespace

// ---------------------------------------------------------------- instruction

const std::string* TFieldInstruction::switchValue(char name) const {
    for (const auto& [c, v] : switches)
        if (c == name) return &v;
    return nullptr;
}

TFieldInstruction parseFieldInstruction(const std::string& text) {
    TFieldInstruction f;
    std::string_view s = text;
    std::size_t pos = 0;
    auto skip = [&] {
        while (pos < s.size() &&
               (s[pos] == ' ' || s[pos] == '\t' || s[pos] == '\r' || s[pos] == '\n'))
            ++pos;
    };
    auto token = [&]() -> std::string {
        skip();
        std::size_t q = 0;
        if (pos < s.size() && isQuote(s, pos, q)) {
            pos += q;
            std::string out;
            while (pos < s.size() && !isQuote(s, pos, q)) out.push_back(s[pos++]);
            if (pos < s.size()) pos += q;
            return out;
        }
        const std::size_t start = pos;
        while (pos < s.size() && s[pos] != ' ' && s[pos] != '\t') ++pos;
        return std::string(s.substr(start, pos - start));
    };
    skip();
    if (pos < s.size() && s[pos] == '=') {
        f.type = "=";
        ++pos;
    } else {
        f.type = upperCase(token());
    }
    skip();
    f.rest = std::string(s.substr(pos));
    if (f.type == "=") {
        const std::size_t sw = f.rest.find(" \\");
        f.args.push_back(trimBlanks(f.rest.substr(0, sw)));
        pos += sw == std::string::npos ? f.rest.size() : sw;
    }
    for (;;) {
        skip();
        if (pos >= s.size()) break;
        if (s[pos] == '\\' && pos + 1 < s.size()) {
            const char name = s[pos + 1];
            pos += 2;
            std::string value;
            if (switchTakesValue(name))
                value = token();
            else if (name == 'o') {
                skip();
                if (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])))
                    value = token();
            }
            f.switches.emplace_back(name, value);
            continue;
        }
        f.args.push_back(token());
    }
    return f;
}

// ---------------------------------------------------------------- pictures

std::string formatDatePicture(const std::string& picture, int year, int month, int day, int hour,
                              int minute, int second) {
    static const char* const days[] = {"søndag",  "mandag", "tirsdag", "onsdag",
                                       "torsdag", "fredag", "lørdag"};
    std::string p;
    for (std::size_t i = 0; i < picture.size();) {  // typographic quotes removed
        if (picture.compare(i, 3, "\u201C") == 0 || picture.compare(i, 3, "\u201D") == 0)
            i += 3;
        else
            p.push_back(picture[i++]);
    }
    auto two = [](int v) {
        char b[8];
        std::snprintf(b, sizeof b, "%02d", v);
        return std::string(b);
    };
    std::string out;
    bool afterHour = false;
    for (std::size_t i = 0; i < p.size();) {
        const char c = p[i];
        std::size_t n = 1;
        while (i + n < p.size() && p[i + n] == c) ++n;
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '\'' || c == '"') {
            const std::size_t end = p.find(c, i + 1);
            out += p.substr(i + 1, (end == std::string::npos ? p.size() : end) - i - 1);
            i = end == std::string::npos ? p.size() : end + 1;
            continue;
        }
        if (lower == 'd') {
            if (n == 1)
                out += std::to_string(day);
            else if (n == 2)
                out += two(day);
            else {
                const long serial = Date{year, month, day}.serial();
                const std::string name = days[((serial % 7) + 6) % 7];
                out += n == 3 ? name.substr(0, name[1] == static_cast<char>(0xC3) ? 4 : 3) : name;
            }
        } else if (lower == 'y') {
            out += n <= 2 ? two(year % 100) : std::to_string(year);
        } else if (lower == 'h') {
            out += n == 1 ? std::to_string(hour) : two(hour);
            afterHour = true;
        } else if (lower == 'n' || (c == 'm' && afterHour)) {
            out += n == 1 ? std::to_string(minute) : two(minute);
            afterHour = false;
        } else if (lower == 'm') {
            const std::string name = norwegianMonthName(month);
            out += n == 1   ? std::to_string(month)
                   : n == 2 ? two(month)
                   : n == 3 ? name.substr(0, 3)
                            : name;
        } else if (lower == 's') {
            out += n == 1 ? std::to_string(second) : two(second);
        } else {
            out.append(p, i, n);
        }
        i += n;
    }
    return out;
}

std::string formatNumberPicture(const std::string& picture, double value) {
    const std::size_t first = picture.find_first_of("0#");
    if (first == std::string::npos) return picture;
    const std::size_t last = picture.find_last_of("0#");
    const std::string prefix = picture.substr(0, first), suffix = picture.substr(last + 1);
    const std::string body = picture.substr(first, last - first + 1);
    const std::size_t comma = body.rfind(','), dot = body.rfind('.');
    std::size_t decimalAt = std::string::npos;
    if (comma != std::string::npos && (dot == std::string::npos || comma > dot))
        decimalAt = comma;
    else if (dot != std::string::npos &&
             (comma != std::string::npos || body.size() - dot - 1 != 3))  // not a group separator
        decimalAt = dot;
    int decimals = 0;
    if (decimalAt != std::string::npos)
        for (std::size_t i = decimalAt + 1; i < body.size(); ++i)
            decimals += body[i] == '0' || body[i] == '#';
    const std::string whole = body.substr(0, decimalAt);
    char group = 0;
    for (char c : whole)
        if (c == ' ' || c == '.' || c == ',') group = c;
    const auto formatted = formatMergeNumber(
        [&] {
            char b[64];
            std::snprintf(b, sizeof b, "%.*f", decimals, value);
            std::string t = b;
            for (char& c : t)
                if (c == '.') c = ',';
            return t;
        }(),
        decimals, group != 0, false);
    std::string number = formatted.value_or("");
    if (group && group != '.')
        for (char& c : number)
            if (c == '.') c = group;
    return prefix + number + suffix;
}

// ---------------------------------------------------------------- computer

TRtfExtWordFieldComputer::TRtfExtWordFieldComputer(TRtfExtended& engine, TActiveScriptSite& script,
                                                   TMergeDatabase* database)
    : engine_(engine), script_(script), database_(database) {}

std::string TRtfExtWordFieldComputer::evaluateScript(const std::string& expression) {
    try {
        return script_.evaluate(expression);
    } catch (const std::exception&) {
        return {};
    }
}

std::optional<TFieldResult> TRtfExtWordFieldComputer::compute(const TRtfField& field,
                                                              const TRtfHeader& header) {
    return computeNested(field, header, 0);
}

std::optional<TFieldResult> TRtfExtWordFieldComputer::computeNested(const TRtfField& field,
                                                                    const TRtfHeader& header,
                                                                    int nesting) {
    TFieldInstruction f;
    try {
        TRtfTokenizer tokens(field.instruction.data());
        InstructionText text(tokens, *this, header, nesting);
        text.readAll();
        f = parseFieldInstruction(text.text);
        std::optional<TFieldResult> result = computeType(f, field, header);
        if (result && result->kind == TFieldResult::Text) {
            if (const std::string* how = f.switchValue('*'))
                result->text = applyCaseSwitch(result->text, *how);
            if (const std::string* pic = f.switchValue('#'); pic && f.type != "=")
                if (auto v = numberValue(result->text))
                    result->text = formatNumberPicture(*pic, *v);
        }
        return result;
    } catch (const std::exception& e) {
        if (f.type == "DATABASE")
            return TFieldResult{TFieldResult::RawRtf,
                                "{\\b ### Feil i DATABASE: " + rtfEscape(e.what()) + "!!!!}"};
        return std::nullopt;  // any other failure keeps the stored result
    }
}

bool TRtfExtWordFieldComputer::compare(const std::string& a, const std::string& op,
                                       const std::string& b) {
    const std::string x = a.empty() ? " " : a, y = b.empty() ? " " : b;
    int order;
    const auto vx = evaluateWordFormula(x), vy = evaluateWordFormula(y);
    if (vx && vy)
        order = *vx < *vy ? -1 : *vx > *vy ? 1 : 0;
    else
        order = x.compare(y) < 0 ? -1 : x.compare(y) > 0 ? 1 : 0;
    bool r;
    if (op == "=")
        r = order == 0;
    else if (op == "<")
        r = order < 0;
    else if (op == ">")
        r = order > 0;
    else if (op == "<=")
        r = order <= 0;
    else if (op == ">=")
        r = order >= 0;
    else if (op == "<>")
        r = order != 0;
    else
        throw Error("Ukjent sammenligning " + op);
    appLog().writeLine(a + " " + op + " " + b + (r ? " ja" : " nei"));
    return r;
}

std::optional<TFieldResult> TRtfExtWordFieldComputer::computeType(const TFieldInstruction& f,
                                                                  const TRtfField& field,
                                                                  const TRtfHeader& header) {
    const auto text = [](std::string t) { return TFieldResult{TFieldResult::Text, std::move(t)}; };
    const auto arg = [&](std::size_t i) -> std::string {
        return i < f.args.size() ? f.args[i] : std::string();
    };
    const std::string& t = f.type;
    if (t == "MERGEFIELD") {
        std::string v = engine_.lookupField(arg(0));
        if (!v.empty() && v[0] == '@') v = engine_.lookupField(v.substr(1));
        if (!v.empty()) {
            if (const std::string* before = f.switchValue('b')) v = *before + v;
            if (const std::string* after = f.switchValue('f')) v += *after;
        }
        return text(v);
    }
    if (t == "=") {
        const std::string expression = arg(0);
        std::optional<double> v = evaluateWordFormula(expression);
        std::string result;
        if (v) {
            char b[64];
            std::snprintf(b, sizeof b, "%.10g", *v);
            result = b;
            for (char& c : result)
                if (c == '.') c = ',';
        } else {
            result = script_.evaluate(expression);  // throws: the stored result stays
        }
        if (const std::string* pic = f.switchValue('#'))
            if (auto n = numberValue(result)) result = formatNumberPicture(*pic, *n);
        return text(result);
    }
    if (t == "IF") {
        if (f.args.size() < 3) throw Error("IF-feltet mangler ledd");
        const bool r = compare(arg(0), arg(1), arg(2));
        const std::string chosen = r ? arg(3) : arg(4);
        appLog().writeLine("IF-result: " + chosen);
        return text(chosen);
    }
    if (t == "COMPARE") {
        if (f.args.size() < 3) throw Error("COMPARE-feltet mangler ledd");
        return text(compare(arg(0), arg(1), arg(2)) ? "1" : "0");
    }
    if (t == "QUOTE") {
        std::string out;
        for (const std::string& a : f.args) {
            const auto n = evaluateWordFormula(a);
            if (n && *n >= 0 && *n < 32 && std::floor(*n) == *n)
                out.push_back(static_cast<char>(*n));
            else
                out += (out.empty() ? "" : " ") + a;
        }
        return text(out);
    }
    if (t == "DATE") return text(formatNow(timePicture(f, "dd.MM.yyyy"), engine_.letterDate));
    if (t == "TIME") return text(formatNow(timePicture(f, "hh:nn"), engine_.letterDate));
    if (t == "CREATEDATE") return infoTime(header.info.created, f);
    if (t == "SAVEDATE") return infoTime(header.info.revised, f);
    if (t == "PRINTDATE") return infoTime(header.info.printed, f);
    if (t == "PAGE") return TFieldResult{TFieldResult::RawRtf, "\\chpgn "};
    if (t == "SECTION") return TFieldResult{TFieldResult::RawRtf, "\\sectnum "};
    if (t == "NUMPAGES") return TFieldResult{TFieldResult::RawRtf, "\\numpages "};
    if (t == "AUTHOR") return text(header.info.author);
    if (t == "COMMENTS")
        return text(header.info.comment.empty() ? header.info.docComment : header.info.comment);
    if (t == "KEYWORDS") return text(header.info.keywords);
    if (t == "SUBJECT") return text(header.info.subject);
    if (t == "TITLE") return text(header.info.title);
    if (t == "DOCPROPERTY") {
        const std::string name = upperCase(arg(0));
        if (name == "TITLE") return text(header.info.title);
        if (name == "AUTHOR") return text(header.info.author);
        if (name == "SUBJECT") return text(header.info.subject);
        if (name == "KEYWORDS") return text(header.info.keywords);
        if (name == "COMMENTS") return text(header.info.comment);
        for (const TUserProperty& p : header.userProps.properties)
            if (upperCase(p.name) == name) return text(p.value);
        return std::nullopt;
    }
    if (t == "INCLUDETEXT") return includeText(arg(0));
    if (t == "INCLUDEPICTURE") return includePicture(arg(0));
    if (t == "DATABASE")
        return databaseField(f, field.result.data(), f.switchValue('s') ? *f.switchValue('s') : "");
    if (t == "PRIVATE") return privateField(f, field);
    // FILLIN is answered when the letter is printed; form fields stay fields.
    if (t == "FILLIN" || t == "FORMTEXT" || t == "FORMCHECKBOX")
        return TFieldResult{TFieldResult::KeepField, {}};
    return std::nullopt;  // the rest keep their stored result
}

std::optional<TFieldResult> TRtfExtWordFieldComputer::includeText(const std::string& file) {
    const std::string bytes = engine_.readFile(file);
    const std::string ext = upperCase(fs::path(file).extension().string());
    if (bytes.rfind("{\\rtf", 0) == 0 || ext == ".RTF")
        return TFieldResult{TFieldResult::Document, bytes};
    if (ext == ".TXT" || ext == ".TEXT" || ext == ".INI" || ext == ".CSV" || ext == ".LOG" ||
        ext.empty())
        return TFieldResult{TFieldResult::Text,
                            isValidUtf8(bytes) ? bytes : toUtf8(bytes, CodePage::Windows1252)};
    return TFieldResult{TFieldResult::Text, "Ukjent filtype"};
}

}  // namespace lagrull
