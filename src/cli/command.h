#pragma once
// lagrul-cli's subcommands. Each subsystem adds its commands in a file of its
// own (add*Commands); main() knows only the list.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/options.h"

namespace lagrull {
class Ui;
}

namespace lagrull::cli {

struct Context {
    std::vector<std::string> args;  // the command's positional arguments
    ParsedOptions options;          // its options, parsed against Command::options
    Ui& ui;
    std::ostream& out;
    std::ostream& err;
};

struct Command {
    std::string name;
    std::string usage;                 // one line, shown by --help
    std::function<int(Context&)> run;  // returns the exit status
    OptionSpecs options = {};          // the options it takes
};

class Commands {
public:
    void add(Command command) { commands_.push_back(std::move(command)); }
    const Command* find(const std::string& name) const;
    const std::vector<Command>& all() const { return commands_; }

private:
    std::vector<Command> commands_;
};

}  // namespace lagrull::cli
