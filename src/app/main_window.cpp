#include "app/main_window.h"

#include <QLabel>
#include <QStatusBar>

namespace lagrull {

std::string mainWindowCaption(const std::string& version, int registerKind) {
    return " L a g r u l l  " + version +
           (registerKind == 1 ? "  -  Husleieregister" : "  -  Medlemsregister");
}

MainWindow::MainWindow(int registerKind, QWidget* parent) : QMainWindow(parent) {
    setObjectName("TMainForm");
    setWindowTitle(QString::fromStdString(mainWindowCaption(LAGRULL_VERSION, registerKind)));
    auto* centre = new QLabel(this);  // owned by the window
    centre->setObjectName("laVelkommen");
    centre->setAlignment(Qt::AlignCenter);
    centre->setText(registerKind == 1 ? "Husleieregister" : "Medlemsregister");
    setCentralWidget(centre);
    statusBar();
    resize(900, 600);
}

}  // namespace lagrull
