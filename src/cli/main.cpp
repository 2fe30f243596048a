// lagrul-cli: the register's core operations for scripting, testing and
// support. Global options may stand anywhere on the line:
//   /path=DIR   application data directory (as for the GUI program)
//   LOGG        write the log file (also /LOGG, -logg, any case)
//   --yes/--no  how questions are answered; --input=TEXT answers input boxes
#include <iostream>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/options.h"
#include "common/error.h"
#include "common/startup.h"

using namespace lagrull;

namespace {

// A command's usage line is its syntax, two or more blanks, then what it does.
std::pair<std::string, std::string> splitUsage(const std::string& usage) {
    const std::size_t gap = usage.find("  ");
    if (gap == std::string::npos) return {usage, {}};
    const std::size_t text = usage.find_first_not_of(' ', gap);
    return {usage.substr(0, gap), text == std::string::npos ? std::string() : usage.substr(text)};
}

void printHelp(const cli::Commands& commands) {
    std::cout << "Bruk: lagrul-cli [/path=KATALOG] [LOGG] [--yes|--no] [--input=TEKST] "
                 "KOMMANDO [ARGUMENTER]\n\nKommandoer:\n";
    for (const auto& c : commands.all()) {
        const auto [syntax, what] = splitUsage(c.usage);
        std::string line = "  " + syntax;
        line.append(line.size() < 40 ? 40 - line.size() : 1, ' ');
        std::cout << line << what << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    cli::GlobalOptions global = cli::parseGlobalOptions(all);
    const std::vector<std::string>& rest = global.rest;
    cli::ConsoleUi ui(std::cerr, global.answer, std::move(global.inputs));

    cli::Commands commands;
    cli::addAllCommands(commands);
    if (rest.empty() || rest[0] == "--help" || rest[0] == "-h") {
        printHelp(commands);
        return rest.empty() ? 2 : 0;
    }
    if (rest[0] == "--version") {
        std::cout << LAGRULL_VERSION << '\n';
        return 0;
    }
    const cli::Command* command = commands.find(rest[0]);
    if (!command) {
        std::cerr << "Ukjent kommando: " << rest[0] << " (se lagrul-cli --help)\n";
        return 2;
    }
    try {
        cli::ParsedOptions options =
            cli::parseOptions({rest.begin() + 1, rest.end()}, command->options);
        startModules(all, ui);
        std::vector<std::string> positional = std::move(options.positional);
        cli::Context context{std::move(positional), std::move(options), ui, std::cout, std::cerr};
        return command->run(context);
    } catch (const cli::UsageError& e) {
        std::cerr << e.message << "\nBruk: lagrul-cli " << splitUsage(command->usage).first << '\n';
        return 2;
    } catch (...) {
        showException(ui, std::current_exception());
        return 1;
    }
}
