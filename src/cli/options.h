#pragma once
// The one option parser of lagrul-cli. A command declares its options; main
// parses the command's arguments against them before the command runs, so
// every command reads its options the same way:
//   --name            a flag
//   --name value      an option with a value, also written --name=value
//   --name v --name w a repeated option keeps every value, in order
//   --                the arguments after it are positional, whatever they look like
// Anything else is positional ("-" alone, and "-5", are positional too).
// An unknown option, a missing value, a value given to a flag or a single
// option given twice is a UsageError (main prints the usage line, exit 2).
//
// The global options are parsed first, wherever they stand on the line:
// /path=DIR and LOGG (consumed by the start-up), --yes/--no and --input=TEXT.
// Only the "=" form of --input is global: "flett --input SVAR" is flett's own.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/console_ui.h"

namespace lagrull::cli {

// Thrown for wrong arguments: main prints the command's usage line, exit 2.
struct UsageError {
    std::string message;
};

enum class OptionKind { Flag, Value, Repeated };

struct OptionSpec {
    std::string name;  // without the leading "--"
    OptionKind kind = OptionKind::Value;
};

using OptionSpecs = std::vector<OptionSpec>;

class ParsedOptions {
public:
    std::vector<std::string> positional;

    bool has(const std::string& name) const { return values_.count(name) > 0; }
    // The value of a Value option; nullopt when not given.
    std::optional<std::string> value(const std::string& name) const;
    // Every value of a Repeated option, in order (empty when not given).
    const std::vector<std::string>& values(const std::string& name) const;

private:
    friend ParsedOptions parseOptions(const std::vector<std::string>&, const OptionSpecs&);
    std::map<std::string, std::vector<std::string>> values_;  // flags hold no value
};

// Throws UsageError as described above.
ParsedOptions parseOptions(const std::vector<std::string>& args, const OptionSpecs& specs);

struct GlobalOptions {
    ConsoleUi::Default answer = ConsoleUi::Default::None;
    std::deque<std::string> inputs;  // --input=TEXT, in order
    std::vector<std::string> rest;   // the command and its own arguments
};

GlobalOptions parseGlobalOptions(const std::vector<std::string>& args);

}  // namespace lagrull::cli
