// lagrul-cli hjelp: which help page a help topic opens in this register.
#include <charconv>
#include <ostream>

#include "cli/command.h"
#include "common/app_paths.h"
#include "common/help_topics.h"
#include "common/settings_keys.h"

namespace lagrull::cli {

namespace {

int topicArgument(const std::string& text) {
    int topic = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, topic);
    if (text.empty() || error != std::errc() || stop != end)
        throw UsageError{"hjelp trenger et emnenummer, ikke \"" + text + "\""};
    return topic;
}

}  // namespace

void addHelpCommands(Commands& commands) {
    commands.add({"hjelp",
                  "hjelp EMNE                   hjelpesiden et emne åpner (i mappen helpfiles)",
                  [](Context& c) {
                      if (c.args.size() != 1) throw UsageError{"hjelp trenger ett emnenummer"};
                      const int topic = topicArgument(c.args[0]);
                      const RegisterKind kind = registerKindSetting(settingsFilePath());
                      c.out << helpPageForTopic(helpDirectory(), kind, topic).reference() << '\n';
                      return 0;
                  }});
}

}  // namespace lagrull::cli
