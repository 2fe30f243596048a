// lagrul-cli init, sql and reindex: the data store from the command line.
#include <algorithm>
#include <ostream>

#include "cli/command.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"

namespace lagrull::cli {

namespace {

using data::DataStore;
using data::TOrvTable;

std::vector<TOrvTable*> allTables(data::RegisterTables& t) {
    return {&t.CpTab,    &t.KontTable, &t.BetTable, &t.tbRelReg, &t.tbRelRegStandard,
            &t.OrgTable, &t.MedlTable};
}

long long rowCount(data::TDatabase& db, const TOrvTable& table) {
    data::Statement s = db.prepare("SELECT count(*) FROM " + data::quoteName(table.baseName()));
    s.step();
    return s.columnInt(0);
}

int runInit(Context& c) {
    if (!c.args.empty()) throw UsageError{"init tar ingen argumenter"};
    DataStore store(c.ui);
    store.start();
    for (TOrvTable* t : allTables(store.tables()))
        c.out << t->tableName() << '\t' << t->fieldDefs().size() << '\t'
              << rowCount(store.dbLocal(), *t) << '\n';
    return 0;
}

// A value given on the command line: a whole number in its plain form is an
// integer, anything else a text.
data::Value parameterValue(const std::string& text) {
    const std::size_t digits = text.size() - (text.rfind('-', 0) == 0 ? 1 : 0);
    const bool plain =
        digits > 0 && digits <= 18 &&
        text.find_first_not_of("0123456789", text.size() - digits) == std::string::npos &&
        (digits == 1 || text[text.size() - digits] != '0');
    if (plain) return data::Value(static_cast<std::int64_t>(std::stoll(text)));
    return data::Value(text);
}

int runSql(Context& c) {
    if (c.args.empty()) throw UsageError{"sql trenger en SQL-tekst"};
    DataStore store(c.ui);
    store.registerDatabase();
    data::TOrvQuery q(store.dbLocal());
    q.setSql(c.args[0]);
    if (c.args.size() > 1) throw UsageError{"ukjent argument: " + c.args[1]};
    for (const std::string& p : c.options.values("param")) {
        const std::size_t eq = p.find('=');
        if (eq == std::string::npos || eq == 0) throw UsageError{"--param trenger navn=verdi"};
        q.setParam(p.substr(0, eq), parameterValue(p.substr(eq + 1)));
    }
    if (!q.returnsRows()) {
        c.out << q.execSQL() << '\n';
        return 0;
    }
    q.open();
    for (int f = 0; f < q.fieldCount(); ++f) c.out << (f ? "\t" : "") << q.field(f).name;
    c.out << '\n';
    for (; !q.eof(); q.next()) {
        for (int f = 0; f < q.fieldCount(); ++f)
            c.out << (f ? "\t" : "") << data::FieldText(q, q.field(f).name);
        c.out << '\n';
    }
    return 0;
}

int runReindex(Context& c) {
    if (!c.args.empty()) throw UsageError{"reindex tar ingen argumenter"};
    DataStore store(c.ui);
    store.start();
    const std::vector<std::string> failed = store.appDbMng().Reindex(store.tables());
    for (TOrvTable* t : allTables(store.tables())) {
        const bool bad = std::find(failed.begin(), failed.end(), t->tableName()) != failed.end();
        c.out << t->tableName() << '\t' << (bad ? "feil" : "ok") << '\n';
    }
    return failed.empty() ? 0 : 1;
}

}  // namespace

void addDataCommands(Commands& commands) {
    commands.add({"init",
                  "init                       oppretter, reparerer og oppgraderer tabellene",
                  runInit});
    commands.add({"sql",
                  "sql TEKST [--param navn=verdi]...  kjører en SQL-setning",
                  runSql,
                  {{"param", OptionKind::Repeated}}});
    commands.add({"reindex", "reindex                    bygger indeksene i alle tabellene på nytt",
                  runReindex});
}

}  // namespace lagrull::cli
