#include "data/payment_rows.h"

#include <algorithm>

#include "common/text_codec.h"
#include "data/schema.h"
#include "data/table_def.h"

namespace lagrull::data {

namespace {

std::optional<double> optionalReal(const Statement& s, int column) {
    if (s.columnIsNull(column)) return std::nullopt;
    const Value v = s.column(column);
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    return std::nullopt;
}

double real(const Statement& s, int column) { return optionalReal(s, column).value_or(0.0); }

}  // namespace

std::vector<MemberRow> readAllMembers(TDatabase& db) {
    Statement s = db.prepare("SELECT ORGNR, MEDLNR, ENAVN, FORNAVN, BETALING FROM MEDLREG");
    std::vector<MemberRow> rows;
    while (s.step())
        rows.push_back(
            {s.columnInt(0), s.columnText(1), s.columnText(2), s.columnText(3), s.columnInt(4)});
    return rows;
}

std::map<std::int64_t, std::string> readOrganisationNames(TDatabase& db) {
    Statement s = db.prepare("SELECT ORGNR, ORGNAVN FROM ORGREG");
    std::map<std::int64_t, std::string> names;
    while (s.step()) names.emplace(s.columnInt(0), s.columnText(1));
    return names;
}

// KID = ?1 compares by the column's own collation, which ignores case and is
// the one the KID index is built with.
TClaimsByKid::TClaimsByKid(TDatabase& db)
    : db_(db),
      find_(db.prepare("SELECT rowid, BELOP, DATO, BETFLAG, DIFFERANSEBELOP, BETDATO, BETBELOP, "
                       "SLETTEFLAG FROM MBETREG WHERE KID = ?1 LIMIT 1")),
      sent_(db.prepare("UPDATE MBETREG SET BBSOPPDRAGSNR = ?2 WHERE rowid = "
                       "(SELECT rowid FROM MBETREG WHERE KID = ?1 LIMIT 1)")),
      deleted_(db.prepare("UPDATE MBETREG SET BBSOPPDRAGSNR = ?2, SLETTEFLAG = 1 WHERE rowid = "
                          "(SELECT rowid FROM MBETREG WHERE KID = ?1 LIMIT 1)")) {}

namespace {

// Columns 0–7 as the look-up selects them.
ClaimState claimState(const Statement& s) {
    ClaimState c;
    c.rowId = s.columnInt(0);
    c.belop = real(s, 1);
    c.dato = s.columnText(2);
    c.betflag = s.columnText(3);
    c.differansebelop = optionalReal(s, 4);
    c.betdato = s.columnText(5);
    c.betbelop = optionalReal(s, 6);
    c.sletteflag = s.columnInt(7);
    return c;
}

}  // namespace

std::optional<ClaimState> TClaimsByKid::find(const std::string& kid) {
    find_.bind(1, Value(kid));
    std::optional<ClaimState> found;
    if (find_.step()) found = claimState(find_);
    find_.reset();
    return found;
}

// In rowid order the first claim of a KID is the one the index holds first.
// A claim passed by is not read past its KID.
void TClaimsByKid::readAll(const std::function<ClaimState*(std::string_view key)>& into) {
    Statement s = db_.prepare(
        "SELECT rowid, BELOP, DATO, BETFLAG, DIFFERANSEBELOP, BETDATO, BETBELOP, SLETTEFLAG, KID "
        "FROM MBETREG WHERE KID <> '' ORDER BY rowid");
    std::string upper;
    while (s.step())
        if (ClaimState* claim = into(upperCase(s.columnView(8), upper))) *claim = claimState(s);
}

std::int64_t TClaimsByKid::rowEstimate() {
    Statement s = db_.prepare("SELECT max(rowid) FROM MBETREG");
    return s.step() ? s.columnInt(0) : 0;
}

// Every full batch goes through one prepared statement: preparing one of six
// hundred parameters for each batch cost about a tenth of the writes.
void TClaimsByKid::writePayments(
    std::span<const ClaimState* const> states,
    const std::function<void(std::size_t first, std::size_t end)>& written) {
    const WritesWithoutTriggers noTriggers(db_);
    std::optional<Statement> full;
    for (std::size_t first = 0; first < states.size(); first += kPaymentBatch) {
        const std::size_t end = std::min(states.size(), first + kPaymentBatch);
        const auto batch = states.subspan(first, end - first);
        if (batch.size() == kPaymentBatch) {
            if (!full) full.emplace(batchStatement(kPaymentBatch));
            writeBatch(*full, batch);
        } else {
            Statement last = batchStatement(batch.size());
            writeBatch(last, batch);
        }
        written(first, end);
    }
}

Statement TClaimsByKid::batchStatement(std::size_t rows) {
    std::string values;
    for (std::size_t i = 0; i < rows; ++i) values += i ? ",(?,?,?,?,?,?)" : "(?,?,?,?,?,?)";
    return db_.prepare(
        "WITH p(id, betflag, betdato, betbelop, differansebelop, sletteflag) AS (VALUES " + values +
        ") UPDATE MBETREG SET BETFLAG = p.betflag, BETDATO = p.betdato, BETBELOP = p.betbelop, "
        "DIFFERANSEBELOP = p.differansebelop, SLETTEFLAG = p.sletteflag FROM p "
        "WHERE MBETREG.rowid = p.id");
}

void TClaimsByKid::writeBatch(Statement& s, std::span<const ClaimState* const> states) {
    static const int betflagWidth = textWidth(mbetregDef(), "BETFLAG");
    static const int betdatoWidth = textWidth(mbetregDef(), "BETDATO");
    const auto bindOptional = [&s](int n, const std::optional<double>& v) {
        if (v)
            s.bindReal(n, *v);
        else
            s.bindNull(n);
    };
    int n = 0;
    for (const ClaimState* state : states) {
        s.bindInt(++n, state->rowId);
        // The states outlive the statement's run: their texts need no copy.
        s.bindText(++n, fittedText(state->betflag, betflagWidth), false);
        s.bindText(++n, fittedText(state->betdato, betdatoWidth), false);
        bindOptional(++n, state->betbelop);
        bindOptional(++n, state->differansebelop);
        s.bindInt(++n, state->sletteflag);
    }
    s.execute();
    s.reset();
}

bool TClaimsByKid::markSent(const std::string& kid, std::int64_t assignment, bool deletion) {
    Statement& s = deletion ? deleted_ : sent_;
    s.bind(1, Value(kid));
    s.bind(2, Value(assignment));
    const bool found = s.execute() > 0;
    s.reset();
    return found;
}

TMemberAgreements::TMemberAgreements(TDatabase& db)
    : both_(db.prepare(
          "UPDATE MEDLREG SET BETALING = ?3, VARSLING = ?4 WHERE ORGNR = ?1 AND MEDLNR = ?2")),
      betalingOnly_(
          db.prepare("UPDATE MEDLREG SET BETALING = ?3 WHERE ORGNR = ?1 AND MEDLNR = ?2")) {}

void TMemberAgreements::write(std::int64_t orgnr, const std::string& medlnr, std::int64_t betaling,
                              std::optional<std::int64_t> varsling) {
    Statement& s = varsling ? both_ : betalingOnly_;
    s.bind(1, Value(orgnr));
    s.bind(2, Value(medlnr));
    s.bind(3, Value(betaling));
    if (varsling) s.bind(4, Value(*varsling));
    s.execute();
    s.reset();
}

}  // namespace lagrull::data
