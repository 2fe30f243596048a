// The FILLIN window: one text box per entry, answers taken after "OK",
// nothing taken when the window is closed otherwise.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "template/ui/fillin_edit_form.h"

using namespace lagrull;

class FillInEditFormTest : public QObject {
    Q_OBJECT
private slots:
    void okTakesTheTypedTexts() {
        std::vector<TFillinRec> entries(2);
        entries[0].prompt = "Navn?";
        entries[0].text = "Kari";
        entries[0].lines = 3;
        entries[1].prompt = "Betalt?";
        entries[1].checkBox = true;
        TFillInEditForm form;
        QTimer::singleShot(0, &form, [&form] {
            const auto edits = form.findChildren<QPlainTextEdit*>();
            QCOMPARE(edits.size(), 2);
            QCOMPARE(edits[0]->toPlainText(), QStringLiteral("Kari"));
            edits[0]->setPlainText(QStringLiteral("Ola\nNordmann"));
            form.findChildren<QCheckBox*>().at(0)->setChecked(true);
            for (QPushButton* b : form.findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("OK")) b->click();
        });
        QVERIFY(form.ask("Brev", entries));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brev"));
        QCOMPARE(entries[0].text, std::string("Ola\nNordmann"));
        QVERIFY(entries[1].checked);
    }

    void closingStopsWithoutAnswers() {
        std::vector<TFillinRec> entries(1);
        entries[0].text = "standard";
        TFillInEditForm form;
        QTimer::singleShot(0, &form, [&form] {
            form.findChildren<QPlainTextEdit*>().at(0)->setPlainText(QStringLiteral("endret"));
            form.reject();
        });
        QVERIFY(!form.ask("Brev", entries));
        QCOMPARE(entries[0].text, std::string("standard"));
    }
};

QTEST_MAIN(FillInEditFormTest)
#include "fillin_edit_form_test.moc"
