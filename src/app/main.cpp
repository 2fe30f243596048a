// lagrul: the register's GUI program. The start-up order: the modules'
// initialisation (year window, application data directory, settings, log),
// the application title, the main window, then the message loop.
#include <clocale>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "common/app_paths.h"
#include "common/error.h"
#include "common/settings_keys.h"
#include "common/startup.h"
#include "common/ui/qt_ui.h"

using namespace lagrull;

int main(int argc, char** argv) {
    QtUi ui;
    Application app(argc, argv, ui);
    // Number texts are ours to format; Qt set the C library's locale.
    std::setlocale(LC_NUMERIC, "C");
    try {
        startModules(std::vector<std::string>(argv + 1, argv + argc), ui);
        recordProgramDirectory("lagrul");
        MainWindow window(registerKindSetting(settingsFilePath()));
        window.show();
        return app.exec();
    } catch (...) {
        showException(ui, std::current_exception());
        return EXIT_FAILURE;
    }
}
