#include <QDir>
#include <QtTest>

#include "app/main_window.h"

using namespace lagrull;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void captionNamesTheRegisterKind() {
        QCOMPARE(mainWindowCaption("1.2.3", 0), std::string(" L a g r u l l  1.2.3  -  Medlemsregister"));
        QCOMPARE(mainWindowCaption("1.2.3", 1), std::string(" L a g r u l l  1.2.3  -  Husleieregister"));
    }

    void windowShowsTheCaption() {
        MainWindow w(1);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(),
                 QString::fromStdString(" L a g r u l l  " LAGRULL_VERSION "  -  Husleieregister"));
        const QString dir = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            w.grab().save(dir + "/main_window.png");
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
