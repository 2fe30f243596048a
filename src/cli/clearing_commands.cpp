// lagrul-cli returfil and bbs-fil: what a return file or a transmission file
// holds, read with the same code the program uses. Tab-separated, one item
// per line; amounts with two decimals and a decimal comma.
#include <optional>
#include <ostream>

#include "clearing/bbs_retur.h"
#include "clearing/bbs_sequence.h"
#include "clearing/bbs_transmission.h"
#include "cli/command.h"
#include "common/app_paths.h"
#include "common/ini.h"

namespace lagrull::cli {

namespace {

using namespace lagrull::clearing;

std::string amountText(Money amount) {
    const std::int64_t ore = amount.ore();
    const std::uint64_t magnitude =
        ore < 0 ? 0 - static_cast<std::uint64_t>(ore) : static_cast<std::uint64_t>(ore);
    std::string cents = std::to_string(magnitude % 100);
    if (cents.size() < 2) cents.insert(0, "0");
    return (ore < 0 ? "-" : "") + std::to_string(magnitude / 100) + "," + cents;
}

std::string dateText(const std::optional<Date>& date) {
    return date ? date->shown() : std::string();
}

const char* yesNo(bool yes) { return yes ? "Ja" : "Nei"; }

int runReturfil(Context& c) {
    if (c.args.size() != 1) throw UsageError{"Oppgi én returfil."};
    TBBSRetur reader(c.ui, applicationDataDirectory());
    reader.LoadFromFile(c.args[0]);

    c.out << "Innbetalinger\n";
    Money total;
    const auto& payments = reader.Betalinger();
    for (int i = 0; i < payments.Count(); ++i) {
        const TBBSReturItemBetaling& p = payments.Items(i);
        c.out << p.Kid() << '\t' << dateText(p.Dato()) << '\t' << amountText(p.Belop())
              << (p.ErTilbakeforing() ? "\tTilbakeføring" : "") << '\n';
        total += p.Belop();
    }
    c.out << "Sum\t" << payments.Count() << '\t' << amountText(total) << '\n';

    c.out << "Avtaleendringer\n";
    const auto& changes = reader.Endringer();
    for (int i = 0; i < changes.Count(); ++i) {
        const TBBSReturItemAvtaleEndring& e = changes.Items(i);
        c.out << e.Kid() << '\t' << (e.ErSlettet() ? "Slett" : "Ny") << '\t'
              << yesNo(e.OnskerVarsel()) << '\n';
    }

    c.out << "Avtalestatus\n";
    const auto& status = reader.Statusliste();
    for (int i = 0; i < status.Count(); ++i)
        c.out << status.Items(i).Kid() << '\t' << yesNo(status.Items(i).OnskerVarsel()) << '\n';
    return 0;
}

const char* kindText(TBBSOppdrag::Kind kind) {
    switch (kind) {
        case TBBSOppdrag::Kind::Betaling: return "Betaling";
        case TBBSOppdrag::Kind::Sletting: return "Sletting";
        case TBBSOppdrag::Kind::Remittering: return "Remittering";
    }
    return "";
}

int runBbsFil(Context& c) {
    if (c.args.size() > 1) throw UsageError{"For mange argumenter."};
    if (c.args.empty()) throw UsageError{"Oppgi en BBS-fil."};
    const std::string& input = c.args[0];
    const std::string output = c.options.value("skriv").value_or("");

    TBBS bbs;
    bbs.LoadFromFile(input,
                     TOrvIni::readValue(settingsFilePath(), "Setup", "KundeenhetsID").value_or(""));
    c.out << "Forsendelse\t" << bbs.GetForsendelsesnr() << '\n';
    for (int i = 0; i < bbs.OppdragCount(); ++i) {
        const TBBSOppdrag& o = bbs.Oppdrag(i);
        const AssignmentTotals t = o.totals();
        c.out << "Oppdrag\t" << kindText(o.kind()) << '\t' << o.GetOppdragsnr() << '\t'
              << t.transactions << '\t' << t.records << '\t' << amountText(t.sum) << '\t'
              << dateText(o.Slutt().ForsteForfallsdato()) << '\t'
              << dateText(o.Slutt().SisteForfallsdato()) << '\n';
    }
    if (!output.empty()) {
        bbs.SaveToFile(output, c.ui);
        c.out << "Skrevet\t" << output << '\n';
    }
    // Numbers this run issued must not be issued again by the next run.
    waitForClearingNumbers();
    return 0;
}

}  // namespace

void addClearingCommands(Commands& commands) {
    commands.add({"returfil",
                  "returfil FIL               innbetalinger og avtaler i en BBS-returfil",
                  runReturfil});
    commands.add(
        {"bbs-fil",
         "bbs-fil FIL [--skriv UT]   oppdragene i en BBS-forsendelse, skrevet på nytt til UT",
         runBbsFil,
         {{"skriv", OptionKind::Value}}});
}

}  // namespace lagrull::cli
