#include "cli/options.h"

#include <algorithm>

#include "common/startup.h"

namespace lagrull::cli {

std::optional<std::string> ParsedOptions::value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end() || it->second.empty()) return std::nullopt;
    return it->second.back();
}

const std::vector<std::string>& ParsedOptions::values(const std::string& name) const {
    static const std::vector<std::string> none;
    const auto it = values_.find(name);
    return it == values_.end() ? none : it->second;
}

ParsedOptions parseOptions(const std::vector<std::string>& args, const OptionSpecs& specs) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            parsed.positional.insert(parsed.positional.end(), args.begin() + i + 1, args.end());
            break;
        }
        if (a.size() <= 2 || a.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(a);
            continue;
        }
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const auto job = std::find_if(specs.begin(), specs.end(),
                                      [&](const OptionSpec& s) { return s.name == name; });
        if (job == specs.end()) throw UsageError{"Ukjent valg --" + name + "."};
        auto& slot = parsed.values_[name];
        if (job->kind == OptionKind::Flag) {
            if (eq != std::string::npos) throw UsageError{"--" + name + " tar ingen verdi."};
            continue;
        }
        if (job->kind == OptionKind::Value && !slot.empty())
            throw UsageError{"--" + name + " er gitt mer enn én gang."};
        if (eq != std::string::npos) {
            slot.push_back(a.substr(eq + 1));
        } else {
            if (i + 1 >= args.size()) throw UsageError{"--" + name + " mangler verdi."};
            slot.push_back(args[++i]);
        }
    }
    return parsed;
}

GlobalOptions parseGlobalOptions(const std::vector<std::string>& args) {
    GlobalOptions global;
    for (const std::string& a : args) {
        if (a == "--yes")
            global.answer = ConsoleUi::Default::Yes;
        else if (a == "--no")
            global.answer = ConsoleUi::Default::No;
        else if (a.rfind("--input=", 0) == 0)
            global.inputs.push_back(a.substr(8));
        else if (!isStartupSwitch(a))
            global.rest.push_back(a);
    }
    return global;
}

}  // namespace lagrull::cli
