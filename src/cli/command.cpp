#include "cli/command.h"

namespace lagrull::cli {

const Command* Commands::find(const std::string& name) const {
    for (const auto& c : commands_)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace lagrull::cli
