#include "cli/selection_options.h"

#include <charconv>

#include "common/error.h"
#include "data/app_db_mng.h"
#include "data/field_access.h"

namespace lagrull::cli {

namespace {

using reports::TUtvalgskriterier;

std::string extraOption(int field) { return "ekstra" + std::to_string(field + 1); }

OptionSpecs selectionSpecs() {
    OptionSpecs specs{{"orgnr"},        {"kategori"},
                      {"betaling"},     {"postnr-fra"},
                      {"postnr-til"},   {"medlnr-fra"},
                      {"medlnr-til"},   {"relasjon"},
                      {"forfdato"},     {"betstatus"},
                      {"fdato-fra"},    {"fdato-til"},
                      {"medlem-siden"}, {"velg", OptionKind::Repeated}};
    for (int i = 0; i < reports::kExtraFieldCount; ++i) specs.push_back({extraOption(i)});
    return specs;
}

std::int64_t wholeNumber(const std::string& option, const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        throw UsageError{"--" + option + " vil ha et heltall, ikke \"" + text + "\"."};
    return value;
}

void choose(reports::TChoiceSelection& box, const std::string& option, const std::string& text,
            const std::string& what) {
    if (!box.choose(text))
        throw Error(what + " \"" + text + "\" finnes ikke i organisasjonen (--" + option + ").");
}

class ConsoleKravTilHvem : public reports::TKravTilHvemStep {
public:
    explicit ConsoleKravTilHvem(bool selection) : selection_(selection) {}
    int ShowModal() override {
        SetChoice(selection_ ? 1 : 0);
        return reports::kStepNext;
    }

private:
    bool selection_;
};

class ConsoleUtvalgskriterier : public reports::TUtvalgskriterierStep {
public:
    ConsoleUtvalgskriterier(data::TOrvDbMng& dbMng, const ParsedOptions& options,
                            const SelectionNames& names)
        : TUtvalgskriterierStep(dbMng), options_(options), names_(names) {}

protected:
    int Execute() override {
        applySelectionOptions(options_, Criteria(), names_);
        Criteria().CheckEntries();
        return reports::kStepNext;
    }

private:
    const ParsedOptions& options_;
    const SelectionNames& names_;
};

}  // namespace

SelectionNames::SelectionNames(const OptionSpecs& own) {
    for (const OptionSpec& criterion : selectionSpecs())
        for (const OptionSpec& o : own)
            if (o.name == criterion.name) renamed_.insert(o.name);
}

std::string SelectionNames::operator()(const std::string& criterion) const {
    return renamed_.count(criterion) ? "utvalg-" + criterion : criterion;
}

OptionSpecs withSelectionOptions(OptionSpecs own) {
    const SelectionNames names(own);
    for (OptionSpec& s : selectionSpecs()) own.push_back({names(s.name), s.kind});
    return own;
}

std::string selectionUsage(const SelectionNames& names) {
    std::string usage = kSelectionUsage;
    for (const OptionSpec& s : selectionSpecs()) {
        const std::string given = "[--" + s.name + " ";
        if (names(s.name) == s.name) continue;
        if (const auto at = usage.find(given); at != std::string::npos)
            usage.replace(at, given.size(), "[--" + names(s.name) + " ");
    }
    return usage;
}

bool selectionGiven(const ParsedOptions& options, const SelectionNames& names) {
    for (const OptionSpec& s : selectionSpecs())
        if (s.name != "orgnr" && options.has(names(s.name))) return true;
    return false;
}

void chooseOrganisation(data::RegisterTables& tables, const ParsedOptions& options) {
    data::TOrvTable& org = tables.OrgTable;
    const auto orgnr = options.value("orgnr");
    if (!orgnr) {
        org.first();
        if (org.isEmpty()) throw Error("Registeret har ingen organisasjoner.");
        return;
    }
    const std::int64_t wanted = wholeNumber("orgnr", *orgnr);
    for (org.first(); !org.eof(); org.next())
        if (data::FieldInt(org, "ORGNR") == wanted) return;
    throw Error("Organisasjon " + *orgnr + " finnes ikke.");
}

void applySelectionOptions(const ParsedOptions& options, TUtvalgskriterier& c,
                           const SelectionNames& names) {
    if (auto v = options.value(names("medlnr-fra"))) c.MedlnrFra = wholeNumber("medlnr-fra", *v);
    if (auto v = options.value(names("medlnr-til"))) c.MedlnrTil = wholeNumber("medlnr-til", *v);
    for (const char* option : {"postnr-fra", "postnr-til"})
        if (auto v = options.value(names(option))) {
            if (v->size() > 4) throw UsageError{std::string("--") + option + " har høyst 4 tegn."};
            (std::string(option) == "postnr-fra" ? c.PostnrFra : c.PostnrTil) = *v;
        }
    if (auto v = options.value(names("kategori")))
        choose(c.Kategori, names("kategori"), *v, "Kategorien");
    if (auto v = options.value(names("betaling"))) {
        // By its code ("2") or its text ("ALLE", "Giro").
        TChoiceList methods;
        for (const std::string& e : c.Betaling.entries) methods.add(e);
        auto at = *v == "ALLE" ? methods.indexOfText(*v) : methods.indexOfCode(*v);
        if (!at) at = methods.indexOfText(*v);
        if (!at || *v == "-1") throw UsageError{"--betaling vil ha ALLE, 0, 1, 2 eller 3."};
        c.Betaling.index = static_cast<int>(*at);
    }
    if (auto v = options.value(names("relasjon")))
        choose(c.Relasjon, names("relasjon"), *v, "Relasjonen");
    if (auto v = options.value(names("forfdato"))) {
        reports::TChoiceSelection due = c.ForfDato();
        if (!due.choose(*v))
            throw Error("Ingen krav har forfallsdato \"" + *v + "\" (--" + names("forfdato") +
                        ").");
        c.SetForfDato(due.index);
    }
    if (auto v = options.value(names("betstatus"))) {
        if (!c.BetStatusVisible())
            throw UsageError{"--betstatus gjelder bare sammen med --" + names("forfdato") + "."};
        const std::string s = *v;
        if (s == "ALLE")
            c.BetStatus.index = static_cast<int>(reports::TBetStatus::Alle);
        else if (s == "ikke-betalt")
            c.BetStatus.index = static_cast<int>(reports::TBetStatus::IkkeBetalt);
        else if (s == "betalt")
            c.BetStatus.index = static_cast<int>(reports::TBetStatus::Betalt);
        else
            throw UsageError{"--betstatus vil ha ALLE, ikke-betalt eller betalt."};
    }
    for (int i = 0; i < reports::kExtraFieldCount; ++i)
        if (auto v = options.value(names(extraOption(i)))) {
            if (!c.EkstraVisible(i))
                throw Error("Tilleggsfelt " + std::to_string(i + 1) +
                            " har ikke noe navn i organisasjonen (--" + extraOption(i) + ").");
            c.Ekstra[static_cast<std::size_t>(i)] = *v;
        }
    if (auto v = options.value(names("fdato-fra"))) c.DatoFra = *v;
    if (auto v = options.value(names("fdato-til"))) c.DatoTil = *v;
    if (auto v = options.value(names("medlem-siden"))) c.MedlFraDato = *v;
    // Picks by hand: the member list is moved to each member, as a click would.
    data::TOrvTable* members = c.Members();
    for (const std::string& nr : options.values(names("velg"))) {
        bool found = false;
        for (members->first(); !members->eof() && !found; members->next())
            if (data::FieldText(*members, "MEDLNR") == nr) {
                found = true;
                c.PickCurrent();
            }
        if (!found) throw Error("Medlem " + nr + " finnes ikke i organisasjonen (--velg).");
    }
    if (members) members->first();
}

std::unique_ptr<reports::TKravTilHvemStep> ConsoleSelectionSteps::CreateKravTilHvem() {
    return std::make_unique<ConsoleKravTilHvem>(selectionGiven(options_, names_));
}

std::unique_ptr<reports::TUtvalgskriterierStep> ConsoleSelectionSteps::CreateUtvalgskriterier(
    data::TOrvDbMng& dbMng) {
    return std::make_unique<ConsoleUtvalgskriterier>(dbMng, options_, names_);
}

}  // namespace lagrull::cli
