#pragma once
// tFileTrans: the generic file import. It reads a delimited text file, maps
// its columns to the fields of a target table, cleans the values by the
// fields' kinds and writes them into the target, updating the row with the
// same key or appending one.
//
// Invariants:
// - Execute checks the whole file before it writes (FormatError for a
//   malformed file) and writes in one transaction: a failure or a killed
//   process leaves the target as it was.
// - A line without a key, or with a key longer than its field, is not
//   written; it is counted among the rejected lines with its reason.
// - Amounts: a value without a comma whose only "." is followed by one or
//   two digits at its end keeps that "." as its decimal point (1234.50 is
//   1234,50 kroner); otherwise only digits and commas are kept.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "data/table_def.h"
#include "services/import_text.h"

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class TDatabase;
}

namespace lagrull {

enum class tImportMode { imRewrite, imUpdate };

// What a column's values look like (Algorithms, column classification).
enum class TColumnKind { ckNone, ckNumber, ckCommaNumber, ckText };

// The buttons of "Verifiser oppdatering".
enum class TUpdateChoice { SaveNew, KeepOld, SaveAll, KeepAll, Abort };

// The window "Verifiser oppdatering" (TUpdateForm): asked for a staged row
// that a later line would change, with every mapped field's label, new and
// old text. Qt implements it, tests fake it.
class TUpdateConfirm {
public:
    virtual ~TUpdateConfirm() = default;
    virtual TUpdateChoice Confirm(const std::vector<std::string>& labels,
                                  const std::vector<std::string>& newData,
                                  const std::vector<std::string>& oldData) = 0;
};

enum TFileTransError : int {
    feNone = 0,
    feFileNotFound = 1000,
    feOutOfMemory = 1001,
    feNoIndex = 1002,
    feNoAccess = 1003,
    feCannotCreate = 1004,
};

struct TRejectedLine {
    long line = 0;
    std::string reason;
};

struct TImportCounts {
    long lines = 0;      // lines read, the header not counted
    long added = 0;      // rows appended
    long updated = 0;    // rows changed by a later line
    long unchanged = 0;  // later lines equal to their row, or kept by the user
    std::vector<TRejectedLine> rejected;
    bool aborted = false;
};

// The column kind of a list of values (the header line is not among them).
TColumnKind ClassifyColumn(const std::vector<std::string>& values);
// The text of a value cleaned for a field of `type`; `marked`: a String
// field whose text is cleaned to letters and digits.
std::string CleanValue(std::string_view value, data::FieldType type, bool marked);

class tFileTrans {
public:
    static constexpr int kNoField = -1;
    static constexpr char kSeparators[] = {'\t', ';', ':', '@', ',', '.', '\\', kCtrlR};

    tFileTrans(data::TDatabase& db, const data::TTableDef& target);

    std::string FileName;
    tImportMode Importmode = tImportMode::imUpdate;
    char FieldSeparator = '\t';
    TTextConvert TextConvert = TTextConvert::tcWindows;
    bool FieldNameHeader = false;
    bool CopyAllData = true;
    std::set<std::string> CleanedFields;  // field names, upper case
    TUpdateConfirm* OnConfirm = nullptr;  // nullptr: every row updated without asking
    std::function<void(long line)> OnProgress;

    const data::TTableDef& Target() const { return target_; }

    // The column map: column n (from 1) → index of a target field or kNoField.
    // With CopyAllData, column n maps to the n-th field.
    int MappedField(int column) const;
    // Setting one mapping ends CopyAllData; columns not set map to nothing.
    void SetMapping(int column, int field);
    void ClearMapping();

    // Reads the file for the guesses; false when it is missing or cannot be
    // read (ErrorCode tells which).
    bool Load();
    bool Loaded() const { return loaded_; }
    // The guesses on the loaded file.
    TTextConvert GuessTextConvert() const;
    char GuessSeparator() const;
    bool GuessHeader();
    // The number of line ends in the loaded file: the progress bar's scale.
    long LineCount() const;
    // The number of separated parts of the first line.
    int ColumnCount() const;
    // Up to `max` values of a column (from 1), converted; the header line is
    // left out when FieldNameHeader (or `header`) is set.
    std::vector<std::string> ColumnValues(int column, int max, bool trim, bool nonEmpty,
                                          bool header) const;
    std::vector<std::string> ColumnValues(int column, int max) const {
        return ColumnValues(column, max, false, false, FieldNameHeader);
    }

    // The import. False with ErrorCode set for the numbered errors; a
    // malformed file is a FormatError. The counts are those of the last run.
    bool Execute(Ui& ui);
    const TImportCounts& Counts() const { return counts_; }

    int ErrorCode() const { return error_; }
    std::string ErrorMessage() const;
    // The user chose not to be asked again (later rows are updated, or kept
    // after "Behold alle").
    void StopAsking(bool keep = false);
    void Abort() { abort_ = true; }

private:
    void checkLines() const;
    void checkSeparators(long line, std::string_view raw, int fields) const;

    data::TDatabase& db_;
    const data::TTableDef& target_;
    std::vector<int> map_;
    std::string bytes_;
    bool loaded_ = false;
    int error_ = feNone;
    bool abort_ = false;
    bool stopAsking_ = false;
    bool keepAll_ = false;
    TImportCounts counts_;
};

}  // namespace lagrull
