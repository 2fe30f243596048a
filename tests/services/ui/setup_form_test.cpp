#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "common/ini.h"
#include "common/settings_keys.h"
#include "scripted_ui.h"
#include "services/ui/setup_form.h"
#include "temp_dir.h"

using namespace lagrull;

class SetupFormTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheStoredSettings() {
        test::TempDir dir;
        dir.write("lagrul.ini", "[Setup]\r\nRegister=1\r\nFONTSIZE=12\r\n");
        TSetupSettings settings(dir.str() + "/lagrul.ini", dir.str(), dir.str());
        test::ScriptedUi ui;
        TSetupForm form(settings, ui);
        QCOMPARE(form.windowTitle(), QString("Dataoppsett"));
        QVERIFY(form.rbHusleieregister->isChecked());
        QCOMPARE(form.EditFONT->value(), 12);
        QCOMPARE(form.EditDATABASE->text(), QString::fromStdString(dir.str() + "/"));
        form.show();
        const QString shots = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            form.grab().save(shots + "/setup_form.png");
        }
    }

    void fontChangeClosesWithoutRestart() {
        test::TempDir dir;
        TSetupSettings settings(dir.str() + "/lagrul.ini", dir.str(), dir.str());
        test::ScriptedUi ui;
        TSetupForm form(settings, ui);
        form.show();
        form.EditFONT->setValue(7);
        form.btOK->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(reportFontSize(), 7);
        QVERIFY(ui.messages.empty());
    }

    void registerChangeAsksAndEndsWithRestart() {
        test::TempDir dir;
        TSetupSettings settings(dir.str() + "/lagrul.ini", dir.str(), dir.str());
        test::ScriptedUi ui;
        ui.answers = {Answer::Yes};
        TSetupForm form(settings, ui);
        form.show();
        form.rbHusleieregister->setChecked(true);
        form.btOK->click();
        QCOMPARE(form.result(), TSetupForm::kRestart);
        QCOMPARE(ui.texts(), std::vector<std::string>{"Programmet må startes på nytt! Fortsett?"});
    }

    void browseActsOnTheLastEnteredPathField() {
        test::TempDir dir;
        TSetupSettings settings(dir.str() + "/lagrul.ini", dir.str(), dir.str());
        test::ScriptedUi ui;
        ui.files = {std::string("/srv/Maler/Brev.rtf")};
        TSetupForm form(settings, ui);
        form.show();
        QApplication::setActiveWindow(&form);
        form.EditBREV->setFocus();
        QCoreApplication::processEvents();
        form.btBla->click();
        QCOMPARE(form.EditBREV->text(), QString("/srv/Maler/Brev.rtf"));
    }

    void cancelReloadsTheFields() {
        test::TempDir dir;
        TSetupSettings settings(dir.str() + "/lagrul.ini", dir.str(), dir.str());
        test::ScriptedUi ui;
        TSetupForm form(settings, ui);
        form.show();
        form.EditDATABASE->setText("/noe/annet/");
        form.btAvbryt->click();
        QCOMPARE(form.EditDATABASE->text(), QString::fromStdString(dir.str() + "/"));
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(SetupFormTest)
#include "setup_form_test.moc"
