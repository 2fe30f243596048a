// lagrul-cli betalinger and innbetal: the payment window's view of the
// claims, its report and text file, and one manual payment, all through the
// payment window's own rules.
#include <ostream>

#include "cli/command.h"
#include "common/app_paths.h"
#include "common/dates.h"
#include "common/error.h"
#include "common/settings_keys.h"
#include "common/ui.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "payments/payment_queries.h"
#include "payments/payment_registration.h"
#include "payments/payment_report.h"
#ifdef LAGRULL_HAVE_PRINT
#include "reports/engine/print/qt_report_canvas.h"
#endif

namespace lagrull::cli {

namespace {

struct Options {
    std::string dueDate, memberNr, amount, status = "alle", method = "alle", order = "navn";
    std::string report, file;
    std::int64_t orgNr = 0;
};

const OptionSpecs kViewOptions = {{"forfdato"}, {"medlnr"},    {"org"},     {"status"},
                                  {"betaling"}, {"sortering"}, {"rapport"}, {"fil"}};
const OptionSpecs kPaymentOptions = {{"forfdato"}, {"medlnr"}, {"org"}, {"belop"}};

Options readOptions(const Context& c) {
    if (!c.args.empty()) throw UsageError{"ukjent argument: " + c.args.front()};
    const ParsedOptions& p = c.options;
    Options o;
    const auto take = [&p](const char* name, std::string& into) {
        if (const auto v = p.value(name)) into = *v;
    };
    take("forfdato", o.dueDate);
    take("medlnr", o.memberNr);
    take("belop", o.amount);
    take("status", o.status);
    take("betaling", o.method);
    take("sortering", o.order);
    take("rapport", o.report);
    take("fil", o.file);
    if (const auto org = p.value("org")) o.orgNr = std::atoll(org->c_str());
    if (!o.dueDate.empty()) {
        const auto date = parseShownDate(o.dueDate);
        if (!date) throw UsageError{"ugyldig forfallsdato: " + o.dueDate};
        o.dueDate = date->shown();
    }
    return o;
}

// The register, its current organisation (the first one, or --org) and the
// payment window's queries.
struct Register {
    explicit Register(Ui& ui, std::int64_t wantedOrg) : store(ui) {
        store.start();
        data::TOrvTable& orgs = store.tables().OrgTable;
        if (orgs.isEmpty()) throw Error("Organisasjon må opprettes først!");
        if (wantedOrg != 0) {
            for (orgs.first(); !orgs.eof(); orgs.next())
                if (data::FieldInt(orgs, "ORGNR") == wantedOrg) break;
            if (orgs.eof())
                throw Error("Fant ingen organisasjon med nummer " + std::to_string(wantedOrg) +
                            ".");
        }
        queries = std::make_unique<TPaymentQueries>(store.dbLocal());
    }
    PaymentContext context() {
        data::TOrganisasjon& org = *store.appDbMng().Organisasjon();
        return {
            store.dbLocal(), *queries, org.OrgNr(), org.OrgNavn(), store.appDbMng().RegisterKind(),
            nullptr};
    }
    data::DataStore store;
    std::unique_ptr<TPaymentQueries> queries;
};

void openView(TPaymentRegistration& window, const Options& o) {
    if (o.dueDate.empty() == o.memberNr.empty())
        throw UsageError{"oppgi enten --forfdato eller --medlnr"};
    if (!o.memberNr.empty()) {
        window.prepareView(PaymentView::PerMember);
        window.chooseMember(o.memberNr);
    } else {
        window.prepareView(PaymentView::PerDueDate);
        window.chooseDueDate(o.dueDate);
    }
}

PaymentStatus statusOf(const std::string& s) {
    if (s == "alle") return PaymentStatus::Alle;
    if (s == "betalt") return PaymentStatus::Betalt;
    if (s == "ikke-betalt") return PaymentStatus::IkkeBetalt;
    throw UsageError{"--status er alle, betalt eller ikke-betalt"};
}

int methodOf(const std::string& s) {
    if (s == "alle") return kAllPaymentMethods;
    if (s.size() == 1 && s[0] >= '0' && s[0] <= '3') return s[0] - '0';
    throw UsageError{"--betaling er alle, 0, 1, 2 eller 3"};
}

int runBetalinger(Context& c) {
    const Options o = readOptions(c);
    const PaymentStatus status = statusOf(o.status);
    const int method = methodOf(o.method);
    if (o.order != "navn" && o.order != "nr") throw UsageError{"--sortering er navn eller nr"};
#ifndef LAGRULL_HAVE_PRINT
    if (!o.report.empty()) throw UsageError{"--rapport trenger utskriftsdelen (bygget uten GUI)"};
#endif
    Register reg(c.ui, o.orgNr);
    TPaymentRegistration window(reg.context(), c.ui);
    openView(window, o);
    window.chooseStatus(status);
    window.choosePaymentMethod(method);
    if (o.memberNr.empty())
        window.chooseOrder(o.order == "nr" ? PaymentOrder::Nr : PaymentOrder::Navn);

    std::string grid = paymentGridText(window);
    for (std::size_t at; (at = grid.find("\r\n")) != std::string::npos;) grid.erase(at, 1);
    c.out << grid;
    const PaymentTotals& t = window.totals();
    c.out << "Sum\t" << FormatAmount(t.krav) << '\t' << FormatAmount(t.innbetalt) << '\n'
          << "Skyldig(-)/Tilgode(+)\t" << FormatAmount(t.skyldig()) << '\n';
    if (!o.file.empty()) writePaymentGridFile(window, o.file);
#ifdef LAGRULL_HAVE_PRINT
    if (!o.report.empty()) {
        TPaymentReportRows rows(reg.queries->IBSelectQuery);
        EventPump pump(c.ui);
        const report::RunResult r =
            report::writeReportPdf(paymentReportLayout(window, reportFontSize()), rows, o.report,
                                   {}, [&] { pump.tick(); });
        c.err << "Skrev " << o.report << " (" << r.pages
              << (r.pages == 1 ? " side)\n" : " sider)\n");
    }
#endif
    return 0;
}

int runInnbetal(Context& c) {
    const Options o = readOptions(c);
    if (o.dueDate.empty() || o.memberNr.empty() || o.amount.empty())
        throw UsageError{"innbetal trenger --forfdato, --medlnr og --belop"};
    const auto amount = parseAmount(o.amount);
    if (!amount) throw UsageError{"ugyldig beløp: " + o.amount};
    Register reg(c.ui, o.orgNr);
    TPaymentRegistration window(reg.context(), c.ui);
    window.prepareView(PaymentView::PerMember);
    window.chooseMember(o.memberNr);
    const std::string stored = shownToStored(o.dueDate);
    const auto& rows = window.rows();
    std::size_t at = 0;
    while (at < rows.size() && rows[at].dato != stored) ++at;
    if (at == rows.size()) {
        c.err << "Fant ikke noe krav for " << o.memberNr << " med forfallsdato " << o.dueDate
              << ".\n";
        return 1;
    }
    window.setInnbetalt(at, *amount);
    const PaymentRow paid = window.rows()[at];
    if (window.save() > 0) return 1;
    c.out << paid.medlNr << '\t' << o.dueDate << "\tkrav " << FormatAmount(paid.krav)
          << "\tinnbetalt " << FormatAmount(paid.innbetalt) << "\trest "
          << FormatAmount(paid.rest.value_or(Money())) << '\t'
          << (paid.betalt ? "betalt" : "ikke betalt") << '\n';
    return 0;
}

}  // namespace

void addPaymentRegistrationCommands(Commands& commands) {
    commands.add({"betalinger",
                  "betalinger (--forfdato D | --medlnr N) [--status alle|betalt|ikke-betalt] "
                  "[--betaling alle|0|1|2|3] [--sortering navn|nr] [--rapport UT.pdf] "
                  "[--fil UT.txt] [--org NR]  betalingspostene slik innbetalingsvinduet viser dem",
                  runBetalinger, kViewOptions});
    commands.add({"innbetal",
                  "innbetal --forfdato D --medlnr N --belop B [--org NR]  registrerer en "
                  "manuell innbetaling",
                  runInnbetal, kPaymentOptions});
}

}  // namespace lagrull::cli
