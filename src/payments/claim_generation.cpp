#include "payments/claim_generation.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_set>

#include "common/dates.h"
#include "common/error.h"
#include "common/money.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/sql_dialect.h"
#include "payments/kid.h"

namespace lagrull {

namespace {

constexpr int kRelationColumns = 14;
// REL1–REL5 are cleared on a rewritten claim; the later ones keep their value.
constexpr int kClearedRelationColumns = 5;
constexpr std::size_t kRelationNameWidth = 23;
constexpr std::size_t kWarningListLength = 40;

// One member row of the query, read whole before anything is written so that
// the writes never move under the query. Member numbers are short enough to
// live inside the string without an allocation.
struct MemberRow {
    std::int64_t orgNr = 0;
    std::string medlnr;
    std::int64_t betaling = 0;
    Money ownAmount;           // MEDLREG.BELOP
    Money amount;              // the source's amount ("belop")
    bool fixedAmount = false;  // KONTGRP.FASTBELOP
};

Money money(const data::Value& v) {
    if (const auto* d = std::get_if<double>(&v)) return Money::fromKroner(*d);
    if (const auto* i = std::get_if<std::int64_t>(&v)) return Money::fromOre(*i * 100);
    if (const auto* s = std::get_if<std::string>(&v))
        return Money::fromKroner(data::leadingDecimal(*s));
    return {};
}

std::int64_t integer(const data::Value& v) {
    if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
    if (const auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
    if (const auto* s = std::get_if<std::string>(&v)) return data::leadingInteger(*s);
    return 0;
}

bool flag(const data::Value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return data::textIsTrue(*s);
    return integer(v) != 0;
}

int columnOf(const data::Statement& s, std::string_view name) {
    const std::string wanted = upperCase(name);
    for (int c = 0; c < s.columnCount(); ++c)
        if (upperCase(s.columnName(c)) == wanted) return c;
    return -1;
}

std::vector<MemberRow> readMembers(data::TDatabase& db, const QueryParts& query) {
    data::Statement s = db.prepare(data::translateLocalSql(query.sqlText()));
    for (const auto& [name, value] : query.params) s.bind(name, value);
    const int orgnr = columnOf(s, "orgnr"), medlnr = columnOf(s, "medlnr"),
              betaling = columnOf(s, "betaling"), mbelop = columnOf(s, "mbelop"),
              belop = columnOf(s, "belop"), fastbelop = columnOf(s, "fastbelop");
    if (orgnr < 0 || medlnr < 0 || betaling < 0)
        throw Error("Medlemsutvalget mangler orgnr, medlnr eller betaling.");
    std::vector<MemberRow> rows;
    while (s.step()) {
        MemberRow& r = rows.emplace_back();
        r.orgNr = s.columnInt(orgnr);
        r.medlnr = s.columnText(medlnr);
        r.betaling = s.columnInt(betaling);  // an empty payment method is 0
        if (mbelop >= 0) r.ownAmount = money(s.column(mbelop));
        if (belop >= 0) r.amount = money(s.column(belop));
        if (fastbelop >= 0) r.fixedAmount = flag(s.column(fastbelop));
    }
    return rows;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Navn" padded with blanks to 23 characters, then the amount as shown.
std::string relationText(const std::string& name, Money amount) {
    std::string text = name;
    const std::size_t chars = characterCount(name);
    if (chars < kRelationNameWidth) text.append(kRelationNameWidth - chars, ' ');
    return text + FormatAmount(amount);
}

std::string relationList(const char* form) {
    std::string out;
    for (int n = 1; n <= kRelationColumns; ++n) {
        std::string item = form;
        std::string number = std::to_string(n);
        for (std::size_t p; (p = item.find('#')) != std::string::npos;) item.replace(p, 1, number);
        out += ", " + item;
    }
    return out;
}

// The position of a named parameter, found once so that the rows bind by
// number.
int parameter(const data::Statement& s, std::string_view name) {
    const std::string wanted = upperCase(name);
    for (int i = 1; i <= s.parameterCount(); ++i)
        if (upperCase(s.parameterName(i)) == wanted) return i;
    throw Error("Parameteren " + std::string(name) + " mangler i kravspørringen.");
}

// The insert or the update of a claim, with its parameters' positions.
struct ClaimStatement {
    explicit ClaimStatement(data::Statement statement) : s(std::move(statement)) {
        orgnr = parameter(s, "orgnr");
        medlnr = parameter(s, "medlnr");
        dato = parameter(s, "dato");
        belop = parameter(s, "belop");
        betaling = parameter(s, "betaling");
        kid = parameter(s, "kid");
        tekst = parameter(s, "tekst");
        for (int n = 0; n < kRelationColumns; ++n)
            rel[n] = parameter(s, "rel" + std::to_string(n + 1));
    }
    data::Statement s;
    int orgnr, medlnr, dato, belop, betaling, kid, tekst;
    std::array<int, kRelationColumns> rel{};
};

// The statements of the pass, each prepared once.
class ClaimWriter {
public:
    ClaimWriter(data::TDatabase& db, const ClaimSpec& spec)
        : spec_(spec),
          insert_(db.prepare(data::translateLocalSql(
              "INSERT INTO MBETREG (ORGNR, MEDLNR, DATO, BELOP, BETALING, KID, TEKST" +
              relationList("REL#") +
              ") VALUES (:orgnr, :medlnr, :dato, :belop, :betaling, :kid, :tekst" +
              relationList(":rel#") + ")"))),
          update_(db.prepare(data::translateLocalSql(updateSql()))),
          relation_(db.prepare(data::translateLocalSql(
              "SELECT RELASJON, BELOP FROM RELREG WHERE ORGNR = :orgnr AND MEDLNR = :medlnr "
              "AND RELASJON = :relasjon"))) {
        data::Statement existing = db.prepare(data::translateLocalSql(
            "SELECT MEDLNR FROM MBETREG WHERE ORGNR = :orgnr AND DATO = :dato"));
        existing.bind(parameter(existing, "orgnr"), data::Value(spec.orgNr));
        existing.bind(parameter(existing, "dato"), data::Value(spec.dueDate));
        while (existing.step()) claimed_.insert(existing.columnText(0));
        existing.reset();
        for (ClaimStatement* c : {&insert_, &update_}) {
            // The same for every claim of the run.
            c->s.bind(c->dato, data::Value(spec.dueDate));
            c->s.bind(c->tekst, data::Value(spec.description));
        }
        relOrgnr_ = parameter(relation_, "orgnr");
        relMedlnr_ = parameter(relation_, "medlnr");
        relName_ = parameter(relation_, "relasjon");
        relation_.bind(relOrgnr_, data::Value(spec.orgNr));
    }

    // Writes the claim of one member; false when the KID was left out.
    bool write(const MemberRow& row) {
        if (row.orgNr != spec_.orgNr)
            throw Error("Medlemsutvalget ga medlem " + row.medlnr + " i organisasjon " +
                        std::to_string(row.orgNr) + ", ikke i organisasjon " +
                        std::to_string(spec_.orgNr) + ".");
        std::array<std::optional<std::string>, kRelationColumns> rel;
        const Money amount = amountOf(row, rel);
        std::string kid;
        bool kidWhole = true;
        if (spec_.withKid) {
            if (allDigits(row.medlnr)) {
                const std::string orgPart = std::to_string(row.orgNr + 1);
                kid = MakeKid(orgPart, row.medlnr, spec_.dueDate, spec_.registerKind);
                try {
                    checkKidFits(kid, orgPart, row.medlnr);
                } catch (const Error&) {
                    kid.clear();  // never cut: a cut KID would find another claim
                    kidWhole = false;
                }
            } else {
                kidWhole = false;
            }
        }
        const bool known = claimed_.count(row.medlnr) > 0;
        ClaimStatement& c = known ? update_ : insert_;
        c.s.bind(c.orgnr, data::Value(row.orgNr));
        c.s.bind(c.medlnr, data::Value(row.medlnr));
        c.s.bind(c.belop, data::Value(amount.kroner()));
        c.s.bind(c.betaling, data::Value(row.betaling));
        c.s.bind(c.kid, data::Value(kid));
        for (int n = 0; n < kRelationColumns; ++n) {
            if (rel[n])
                c.s.bind(c.rel[n], data::Value(*rel[n]));
            else if (!known || n < kClearedRelationColumns)
                c.s.bind(c.rel[n], data::Value(std::string()));
            else
                c.s.bind(c.rel[n], data::Value());  // null: the column keeps its value
        }
        c.s.execute();
        c.s.reset();
        // A member the query gives twice is rewritten the second time.
        if (!known) claimed_.insert(row.medlnr);
        return kidWhole;
    }

private:
    static std::string updateSql() {
        std::string sql =
            "UPDATE MBETREG SET BELOP = :belop, BETFLAG = '', BETALING = :betaling, "
            "BETDATO = '', BETBELOP = NULL, KID = :kid, TEKST = :tekst, SLETTEFLAG = NULL, "
            "BBSOPPDRAGSNR = NULL, DIFFERANSEBELOP = NULL";
        for (int n = 1; n <= kRelationColumns; ++n) {
            const std::string col = "REL" + std::to_string(n);
            sql +=
                ", " + col + " = " +
                (n <= kClearedRelationColumns ? ":" + col : "coalesce(:" + col + ", " + col + ")");
        }
        return sql + " WHERE ORGNR = :orgnr AND MEDLNR = :medlnr AND DATO = :dato";
    }

    Money amountOf(const MemberRow& row,
                   std::array<std::optional<std::string>, kRelationColumns>& rel) {
        switch (spec_.source) {
            case AmountSource::Manual: return Money::fromOre(spec_.manualAmount * 100);
            case AmountSource::Member: return row.ownAmount;
            case AmountSource::Category:
                return !row.fixedAmount && row.ownAmount > Money() ? row.ownAmount : row.amount;
            case AmountSource::Relations: break;
        }
        Money sum;
        relation_.bind(relMedlnr_, data::Value(row.medlnr));
        for (std::size_t n = 0; n < spec_.relations.size(); ++n) {
            relation_.bind(relName_, data::Value(spec_.relations[n]));
            if (relation_.step()) {
                const Money amount = money(relation_.column(1));
                sum += amount;
                // A fifteenth relation counts in the amount but has no column.
                if (n < rel.size()) rel[n] = relationText(relation_.columnText(0), amount);
            }
            relation_.reset();
        }
        return sum;
    }

    const ClaimSpec& spec_;
    ClaimStatement insert_, update_;
    data::Statement relation_;
    int relOrgnr_ = 0, relMedlnr_ = 0, relName_ = 0;
    std::unordered_set<std::string> claimed_;  // members with a claim on the date
};

}  // namespace

QueryParts claimMemberQuery(const ClaimSpec& spec) {
    QueryParts q;
    for (const char* item : {"m.orgnr", "m.medlnr", "m.betaling", "m.belop as mbelop"})
        q.addSelect(item);
    switch (spec.source) {
        case AmountSource::Category:
            q.addSelect("k.fastbelop");
            q.addSelect("k.belop as belop");
            break;
        case AmountSource::Member:
        case AmountSource::Manual: q.addSelect("m.belop as belop"); break;
        case AmountSource::Relations: break;
    }
    q.addFrom("medlreg m");
    if (spec.source == AmountSource::Category) q.addFrom("kontgrp k");
    q.addWhere("m.orgnr = :orgnr");
    if (spec.source == AmountSource::Category) {
        q.addWhere("m.orgnr = k.orgnr");
        q.addWhere("m.kategori = k.kategori");
    }
    q.addParam("orgnr", data::Value(spec.orgNr));
    return q;
}

bool confirmClaimGeneration(Ui& ui, const ClaimSpec& spec,
                            const std::vector<std::string>& claimDates) {
    const std::string shown = storedToShown(spec.dueDate);
    if (std::find(claimDates.begin(), claimDates.end(), shown) == claimDates.end())
        return ui.confirm("ADVARSEL!", "Nye betalingsposter blir generert.~Vil du fortsette ?");
    const std::string who = spec.registerKind == 1 ? "leietakere" : "medlemmer";
    return ui.confirm("ADVARSEL!",
                      "Det finnes allerede betalingsposter generert for forfallsdato " + shown +
                          ".~~Tidligere genererte poster vil bli overskrevet for " + who +
                          " som finnes i begge utvalg.~~Betalingsposter vil bli lagt til for nye " +
                          who + ". ~~Fortsett?");
}

ClaimResult generateClaims(data::TDatabase& db, Ui& ui, const ClaimSpec& spec,
                           const QueryParts& memberQuery) {
    ClaimResult result;
    {
        const std::vector<MemberRow> rows = readMembers(db, memberQuery);
        ProgressWindow gauge(ui, static_cast<long long>(rows.size()));
        data::Transaction transaction(db);
        try {
            ClaimWriter writer(db, spec);
            for (const MemberRow& row : rows) {
                if (!writer.write(row)) result.withoutKid.push_back(row.medlnr);
                ++result.written;
                gauge.step();
            }
        } catch (...) {
            // The claims written so far stay, as they would have row by row.
            try {
                transaction.commit();
            } catch (...) {
            }
            throw;
        }
        transaction.commit();
        gauge.finish();
    }
    if (!result.withoutKid.empty()) showKidWarnings(ui, result.withoutKid);
    return result;
}

std::string kidWarningText(const std::vector<std::string>& memberNumbers) {
    if (memberNumbers.size() == 1) return "KID kan ikke genereres for " + memberNumbers.front();
    std::string text = "KID kan ikke genereres for " + std::to_string(memberNumbers.size()) +
                       " medlemmer; postene er skrevet uten KID:~";
    const std::size_t shown = std::min(memberNumbers.size(), kWarningListLength);
    for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + memberNumbers[i];
    if (shown < memberNumbers.size())
        text += " og " + std::to_string(memberNumbers.size() - shown) + " til";
    return text;
}

void showKidWarnings(Ui& ui, const std::vector<std::string>& memberNumbers) {
    ui.information("ADVARSEL!", kidWarningText(memberNumbers));
}

}  // namespace lagrull
