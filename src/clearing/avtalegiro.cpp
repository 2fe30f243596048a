#include "clearing/avtalegiro.h"

#include <filesystem>

#include "clearing/bbs_transmission.h"
#include "common/error.h"
#include "common/ini.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/database.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/payment_rows.h"

namespace lagrull::clearing {

namespace {

std::string withoutLeadingZeros(const std::string& number) {
    const std::size_t first = number.find_first_not_of('0');
    return first == std::string::npos ? "0" : number.substr(first);
}

// The end of both files: the claims sent are marked with the assignment's
// number in the same transaction as the file is written, then the
// transmission number is shown. A mark that cannot be saved takes the file
// away again: a file the register does not know as sent could be sent twice.
std::string markWriteAndShow(Ui& ui, data::TDatabase& db, const TBBS& bbs,
                             const TBBSOppdrag& oppdrag, const std::vector<std::string>& kids,
                             const std::filesystem::path& file, bool deletion) {
    data::Transaction transaction(db);
    data::TClaimsByKid claims(db);
    const std::int64_t nummer = std::stoll(oppdrag.GetOppdragsnr());
    for (const std::string& kid : kids)
        if (!kid.empty()) claims.markSent(kid, nummer, deletion);
    bbs.SaveToFile(file, ui);
    try {
        transaction.commit();
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        throw;
    }
    std::string number = bbs.GetForsendelsesnr();
    ui.message("Noter ned Forsendelsesnummer", "Forsendelsesnr er " + withoutLeadingZeros(number),
               Buttons::Ok, Icon::Information);
    return number;
}

}  // namespace

Money TAvtaleGiroListe::Sum() const {
    Money sum;
    for (const TBetalingspost& p : poster) sum += Money::fromKroner(p.belop);
    return sum;
}

void TAvtaleGiroListe::SlettAlle() {
    for (TBetalingspost& p : poster) p.slettes = "1";
}

void TAvtaleGiroListe::SlettIngen() {
    for (TBetalingspost& p : poster)
        if (p.slettes == "1") p.slettes = "0";
}

std::optional<TAvtaleGiroListe> hentAvtaleGiroListe(Ui& ui, data::TDatabase& db, std::int64_t orgnr,
                                                    const Date& forfall) {
    data::TOrvQuery q(db);
    q.setSql(
        "SELECT b.tekst, b.dato, b.belop, b.kid, b.bbsOppdragsnr, m.Enavn, m.Fornavn, "
        "m.varsling\n"
        "FROM medlreg m, mbetreg b\n"
        "WHERE m.orgnr = :orgnr AND b.orgnr = m.orgnr AND b.medlnr = m.medlnr AND "
        "b.dato = :forfdato AND b.betaling = 1\n"
        "ORDER BY m.enavn,m.fornavn");
    q.setParamInt("orgnr", orgnr);
    q.setParamText("forfdato", forfall.stored());
    q.open();
    TAvtaleGiroListe liste;
    bool utenKid = false;
    {
        ProgressWindow progress(ui, q.recordCount());
        for (; !q.eof(); q.next()) {
            const std::string kid = data::FieldText(q, "KID");
            if (kid.empty()) {
                utenKid = true;
                break;
            }
            TBetalingspost* post = nullptr;
            for (TBetalingspost& p : liste.poster)
                if (p.kid == kid) post = &p;
            if (!post) post = &liste.poster.emplace_back();
            post->navn = data::FieldText(q, "ENAVN") + " " + data::FieldText(q, "FORNAVN");
            post->forfallsdato = data::FieldText(q, "DATO");
            post->belop = data::FieldFloat(q, "BELOP");
            post->tekst = data::FieldText(q, "TEKST");
            post->kid = kid;
            post->egetVarsel = data::FieldInt(q, "VARSLING");
            post->oppdragsnr = data::FieldInt(q, "BBSOPPDRAGSNR");
            progress.step();
        }
        progress.finish();
    }
    if (utenKid) {
        ui.message("Feil!", "En eller flere av betalingspostene innholder ikke KID", Buttons::Ok,
                   Icon::Error);
        return std::nullopt;
    }
    return liste;
}

TAvtaleGiroOppsett lesAvtaleGiroOppsett(data::TDatabase& db, std::int64_t orgnr,
                                        const std::string& settingsFile) {
    TAvtaleGiroOppsett oppsett;
    try {
        TOrvIni ini(settingsFile, IniMode::Read);
        ini.useSection("Setup");
        oppsett.kundeenhetsId = ini.readText("KundeenhetsID", "");
        oppsett.kontonr = ini.readText("Kontonr", "");
        oppsett.lest = true;
    } catch (const FileError&) {
        // without settings the start records stay blank
    }
    data::TOrvQuery q(db);
    q.setSql("select bankkonto from orgreg where orgnr = :orgnr");
    q.setParamInt("orgnr", orgnr);
    q.open();
    if (!q.eof()) oppsett.bankkonto = data::FieldText(q, "BANKKONTO");
    return oppsett;
}

bool erDirdebNavn(const std::filesystem::path& file) {
    return upperCase(file.filename().string()) == "DIRDEB.BBS";
}

std::optional<std::string> lagKravfil(Ui& ui, data::TDatabase& db, const TAvtaleGiroListe& liste,
                                      const std::filesystem::path& file, TidligereFil tidligere,
                                      const TAvtaleGiroOppsett& oppsett, TBBS& bbs) {
    BusyCursor busy(ui);
    if (std::filesystem::exists(file)) {
        const bool leggTil =
            tidligere == TidligereFil::LeggTil ||
            (tidligere == TidligereFil::Spor &&
             ui.message("", "Skal betalingsposter legges til en tidligere forsendelse ?",
                        Buttons::YesNo, Icon::Question) == Answer::Yes);
        if (leggTil) bbs.LoadFromFile(file);
    }
    TBBSBetalingsOppdrag& oppdrag = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    if (oppsett.lest) {
        bbs.SetDataavsender(oppsett.kundeenhetsId);
        oppdrag.SetOppdragskonto(oppsett.bankkonto);
    }
    for (const TBetalingspost& p : liste.poster) {
        TBBSBetaling& t = oppdrag.NyBetaling();
        t.SetEgetVarsel(p.egetVarsel != 0);
        t.SetForfallsdato(parseStoredDate(p.forfallsdato));
        t.SetBelop(p.belop);
        t.SetKid(p.kid);
        t.SetNavn(p.navn);
        if (!t.HarEgetVarsel() && !p.tekst.empty()) t.SetSpesifikasjonTekst(p.tekst);
    }
    std::vector<std::string> kids;
    for (const TBetalingspost& p : liste.poster) kids.push_back(p.kid);
    return markWriteAndShow(ui, db, bbs, oppdrag, kids, file, false);
}

std::optional<std::string> lagSletteanmodning(Ui& ui, data::TDatabase& db,
                                              const TAvtaleGiroListe& liste,
                                              const std::filesystem::path& file,
                                              const TAvtaleGiroOppsett& oppsett, TBBS& bbs) {
    std::vector<const TBetalingspost*> merket;
    for (const TBetalingspost& p : liste.poster)
        if (p.slettes == "1") merket.push_back(&p);
    if (merket.empty()) {
        ui.message("Feil!", "Ingen betalingsposter er merket for sletting", Buttons::Ok,
                   Icon::Error);
        return std::nullopt;
    }
    BusyCursor busy(ui);
    TBBSSlettingsOppdrag& oppdrag = bbs.NyttOppdrag<TBBSSlettingsOppdrag>();
    if (oppsett.lest) {
        bbs.SetDataavsender(oppsett.kundeenhetsId);
        oppdrag.SetOppdragskonto(oppsett.kontonr);
    }
    for (const TBetalingspost* p : merket) {
        TBBSSletting& t = oppdrag.NySletting();
        t.SetFremmedreferanse(p->tekst);
        t.SetForfallsdato(parseStoredDate(p->forfallsdato));
        t.SetBelop(p->belop);
        t.SetKid(p->kid);
        t.SetNavn(p->navn);
    }
    std::vector<std::string> kids;
    kids.reserve(merket.size());
    for (const TBetalingspost* p : merket) kids.push_back(p->kid);
    return markWriteAndShow(ui, db, bbs, oppdrag, kids, file, true);
}

std::string avtaleGiroTittel(AvtaleGiroModus modus, const Date& forfall) {
    return (modus == AvtaleGiroModus::Krav ? "BBS-Avtalegiro for forfallsdato "
                                           : "BBS-Sletteanmodninger for forfallsdato ") +
           forfall.shown();
}

}  // namespace lagrull::clearing
