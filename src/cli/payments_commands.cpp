// lagrul-cli kid, konto and maske: the KID, the account check and the masks.
#include <ostream>

#include "cli/command.h"
#include "common/app_paths.h"
#include "common/check_digits.h"
#include "common/mask.h"
#include "common/settings_keys.h"
#include "payments/kid.h"

namespace lagrull::cli {

void addPaymentsCommands(Commands& commands) {
    commands.add(
        {"kid", "kid ORGDEL MEDLNR DATO        KID-en for en kravdato (DDMMYYYY eller DD.MM.YYYY)",
         [](Context& c) {
             if (c.args.size() != 3) throw UsageError{"kid trenger tre argumenter"};
             c.out << MakeKid(c.args[0], c.args[1], c.args[2],
                              registerKindSetting(settingsFilePath()))
                   << '\n';
             return 0;
         }});
    commands.add(
        {"konto", "konto NUMMER                 sjekker et kontonummer (MOD11)", [](Context& c) {
             if (c.args.size() != 1) throw UsageError{"konto trenger ett kontonummer"};
             // The number as the window shows it ("1234.56.78903") or as stored.
             const Mask shown(maskOfKind(EditKind::mkAccount));
             std::string number = c.args[0];
             if (number.find('.') != std::string::npos && shown.show(shown.store(number)) == number)
                 number = shown.store(number);
             const bool ok = IsValidAccountNumber(number);
             c.out << (ok ? "gyldig" : "ugyldig") << '\n';
             return ok ? 0 : 1;
         }});
    commands.add(
        {"maske", "maske MASKE VERDI            vist og lagret form av en verdi", [](Context& c) {
             if (c.args.size() != 2) throw UsageError{"maske trenger maske og verdi"};
             const Mask mask(c.args[0]);
             c.out << "vist: " << mask.show(c.args[1]) << '\n'
                   << "lagret: " << mask.store(mask.show(c.args[1])) << '\n';
             return 0;
         }});
}

}  // namespace lagrull::cli
