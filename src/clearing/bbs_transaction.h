#pragma once
// One transaction of an assignment: amount items 1 and 2, and for payment
// and remittance transactions the text records that carry the text
// of the payer's notice.
//
// Invariants:
// - A transaction belongs to exactly one assignment, which created it, owns
//   it and keeps its totals; every change of amount, due date or number of
//   records is reported to the assignment at once.
// - The amount and due date kept beside the records are the values read back
//   from amount item 1, so the totals equal what the file says.
// - The text records are always those built from the notice
//   text (or those read from a file, until the text is next changed), and
//   carry the transaction's number and type.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clearing/bbs_records.h"

namespace lagrull::clearing {

class TBBS;
class TBBSOppdrag;

inline constexpr int kMaxSpesifikasjonslinjer = 42;

// What a transaction adds to its assignment's totals.
struct TransactionTotals {
    Money amount;
    std::optional<Date> due;
    int records = 0;
};

// Only an assignment creates transactions (in its own list).
class TransactionKey {
    friend class TBBSOppdrag;
    TransactionKey() = default;
};

// The common base of the clearing transactions (payment, deletion and
// remittance): their two amount items, name, amount and due date.
class TBBSTransaksjonBase {
public:
    virtual ~TBBSTransaksjonBase();
    TBBSTransaksjonBase(const TBBSTransaksjonBase&) = delete;
    TBBSTransaksjonBase& operator=(const TBBSTransaksjonBase&) = delete;

    // Writes the number into every record of the transaction.
    virtual void SetTransaksjonsnr(int number);
    // Records the transaction occupies in the file.
    virtual int AntallRecords() const = 0;
    // Keeps the full name and writes the abbreviated one into amount item 2.
    virtual void SetNavn(std::string_view fullName);

    void SetForfallsdato(std::optional<Date> date);
    void SetBelop(Money amount);
    void SetBelop(double kroner) { SetBelop(Money::fromKroner(kroner)); }
    void SetKid(std::string_view kid) { item1_->SetKid(kid); }
    std::string GetKid() const { return item1_->Kid(); }
    void SetFremmedreferanse(std::string_view text) { item2_->SetFremmedreferanse(text); }

    const std::string& Navn() const { return name_; }
    Money Belop() const { return amount_; }
    std::optional<Date> Forfallsdato() const { return due_; }
    const TBBSTrans1& Belopspost1() const { return *item1_; }
    const TBBSTrans2& Belopspost2() const { return *item2_; }
    TBBSOppdrag& Oppdrag() const { return owner_; }

    // Appends the transaction's records in file order, each with CR LF.
    virtual void AppendLines(std::string& out) const;

protected:
    TBBSTransaksjonBase(TBBSOppdrag& owner, std::unique_ptr<TBBSTrans1> item1,
                        std::unique_ptr<TBBSTrans2> item2);

    TBBSTrans1& item1() { return *item1_; }
    TBBSTrans2& item2() { return *item2_; }
    TransactionTotals totals() const { return {amount_, due_, AntallRecords()}; }
    // Runs `change` and reports to the assignment what it did to the totals,
    // also when it fails halfway.
    template <class Change>
    void changing(Change&& change);

private:
    friend class TBBS;         // lines read from a file replace the records' texts
    friend class TBBSOppdrag;  // counts the totals
    void loadBelopspost1(std::string line);
    void loadBelopspost2(std::string line) { item2_->SetLine(std::move(line)); }

    TBBSOppdrag& owner_;
    std::string name_;
    std::unique_ptr<TBBSTrans1> item1_;
    std::unique_ptr<TBBSTrans2> item2_;
    Money amount_;
    std::optional<Date> due_;
};

// An owning, ordered list of text records.
class TBBSSpesifikasjonsListe {
public:
    void Clear() { records_.clear(); }
    void Add(std::unique_ptr<TBBSSpesifikasjon> record) { records_.push_back(std::move(record)); }
    int Count() const { return static_cast<int>(records_.size()); }
    TBBSSpesifikasjon& Items(int index) const {
        return *records_.at(static_cast<std::size_t>(index));
    }

private:
    std::vector<std::unique_ptr<TBBSSpesifikasjon>> records_;
};

// A transaction with a notice text.
class TBBSTransaksjon : public TBBSTransaksjonBase {
public:
    void SetTransaksjonsnr(int number) override;
    int AntallRecords() const override { return 2 + spesifikasjoner_.Count(); }

    // The notice text, one entry per line. Every change rebuilds the
    // text records; more than 42 lines fail with
    // "Avtalegirospesifikasjon kan ikke overstige 42 linjer" and leave the
    // transaction without notice text.
    const std::vector<std::string>& Spesifikasjon() const { return lines_; }
    void SetSpesifikasjon(std::vector<std::string> lines);
    // The text split at its line breaks.
    void SetSpesifikasjonTekst(std::string_view text);
    void AddSpesifikasjonslinje(std::string line);
    void ClearSpesifikasjon() { SetSpesifikasjon({}); }
    const TBBSSpesifikasjonsListe& Spesifikasjonsrecords() const { return spesifikasjoner_; }

    // Own notice: the payee sends the notice, the transaction type is "02"
    // instead of "21" in every record of the transaction.
    void SetEgetVarsel(bool own);
    bool HarEgetVarsel() const { return Belopspost1().Type() == "02"; }

    void AppendLines(std::string& out) const override;

protected:
    using TBBSTransaksjonBase::TBBSTransaksjonBase;
    // Records written between the amount items and the text records.
    virtual void AppendAddressLines(std::string&) const {}

private:
    friend class TBBS;
    void rebuildSpesifikasjon();
    void loadSpesifikasjon(std::unique_ptr<TBBSSpesifikasjon> record);

    std::vector<std::string> lines_;
    TBBSSpesifikasjonsListe spesifikasjoner_;
};

class TBBSBetaling : public TBBSTransaksjon {
public:
    TBBSBetaling(TransactionKey, TBBSOppdrag& owner);
};

class TBBSSletting : public TBBSTransaksjonBase {
public:
    TBBSSletting(TransactionKey, TBBSOppdrag& owner);
    int AntallRecords() const override { return 2; }
};

class TBBSRemittering : public TBBSTransaksjon {
public:
    TBBSRemittering(TransactionKey, TBBSOppdrag& owner);
    void SetTransaksjonsnr(int number) override;
    int AntallRecords() const override { return TBBSTransaksjon::AntallRecords() + 2; }
    void SetNavn(std::string_view fullName) override;
    const TBBSRemAdrRec1& Adresse1() const { return address1_; }
    const TBBSRemAdrRec2& Adresse2() const { return address2_; }

protected:
    void AppendAddressLines(std::string& out) const override;

private:
    friend class TBBS;
    TBBSRemAdrRec1 address1_;
    TBBSRemAdrRec2 address2_;
};

// The tab alignment of notice text lines: the first tab of every line
// becomes blanks so that the parts behind the tabs end in the same column.
// Further tabs become single blanks (a tab never goes into a record).
std::vector<std::u32string> alignNoticeTabs(const std::vector<std::string>& lines);

// Lines of a text split at CR LF, LF or CR; a final line break adds no line.
std::vector<std::string> splitTextLines(std::string_view text);

}  // namespace lagrull::clearing
