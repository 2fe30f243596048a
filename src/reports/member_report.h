#pragma once
// The member reports on the banded report engine: the member list, the
// user-defined report and the label sheet, their rows (the report query
// with the computed fields, and each member's relations), and the separated
// text file a list or user-defined report is written to instead.
//
// Invariants:
// - Rows are streamed from the query: one row and one relation cursor are
//   held at a time, never the result, so 100,000 members print in flat
//   memory.
// - A field of a table that is not joined (claims, relations) reads empty.
// - Every line of the separated file ends with the separator and CR LF; the
//   file has no header line.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "reports/engine/report_layout.h"
#include "reports/engine/report_source.h"
#include "reports/print_settings.h"
#include "reports/report_catalogue.h"

namespace lagrull::data {
class TDatabase;
class TOrvCursor;
class TOrvQuery;
}  // namespace lagrull::data

namespace lagrull::reports {

enum class TRappKind { EgenDefinert = 0, Medlemsliste = 1, Etiketter = 2 };
enum class TLabelNameOrder { EtternavnFornavn = 0, FornavnEtternavn = 1 };

inline constexpr int kEgenDefRows = 10;

// One column of the user-defined report: a catalogue field at a position
// (percent of the band width).
struct TReportColumn {
    TEgenDefField field;
    int position = 0;
};

struct TMemberReportSpec {
    TRappKind kind = TRappKind::Medlemsliste;
    RegisterKind registerKind = RegisterKind::Members;
    std::string orgNavn;
    int fontSize = kDefaultReportFontSize;
    TPrintSettings settings;
    bool medRelasjoner = false;
    bool medMedlemsnr = true;
    TLabelNameOrder nameOrder = TLabelNameOrder::EtternavnFornavn;
    std::array<TReportColumn, kEgenDefRows> columns;  // kind 0; empty field: no column
};

// "Medlemsregister for " (tenants "Leietakere ") and the organisation.
std::string MemberReportTitle(RegisterKind kind, const std::string& orgNavn);
// The layout of the report; `rows` is the count "Antall :" shows.
report::ReportLayout MemberReportLayout(const TMemberReportSpec& job, long long rows);
// The report data set's fields the separated file writes, in order.
std::vector<std::string> TextFileFields(const TMemberReportSpec& job);

// The rows of the report query. Field names as the report data set has
// them (MEDLNR, NAVN, MASKDATO, BETMAATE, KID, MASKBELOP, ...), any case.
class TMemberReportRows : public report::TReportRowSource {
public:
    // `claims`/`relations`: whether the query joins them. `withRelations`:
    // each member's relations are the child rows.
    TMemberReportRows(data::TOrvQuery& query, bool claims, bool relations,
                      TLabelNameOrder nameOrder, bool withRelations);
    ~TMemberReportRows() override;

    bool next() override;
    void rewind() override;
    std::string text(std::string_view field) const override;
    report::TReportRowSource* children() override;
    // The rows of the query, counted by a pass of their own.
    long long count();

    enum class Field;

private:
    std::string column(Field f) const;
    std::string nameText() const;

    data::TOrvQuery& query_;
    data::TDatabase& db_;
    bool claims_, relations_;
    TLabelNameOrder nameOrder_;
    bool withRelations_;
    std::unique_ptr<data::TOrvCursor> cursor_;
    std::unordered_map<int, int> columns_;  // Field → column of the cursor
    class Relations;
    std::unique_ptr<Relations> children_;
};

// Writes the separated text file of the report; `progress` gets the
// percentage at every multiple of 5 and stops the writing ("Avbryt") by
// returning false. Returns the lines written. Throws FileError when the file
// cannot be created or written.
long long WriteSeparatedFile(TMemberReportRows& rows, const std::vector<std::string>& fields,
                             char separator, long long total, const std::string& file,
                             const std::function<bool(int percent)>& progress = {});

}  // namespace lagrull::reports
