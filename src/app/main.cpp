// lagrul: the register's GUI program. The start-up order: the modules'
// initialisation (year window, application data directory, settings, log),
// the application title, the main window with the data store (the
// program's registry entry, an old per-user file moved, the tables opened),
// then the message loop. Before the process ends it waits until the clock
// has passed the last clearing-file numbers it issued.
#include <QTimer>
#include <clocale>
#include <vector>

#include "app/application.h"
#include "clearing/bbs_sequence.h"
#include "common/app_paths.h"
#include "common/error.h"
#include "common/settings_keys.h"
#include "common/startup.h"
#include "common/ui/qt_ui.h"
#include "data/data_store.h"
#include "register/ui/main_form.h"
#include "services/postnr.h"
#include "services/ui/update_form.h"
#include "services/version_update.h"

using namespace lagrull;

int main(int argc, char** argv) {
    QtUi ui;
    Application app(argc, argv, ui);
    // Number texts are ours to format; Qt set the C library's locale.
    std::setlocale(LC_NUMERIC, "C");
    int rc = EXIT_FAILURE;
    try {
        startModules(std::vector<std::string>(argv + 1, argv + argc), ui);
        recordProgramDirectory("lagrul");
        data::moveOldUserSettings(appPaths());
        setReportFontSize(reportFontSizeSetting(settingsFilePath()));
        data::DataStore store(ui);
        TMainFormLogic::prepareTables(store.tables());
        store.start();
        TMainForm window(store, ui, postalRegister());
        const AppPaths& paths = appPaths();
        TQtDesktop desktop;
        TVersionUpdate update(ui, desktop,
                              {paths.programDirectory,
                               paths.appDataDirectory,
                               kBaseName,
                               paths.settingsFile,
                               paths.userSettingsFile,
                               paths.tempDirectory,
                               LAGRULL_VERSION,
                               {}});
        TQtProgressForm download(&window);
        if (update.Installer) update.Installer->Progress = &download;
        window.setVersionUpdate(&update);
        window.show();
        window.offerOldRegisterWhenEmpty();
        // The main window's first activation runs the automatic check.
        QTimer::singleShot(0, &window, [&] {
            TformAutoUpdate question(store.appDbMng().RegisterKind(), &window);
            update.AutoCheck(question);
        });
        rc = app.exec();
    } catch (...) {
        showException(ui, std::current_exception());
    }
    clearing::waitForClearingNumbers();
    return rc;
}
