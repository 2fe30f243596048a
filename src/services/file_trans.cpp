#include "services/file_trans.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unordered_set>
#include <utility>

#include <filesystem>

#include "common/error.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/orv_command.h"

namespace lagrull {

using data::FieldType;
using data::Value;

namespace {

constexpr int kHeaderSample = 20;  // values looked at per column for the header guess
constexpr int kHeaderColumn = 10;  // a column with more values than this decides it
constexpr long kScanLines = 1000;  // lines the guesses and the type check look through
constexpr char32_t kHeaderFirst = 65, kHeaderLast = 229;

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

std::string trimmed(std::string_view s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

// "1234.50": no comma, one "." and one or two digits after it at the end.
bool pointIsDecimal(std::string_view v) {
    if (v.find(',') != std::string_view::npos) return false;
    const std::size_t dot = v.find('.');
    if (dot == std::string_view::npos || v.find('.', dot + 1) != std::string_view::npos)
        return false;
    const std::size_t digits = v.size() - dot - 1;
    return (digits == 1 || digits == 2) &&
           std::all_of(v.begin() + static_cast<long>(dot) + 1, v.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

Value fieldValue(const data::TFieldInfo& f, const std::string& text) {
    if (f.DataType == FieldType::String) return Value(text);
    if (text.empty()) return Value();
    if (f.DataType == FieldType::Float) return Value(data::leadingDecimal(text));
    return Value(data::leadingInteger(text));
}

std::string shownText(const data::TFieldInfo& f, const Value& v) {
    return data::valueToText(data::FieldSlot{f.Name, f.DataType, f.Size, false}, v);
}

bool sameValue(const data::TFieldInfo& f, const Value& a, const Value& b) {
    return shownText(f, a) == shownText(f, b);
}

std::string lowerName(const std::string& name) { return lowerCase(name); }

}  // namespace

TColumnKind ClassifyColumn(const std::vector<std::string>& values) {
    TColumnKind kind = TColumnKind::ckNone;
    for (const std::string& v : values)
        for (std::size_t pos = 0; pos < v.size();) {
            const char32_t c = decodeUtf8(v, pos);
            if (c > 64)
                return TColumnKind::ckText;
            else if (c == U',')
                kind = TColumnKind::ckCommaNumber;
            else if (isDigit(c) && kind == TColumnKind::ckNone)
                kind = TColumnKind::ckNumber;
        }
    return kind;
}

std::string CleanValue(std::string_view value, FieldType type, bool marked) {
    std::string out;
    if (type == FieldType::Integer || type == FieldType::Float) {
        const bool point = type == FieldType::Float && pointIsDecimal(value);
        for (char c : value) {
            if ((c >= '0' && c <= '9') || c == ',')
                out += c;
            else if (c == '.' && point)
                out += ',';
        }
        return out;
    }
    if (!marked) return std::string(value);
    for (std::size_t pos = 0; pos < value.size();) {
        const char32_t c = decodeUtf8(value, pos);
        if (isDigit(c) || c > 64) appendUtf8(out, c);
    }
    return out;
}

tFileTrans::tFileTrans(data::TDatabase& db, const data::TTableDef& target)
    : db_(db), target_(target) {}

int tFileTrans::MappedField(int column) const {
    if (column < 1) return kNoField;
    const auto i = static_cast<std::size_t>(column - 1);
    if (CopyAllData) return i < target_.Fields.size() ? static_cast<int>(i) : kNoField;
    return i < map_.size() ? map_[i] : kNoField;
}

void tFileTrans::SetMapping(int column, int field) {
    if (column < 1) return;
    CopyAllData = false;
    const auto i = static_cast<std::size_t>(column - 1);
    if (map_.size() <= i) map_.resize(i + 1, kNoField);
    map_[i] = field;
}

void tFileTrans::ClearMapping() {
    CopyAllData = false;
    map_.clear();
}

bool tFileTrans::Load() {
    loaded_ = false;
    bytes_.clear();
    std::error_code ec;
    if (FileName.empty() || !std::filesystem::is_regular_file(FileName, ec)) {
        error_ = feFileNotFound;
        return false;
    }
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        error_ = feNoAccess;
        return false;
    }
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error_ = feNoAccess;
        return false;
    }
    loaded_ = true;
    return true;
}

TTextConvert tFileTrans::GuessTextConvert() const {
    if (TImportReader::HasCtosMark(bytes_)) return TTextConvert::tcCtos;
    if (TImportReader::HasUtf8Bom(bytes_) || isValidUtf8(bytes_)) return TTextConvert::tcUtf8;
    return TTextConvert::tcWindows;
}

char tFileTrans::GuessSeparator() const {
    const std::string_view first = FirstLine(bytes_);
    for (char c : kSeparators)
        if (first.find(c) != std::string_view::npos) return c;
    return '\t';
}

long tFileTrans::LineCount() const {
    const long lf = std::count(bytes_.begin(), bytes_.end(), '\n');
    return lf > 0 ? lf : std::count(bytes_.begin(), bytes_.end(), '\r');
}

int tFileTrans::ColumnCount() const {
    TImportReader reader(bytes_, FieldSeparator);
    std::vector<std::string> values;
    try {
        if (!reader.Next(values)) return 0;
    } catch (const FormatError&) {
        return static_cast<int>(
            std::count(FirstLine(bytes_).begin(), FirstLine(bytes_).end(), FieldSeparator) + 1);
    }
    return static_cast<int>(values.size());
}

std::vector<std::string> tFileTrans::ColumnValues(int column, int max, bool trim, bool nonEmpty,
                                                  bool header) const {
    std::vector<std::string> out;
    TImportReader reader(bytes_, FieldSeparator);
    std::vector<std::string> values;
    const auto index = static_cast<std::size_t>(column - 1);
    try {
        bool first = true;
        while (static_cast<int>(out.size()) < max && reader.LineNumber() < kScanLines &&
               reader.Next(values)) {
            if (std::exchange(first, false) && header) continue;
            if (index >= values.size()) {
                if (!nonEmpty) out.emplace_back();
                continue;
            }
            std::string v = ConvertText(values[index], TextConvert);
            if (trim) v = trimmed(v);
            if (nonEmpty && v.empty()) continue;
            out.push_back(std::move(v));
        }
    } catch (const FormatError&) {
        // The preview shows what could be read; the import reports the fault.
    }
    return out;
}

bool tFileTrans::GuessHeader() {
    if (TImportReader::HasCtosMark(bytes_)) return FieldNameHeader = true;
    const int columns = ColumnCount();
    for (int column = 1; column < columns; ++column) {
        const std::vector<std::string> values =
            ColumnValues(column, kHeaderSample, true, true, true);
        if (ClassifyColumn(values) == TColumnKind::ckText ||
            static_cast<int>(values.size()) <= kHeaderColumn)
            continue;
        const std::vector<std::string> first = ColumnValues(column, 1, true, false, false);
        std::size_t pos = 0;
        const char32_t c = first.empty() || first[0].empty() ? 0 : decodeUtf8(first[0], pos);
        return FieldNameHeader = c >= kHeaderFirst && c <= kHeaderLast;
    }
    return FieldNameHeader = false;
}

std::string tFileTrans::ErrorMessage() const {
    switch (error_) {
        case feFileNotFound: return "Finner ikke filen " + FileName;
        case feOutOfMemory: return "For lite minne";
        case feNoIndex:
            return "Finner ikke indeks. Kontroller kobling mellom felt og kollone, eller kontakt "
                   "Brakvi";
        case feNoAccess: return "Har ikke tilgang til filen " + FileName;
        case feCannotCreate: return "Kan ikke opprette filen " + FileName;
        default: return "Feil nr " + std::to_string(error_);
    }
}

void tFileTrans::StopAsking(bool keep) {
    stopAsking_ = true;
    keepAll_ = keep;
}

// A line split at another separator into as many values as the first line
// has is a file of mixed separators: reading on would put values in the
// wrong fields.
void tFileTrans::checkSeparators(long line, std::string_view raw, int fields) const {
    for (char c : kSeparators) {
        if (c == FieldSeparator || c == '.') continue;
        if (std::count(raw.begin(), raw.end(), c) + 1 == fields)
            throw FormatError("Linje " + std::to_string(line) + " i filen er skilt med " +
                              SeparatorName(c) + ", første linje med " +
                              SeparatorName(FieldSeparator) +
                              ". Filen har blandede skilletegn og kan ikke importeres.");
    }
}

void tFileTrans::checkLines() const {
    TImportReader reader(bytes_, FieldSeparator);
    std::vector<std::string> values;
    std::string_view raw;
    int fields = -1;
    while (reader.Next(values, &raw)) {
        const int n = static_cast<int>(values.size());
        if (fields < 0)
            fields = n;
        else if (n > 0 && n < fields)
            checkSeparators(reader.LineNumber(), raw, fields);
    }
}

bool tFileTrans::Execute(Ui& ui) {
    counts_ = {};
    abort_ = stopAsking_ = keepAll_ = false;
    error_ = feNone;

    // The mapped fields, each once (a later column wins), and the key.
    const std::size_t columns = CopyAllData ? target_.Fields.size() : map_.size();
    std::vector<int> columnOf(target_.Fields.size(), 0);
    for (std::size_t c = 1; c <= columns; ++c) {
        const int f = MappedField(static_cast<int>(c));
        if (f >= 0 && f < static_cast<int>(columnOf.size()))
            columnOf[static_cast<std::size_t>(f)] = static_cast<int>(c);
    }
    int keyField = kNoField;
    for (const data::TIndexInfo& index : target_.Indexes)
        if (index.Options & data::ixPrimary) {
            const std::string key = lowerName(data::splitFieldList(index.Fields).at(0));
            for (std::size_t f = 0; f < target_.Fields.size(); ++f)
                if (lowerName(target_.Fields[f].Name) == key) keyField = static_cast<int>(f);
        }
    if (keyField == kNoField || columnOf[static_cast<std::size_t>(keyField)] == 0) {
        error_ = feNoIndex;
        return false;
    }
    if (!Load()) return false;
    checkLines();

    // Every field is written on insert: an unmapped text as '', so that no
    // row needs the store's clean-up of unwritten texts.
    std::vector<std::size_t> mapped;
    std::string names, params, sets;
    for (std::size_t f = 0; f < target_.Fields.size(); ++f) {
        const std::string& name = target_.Fields[f].Name;
        names += (names.empty() ? "" : ", ") + name;
        params += (params.empty() ? ":" : ", :") + name;
        if (columnOf[f] == 0) continue;
        mapped.push_back(f);
        sets.append(sets.empty() ? "" : ", ").append(name).append(" = :").append(name);
    }
    const data::TFieldInfo& key = target_.Fields[static_cast<std::size_t>(keyField)];
    const std::string table = data::baseTableName(target_.TableName);
    const std::string where = " where " + key.Name + " = :" + key.Name;

    data::Transaction transaction(db_);
    if (Importmode == tImportMode::imRewrite)
        data::TOrvCommand(db_, "delete from " + table).execute();
    data::TOrvCommand find(db_, "select " + names + " from " + table + where);
    // Into an empty target a key not read before needs no look-up.
    const bool startedEmpty =
        Importmode == tImportMode::imRewrite ||
        data::TOrvCommand(db_, "select count(*) from " + table).firstRow().at(0) ==
            Value(std::int64_t{0});
    std::unordered_set<std::string> written;
    data::TOrvCommand insert(db_,
                             "insert into " + table + " (" + names + ") values (" + params + ")");
    data::TOrvCommand update(db_, "update " + table + " set " + sets + where);
    for (std::size_t f = 0; f < target_.Fields.size(); ++f)
        if (columnOf[f] == 0 && target_.Fields[f].DataType == FieldType::String)
            insert.setParam(target_.Fields[f].Name, Value(std::string()));

    TImportReader reader(bytes_, FieldSeparator);
    std::vector<std::string> raw;
    std::vector<Value> values(target_.Fields.size());
    std::vector<std::string> texts(target_.Fields.size());
    while (!abort_ && reader.Next(raw)) {
        const long line = reader.LineNumber();
        if (line == 1 && FieldNameHeader) continue;
        if (raw.empty()) continue;
        ++counts_.lines;
        for (std::size_t f : mapped) {
            const auto column = static_cast<std::size_t>(columnOf[f] - 1);
            const data::TFieldInfo& field = target_.Fields[f];
            texts[f] = column < raw.size()
                           ? CleanValue(trimmed(ConvertText(raw[column], TextConvert)),
                                        field.DataType, CleanedFields.count(field.Name) > 0)
                           : std::string();
            values[f] = fieldValue(field, texts[f]);
        }
        const std::string& keyText = texts[static_cast<std::size_t>(keyField)];
        if (keyText.empty()) {
            counts_.rejected.push_back({line, "mangler " + key.Name});
        } else if (key.Size > 0 && characterCount(keyText) > static_cast<std::size_t>(key.Size)) {
            counts_.rejected.push_back({line, key.Name + " \"" + keyText + "\" er lengre enn " +
                                                  std::to_string(key.Size) + " tegn"});
        } else {
            std::vector<Value> old;
            if (!startedEmpty || !written.insert(keyText).second) {
                find.setParam(key.Name, Value(keyText));
                old = find.firstRow();
            }
            data::TOrvCommand& write = old.empty() ? insert : update;
            bool save = true;
            if (!old.empty()) {
                // The window shows every mapped field of a row that differs.
                std::vector<std::string> labels, newData, oldData;
                bool differs = false;
                for (std::size_t f : mapped) {
                    differs = differs || !sameValue(target_.Fields[f], values[f], old[f]);
                    labels.push_back(target_.Fields[f].Name);
                    newData.push_back(texts[f]);
                    oldData.push_back(shownText(target_.Fields[f], old[f]));
                }
                if (!differs) {
                    save = false;
                } else if (stopAsking_ || !OnConfirm) {
                    save = !keepAll_;
                } else {
                    switch (OnConfirm->Confirm(labels, newData, oldData)) {
                        case TUpdateChoice::SaveNew: break;
                        case TUpdateChoice::KeepOld: save = false; break;
                        case TUpdateChoice::SaveAll: StopAsking(); break;
                        case TUpdateChoice::KeepAll:
                            StopAsking(true);
                            save = false;
                            break;
                        case TUpdateChoice::Abort:
                            save = false;
                            if (ui.confirm("Advarsel!", "Skal importeringen avbrytes?")) {
                                stopAsking_ = true;
                                Abort();
                            }
                            break;
                    }
                }
            }
            if (save) {
                for (std::size_t f : mapped) write.setParam(target_.Fields[f].Name, values[f]);
                if (old.empty()) write.setParam(key.Name, Value(keyText));
                write.execute();
                ++(old.empty() ? counts_.added : counts_.updated);
            } else {
                ++counts_.unchanged;
            }
        }
        if (OnProgress) OnProgress(line);
    }
    counts_.aborted = abort_;
    transaction.commit();
    return true;
}

}  // namespace lagrull
