#pragma once
// Test tables in the older register's Paradox format, written with pxlib's
// writer: one table at a time, and whole generated registers in either
// code page and in the old or the current layout.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/table_def.h"
#include "data/value.h"

namespace lagrull::test {

// A field as the Paradox file stores it. `shortInt` makes an Integer a
// two-byte field.
struct PxField {
    std::string name;
    data::FieldType type;
    int size = 0;  // width of a String field
    bool shortInt = false;
};

class ParadoxWriter {
public:
    // codePage: 1252 or 865; the first `keyFields` fields form the key.
    ParadoxWriter(const std::filesystem::path& file, const std::vector<PxField>& fields,
                  int keyFields, int codePage);
    ~ParadoxWriter();
    // Values in field order; texts are UTF-8 and written in the code page.
    void add(const std::vector<data::Value>& row);
    void close();

private:
    struct Doc;
    std::unique_ptr<Doc> doc_;
};

enum class Layout { Old, Current };

struct RegisterOptions {
    int codePage = 1252;
    Layout layout = Layout::Current;
    int organisations = 2;
    long long membersPerOrganisation = 5;
    int claimsPerMember = 2;
};

// The rows a generated register holds, table by table, as written.
struct GeneratedTable {
    std::string name;
    std::vector<PxField> fields;
    std::vector<std::vector<data::Value>> rows;
};

// The fields of a table as the older versions stored it.
std::vector<PxField> paradoxFields(const std::string& table, Layout layout);

// Writes ORGREG, MEDLREG, KONTGRP, RELREG, RelregStandard, MBETREG and
// COPYTAB into `dir`, plus a settings file and templates. With `keepRows`
// the rows are returned (leave it off for big registers).
std::vector<GeneratedTable> writeRegister(const std::filesystem::path& dir,
                                          const RegisterOptions& options, bool keepRows = true);

}  // namespace lagrull::test
