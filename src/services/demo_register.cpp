#include "services/demo_register.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/check_digits.h"
#include "common/error.h"
#include "common/ui.h"
#include "data/database.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/orv_table.h"
#include "payments/kid.h"
#include "services/demo_names.h"
#include "services/demo_random.h"
#include "services/postnr.h"

namespace lagrull::demo {

namespace {

using data::SetFieldBool;
using data::SetFieldFloat;
using data::SetFieldInt;
using data::SetFieldText;
using data::TOrvTable;

// MEDLREG.BETALING and MEDLREG.VARSLING.
enum class PaymentMethod { FastOppdrag = 0, Avtalegiro = 1, Giro = 2, Kontant = 3 };
enum class NoticeCode { Bankvarsel = 0, EgetVarsel = 1, IkkeVarsel = 2 };
enum class ClaimState { Open, Paid, PartlyPaid, Overpaid, MarkedForDeletion };

// The first members of every organisation cover each payment method and
// notice code and each claim state, so even a small demo shows them all.
struct ForcedMember {
    PaymentMethod payment;
    NoticeCode notice;
    ClaimState first, second;
};
const ForcedMember kForced[] = {
    {PaymentMethod::Giro, NoticeCode::Bankvarsel, ClaimState::PartlyPaid, ClaimState::Open},
    {PaymentMethod::Kontant, NoticeCode::Bankvarsel, ClaimState::Paid, ClaimState::Paid},
    {PaymentMethod::FastOppdrag, NoticeCode::Bankvarsel, ClaimState::Overpaid, ClaimState::Open},
    {PaymentMethod::Avtalegiro, NoticeCode::Bankvarsel, ClaimState::Paid,
     ClaimState::MarkedForDeletion},
    {PaymentMethod::Avtalegiro, NoticeCode::EgetVarsel, ClaimState::Paid, ClaimState::Open},
    {PaymentMethod::Avtalegiro, NoticeCode::IkkeVarsel, ClaimState::Open, ClaimState::PartlyPaid},
};
constexpr int kForcedCount = static_cast<int>(std::size(kForced));

// Every 50 members, two get a number that is not all digits.
constexpr int kNumberCycle = 50;
constexpr int kLetterSuffixAt = 7;   // "8A"
constexpr int kLetterPrefixAt = 23;  // "R24"

struct Organisation {
    std::int64_t orgnr;
    int index;
    const DemoProfile* profile;
};

struct Claim {
    const char* dueDate;
    std::string text;
    ClaimState state;
    int assignment;  // BBSOPPDRAGSNR of an AvtaleGiro claim
};

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

int daysInMonth(int month, int year) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// "DDMMYYYY" of a random day in the given years.
std::string randomDate(DemoRandom& rng, int fromYear, int toYear) {
    const int year = rng.between(fromYear, toYear);
    const int month = rng.between(1, 12);
    const int day = rng.between(1, daysInMonth(month, year));
    return twoDigits(day) + twoDigits(month) + std::to_string(year);
}

// An 11-digit account number with a valid MOD11 check digit.
std::string accountNumber(DemoRandom& rng) {
    for (;;) {
        const std::string first = rng.pick(demoWords().bankPrefixes) + rng.digits(6);
        const std::string check = Mod11CheckDigit(first);
        if (check != "-") return first + check;
    }
}

std::string telephone(DemoRandom& rng) {
    if (rng.chance(80)) return (rng.chance(60) ? "9" : "4") + rng.digits(7);
    static const std::vector<std::string> landline = {"2", "3", "5", "6", "7"};
    return rng.pick(landline) + rng.digits(7);
}

class DemoWriter {
public:
    DemoWriter(Ui& ui, data::TDatabase& db, TPostNr& postal, const DemoOptions& options)
        : ui_(ui),
          db_(db),
          postal_(postal),
          options_(options),
          rng_(options.seed),
          orgTable_(db, "ORGREG.DB"),
          categoryTable_(db, "KONTGRP.DB"),
          standardTable_(db, "RelregStandard.db"),
          memberTable_(db, "MEDLREG.DB"),
          relationTable_(db, "RELREG.DB"),
          claimTable_(db, "MBETREG.DB") {}

    DemoCounts run() {
        postalNumbers_ = postal_.postalNumbers();
        if (postalNumbers_.empty())
            throw Error("Finner ikke postnummerregisteret (" + postal_.file() +
                        "); demoregisteret trenger ekte postnumre.");
        for (TOrvTable* t : {&orgTable_, &categoryTable_, &standardTable_, &memberTable_,
                             &relationTable_, &claimTable_})
            t->open();
        const std::int64_t firstOrgnr = highestOrgnr() + 1;
        ProgressWindow progress(ui_, options_.members);
        for (int i = 0; i < options_.organisations; ++i) {
            const Organisation org{
                firstOrgnr + i, i,
                &demoWords().profiles[static_cast<std::size_t>(i) % demoWords().profiles.size()]};
            writeOrganisation(org);
            const long long share = options_.members / options_.organisations +
                                    (i < options_.members % options_.organisations ? 1 : 0);
            for (long long j = 0; j < share; ++j) {
                writeMember(org, static_cast<int>(j));
                progress.step();
            }
        }
        progress.finish();
        return counts_;
    }

private:
    std::int64_t highestOrgnr() {
        data::TOrvQuery q(db_);
        q.setSql("select max(orgnr) as maxnr from orgreg");
        q.open();
        return data::FieldInt(q, "MAXNR");
    }

    // The postal number and its place from the postal register.
    std::pair<std::string, std::string> postalAddress() {
        const int number = rng_.pick(postalNumbers_);
        std::string text = std::to_string(number);
        text.insert(0, 4 - std::min<std::size_t>(4, text.size()), '0');
        auto it = places_.find(number);
        if (it == places_.end()) it = places_.emplace(number, postal_.lookUpPlace(text)).first;
        return {text, it->second};
    }

    std::string streetAddress() {
        std::string address =
            rng_.pick(demoWords().streets) + " " + std::to_string(rng_.between(1, 120));
        if (rng_.chance(12)) address += static_cast<char>('A' + rng_.below(4));
        return address;
    }

    void writeOrganisation(const Organisation& org) {
        const DemoWords& w = demoWords();
        const std::string place = w.places[static_cast<std::size_t>(org.index) % w.places.size()];
        const auto [postnr, poststed] = postalAddress();
        orgTable_.append();
        SetFieldInt(orgTable_, "ORGNR", org.orgnr);
        SetFieldText(orgTable_, "ORGNAVN", place + " " + org.profile->kind);
        SetFieldText(orgTable_, "ADRESSE", "Postboks " + std::to_string(rng_.between(10, 400)));
        SetFieldText(orgTable_, "ADRESSE2", streetAddress());
        SetFieldText(orgTable_, "POSTNR", postnr);
        SetFieldText(orgTable_, "POSTSTED", poststed);
        SetFieldText(orgTable_, "TELEFON", telephone(rng_));
        SetFieldText(orgTable_, "BANKKONTO", accountNumber(rng_));
        SetFieldBool(orgTable_, "AUTONR", org.index % 2 == 0);
        for (std::size_t e = 0; e < org.profile->extraNames.size(); ++e)
            SetFieldText(orgTable_, "EKSTRANAVN" + std::to_string(e + 1),
                         org.profile->extraNames[e]);
        SetFieldText(orgTable_, "TEKST",
                     "Demoregister laget med frø " + std::to_string(options_.seed) + ".");
        SetFieldText(orgTable_, "KUNDEENHETID", rng_.digits(8));
        orgTable_.post();
        ++counts_.organisations;

        for (const DemoCategory& c : org.profile->categories) {
            categoryTable_.append();
            SetFieldInt(categoryTable_, "ORGNR", org.orgnr);
            SetFieldText(categoryTable_, "KATEGORI", c.name);
            SetFieldFloat(categoryTable_, "BELOP", c.amount);
            SetFieldBool(categoryTable_, "FASTBELOP", c.fixedAmount);
            categoryTable_.post();
            ++counts_.categories;
        }
        for (const DemoRelation& r : org.profile->standardRelations) {
            standardTable_.append();
            SetFieldInt(standardTable_, "ORGNR", org.orgnr);
            SetFieldText(standardTable_, "RELASJON", r.name);
            SetFieldText(standardTable_, "TEKST", r.text);
            SetFieldFloat(standardTable_, "BELOP", r.amount);
            standardTable_.post();
            ++counts_.standardRelations;
        }
    }

    static std::string memberNumber(int j) {
        std::string number = std::to_string(j + 1);
        switch (j % kNumberCycle) {
            case kLetterSuffixAt: return number + "A";
            case kLetterPrefixAt: return "R" + number;
            default: return number;
        }
    }

    PaymentMethod randomPayment() {
        const int r = rng_.below(100);
        if (r < 50) return PaymentMethod::Giro;
        if (r < 75) return PaymentMethod::Avtalegiro;
        if (r < 90) return PaymentMethod::FastOppdrag;
        return PaymentMethod::Kontant;
    }

    NoticeCode randomNotice(PaymentMethod payment) {
        if (payment != PaymentMethod::Avtalegiro) return NoticeCode::Bankvarsel;
        const int r = rng_.below(100);
        if (r < 60) return NoticeCode::Bankvarsel;
        return r < 85 ? NoticeCode::EgetVarsel : NoticeCode::IkkeVarsel;
    }

    // The category (or none) for a member born in `bornYear`, and the
    // member's own amount: 0 in a category with a fixed amount, where the
    // category's amount applies.
    std::pair<const DemoCategory*, double> category(const DemoProfile& profile, int bornYear) {
        if (rng_.chance(4)) return {nullptr, 50.0 * rng_.between(4, 16)};
        std::vector<const DemoCategory*> fitting;
        for (const DemoCategory& c : profile.categories)
            if (bornYear >= c.bornFrom && bornYear <= c.bornTo) fitting.push_back(&c);
        if (fitting.empty()) return {nullptr, 50.0 * rng_.between(4, 16)};
        // Most members are in the first category that fits them.
        const DemoCategory* c = rng_.chance(50) ? fitting.front() : rng_.pick(fitting);
        if (c->fixedAmount || rng_.chance(50)) return {c, 0.0};
        return {c, 50.0 * rng_.between(2, 12)};
    }

    void writeMember(const Organisation& org, int j) {
        const DemoWords& w = demoWords();
        const std::string number = memberNumber(j);
        const bool woman = rng_.chance(50);
        const std::string first = rng_.pick(woman ? w.womensNames : w.mensNames);
        const std::string surname = rng_.pick(w.surnames);
        const std::string born = randomDate(rng_, 1935, 2018);
        const int bornYear = std::stoi(born.substr(4));
        const PaymentMethod payment = j < kForcedCount ? kForced[j].payment : randomPayment();
        const NoticeCode notice = j < kForcedCount ? kForced[j].notice : randomNotice(payment);
        const auto [cat, ownAmount] = category(*org.profile, bornYear);
        const auto [postnr, poststed] = postalAddress();

        TOrvTable& t = memberTable_;
        t.append();
        SetFieldInt(t, "ORGNR", org.orgnr);
        SetFieldText(t, "MEDLNR", number);
        SetFieldFloat(t, "NMEDLNR", data::FieldFloat(t, "MEDLNR"));
        SetFieldText(t, "FORNAVN", first);
        SetFieldText(t, "ENAVN", surname);
        SetFieldText(t, "ADRESSE", streetAddress());
        if (rng_.chance(8))
            SetFieldText(t, "ADRESSE2", "Leilighet H0" + std::to_string(rng_.between(101, 504)));
        else if (rng_.chance(4))
            SetFieldText(t, "ADRESSE2", "c/o " + rng_.pick(w.surnames));
        if (rng_.chance(2)) SetFieldText(t, "ADRESSE3", "Inngang fra bakgården");
        SetFieldText(t, "POSTNR", postnr);
        SetFieldText(t, "POSTSTED", poststed);
        if (rng_.chance(90)) SetFieldText(t, "TELEFON", telephone(rng_));
        if (payment == PaymentMethod::Avtalegiro || rng_.chance(50))
            SetFieldText(t, "BANKKONTO", accountNumber(rng_));
        SetFieldText(t, "KATEGORI", cat ? cat->name : std::string());
        SetFieldInt(t, "BETALING", static_cast<int>(payment));
        SetFieldInt(t, "VARSLING", static_cast<int>(notice));
        SetFieldText(t, "FDATO", born);
        SetFieldText(t, "MEDLFRADATO", randomDate(rng_, std::max(bornYear + 3, 1980), 2025));
        SetFieldFloat(t, "BELOP", ownAmount);
        if (rng_.chance(75)) {
            std::string mail = mailName(first) + "." + mailName(surname);
            if (rng_.chance(30)) mail += std::to_string(rng_.between(1, 99));
            SetFieldText(t, "EMAIL", mail + "@" + rng_.pick(w.mailDomains));
        }
        if (rng_.chance(15)) SetFieldText(t, "FIRMA", rng_.pick(w.employers));
        if (rng_.chance(5)) SetFieldText(t, "TEKST", rng_.pick(w.notes));
        const auto& values = org.profile->extraValues;
        for (std::size_t e = 0; e < values.size(); ++e)
            if (!values[e].empty() && rng_.chance(80))
                SetFieldText(t, "EKSTRA" + std::to_string(e + 1), rng_.pick(values[e]));
        t.post();
        ++counts_.members;

        writeRelations(org, number);
        if (options_.claims) {
            const double amount =
                !cat ? ownAmount : (cat->fixedAmount || ownAmount <= 0 ? cat->amount : ownAmount);
            writeClaims(org, j, number, payment, amount);
        }
    }

    void writeRelation(const Organisation& org, const std::string& number, const DemoRelation& r,
                       double amount) {
        relationTable_.append();
        SetFieldInt(relationTable_, "ORGNR", org.orgnr);
        SetFieldText(relationTable_, "MEDLNR", number);
        SetFieldText(relationTable_, "RELASJON", r.name);
        SetFieldText(relationTable_, "TEKST", r.text);
        SetFieldFloat(relationTable_, "BELOP", amount);
        relationTable_.post();
        ++counts_.relations;
    }

    // Standard relations at their default amount or a personal one, and now
    // and then a relation of the member's own.
    void writeRelations(const Organisation& org, const std::string& number) {
        const auto& standard = org.profile->standardRelations;
        const int count = rng_.chance(40) ? (rng_.chance(35) ? 2 : 1) : 0;
        const int firstIndex = rng_.below(static_cast<int>(standard.size()));
        for (int k = 0; k < count; ++k) {
            const DemoRelation& r =
                standard[static_cast<std::size_t>(firstIndex + k) % standard.size()];
            const double amount =
                r.amount != 0 && rng_.chance(10) ? r.amount + 50.0 * rng_.between(-2, 4) : r.amount;
            writeRelation(org, number, r, amount);
        }
        if (rng_.chance(5)) {
            const DemoRelation& r = rng_.pick(demoWords().personalRelations);
            writeRelation(org, number, r, r.amount);
        }
    }

    ClaimState randomState(PaymentMethod payment, bool firstDate) {
        const int r = rng_.below(100);
        const bool bank =
            payment == PaymentMethod::Avtalegiro || payment == PaymentMethod::FastOppdrag;
        if (firstDate) {
            if (r < (bank ? 92 : 78)) return ClaimState::Paid;
            if (r < (bank ? 94 : 86)) return ClaimState::PartlyPaid;
            if (r < (bank ? 95 : 88)) return ClaimState::Overpaid;
            return ClaimState::Open;
        }
        if (r < 30) return ClaimState::Paid;
        if (r < 35) return ClaimState::PartlyPaid;
        if (payment == PaymentMethod::Avtalegiro && r < 50) return ClaimState::MarkedForDeletion;
        return ClaimState::Open;
    }

    void writeClaims(const Organisation& org, int j, const std::string& number,
                     PaymentMethod payment, double amount) {
        const std::string& text = org.profile->claimText;
        const Claim claims[] = {
            {kDemoFirstDueDate, text + " 2. halvår 2025",
             j < kForcedCount ? kForced[j].first : randomState(payment, true), 2509150 + org.index},
            {kDemoSecondDueDate, text + " 1. halvår 2026",
             j < kForcedCount ? kForced[j].second : randomState(payment, false),
             2603150 + org.index},
        };
        for (const Claim& c : claims) writeClaim(org, number, payment, amount, c);
    }

    void writeClaim(const Organisation& org, const std::string& number, PaymentMethod payment,
                    double amount, const Claim& claim) {
        TOrvTable& t = claimTable_;
        t.append();
        SetFieldInt(t, "ORGNR", org.orgnr);
        SetFieldText(t, "MEDLNR", number);
        SetFieldText(t, "DATO", claim.dueDate);
        SetFieldFloat(t, "BELOP", amount);
        SetFieldInt(t, "BETALING", static_cast<int>(payment));
        // Claims of members whose number is not all digits carry no KID.
        if (std::all_of(number.begin(), number.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            const std::string part = std::to_string(org.orgnr + 1);
            const std::string kid = MakeKid(part, number, claim.dueDate, options_.registerKind);
            checkKidFits(kid, part, number);
            SetFieldText(t, "KID", kid);
        }
        SetFieldText(t, "TEKST", claim.text);
        if (payment == PaymentMethod::Avtalegiro) SetFieldInt(t, "BBSOPPDRAGSNR", claim.assignment);

        const std::string month = std::string(claim.dueDate).substr(2);  // "MMYYYY"
        const std::string paidOn = twoDigits(rng_.between(1, 28)) + month;
        switch (claim.state) {
            case ClaimState::Open: break;
            case ClaimState::Paid: recordPayment(t, paidOn, amount, true); break;
            case ClaimState::Overpaid: recordPayment(t, paidOn, amount + 50.0, true); break;
            case ClaimState::PartlyPaid:
                recordPayment(t, paidOn, std::floor(amount / 2.0 / 50.0) * 50.0, false);
                break;
            case ClaimState::MarkedForDeletion:
                SetFieldInt(t, "SLETTEFLAG", 1);
                SetFieldInt(t, "BBSOPPDRAGSNR", claim.assignment + 100);  // the deletion request's
                break;
        }
        t.post();
        ++counts_.claims;
    }

    // A payment of `paid` on `date`; a settled claim is marked "X". The
    // difference is claim minus paid, as the payment window shows it.
    static void recordPayment(TOrvTable& t, const std::string& date, double paid, bool settled) {
        if (settled) SetFieldText(t, "BETFLAG", "X");
        SetFieldText(t, "BETDATO", date);
        SetFieldFloat(t, "BETBELOP", paid);
        SetFieldFloat(t, "DIFFERANSEBELOP", data::FieldFloat(t, "BELOP") - paid);
    }

    Ui& ui_;
    data::TDatabase& db_;
    TPostNr& postal_;
    const DemoOptions& options_;
    DemoRandom rng_;
    TOrvTable orgTable_, categoryTable_, standardTable_, memberTable_, relationTable_, claimTable_;
    std::vector<int> postalNumbers_;
    std::unordered_map<int, std::string> places_;
    DemoCounts counts_;
};

bool holdsMembers(data::TDatabase& db) {
    data::TOrvQuery q(db);
    q.setSql("select count(*) as antall from medlreg");
    q.open();
    return data::FieldInt(q, "ANTALL") > 0;
}

}  // namespace

std::optional<DemoCounts> makeDemoRegister(Ui& ui, data::TDatabase& db, TPostNr& postal,
                                           const DemoOptions& options) {
    if (holdsMembers(db)) {
        ui.message("Demoregister",
                   "Registeret inneholder allerede medlemmer.~Demoregisteret lages bare i et tomt "
                   "register; velg en annen datakatalog.",
                   Buttons::Ok, Icon::Warning);
        return std::nullopt;
    }
    if (options.organisations < 1) throw Error("Demoregisteret trenger minst én organisasjon.");
    if (options.members < 0) throw Error("Antall medlemmer kan ikke være negativt.");
    postal.acquire();  // open for the whole pass, not once per place
    struct Release {
        TPostNr& p;
        ~Release() { p.release(); }
    } release{postal};
    BusyCursor busy(ui);
    data::Transaction transaction(db);
    const DemoCounts counts = DemoWriter(ui, db, postal, options).run();
    transaction.commit();
    return counts;
}

}  // namespace lagrull::demo
