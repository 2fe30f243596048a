#pragma once
// The register's SQL dialect on SQLite. Statements are written in the old
// desktop engine's local SQL; one translation step turns them into SQLite's:
// - substring(x from a for b) and substring(x from a) become substr();
// - every ORDER BY term is ordered by the Norwegian collation, so that texts
//   sort without regard to case with Æ, Ø, Å after Z (numbers are not
//   touched by a collation);
// everything else (||, :name parameters, DISTINCT, AS, max(), joins in
// WHERE, UPDATE, DELETE) is the same in both. Upper() and LIKE are replaced
// on the connection by functions of the same names (see database.h).

#include <string>
#include <string_view>

namespace lagrull::data {

std::string translateLocalSql(std::string_view localSql);

}  // namespace lagrull::data
