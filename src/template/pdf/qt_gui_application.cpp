#include "template/pdf/qt_gui_application.h"

#include <cstdlib>
#include <memory>

#include <QGuiApplication>

#include "common/log.h"

namespace lagrull {

namespace {

// Qt's own remarks go to the log, not into a command's output.
void toLog(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (appLog().enabled()) appLog().writeLine("Qt: " + message.toStdString());
}

}  // namespace

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    qInstallMessageHandler(toLog);
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "lagrull";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace lagrull
