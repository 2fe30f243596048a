#pragma once
// The selection option group every bulk command of lagrul-cli shares: one
// option per criterion of the selection-criteria window, applied to the very
// same criteria logic the window fills, and the console steps that stand in
// for the who-step and the criteria window.
//
//   [--orgnr N] [--kategori K] [--betaling ALLE|0|1|2|3] [--postnr-fra A]
//   [--postnr-til B] [--medlnr-fra A] [--medlnr-til B] [--relasjon R]
//   [--forfdato INGEN|ALLE|DD.MM.YYYY] [--betstatus ALLE|ikke-betalt|betalt]
//   [--ekstra1 … --ekstra10 TEKST] [--fdato-fra D] [--fdato-til D]
//   [--medlem-siden D] [--velg MEDLNR]...
//
// A command adds the group to its own options with withSelectionOptions and
// its usage with kSelectionUsage. A command whose own options already use a
// criterion's name (krav and giro: --forfdato, the claims' due date) gets
// that criterion as --utvalg-NAME (--utvalg-forfdato); SelectionNames tells
// the names, selectionUsage the usage.

#include <memory>
#include <set>
#include <string>

#include "cli/options.h"
#include "reports/selection_steps.h"

namespace lagrull::data {
struct RegisterTables;
}

namespace lagrull::cli {

inline constexpr const char* kSelectionUsage =
    "[--orgnr N] [--kategori K] [--betaling ALLE|0|1|2|3] [--postnr-fra A] [--postnr-til B] "
    "[--medlnr-fra A] [--medlnr-til B] [--relasjon R] [--forfdato INGEN|ALLE|DD.MM.YYYY] "
    "[--betstatus ALLE|ikke-betalt|betalt] [--ekstra1 … --ekstra10 TEKST] [--fdato-fra D] "
    "[--fdato-til D] [--medlem-siden D] [--velg MEDLNR]...";

// The option name of each criterion in one command.
class SelectionNames {
public:
    SelectionNames() = default;
    explicit SelectionNames(const OptionSpecs& own);
    // "forfdato" → "forfdato", or "utvalg-forfdato" where the command has its own.
    std::string operator()(const std::string& criterion) const;

private:
    std::set<std::string> renamed_;
};

OptionSpecs withSelectionOptions(OptionSpecs own);
// kSelectionUsage with the command's names.
std::string selectionUsage(const SelectionNames& names);

// Whether any criterion is given (--orgnr only names the organisation):
// the console who-step then answers "Utvalg" instead of "Alle".
bool selectionGiven(const ParsedOptions& options, const SelectionNames& names = {});

// Puts the organisation table on --orgnr (the first organisation without
// it); Error when there is no such organisation.
void chooseOrganisation(data::RegisterTables& tables, const ParsedOptions& options);

// Sets the criteria from the options, as a user sets the window's controls:
// a choice must be one the window offers, a member one the member list
// shows. UsageError for a malformed value, Error for one the register does
// not hold.
void applySelectionOptions(const ParsedOptions& options, reports::TUtvalgskriterier& criteria,
                           const SelectionNames& names = {});

// The selection steps of lagrul-cli: the who-step answers "Utvalg" (its
// second choice) when a criterion is given, the criteria step applies the
// options; both go on with "Neste".
class ConsoleSelectionSteps : public reports::TSelectionStepFactory {
public:
    explicit ConsoleSelectionSteps(const ParsedOptions& options, SelectionNames names = {})
        : options_(options), names_(std::move(names)) {}
    std::unique_ptr<reports::TKravTilHvemStep> CreateKravTilHvem() override;
    std::unique_ptr<reports::TUtvalgskriterierStep> CreateUtvalgskriterier(
        data::TOrvDbMng& dbMng) override;

private:
    const ParsedOptions& options_;
    SelectionNames names_;
};

}  // namespace lagrull::cli
