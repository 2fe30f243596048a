#include "clearing/ocr_import.h"

#include <algorithm>
#include <set>
#include <unordered_set>
#include <vector>

#include "clearing/key_table.h"
#include "clearing/medl_liste.h"
#include "common/dates.h"
#include "common/error.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/database.h"
#include "data/payment_rows.h"

namespace lagrull::clearing {

const std::array<const char*, kRapportKolonner> kRapportTitler = {
    "Medlem",       "Medlem av",   "KID ved innbetaling / Melding",
    "Forfallsdato", "Betalt dato", "Betalt kr"};
const std::array<int, kRapportKolonner> kRapportBredder = {226, 180, 153, 61, 60, 67};

namespace {

// Payment method and notice codes of the member table.
enum Betaling : std::int64_t { kAvtalegiro = 1, kGiro = 2 };
enum Varsling : std::int64_t { kEgetVarsel = 1, kIngenVarsel = 2 };

std::string shownDate(const std::string& stored) {
    const std::optional<Date> d = parseStoredDate(stored);
    return d ? d->shown() : stored;
}

// What became of one payment of the file.
enum class Utfall { Venter, UtenKid, Matchet, Umatchet, Tilbakeforing };

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Innbetaling {
    const TBBSReturItemBetaling* item = nullptr;
    std::string kid;
    std::string betaltDato;  // "DDMMYYYY"; empty when the payment has none
    Utfall utfall = Utfall::Venter;
    std::string forfallsdato;
    std::size_t next = kNone;  // the next payment of the same KID
};

// One KID of the file (numbered by the KeyTable): its payments in file order,
// linked through Innbetaling::next, and the claim it names.
struct KidGroup {
    const std::string* kid = nullptr;  // as its first payment gives it
    std::size_t first = kNone, last = kNone;
    std::optional<data::ClaimState> claim;
    std::size_t rank = kNone;  // the claim's place among the found claims in rowid order
};

// "DDMMYYYY" of the payment's settlement date; empty when it has none.
std::string storedDate(const TBBSReturItemBetaling& p) {
    const std::optional<Date> d = p.Dato();
    return d ? d->stored() : std::string();
}

// The payment rules on one claim; the claim amount is compared in whole øre.
void applyPayment(data::ClaimState& claim, Money amount, const std::string& date) {
    const Money belop = Money::fromKroner(claim.belop);
    if (amount != belop) claim.differansebelop = (belop - amount).kroner();
    if (amount >= belop) claim.betflag = "X";
    claim.betdato = date;
    claim.betbelop = amount.kroner();
    claim.sletteflag = 0;
}

class Import {
public:
    Import(Ui& ui, data::TDatabase& db, const TBBSRetur& reader, TBBSRapportMottaker& report)
        : ui_(ui),
          db_(db),
          reader_(reader),
          report_(report),
          list_(db),
          progress_(ui, reader.Betalinger().Count() + reader.Endringer().Count() +
                            reader.Statusliste().Count()) {}

    TOcrImportResultat run() {
        collectPayments();
        data::Transaction transaction(db_);
        try {
            registerPayments();
            registerChanges();
            registerFullLists();
        } catch (const std::exception& e) {
            result_.feil = e.what();
        }
        transaction.commit();
        reportPayments();
        if (!result_.feil) progress_.finish();
        return result_;
    }

private:
    void collectPayments() {
        const auto& list = reader_.Betalinger();
        payments_.reserve(static_cast<std::size_t>(list.Count()));
        for (int i = 0; i < list.Count(); ++i) {
            const TBBSReturItemBetaling& p = list.Items(i);
            Innbetaling b;
            b.item = &p;
            b.kid = p.Kid();
            b.betaltDato = storedDate(p);
            if (b.kid.empty())
                b.utfall = Utfall::UtenKid;
            else if (p.ErTilbakeforing())
                b.utfall = Utfall::Tilbakeforing;
            payments_.push_back(std::move(b));
        }
    }

    // Grouped by KID (without regard to case, as the KID index compares),
    // each KID's payments applied in file order to its claim; then one write
    // per claim in the table's own order, so that the writes touch each page
    // once. The groups are numbered in file order, so passes over them walk
    // the payments nearly in order too.
    void registerPayments() {
        KeyTable kids(payments_.size());
        std::vector<KidGroup> groups;
        groups.reserve(payments_.size());
        std::string upper;
        std::size_t pending = 0;
        for (std::size_t i = 0; i < payments_.size(); ++i) {
            Innbetaling& b = payments_[i];
            if (b.utfall != Utfall::Venter) continue;
            ++pending;
            const std::size_t number = kids.add(upperCase(b.kid, upper));
            if (number == groups.size()) groups.emplace_back();
            KidGroup& g = groups[number];
            if (g.first == kNone) {
                g.kid = &b.kid;
                g.first = i;
            } else {
                payments_[g.last].next = i;
            }
            g.last = i;
        }
        data::TClaimsByKid claims(db_);
        const std::vector<const data::ClaimState*> states =
            findClaims(claims, kids, groups, pending);

        std::size_t matchedPayments = 0;
        for (KidGroup& g : groups) {
            for (std::size_t i = g.first; i != kNone; i = payments_[i].next) {
                const Innbetaling& b = payments_[i];
                if (g.claim) {
                    applyPayment(*g.claim, b.item->Belop(), b.betaltDato);
                    ++matchedPayments;
                } else {
                    payments_[i].utfall = Utfall::Umatchet;
                    progress_.step();
                }
            }
        }
        // The gauge moves by the share of claims written; a failure keeps the
        // claims of the batches written before it, and their payments are
        // listed as registered.
        const long long before = progress_.done();
        std::size_t written = 0;
        try {
            claims.writePayments(states, [&](std::size_t, std::size_t end) {
                written = end;  // end > 0: there are states
                progress_.step(before +
                               static_cast<long long>(matchedPayments * end / states.size()));
            });
        } catch (...) {
            markMatched(groups, written);
            throw;
        }
        markMatched(groups, written);
    }

    // The payments of the claims of rank below `written` are registered.
    void markMatched(const std::vector<KidGroup>& groups, std::size_t written) {
        for (const KidGroup& g : groups) {
            if (g.rank >= written) continue;
            for (std::size_t i = g.first; i != kNone; i = payments_[i].next) {
                payments_[i].utfall = Utfall::Matchet;
                payments_[i].forfallsdato = g.claim->dato;
            }
        }
    }

    // The claims of the groups, ranked and returned in rowid order. One
    // look-up per KID for a few payments; one sequential read of the claim
    // table when they touch a large share of it, where look-ups would read
    // its pages at random (and the claims come in rowid order already).
    static std::vector<const data::ClaimState*> findClaims(data::TClaimsByKid& claims,
                                                           const KeyTable& kids,
                                                           std::vector<KidGroup>& groups,
                                                           std::size_t payments) {
        std::vector<const data::ClaimState*> states;
        constexpr std::int64_t kScanShare = 16;  // a scan pays off from one claim in 16
        if (static_cast<std::int64_t>(payments) * kScanShare < claims.rowEstimate()) {
            std::vector<KidGroup*> found;
            for (KidGroup& g : groups)
                if ((g.claim = claims.find(*g.kid))) found.push_back(&g);
            std::sort(found.begin(), found.end(), [](const KidGroup* a, const KidGroup* b) {
                return a->claim->rowId < b->claim->rowId;
            });
            for (KidGroup* g : found) {
                g->rank = states.size();
                states.push_back(&*g->claim);
            }
            return states;
        }
        states.reserve(groups.size());
        claims.readAll([&](std::string_view key) -> data::ClaimState* {
            const std::size_t number = kids.find(key);
            if (number == KeyTable::kMissing || groups[number].claim)
                return nullptr;  // the first stays
            KidGroup& g = groups[number];
            g.rank = states.size();
            states.push_back(&g.claim.emplace());
            return &*g.claim;
        });
        return states;
    }

    void registerChanges() {
        data::TMemberAgreements agreements(db_);
        const auto& list = reader_.Endringer();
        for (int i = 0; i < list.Count(); ++i) {
            progress_.step();
            const TBBSReturItemAvtaleEndring& e = list.Items(i);
            const data::MemberRow* member = list_.memberOfKid(e.Kid());
            if (e.Kid().empty() || !member) continue;
            if (e.ErSlettet()) {
                agreements.write(member->orgnr, member->medlnr, kGiro, std::nullopt);
                list_.setBetaling(*member, kGiro);
            } else {
                agreements.write(member->orgnr, member->medlnr, kAvtalegiro,
                                 e.OnskerVarsel() ? kEgetVarsel : kIngenVarsel);
                list_.setBetaling(*member, kAvtalegiro);
            }
            ++result_.avtaleendringer;
        }
    }

    // A full list names every active agreement of the organisations it
    // covers: their members not in it pay by giro, those in it by AvtaleGiro.
    void registerFullLists() {
        const auto& list = reader_.Statusliste();
        if (list.Count() == 0) return;
        std::set<std::int64_t> organisations;
        std::unordered_set<std::string> active;
        for (int i = 0; i < list.Count(); ++i) {
            progress_.step();
            const std::string kid = list.Items(i).Kid();
            if (kid.size() < 14) continue;
            const std::int64_t orgnr = TMedlListe::orgnrOfKid(kid);
            if (!list_.hasOrganisation(orgnr)) continue;
            organisations.insert(orgnr);
            active.insert(std::to_string(orgnr) + '|' + kid.substr(3, 11));
        }
        data::TMemberAgreements agreements(db_);
        for (const data::MemberRow& m : list_.members()) {
            if (!organisations.count(m.orgnr)) continue;
            const bool listed = active.count(TMedlListe::memberKey(m.orgnr, m.medlnr)) > 0;
            const std::int64_t betaling =
                listed ? kAvtalegiro : (m.betaling == kAvtalegiro ? kGiro : m.betaling);
            if (betaling == m.betaling) continue;
            agreements.write(m.orgnr, m.medlnr, betaling, std::nullopt);
            list_.setBetaling(m, betaling);
            ++result_.statusendringer;
        }
    }

    // The lines in file order; after a failure only the payments that were
    // dealt with before it. This is the payments' last use, so their texts
    // move into the lines, and `who` keeps its buffers from line to line.
    void reportPayments() {
        EventPump pump(ui_);
        TLookupData who;
        for (Innbetaling& b : payments_) {
            if (b.utfall == Utfall::Venter || b.utfall == Utfall::UtenKid) continue;
            ++result_.betalinger;
            if (b.utfall == Utfall::Matchet) ++result_.matchet;
            if (b.utfall == Utfall::Umatchet) ++result_.umatchet;
            if (b.utfall == Utfall::Tilbakeforing) ++result_.tilbakeforinger;
            list_.LookupKid(b.kid, who);
            pump.tick();
            report_.AddLine({who.Medlnr + " : " + who.Navn, who.OrgNavn, std::move(b.kid),
                             std::move(b.forfallsdato), std::move(b.betaltDato), b.item->Belop(),
                             b.utfall == Utfall::Tilbakeforing});
        }
    }

    Ui& ui_;
    data::TDatabase& db_;
    const TBBSRetur& reader_;
    TBBSRapportMottaker& report_;
    TMedlListe list_;
    ProgressWindow progress_;
    std::vector<Innbetaling> payments_;
    TOcrImportResultat result_;
};

}  // namespace

std::array<std::string, kRapportKolonner> rapportKolonner(const TBBSRapportLinje& line) {
    std::array<std::string, kRapportKolonner> columns{
        line.medlem, line.orgNavn, line.tilbakeforing ? "Tilbakeføring " + line.kid : line.kid,
        "",          "",           ""};
    if (line.belop != Money()) {
        columns[3] = shownDate(line.forfallsdato);
        columns[4] = shownDate(line.betaltDato);
        columns[5] = FormatAmount(line.belop);
    }
    return columns;
}

TOcrImportResultat registerReturnData(Ui& ui, data::TDatabase& db, const TBBSRetur& reader,
                                      TBBSRapportMottaker& report) {
    return Import(ui, db, reader, report).run();
}

std::optional<TOcrImportResultat> importOcrFile(
    Ui& ui, data::TDatabase& db, const std::filesystem::path& dataDirectory,
    const std::filesystem::path& file, const std::function<TBBSRapportMottaker&()>& openReport) {
    if (ui.message("Advarsel!", "Innbetalingsregistret vil bli oppdatert! Fortsette ?",
                   Buttons::YesNo, Icon::Information) != Answer::Yes)
        return std::nullopt;
    TBBSRapportMottaker& report = openReport();
    BusyCursor busy(ui);
    TOcrImportResultat result;
    try {
        TBBSReturAlle reader(ui, dataDirectory);
        reader.LoadFromFile(file);
        result = registerReturnData(ui, db, reader, report);
    } catch (const std::exception& e) {
        result.feil = e.what();
    }
    if (result.feil) ui.error(*result.feil);
    return result;
}

}  // namespace lagrull::clearing
