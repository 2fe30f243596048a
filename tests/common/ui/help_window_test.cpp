// The help window and the about window as a user meets them: the topic's
// page, links that lead on, back and forward, Escape, and the error when the
// help files are missing.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <algorithm>

#include "common/ui/about_form.h"
#include "common/ui/help_window.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
namespace fs = std::filesystem;

namespace {

fs::path shippedHelp() { return test::testData() / ".." / ".." / "help"; }

void saveShot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

QString shownFile(THelpWindow* w) {
    return QFileInfo(w->browser()->source().toLocalFile()).fileName();
}

QPushButton* button(QWidget* w, const char* name) {
    auto* b = w->findChild<QPushButton*>(name);
    if (!b) qFatal("no button %s", name);
    return b;
}

// Clicks the first link whose text is `text`, as the mouse does.
void clickLink(QTextBrowser* browser, const QString& text) {
    const QTextCursor found = browser->document()->find(text);
    QVERIFY2(!found.isNull(), qPrintable(text));
    QVERIFY2(found.charFormat().isAnchor(), qPrintable(text + " is no link"));
    QTextCursor middle(browser->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    const QPoint at = browser->cursorRect(middle).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
}

void closeHelp() {
    if (THelpWindow* w = helpWindow()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeHelp(); }

    void topicOpensItsPageAndLinksLeadOn() {
        test::ScriptedUi ui;
        THelpWindow* w = showHelp(27, RegisterKind::Members, shippedHelp(), ui);
        QVERIFY(w);
        QVERIFY(ui.messages.empty());
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QString("Hjelp"));
        QCOMPARE(shownFile(w), QString("organisasjoner.html"));
        QCOMPARE(w->browser()->documentTitle(), QString::fromUtf8("Siden «Organisasjoner»"));
        QVERIFY(!button(w, "btTilbake")->isEnabled());
        saveShot(w, "help_window");

        clickLink(w->browser(), "Medlemsnummer");
        QCOMPARE(shownFile(w), QString("medlemsnummer.html"));
        QVERIFY(w->browser()->toPlainText().contains("Medlemsnr er ibruk!"));
        QVERIFY(button(w, "btTilbake")->isEnabled());

        button(w, "btTilbake")->click();
        QCOMPARE(shownFile(w), QString("organisasjoner.html"));
        QVERIFY(button(w, "btFrem")->isEnabled());
        button(w, "btFrem")->click();
        QCOMPARE(shownFile(w), QString("medlemsnummer.html"));

        button(w, "btInnhold")->click();
        QCOMPARE(shownFile(w), QString("index.html"));
        QCOMPARE(w->browser()->documentTitle(), QString::fromUtf8("Lagrull – Medlemsregister"));
    }

    void thereIsOneWindowAndEscapeClosesIt() {
        test::ScriptedUi ui;
        THelpWindow* first = showHelp(27, RegisterKind::Members, shippedHelp(), ui);
        THelpWindow* second = showHelp(28, RegisterKind::Members, shippedHelp(), ui);
        QCOMPARE(second, first);
        QCOMPARE(shownFile(second), QString("medlemmer.html"));
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget* t) { return qobject_cast<THelpWindow*>(t) != nullptr; }),
                 1);

        QApplication::setActiveWindow(second);
        QTest::keyClick(second->browser(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(helpWindow() == nullptr);

        // The next request makes a new window.
        QVERIFY(showHelp(kHelpContentsTopic, RegisterKind::Members, shippedHelp(), ui) != nullptr);
        QCOMPARE(shownFile(helpWindow()), QString("index.html"));
    }

    void rentRegisterHasItsOwnPages() {
        test::ScriptedUi ui;
        THelpWindow* w = showHelp(28, RegisterKind::Rent, shippedHelp(), ui);
        QVERIFY(w);
        QCOMPARE(w->browser()->source().fileName(), QString("index.html"));
        QCOMPARE(w->browser()->source().fragment(), QString("leietakere"));
        QVERIFY(w->browser()->source().path().contains("husleieregister"));
        QVERIFY(w->browser()->toPlainText().contains("Leiet.nr"));
        saveShot(w, "help_window_rent");
    }

    void missingHelpFilesAreReportedThroughTheUi() {
        test::ScriptedUi ui;
        test::TempDir empty;
        QVERIFY(showHelp(27, RegisterKind::Members, empty.path() / "helpfiles", ui) == nullptr);
        QVERIFY(helpWindow() == nullptr);
        QCOMPARE(ui.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(ui.messages[0].caption), QString("Feil!"));
        QVERIFY(
            QString::fromStdString(ui.messages[0].text).startsWith("Finner ikke hjelpefilene.\n"));
    }

    // A modal dialog blocks every other window, so its help must be its own.
    void helpAskedInsideAModalDialogBelongsToIt() {
        test::ScriptedUi ui;
        QDialog dialog;
        THelpWindow* inside = nullptr;
        QTimer::singleShot(0, [&] {
            inside = showHelp(29, RegisterKind::Members, shippedHelp(), ui);
            dialog.accept();
        });
        dialog.exec();
        QVERIFY(inside);
        QCOMPARE(inside->parentWidget(), static_cast<QWidget*>(&dialog));
    }

    void aboutWindowNamesProductVersionAndRegister() {
        for (RegisterKind kind : {RegisterKind::Members, RegisterKind::Rent}) {
            TAboutForm form(kind);
            QCOMPARE(form.windowTitle(), QString("Om Lagrull"));
            QCOMPARE(form.findChild<QLabel*>("laProdukt")->text(), QString("Lagrull"));
            QCOMPARE(form.findChild<QLabel*>("laVersjon")->text(),
                     QString("Versjon ") + LAGRULL_VERSION);
            QCOMPARE(form.findChild<QLabel*>("laRegister")->text(),
                     kind == RegisterKind::Members ? QString("Medlemsregister")
                                                   : QString("Husleieregister"));
            QVERIFY(!form.findChild<QLabel*>("laFormaal")->text().isEmpty());
        }
        bool modal = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            QVERIFY(form);
            modal = form->isModal();
            saveShot(form, "about_window");
            form->findChild<QPushButton*>("btOK")->click();
        });
        showAbout(RegisterKind::Members);
        QVERIFY(modal);
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
