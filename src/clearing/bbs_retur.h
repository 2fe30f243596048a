#pragma once
// The reader of the clearing house's return files: OCR giro payments and
// AvtaleGiro agreement information, read once from start to end into three
// ordered lists. It never touches the register.
//
// Invariants:
// - Every item owns its lines and carries the transmission and assignment
//   numbers of the last start records before it (0 if none came).
// - A payment's date and amount are checked when it is read; a file with an
//   unreadable or cut payment, or lines that were not found, fails as a
//   whole with the line number, and nothing of it is delivered or archived,
//   so that no payment is lost or misread in silence.
// - A file that proved to be a transmission with nothing for the register
//   is moved into the archive directory "Behandlet" inside the data
//   directory, under a name that is not yet taken.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clearing/bbs_item.h"

namespace lagrull {
class Ui;
}

namespace lagrull::clearing {

// The numbers of the start records that came before an item.
struct ReturnContext {
    std::int64_t forsendelsesnr = 0;
    std::int64_t oppdragsnr = 0;
    std::int64_t datamottaker = 0;
    std::int64_t avtaleId = 0;
};

class TBBSReturItem {
public:
    virtual ~TBBSReturItem() = default;
    TBBSReturItem(const TBBSReturItem&) = delete;
    TBBSReturItem& operator=(const TBBSReturItem&) = delete;

    std::int64_t Forsendelsesnr() const { return context_.forsendelsesnr; }
    std::int64_t Oppdragsnr() const { return context_.oppdragsnr; }
    std::int64_t Datamottaker() const { return context_.datamottaker; }
    std::int64_t AvtaleId() const { return context_.avtaleId; }
    const TBBSItem& Linje1() const { return line1_; }
    const TBBSItem* Linje2() const { return line2_ ? &*line2_ : nullptr; }  // payments only

    virtual std::optional<Date> Dato() const = 0;
    virtual std::string Kid() const = 0;

protected:
    TBBSReturItem(const ReturnContext& context, TBBSItem line1, std::optional<TBBSItem> line2)
        : context_(context), line1_(std::move(line1)), line2_(std::move(line2)) {}

private:
    ReturnContext context_;
    TBBSItem line1_;
    std::optional<TBBSItem> line2_;
};

// An OCR payment: amount item 1 and the line after it. A reversal
// (transaction type 18, "-" in the sign position 32) takes a payment back.
class TBBSReturItemBetaling : public TBBSReturItem {
public:
    // Throws FormatError when the settlement date or the amount cannot be read.
    TBBSReturItemBetaling(const ReturnContext& context, TBBSItem line1, TBBSItem line2);
    std::optional<Date> Dato() const override { return date_; }  // settlement date
    std::string Kid() const override { return Linje1().GetField(50, 74); }
    // Negative for a reversal.
    Money Belop() const { return amount_; }
    bool ErTilbakeforing() const { return reversal_; }

private:
    std::optional<Date> date_;
    Money amount_;
    bool reversal_ = false;
};

// An entry of a full list of active AvtaleGiro agreements.
class TBBSReturItemAvtaleStatus : public TBBSReturItem {
public:
    TBBSReturItemAvtaleStatus(const ReturnContext& context, TBBSItem line,
                              std::optional<Date> referansedato)
        : TBBSReturItem(context, std::move(line), std::nullopt), referansedato_(referansedato) {}
    // The reader's reference date when the record was read.
    std::optional<Date> Dato() const override { return referansedato_; }
    std::string Kid() const override { return Linje1().GetField(17, 41); }
    bool OnskerVarsel() const;
    // Registration type "1" false, "2" true; anything else fails with
    // "Ukjent avtalestatus".
    bool ErSlettet() const;
    std::optional<Date> Referansedato() const { return referansedato_; }

private:
    std::optional<Date> referansedato_;
};

// A new, changed or deleted agreement.
class TBBSReturItemAvtaleEndring : public TBBSReturItemAvtaleStatus {
public:
    using TBBSReturItemAvtaleStatus::TBBSReturItemAvtaleStatus;
};

// An owning, ordered list of items.
template <class Item>
class TBBSReturListe {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const Item& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    int Add(std::unique_ptr<Item> item) {
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    void Clear() { items_.clear(); }
    void Reserve(std::size_t count) { items_.reserve(count); }

    // The first item whose KID has in positions first..last exactly `value`
    // left-padded with "0" to the width of those positions; −1 if none.
    int IndexOfKid(const std::string& value, int first, int last) const {
        const std::size_t width =
            static_cast<std::size_t>(last) - static_cast<std::size_t>(first) + 1;
        std::string wanted = value;
        if (wanted.size() < width) wanted.insert(0, width - wanted.size(), '0');
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const std::string kid = items_[i]->Kid();
            if (static_cast<std::size_t>(first - 1) <= kid.size() &&
                kid.substr(static_cast<std::size_t>(first - 1), width) == wanted)
                return static_cast<int>(i);
        }
        return -1;
    }

private:
    std::vector<std::unique_ptr<Item>> items_;
};

using TBBSReturBetalingsListe = TBBSReturListe<TBBSReturItemBetaling>;
using TBBSReturEndringsListe = TBBSReturListe<TBBSReturItemAvtaleEndring>;
using TBBSReturStatusListe = TBBSReturListe<TBBSReturItemAvtaleStatus>;

class TBBSRetur {
public:
    // `dataDirectory`: where the archive directory "Behandlet" is made.
    TBBSRetur(Ui& ui, std::filesystem::path dataDirectory);
    virtual ~TBBSRetur() = default;
    TBBSRetur(const TBBSRetur&) = delete;
    TBBSRetur& operator=(const TBBSRetur&) = delete;

    // Clears the lists and reads the file. A file that cannot be opened (one
    // that does not exist, a directory) throws FileError; a line longer than
    // 80 characters, a payment or agreement record shorter than 80 or a
    // field that cannot be read throws FormatError naming the line. Either
    // way nothing is delivered and nothing is archived.
    void LoadFromFile(const std::filesystem::path& path);
    void Clear();

    const TBBSReturBetalingsListe& Betalinger() const { return betalinger_; }
    const TBBSReturEndringsListe& Endringer() const { return endringer_; }
    const TBBSReturStatusListe& Statusliste() const { return statusliste_; }

    // Empty until first needed; then "Behandlet" in the data directory.
    const std::filesystem::path& ArkivKatalog() const { return arkivKatalog_; }
    void SetArkivKatalog(std::filesystem::path directory) { arkivKatalog_ = std::move(directory); }

    // True discards the item just read.
    virtual bool SkipBetaling(const TBBSReturItemBetaling&) { return false; }
    virtual bool SkipEndring(const TBBSReturItemAvtaleEndring&) { return false; }
    // Entries of a full agreement list are not used by the register.
    virtual bool SkipStatus(const TBBSReturItemAvtaleStatus&) { return true; }

private:
    void archive(const std::filesystem::path& path);

    Ui& ui_;
    std::filesystem::path dataDirectory_;
    std::filesystem::path arkivKatalog_;
    TBBSReturBetalingsListe betalinger_;
    TBBSReturEndringsListe endringer_;
    TBBSReturStatusListe statusliste_;
};

// The earlier of today and the day the file was last changed (today when
// that is unknown or lies in the future).
Date returnFileReferenceDate(const std::filesystem::path& path);

}  // namespace lagrull::clearing
