// The field computer's extensions: pictures, the DATABASE field and the
// engine's PRIVATE commands. Queries run on the database the engine was
// given (the register's own, through the programs' adapter).
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "common/text_codec.h"
#include "script/active_script_site.h"
#include "template/merge/merge_database.h"
#include "template/merge/merge_format.h"
#include "template/merge/merge_ini_data.h"
#include "template/merge/rtf_extended.h"
#include "template/merge/rtf_word_fields.h"

namespace lagrull {

namespace fs = std::filesystem;

namespace {

std::uint32_t le32(const std::string& b, std::size_t at) {
    if (at + 4 > b.size()) return 0;
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::int32_t sle32(const std::string& b, std::size_t at) {
    return static_cast<std::int32_t>(le32(b, at));
}

std::uint16_t le16(const std::string& b, std::size_t at) {
    if (at + 2 > b.size()) return 0;
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

std::string hex(std::string_view data) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(data.size() * 2 + data.size() / 32);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
        if (i % 64 == 63) out += "\r\n";
    }
    return out;
}

std::string picture(const std::string& kind, long w, long h, long goalW, long goalH,
                    std::string_view data) {
    return "{\\pict\\" + kind + "\\picw" + std::to_string(w) + "\\pich" + std::to_string(h) +
           "\\picwgoal" + std::to_string(goalW) + "\\pichgoal" + std::to_string(goalH) + "\r\n" +
           hex(data) + "}";
}

// The rows of a table in RTF: each from "\trowd" to the end of its "\row".
struct TableParts {
    std::string head;  // before the first row
    std::vector<std::string> rows;
    std::string tail;  // after the last row
};

TableParts cutRows(const std::string& rtf) {
    TableParts parts;
    std::size_t pos = rtf.find("\\trowd");
    parts.head = rtf.substr(0, pos);
    while (pos != std::string::npos) {
        std::size_t end = pos;
        for (;;) {
            end = rtf.find("\\row", end + 1);
            if (end == std::string::npos || end + 4 >= rtf.size() ||
                !std::isalpha(static_cast<unsigned char>(rtf[end + 4])))
                break;
        }
        if (end == std::string::npos) {
            parts.tail = rtf.substr(pos);
            return parts;
        }
        end += 4;
        if (end < rtf.size() && rtf[end] == ' ') ++end;
        const std::size_t next = rtf.find("\\trowd", end);
        // Text between rows that is not a row belongs to the tail.
        const std::string between =
            rtf.substr(end, next == std::string::npos ? std::string::npos : next - end);
        parts.rows.push_back(rtf.substr(pos, end - pos));
        if (next == std::string::npos || between.find_first_not_of(" \r\n") != std::string::npos) {
            parts.tail = rtf.substr(end);
            return parts;
        }
        pos = next;
    }
    return parts;
}

// Puts `values[k]` before the k-th "\cell" of the row ("\cellx" does not count).
std::string fillRow(const std::string& row, const std::vector<std::string>& values) {
    std::string out;
    std::size_t from = 0, k = 0;
    for (std::size_t at = row.find("\\cell"); at != std::string::npos;
         at = row.find("\\cell", at + 5)) {
        if (at + 5 < row.size() && std::isalpha(static_cast<unsigned char>(row[at + 5]))) continue;
        out += row.substr(from, at - from);
        if (k < values.size()) out += "{" + values[k] + "}";  // braces end a word before it
        ++k;
        from = at;
    }
    return out + row.substr(from);
}

}  // namespace

std::optional<TFieldResult> TRtfExtWordFieldComputer::includePicture(const std::string& file) {
    const std::string bytes = engine_.readFile(file);
    const std::string ext = upperCase(fs::path(file).extension().string());
    if ((ext == ".BMP" || ext == ".DIB") && bytes.size() > 54) {
        const std::size_t dib = ext == ".BMP" ? 14 : 0;
        const long w = sle32(bytes, dib + 4), h = std::labs(sle32(bytes, dib + 8));
        return TFieldResult{TFieldResult::RawRtf, picture("dibitmap0", w, h, w * 15, h * 15,
                                                          std::string_view(bytes).substr(dib))};
    }
    if (ext == ".EMF" && bytes.size() > 40) {
        // the frame is in hundredths of a millimetre
        const long w = sle32(bytes, 32) - sle32(bytes, 24), h = sle32(bytes, 36) - sle32(bytes, 28);
        return TFieldResult{TFieldResult::RawRtf,
                            picture("emfblip", w, h, w * 1440 / 2540, h * 1440 / 2540, bytes)};
    }
    if (ext == ".WMF" && bytes.size() > 22) {
        std::string_view data = bytes;
        long w = 1000, h = 1000, inch = 1440;
        if (le32(bytes, 0) == 0x9AC6CDD7) {  // the placeable header goes, its size stays
            w = static_cast<std::int16_t>(le16(bytes, 10)) -
                static_cast<std::int16_t>(le16(bytes, 6));
            h = static_cast<std::int16_t>(le16(bytes, 12)) -
                static_cast<std::int16_t>(le16(bytes, 8));
            inch = le16(bytes, 14) ? le16(bytes, 14) : 1440;
            data = data.substr(22);
        }
        const long goalW = w * 1440 / inch, goalH = h * 1440 / inch;
        return TFieldResult{TFieldResult::RawRtf, picture("wmetafile8", goalW * 2540 / 1440,
                                                          goalH * 2540 / 1440, goalW, goalH, data)};
    }
    return std::nullopt;
}

TFieldResult TRtfExtWordFieldComputer::databaseField(const TFieldInstruction& f,
                                                     const std::string& storedResult,
                                                     const std::string& sql) {
    if (!database_) throw Error("Ingen database er tilgjengelig for flettingen.");
    if (sql.empty()) throw Error("Feltet mangler spørringen (\\s).");
    const std::unique_ptr<TMergeRows> rows = database_->query(sql);
    const int columns = static_cast<int>(rows->columnNames().size());

    TableParts parts = cutRows(storedResult);
    std::size_t kept = 0;
    if (const std::string* o = f.switchValue('o'))
        kept = o->empty() ? 1 : static_cast<std::size_t>(std::max(0, std::atoi(o->c_str())));
    std::string rowTemplate;
    if (kept < parts.rows.size()) {
        rowTemplate = parts.rows[kept];
    } else {
        // No table to fill: one of equal columns.
        rowTemplate = "\\trowd\\trgaph70";
        for (int c = 1; c <= columns; ++c)
            rowTemplate += "\\cellx" + std::to_string(c * 9000 / std::max(columns, 1));
        rowTemplate += "\r\n\\pard\\intbl";
        for (int c = 0; c < columns; ++c) rowTemplate += "\\cell ";
        rowTemplate += "\\row ";
    }
    std::string out = parts.head;
    for (std::size_t i = 0; i < std::min(kept, parts.rows.size()); ++i) out += parts.rows[i];
    if (f.hasSwitch('h')) {
        std::vector<std::string> names;
        for (const std::string& name : rows->columnNames()) names.push_back(rtfEscape(name));
        out += fillRow(rowTemplate, names);
    }
    long long limit = -1;
    if (const std::string* m = f.switchValue('m'); m && !m->empty()) limit = std::atoll(m->c_str());
    std::vector<double> sums(static_cast<std::size_t>(columns), 0);
    long long records = 0;
    std::vector<TMergeCell> row;
    for (; (limit < 0 || records < limit) && rows->next(row); ++records) {
        std::vector<std::string> values;
        for (std::size_t c = 0; c < row.size() && c < sums.size(); ++c) {
            if (row[c].number) sums[c] += *row[c].number;
            values.push_back(mergedTextToRtf(row[c].text, CodePage::Windows1252));
        }
        out += fillRow(rowTemplate, values);
    }
    out += parts.tail;
    for (int c = 0; c < columns; ++c) {
        char name[32];
        std::snprintf(name, sizeof name, "Sum_Col_%u", static_cast<unsigned>(c + 1));
        engine_.setVariable(name, decimalText(sums[static_cast<std::size_t>(c)]));
    }
    if (records == 0 && f.hasSwitch('x')) return TFieldResult{TFieldResult::RawRtf, ""};
    return TFieldResult{TFieldResult::RawRtf, out};
}

std::optional<TFieldResult> TRtfExtWordFieldComputer::privateField(const TFieldInstruction& f,
                                                                   const TRtfField& field) {
    static const std::vector<std::string> known = {
        "DBFMT",   "DBCOL",       "FMTS",           "DATA",     "SQL",        "FLETTINNI",
        "VARTEXT", "INCLUDETEXT", "INCLUDEPICTURE", "SET",      "IFBLANK",    "REM",
        "RDB",     "SCRIPT",      "JSCRIPT",        "VBSCRIPT", "USEPAGESIZE"};
    // The command may follow a marker word of the engine's own.
    std::size_t at = 0;
    const auto isKnown = [&](std::size_t i) {
        return i < f.args.size() &&
               std::find(known.begin(), known.end(), upperCase(f.args[i])) != known.end();
    };
    if (!isKnown(0) && isKnown(1)) at = 1;
    if (!isKnown(at)) return std::nullopt;
    const std::string command = upperCase(f.args[at]);
    std::string rest;
    for (std::size_t i = at + 1; i < f.args.size(); ++i)
        rest += (rest.empty() ? "" : " ") + f.args[i];
    if (command == "SQL" || command == "DATA") return databaseField(f, field.result.data(), rest);
    if (command == "SET" || command == "IFBLANK") {
        const std::size_t eq = rest.find('=');
        if (eq == std::string::npos) return std::nullopt;
        const std::string name = trimBlanks(rest.substr(0, eq));
        if (command == "IFBLANK" && !trimBlanks(engine_.lookupField(name)).empty())
            return TFieldResult{};
        engine_.setVariable(name, trimBlanks(rest.substr(eq + 1)));
        return TFieldResult{};
    }
    if (command == "REM") return TFieldResult{};
    if (command == "FLETTINNI") {
        engine_.loadMergeIni(rest);
        return TFieldResult{};
    }
    if (command == "SCRIPT" || command == "JSCRIPT" || command == "VBSCRIPT") {
        // The code defines what later "=" fields and field names may call.
        script_.execute(command == "SCRIPT" ? "Lua" : command, rest);
        return TFieldResult{};
    }
    if (command == "USEPAGESIZE")
        return TFieldResult{TFieldResult::RawRtf, "\\uselogicalpagesize1 "};
    if (command == "VARTEXT") return TFieldResult{TFieldResult::Text, engine_.lookupField(rest)};
    if (command == "INCLUDETEXT") return includeText(rest);
    if (command == "INCLUDEPICTURE") return includePicture(rest);
    return std::nullopt;  // the rest keep the stored result
}

}  // namespace lagrull
