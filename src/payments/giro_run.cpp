#include "payments/giro_run.h"

#include "common/app_paths.h"
#include "common/dates.h"
#include "common/error.h"
#include "common/money.h"
#include "common/process.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/dataset.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "payments/giro_export.h"

namespace lagrull {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCategoryWidth = 23;
// VARSLING 1: the member gets its own notice of an AvtaleGiro claim.
constexpr std::int64_t kOwnNotice = 1;

// The columns of the giro query the pass reads, in select order.
enum Column {
    cMedlnr,
    cEnavn,
    cFornavn,
    cAdresse,
    cAdresse2,
    cPostnr,
    cPoststed,
    cAdresse3,
    cBankkonto,
    cKategori,
    cVarsling,
    cBelop,
    cKid,
    cTekst,
    cRel1,
    cColumns = cRel1 + kGiroTextLines
};

// One claim row; its texts point into the GiroRows that hold it.
struct GiroRow {
    std::array<std::string_view, cColumns> text;
    std::int64_t varsling = 0;
    Money belop;
};

// The claim rows, read whole before the file is built. Their texts share one
// buffer, so that 100,000 rows cost neither an allocation each nor a move of
// every text when the list grows.
class GiroRows {
public:
    void add(const data::TOrvCursor& s) {
        for (int c = 0; c < cColumns; ++c) {
            if (c != cVarsling && c != cBelop) texts_ += s.text(c);
            ends_.push_back(texts_.size());
        }
        numbers_.push_back({s.integer(cVarsling), Money::fromKroner(s.number(cBelop))});
    }
    std::size_t size() const { return numbers_.size(); }
    GiroRow operator[](std::size_t i) const {
        GiroRow r;
        std::size_t start = i == 0 ? 0 : ends_[i * cColumns - 1];
        for (std::size_t c = 0; c < cColumns; ++c) {
            const std::size_t end = ends_[i * cColumns + c];
            r.text[c] = std::string_view(texts_).substr(start, end - start);
            start = end;
        }
        r.varsling = numbers_[i].varsling;
        r.belop = numbers_[i].belop;
        return r;
    }

private:
    struct Numbers {
        std::int64_t varsling;
        Money belop;
    };
    std::string texts_;
    std::vector<std::size_t> ends_;  // per row and column: where its text ends
    std::vector<Numbers> numbers_;
};

std::string_view trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string payerName(const GiroRow& r, GiroName form) {
    const std::string last(r.text[cEnavn]);
    const std::string first(r.text[cFornavn]);
    if (form == GiroName::FornavnEtternavn) return std::string(trimmed(first + " " + last));
    if (last.empty() || first.empty()) return last + first;
    return last + ", " + first;
}

// A text line's value for one giro: its free text or the merge field's.
std::string lineValue(const GiroTextLine& line, const GiroRow& r, GiroName form) {
    if (line.kind == TextLineKind::Fritekst) return line.text;
    const std::string& key = line.field;
    if (key == "MEDLNR") return std::string(r.text[cMedlnr]);
    if (key == "NAVN") return payerName(r, form);
    if (key == "KATEGORI") return std::string(r.text[cKategori]);
    if (key == "KATSTR") {
        std::string s(r.text[cKategori]);
        const std::size_t chars = characterCount(s);
        if (chars < kCategoryWidth) s.append(kCategoryWidth - chars, ' ');
        return s + FormatAmount(r.belop);
    }
    if (key.rfind("REL", 0) == 0) {
        const int n = std::atoi(key.c_str() + 3);
        if (n >= 1 && n <= kGiroTextLines) return std::string(r.text[cRel1 + n - 1]);
    }
    throw Error("Ukjent flettefelt på giro: " + key);
}

// The export file's fields the pass sets, by position, found once.
enum GiroField {
    fBetnavn,
    fBetaddr1,
    fBetaddr2,
    fBetpostnr,
    fBetpostst,
    fVarsel,
    fBetkonto,
    fKid,
    fForf,
    fBelop,
    fMotnavn,
    fMotaddr1,
    fMotaddr2,
    fMotpostnr,
    fMotpostst,
    fMotkonto,
    fTekst1,
    fFields = fTekst1 + kGiroTextLines
};

std::array<std::size_t, fFields> fieldPositions(const TOrvExportGiro& out) {
    static const char* const names[] = {"betnavn",   "betaddr1",  "betaddr2",  "betpostnr",
                                        "betpostst", "varsel",    "betkonto",  "kid",
                                        "forf",      "belop",     "motnavn",   "motaddr1",
                                        "motaddr2",  "motpostnr", "motpostst", "motkonto"};
    std::array<std::size_t, fFields> at{};
    for (int f = 0; f < fTekst1; ++f) at[f] = out.fieldIndex(names[f]);
    for (int n = 0; n < kGiroTextLines; ++n)
        at[fTekst1 + n] = out.fieldIndex("tekst" + std::to_string(n + 1));
    return at;
}

GiroRows readRows(data::TDatabase& db, const reports::TQueryBuilder& query) {
    data::TOrvQuery q(db);
    query.PrepareQuery(q);
    data::TOrvCursor s(q);
    GiroRows rows;
    while (s.next()) rows.add(s);
    return rows;
}

}  // namespace

GiroPayee readPayee(data::TDatabase& db, std::int64_t orgNr) {
    data::TOrvQuery q(db);
    q.setSql(
        "select orgnavn, adresse, adresse2, postnr, poststed, bankkonto from orgreg "
        "where orgnr = :orgnr");
    q.setParamInt("orgnr", orgNr);
    q.open();
    if (q.eof()) throw Error("Organisasjon " + std::to_string(orgNr) + " finnes ikke.");
    return {data::FieldText(q, "orgnavn"),  data::FieldText(q, "adresse"),
            data::FieldText(q, "adresse2"), data::FieldText(q, "postnr"),
            data::FieldText(q, "poststed"), data::FieldText(q, "bankkonto")};
}

std::vector<std::string> giroMergeFields() {
    std::vector<std::string> items = {"MEDLNR=Medlemsnr", "NAVN=Navn", "KATEGORI=Kategori",
                                      "KATSTR=Kategori    <beløp>"};
    for (int k = 1; k <= kGiroTextLines; ++k)
        items.push_back("REL" + std::to_string(k) + "=Relasjon " + std::to_string(k) + "  <beløp>");
    return items;
}

std::optional<std::string> claimDescription(data::TDatabase& db, std::int64_t orgNr,
                                            const std::string& dueDate) {
    data::TOrvQuery q(db);
    q.setSql(
        "Select distinct MBetReg.Tekst\nFrom Mbetreg\n"
        "Where MBetReg.Dato=:forfdato and MBetReg.Orgnr=:orgnr;");
    q.setParamText("forfdato", dueDate);
    q.setParamInt("orgnr", orgNr);
    q.open();
    if (q.eof()) return std::nullopt;
    return data::FieldText(q, "Tekst");
}

void applyPreset(GiroSpec& job, GiroPreset preset, const std::string& description) {
    if (preset == GiroPreset::Egendef) return;
    auto& l = job.lines;
    l[0] = {TextLineKind::Fritekst, description, {}};
    for (int n = 1; n < kGiroTextLines; ++n) {
        if (preset == GiroPreset::AlleGrupper)
            l[n] = {TextLineKind::Flettefelt, {}, "REL" + std::to_string(n)};
        else
            l[n] = {TextLineKind::Fritekst, {}, {}};
    }
    if (preset == GiroPreset::StdOppsett) {
        l[1] = {TextLineKind::Flettefelt, {}, "MEDLNR"};
        l[2] = {TextLineKind::Flettefelt, {}, "NAVN"};
        l[3] = {TextLineKind::Flettefelt, {}, "KATSTR"};
    }
}

const reports::TStringList& TGiroQuery::SelectItems() {
    select_ = {"m.medlnr",   "m.enavn",    "m.fornavn",  "m.adresse",   "m.adresse2",
               "m.postnr",   "m.poststed", "m.adresse3", "m.bankkonto", "m.kategori",
               "m.varsling", "b.belop",    "b.kid",      "b.tekst"};
    for (int n = 1; n <= kGiroTextLines; ++n) select_.push_back("b.rel" + std::to_string(n));
    select_.push_back("b.Sletteflag");
    select_.push_back(
        "substring(m.fdato from 5 for 4) || substring(m.fdato from 3 for 2) || "
        "substring(m.fdato from 1 for 2) as dato ");
    return select_;
}

const reports::TStringList& TGiroQuery::FromItems() {
    from_ = {"medlreg m", "mbetreg b"};
    return from_;
}

const reports::TStringList& TGiroQuery::WhereItems() {
    where_ = {"m.orgnr = :orgnr", "m.orgnr = b.orgnr", "m.medlnr = b.medlnr", "b.dato = :forfdato",
              "b.betflag = ''"};
    if (!spec_.selectionUsed && spec_.kind == GiroKind::Kontingent)
        where_.push_back("((m.betaling = 2) OR ((m.betaling=1) AND (m.varsling=1)))");
    return where_;
}

const reports::TQueryParamList& TGiroQuery::ParamItems() {
    params_.Clear();
    params_.AddInteger("orgnr", spec_.orgNr);
    params_.AddString("forfdato", spec_.dueDate);
    return params_;
}

const reports::TStringList& TGiroQuery::OrderByItems() {
    orderBy_ = {"m.enavn", "m.fornavn"};
    return orderBy_;
}

void addGiroQuery(reports::TQueryBuilder& builder, const GiroSpec& job) {
    TGiroQuery own(job);
    reports::AddContribution(builder, own);
}

long long writeGiroFile(data::TDatabase& db, Ui& ui, const GiroSpec& job,
                        const reports::TQueryBuilder& query, const GiroPayee& payee,
                        const std::filesystem::path& file) {
    TOrvExportGiro out(file, kGiroFieldList);
    const auto at = fieldPositions(out);
    const std::string due = storedToShown(job.dueDate);
    const GiroRows rows = readRows(db, query);
    ProgressWindow progress(ui, static_cast<long long>(rows.size()));
    long long giros = 0;
    Money sum;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const GiroRow r = rows[i];
        sum += r.belop;
        progress.step();
        // Consecutive rows of one member make one giro, with the last row's values.
        if (i + 1 < rows.size() && rows[i + 1].text[cMedlnr] == r.text[cMedlnr]) continue;
        out.setValue(at[fBetnavn], payerName(r, job.name));
        out.setValue(at[fBetaddr1], r.text[cAdresse]);
        out.setValue(at[fBetaddr2], r.text[cAdresse2]);
        out.setValue(at[fVarsel], r.varsling == kOwnNotice ? "Ja" : "Nei");
        const bool foreign = !r.text[cAdresse3].empty();
        out.setValue(at[fBetpostnr], foreign ? std::string_view() : r.text[cPostnr]);
        out.setValue(at[fBetpostst], foreign ? r.text[cAdresse3] : r.text[cPoststed]);
        if (job.payerAccount) out.setValue(at[fBetkonto], r.text[cBankkonto]);
        out.setValue(at[fKid], r.text[cKid]);
        out.setValue(at[fForf], due);
        if (sum > Money()) out.setValue(at[fBelop], formatAmountUngrouped(sum));
        out.setValue(at[fMotnavn], payee.navn);
        out.setValue(at[fMotaddr1], payee.adresse);
        out.setValue(at[fMotaddr2], payee.adresse2);
        out.setValue(at[fMotpostnr], payee.postnr);
        out.setValue(at[fMotpostst], payee.poststed);
        out.setValue(at[fMotkonto], payee.bankkonto);
        std::size_t used = 0;
        for (const GiroTextLine& line : job.lines) {
            const std::string value = lineValue(line, r, job.name);
            if (trimmed(value).empty()) continue;
            out.setValue(at[fTekst1 + used++], value);
        }
        out.writeRecord();
        sum = Money();
        ++giros;
    }
    out.save();
    progress.finish();
    return giros;
}

std::filesystem::path findGiroProgram() {
    const std::string known = programLocation(kGiroProgram);
    if (!known.empty() && fs::exists(fs::path(known) / kGiroProgram))
        return fs::path(known) / kGiroProgram;
    fs::path beside = fs::path(appPaths().programDirectory) / kGiroProgram;
    if (fs::exists(beside)) return beside;
    return {};
}

bool startGiroProgram(Ui& ui, const std::filesystem::path& program,
                      const std::filesystem::path& file) {
    if (!program.empty() && startDetached(program.string(), {fs::absolute(file).string()}))
        return true;
    ui.error("Palvik er ikke installert", "FEIL!");
    return false;
}

}  // namespace lagrull
