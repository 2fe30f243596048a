#pragma once
// The register's text order: letters without regard to case, A to Z and then
// Æ, Ø, Å (Ä sorts as Æ, Ö as Ø, Ü as Y, accented vowels as their base
// letter); other characters before letters. Two texts that differ only in
// case or accents are then ordered by their exact bytes, so the order is
// total and compares equal only for identical texts: equality stays exact.

#include <string_view>

namespace lagrull::data {

// <0, 0 or >0, total and consistent with exact equality.
int compareNorwegian(std::string_view a, std::string_view b);

// The same order without the tie-break: 0 for texts equal but for case.
int compareNorwegianNoCase(std::string_view a, std::string_view b);

// Name of the collation registered on every connection and declared on
// every text column.
inline constexpr const char* kNorwegianCollation = "NORSK";

}  // namespace lagrull::data
