#include "services/migration/migration_report.h"

#include <sstream>

#include "common/dates.h"
#include "common/money.h"

namespace lagrull::migration {

long long MigrationReport::refusedRows() const {
    long long n = 0;
    for (const TableOutcome& t : tables) n += static_cast<long long>(t.refused.size());
    return n;
}

namespace {

std::string kroner(std::int64_t ore) { return FormatAmount(Money::fromOre(ore)); }

// Neighbouring records refused for the same reason (the tail of a cut-off
// file) are named once, as a range.
void writeRefused(std::ostream& out, const TableOutcome& t, std::size_t maxRefused) {
    std::size_t shown = 0;
    for (std::size_t i = 0; i < t.refused.size();) {
        std::size_t j = i;
        while (j + 1 < t.refused.size() && t.refused[j + 1].reason == t.refused[i].reason &&
               t.refused[j + 1].record == t.refused[j].record + 1)
            ++j;
        if (maxRefused && shown == maxRefused) {
            out << "    ... og " << t.refused.size() - i << " til\n";
            return;
        }
        if (j == i)
            out << "    post " << t.refused[i].record;
        else
            out << "    post " << t.refused[i].record << "-" << t.refused[j].record;
        out << ": " << t.refused[i].reason << '\n';
        ++shown;
        i = j + 1;
    }
}

void writeTables(std::ostream& out, const MigrationReport& r, std::size_t maxRefused) {
    for (const TableOutcome& t : r.tables) {
        out << t.table << ": ";
        if (!t.found) {
            out << "finnes ikke i katalogen, tom tabell\n";
            continue;
        }
        out << t.sourceRows << " i kilden, " << t.taken << " hentet";
        if (!t.refused.empty()) out << ", " << t.refused.size() << " ikke hentet";
        out << " (tegntabell " << t.codePage << (t.upgraded ? ", eldre utgave oppgradert" : "")
            << ")\n";
        if (t.droppedByUpgrade)
            out << "    " << t.droppedByUpgrade
                << " rader falt bort under oppgraderingen (ligger i sikkerhetstabellen)\n";
        writeRefused(out, t, maxRefused);
    }
}

void writeChecks(std::ostream& out, const MigrationChecks& c, const MigrationReport& r,
                 std::size_t maxRefused) {
    out << "Kontroll av antall rader: " << (c.countsEqual ? "OK" : "AVVIK") << '\n';
    if (!c.countsEqual)
        for (const TableOutcome& t : r.tables)
            if (t.registerRows != t.sourceRows)
                out << "    " << t.table << ": " << t.sourceRows << " i kilden, " << t.registerRows
                    << " i registeret\n";
    out << "Kontroll av KID: " << c.kidsChecked << " kontrollert, " << c.kidFaults.size()
        << " stemmer ikke";
    if (c.claimsWithoutKid) out << ", " << c.claimsWithoutKid << " krav uten KID";
    out << '\n';
    for (std::size_t i = 0; i < c.kidFaults.size(); ++i) {
        if (maxRefused && i == maxRefused) {
            out << "    ... og " << c.kidFaults.size() - i << " til\n";
            break;
        }
        out << "    " << c.kidFaults[i] << '\n';
    }
    out << "Kontroll av summer per organisasjon og forfallsdato: " << c.sumGroups
        << " kontrollert, " << c.sumDifferences.size() << " avvik\n";
    for (const SumDifference& d : c.sumDifferences)
        out << "    ORGNR " << d.key.first << ", " << storedToShown(d.key.second) << ": krav "
            << kroner(d.source.claimed) << " / " << kroner(d.target.claimed) << ", betalt "
            << kroner(d.source.paid) << " / " << kroner(d.target.paid)
            << " (kilden / registeret)\n";
}

}  // namespace

std::string reportText(const MigrationReport& r, std::size_t maxRefused) {
    std::ostringstream out;
    out << "Henting av register fra " << r.sourceDirectory << '\n';
    if (r.cancelled) {
        out << "Avbrutt: registeret er ikke endret.\n";
        return out.str();
    }
    if (!r.backupFile.empty())
        out << "Det gamle registeret er tatt vare på i " << r.backupFile << '\n';
    writeTables(out, r, maxRefused);
    writeChecks(out, r.checks, r, maxRefused);
    for (const std::string& f : r.filesCopied) out << "Kopiert: " << f << '\n';
    for (const std::string& f : r.filesKept) out << "Tidligere fil tatt vare på: " << f << '\n';
    if (!r.settingsTaken.empty()) {
        out << "Innstillinger overtatt:";
        for (const std::string& s : r.settingsTaken) out << ' ' << s;
        out << '\n';
    }
    if (r.registerKindChanged)
        out << "Registertypen er endret: start programmet på nytt før du arbeider videre.\n";
    out << (r.checks.passed() && r.refusedRows() == 0 ? "Alt er hentet og kontrollert.\n"
                                                      : "Se avvikene over.\n");
    return out.str();
}

std::string reportSummary(const MigrationReport& r, const std::string& reportFile) {
    std::string text = reportText(r, 5);
    if (!reportFile.empty()) text += "Hele rapporten står i " + reportFile + ".\n";
    return text;
}

}  // namespace lagrull::migration
