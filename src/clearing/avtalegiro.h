#pragma once
// The AvtaleGiro claims of one organisation and due date: the list the
// window shows, the claim file "dirdeb.bbs" and the deletion request.
//
// Invariants:
// - A list holds each KID once; a list with a claim without KID is refused
//   as a whole (nothing can be sent for it).
// - The claims are marked as sent (BBSOPPDRAGSNR, and SLETTEFLAG for a
//   deletion) in the same transaction as the file is written: when the file
//   cannot be written, no claim is marked.
// - The member's notice code decides the transaction: no own notice
//   (VARSLING 0) gives type "21" with the claim text in the bank's notice
//   text records, an own notice type "02" without them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/dates.h"
#include "common/money.h"

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class TDatabase;
}

namespace lagrull::clearing {

class TBBS;

enum class AvtaleGiroModus { Krav = 0, Sletting = 1 };

// One row of the list.
struct TBetalingspost {
    std::string navn;          // "Enavn Fornavn"
    std::string forfallsdato;  // "DDMMYYYY"
    double belop = 0;
    std::string tekst;
    std::string kid;
    std::string slettes;          // "1" / "0", empty at first (deletion mode)
    std::int64_t egetVarsel = 0;  // the member's VARSLING
    std::int64_t oppdragsnr = 0;  // BBSOPPDRAGSNR
};

struct TAvtaleGiroListe {
    std::vector<TBetalingspost> poster;
    int Antall() const { return static_cast<int>(poster.size()); }
    Money Sum() const;
    void SlettAlle();
    void SlettIngen();
};

// The AvtaleGiro claims of the organisation due on `forfall`, in name order.
// nullopt when one of them has no KID: the message "En eller flere av
// betalingspostene innholder ikke KID" has then been shown.
std::optional<TAvtaleGiroListe> hentAvtaleGiroListe(Ui& ui, data::TDatabase& db, std::int64_t orgnr,
                                                    const Date& forfall);

// Values of the file's start records: the settings file's KundeenhetsID and
// Kontonr (section "Setup") and the organisation's account. Blank when the
// settings file cannot be opened.
struct TAvtaleGiroOppsett {
    bool lest = false;  // the settings file could be opened; else nothing is set
    std::string kundeenhetsId;
    std::string kontonr;    // account of a deletion assignment
    std::string bankkonto;  // the organisation's BANKKONTO: account of a claim assignment
};
TAvtaleGiroOppsett lesAvtaleGiroOppsett(data::TDatabase& db, std::int64_t orgnr,
                                        const std::string& settingsFile);

// True when the file's own name is "dirdeb.bbs" (any case).
bool erDirdebNavn(const std::filesystem::path& file);

enum class TidligereFil { Spor, LeggTil, Erstatt };

// Writes the claim file into `bbs` (a new transmission) and to `file`,
// marks the claims with the assignment number and shows the transmission
// number. Returns the transmission number; nullopt when nothing was written.
std::optional<std::string> lagKravfil(Ui& ui, data::TDatabase& db, const TAvtaleGiroListe& liste,
                                      const std::filesystem::path& file, TidligereFil tidligere,
                                      const TAvtaleGiroOppsett& oppsett, TBBS& bbs);

// Writes a deletion request for the rows marked "1"; marks those claims.
// nullopt when no row is marked ("Ingen betalingsposter er merket for
// sletting" shown) and nothing was written.
std::optional<std::string> lagSletteanmodning(Ui& ui, data::TDatabase& db,
                                              const TAvtaleGiroListe& liste,
                                              const std::filesystem::path& file,
                                              const TAvtaleGiroOppsett& oppsett, TBBS& bbs);

// The title of the printed list.
std::string avtaleGiroTittel(AvtaleGiroModus modus, const Date& forfall);

}  // namespace lagrull::clearing
