// lagrul-cli utvalg: the members a selection yields, built by the same
// criteria logic and wizard as the selection-criteria window. Prints the SQL
// text, one line per parameter (":name type value") and one line per row
// (MEDLNR, ENAVN, FORNAVN, tab-separated).
#include <ostream>

#include "cli/command.h"
#include "cli/register_session.h"
#include "cli/selection_options.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "reports/member_selection.h"

namespace lagrull::cli {

namespace {

int runUtvalg(Context& c) {
    if (!c.args.empty()) throw UsageError{"utvalg tar ingen argumenter."};
    RegisterSession session(c);
    data::DataStore& store = session.store;
    data::RegisterTables& t = session.tables();

    ConsoleSelectionSteps steps(c.options);
    reports::TMedlemsutvalg selection(steps, store.dbMng(), t.OrgTable, t.MedlTable);
    if (!selection.Execute()) return 1;
    data::TOrvQuery query(store.dbLocal());
    selection.PrepareQuery(query);
    query.open();

    c.out << selection.BuildSql() << '\n';
    const reports::TQueryParamList& params = selection.Params();
    for (int i = 0; i < params.Count(); ++i)
        c.out << ':' << params.Items(i).Name << ' ' << params.Items(i).Type << ' '
              << params.Items(i).Value << '\n';
    for (; !query.eof(); query.next())
        c.out << data::FieldText(query, "medlnr") << '\t' << data::FieldText(query, "enavn") << '\t'
              << data::FieldText(query, "fornavn") << '\n';
    return 0;
}

}  // namespace

void addReportsCommands(Commands& commands) {
    commands.add({"utvalg", std::string("utvalg ") + kSelectionUsage + "  medlemmene et utvalg gir",
                  runUtvalg, withSelectionOptions({})});
}

}  // namespace lagrull::cli
