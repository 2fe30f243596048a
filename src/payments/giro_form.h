#pragma once
// The giro printer's logic: reading the giro export file and laying out one
// Norwegian OCR giro per record on an A4 sheet, as drawing items in
// millimetres that a printer, PDF or preview device draws.
//
// The form is the A4 giro sheet: the upper third is free for the payment
// information, the middle third is the receipt, the lower third the giro
// itself with the machine-readable code line.
//
// Invariants of the code line (the Norwegian OCR giro layout):
// - It is printed in OCR-B at 10 characters per inch (2.54 mm a position),
//   and the foot of its characters lies 5/6 inch above the sheet's lower
//   edge, level with the pre-printed "H" that it covers.
// - The KID is right-aligned in its field, 1 1/2 positions inside the
//   field's vertical bars; the field holds at most 25 digits (210 mm form).
// - Kroner are right-aligned; two blank positions separate them from the
//   two digits of øre.
// - The MOD10 check digit of kroner and øre stands between "<" and ">".
// - The payee's 11-digit account starts two blank positions after the ">".
// - An empty amount leaves kroner, øre and the check digit for the payer.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lagrull {

// The header's field names in upper case → the column of the first of each.
using GiroColumns = std::unordered_map<std::string, std::size_t>;

// One giro of the export file, its values by field name (UTF-8).
class GiroRecord {
public:
    // columns: shared by every record of a file, so that a look-up converts
    // only the name it is asked for.
    GiroRecord(std::shared_ptr<const GiroColumns> columns, std::vector<std::string> values)
        : columns_(std::move(columns)), values_(std::move(values)) {}
    // The value of a field (any letter case); empty when the file lacks it.
    std::string value(std::string_view field) const;

private:
    std::shared_ptr<const GiroColumns> columns_;
    std::vector<std::string> values_;
};

// The giro export file, read whole: Windows-1252, TAB-separated, records
// after CR LF (a bare LF is taken too).
// Throws FormatError when the file has no header of giro fields.
std::vector<GiroRecord> readGiroFile(const std::filesystem::path& path);
std::vector<GiroRecord> parseGiroFile(std::string_view bytes);

enum class GiroFont { Label, Normal, Bold, Heading, Ocr };

struct GiroItem {
    enum class Kind { Text, Line, Box } kind = Kind::Text;
    double x = 0, y = 0;  // mm from the sheet's top left; a text's y is its baseline
    double w = 0, h = 0;  // a line's extent, a box's size
    std::string text;
    GiroFont font = GiroFont::Normal;
    bool alignRight = false;  // x is the right edge of the text
};

// The sheet and the code line's measures, in millimetres.
inline constexpr double kSheetWidth = 210.0;
inline constexpr double kSheetHeight = 297.0;
inline constexpr double kOcrPitch = 25.4 / 10;  // 10 characters per inch
inline constexpr double kCodeLineBaseline = kSheetHeight - 25.4 * 5 / 6;
inline constexpr std::size_t kKidFieldDigits = 25;

// The parts of the code line as positioned texts.
struct GiroCodeLine {
    std::string kid, kroner, ore, check, account;
};
GiroCodeLine giroCodeLine(const GiroRecord& giro);

// Left edge (mm) of the code line's positions.
double codeLinePosition(double position);

// The items of one giro sheet.
std::vector<GiroItem> layoutGiro(const GiroRecord& giro);
// The calibration sheet: a millimetre ruler along the lower and the left
// edge, and crosses at the corners of the code line's area.
std::vector<GiroItem> layoutTestSheet();

// The code line's area: from the "H" to the end of the account, one
// character high above the baseline.
struct GiroArea {
    double left, right, top, bottom;
};
GiroArea codeLineArea();

}  // namespace lagrull
