#pragma once
// Where a report's rows come from. The engine reads them once, in order, and
// holds only the current row, so a report of 100,000 rows streams from a
// query; rewind() lets a preview lay the report out again for another page.

#include <memory>
#include <string>
#include <string_view>

namespace lagrull::report {

class TReportRowSource {
public:
    virtual ~TReportRowSource() = default;
    // Moves to the next row (the first one after rewind()); false at the end.
    virtual bool next() = 0;
    virtual void rewind() = 0;
    // The current row's value of a field as text; a number uses "." or "," as
    // its decimal point. An unknown field is "".
    virtual std::string text(std::string_view field) const = 0;
    // The child rows of the current row for the sub-detail band; nullptr for
    // none.
    virtual TReportRowSource* children() { return nullptr; }
};

}  // namespace lagrull::report
