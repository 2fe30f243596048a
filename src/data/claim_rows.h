#pragma once
// The claim table's writes of the claim generation pass: each statement
// prepared once, parameters bound by position.
//
// Invariants:
// - The writes run without the tables' fitting triggers: every text is
//   written cut to its column's width, as the triggers would leave it, and
//   none as NULL.
// - A claim that already holds exactly what the pass would write is left
//   alone: the rewrite of an unchanged claim costs one index look-up and no
//   write. Texts compare exactly (letter case counts).
// - REL1–REL5 are always written (cleared when empty); REL6–REL14 only when
//   a value is given, else they keep theirs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace lagrull::data {

inline constexpr int kClaimRelations = 14;

struct ClaimRow {
    std::string_view medlnr;
    double belop = 0;
    std::int64_t betaling = 0;
    std::string_view kid;
    // A relation column's value; nullopt: not given (REL1–REL5 are cleared,
    // the later ones keep their value).
    std::array<std::optional<std::string>, kClaimRelations> rel;
};

// Writes the claims of one organisation, due date and description.
class TClaimWriter {
public:
    TClaimWriter(TDatabase& db, std::int64_t orgNr, const std::string& dueDate,
                 const std::string& description);

    // Inserts the claim, or rewrites the existing one of the member and date.
    void write(const ClaimRow& claim);

private:
    // Runs the insert or the update for a claim; the rows changed.
    int bindAndRun(Statement& s, const ClaimRow& claim, bool rewrite);

    WritesWithoutTriggers noTriggers_;       // first: the statements are prepared without them
    int medlnrWidth_, kidWidth_, relWidth_;  // REL1–REL14 share one width
    std::vector<std::string> claimed_;       // members with a claim on the date, sorted
    Statement insert_, update_;
};

// The member's amount of one relation (RELREG), looked up by its key.
class TRelationAmounts {
public:
    TRelationAmounts(TDatabase& db, std::int64_t orgNr);
    struct Found {
        std::string relasjon;  // as stored
        double belop = 0;
    };
    std::optional<Found> find(const std::string& medlnr, const std::string& relasjon);

private:
    Statement find_;
};

}  // namespace lagrull::data
