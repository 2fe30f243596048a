#pragma once
// The eight print settings of the member reports, in millimetres, kept in
// section "Setup" of the per-user settings file: the page margins of a label
// sheet, the text's offset inside a label, the labels across and a label's
// height.

#include <filesystem>

namespace lagrull::reports {

struct TPrintSettings {
    int RightMargin = 0;
    int LeftMargin = 0;
    int TopMargin = 0;
    int BottomMargin = 0;
    int LabelLeftMargin = 10;
    int LabelTopMargin = 5;
    int LabelColumns = 3;
    double LabelHeight = 36;
};

// Reads the settings; a key missing from the file gives its default. When
// the file cannot be read `settings` keeps its values (and false is
// returned).
bool LoadPrintSettings(const std::filesystem::path& file, TPrintSettings& settings);
// Writes all eight; "LabelHeight" with up to six decimals. Throws FileError
// when the file cannot be written.
void SavePrintSettings(const std::filesystem::path& file, const TPrintSettings& settings);
// "36", "36,5", "12,345678": a decimal comma, no trailing zeros.
std::string LabelHeightText(double height);

}  // namespace lagrull::reports
