#pragma once
// A register with one organisation, its members and their claims (MBETREG
// rows written directly, as claim generation would), for the payment tests
// and benchmarks.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "data/data_store.h"
#include "data/database.h"
#include "payments/payment_queries.h"
#include "payments/payment_registration.h"

namespace lagrull::test {

struct Claim {
    Claim(std::string nr, std::string date, double amount = 300, int method = 2,
          std::string flag = {}, double paid = 0, std::string paidDate = {}, int deletion = 0)
        : medlnr(std::move(nr)),
          dato(std::move(date)),
          belop(amount),
          betaling(method),
          betflag(std::move(flag)),
          betbelop(paid),
          betdato(std::move(paidDate)),
          sletteflag(deletion) {}
    std::string medlnr;
    std::string dato;  // "DDMMYYYY"
    double belop = 300;
    int betaling = 2;
    std::string betflag;
    double betbelop = 0;
    std::string betdato;
    int sletteflag = 0;
    double differanse = 0;
    std::string tekst = "Kontingent";
};

class ClaimRegister {
public:
    static constexpr std::int64_t kOrgNr = 1;

    // `fresh` false: opens a register made before, adding nothing.
    ClaimRegister(Ui& ui, const std::string& directory,
                  RegisterKind registerKind = RegisterKind::Members, bool fresh = true) {
        if (registerKind == RegisterKind::Rent) {
            std::FILE* f = std::fopen((directory + "/lagrul.ini").c_str(), "wb");
            std::fputs("[Setup]\r\nRegister=1\r\n", f);
            std::fclose(f);
        }
        store = std::make_unique<data::DataStore>(ui, directory + "/lagrul.ini", directory);
        store->start();
        if (fresh) db().exec("INSERT INTO ORGREG (ORGNR, ORGNAVN) VALUES (1, 'Idrettslaget Ørn')");
        queries = std::make_unique<TPaymentQueries>(db());
    }

    data::TDatabase& db() { return store->dbLocal(); }

    void member(const std::string& medlnr, const std::string& surname, const std::string& firstName,
                const std::string& account = "") {
        data::Statement s = db().prepare(
            "INSERT INTO MEDLREG (ORGNR, MEDLNR, NMEDLNR, ENAVN, FORNAVN, BANKKONTO) "
            "VALUES (1, ?1, ?2, ?3, ?4, ?5)");
        s.bind(1, data::Value(medlnr));
        s.bind(2, data::Value(std::atof(medlnr.c_str())));
        s.bind(3, data::Value(surname));
        s.bind(4, data::Value(firstName));
        s.bind(5, data::Value(account));
        s.execute();
    }

    void claim(const Claim& c) {
        data::Statement s = db().prepare(
            "INSERT INTO MBETREG (ORGNR, MEDLNR, DATO, BELOP, BETALING, BETFLAG, BETBELOP, "
            "BETDATO, SLETTEFLAG, DIFFERANSEBELOP, TEKST, KID) "
            "VALUES (1, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
        s.bind(1, data::Value(c.medlnr));
        s.bind(2, data::Value(c.dato));
        s.bind(3, data::Value(c.belop));
        s.bind(4, data::Value(std::int64_t{c.betaling}));
        s.bind(5, data::Value(c.betflag));
        s.bind(6, data::Value(c.betbelop));
        s.bind(7, data::Value(c.betdato));
        s.bind(8, data::Value(std::int64_t{c.sletteflag}));
        s.bind(9, data::Value(c.differanse));
        s.bind(10, data::Value(c.tekst));
        s.bind(11, data::Value("0001" + c.medlnr + c.dato));
        s.execute();
    }

    // `members` members with one claim each on `dato`, in one transaction.
    void fill(int members, const std::string& dato) {
        data::Transaction t(db());
        for (int i = 1; i <= members; ++i) {
            const std::string nr = std::to_string(i);
            member(nr, "Etternavn" + std::to_string((i * 7919) % 50000),
                   "Fornavn" + std::to_string(i % 977), "12345678903");
            claim({nr, dato, 100.0 + i % 500, i % 4});
        }
        t.commit();
    }

    PaymentContext context(RegisterKind registerKind = RegisterKind::Members) {
        return PaymentContext{db(), *queries, kOrgNr, "Idrettslaget Ørn", registerKind, nullptr};
    }

    std::unique_ptr<data::DataStore> store;
    std::unique_ptr<TPaymentQueries> queries;
};

}  // namespace lagrull::test
