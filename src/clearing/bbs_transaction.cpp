#include "clearing/bbs_transaction.h"

#include <algorithm>

#include "clearing/bbs_file.h"
#include "clearing/bbs_transmission.h"
#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull::clearing {

// ---- TBBSTransaksjonBase -------------------------------------------------------

TBBSTransaksjonBase::TBBSTransaksjonBase(TBBSOppdrag& owner, std::unique_ptr<TBBSTrans1> item1,
                                         std::unique_ptr<TBBSTrans2> item2)
    : owner_(owner), item1_(std::move(item1)), item2_(std::move(item2)) {}

TBBSTransaksjonBase::~TBBSTransaksjonBase() = default;

template <class Change>
void TBBSTransaksjonBase::changing(Change&& change) {
    const TransactionTotals before = totals();
    try {
        change();
    } catch (...) {
        owner_.transactionChanged(before, totals());
        throw;
    }
    owner_.transactionChanged(before, totals());
}

void TBBSTransaksjonBase::SetTransaksjonsnr(int number) {
    item1_->SetTransaksjonsnr(number);
    item2_->SetTransaksjonsnr(number);
}

void TBBSTransaksjonBase::SetNavn(std::string_view fullName) {
    name_ = std::string(fullName);
    item2_->SetForkortetNavn(abbreviatedName(fullName));
}

void TBBSTransaksjonBase::SetForfallsdato(std::optional<Date> date) {
    changing([&] {
        item1_->SetForfallsdato(date);
        due_ = item1_->Forfallsdato();  // as the file will say it (two-digit year)
    });
}

void TBBSTransaksjonBase::SetBelop(Money amount) {
    changing([&] {
        item1_->SetBelop(amount);
        amount_ = item1_->Belop();
    });
}

void TBBSTransaksjonBase::AppendLines(std::string& out) const {
    appendRecordLine(out, *item1_);
    appendRecordLine(out, *item2_);
}

void TBBSTransaksjonBase::loadBelopspost1(std::string line) {
    // Read the fields first, so that a bad line changes nothing. The amount
    // is read as the return files' amounts are (blanks around it do no
    // harm) and must be a whole number of øre, or not given yet: totals
    // counted from half an amount would send the bank a transmission that
    // does not add up.
    const TBBSItem probe(line);
    const std::optional<Date> due = probe.GetDate(16, 21);
    const std::string_view amountField = probe.RawField(33, 49);
    const Money amount =
        trimBlanks(amountField).empty() ? Money() : readOcrAmountField(amountField);
    if (amount.ore() < 0 || trimBlanks(amountField).find_first_of(",.") != std::string_view::npos)
        throw FormatError("Ugyldig beløp «" + probe.GetField(33, 49) + "»");
    changing([&] {
        item1_->SetLine(std::move(line));
        due_ = due;
        amount_ = amount;
    });
}

// ---- TBBSTransaksjon -------------------------------------------------------

void TBBSTransaksjon::SetTransaksjonsnr(int number) {
    TBBSTransaksjonBase::SetTransaksjonsnr(number);
    for (int i = 0; i < spesifikasjoner_.Count(); ++i)
        spesifikasjoner_.Items(i).SetTransaksjonsnr(number);
}

void TBBSTransaksjon::SetSpesifikasjon(std::vector<std::string> lines) {
    changing([&] {
        spesifikasjoner_.Clear();
        lines_.clear();
        if (lines.size() > static_cast<std::size_t>(kMaxSpesifikasjonslinjer))
            throw FormatError("Avtalegirospesifikasjon kan ikke overstige 42 linjer");
        lines_ = std::move(lines);
        rebuildSpesifikasjon();
    });
}

void TBBSTransaksjon::SetSpesifikasjonTekst(std::string_view text) {
    SetSpesifikasjon(splitTextLines(text));
}

void TBBSTransaksjon::AddSpesifikasjonslinje(std::string line) {
    std::vector<std::string> lines = lines_;
    lines.push_back(std::move(line));
    SetSpesifikasjon(std::move(lines));
}

void TBBSTransaksjon::rebuildSpesifikasjon() {
    const std::vector<std::u32string> aligned = alignNoticeTabs(lines_);
    const std::string service = Belopspost1().Tjenestekode();
    const std::string type = Belopspost1().Type();
    const int number = static_cast<int>(Belopspost1().Transaksjonsnr());
    for (std::size_t i = 0; i < aligned.size(); ++i) {
        const std::u32string& line = aligned[i];
        // Characters 1–40 are column 1, 41–80 column 2; the rest is dropped.
        for (std::size_t column = 0; column < 2; ++column) {
            if (line.size() <= column * 40) break;
            auto record = makeSpesifikasjon(service, type);
            record->SetTransaksjonsnr(number);
            record->SetLinjenr(static_cast<int>(i + 1));
            record->SetKolonne(static_cast<int>(column + 1));
            record->SetTekst(fromU32(line.substr(column * 40, 40)));
            spesifikasjoner_.Add(std::move(record));
        }
    }
}

void TBBSTransaksjon::loadSpesifikasjon(std::unique_ptr<TBBSSpesifikasjon> record) {
    changing([&] { spesifikasjoner_.Add(std::move(record)); });
}

void TBBSTransaksjon::SetEgetVarsel(bool own) {
    if (HarEgetVarsel() == own) return;
    const std::string_view type = own ? "02" : "21";
    item1().SetType(type);
    item2().SetType(type);
    for (int i = 0; i < spesifikasjoner_.Count(); ++i) spesifikasjoner_.Items(i).SetType(type);
}

void TBBSTransaksjon::AppendLines(std::string& out) const {
    TBBSTransaksjonBase::AppendLines(out);
    AppendAddressLines(out);
    for (int i = 0; i < spesifikasjoner_.Count(); ++i)
        appendRecordLine(out, spesifikasjoner_.Items(i));
}

// ---- The three kinds -------------------------------------------------------

TBBSBetaling::TBBSBetaling(TransactionKey, TBBSOppdrag& owner)
    : TBBSTransaksjon(owner, std::make_unique<TBBSBetaling1>(), std::make_unique<TBBSBetaling2>()) {
}

TBBSSletting::TBBSSletting(TransactionKey, TBBSOppdrag& owner)
    : TBBSTransaksjonBase(owner, std::make_unique<TBBSSlett1>(), std::make_unique<TBBSSlett2>()) {}

TBBSRemittering::TBBSRemittering(TransactionKey, TBBSOppdrag& owner)
    : TBBSTransaksjon(owner, std::make_unique<TBBSRemittering1>(),
                      std::make_unique<TBBSRemittering2>()) {}

void TBBSRemittering::SetTransaksjonsnr(int number) {
    TBBSTransaksjon::SetTransaksjonsnr(number);
    address1_.SetTransaksjonsnr(number);
    address2_.SetTransaksjonsnr(number);
}

void TBBSRemittering::SetNavn(std::string_view fullName) {
    TBBSTransaksjon::SetNavn(fullName);
    address1_.SetNavn(fullName);
}

void TBBSRemittering::AppendAddressLines(std::string& out) const {
    appendRecordLine(out, address1_);
    appendRecordLine(out, address2_);
}

// ---- Text helpers ----------------------------------------------------------

std::vector<std::u32string> alignNoticeTabs(const std::vector<std::string>& lines) {
    std::vector<std::u32string> result;
    result.reserve(lines.size());
    std::size_t widestLead = 0;  // P: largest position of a first tab (1-based)
    std::size_t widestTail = 0;  // T: largest length from the first tab to the end
    for (const std::string& line : lines) {
        result.push_back(toU32(line));
        const std::u32string& u = result.back();
        const std::size_t tab = u.find(U'\t');
        if (tab == std::u32string::npos) continue;
        widestLead = std::max(widestLead, tab + 1);
        widestTail = std::max(widestTail, u.size() - tab);
    }
    for (std::u32string& u : result) {
        const std::size_t tab = u.find(U'\t');
        if (tab == std::u32string::npos) continue;
        u[tab] = U' ';
        const std::size_t target = widestLead + 1 + widestTail;
        if (u.size() < target) u.insert(tab, target - u.size(), U' ');
        std::replace(u.begin(), u.end(), U'\t', U' ');
    }
    return result;
}

std::vector<std::string> splitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

}  // namespace lagrull::clearing
