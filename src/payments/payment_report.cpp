#include "payments/payment_report.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "common/dates.h"
#include "common/error.h"
#include "common/file_names.h"
#include "common/mask.h"
#include "common/text_codec.h"
#include "common/ui.h"

namespace lagrull {

namespace {

using report::Align;
using report::ReportItem;

constexpr const char* kAmountMask = "###,##0.00";
constexpr double kLabelWidth = 24;

// "1234.50": a field value the report reads back as a number.
std::string plainAmount(Money m) {
    const std::int64_t ore = m.ore() < 0 ? -m.ore() : m.ore();
    const std::string cents = std::to_string(ore % 100);
    return (m.ore() < 0 ? "-" : "") + std::to_string(ore / 100) + "." +
           (cents.size() == 1 ? "0" : "") + cents;
}

// A heading label with ": value" after it, at a height of the page header.
void headerLine(report::ReportBand& band, const std::string& label, const std::string& value,
                double top) {
    band.items.push_back(ReportItem::label(label, 0, top, kLabelWidth));
    band.items.push_back(ReportItem::label(": " + value, kLabelWidth, top, 110));
}

struct Column {
    const char* header;
    const char* field;
    double x;  // left edge, or right edge when right-aligned
    double width;
    bool amount;
};

void addColumns(report::ReportLayout& l, const std::vector<Column>& columns) {
    for (const Column& c : columns) {
        const Align align = c.amount ? Align::Right : Align::Left;
        l.pageHeader.items.push_back(ReportItem::label(c.header, c.x, 17.7, c.width, align));
        l.detail.items.push_back(
            ReportItem::data(c.field, c.x, 0.6, c.width, align, c.amount ? kAmountMask : ""));
    }
}

}  // namespace

std::string paymentStatusText(PaymentStatus status) {
    switch (status) {
        case PaymentStatus::Betalt: return "Betalt";
        case PaymentStatus::IkkeBetalt: return "Ikke betalt";
        case PaymentStatus::Alle: break;
    }
    return "< Alle >";
}

report::ReportLayout paymentReportLayout(const TPaymentRegistration& window, int fontSize) {
    report::ReportLayout l;
    l.title = "Innbetaling";
    l.pageHeader.height = 22.8;
    l.detail.height = 6.35;
    const bool tenancy = window.registerKind() == 1;
    const bool dateView = window.view() == PaymentView::PerDueDate;
    const bool account = dateView && window.columnVisible(PaymentColumn::Kontonr);
    if (dateView) {
        headerLine(l.pageHeader, "Organisasjon", window.orgNavn(), 1.1);
        headerLine(l.pageHeader, "Forfallsdato", window.dueDate(), 5.8);
        headerLine(l.pageHeader, "Bet.status", paymentStatusText(window.status()), 10.6);
    } else {
        std::string name;
        const std::string key = window.memberNr() + "=";
        for (const std::string& m : window.memberList())
            if (m.rfind(key, 0) == 0) name = m.substr(key.size());
        headerLine(l.pageHeader, "Navn", name, 1.1);
        headerLine(l.pageHeader, tenancy ? "Leietakernr" : "Medlemsnr", window.memberNr(), 5.8);
    }
    l.pageHeader.items.push_back(ReportItem::systemField(report::SystemValue::PrintDateTime, "",
                                                         190, 1.1, 50, Align::Right));
    l.pageHeader.items.push_back(ReportItem::systemField(report::SystemValue::PageNumber, "Side ",
                                                         190, 5.8, 30, Align::Right));
    l.pageHeader.items.push_back(ReportItem::line(0, 22.3, 190, 22.3));

    double sumLabel = 116.4;
    if (!dateView) {
        addColumns(l, {{"Dato", "MASKFORFDATO", 0, 19, false},
                       {"Tekst", "TEKST", 19.3, 57, false},
                       {"KID", "KID", 76.7, 39, false},
                       {"BBS dato", "MASKDATO", 116.4, 20, false},
                       {"Beløp", "BELOP", 150.0, 18, true},
                       {"Rest", "DIFFERANSEBELOP", 168.0, 17, true},
                       {"Bet.beløp", "BETBELOP", 190.0, 18, true}});
    } else if (account) {
        // The account number takes the BBS date's place; KID and the paid
        // amount move off the page, and the sums go.
        addColumns(l, {{tenancy ? "Kundenr" : "Medlemsnr", "IDNR", 0, 21, false},
                       {"Navn", "NAVN", 22.0, 62, false},
                       {"Beløp", "BELOP", 115.0, 30, true},
                       {"Kontonummer", "MASKBANKKONTO", 119.1, 30, false},
                       {"Rest", "DIFFERANSEBELOP", 170.4, 18, true}});
        l.setFontSize(fontSize);
        return l;
    } else {
        sumLabel = 119.1;
        addColumns(l, {{tenancy ? "Kundenr" : "Medlemsnr", "IDNR", 0, 21, false},
                       {"Navn", "NAVN", 22.0, 58, false},
                       {"KID", "KID", 80.7, 38, false},
                       {"BBS dato", "MASKDATO", 119.1, 20, false},
                       {"Beløp", "BELOP", 151.6, 18, true},
                       {"Rest", "DIFFERANSEBELOP", 170.4, 18, true},
                       {"Bet.beløp", "BETBELOP", 190.0, 18, true}});
    }
    report::ReportBand closing;
    closing.height = 15.6;
    const double belop = dateView ? 151.6 : 150.0, rest = dateView ? 170.4 : 168.0;
    closing.items = {
        ReportItem::line(sumLabel, 0.5, 190, 0.5),
        ReportItem::label("Sum :", sumLabel, 1.3, 20),
        ReportItem::sum("BELOP", belop, 1.3, 18, kAmountMask),
        ReportItem::sum("DIFFERANSEBELOP", rest, 1.3, 18, kAmountMask),
        ReportItem::sum("BETBELOP", 190.0, 1.3, 18, kAmountMask),
        ReportItem::label(
            dateView ? "Skyldig(-)/Tilgode(+) :" : "Skyldig (-)/Tilgode(+) :", sumLabel, 7.7, 50),
        ReportItem::sum("TOTBELOP", 190.0, 7.7, 18, kAmountMask),
    };
    l.closing = closing;
    l.setFontSize(fontSize);
    return l;
}

TPaymentReportRows::TPaymentReportRows(data::TOrvQuery& selectQuery) : query_(selectQuery) {
    rewind();
}

void TPaymentReportRows::rewind() {
    reader_.reset();
    cursor_ = std::make_unique<data::TOrvCursor>(query_);
    reader_ = std::make_unique<TPaymentRowReader>(*cursor_);
}

bool TPaymentReportRows::next() {
    if (!cursor_->next()) return false;
    row_ = reader_->read();
    return true;
}

std::string TPaymentReportRows::text(std::string_view field) const {
    // Field names are ASCII: compared without regard to case, without copies.
    const auto is = [field](std::string_view name) {
        return field.size() == name.size() &&
               std::equal(field.begin(), field.end(), name.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) == b;
               });
    };
    if (is("IDNR")) return row_.medlNr;
    if (is("NAVN")) return row_.navn;
    if (is("KID")) return row_.kid;
    if (is("TEKST")) return row_.tekst;
    if (is("MASKDATO")) return storedToShown(row_.betDato);
    if (is("MASKFORFDATO")) return storedToShown(row_.dato);
    if (is("MASKBANKKONTO")) return row_.text(PaymentColumn::Kontonr);
    if (is("BELOP")) return plainAmount(row_.krav);
    if (is("BETBELOP")) return plainAmount(row_.innbetalt);
    if (is("DIFFERANSEBELOP")) return plainAmount(row_.rest.value_or(Money()));
    if (is("TOTBELOP")) return plainAmount(row_.innbetalt - row_.krav);
    return {};
}

std::string paymentGridText(const TPaymentRegistration& window) {
    std::vector<PaymentColumn> shown;
    for (int c = 0; c < kPaymentColumnCount; ++c)
        if (window.columnVisible(static_cast<PaymentColumn>(c)))
            shown.push_back(static_cast<PaymentColumn>(c));
    std::string text;
    auto line = [&](auto cell) {
        for (std::size_t i = 0; i < shown.size(); ++i) text += (i ? "\t" : "") + cell(shown[i]);
        text += "\r\n";
    };
    line([&](PaymentColumn c) { return paymentColumnHeader(c, window.registerKind()); });
    for (const PaymentRow& r : window.rows()) line([&](PaymentColumn c) { return r.text(c); });
    return text;
}

void writePaymentGridFile(const TPaymentRegistration& window, const std::string& file) {
    // Through a temporary file: a failed write leaves no half file.
    writeFileBytes(file, paymentGridText(window));
}

std::optional<std::string> savePaymentGridFile(const TPaymentRegistration& window, Ui& ui) {
    auto file = ui.saveFileName({"Lagre som", "Tekstfil (*.txt)|*.txt", {}, {}});
    if (!file || file->empty()) return std::nullopt;
    if (std::filesystem::path(*file).extension().empty()) *file += ".txt";
    writePaymentGridFile(window, *file);
    return file;
}

}  // namespace lagrull
