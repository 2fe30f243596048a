// lagrul-giro: the giro printer. It reads the giro export file the register
// writes and lays out one Norwegian OCR giro per record on an A4 sheet.
//
//   lagrul-giro [/path=DIR] FIL                 preview window
//   lagrul-giro FIL --pdf UT.pdf                PDF without a window
//   lagrul-giro FIL --skriver NAVN              printed without a window
//   lagrul-giro --testark [--pdf UT | --skriver NAVN]   calibration sheet
#include <cstdlib>
#include <iostream>
#include <memory>

#include <QApplication>

#include "cli/console_ui.h"
#include "common/error.h"
#include "common/log.h"
#include "common/startup.h"
#include "common/ui/qt_ui.h"
#include "giro_painter.h"
#include "giro_preview.h"

namespace {

using namespace lagrull;

struct Options {
    std::string file, pdf, printer;
    bool printerGiven = false;
    bool testSheet = false;
    std::vector<std::string> startup;
};

void usage() {
    std::cerr << "Bruk: lagrul-giro [/path=KATALOG] GIROFIL [--pdf UT.pdf | --skriver NAVN]\n"
                 "      lagrul-giro --testark [--pdf UT.pdf | --skriver NAVN]\n";
}

// nullopt-like: false on a usage error.
bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (isStartupSwitch(a)) {
            o.startup.push_back(a);
        } else if (a == "--pdf" && i + 1 < argc) {
            o.pdf = argv[++i];
        } else if (a == "--skriver" && i + 1 < argc) {
            o.printer = argv[++i];
            o.printerGiven = true;
        } else if (a == "--testark") {
            o.testSheet = true;
        } else if (a.rfind("--", 0) != 0 && o.file.empty()) {
            o.file = a;
        } else {
            return false;
        }
    }
    return (o.testSheet != !o.file.empty()) && !(o.printerGiven && !o.pdf.empty());
}

GiroSheets sheets(const Options& o) {
    if (o.testSheet) return {layoutTestSheet()};
    GiroSheets out;
    for (const GiroRecord& giro : readGiroFile(o.file)) out.push_back(layoutGiro(giro));
    return out;
}

// Qt's own remarks go to the log, not into the output of a run without a
// window.
void toLog(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (appLog().enabled()) appLog().writeLine("Qt: " + message.toStdString());
}

int withoutWindow(int argc, char** argv, const Options& o) {
    qInstallMessageHandler(toLog);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    cli::ConsoleUi ui(std::cerr, cli::ConsoleUi::Default::No, {});
    try {
        startModules(o.startup, ui);
        const GiroSheets s = sheets(o);
        if (!o.pdf.empty())
            writeGiroPdf(QString::fromStdString(o.pdf), s);
        else
            printGiros(o.printer, s);
        std::cout << s.size() << (o.testSheet ? " testark" : " giroer") << '\n';
        return 0;
    } catch (const Error& e) {
        ui.error(e.what());
        return 1;
    }
}

int withWindow(int argc, char** argv, const Options& o) {
    QApplication app(argc, argv);
    QtUi ui;
    try {
        startModules(o.startup, ui);
        const GiroSheets s = sheets(o);
        const QString title = o.testSheet
                                  ? QStringLiteral("Giroutskrift – testark")
                                  : QStringLiteral("Giroutskrift – %1 giroer").arg(s.size());
        TGiroPreview preview(s, title, ui);
        preview.exec();
        return 0;
    } catch (const Error& e) {
        ui.error(e.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    if (!o.pdf.empty() || o.printerGiven) return withoutWindow(argc, argv, o);
    return withWindow(argc, argv, o);
}
