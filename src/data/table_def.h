#pragma once
// Definitions of the register's tables: a field list and an index list per
// table, and their form on SQLite.
//
// A table is stored as an SQLite table named by its base name, its columns in
// definition order. The declared column type keeps the field type and width
// so that they can be read back: VARCHAR(n) COLLATE NORSK for String,
// INTEGER, BOOLEAN, FLOAT. The primary index is the table's PRIMARY KEY; a
// secondary index is an SQLite index named "<base>$<name>", its text columns
// ordered by NORSK when the index is case-insensitive, else by BINARY.
// Triggers named "<base>$fit..." cut texts written by SQL to their width and
// turn a NULL text into ''. A writer that runs without them (WritesWithout-
// Triggers) writes every text as fittedText() gives it and never a NULL text.

#include <string>
#include <string_view>
#include <vector>

namespace lagrull::data {

class TDatabase;

enum class FieldType { String, Integer, Boolean, Float };

struct TFieldInfo {
    std::string Name;
    FieldType DataType = FieldType::String;
    int Size = 0;
    bool Required = false;
    bool PrimaryKey = false;
};

enum IndexOption : unsigned { ixPrimary = 1, ixCaseInsensitive = 2 };

struct TIndexInfo {
    std::string Name;    // empty for the primary index
    std::string Fields;  // "Orgnr;Medlnr"
    unsigned Options = 0;
};

struct TTableDef {
    std::string TableName;  // as the program opens it, e.g. "MEDLREG.DB"
    std::vector<TFieldInfo> Fields;
    std::vector<TIndexInfo> Indexes;
};

// "MEDLREG.DB" → "MEDLREG": the name up to the first ".".
std::string baseTableName(std::string_view tableName);

// "Orgnr;Medlnr" → {"Orgnr", "Medlnr"} (empty parts dropped).
std::vector<std::string> splitFieldList(std::string_view fields);

std::string declaredType(const TFieldInfo& field);

// The stored structure of a table, read back from the database. Fields in
// column order; indexes with the primary first (named "PrimaryIndex", empty
// Name in TIndexInfo terms is not kept), then the secondary ones in creation
// order. A missing table gives empty lists.
std::vector<TFieldInfo> readFieldDefs(TDatabase& db, std::string_view baseName);
std::vector<TIndexInfo> readIndexDefs(TDatabase& db, std::string_view baseName);

// SQL of the parts of a table made from a definition (the table is named
// `baseName`, which may differ from the definition's own name).
std::string createTableSql(std::string_view baseName, const std::vector<TFieldInfo>& fields,
                           const std::vector<std::string>& primaryKey);
std::string createIndexSql(std::string_view baseName, const TIndexInfo& index,
                           const std::vector<TFieldInfo>& fields);
std::vector<std::string> createTriggerSql(std::string_view baseName,
                                          const std::vector<TFieldInfo>& fields);

// The text as the fitting triggers leave it: its first `size` characters
// (all of it when `size` is 0).
std::string_view fittedText(std::string_view text, int size);
// The width of a String field of the definition; 0 when it has none.
int textWidth(const TTableDef& def, std::string_view fieldName);

// The name of a secondary index on SQLite.
std::string storedIndexName(std::string_view baseName, std::string_view indexName);

}  // namespace lagrull::data
