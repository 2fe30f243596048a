// The giro printer's window, offscreen: pages, keys and buttons.
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "common/ui.h"
#include "giro_preview.h"

namespace lagrull {
namespace {

// Records error boxes; the window shows nothing else through the Ui.
class RecordingUi : public Ui {
public:
    std::vector<std::string> errors;
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void closeWait() override {}
    void progressBegin() override {}
    void progressSet(int) override {}
    void progressEnd() override {}
    std::optional<std::string> openFileName(const FileRequest&) override { return {}; }
    std::optional<std::string> saveFileName(const FileRequest&) override { return {}; }
    std::optional<std::string> directoryName(const FileRequest&, bool) override { return {}; }
    void setBusy(bool) override {}
    void processEvents() override {}

protected:
    Answer doMessage(const std::string&, const std::string& text, Buttons, Icon) override {
        errors.push_back(text);
        return Answer::Ok;
    }
    void doShowWait(const std::string&, const std::string&) override {}
};

}  // namespace

class GiroPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void pagesAndKeys() {
        const QString file =
            qEnvironmentVariable("LAGRULL_TESTDATA") + "/payments/giro_std_BANKGIRO.TXT";
        GiroSheets sheets;
        for (const GiroRecord& g : readGiroFile(file.toStdString()))
            sheets.push_back(layoutGiro(g));
        RecordingUi ui;
        TGiroPreview preview(sheets, "Giroutskrift – 6 giroer", ui);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QCOMPARE(preview.page(), 0);
        QVERIFY(!preview.btForrige->isEnabled());
        QVERIFY(preview.btSkrivUt->isEnabled());
        QCOMPARE(preview.btSkrivUt->text(), QString("&Skriv ut"));
        QCOMPARE(preview.btLagrePdf->text(), QString("&Lagre som PDF"));
        QTest::keyClick(&preview, Qt::Key_PageDown);
        QCOMPARE(preview.page(), 1);
        QTest::keyClick(&preview, Qt::Key_End);
        QCOMPARE(preview.page(), 5);
        QVERIFY(!preview.btNeste->isEnabled());
        QTest::mouseClick(preview.btForrige, Qt::LeftButton);
        QCOMPARE(preview.page(), 4);
        QTest::keyClick(&preview, Qt::Key_Home);
        QCOMPARE(preview.page(), 0);
        const QString dir = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            preview.grab().save(dir + "/giro_preview.png");
        }
        QVERIFY(ui.errors.empty());
    }

    void emptyFileHasNothingToPrint() {
        RecordingUi ui;
        TGiroPreview preview({}, "Giroutskrift", ui);
        QVERIFY(!preview.btSkrivUt->isEnabled());
        QVERIFY(!preview.btLagrePdf->isEnabled());
        QCOMPARE(preview.findChildren<QLabel*>().size() > 0, true);
    }
};

}  // namespace lagrull

QTEST_MAIN(lagrull::GiroPreviewTest)
#include "giro_preview_test.moc"
