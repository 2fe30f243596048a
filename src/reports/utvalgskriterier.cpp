#include "reports/utvalgskriterier.h"

#include <utility>

#include "common/dates.h"
#include "common/error.h"
#include "data/app_db_mng.h"
#include "data/db_manager.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/schema.h"

namespace lagrull::reports {

namespace {

// The three date conditions turn the stored "DDMMYYYY" into "YYYYMMDD" so
// that texts compare as dates.
std::string sortableColumn(const std::string& column) {
    return "(substring(" + column + " from 5 for 4) || substring(" + column +
           " from 3 for 2) || substring(" + column + " from 1 for 2))";
}

bool dateGiven(const std::string& typed) {
    return typed.find_first_not_of(" ._") != std::string::npos;
}

std::string digitsOnly(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (c >= '0' && c <= '9') out += c;
    return out;
}

}  // namespace

bool TChoiceSelection::choose(const std::string& text) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text || choiceText(entries[i]) == text) {
            index = static_cast<int>(i);
            return true;
        }
    return false;
}

int UtvalgskriterierHeight(int extraPanelHeight) {
    return extraPanelHeight < 39 ? 340 : extraPanelHeight + 302;
}

std::string SortableDate(const std::string& typed, const std::string& label) {
    if (!dateGiven(typed)) return {};
    const std::optional<Date> date = parseShownDate(typed);
    if (!date) throw Error("\"" + typed + "\" i feltet " + label + " er ikke en gyldig dato.");
    const std::string stored = date->stored();  // DDMMYYYY
    return stored.substr(4, 4) + stored.substr(2, 2) + stored.substr(0, 2);
}

TUtvalgskriterier::TUtvalgskriterier(data::TOrvDbMng& dbMng) : dbMng_(dbMng) {
    Betaling.entries = {"ALLE[-1]", "Fast oppdrag[0]", "AvtaleGiro[1]", "Giro[2]", "Kontant[3]"};
    BetStatus.entries = {kAlle, "Ikke betalt", "Betalt"};
    forfDato_.entries = {kIngen, kAlle};
    Kategori.entries = {kAlle};
    Relasjon.entries = {kIngen};
}

TUtvalgskriterier::~TUtvalgskriterier() {
    try {
        if (members_ && members_->active()) members_->first();
    } catch (...) {  // a destructor lets nothing out; the data set stays where it is
    }
}

void TUtvalgskriterier::InitSelection(data::TOrvTable& organisations, data::TOrvTable& members) {
    orgNr_ = data::FieldInt(organisations, "ORGNR");
    members_ = &members;
    members.first();

    persList_ =
        std::make_unique<data::TOrvTable>(members.database(), data::persListDef().TableName);
    dbMng_.OpenOrCreateTable(*persList_, data::persListDef(), false);

    data::TDatabase& db = members.database();
    forfDato_.entries = {kIngen, kAlle};
    data::GetClaimDates(db, orgNr_, forfDato_.entries);

    std::vector<std::string> relations;
    data::GetRelationNames(db, orgNr_, relations);
    Relasjon.entries = {kIngen};
    Relasjon.entries.insert(Relasjon.entries.end(), relations.begin(), relations.end());

    Kategori.entries = {kAlle};
    data::TOrvQuery q(db);
    q.setSql("select distinct kategori from medlreg where orgnr = " + std::to_string(orgNr_));
    q.open();
    for (; !q.eof(); q.next()) Kategori.entries.push_back(data::FieldText(q, "kategori"));

    Betaling.index = Kategori.index = Relasjon.index = BetStatus.index = forfDato_.index = 0;
    MedlnrFra = MedlnrTil = 0;
    PostnrFra.clear();
    PostnrTil.clear();
    MedlFraDato.clear();
    DatoFra.clear();
    DatoTil.clear();
    for (int i = 0; i < kExtraFieldCount; ++i) {
        Ekstra[static_cast<std::size_t>(i)].clear();
        ekstraNavn_[static_cast<std::size_t>(i)] =
            data::FieldText(organisations, "EKSTRANAVN" + std::to_string(i + 1));
    }
    picks_.clear();
    selected_ = -1;
}

void TUtvalgskriterier::SetForfDato(int index) {
    if (index < 0 || index >= static_cast<int>(forfDato_.entries.size())) return;
    forfDato_.index = index;
    if (index != 0) BetStatus.index = static_cast<int>(TBetStatus::Alle);
}

const std::string& TUtvalgskriterier::EkstraNavn(int field) const {
    return ekstraNavn_.at(static_cast<std::size_t>(field));
}

bool TUtvalgskriterier::PickCurrent() {
    if (!members_ || !members_->active() || members_->isEmpty()) return false;
    const std::string nr = data::FieldText(*members_, "MEDLNR");
    for (const TPickedMember& p : picks_)
        if (p.nr == nr) return false;
    picks_.push_back({nr, data::FieldText(*members_, "NAVN")});
    selected_ = static_cast<int>(picks_.size()) - 1;
    return true;
}

void TUtvalgskriterier::RemoveSelected() {
    if (selected_ < 0 || selected_ >= static_cast<int>(picks_.size())) return;
    picks_.erase(picks_.begin() + selected_);
    if (picks_.empty())
        selected_ = -1;
    else if (selected_ > 0)
        --selected_;
}

void TUtvalgskriterier::RemoveAll() {
    picks_.clear();
    selected_ = -1;
}

void TUtvalgskriterier::SelectPick(int index) {
    if (index >= -1 && index < static_cast<int>(picks_.size())) selected_ = index;
}

void TUtvalgskriterier::CheckEntries() const {
    SortableDate(MedlFraDato, "M. dato fra");
    SortableDate(DatoFra, "F. dato fra");
    SortableDate(DatoTil, "F. dato til");
    if (PostnrFra.size() > 4 || PostnrTil.size() > 4)
        throw Error("Et postnummer har høyst 4 tegn.");
}

void TUtvalgskriterier::Confirm() {
    if (!persList_) throw Error("Utvalget er ikke klargjort.");
    data::Transaction transaction(persList_->database());
    persList_->emptyTable();
    persList_->open();
    for (const TPickedMember& p : picks_) {
        persList_->insert();
        data::SetFieldText(*persList_, "KUNDENR", p.nr);
        data::SetFieldText(*persList_, "NAVN", p.navn);
        persList_->post();
    }
    persList_->close();
    transaction.commit();
}

const TStringList& TUtvalgskriterier::SelectItems() {
    select_.clear();
    return select_;
}

const TStringList& TUtvalgskriterier::OrderByItems() {
    orderBy_.clear();
    return orderBy_;
}

const TStringList& TUtvalgskriterier::FromItems() {
    from_ = {"medlreg m"};
    if (Relasjon.index != 0) from_.push_back("relreg r");
    if (forfDato_.index != 0) from_.push_back("mbetreg b");
    if (!picks_.empty()) from_.push_back("perslist pl");
    return from_;
}

const TStringList& TUtvalgskriterier::WhereItems() {
    TStringList& w = where_;
    w = {"m.orgnr = :orgnr"};
    if (MedlnrFra > 0) w.push_back("m.nmedlnr >= :medlnrfra");
    if (MedlnrTil > 0) w.push_back("m.nmedlnr <= :medlnrtil");
    if (!PostnrFra.empty()) w.push_back("m.postnr >= :postnrfra");
    if (!PostnrTil.empty()) w.push_back("m.postnr <= :postnrtil");
    if (Kategori.index != 0) w.push_back("m.kategori = :kategori");
    if (Betaling.index != 0) w.push_back("m.betaling = :betaling");
    for (int i = 1; i <= kExtraFieldCount; ++i)
        if (!Ekstra[static_cast<std::size_t>(i - 1)].empty()) {
            const std::string n = std::to_string(i);
            std::string clause = "Upper(m.ekstra" + n;
            clause.append(") LIKE Upper(:ekstra").append(n).append(")");
            w.push_back(std::move(clause));
        }
    if (dateGiven(MedlFraDato)) w.push_back(sortableColumn("m.MEDLFRADATO") + " >= :MedlemSiden");
    if (dateGiven(DatoFra)) w.push_back(sortableColumn("m.fdato") + " >= :minfdato");
    if (dateGiven(DatoTil)) w.push_back(sortableColumn("m.fdato") + " <= :maxfdato");
    if (!picks_.empty()) w.push_back("pl.kundenr = m.medlnr");
    if (Relasjon.index != 0) {
        w.push_back("m.orgnr = r.orgnr");
        w.push_back("m.medlnr = r.medlnr");
        w.push_back("r.relasjon = :relasjon");
    }
    if (forfDato_.index != 0) {
        w.push_back("m.orgnr = b.orgnr");
        w.push_back("m.medlnr = b.medlnr");
        if (ForfDatoIsDate()) w.push_back("b.dato = :forfdato");
        if (BetStatus.index == static_cast<int>(TBetStatus::IkkeBetalt))
            w.push_back("b.betflag = ''");
        else if (BetStatus.index == static_cast<int>(TBetStatus::Betalt))
            w.push_back("b.betflag = 'X'");
    }
    return w;
}

const TQueryParamList& TUtvalgskriterier::ParamItems() {
    TQueryParamList& p = params_;
    p.Clear();
    p.AddInteger("orgnr", orgNr_);
    if (Relasjon.index != 0) p.AddString("relasjon", Relasjon.chosen());
    if (MedlnrFra > 0) p.AddInteger("medlnrfra", MedlnrFra);
    if (MedlnrTil > 0) p.AddInteger("medlnrtil", MedlnrTil);
    for (int i = 1; i <= kExtraFieldCount; ++i)
        if (const std::string& e = Ekstra[static_cast<std::size_t>(i - 1)]; !e.empty())
            p.AddString("ekstra" + std::to_string(i), e);
    if (dateGiven(MedlFraDato))
        p.AddString("MedlemSiden", SortableDate(MedlFraDato, "M. dato fra"));
    if (dateGiven(DatoFra)) p.AddString("minfdato", SortableDate(DatoFra, "F. dato fra"));
    if (dateGiven(DatoTil)) p.AddString("maxfdato", SortableDate(DatoTil, "F. dato til"));
    if (!PostnrFra.empty()) p.AddString("postnrfra", PostnrFra);
    if (!PostnrTil.empty()) p.AddString("postnrtil", PostnrTil);
    if (Kategori.index != 0) p.AddString("kategori", Kategori.chosen());
    if (Betaling.index != 0) p.Add("betaling", choiceCode(Betaling.chosen()), qpInteger);
    if (ForfDatoIsDate()) p.AddString("forfdato", digitsOnly(forfDato_.chosen()));
    return p;
}

}  // namespace lagrull::reports
