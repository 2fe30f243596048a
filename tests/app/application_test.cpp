// The default exception handler: an exception out of an event handler is
// shown in an error box and the program goes on.
#include <QEvent>
#include <QtTest>

#include "app/application.h"
#include "common/error.h"
#include "scripted_ui.h"

using namespace lagrull;

namespace {

class Thrower : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw Error("Kunne ikke lagre medlemmet");
        return QObject::event(e);
    }
};

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
public:
    explicit ApplicationTest(test::ScriptedUi& ui) : ui_(ui) {}

private slots:
    void exceptionInEventHandlerIsShownAndTheLoopGoesOn() {
        Thrower t;
        QEvent e(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&t, &e), false);
        QCOMPARE(ui_.messages.size(), size_t(1));
        QCOMPARE(ui_.messages[0].caption, std::string("Feil!"));
        QCOMPARE(ui_.messages[0].text, std::string("Kunne ikke lagre medlemmet"));
        // The application still delivers events afterwards.
        QEvent other(QEvent::None);
        QCoreApplication::sendEvent(&t, &other);
    }

private:
    test::ScriptedUi& ui_;
};

int main(int argc, char** argv) {
    test::ScriptedUi ui;
    Application app(argc, argv, ui);
    ApplicationTest test(ui);
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
