#include "data/claim_rows.h"

#include <algorithm>

#include "data/schema.h"
#include "data/table_def.h"

namespace lagrull::data {

namespace {

constexpr int kClearedRelations = 5;

// Parameters of both statements: ?1 ORGNR, ?2 MEDLNR, ?3 DATO, ?4 BELOP,
// ?5 BETALING, ?6 KID, ?7 TEKST, ?8 … ?21 REL1 … REL14.
constexpr int pBelop = 4, pBetaling = 5, pKid = 6, pTekst = 7, pRel1 = 8;

std::string insertSql() {
    std::string columns = "ORGNR, MEDLNR, DATO, BELOP, BETALING, KID, TEKST";
    std::string values = "?1, ?2, ?3, ?4, ?5, ?6, ?7";
    for (int n = 1; n <= kClaimRelations; ++n) {
        columns += ", REL" + std::to_string(n);
        values += ", ?" + std::to_string(pRel1 + n - 1);
    }
    // A member given twice in one run finds its claim written: the insert is
    // then ignored and the claim rewritten.
    return "INSERT OR IGNORE INTO MBETREG (" + columns + ", BETFLAG, BETDATO) VALUES (" + values +
           ", '', '')";
}

// The rewrite of an existing claim; its WHERE skips a claim that already
// holds every value (BINARY: the NORSK collation would take "a" for "A").
std::string updateSql() {
    std::string set =
        "BELOP = ?4, BETFLAG = '', BETALING = ?5, BETDATO = '', BETBELOP = NULL, KID = ?6, "
        "TEKST = ?7, SLETTEFLAG = NULL, BBSOPPDRAGSNR = NULL, DIFFERANSEBELOP = NULL";
    std::string changed =
        "BELOP IS NOT ?4 OR BETFLAG IS NOT '' OR BETALING IS NOT ?5 OR BETDATO IS NOT '' OR "
        "BETBELOP IS NOT NULL OR KID IS NOT ?6 COLLATE BINARY OR TEKST IS NOT ?7 COLLATE BINARY "
        "OR SLETTEFLAG IS NOT NULL OR BBSOPPDRAGSNR IS NOT NULL OR DIFFERANSEBELOP IS NOT NULL";
    for (int n = 1; n <= kClaimRelations; ++n) {
        const std::string col = "REL" + std::to_string(n);
        std::string value = "?" + std::to_string(pRel1 + n - 1);
        if (n > kClearedRelations)
            value.insert(0, "coalesce(").append(", ").append(col).append(")");
        set.append(", ").append(col).append(" = ").append(value);
        changed.append(" OR ")
            .append(col)
            .append(" IS NOT ")
            .append(value)
            .append(" COLLATE BINARY");
    }
    return "UPDATE MBETREG SET " + set + " WHERE ORGNR = ?1 AND MEDLNR = ?2 AND DATO = ?3 AND (" +
           changed + ")";
}

}  // namespace

TClaimWriter::TClaimWriter(TDatabase& db, std::int64_t orgNr, const std::string& dueDate,
                           const std::string& description)
    : noTriggers_(db),
      medlnrWidth_(textWidth(mbetregDef(), "MEDLNR")),
      kidWidth_(textWidth(mbetregDef(), "KID")),
      relWidth_(textWidth(mbetregDef(), "REL1")),
      insert_(db.prepare(insertSql())),
      update_(db.prepare(updateSql())) {
    Statement existing = db.prepare("SELECT MEDLNR FROM MBETREG WHERE ORGNR = ?1 AND DATO = ?2");
    existing.bind(1, Value(orgNr));
    existing.bind(2, Value(dueDate));
    while (existing.step()) claimed_.push_back(existing.columnText(0));
    existing.reset();
    std::sort(claimed_.begin(), claimed_.end());
    for (Statement* s : {&insert_, &update_}) {
        // The same for every claim of the run.
        s->bind(1, Value(orgNr));
        s->bind(3, Value(std::string(fittedText(dueDate, textWidth(mbetregDef(), "DATO")))));
        s->bind(pTekst,
                Value(std::string(fittedText(description, textWidth(mbetregDef(), "TEKST")))));
    }
}

void TClaimWriter::write(const ClaimRow& claim) {
    const bool known = std::binary_search(claimed_.begin(), claimed_.end(),
                                          fittedText(claim.medlnr, medlnrWidth_));
    if (!known && bindAndRun(insert_, claim, false) > 0) return;
    bindAndRun(update_, claim, true);
}

int TClaimWriter::bindAndRun(Statement& s, const ClaimRow& claim, bool rewrite) {
    // The claim's texts outlive the statement's run: bound without a copy.
    constexpr bool copy = false;
    s.bindText(2, fittedText(claim.medlnr, medlnrWidth_), copy);
    s.bind(pBelop, Value(claim.belop));
    s.bind(pBetaling, Value(claim.betaling));
    s.bindText(pKid, fittedText(claim.kid, kidWidth_), copy);
    for (int n = 0; n < kClaimRelations; ++n) {
        const auto& rel = claim.rel[static_cast<std::size_t>(n)];
        if (rel)
            s.bindText(pRel1 + n, fittedText(*rel, relWidth_), copy);
        else if (!rewrite || n < kClearedRelations)
            s.bindText(pRel1 + n, {}, copy);
        else
            s.bindNull(pRel1 + n);  // the column keeps its value
    }
    const int changed = s.execute();
    s.reset();
    return changed;
}

TRelationAmounts::TRelationAmounts(TDatabase& db, std::int64_t orgNr)
    : find_(db.prepare("SELECT RELASJON, BELOP FROM RELREG WHERE ORGNR = ?1 AND MEDLNR = ?2 AND "
                       "RELASJON = ?3")) {
    find_.bind(1, Value(orgNr));
}

std::optional<TRelationAmounts::Found> TRelationAmounts::find(const std::string& medlnr,
                                                              const std::string& relasjon) {
    find_.bind(2, Value(medlnr));
    find_.bind(3, Value(relasjon));
    std::optional<Found> found;
    if (find_.step()) {
        const Value belop = find_.column(1);
        found = Found{find_.columnText(0), 0.0};
        if (const auto* d = std::get_if<double>(&belop))
            found->belop = *d;
        else if (const auto* i = std::get_if<std::int64_t>(&belop))
            found->belop = double(*i);
    }
    find_.reset();
    return found;
}

}  // namespace lagrull::data
