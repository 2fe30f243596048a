#pragma once
// The OCR import: the payments of a return file are matched to their claims
// by KID and registered, members' agreement codes follow the agreement
// changes and full lists, and every payment becomes a line of the import
// report, matched or not.
//
// Invariants:
// - The whole import runs in one transaction: a killed process leaves the
//   register as it was before. When a write fails part-way, what was
//   registered before it is kept and the report lists exactly that.
// - A payment never adds to an earlier one: BETBELOP, BETDATO and
//   DIFFERANSEBELOP describe the last payment of the claim; BETFLAG is set
//   only by a payment that covers BELOP alone and is never cleared.
// - Payments are applied grouped by KID (each KID's own payments in file
//   order), which gives the result of file order with one look-up and one
//   write per claim; the report still lists the payments in file order.
// - A reversal registers nothing; it is listed as "Tilbakeføring".
// - Agreement changes and full lists change only the member their KID names
//   in its own organisation; a full list changes only organisations it names.

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "clearing/bbs_retur.h"
#include "common/money.h"

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class TDatabase;
}

namespace lagrull::clearing {

// One line of the import report.
struct TBBSRapportLinje {
    std::string medlem;        // member number, " : ", member name
    std::string orgNavn;       // "Medlem av"
    std::string kid;           // "KID ved innbetaling / Melding"
    std::string forfallsdato;  // the matched claim's DATO "DDMMYYYY"; empty when none
    std::string betaltDato;    // "DDMMYYYY"
    Money belop;
    bool tilbakeforing = false;
};

inline constexpr int kRapportKolonner = 6;
// The column titles and pixel widths of the report grid.
extern const std::array<const char*, kRapportKolonner> kRapportTitler;
extern const std::array<int, kRapportKolonner> kRapportBredder;

// The six texts of a report line as the grid shows them: dates as
// "DD.MM.YYYY" and the amount with two decimals; a line of 0 kroner shows
// only member, organisation and KID.
std::array<std::string, kRapportKolonner> rapportKolonner(const TBBSRapportLinje& line);

// Where the report lines go: the report window, the console, a test.
class TBBSRapportMottaker {
public:
    virtual ~TBBSRapportMottaker() = default;
    virtual void AddLine(const TBBSRapportLinje& line) = 0;
};

// The reader of the import and the file report: it keeps the entries of full
// agreement lists, which the import matches and the report shows.
class TBBSReturAlle : public TBBSRetur {
public:
    using TBBSRetur::TBBSRetur;
    bool SkipStatus(const TBBSReturItemAvtaleStatus&) override { return false; }
};

struct TOcrImportResultat {
    int betalinger = 0;               // payments with a KID
    int matchet = 0;                  // registered on a claim
    int umatchet = 0;                 // no claim with that KID
    int tilbakeforinger = 0;          // listed, nothing registered
    int avtaleendringer = 0;          // members changed by agreement changes
    int statusendringer = 0;          // members changed by full lists
    std::optional<std::string> feil;  // the failure that ended the import
};

// Registers what the reader holds (steps 7–9 of the menu's import).
// Throws nothing the register's state depends on: a failure ends the import,
// what was done before it is committed and the failure is returned in `feil`.
TOcrImportResultat registerReturnData(Ui& ui, data::TDatabase& db, const TBBSRetur& reader,
                                      TBBSRapportMottaker& report);

// The menu's import after the file was chosen: the question, the report,
// reading and registering; a failure is shown in a message box. nullopt when
// the user answered No. `openReport` is called once the user said Yes.
std::optional<TOcrImportResultat> importOcrFile(
    Ui& ui, data::TDatabase& db, const std::filesystem::path& dataDirectory,
    const std::filesystem::path& file, const std::function<TBBSRapportMottaker&()>& openReport);

}  // namespace lagrull::clearing
