#include "common/startup.h"

#include <algorithm>

#include "common/app_paths.h"
#include "common/log.h"
#include "common/text_codec.h"

namespace lagrull {

bool isStartupSwitch(const std::string& arg) {
    return isLogSwitch(arg) || (arg.size() >= 6 && upperCase(arg.substr(0, 6)) == "/PATH=");
}

void startModules(const std::vector<std::string>& args, Ui& ui) {
    // The two-digit-year window (1980-2079) is fixed in dates.h.
    setAppPaths(resolveAppPaths(PathInputs::fromEnvironment(args), ui));
    configureAppLog(std::any_of(args.begin(), args.end(), isLogSwitch));
}

}  // namespace lagrull
