// lagrul-cli oppdatering --sjekk and supportpost: the online update's
// version check and the support mail as the menu entries run them. The
// console desktop opens nothing: it prints what it is handed.
#include <ostream>

#include "cli/command.h"
#include "common/app_paths.h"
#include "common/error.h"
#include "data/data_store.h"
#include "services/desktop.h"
#include "services/support_mail.h"
#include "services/version_update.h"

namespace lagrull::cli {

namespace {

class ConsoleDesktop : public TDesktop {
public:
    explicit ConsoleDesktop(std::ostream& out) : out_(out) {}
    bool OpenUrl(const std::string& url) override {
        out_ << "Åpner: " << url << '\n';
        return true;
    }
    bool PutFilesOnClipboard(const std::vector<std::string>& files) override {
        for (const std::string& f : files) out_ << "Utklippstavle: " << f << '\n';
        return true;
    }
    bool RunAndWait(const std::string& program) override {
        out_ << "Kjører: " << program << '\n';
        return true;
    }
    void Quit() override {}

private:
    std::ostream& out_;
};

TUpdateSetting updateSetting() {
    const AppPaths& p = appPaths();
    return {p.programDirectory, p.appDataDirectory, kBaseName,       p.settingsFile,
            p.userSettingsFile, p.tempDirectory,    LAGRULL_VERSION, {}};
}

int runOppdatering(Context& c) {
    if (!c.options.has("sjekk") || !c.args.empty()) throw UsageError{"oppdatering vil ha --sjekk."};
    ConsoleDesktop desktop(c.out);
    TVersionUpdate update(c.ui, desktop, updateSetting());
    if (!update.Installer) throw Error("Programmet kjenner ikke igjen applikasjonen.");
    c.out << "Kjørende versjon: " << LAGRULL_VERSION << '\n'
          << "Versjon på serveren: " << update.Installer->RemoteVersion() << '\n';
    return 0;
}

int runSupportpost(Context& c) {
    if (!c.args.empty()) throw UsageError{"supportpost tar ingen argumenter."};
    ConsoleDesktop desktop(c.out);
    const AppPaths& p = appPaths();
    TOrvSupportMail mail(c.ui, desktop, SupportAddress(p.settingsFile), "Lagrull", LAGRULL_VERSION,
                         p.tempDirectory);
    if (c.options.has("med-data")) {
        data::DataStore store(c.ui);
        store.registerDatabase();
        mail.AddDataFiles(store.dbLocal().path());
    }
    mail.Send();
    for (const std::string& archive : mail.Mail().Attached()) {
        c.out << "Vedlegg: " << archive << '\n';
        for (const std::string& name : ArchiveEntries(archive)) c.out << "  " << name << '\n';
    }
    return 0;
}

}  // namespace

void addUpdateCommands(Commands& commands) {
    commands.add({"oppdatering",
                  "oppdatering --sjekk  versjonen på serveren og den som kjører",
                  runOppdatering,
                  {{"sjekk", OptionKind::Flag}}});
    commands.add({"supportpost",
                  "supportpost [--med-data]  mailto-adressen til brukerstøtte, med registerets "
                  "filer pakket",
                  runSupportpost,
                  {{"med-data", OptionKind::Flag}}});
}

}  // namespace lagrull::cli
