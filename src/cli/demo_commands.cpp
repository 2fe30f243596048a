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

demo::DemoOptions demoOptions(const Context& c) {
    if (!c.args.empty()) throw UsageError{"ukjent argument: " + c.args[0]};
    demo::DemoOptions options;
    options.claims = c.options.has("krav");
    if (auto v = c.options.value("medlemmer"))
        options.members = numberArgument<long long>("--medlemmer", *v, 0, 10'000'000);
    if (auto v = c.options.value("organisasjoner"))
        options.organisations = numberArgument<int>("--organisasjoner", *v, 1, 997);
    if (auto v = c.options.value("seed"))
        options.seed = numberArgument<std::uint64_t>("--seed", *v, 0, UINT64_MAX);
    return options;
}

int runDemo(Context& c) {
    demo::DemoOptions options = demoOptions(c);
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
                  runDemo,
                  {{"medlemmer", OptionKind::Value},
                   {"organisasjoner", OptionKind::Value},
                   {"krav", OptionKind::Flag},
                   {"seed", OptionKind::Value}}});
}

}  // namespace lagrull::cli
