#pragma once
// A clearing transmission: assignments holding transactions, with the start
// and end records that frame them, written to and read from a file.
//
// Invariants (after every change):
// - Each transaction's number is its 1-based position in its assignment at
//   the moment it was added; its text and address records carry
//   the same number.
// - An assignment's end record holds the count, record count, sum and
//   earliest and latest due date of its transactions; the transmission's end
//   record holds the sums over its assignments. Both are kept as running
//   totals, so a change costs the same however large the transmission is.
// - Every assignment, and the transmission once it has one, has a non-zero
//   number.
// - While a file is being loaded nothing is numbered or totalled; the end of
//   loading does both once.
// - Assignments belong to the transmission that created them and
//   transactions to the assignment that created them; destroying the
//   transmission destroys everything.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clearing/bbs_records.h"
#include "clearing/bbs_transaction.h"

namespace lagrull {
class Ui;
}

namespace lagrull::clearing {

// The dates of a running total, counted, so that the earliest and latest
// stay right when a date is taken away again.
class DateTally {
public:
    void add(const std::optional<Date>& date, int sign) {
        if (!date) return;  // no date never wins
        int& count = counts_[*date];
        count += sign;
        if (count == 0) counts_.erase(*date);
    }
    void clear() { counts_.clear(); }
    std::optional<Date> earliest() const {
        return counts_.empty() ? std::nullopt : std::optional<Date>(counts_.begin()->first);
    }
    std::optional<Date> latest() const {
        return counts_.empty() ? std::nullopt : std::optional<Date>(counts_.rbegin()->first);
    }

private:
    std::map<Date, int> counts_;
};

// What an assignment adds to its transmission's totals.
struct AssignmentTotals {
    Money sum;
    std::int64_t transactions = 0;
    std::int64_t records = 0;
    std::optional<Date> earliest;
};

// Only a transmission creates assignments (in its own list).
class AssignmentKey {
    friend class TBBS;
    AssignmentKey() = default;
};

class TBBSOppdrag {
public:
    enum class Kind { Betaling, Sletting, Remittering };

    virtual ~TBBSOppdrag();
    TBBSOppdrag(const TBBSOppdrag&) = delete;
    TBBSOppdrag& operator=(const TBBSOppdrag&) = delete;

    Kind kind() const { return kind_; }
    TBBS& Owner() const { return owner_; }
    int Index() const { return index_; }  // position in the transmission

    void SetOppdragskonto(std::string_view account) { start_->SetOppdragskonto(account); }
    std::string GetOppdragsnr() const { return start_->GetOppdragsnr(); }
    const TBBSStartOppdrag& Start() const { return *start_; }
    const TBBSSluttOppdrag& Slutt() const { return *end_; }

    int TransaksjonCount() const { return static_cast<int>(transactions_.size()); }
    TBBSTransaksjonBase& Transaksjon(int index) const {
        return *transactions_.at(static_cast<std::size_t>(index));
    }

    // Counts the totals anew from the transactions.
    void Recalculate();
    AssignmentTotals totals() const;

protected:
    TBBSOppdrag(TBBS& owner, Kind kind, std::unique_ptr<TBBSStartOppdrag> start,
                std::unique_ptr<TBBSSluttOppdrag> end, std::string_view number);
    // Creates a transaction of this assignment's kind, appends it and
    // numbers it.
    TBBSTransaksjonBase& NyTransaksjon();
    TBBSStartOppdrag& start() { return *start_; }

private:
    friend class TBBS;                 // numbering, loading
    friend class TBBSTransaksjonBase;  // reports its changes

    template <class T>
    T& create();
    int AddTransaksjon(std::unique_ptr<TBBSTransaksjonBase> transaction);
    void transactionChanged(const TransactionTotals& before, const TransactionTotals& after);
    // Applies a change of the running totals and reports it upwards.
    template <class Change>
    void changing(Change&& change);
    void add(const TransactionTotals& t, int sign);
    void writeTotals();

    TBBS& owner_;
    Kind kind_;
    int index_ = -1;
    std::unique_ptr<TBBSStartOppdrag> start_;
    std::unique_ptr<TBBSSluttOppdrag> end_;
    std::vector<std::unique_ptr<TBBSTransaksjonBase>> transactions_;
    // Running totals of the transactions.
    Money sum_;
    std::int64_t records_ = 0;
    DateTally dueDates_;
};

// Payment claims (AvtaleGiro).
class TBBSBetalingsOppdrag : public TBBSOppdrag {
public:
    TBBSBetalingsOppdrag(AssignmentKey, TBBS& owner, std::string_view number = {});
    TBBSBetaling& NyBetaling() { return static_cast<TBBSBetaling&>(NyTransaksjon()); }
};

// Deletion requests for claims sent earlier.
class TBBSSlettingsOppdrag : public TBBSOppdrag {
public:
    TBBSSlettingsOppdrag(AssignmentKey, TBBS& owner, std::string_view number = {});
    TBBSSletting& NySletting() { return static_cast<TBBSSletting&>(NyTransaksjon()); }
};

// Remittance.
class TBBSRemitteringsOppdrag : public TBBSOppdrag {
public:
    TBBSRemitteringsOppdrag(AssignmentKey, TBBS& owner, std::string_view number = {},
                            std::string_view avtaleId = {});
    TBBSRemittering& NyRemittering() { return static_cast<TBBSRemittering&>(NyTransaksjon()); }
};

class TBBS {
public:
    // A new transmission; an empty number is written "0000000" and replaced
    // by a new one when the first assignment is added.
    explicit TBBS(std::string_view forsendelsesnr = {});
    virtual ~TBBS();
    TBBS(const TBBS&) = delete;
    TBBS& operator=(const TBBS&) = delete;

    // New numbers, seven digits (from the running program's clock counters).
    virtual std::string NyttOppdragsnr();
    virtual std::string NyttForsendelsesnr();

    void SetDataavsender(std::string_view customerUnitId) {
        start_.SetDataavsender(customerUnitId);
    }
    std::string GetForsendelsesnr() const { return start_.GetForsendelsesnr(); }
    const TBBSStart& Start() const { return start_; }
    const TBBSSlutt& Slutt() const { return end_; }

    // Creates an assignment of kind T at the end of the transmission, e.g.
    // NyttOppdrag<TBBSBetalingsOppdrag>(""); it is numbered at once.
    template <class T, class... Args>
    T& NyttOppdrag(Args&&... args) {
        auto assignment = std::make_unique<T>(AssignmentKey{}, *this, std::forward<Args>(args)...);
        T& created = *assignment;
        AddOppdrag(std::move(assignment));
        return created;
    }
    int OppdragCount() const { return static_cast<int>(assignments_.size()); }
    TBBSOppdrag& Oppdrag(int index) const {
        return *assignments_.at(static_cast<std::size_t>(index));
    }

    // Numbers what has no number and counts the totals anew.
    void Recalculate();
    bool Loading() const { return loading_; }

    // Writes the whole transmission, CR LF after every record. An assignment
    // without number is reported through `ui` and written all the same.
    void SaveToFile(const std::filesystem::path& path, Ui& ui) const;
    std::string ToText(Ui& ui) const;
    // Reads a transmission written earlier, to append assignments to it. A
    // file without a start record gets a new one with `dataavsender` (the
    // customer unit ID of the settings) as its data sender.
    void LoadFromFile(const std::filesystem::path& path, std::string_view dataavsender = {});

private:
    friend class TBBSOppdrag;  // reports its changes
    int AddOppdrag(std::unique_ptr<TBBSOppdrag> assignment);
    void assignmentChanged(const AssignmentTotals& before, const AssignmentTotals& after);
    void add(const AssignmentTotals& t, int sign);
    void numberAssignment(TBBSOppdrag& assignment);
    void numberTransmission();
    void writeTotals();
    struct LoadState;
    void loadLine(std::string line, LoadState& state);

    bool loading_ = false;
    TBBSStart start_;
    TBBSSlutt end_;
    std::vector<std::unique_ptr<TBBSOppdrag>> assignments_;
    // Running totals of the assignments.
    Money sum_;
    std::int64_t transactions_ = 0;
    std::int64_t records_ = 0;
    DateTally earliestDates_;  // of the assignments
};

}  // namespace lagrull::clearing
