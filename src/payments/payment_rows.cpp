#include "payments/payment_rows.h"

#include "common/dates.h"
#include "common/mask.h"

namespace lagrull {

std::string paymentColumnHeader(PaymentColumn column, int registerKind) {
    static const std::array<const char*, kPaymentColumnCount> headers = {
        "Medl.nr",   "Navn",      "Forf.dato", "Tekst",  "Bet.måte", "KID",    "BBS dato",
        "Kravbeløp", "Innbetalt", "Rest",      "Betalt", "Kontonr",  "Konto2", "BBS Sletteanm."};
    if (column == PaymentColumn::MedlNr && registerKind == 1) return "Leietakernr";
    return headers.at(static_cast<std::size_t>(column));
}

std::string paymentMethodText(int code) {
    switch (code) {
        case 0: return "Fast oppdrag";
        case 1: return "AvtaleGiro";
        case 2: return "Giro";
        case 3: return "Kontant";
        default: return {};
    }
}

std::string paymentName(const std::string& surname, const std::string& firstName) {
    if (surname.empty()) return firstName;
    if (firstName.empty()) return surname;
    return surname + ", " + firstName;
}

std::string PaymentRow::restText() const {
    if (!rest || *rest == Money()) return {};
    return FormatAmount(*rest);
}

RestColour PaymentRow::restColour() const {
    return rest && *rest > Money() ? RestColour::Red : RestColour::Blue;
}

std::string PaymentRow::text(PaymentColumn column) const {
    switch (column) {
        case PaymentColumn::MedlNr: return medlNr;
        case PaymentColumn::Navn: return navn;
        case PaymentColumn::ForfDato: return storedToShown(dato);
        case PaymentColumn::Tekst: return tekst;
        case PaymentColumn::BetMaate: return paymentMethodText(betaling);
        case PaymentColumn::Kid: return kid;
        case PaymentColumn::BbsDato: return storedToShown(betDato);
        case PaymentColumn::Kravbelop: return FormatAmount(krav);
        case PaymentColumn::Innbetalt: return FormatAmount(innbetalt);
        case PaymentColumn::Rest: return restText();
        case PaymentColumn::Betalt: return betalt ? "X" : "";
        case PaymentColumn::Kontonr:
            return bankkonto.empty() ? std::string() : Mask("#### ## #####").show(bankkonto);
        case PaymentColumn::Konto2: return {};
        case PaymentColumn::BbsSletteanm:
            switch (static_cast<DeletionRequest>(sletteflag)) {
                case DeletionRequest::Behandles: return "Behandles";
                case DeletionRequest::Slettet: return "Slettet";
                case DeletionRequest::None: break;
            }
            return {};
    }
    return {};
}

PaymentTotals paymentTotals(const std::vector<PaymentRow>& rows, bool withDeletionRequests) {
    PaymentTotals t;
    for (const PaymentRow& r : rows) {
        if (!withDeletionRequests && r.sletteflag > 0) continue;
        t.krav += r.krav;
        t.innbetalt += r.innbetalt;
    }
    return t;
}

}  // namespace lagrull
