#pragma once
// The payment report "Innbetaling" in its two layouts (per due date, per
// member), its rows streamed from the payment window's selection query, and
// the grid's text file ("Til fil").

#include <memory>
#include <optional>
#include <string>

#include "data/orv_query.h"
#include "payments/payment_registration.h"
#include "reports/engine/report_layout.h"
#include "reports/engine/report_source.h"

namespace lagrull {

// The report's layout for the window's current view, filters and visible
// columns, in the report font size.
report::ReportLayout paymentReportLayout(const TPaymentRegistration& window, int fontSize);

// The text of the status filter as "cbStatus" shows it.
std::string paymentStatusText(PaymentStatus status);

// The rows of the selection query as it was last loaded, one claim at a
// time: IDNR, NAVN, KID, TEKST, MASKDATO, MASKFORFDATO, MASKBANKKONTO and the
// amounts BELOP, BETBELOP, DIFFERANSEBELOP, TOTBELOP.
class TPaymentReportRows : public report::TReportRowSource {
public:
    explicit TPaymentReportRows(data::TOrvQuery& selectQuery);
    bool next() override;
    void rewind() override;
    std::string text(std::string_view field) const override;

private:
    data::TOrvQuery& query_;
    std::unique_ptr<data::TOrvCursor> cursor_;
    std::unique_ptr<TPaymentRowReader> reader_;
    PaymentRow row_;
};

// The grid as a tab-separated UTF-8 text: a line of the visible columns'
// headers, then one line per row with the values as shown.
std::string paymentGridText(const TPaymentRegistration& window);
// Writes it to a file; throws FileError when it cannot.
void writePaymentGridFile(const TPaymentRegistration& window, const std::string& file);
// "Til fil": asks for the file ("Tekstfil (*.txt)|*.txt", extension "txt")
// and writes it; the file written, or nullopt when the user cancelled.
std::optional<std::string> savePaymentGridFile(const TPaymentRegistration& window, Ui& ui);

}  // namespace lagrull
