#pragma once
// The entries of the member reports' choice boxes: the field catalogue of
// the user-defined report (caption;field;table group=shown text), the sort
// entries of the print settings (key=shown text) and the field separators of
// the separated text file.
//
// Invariants:
// - The catalogue starts with the empty entry "=< VELG FELT>"; an extra field
//   has an entry only while the organisation names it.
// - The tenant register changes captions only, never fields or keys.

#include <array>
#include <string>
#include <vector>

#include "common/settings_keys.h"

namespace lagrull::reports {

inline constexpr const char* kNoColumnEntry = "=< VELG FELT>";
inline constexpr int kExtraNames = 10;
using TExtraNames = std::array<std::string, kExtraNames>;

// Which table a column of the user-defined report reads.
enum class TTableGroup { None, Medlreg, Relreg, Mbetreg };

// One catalogue entry taken apart.
struct TEgenDefField {
    std::string caption;  // column caption
    std::string field;    // report data set field, lower case as in the entry
    TTableGroup group = TTableGroup::None;
    std::string shown;  // what the drop-down shows
};

std::vector<std::string> EgenDefCatalogue(RegisterKind kind, const TExtraNames& extraNames);
// "Navn;navn;medlreg=Navn" → its parts; the empty entry has group None.
TEgenDefField ParseCatalogueEntry(const std::string& entry);
// "medlreg", "relreg", "mbetreg" without regard to case; None otherwise.
TTableGroup TableGroupOf(const std::string& text);

// The sort entries, "m.nmedlnr=Medlemsnr" first.
std::vector<std::string> RappSortEntries(RegisterKind kind, const TExtraNames& extraNames);
// The order-by item of a sort entry's key. "m.fdato2" names the select
// list's computed birth date (fdato2), not a member column.
std::string SortKeyOrderBy(const std::string& entry);

// The "Feltseparator" choices, in the order offered.
enum class TSeparator { Mellomrom = 0, Komma, Semikolon, Ampersand, Tabulator };
inline constexpr TSeparator kDefaultSeparator = TSeparator::Semikolon;
const std::vector<std::string>& SeparatorNames();
char SeparatorChar(TSeparator separator);

// Font size entries "6=6 pt" … "12=12 pt".
inline constexpr int kMinFontSize = 6, kMaxFontSize = 12, kDefaultReportFontSize = 8;

}  // namespace lagrull::reports
