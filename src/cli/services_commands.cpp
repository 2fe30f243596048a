// lagrul-cli postnr: the postal place of a postal number.
#include <ostream>

#include "cli/command.h"
#include "services/postnr.h"

namespace lagrull::cli {

void addServicesCommands(Commands& commands) {
    commands.add({"postnr", "postnr POSTNUMMER            poststedet (tom linje når ukjent)",
                  [](Context& c) {
                      if (c.args.size() != 1) throw UsageError{"postnr trenger ett postnummer"};
                      c.out << postalRegister().lookUpPlace(c.args[0]) << '\n';
                      return 0;
                  }});
}

}  // namespace lagrull::cli
