#include "data/table_def.h"

#include <algorithm>

#include "common/text_codec.h"
#include "data/database.h"
#include "data/norwegian_order.h"

namespace lagrull::data {

std::string baseTableName(std::string_view tableName) {
    return std::string(tableName.substr(0, tableName.find('.')));
}

std::vector<std::string> splitFieldList(std::string_view fields) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= fields.size()) {
        std::size_t end = fields.find(';', start);
        if (end == std::string_view::npos) end = fields.size();
        std::string_view part = fields.substr(start, end - start);
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        if (!part.empty()) out.emplace_back(part);
        start = end + 1;
    }
    return out;
}

std::string declaredType(const TFieldInfo& field) {
    switch (field.DataType) {
        case FieldType::String: return "VARCHAR(" + std::to_string(field.Size) + ")";
        case FieldType::Integer: return "INTEGER";
        case FieldType::Boolean: return "BOOLEAN";
        case FieldType::Float: return "FLOAT";
    }
    return "TEXT";
}

namespace {

// A declared type back to a field type and size; types of tables not made by
// the register are read by SQLite's own affinity rules.
void parseDeclaredType(const std::string& declared, TFieldInfo& field) {
    const std::string up = upperCase(declared);
    field.Size = 0;
    if (up.find("BOOL") != std::string::npos)
        field.DataType = FieldType::Boolean;
    else if (up.find("INT") != std::string::npos)
        field.DataType = FieldType::Integer;
    else if (up.find("CHAR") != std::string::npos || up.find("TEXT") != std::string::npos ||
             up.find("CLOB") != std::string::npos || up.empty()) {
        field.DataType = FieldType::String;
        const std::size_t open = up.find('(');
        if (open != std::string::npos) field.Size = std::atoi(up.c_str() + open + 1);
    } else
        field.DataType = FieldType::Float;
}

const TFieldInfo* findField(const std::vector<TFieldInfo>& fields, std::string_view name) {
    const std::string wanted = upperCase(name);
    for (const auto& f : fields)
        if (upperCase(f.Name) == wanted) return &f;
    return nullptr;
}

}  // namespace

std::string_view fittedText(std::string_view text, int size) {
    if (size <= 0 || text.size() <= static_cast<std::size_t>(size)) return text;
    std::size_t pos = 0;
    for (int n = 0; n < size && pos < text.size(); ++n) decodeUtf8(text, pos);
    return text.substr(0, pos);
}

int textWidth(const TTableDef& def, std::string_view fieldName) {
    const TFieldInfo* f = findField(def.Fields, fieldName);
    return f && f->DataType == FieldType::String ? f->Size : 0;
}

std::string storedIndexName(std::string_view baseName, std::string_view indexName) {
    return std::string(baseName) + "$" + std::string(indexName);
}

std::vector<TFieldInfo> readFieldDefs(TDatabase& db, std::string_view baseName) {
    std::vector<TFieldInfo> out;
    Statement s = db.prepare("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1)");
    s.bind(1, Value(std::string(baseName)));
    while (s.step()) {
        TFieldInfo f;
        f.Name = s.columnText(0);
        parseDeclaredType(s.columnText(1), f);
        f.Required = s.columnInt(2) != 0;
        f.PrimaryKey = s.columnInt(3) != 0;
        out.push_back(std::move(f));
    }
    return out;
}

std::vector<TIndexInfo> readIndexDefs(TDatabase& db, std::string_view baseName) {
    std::vector<TIndexInfo> out;
    {
        Statement s = db.prepare("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk");
        s.bind(1, Value(std::string(baseName)));
        TIndexInfo primary;
        primary.Options = ixPrimary;
        while (s.step()) primary.Fields += (primary.Fields.empty() ? "" : ";") + s.columnText(0);
        if (!primary.Fields.empty()) out.push_back(std::move(primary));
    }
    Statement list = db.prepare(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE "
        "AND sql IS NOT NULL ORDER BY rowid");
    list.bind(1, Value(std::string(baseName)));
    const std::string prefix = std::string(baseName) + "$";
    while (list.step()) {
        const std::string stored = list.columnText(0);
        TIndexInfo index;
        index.Name = upperCase(stored).rfind(upperCase(prefix), 0) == 0
                         ? stored.substr(prefix.size())
                         : stored;
        Statement cols = db.prepare(
            "SELECT name, coll FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno");
        cols.bind(1, Value(stored));
        while (cols.step()) {
            index.Fields += (index.Fields.empty() ? "" : ";") + cols.columnText(0);
            if (upperCase(cols.columnText(1)) == kNorwegianCollation)
                index.Options |= ixCaseInsensitive;
        }
        out.push_back(std::move(index));
    }
    return out;
}

std::string createTableSql(std::string_view baseName, const std::vector<TFieldInfo>& fields,
                           const std::vector<std::string>& primaryKey) {
    std::string sql = "CREATE TABLE " + quoteName(baseName) + " (";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const TFieldInfo& f = fields[i];
        sql += (i ? ", " : "") + quoteName(f.Name) + " " + declaredType(f);
        if (f.DataType == FieldType::String)
            sql += std::string(" COLLATE ") + kNorwegianCollation + " DEFAULT ''";
        if (f.Required) sql += " NOT NULL";
    }
    if (!primaryKey.empty()) {
        sql += ", PRIMARY KEY (";
        for (std::size_t i = 0; i < primaryKey.size(); ++i)
            sql += (i ? ", " : "") + quoteName(primaryKey[i]);
        sql += ")";
    }
    return sql + ")";
}

std::string createIndexSql(std::string_view baseName, const TIndexInfo& index,
                           const std::vector<TFieldInfo>& fields) {
    std::string sql = "CREATE INDEX " + quoteName(storedIndexName(baseName, index.Name)) + " ON " +
                      quoteName(baseName) + " (";
    const std::vector<std::string> names = splitFieldList(index.Fields);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const TFieldInfo* f = findField(fields, names[i]);
        if (!f) throw Error("Ukjent felt i indeks " + index.Name + ": " + names[i]);
        sql += (i ? ", " : "") + quoteName(f->Name);
        if (f->DataType == FieldType::String)
            sql += (index.Options & ixCaseInsensitive)
                       ? std::string(" COLLATE ") + kNorwegianCollation
                       : std::string(" COLLATE BINARY");
    }
    return sql + ")";
}

std::vector<std::string> createTriggerSql(std::string_view baseName,
                                          const std::vector<TFieldInfo>& fields) {
    std::string when, set;
    for (const TFieldInfo& f : fields) {
        if (f.DataType != FieldType::String) continue;
        const std::string col = quoteName(f.Name);
        const std::string size = std::to_string(f.Size);
        if (!when.empty()) when += " OR ";
        when.append("NEW.").append(col).append(" IS NULL OR length(NEW.").append(col);
        when.append(") > ").append(size);
        if (!set.empty()) set += ", ";
        set.append(col).append(" = coalesce(substr(").append(col).append(", 1, ").append(size);
        set.append("), '')");
    }
    if (set.empty()) return {};
    const std::string table = quoteName(baseName);
    const std::string body = " WHEN " + when + " BEGIN UPDATE " + table + " SET " + set +
                             " WHERE rowid = NEW.rowid; END";
    return {"CREATE TRIGGER " + quoteName(std::string(baseName) + "$fitins") + " AFTER INSERT ON " +
                table + body,
            "CREATE TRIGGER " + quoteName(std::string(baseName) + "$fitupd") + " AFTER UPDATE ON " +
                table + body};
}

}  // namespace lagrull::data
