// Typing into the register's fields as a user does: the shown and stored
// forms, the refused characters and the checks on leaving.
#include <QApplication>
#include <QDir>
#include <QVBoxLayout>
#include <QtTest>

#include "common/ui/masked_edit.h"
#include "scripted_ui.h"

using namespace lagrull;

class MaskedEditTest : public QObject {
    Q_OBJECT

    // A window with the field under test and a second field to move to.
    struct Form {
        QWidget window;
        QLineEdit* other;
        explicit Form(QWidget* field) {
            auto* layout = new QVBoxLayout(&window);
            field->setParent(&window);
            layout->addWidget(field);
            other = new QLineEdit(&window);
            layout->addWidget(other);
            window.show();
            QApplication::setActiveWindow(&window);
            field->setFocus();
        }
        void leave() {
            other->setFocus();
            QCoreApplication::processEvents();
        }
    };

private slots:
    void accountFieldPlacesLiteralsAndStoresDigits() {
        test::ScriptedUi ui;
        auto* field = new TMalEdit(nullptr, EditKind::mkAccount);
        field->setUi(&ui);
        Form form(field);
        QTest::keyClicks(field, "12345678903");
        QCOMPARE(field->text(), QString("1234.56.78903"));
        QCOMPARE(field->storedValue(), std::string("12345678903"));
        QTest::keyClicks(field, "7x");  // too long and not a digit: refused
        QCOMPARE(field->text(), QString("1234.56.78903"));
        form.leave();
        QVERIFY(ui.messages.empty());
        const QString dir = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            form.window.grab().save(dir + "/account_field.png");
        }
    }

    void wrongAccountWarnsAndTakesTheFocusBack() {
        test::ScriptedUi ui;
        auto* field = new TMalEdit(nullptr, EditKind::mkAccount);
        field->setUi(&ui);
        Form form(field);
        QTest::keyClicks(field, "12345678904");
        form.leave();
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(ui.texts(), std::vector<std::string>{"Kontonummer ikke korrekt"});
        QCOMPARE(ui.messages[0].caption, std::string("Feil"));
        QCOMPARE(field->text(), QString("1234.56.78904"));  // the value stays
    }

    void emptyFieldIsNotChecked() {
        test::ScriptedUi ui;
        auto* field = new TMalEdit(nullptr, EditKind::mkAccount);
        field->setUi(&ui);
        Form form(field);
        form.leave();
        QVERIFY(ui.messages.empty());
    }

    void dateFieldIsWrittenBackInItsForm() {
        test::ScriptedUi ui;
        auto* field = new TMalEdit(nullptr, EditKind::mkDate);
        field->setUi(&ui);
        Form form(field);
        QTest::keyClicks(field, "1.2.2024");
        form.leave();
        QCOMPARE(field->text(), QString("01.02.2024"));
        QCOMPARE(field->storedValue(), std::string("01022024"));
        QVERIFY(ui.messages.empty());
        field->setStoredValue("15032024");
        QCOMPARE(field->text(), QString("15.03.2024"));
    }

    void wrongDateIsRefusedOnLeaving() {
        test::ScriptedUi ui;
        auto* field = new TMalEdit(nullptr, EditKind::mkDate);
        field->setUi(&ui);
        Form form(field);
        QTest::keyClicks(field, "30.02.2024a");  // the letter is refused while typing
        QCOMPARE(field->text(), QString("30.02.2024"));
        form.leave();
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(ui.texts(), std::vector<std::string>{"Dato er ikke korrekt"});
    }

    void amountFieldShowsGroupsAndDecimals() {
        test::ScriptedUi ui;
        auto* field = new TNumEdit(nullptr, "T2");
        field->setUi(&ui);
        Form form(field);
        QTest::keyClicks(field, "1234,5");
        QTest::keyClicks(field, "67");  // a third decimal is refused
        QCOMPARE(field->text(), QString("1234,56"));
        form.leave();
        QCOMPARE(field->text(), QString("1.234,56"));
        QCOMPARE(field->storedValue(), std::string("1234,56"));
        field->setStoredValue("0");
        QCOMPARE(field->text(), QString("0,00"));
    }

    void choiceBoxShowsTextsAndHoldsCodes() {
        TChoiceBox box;
        box.setChoiceItems(TChoiceList{"AvtaleGiro[1]", "Giro=2", "Kontant[3]"});
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(1), QString("Giro"));
        box.setChoice("3");
        QCOMPARE(box.currentText(), QString("Kontant"));
        QCOMPARE(box.choice(), std::string("3"));
        box.setChoice("9");
        QCOMPARE(box.choice(), std::string());
    }
};

QTEST_MAIN(MaskedEditTest)
#include "masked_edit_test.moc"
