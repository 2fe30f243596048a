#pragma once
// One claim as the payment window shows it, the grid's columns and the
// totals under them. Amounts are Money from the moment they are read.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/money.h"
#include "common/settings_keys.h"

namespace lagrull {

enum class PaymentColumn {
    MedlNr,        // "Medl.nr"
    Navn,          // "Navn"
    ForfDato,      // "Forf.dato"
    Tekst,         // "Tekst"
    BetMaate,      // "Bet.måte", always hidden
    Kid,           // "KID"
    BbsDato,       // "BBS dato"
    Kravbelop,     // "Kravbeløp", editable
    Innbetalt,     // "Innbetalt", editable
    Rest,          // "Rest"
    Betalt,        // "Betalt", a check box, editable
    Kontonr,       // "Kontonr"
    Konto2,        // "Konto2", never filled, always hidden
    BbsSletteanm,  // "BBS Sletteanm.", always hidden
};
inline constexpr int kPaymentColumnCount = 14;

// The header of a column; the first reads "Leietakernr" in a rent register.
std::string paymentColumnHeader(PaymentColumn column, RegisterKind registerKind);

// The claim's deletion request at the clearing house (SLETTEFLAG).
enum class DeletionRequest { None = 0, Behandles = 1, Slettet = 2 };

enum class RestColour { Red, Blue };

struct PaymentRow {
    std::string medlNr;  // IDnr
    double nMedlNr = 0;  // for the "Nr" order
    std::string navn;    // "Etternavn, Fornavn"
    std::string dato;    // due date as stored, "DDMMYYYY"
    std::string tekst;
    int betaling = 0;  // payment method code
    std::string kid;
    std::string betDato;        // clearing house date as stored; "" for none
    Money krav;                 // BELOP
    Money innbetalt;            // BETBELOP
    std::optional<Money> rest;  // DIFFERANSEBELOP; empty once emptied by an edit
    bool betalt = false;        // BETFLAG "X"
    std::string bankkonto;      // as stored
    int sletteflag = 0;
    bool changed = false;

    // "Rest" as the grid shows it: empty when emptied or 0.
    std::string restText() const;
    RestColour restColour() const;  // red when positive, blue otherwise
    std::string text(PaymentColumn column) const;
};

struct PaymentTotals {
    Money krav;                                         // "Sum" of "Kravbeløp"
    Money innbetalt;                                    // "Sum" of "Innbetalt"
    Money skyldig() const { return innbetalt - krav; }  // "Skyldig(-)/Tilgode(+) "
};

// Sums over the rows; `withDeletionRequests` false leaves out the rows whose
// deletion request is pending or done (as on loading).
PaymentTotals paymentTotals(const std::vector<PaymentRow>& rows, bool withDeletionRequests);

// "Fast oppdrag" (0), "AvtaleGiro" (1), "Giro" (2), "Kontant" (3); "" otherwise.
std::string paymentMethodText(int code);
// "Etternavn, Fornavn", or the one that is not empty.
std::string paymentName(const std::string& surname, const std::string& firstName);

}  // namespace lagrull
