#include "reports/member_report.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "common/mask.h"
#include "common/money.h"
#include "data/orv_query.h"

namespace lagrull::reports {

// The report data set's fields: the query's columns, then (from Navn) the
// ones computed per row.
enum class TMemberReportRows::Field {
    Medlnr,
    Enavn,
    Fornavn,
    Adresse,
    Postnr,
    Poststed,
    Kategori,
    Adresse2,
    Telefon,
    Bankkonto,
    Fdato,
    Tekst,
    Nmedlnr,
    Adresse3,
    Ekstra1,
    Ekstra2,
    Ekstra3,
    Ekstra4,
    Ekstra5,
    Ekstra6,
    Ekstra7,
    Ekstra8,
    Ekstra9,
    Ekstra10,
    Betaling,
    Orgnr,
    Email,
    Fdato2,
    // the relation's and the claim's, data only when their table is joined
    Relnavn,
    Reltekst,
    Relbelop,
    Kid,
    Forfdato,
    Betdato,
    Belop,
    Betbelop,
    Betflag,
    // computed per row
    Navn,
    Maskdato,
    Betmaate,
    Maskforfdato,
    Maskbetdato,
    Maskbetbelop,
    Maskbelop,
    Maskrelbelop,
    Maskbankkonto,
};

namespace {

using Field = TMemberReportRows::Field;

std::string upper(std::string_view text) {
    std::string u(text);
    std::transform(u.begin(), u.end(), u.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return u;
}

const std::unordered_map<std::string, Field>& fieldNames() {
    static const std::unordered_map<std::string, Field> names = [] {
        std::unordered_map<std::string, Field> n = {
            {"MEDLNR", Field::Medlnr},
            {"ENAVN", Field::Enavn},
            {"FORNAVN", Field::Fornavn},
            {"ADRESSE", Field::Adresse},
            {"POSTNR", Field::Postnr},
            {"POSTSTED", Field::Poststed},
            {"KATEGORI", Field::Kategori},
            {"ADRESSE2", Field::Adresse2},
            {"TELEFON", Field::Telefon},
            {"BANKKONTO", Field::Bankkonto},
            {"FDATO", Field::Fdato},
            {"TEKST", Field::Tekst},
            {"NMEDLNR", Field::Nmedlnr},
            {"ADRESSE3", Field::Adresse3},
            {"BETALING", Field::Betaling},
            {"ORGNR", Field::Orgnr},
            {"EMAIL", Field::Email},
            {"FDATO2", Field::Fdato2},
            {"RELNAVN", Field::Relnavn},
            {"RELTEKST", Field::Reltekst},
            {"RELBELOP", Field::Relbelop},
            {"KID", Field::Kid},
            {"FORFDATO", Field::Forfdato},
            {"BETDATO", Field::Betdato},
            {"BELOP", Field::Belop},
            {"BETBELOP", Field::Betbelop},
            {"BETFLAG", Field::Betflag},
            {"NAVN", Field::Navn},
            {"MASKDATO", Field::Maskdato},
            {"BETMAATE", Field::Betmaate},
            {"MASKFORFDATO", Field::Maskforfdato},
            {"MASKBETDATO", Field::Maskbetdato},
            {"MASKBETBELOP", Field::Maskbetbelop},
            {"MASKBELOP", Field::Maskbelop},
            {"MASKRELBELOP", Field::Maskrelbelop},
            {"MASKBANKKONTO", Field::Maskbankkonto},
        };
        for (int i = 0; i < kExtraNames; ++i)
            n["EKSTRA" + std::to_string(i + 1)] =
                static_cast<Field>(static_cast<int>(Field::Ekstra1) + i);
        return n;
    }();
    return names;
}

bool isClaimField(Field f) { return f >= Field::Kid && f <= Field::Betflag; }
bool isRelationField(Field f) { return f >= Field::Relnavn && f <= Field::Relbelop; }

// "12" for a whole number, else with its decimals and a decimal comma.
std::string numberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    return report::formatNumber(value, "0.######");
}

std::string amountText(const std::string& stored) {
    return stored.empty() ? std::string() : FormatAmount(report::numberOf(stored));
}

std::string masked(const char* mask, const std::string& value) {
    return value.empty() ? std::string() : Mask(mask).show(value);
}

}  // namespace

// A member's relations, the sub-detail rows of a report "Med relasjoner".
class TMemberReportRows::Relations : public report::TReportRowSource {
public:
    explicit Relations(data::TDatabase& db) : query_(db) {
        query_.setSql(
            "select relasjon,tekst,belop from relreg where orgnr = :orgnr and medlnr = :medlnr "
            "order by relasjon");
    }
    void select(const std::string& orgNr, const std::string& medlNr) {
        query_.setParamInt("orgnr", std::atoll(orgNr.c_str()));
        query_.setParamText("medlnr", medlNr);
        rewind();
    }
    bool next() override { return cursor_->next(); }
    void rewind() override { cursor_ = std::make_unique<data::TOrvCursor>(query_); }
    std::string text(std::string_view field) const override {
        const std::string f = upper(field);
        if (f == "RELASJON") return cursor_->text(0);
        if (f == "TEKST") return cursor_->text(1);
        if (f == "BELOP") return cursor_->text(2);
        return {};
    }

private:
    data::TOrvQuery query_;
    std::unique_ptr<data::TOrvCursor> cursor_;
};

TMemberReportRows::TMemberReportRows(data::TOrvQuery& query, bool claims, bool relations,
                                     TLabelNameOrder nameOrder, bool withRelations)
    : query_(query),
      db_(query.database()),
      claims_(claims),
      relations_(relations),
      nameOrder_(nameOrder),
      withRelations_(withRelations) {
    rewind();
}

TMemberReportRows::~TMemberReportRows() = default;

void TMemberReportRows::rewind() {
    cursor_ = std::make_unique<data::TOrvCursor>(query_);
    columns_.clear();
    const std::vector<std::string>& names = cursor_->columnNames();
    for (const auto& [name, field] : fieldNames()) {
        if (field >= Field::Navn) continue;
        if (isClaimField(field) && !claims_) continue;
        if (isRelationField(field) && !relations_) continue;
        int column = cursor_->columnIndex(name);
        if (field == Field::Belop) {
            // The member's own BELOP comes first in the select list; the
            // claim's amount is the later "b.belop". Without it: none.
            const auto last = std::find(names.rbegin(), names.rend(), "BELOP");
            const int at = static_cast<int>(names.rend() - last) - 1;
            column = at > column ? at : -1;
        }
        if (column >= 0) columns_[static_cast<int>(field)] = column;
    }
}

bool TMemberReportRows::next() { return cursor_->next(); }

long long TMemberReportRows::count() {
    data::TOrvCursor pass(query_);
    long long n = 0;
    while (pass.next()) ++n;
    return n;
}

std::string TMemberReportRows::column(Field f) const {
    const auto it = columns_.find(static_cast<int>(f));
    return it == columns_.end() ? std::string() : cursor_->text(it->second);
}

std::string TMemberReportRows::nameText() const {
    std::string enavn = column(Field::Enavn), fornavn = column(Field::Fornavn);
    if (nameOrder_ == TLabelNameOrder::FornavnEtternavn) return fornavn + " " + enavn;
    if (fornavn.empty()) return enavn;
    if (enavn.empty()) return fornavn;
    return enavn + ", " + fornavn;
}

std::string TMemberReportRows::text(std::string_view field) const {
    const auto it = fieldNames().find(upper(field));
    if (it == fieldNames().end()) return {};
    switch (const Field f = it->second) {
        case Field::Navn: return nameText();
        case Field::Maskdato: return masked("##.##.####", column(Field::Fdato));
        case Field::Maskforfdato: return masked("##.##.####", column(Field::Forfdato));
        case Field::Maskbetdato: return masked("##.##.####", column(Field::Betdato));
        case Field::Maskbankkonto: return masked("####.##.#####", column(Field::Bankkonto));
        case Field::Maskbelop: return amountText(column(Field::Belop));
        case Field::Maskbetbelop: return amountText(column(Field::Betbelop));
        case Field::Maskrelbelop: return amountText(column(Field::Relbelop));
        case Field::Betmaate: {
            static const char* const methods[] = {"Fast oppdrag[0]", "AvtaleGiro[1]", "Giro[2]",
                                                  "Kontant[3]"};
            const std::string code = column(Field::Betaling);
            const long long n = code.empty() ? -1 : std::atoll(code.c_str());
            return n >= 0 && n < 4 ? methods[n] : std::string();
        }
        case Field::Nmedlnr: {
            const std::string v = column(f);
            return v.empty() ? v : numberText(report::numberOf(v));
        }
        default: return column(f);
    }
}

report::TReportRowSource* TMemberReportRows::children() {
    if (!withRelations_) return nullptr;
    if (!children_) children_ = std::make_unique<Relations>(db_);
    children_->select(column(Field::Orgnr), column(Field::Medlnr));
    return children_.get();
}

}  // namespace lagrull::reports
