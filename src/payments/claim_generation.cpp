#include "payments/claim_generation.h"

#include <algorithm>
#include <array>
#include <optional>

#include "common/dates.h"
#include "common/error.h"
#include "common/money.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/claim_rows.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/orv_query.h"
#include "payments/kid.h"

namespace lagrull {

namespace {

constexpr std::size_t kRelationColumns = data::kClaimRelations;
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

std::vector<MemberRow> readMembers(data::TDatabase& db, const reports::TQueryBuilder& query) {
    data::TOrvQuery q(db);
    query.PrepareQuery(q);
    data::TOrvCursor s(q);
    const int orgnr = s.columnIndex("orgnr"), medlnr = s.columnIndex("medlnr"),
              betaling = s.columnIndex("betaling"), mbelop = s.columnIndex("mbelop"),
              belop = s.columnIndex("belop"), fastbelop = s.columnIndex("fastbelop");
    if (orgnr < 0 || medlnr < 0 || betaling < 0)
        throw Error("Medlemsutvalget mangler orgnr, medlnr eller betaling.");
    std::vector<MemberRow> rows;
    while (s.next()) {
        MemberRow& r = rows.emplace_back();
        r.orgNr = s.integer(orgnr);
        r.medlnr = s.text(medlnr);
        r.betaling = s.integer(betaling);  // an empty payment method is 0
        if (mbelop >= 0) r.ownAmount = money(s.value(mbelop));
        if (belop >= 0) r.amount = money(s.value(belop));
        if (fastbelop >= 0) r.fixedAmount = flag(s.value(fastbelop));
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

// One member's claim: amount, relation columns and KID by the run's rules.
class ClaimRules {
public:
    ClaimRules(data::TDatabase& db, const ClaimSpec& job) : spec_(job), relations_(db, job.orgNr) {}

    // The claim of a member; false in `kidWhole` when the KID was left out.
    data::ClaimRow claim(const MemberRow& row, std::string& kid, bool& kidWhole) {
        if (row.orgNr != spec_.orgNr)
            throw Error("Medlemsutvalget ga medlem " + row.medlnr + " i organisasjon " +
                        std::to_string(row.orgNr) + ", ikke i organisasjon " +
                        std::to_string(spec_.orgNr) + ".");
        data::ClaimRow c;
        c.medlnr = row.medlnr;
        c.belop = amountOf(row, c.rel).kroner();
        c.betaling = row.betaling;
        kid.clear();
        kidWhole = true;
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
        c.kid = kid;
        return c;
    }

private:
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
        for (std::size_t n = 0; n < spec_.relations.size(); ++n) {
            const auto found = relations_.find(row.medlnr, spec_.relations[n]);
            if (!found) continue;  // the position is used up all the same
            const Money amount = Money::fromKroner(found->belop);
            sum += amount;
            // A fifteenth relation counts in the amount but has no column.
            if (n < rel.size()) rel[n] = relationText(found->relasjon, amount);
        }
        return sum;
    }

    const ClaimSpec& spec_;
    data::TRelationAmounts relations_;
};

}  // namespace

const reports::TStringList& TClaimQuery::SelectItems() {
    select_ = {"m.orgnr", "m.medlnr", "m.betaling", "m.belop as mbelop"};
    switch (spec_.source) {
        case AmountSource::Category:
            select_.push_back("k.fastbelop");
            select_.push_back("k.belop as belop");
            break;
        case AmountSource::Member:
        case AmountSource::Manual: select_.push_back("m.belop as belop"); break;
        case AmountSource::Relations: break;
    }
    return select_;
}

const reports::TStringList& TClaimQuery::FromItems() {
    from_ = {"medlreg m"};
    if (spec_.source == AmountSource::Category) from_.push_back("kontgrp k");
    return from_;
}

const reports::TStringList& TClaimQuery::WhereItems() {
    where_ = {"m.orgnr = :orgnr"};
    if (spec_.source == AmountSource::Category) {
        where_.push_back("m.orgnr = k.orgnr");
        where_.push_back("m.kategori = k.kategori");
    }
    return where_;
}

const reports::TQueryParamList& TClaimQuery::ParamItems() {
    params_.Clear();
    params_.AddInteger("orgnr", spec_.orgNr);
    return params_;
}

const reports::TStringList& TClaimQuery::OrderByItems() {
    orderBy_.clear();
    return orderBy_;
}

void addClaimQuery(reports::TQueryBuilder& builder, const ClaimSpec& job) {
    TClaimQuery own(job);
    reports::AddContribution(builder, own);
}

bool confirmClaimGeneration(Ui& ui, const ClaimSpec& job,
                            const std::vector<std::string>& claimDates) {
    const std::string shown = storedToShown(job.dueDate);
    if (std::find(claimDates.begin(), claimDates.end(), shown) == claimDates.end())
        return ui.confirm("ADVARSEL!", "Nye betalingsposter blir generert.~Vil du fortsette ?");
    const std::string who = job.registerKind == RegisterKind::Rent ? "leietakere" : "medlemmer";
    return ui.confirm("ADVARSEL!",
                      "Det finnes allerede betalingsposter generert for forfallsdato " + shown +
                          ".~~Tidligere genererte poster vil bli overskrevet for " + who +
                          " som finnes i begge utvalg.~~Betalingsposter vil bli lagt til for nye " +
                          who + ". ~~Fortsett?");
}

ClaimResult generateClaims(data::TDatabase& db, Ui& ui, const ClaimSpec& job,
                           const reports::TQueryBuilder& memberQuery) {
    ClaimResult result;
    {
        std::vector<MemberRow> rows = readMembers(db, memberQuery);
        // Claims are written in key order, so that neighbouring claims share
        // the index pages they are written to. The warnings keep query order.
        std::vector<std::size_t> order(rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&rows](std::size_t a, std::size_t b) {
            return rows[a].medlnr < rows[b].medlnr;
        });
        std::vector<std::size_t> withoutKid;
        ProgressWindow gauge(ui, static_cast<long long>(rows.size()));
        data::Transaction transaction(db);
        try {
            ClaimRules rules(db, job);
            data::TClaimWriter writer(db, job.orgNr, job.dueDate, job.description);
            std::string kid;
            for (const std::size_t i : order) {
                bool kidWhole = true;
                writer.write(rules.claim(rows[i], kid, kidWhole));
                if (!kidWhole) withoutKid.push_back(i);
                ++result.written;
                gauge.step();
            }
            std::sort(withoutKid.begin(), withoutKid.end());
            for (const std::size_t i : withoutKid) result.withoutKid.push_back(rows[i].medlnr);
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
