#include "app/application.h"

#include <cstdlib>

#include "common/error.h"
#include "common/ui/qt_translation.h"

namespace lagrull {

Application::Application(int& argc, char** argv, Ui& ui) : QApplication(argc, argv), ui_(ui) {
    // The application's title. Not a display name: Qt would append that to
    // every window caption, and the main window's caption is fixed.
    setApplicationName("Lagrull");
    setApplicationVersion(LAGRULL_VERSION);
    // Qt's own dialogs and buttons speak bokmål too.
    installNorwegianQtTranslations(*this);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (showException(ui_, std::current_exception())) std::exit(EXIT_FAILURE);
        return false;
    }
}

}  // namespace lagrull
