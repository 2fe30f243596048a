#include "data/sql_functions.h"

#include <sqlite3.h>

#include <string>

#include "common/text_codec.h"
#include "data/database.h"
#include "data/norwegian_order.h"

namespace lagrull::data {

bool likeMatch(std::string_view pattern, std::string_view text, char32_t escape) {
    const std::u32string p = toU32(pattern);
    const std::u32string t = toU32(text);
    // Greedy match with one back-tracking point, the last % seen.
    std::size_t pi = 0, ti = 0;
    std::size_t starP = std::u32string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == U'%') {
            starP = ++pi;
            starT = ti;
            continue;
        }
        if (pi < p.size()) {
            bool literal = false;
            char32_t want = p[pi];
            std::size_t next = pi + 1;
            if (escape && want == escape && pi + 1 < p.size()) {
                want = p[pi + 1];
                literal = true;
                next = pi + 2;
            }
            if ((!literal && want == U'_') || want == t[ti]) {
                pi = next;
                ++ti;
                continue;
            }
        }
        if (starP == std::u32string::npos) return false;
        pi = starP;
        ti = ++starT;
    }
    while (pi < p.size() && p[pi] == U'%') ++pi;
    return pi == p.size();
}

namespace {

std::string_view textArg(sqlite3_value* v) {
    const unsigned char* s = sqlite3_value_text(v);
    return s ? std::string_view(reinterpret_cast<const char*>(s),
                                static_cast<std::size_t>(sqlite3_value_bytes(v)))
             : std::string_view();
}

int collate(void*, int na, const void* a, int nb, const void* b) {
    return compareNorwegian(
        std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(na)),
        std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(nb)));
}

void upperFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string up = upperCase(textArg(argv[0]));
    sqlite3_result_text(ctx, up.data(), static_cast<int>(up.size()), SQLITE_TRANSIENT);
}

// SQLite calls like(pattern, text [, escape]) for "text LIKE pattern".
void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    char32_t escape = 0;
    if (argc == 3) {
        const std::u32string e = toU32(textArg(argv[2]));
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
    }
    sqlite3_result_int(ctx, likeMatch(textArg(argv[0]), textArg(argv[1]), escape) ? 1 : 0);
}

}  // namespace

void registerSqlFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_collation(db, kNorwegianCollation, SQLITE_UTF8, nullptr, collate);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "upper", 1, flags, nullptr, upperFunction, nullptr,
                                     nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr);
    if (rc != SQLITE_OK) throw EDatabaseError(sqlite3_errmsg(db), rc);
}

}  // namespace lagrull::data
