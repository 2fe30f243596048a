#include "payments/payment_registration.h"

#include <utility>

#include "common/dates.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/app_db_mng.h"
#include "data/field_access.h"
#include "payments/payment_save.h"

namespace lagrull {

namespace {

constexpr const char* kWarning = "ADVARSEL!";

std::string statusLine(PaymentStatus status) {
    // The texts have two blanks after "=".
    switch (status) {
        case PaymentStatus::Betalt: return "AND betflag =  'X'";
        case PaymentStatus::IkkeBetalt: return "AND betflag =  ''";
        case PaymentStatus::Alle: break;
    }
    return "AND 1 = 1";
}

Money moneyOf(const data::TOrvCursor& c, int column) {
    return column < 0 ? Money() : Money::fromKroner(c.number(column));
}

std::string textOf(const data::TOrvCursor& c, int column) {
    return column < 0 ? std::string() : c.text(column);
}

// Moves the main window's member table to a member (a locate by MEDLNR).
void locateMember(data::TOrvTable& members, const std::string& medlNr) {
    if (!members.active()) return;
    if (data::FieldText(members, "MEDLNR") == medlNr) return;
    const long long at = members.recNo();
    for (members.first(); !members.eof(); members.next())
        if (data::FieldText(members, "MEDLNR") == medlNr) return;
    if (at > 0) members.setRecNo(at);
}

}  // namespace

TPaymentRowReader::TPaymentRowReader(const data::TOrvCursor& cursor)
    : cursor_(cursor),
      medlnr_(cursor.columnIndex("IDnr")),
      nmedlnr_(cursor.columnIndex("nmedlnr")),
      enavn_(cursor.columnIndex("enavn")),
      fornavn_(cursor.columnIndex("fornavn")),
      dato_(cursor.columnIndex("dato")),
      tekst_(cursor.columnIndex("tekst")),
      betaling_(cursor.columnIndex("betaling")),
      kid_(cursor.columnIndex("kid")),
      betdato_(cursor.columnIndex("betdato")),
      belop_(cursor.columnIndex("belop")),
      betbelop_(cursor.columnIndex("betbelop")),
      diff_(cursor.columnIndex("Differansebelop")),
      betflag_(cursor.columnIndex("betflag")),
      bankkonto_(cursor.columnIndex("bankkonto")),
      sletteflag_(cursor.columnIndex("sletteflag")) {}

PaymentRow TPaymentRowReader::read() const {
    PaymentRow r;
    r.medlNr = textOf(cursor_, medlnr_);
    r.nMedlNr = nmedlnr_ < 0 ? 0 : cursor_.number(nmedlnr_);
    r.navn = paymentName(textOf(cursor_, enavn_), textOf(cursor_, fornavn_));
    r.dato = textOf(cursor_, dato_);
    r.tekst = textOf(cursor_, tekst_);
    r.betaling = betaling_ < 0 ? 0 : static_cast<int>(cursor_.integer(betaling_));
    r.kid = textOf(cursor_, kid_);
    r.betDato = textOf(cursor_, betdato_);
    r.krav = moneyOf(cursor_, belop_);
    r.innbetalt = moneyOf(cursor_, betbelop_);
    r.rest = moneyOf(cursor_, diff_);
    r.betalt = textOf(cursor_, betflag_) == "X";
    r.bankkonto = textOf(cursor_, bankkonto_);
    r.sletteflag = sletteflag_ < 0 ? 0 : static_cast<int>(cursor_.integer(sletteflag_));
    return r;
}

TPaymentRegistration::TPaymentRegistration(PaymentContext context, Ui& ui)
    : context_(std::move(context)), ui_(ui) {}

void TPaymentRegistration::prepareView(PaymentView view) {
    // Edits of the old view are not dropped unasked.
    askToSave();
    WaitWindow wait(ui_, "VENT!", "Henter betalingsposter....");
    view_ = view;
    auto& lines = context_.queries.IBSelectQuery.sql();
    if (view == PaymentView::PerMember) {
        if (members_.empty()) {
            data::GetMemberList(context_.db, context_.orgNr, members_);
            if (context_.members && context_.members->active() && !context_.members->isEmpty())
                memberNr_ = data::FieldText(*context_.members, "MEDLNR");
            if (memberNr_.empty() && !members_.empty())
                memberNr_ = members_.front().substr(0, members_.front().find('='));
        }
        lines.at(kSelectViewLine) = "WHERE b.medlnr = :idnr ";
    } else {
        if (dueDates_.empty()) {
            data::GetClaimDates(context_.db, context_.orgNr, dueDates_);
            if (!dueDates_.empty()) dueDate_ = dueDates_.front();
        }
        lines.at(kSelectViewLine) = "WHERE b.dato = :dato ";
    }
    method_ = kAllPaymentMethods;
    status_ = PaymentStatus::Alle;
    pending_ = false;
    for (PaymentRow& r : rows_) r.changed = false;
    loadRows();
}

void TPaymentRegistration::chooseDueDate(const std::string& shown) {
    dueDate_ = shown;
    load();
}

void TPaymentRegistration::chooseMember(const std::string& medlNr) {
    memberNr_ = medlNr;
    if (context_.members) locateMember(*context_.members, medlNr);
    load();
}

void TPaymentRegistration::choosePaymentMethod(int method) {
    method_ = method >= 0 && method <= 3 ? method : kAllPaymentMethods;
    load();
}

void TPaymentRegistration::chooseStatus(PaymentStatus status) {
    status_ = status;
    load();
}

void TPaymentRegistration::chooseOrder(PaymentOrder order) {
    order_ = order;
    load();
}

bool TPaymentRegistration::askToSave() {
    if (!pending_) return false;
    if (ui_.message(kWarning, "Lagre endringer?", Buttons::YesNo, Icon::Question) == Answer::Yes) {
        save();
        return true;
    }
    pending_ = false;
    for (PaymentRow& r : rows_) r.changed = false;
    return false;
}

void TPaymentRegistration::load() {
    if (askToSave()) return;  // saving reloads
    WaitWindow wait(ui_, "VENT!", "Henter poster......");
    loadRows();
}

void TPaymentRegistration::copyFilterParameters(data::TOrvQuery& to) {
    const bool all = method_ == kAllPaymentMethods;
    to.setParamInt("bet1", all ? 0 : method_);
    to.setParamInt("bet2", all ? 3 : method_);
    to.setParamInt("orgnr", context_.orgNr);
}

void TPaymentRegistration::copyViewParameters(data::TOrvQuery& to) {
    // The member view's text names only :idnr, the date view's only :dato.
    to.setParamText("idnr", memberNr_);
    to.setParamText("dato", shownToStored(dueDate_));
    copyFilterParameters(to);
}

void TPaymentRegistration::loadRows() {
    data::TOrvQuery& q = context_.queries.IBSelectQuery;
    auto& lines = q.sql();
    if (view_ == PaymentView::PerDueDate)
        lines.at(kSelectOrderLine) = order_ == PaymentOrder::Nr
                                         ? "order by odato, m.nmedlnr"
                                         : "order by odato, m.enavn,m.fornavn";
    copyViewParameters(q);
    lines.at(kSelectStatusLine) = statusLine(status_);
    rows_.clear();
    data::TOrvCursor cursor(q);
    const TPaymentRowReader reader(cursor);
    EventPump pump(ui_);
    while (cursor.next()) {
        rows_.push_back(reader.read());
        pump.tick();
    }
    pending_ = false;
    search_.clear();
    totals_ = paymentTotals(rows_, false);
}

std::string TPaymentRegistration::firstText() const {
    return rows_.empty() ? std::string() : rows_.front().tekst;
}

std::string TPaymentRegistration::firstPaymentMethod() const {
    return rows_.empty() ? std::string() : paymentMethodText(rows_.front().betaling);
}

void TPaymentRegistration::markChanged(PaymentRow& row) {
    row.changed = true;
    pending_ = true;
}

void TPaymentRegistration::recount() { totals_ = paymentTotals(rows_, true); }

void TPaymentRegistration::setInnbetalt(std::size_t row, Money amount) {
    PaymentRow& r = rows_.at(row);
    r.innbetalt = amount;
    r.rest = r.krav - r.innbetalt;
    r.betalt = *r.rest <= Money();
    markChanged(r);
    recount();
}

void TPaymentRegistration::setBetalt(std::size_t row, bool paid) {
    PaymentRow& r = rows_.at(row);
    r.betalt = paid;
    // A payment through the clearing house keeps its amount.
    if (r.betDato.empty()) {
        r.innbetalt = paid ? r.krav : Money();
        r.rest.reset();
    }
    markChanged(r);
    recount();
}

void TPaymentRegistration::setKravbelop(std::size_t row, Money amount) {
    PaymentRow& r = rows_.at(row);
    r.krav = amount;
    markChanged(r);
    recount();
}

void TPaymentRegistration::alleBetalt() {
    for (PaymentRow& r : rows_) {
        if (r.betalt) continue;
        r.innbetalt = r.krav;
        r.betalt = true;
        r.rest.reset();
        markChanged(r);
    }
    recount();
}

void TPaymentRegistration::ingenBetalt() {
    for (PaymentRow& r : rows_) {
        r.innbetalt = Money();
        r.betalt = false;
        r.rest.reset();
        markChanged(r);
    }
    recount();
}

int TPaymentRegistration::save() {
    int skipped = 0;
    {
        WaitWindow wait(ui_, "VENT!", "Oppdaterer betalingsregister...");
        skipped = saveChangedRows(context_.db, context_.orgNr, rows_, ui_);
        pending_ = false;
        loadRows();
    }
    if (skipped > 0)
        ui_.warning(kWarning,
                    std::to_string(skipped) +
                        (skipped == 1 ? " betalingspost ble ikke lagret fordi kravet"
                                      : " betalingsposter ble ikke lagret fordi kravene") +
                        " ikke lenger finnes i betalingsregisteret.");
    return skipped;
}

void TPaymentRegistration::leave() { askToSave(); }

bool TPaymentRegistration::deleteAll() {
    data::TOrvQuery& del = context_.queries.IBDeleteQuery;
    del.setSql(startingDeleteSql());
    del.clearParams();
    auto& lines = del.sql();
    lines.at(kDeleteStatusLine) = context_.queries.IBSelectQuery.sql().at(kSelectStatusLine);
    if (view_ == PaymentView::PerMember) lines.at(kDeleteViewLine) = " WHERE medlnr = :idnr ";
    copyViewParameters(del);
    // The question names how many claims go: the same conditions, counted.
    data::TOrvQuery count(context_.db);
    count.setSql(del.sqlText());
    count.sql().at(0) = "SELECT count(*) AS antall FROM mbetreg";
    copyViewParameters(count);
    count.open();
    const long long claims = data::FieldInt(count, "antall");
    count.close();
    const std::string question =
        claims == 1 ? "Skal betalingsposten slettes (1 post)?"
                    : "Skal betalingspostene slettes (" + std::to_string(claims) + " poster)?";
    if (ui_.message(kWarning, question, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;
    {
        WaitWindow wait(ui_, "VENT!", "Sletter betalingsposter...");
        del.execSQL();
        load();
    }
    return true;
}

bool TPaymentRegistration::deleteRow(std::size_t row) {
    const PaymentRow r = rows_.at(row);
    const PaymentColumn key =
        view_ == PaymentView::PerMember ? PaymentColumn::ForfDato : PaymentColumn::MedlNr;
    const std::string question = "Vil du slette " +
                                 lowerCase(paymentColumnHeader(key, context_.registerKind)) + " " +
                                 r.text(key) + " (kr " + r.text(PaymentColumn::Kravbelop) + ") ? ";
    if (ui_.message(kWarning, question, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;
    data::TOrvQuery& del = context_.queries.IBDeleteQuery;
    del.setSql(startingDeleteSql());
    del.clearParams();
    del.sql().at(kDeleteStatusLine) = context_.queries.IBSelectQuery.sql().at(kSelectStatusLine);
    del.sql().push_back(" and medlnr  = :idnr");
    del.setParamText("idnr", r.medlNr);
    del.setParamText("dato", r.dato);
    copyFilterParameters(del);
    {
        BusyCursor busy(ui_);
        del.execSQL();
    }
    load();
    return true;
}

bool TPaymentRegistration::columnVisible(PaymentColumn column) const {
    const bool dateView = view_ == PaymentView::PerDueDate;
    switch (column) {
        case PaymentColumn::BetMaate:
        case PaymentColumn::Konto2:
        case PaymentColumn::BbsSletteanm: return false;
        case PaymentColumn::MedlNr:
        case PaymentColumn::Navn: return dateView;
        case PaymentColumn::ForfDato:
        case PaymentColumn::Tekst: return !dateView;
        case PaymentColumn::Kid: return showKid_;
        case PaymentColumn::BbsDato: return showBbsDato_;
        case PaymentColumn::Kontonr: return dateView && showKontonr_;
        case PaymentColumn::Kravbelop:
        case PaymentColumn::Innbetalt:
        case PaymentColumn::Rest:
        case PaymentColumn::Betalt: break;
    }
    return true;
}

void TPaymentRegistration::showColumn(PaymentColumn column, bool shown) {
    switch (column) {
        case PaymentColumn::BbsDato: showBbsDato_ = shown; break;
        case PaymentColumn::Kid: showKid_ = shown; break;
        case PaymentColumn::Kontonr: showKontonr_ = shown; break;
        default: break;
    }
}

bool TPaymentRegistration::columnShown(PaymentColumn column) const {
    switch (column) {
        case PaymentColumn::BbsDato: return showBbsDato_;
        case PaymentColumn::Kid: return showKid_;
        case PaymentColumn::Kontonr: return showKontonr_;
        default: return false;
    }
}

std::optional<std::size_t> TPaymentRegistration::typed(const std::string& character,
                                                       PaymentColumn current) {
    // "Innbetalt" takes the keys for its amount, "Betalt" the blank for its box.
    if (current == PaymentColumn::Innbetalt) return std::nullopt;
    if (character == " " && current == PaymentColumn::Betalt) return std::nullopt;
    search_ += character;
    const std::string wanted = upperCase(search_);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (upperCase(rows_[i].navn).rfind(wanted, 0) == 0) return i;
    return std::nullopt;
}

}  // namespace lagrull
