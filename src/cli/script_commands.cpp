// lagrul-cli uttrykk and skript: the template commands' arithmetic and the
// field computer's script expressions, for trying formulas by hand.
#include <charconv>
#include <map>
#include <ostream>

#include "cli/command.h"
#include "script/active_script_site.h"
#include "script/expression.h"

namespace lagrull::cli {

namespace {

// The shortest decimal text that reads back as the same double.
std::string shortestText(double value) {
    if (value == 0) value = 0;  // no "-0"
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

int runExpression(Context& c) {
    if (c.args.empty()) throw UsageError{"Mangler uttrykket"};
    // NAVN=VERDI arguments give names their values (which may be formulas).
    std::map<std::string, std::string> values;
    for (std::size_t i = 1; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        const std::size_t eq = a.find('=');
        if (eq == std::string::npos || eq == 0)
            throw UsageError{"Navneverdier skrives NAVN=VERDI: " + a};
        values[TExpressionLL::prepare(a.substr(0, eq))] = a.substr(eq + 1);
    }
    TExpression expression(c.args[0]);
    expression.setValueGetter([&values](const std::string& name) {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    });
    try {
        c.out << shortestText(expression.evaluate()) << '\n';
    } catch (const Error& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    return 0;
}

int runScript(Context& c) {
    const bool execute = c.options.has("kjor");
    const bool safe = !c.options.has("usikker");
    const std::vector<std::string>& texts = c.args;
    if (texts.size() != 1) throw UsageError{"Skriv ett uttrykk eller ett skript"};
    TActiveScriptSite site;
    site.setSafeMode(safe);
    try {
        if (execute)
            c.out << scriptValueText(site.execute(site.language(), texts[0])).value_or("(objekt)")
                  << '\n';
        else
            c.out << site.evaluate(texts[0]) << '\n';
    } catch (const Error& e) {
        c.err << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

void addScriptCommands(Commands& commands) {
    commands.add(
        {"uttrykk", "uttrykk TEKST [NAVN=VERDI]... verdien av et regneuttrykk", runExpression});
    commands.add({"skript",
                  "skript [--kjor] [--usikker] TEKST  skriptuttrykk (--kjor: skript, "
                  "--usikker: uten sikker modus)",
                  runScript,
                  {{"kjor", OptionKind::Flag}, {"usikker", OptionKind::Flag}}});
}

}  // namespace lagrull::cli
