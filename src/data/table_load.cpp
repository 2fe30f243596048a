#include "data/table_load.h"

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

TTableLoad::TTableLoad(TOrvDbMng& mng, TDatabase& db, const TTableDef& def,
                       std::vector<TFieldInfo> layout)
    : mng_(mng), db_(db), def_(def), layout_(std::move(layout)) {
    upgrade_ = !sameFields(layout_, def_);
    TOrvTable table(db_, def_.TableName);
    table.deleteTable();
    if (upgrade_) {
        std::string key;
        for (const TFieldInfo& f : layout_)
            if (f.PrimaryKey) key += (key.empty() ? "" : ";") + f.Name;
        std::vector<TIndexInfo> indexes;
        if (!key.empty()) indexes.push_back({"", key, ixPrimary});
        table.createTable(layout_, indexes);
    } else {
        // The rows go in before the secondary indexes are made: one sort per
        // index instead of an index kept in order row by row.
        TTableDef bare = def_;
        bare.Indexes.resize(std::min<std::size_t>(1, def_.Indexes.size()));
        mng_.CreateTableFromInfo(table, bare);
    }
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
    for (std::size_t i = 0; i < layout_.size() && i < values.size(); ++i)
        s.bind(static_cast<int>(i + 1), values[i], false);
    s.execute();
}

RestructureResult TTableLoad::finish(const ConvertCallback& convert) {
    TOrvTable table(db_, def_.TableName);
    if (!upgrade_) {
        for (std::size_t i = 1; i < def_.Indexes.size(); ++i) table.addIndex(def_.Indexes[i]);
        RestructureResult done;
        done.ok = true;
        return done;
    }
    RestructureResult r = mng_.RestructureTable(table, def_, convert);
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
