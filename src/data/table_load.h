#pragma once
// TTableLoad: fills one table of the register with rows read from an older
// register's files, in the layout they come in, and then brings the table to
// its definition through the same upgrade an older table gets at start (so
// an old member table gets NMEDLNR and four-digit years exactly as an
// upgrade would give them).
//
// Invariants:
// - The caller holds a Transaction around the whole load: the register holds
//   all of it or none of it.
// - A row is stored whole or not at all; a refused row leaves no trace.
// - When the layout already is the definition, or the upgrade would only
//   copy it by name (no conversion; every field of the layout is in the
//   definition with its type and at least its width), the rows go straight
//   into a table of the definition: the result is the upgrade's, without its
//   two copies. The secondary indexes are made once, after the rows are in.

#include <string>
#include <vector>

#include "data/db_manager.h"
#include "data/table_def.h"
#include "data/value.h"

namespace lagrull::data {

class TTableLoad {
public:
    // Replaces the table of `def` by an empty one of `layout` (its key
    // fields first and marked PrimaryKey).
    // `convert` is the upgrade's conversion of the table.
    TTableLoad(TOrvDbMng& mng, TDatabase& db, const TTableDef& def, std::vector<TFieldInfo> layout,
               ConvertCallback convert = {});
    TTableLoad(const TTableLoad&) = delete;
    TTableLoad& operator=(const TTableLoad&) = delete;

    // Stores one row, its values in layout order. Throws EDatabaseError when
    // the engine refuses it (a key that is there already); then nothing of
    // the row is stored.
    void add(const std::vector<Value>& values);

    // True when the rows need the upgrade to reach the definition.
    bool needsUpgrade() const { return upgrade_; }
    // Ends the load: the secondary indexes, or the upgrade. Throws Error
    // when the upgrade fails.
    RestructureResult finish();

private:
    TOrvDbMng& mng_;
    TDatabase& db_;
    const TTableDef& def_;
    std::vector<TFieldInfo> layout_;
    ConvertCallback convert_;
    std::vector<bool> isText_;  // per layout field
    bool upgrade_ = false;
    std::string insertSql_;
};

// True when `layout` has the fields of `def` (names, types, widths of texts
// and key fields), in the same order.
bool sameFields(const std::vector<TFieldInfo>& layout, const TTableDef& def);
// True when an upgrade without conversion would only copy `layout`'s rows by
// name: each of its fields is in `def` with the same type, at least the same
// width and the same key part, and every key field of `def` is in it.
bool copiesByNameOnly(const std::vector<TFieldInfo>& layout, const TTableDef& def);

// Writes a consistent copy of the whole register to `file` (which must not
// exist); a copy cut off halfway never appears under that name.
void copyRegisterTo(TDatabase& db, const std::string& file);

}  // namespace lagrull::data
