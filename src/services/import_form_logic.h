#pragma once
// The rules of the window "Importer fil" (TImportForm): choosing a file and
// guessing its layout, the set-up choices, the column map grid and its
// preview, and OK with its type check before anything is read. The window
// (services/ui) shows this state; lagrul-cli fills it from its options.
//
// Invariants:
// - Choosing a file (or a new file name) guesses character set, separator,
//   header and the map rows anew; the user's later changes stay until the
//   next file.
// - Choosing "Ctos" sets the separator to Ctrl-R, leaving it sets Tab.
// - OK reads nothing when a mapped column's values do not fit its field.

#include <functional>
#include <string>
#include <vector>

#include "services/file_trans.h"

namespace lagrull {

class Ui;

inline constexpr const char* kIngenTilknytning = "<Ingen tilknytning>";
inline constexpr const char* kImportFileFilter =
    "Windows Tekstfil|*.txt|MS-Dos Tekstfil|*.txt|Ctos Registerbeh.fil|*.lis|Andre|*.*";
inline constexpr int kImportHelpTopic = 29;

// "Feltseparator": the captions in the order of the separators the guess
// tries (tFileTrans::kSeparators).
const std::vector<std::string>& ImportSeparatorCaptions();
// "Tekstkonvertering": "Windows", "Dos", "Ctos", "UTF-8" in TTextConvert order.
const std::vector<std::string>& ImportTextConvertCaptions();

class TImportFormLogic {
public:
    TImportFormLogic(Ui& ui, tFileTrans& trans);

    std::string Title = "Importer fil";
    int HelpTopic = 0;    // 0: no "&Hjelp" button
    bool Manual = false;  // "Database-oppdatering": "Manuell godkjenning"

    tFileTrans& Trans() { return trans_; }
    const tFileTrans& Trans() const { return trans_; }

    // A file was chosen: true when it exists (the tabs show); then the
    // guesses are made and the map has one row per column.
    bool ChooseFile(const std::string& path);
    bool FileChosen() const { return trans_.Loaded(); }

    int SeparatorIndex() const;
    void SetSeparatorIndex(int index);
    // Any separator; the map rows are counted anew, a column keeps its field.
    void SetSeparator(char separator);
    void SetTextConvert(TTextConvert convert);

    // The map grid: one row per column of the first line, the field index
    // or tFileTrans::kNoField.
    std::vector<int> Rows;
    // The field cell's choices: "<Ingen tilknytning>", then the fields.
    std::vector<std::string> FieldChoices() const;
    // The choice index of a row (0 none).
    int ChoiceOfRow(int row) const { return Rows.at(static_cast<std::size_t>(row)) + 1; }
    void SetChoiceOfRow(int row, int choice) {
        Rows.at(static_cast<std::size_t>(row)) = choice - 1;
    }
    // "Kolonnens data:": the values of a row's column, the header line too.
    std::vector<std::string> Preview(int row) const;

    // OK's type check: the map is taken from the rows; the first row whose
    // column does not fit its field is shown in an error and returned, -1
    // when all fit.
    int CheckTypes();
    // Runs the import. Shows the failure and returns false when it fails.
    bool Run(TUpdateConfirm* confirm, std::function<void(long line)> progress);

private:
    void rebuildRows();

    Ui& ui_;
    tFileTrans& trans_;
};

}  // namespace lagrull
