#pragma once
// The functions and the collation every connection gets: NORSK (the
// register's text order), Upper() with the Norwegian letters, and a LIKE that
// compares exactly (only % and _ are wild), as the old engine's did.

#include <string_view>

struct sqlite3;

namespace lagrull::data {

void registerSqlFunctions(sqlite3* db);

// LIKE on whole characters: % any run, _ one character, `escape` (0: none)
// makes the next pattern character literal.
bool likeMatch(std::string_view pattern, std::string_view text, char32_t escape = 0);

}  // namespace lagrull::data
