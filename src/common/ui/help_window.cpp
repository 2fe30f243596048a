#include "common/ui/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "common/error.h"
#include "common/ui/qt_ui.h"

namespace lagrull {

namespace {

QPointer<THelpWindow>& theWindow() {
    static QPointer<THelpWindow> window;
    return window;
}

QUrl pageUrl(const HelpPage& page) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.file.string()));
    if (!page.anchor.empty()) url.setFragment(QString::fromStdString(page.anchor));
    return url;
}

// A modal dialog blocks every window that is not its own, so help asked for
// inside one belongs to it; otherwise to the main window, which then frees
// it at the end of the run.
QWidget* helpOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w)) return w;
    return nullptr;
}

}  // namespace

THelpWindow::THelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("THelpWindow");
    setWindowTitle("Hjelp");
    // Closing ends the window; the next help request makes a new one.
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);  // owned by the window
    auto* buttons = new QHBoxLayout;
    btBack_ = new QPushButton("&Tilbake", this);
    btBack_->setObjectName("btTilbake");
    btForward_ = new QPushButton("&Frem", this);
    btForward_->setObjectName("btFrem");
    btContents_ = new QPushButton("&Innhold", this);
    btContents_->setObjectName("btInnhold");
    for (QPushButton* b : {btBack_, btForward_, btContents_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("Browser");
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);

    btBack_->setEnabled(false);
    btForward_->setEnabled(false);
    connect(btBack_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(btForward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(btContents_, &QPushButton::clicked, this,
            [this] { browser_->setSource(pageUrl(start_)); });
    connect(browser_, &QTextBrowser::backwardAvailable, btBack_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, btForward_, &QPushButton::setEnabled);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    resize(760, 620);
}

void THelpWindow::showPage(const HelpPage& page, const HelpPage& start) {
    start_ = start;
    browser_->setSource(pageUrl(page));
}

THelpWindow* showHelp(int topic, RegisterKind kind, const std::filesystem::path& helpDirectory,
                      Ui& ui) {
    HelpPage start, page;
    try {
        start = helpStartPage(helpDirectory, kind);
        page = helpPageForTopic(helpDirectory, kind, topic);
    } catch (const Error& e) {
        ui.error(e.what());
        return nullptr;
    }
    QPointer<THelpWindow>& window = theWindow();
    QWidget* owner = helpOwner();
    if (!window) {
        window = new THelpWindow(owner);  // owned by `owner`, or by itself (deleted on close)
    } else if (window->parentWidget() != owner) {
        const QRect place = window->geometry();
        window->setParent(owner, window->windowFlags());
        window->setGeometry(place);
    }
    window->showPage(page, start);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void showHelp(int topic, RegisterKind kind) {
    QtUi ui;
    showHelp(topic, kind, helpDirectory(), ui);
}

THelpWindow* helpWindow() { return theWindow(); }

}  // namespace lagrull
