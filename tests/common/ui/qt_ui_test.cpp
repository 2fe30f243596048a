// The Qt Ui as a user meets it: boxes answer with the button pressed, the
// wait window follows its text, the progress window ends full.
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "common/ui/qt_ui.h"
#include "screenshot.h"

using namespace lagrull;

namespace {

// Presses the button with `text` on the next message box that opens.
void pressLater(const QString& text) {
    QTimer::singleShot(0, [text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == text) b->click();
    });
}

}  // namespace

class QtUiTest : public QObject {
    Q_OBJECT
private slots:
    void messageBoxReturnsTheButtonPressed() {
        QtUi ui;
        pressLater("&Nei");
        QCOMPARE(ui.message("ADVARSEL!", "Slette?", Buttons::YesNo, Icon::Warning), Answer::No);
        pressLater("&Ja");
        QCOMPARE(ui.message("ADVARSEL!", "Slette?", Buttons::YesNoCancel), Answer::Yes);
        pressLater("Avbryt");
        QCOMPARE(ui.message("", "Fortsett?", Buttons::OkCancel), Answer::Cancel);
    }

    void messageBoxShowsPreparedTextAndErrorCaption() {
        QtUi ui;
        QString title, text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            test::saveScreenshot(box, "message_box");
            box->buttons().front()->click();
        });
        ui.error("Feil ved lagring~Pr\x9Bv igjen");
        QCOMPARE(title, QString("Feil!"));
        QCOMPARE(text, QString::fromUtf8("Feil ved lagring\nPrøv igjen"));
    }

    void inputBoxTellsCancelFromEmpty() {
        QtUi ui;
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->setTextValue("");
            d->accept();
        });
        QCOMPARE(ui.inputBox("Søk", "Navn:", "x"), std::optional<std::string>(""));
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->reject();
        });
        QCOMPARE(ui.inputBox("Søk", "Navn:", "x"), std::optional<std::string>());
    }

    void waitWindowFollowsItsTextAndReplacesThePrevious() {
        QtUi ui;
        ui.showWait("VENT!", "Kort");
        QWidget* first = ui.waitWindow();
        QVERIFY(first && first->isVisible());
        const QSize small = first->size();
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui.showWait("VENT!", "En mye lengre tekst som tar plass~og en linje til~og enda en");
        QWidget* second = ui.waitWindow();
        QVERIFY(second != nullptr);
        QVERIFY(second->width() > small.width());
        QVERIFY(second->height() > small.height());
        QCOMPARE(second->windowTitle(), QString("VENT!"));
        test::saveScreenshot(second, "wait_window");
        ui.closeWait();
        QVERIFY(ui.waitWindow() == nullptr);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void progressWindowEndsAtFull() {
        QtUi ui;
        ui.setProgressLinger(10);
        ui.progressBegin();
        QWidget* w = ui.progressWindow();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Prosesserer....."));
        ui.progressSet(42);
        auto* gauge = w->findChild<QProgressBar*>("Gauge");
        QCOMPARE(gauge->value(), 42);
        test::saveScreenshot(w, "progress_window");
        ui.progressEnd();
        QVERIFY(ui.progressWindow() == nullptr);
    }

    void fileFiltersInQtForm() {
        QCOMPARE(qtFileFilter("RTF-filer|*.rtf"), std::string("RTF-filer (*.rtf)"));
        QCOMPARE(qtFileFilter("Tekst|*.txt;*.csv|Alle filer|*.*"),
                 std::string("Tekst (*.txt *.csv);;Alle filer (*.*)"));
    }
};

QTEST_MAIN(QtUiTest)
#include "qt_ui_test.moc"
