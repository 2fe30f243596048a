// lagrul-cli demo: fills an empty data directory with the demo register.
#include <charconv>
#include <ostream>

#include "cli/command.h"
#include "common/app_paths.h"
#include "common/settings_keys.h"
#include "data/data_store.h"
#include "services/demo_register.h"
#include "services/postnr.h"

namespace lagrull::cli {

namespace {

template <typename Number>
Number numberArgument(const std::string& option, const std::string& text, Number low, Number high) {
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        throw UsageError{option + " trenger et tall fra " + std::to_string(low) + " til " +
                         std::to_string(high) + ": " + text};
    return value;
}

demo::DemoOptions demoOptions(const std::vector<std::string>& args) {
    demo::DemoOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--krav") {
            options.claims = true;
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError{"ukjent argument: " + a};
        const std::string& value = args[++i];
        if (a == "--medlemmer")
            options.members = numberArgument<long long>(a, value, 0, 10'000'000);
        else if (a == "--organisasjoner")
            options.organisations = numberArgument<int>(a, value, 1, 997);
        else if (a == "--seed")
            options.seed = numberArgument<std::uint64_t>(a, value, 0, UINT64_MAX);
        else
            throw UsageError{"ukjent argument: " + a};
    }
    return options;
}

int runDemo(Context& c) {
    demo::DemoOptions options = demoOptions(c.args);
    options.registerKind = registerKindSetting(settingsFilePath());
    data::DataStore store(c.ui);
    store.start();
    const std::optional<demo::DemoCounts> counts =
        demo::makeDemoRegister(c.ui, store.dbLocal(), postalRegister(), options);
    if (!counts) return 1;
    c.out << "Organisasjoner\t" << counts->organisations << '\n'
          << "Kategorier\t" << counts->categories << '\n'
          << "Standardrelasjoner\t" << counts->standardRelations << '\n'
          << "Medlemmer\t" << counts->members << '\n'
          << "Relasjoner\t" << counts->relations << '\n'
          << "Betalingsposter\t" << counts->claims << '\n';
    return 0;
}

}  // namespace

void addDemoCommands(Commands& commands) {
    commands.add({"demo",
                  "demo [--medlemmer N] [--organisasjoner K] [--krav] [--seed S]  fyller et tomt "
                  "register med demodata (N medlemmer i alt)",
                  runDemo});
}

}  // namespace lagrull::cli
