#include "data/table_load.h"

#include <algorithm>
#include <filesystem>

#include "common/text_codec.h"
#include "data/orv_table.h"

namespace lagrull::data {

namespace fs = std::filesystem;

bool sameFields(const std::vector<TFieldInfo>& layout, const TTableDef& def) {
    if (layout.size() != def.Fields.size()) return false;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const TFieldInfo& s = layout[i];
        const TFieldInfo& d = def.Fields[i];
        if (upperCase(s.Name) != upperCase(d.Name) || s.DataType != d.DataType ||
            s.PrimaryKey != d.PrimaryKey)
            return false;
        if (d.DataType == FieldType::String && s.Size != d.Size) return false;
    }
    return true;
}

bool copiesByNameOnly(const std::vector<TFieldInfo>& layout, const TTableDef& def) {
    std::size_t keys = 0;
    for (const TFieldInfo& s : layout) {
        const auto d = std::find_if(def.Fields.begin(), def.Fields.end(), [&](const TFieldInfo& f) {
            return upperCase(f.Name) == upperCase(s.Name);
        });
        if (d == def.Fields.end() || d->DataType != s.DataType || d->PrimaryKey != s.PrimaryKey)
            return false;
        if (d->DataType == FieldType::String && d->Size < s.Size) return false;
        keys += s.PrimaryKey ? 1 : 0;
    }
    return keys == static_cast<std::size_t>(
                       std::count_if(def.Fields.begin(), def.Fields.end(),
                                     [](const TFieldInfo& f) { return f.PrimaryKey; }));
}

TTableLoad::TTableLoad(TOrvDbMng& mng, TDatabase& db, const TTableDef& def,
                       std::vector<TFieldInfo> layout, ConvertCallback convert)
    : mng_(mng), db_(db), def_(def), layout_(std::move(layout)), convert_(std::move(convert)) {
    upgrade_ = !sameFields(layout_, def_) && (convert_ || !copiesByNameOnly(layout_, def_));
    TOrvTable table(db_, def_.TableName);
    table.deleteTable();
    // Made bare: the secondary indexes come after the rows (one sort per
    // index instead of an index kept in order row by row), and so do the
    // triggers that cut texts written by SQL; the rows given here fit their
    // fields, and add() writes an empty text for a missing one as they would.
    const std::vector<TFieldInfo>& fields = upgrade_ ? layout_ : def_.Fields;
    std::vector<std::string> key;
    for (const TFieldInfo& f : fields)
        if (f.PrimaryKey) key.push_back(f.Name);
    db_.exec(createTableSql(baseTableName(def_.TableName), fields, key));
    for (const TFieldInfo& f : layout_) isText_.push_back(f.DataType == FieldType::String);
    std::string cols, params;
    for (std::size_t i = 0; i < layout_.size(); ++i) {
        cols += (i ? ", " : "") + quoteName(layout_[i].Name);
        params += (i ? ", ?" : "?") + std::to_string(i + 1);
    }
    insertSql_ = "INSERT INTO " + quoteName(baseTableName(def_.TableName)) + " (" + cols +
                 ") VALUES (" + params + ")";
}

void TTableLoad::add(const std::vector<Value>& values) {
    Statement s = db_.prepare(insertSql_);
    static const Value empty{std::string()};
    for (std::size_t i = 0; i < layout_.size() && i < values.size(); ++i)
        s.bind(static_cast<int>(i + 1), isText_[i] && isNull(values[i]) ? empty : values[i], false);
    s.execute();
}

RestructureResult TTableLoad::finish() {
    TOrvTable table(db_, def_.TableName);
    if (!upgrade_) {
        for (const std::string& sql : createTriggerSql(baseTableName(def_.TableName), def_.Fields))
            db_.exec(sql);
        for (std::size_t i = 1; i < def_.Indexes.size(); ++i) table.addIndex(def_.Indexes[i]);
        RestructureResult done;
        done.ok = true;
        return done;
    }
    RestructureResult r = mng_.RestructureTable(table, def_, convert_);
    if (!r.ok) throw Error("Tabellen " + def_.TableName + " kunne ikke gjøres om til dagens form.");
    return r;
}

void copyRegisterTo(TDatabase& db, const std::string& file) {
    const std::string part = file + ".tmp";
    std::error_code ec;
    fs::remove(part, ec);
    Statement s = db.prepare("VACUUM INTO ?1");
    s.bind(1, Value(part));
    s.execute();
    fs::rename(part, file, ec);
    if (ec) {
        fs::remove(part, ec);
        throw Error("Sikkerhetskopien " + file + " kunne ikke skrives.");
    }
}

}  // namespace lagrull::data
