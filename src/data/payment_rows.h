#pragma once
// The clearing files' reads and writes of the register: claims found by
// their KID and given a payment, an assignment number or a deletion mark;
// members' agreement codes; the members and organisation names a KID is
// resolved against. Each statement is prepared once and bound by position.
//
// Invariants:
// - A claim is found by the whole KID without regard to case, through the
//   KID index; of several claims with one KID the first in index order wins,
//   the same one every time.
// - A payment never clears BETFLAG: a settled claim stays settled.
// - Payments are written without the tables' fitting triggers, their texts
//   cut to the columns' widths here.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/database.h"

namespace lagrull::data {

// One member row as the KID look-up needs it.
struct MemberRow {
    std::int64_t orgnr = 0;
    std::string medlnr;
    std::string enavn;
    std::string fornavn;
    std::int64_t betaling = 0;
};

// Every member of every organisation, in the table's own order (read
// straight through, not by way of the key index).
std::vector<MemberRow> readAllMembers(TDatabase& db);
// ORGNR → ORGNAVN of every organisation.
std::map<std::int64_t, std::string> readOrganisationNames(TDatabase& db);

// What a claim holds before a payment is registered on it.
struct ClaimState {
    std::int64_t rowId = 0;
    double belop = 0;
    std::string dato;     // due date "DDMMYYYY"
    std::string betflag;  // "X": settled
    std::optional<double> differansebelop;
    std::string betdato;
    std::optional<double> betbelop;
    std::int64_t sletteflag = 0;
};

class TClaimsByKid {
public:
    explicit TClaimsByKid(TDatabase& db);

    // The claim with this KID, through the KID index.
    std::optional<ClaimState> find(const std::string& kid);
    // Every claim with a KID in one sequential read, for passes that touch a
    // large share of the table, where one look-up per KID would read its
    // pages at random. `into` is given each claim's KID upper-cased (the
    // index's comparison) and tells where to keep that claim, or nullptr to
    // pass it by; the key lasts until the next claim. Claims come in rowid order, so of several
    // with one KID the one the index holds first comes first.
    void readAll(const std::function<ClaimState*(std::string_view key)>& into);
    // An upper bound of the number of claims, found without reading them.
    std::int64_t rowEstimate();
    // Writes BETFLAG, BETDATO, BETBELOP, DIFFERANSEBELOP and SLETTEFLAG of
    // the claims `state.rowId`, kPaymentBatch of them in one statement each:
    // each batch all of it or, when it fails, none. `written` is told the
    // range [first, end) of `states` after each batch is written.
    static constexpr std::size_t kPaymentBatch = 100;
    void writePayments(std::span<const ClaimState* const> states,
                       const std::function<void(std::size_t first, std::size_t end)>& written);
    // BBSOPPDRAGSNR := assignment (and SLETTEFLAG := 1 when `deletion`) of
    // the claim with this KID; false when there is none.
    bool markSent(const std::string& kid, std::int64_t assignment, bool deletion);

private:
    // The statement that writes `rows` claims, and one batch through it.
    Statement batchStatement(std::size_t rows);
    static void writeBatch(Statement& statement, std::span<const ClaimState* const> states);

    TDatabase& db_;
    Statement find_, sent_, deleted_;
};

// Writes members' payment method and notice code.
class TMemberAgreements {
public:
    explicit TMemberAgreements(TDatabase& db);
    // BETALING := betaling, and VARSLING := varsling when given.
    void write(std::int64_t orgnr, const std::string& medlnr, std::int64_t betaling,
               std::optional<std::int64_t> varsling);

private:
    Statement both_, betalingOnly_;
};

}  // namespace lagrull::data
