#pragma once
// The rules of payment registration, below its window: which claims a view
// loads (the selection query rewritten line by line), the totals, what an
// edit of "Innbetalt", "Betalt" or "Kravbeløp" does to its row, the bulk
// actions, saving, the two deletions and the quick search.
//
// Invariants:
// - rows() are the claims of the last load, in the query's order, with the
//   user's unsaved edits; pending() holds exactly when a row is changed.
// - Every reload asks "Lagre endringer?" first while edits are pending.
// - Saving writes every changed row or none (one transaction); a row whose
//   claim vanished is skipped and counted, and the user is told how many.
// - Totals leave out rows with a deletion request after a load, and count
//   every row once a row has been edited.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/settings_keys.h"
#include "data/database.h"
#include "data/orv_table.h"
#include "payments/payment_queries.h"
#include "payments/payment_rows.h"

namespace lagrull {

class Ui;

enum class PaymentView { PerDueDate, PerMember };
// The status filter "cbStatus": "2=< Alle >", "0=Betalt", "1=Ikke betalt".
enum class PaymentStatus { Betalt = 0, IkkeBetalt = 1, Alle = 2 };
// The order of the date view ("RGSortering").
enum class PaymentOrder { Navn, Nr };
// The payment-method filter: a code 0..3, or every method.
inline constexpr int kAllPaymentMethods = 4;

// What the window opens with (the main window's objects).
struct PaymentContext {
    data::TDatabase& db;
    TPaymentQueries& queries;
    std::int64_t orgNr = 0;
    std::string orgNavn;
    RegisterKind registerKind = RegisterKind::Members;
    // The main window's member table: the member view starts on its member
    // and moves it along; nullptr when there is none (lagrul-cli).
    data::TOrvTable* members = nullptr;
};

class TPaymentRegistration {
public:
    TPaymentRegistration(PaymentContext context, Ui& ui);

    std::string caption() const { return "Innbetalinger - " + context_.orgNavn; }
    RegisterKind registerKind() const { return context_.registerKind; }
    const std::string& orgNavn() const { return context_.orgNavn; }
    TPaymentQueries& queries() { return context_.queries; }

    // Prepares a view: fills its list (due dates newest first, or members
    // with the main window's member chosen), sets both filters to
    // "< Alle >", and loads.
    void prepareView(PaymentView view);
    PaymentView view() const { return view_; }

    // The lists of the two views: "DD.MM.YYYY", and "MEDLNR=Etternavn, Fornavn".
    const std::vector<std::string>& dueDates() const { return dueDates_; }
    const std::vector<std::string>& memberList() const { return members_; }
    const std::string& dueDate() const { return dueDate_; }  // "DD.MM.YYYY"
    const std::string& memberNr() const { return memberNr_; }

    // Filter, order, date and member changes; each reloads.
    void chooseDueDate(const std::string& shown);
    void chooseMember(const std::string& medlNr);
    void choosePaymentMethod(int method);  // 0..3 or kAllPaymentMethods
    void chooseStatus(PaymentStatus status);
    void chooseOrder(PaymentOrder order);
    int paymentMethod() const { return method_; }
    PaymentStatus status() const { return status_; }
    PaymentOrder order() const { return order_; }

    // Asks about pending edits, then loads the view's claims.
    void load();

    const std::vector<PaymentRow>& rows() const { return rows_; }
    const PaymentTotals& totals() const { return totals_; }
    bool pending() const { return pending_; }
    // The first row's claim text and payment method ("txTekst", "txBetMaate").
    std::string firstText() const;
    std::string firstPaymentMethod() const;

    // Edits of one row (index into rows()).
    void setInnbetalt(std::size_t row, Money amount);
    void setBetalt(std::size_t row, bool paid);
    void setKravbelop(std::size_t row, Money amount);
    void alleBetalt();   // "Alle &betalt"
    void ingenBetalt();  // "Ingen betalt"

    // "&Oppdater": writes the changed rows and reloads. Returns the rows that
    // could not be saved because their claim is gone.
    int save();
    // "&Avbryt": asks about pending edits (Yes saves).
    void leave();

    // "&Slett alle" and Ctrl+Delete; false when the user said No.
    bool deleteAll();
    bool deleteRow(std::size_t row);

    // Which columns the grid shows; the three choices of " Vis kolonner ".
    bool columnVisible(PaymentColumn column) const;
    void showColumn(PaymentColumn column, bool shown);  // BbsDato, Kid or Kontonr
    bool columnShown(PaymentColumn column) const;

    // Quick search by "Navn": a character typed while `current` is the grid's
    // column; the row to move to when one matches. clearSearch() on any other
    // key, a click, or entering or leaving the grid.
    std::optional<std::size_t> typed(const std::string& character, PaymentColumn current);
    void clearSearch() { search_.clear(); }
    const std::string& searchText() const { return search_; }

private:
    bool askToSave();
    void loadRows();
    void recount();
    void markChanged(PaymentRow& row);
    void copyFilterParameters(data::TOrvQuery& to);
    void copyViewParameters(data::TOrvQuery& to);

    PaymentContext context_;
    Ui& ui_;
    PaymentView view_ = PaymentView::PerDueDate;
    std::vector<std::string> dueDates_;
    std::vector<std::string> members_;
    std::string dueDate_;
    std::string memberNr_;
    int method_ = kAllPaymentMethods;
    PaymentStatus status_ = PaymentStatus::Alle;
    PaymentOrder order_ = PaymentOrder::Navn;
    bool showBbsDato_ = false, showKid_ = false, showKontonr_ = false;
    std::vector<PaymentRow> rows_;
    PaymentTotals totals_;
    bool pending_ = false;
    std::string search_;
};

// Reads one claim row of the selection query's result.
class TPaymentRowReader {
public:
    explicit TPaymentRowReader(const data::TOrvCursor& cursor);
    PaymentRow read() const;

private:
    const data::TOrvCursor& cursor_;
    int medlnr_, nmedlnr_, enavn_, fornavn_, dato_, tekst_, betaling_, kid_, betdato_, belop_,
        betbelop_, diff_, betflag_, bankkonto_, sletteflag_;
};

}  // namespace lagrull
