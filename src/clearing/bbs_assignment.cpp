// Assignments: their transactions and the running totals of their end record.
#include "clearing/bbs_transmission.h"

namespace lagrull::clearing {

TBBSOppdrag::TBBSOppdrag(TBBS& owner, Kind kind, std::unique_ptr<TBBSStartOppdrag> start,
                         std::unique_ptr<TBBSSluttOppdrag> end, std::string_view number)
    : owner_(owner), kind_(kind), start_(std::move(start)), end_(std::move(end)) {
    start_->SetOppdragsnr(number);
    writeTotals();
}

TBBSOppdrag::~TBBSOppdrag() = default;

TBBSBetalingsOppdrag::TBBSBetalingsOppdrag(AssignmentKey, TBBS& owner, std::string_view number)
    : TBBSOppdrag(owner, Kind::Betaling, std::make_unique<TBBSStartBetaling>(),
                  std::make_unique<TBBSSluttBetaling>(), number) {}

TBBSSlettingsOppdrag::TBBSSlettingsOppdrag(AssignmentKey, TBBS& owner, std::string_view number)
    : TBBSOppdrag(owner, Kind::Sletting, std::make_unique<TBBSStartSletting>(),
                  std::make_unique<TBBSSluttSletting>(), number) {}

TBBSRemitteringsOppdrag::TBBSRemitteringsOppdrag(AssignmentKey, TBBS& owner,
                                                 std::string_view number, std::string_view avtaleId)
    : TBBSOppdrag(owner, Kind::Remittering, std::make_unique<TBBSStartRemittering>(),
                  std::make_unique<TBBSSluttRemittering>(), number) {
    start().SetAvtaleId(avtaleId);
}

template <class T>
T& TBBSOppdrag::create() {
    auto transaction = std::make_unique<T>(TransactionKey{}, *this);
    T& created = *transaction;
    const int index = AddTransaksjon(std::move(transaction));
    created.SetTransaksjonsnr(index + 1);
    return created;
}

TBBSTransaksjonBase& TBBSOppdrag::NyTransaksjon() {
    switch (kind_) {
        case Kind::Betaling: return create<TBBSBetaling>();
        case Kind::Sletting: return create<TBBSSletting>();
        case Kind::Remittering: return create<TBBSRemittering>();
    }
    return create<TBBSBetaling>();
}

AssignmentTotals TBBSOppdrag::totals() const {
    const auto n = static_cast<std::int64_t>(transactions_.size());
    return {sum_, n, n > 0 ? 2 + records_ : 0, dueDates_.earliest()};
}

template <class Change>
void TBBSOppdrag::changing(Change&& change) {
    const AssignmentTotals before = totals();
    change();
    writeTotals();
    owner_.assignmentChanged(before, totals());
}

void TBBSOppdrag::add(const TransactionTotals& t, int sign) {
    sum_ += t.amount * sign;
    records_ += static_cast<std::int64_t>(t.records) * sign;
    dueDates_.add(t.due, sign);
}

int TBBSOppdrag::AddTransaksjon(std::unique_ptr<TBBSTransaksjonBase> transaction) {
    const TransactionTotals added = transaction->totals();
    changing([&] {
        transactions_.push_back(std::move(transaction));
        add(added, +1);
    });
    return static_cast<int>(transactions_.size()) - 1;
}

void TBBSOppdrag::transactionChanged(const TransactionTotals& before,
                                     const TransactionTotals& after) {
    changing([&] {
        add(before, -1);
        add(after, +1);
    });
}

void TBBSOppdrag::Recalculate() {
    changing([&] {
        sum_ = Money();
        records_ = 0;
        dueDates_.clear();
        for (const auto& t : transactions_) add(t->totals(), +1);
    });
}

void TBBSOppdrag::writeTotals() {
    const AssignmentTotals t = totals();
    end_->SetSum(t.sum);
    end_->SetForsteForfallsdato(t.earliest);
    end_->SetSisteForfallsdato(dueDates_.latest());
    end_->SetAntallTransaksjoner(t.transactions);
    end_->SetAntallRecords(t.records);
}

}  // namespace lagrull::clearing
