#pragma once
// ParadoxTable: one table of an older register's Paradox files (".DB"), read
// through pxlib. Texts come out as UTF-8, decoded by the code page the
// table's header names: Windows-1252 or the DOS Nordic code page 865.
//
// Invariants:
// - The file is only read, never written.
// - Only the four field types the register uses are accepted (alpha, short
//   and long integer, logical, number; currency counts as number): a table
//   with any other type is refused at open, naming the field.
// - A damaged header is refused at open with a message naming the table; a
//   record that cannot be read is refused by read() with a message naming
//   the table and the record. pxlib's own messages go to the log only.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/text_codec.h"
#include "data/table_def.h"
#include "data/value.h"

namespace lagrull::data {

// A record that could not be read; the table stays usable.
class EParadoxRecord : public Error {
public:
    EParadoxRecord(const std::string& where, std::string reason)
        : Error(where + ": " + reason), reason_(std::move(reason)) {}
    // Why, without the table and the record.
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

class ParadoxTable {
public:
    // Opens the table for reading; throws Error with a Norwegian message when
    // the file is missing, not a Paradox table, or damaged.
    explicit ParadoxTable(const std::filesystem::path& file);
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    // The file's own name ("MEDLREG.DB"), used in every message.
    const std::string& name() const { return name_; }
    // The fields in table order; the primary key's fields are first and
    // marked PrimaryKey; Size is the width of String fields.
    const std::vector<TFieldInfo>& fields() const { return fields_; }
    CodePage codePage() const { return codePage_; }
    long long recordCount() const { return records_; }

    // Reads record `n` (0-based, in file order) into `values`, one per
    // field: String as UTF-8 text, Integer and Boolean (0/1) as integers,
    // Float as double; an empty field is null. Throws EParadoxRecord.
    void read(long long n, std::vector<Value>& values);

private:
    struct Doc;
    [[noreturn]] void damaged(const std::string& detail) const;
    Value fieldValue(int field, char* data);

    std::string name_;
    std::unique_ptr<Doc> doc_;
    std::vector<TFieldInfo> fields_;
    std::vector<int> types_;  // pxlib's type per field
    std::vector<int> widths_;
    std::vector<char> record_;
    CodePage codePage_ = CodePage::Windows1252;
    long long records_ = 0;
    std::uintmax_t fileSize_ = 0;
};

}  // namespace lagrull::data
