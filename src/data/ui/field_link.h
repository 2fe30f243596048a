#pragma once
// FieldLink binds a widget to one field of a table object: the widget shows
// the current record's value and follows every move and change; what the
// user types is written to the record at once (the table goes into edit
// state, or into insert state when it has no rows), so a post never misses
// a field that still has the focus.

#include <functional>
#include <string>

#include "data/orv_table.h"

namespace lagrull {

class FieldLink {
public:
    FieldLink() = default;
    FieldLink(const FieldLink&) = delete;
    FieldLink& operator=(const FieldLink&) = delete;

    // `show` is called with the field's text whenever the widget must show
    // it anew (and with "" when there is no record).
    void bind(data::TOrvTable* table, std::string field,
              std::function<void(const std::string&)> show);
    void unbind();

    data::TOrvTable* table() const { return table_; }
    const std::string& field() const { return field_; }
    bool bound() const { return table_ != nullptr; }
    // The table is open and has a record to show (or one being inserted).
    bool hasRecord() const;

    std::string read() const;
    // Writes a text the user typed; false when there is nowhere to write it.
    bool write(const std::string& text);
    // The field's width for text fields (0: no limit or not a text).
    int width() const;

    void refresh();

private:
    data::TOrvTable* table_ = nullptr;
    std::string field_;
    std::function<void(const std::string&)> show_;
    data::Subscription subscription_;
    bool writing_ = false;
};

}  // namespace lagrull
