// The main window as a treasurer uses it: typing into its fields, pressing
// its navigator buttons and reading what it shows.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

#include "common/app_paths.h"
#include "common/ui/help_window.h"
#include "common/ui/printers.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/ui/data_aware.h"
#include "data/ui/db_grid.h"
#include "data/ui/db_navigator.h"
#include "migration/paradox_writer.h"
#include "register/ui/main_form.h"
#include "screenshot.h"
#include "scripted_ui.h"
#include "services/postnr.h"
#include "services/postnr_writer.h"
#include "temp_dir.h"

using namespace lagrull;

namespace {

// A register in a fresh directory with the main window on it.
struct Register {
    test::TempDir dir;
    test::ScriptedUi ui;
    std::unique_ptr<TPostNr> postal;
    std::unique_ptr<data::DataStore> store;
    std::unique_ptr<TMainForm> form;

    explicit Register(RegisterKind kind = RegisterKind::Members) {
        if (kind == RegisterKind::Rent) dir.write("lagrul.ini", "[Setup]\r\nRegister=1\r\n");
        dir.write("Postnr.num",
                  makePostnrFile({{150, "OSLO"}, {1337, "SANDVIKA"}, {5003, "BERGEN"}}));
        postal = std::make_unique<TPostNr>(dir.str());
        store = std::make_unique<data::DataStore>(ui, dir.str() + "/lagrul.ini", dir.str());
        TMainFormLogic::prepareTables(store->tables());
        store->start();
        form = std::make_unique<TMainForm>(*store, ui, *postal);
        form->show();
        QApplication::setActiveWindow(form.get());
        ui.messages.clear();
    }
    ~Register() { form.reset(); }

    data::TOrvTable& org() { return store->tables().OrgTable; }
    data::TOrvTable& medl() { return store->tables().MedlTable; }
    data::TOrvTable& kont() { return store->tables().KontTable; }

    void type(QWidget* w, const QString& text) {
        w->setFocus();
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
        QTest::keyClicks(w, text);
    }
    // Moves the focus on, as Tab does, so that leave checks run.
    void leave() {
        form->EditFIRMA->setFocus();
        QCoreApplication::processEvents();
    }
    void newOrganisation(const QString& name, bool autoNumber = false) {
        form->PageControl->setCurrentIndex(0);
        form->DBNavigatorMain->press(NavButton::Insert);
        type(form->EditORGNAVN, name);
        if (autoNumber) form->cbAUTONR->click();
        form->DBNavigatorMain->press(NavButton::Post);
    }
    void newCategory(const QString& name, const QString& amount, bool fixed) {
        form->DBNavigatorKont->press(NavButton::Insert);
        type(form->EditKATEGORI, name);
        type(form->EditBELOP, amount);
        if (form->cbFASTBELOP->isChecked() != fixed) form->cbFASTBELOP->click();
        form->DBNavigatorKont->press(NavButton::Post);
    }
    void newMember(const QString& surname, const QString& firstName, const QString& number = {}) {
        form->PageControl->setCurrentIndex(1);
        form->DBNavigatorMain->press(NavButton::Insert);
        if (!number.isEmpty()) type(form->EditMEDLNR, number);
        type(form->EditENAVN, surname);
        type(form->EditFORNAVN, firstName);
        form->DBNavigatorMain->press(NavButton::Post);
    }
    // A saved member of a category with a fixed 300,00.
    void memberWithFixedAmount() {
        newOrganisation("Alfa");
        newCategory("Senior", "300", true);
        newMember("Hansen", "Kari", "1");
        form->cbKATEGORI->setCurrentText("Senior");
        emit form->cbKATEGORI->activated(form->cbKATEGORI->currentIndex());
        form->DBNavigatorMain->press(NavButton::Post);
    }
    void shot(const QString& name) { test::saveScreenshot(form.get(), name); }
};

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    void firstOrganisationAndNumberReuse() {
        Register r;
        r.newOrganisation("Idrettslaget");
        QCOMPARE(data::FieldInt(r.org(), "ORGNR"), std::int64_t(1));
        r.newOrganisation("Korpset");
        QCOMPARE(data::FieldInt(r.org(), "ORGNR"), std::int64_t(2));
        QCOMPARE(r.form->grOrg->model()->rowCount(), 2);
        r.ui.answers = {Answer::Yes};
        r.form->DBNavigatorMain->press(NavButton::Delete);
        QCOMPARE(r.ui.messages.back().text, std::string("Vil du slette Korpset?"));
        r.newOrganisation("Sanglaget");
        QCOMPARE(data::FieldInt(r.org(), "ORGNR"), std::int64_t(2));
        QCOMPARE(r.form->EditORGNAVN->text(), QString("Sanglaget"));
    }

    void membersPageOpensOnceThereIsAnOrganisation() {
        Register r;
        QVERIFY(!r.form->PageControl->isTabEnabled(1));
        r.newOrganisation("Alfa");
        QVERIFY(r.form->PageControl->isTabEnabled(1));
    }

    void nameIsRequired() {
        Register r;
        r.form->DBNavigatorMain->press(NavButton::Insert);
        r.form->DBNavigatorMain->press(NavButton::Post);
        QCOMPARE(r.ui.texts(), std::vector<std::string>{"Posten må fylles ut!"});
        QCOMPARE(r.ui.messages[0].caption, std::string("FEIL!"));
        QVERIFY(r.org().editing());
        QVERIFY(r.form->EditORGNAVN->hasFocus());
    }

    void categoriesAndTheAmountLock() {
        Register r;
        r.newOrganisation("Alfa");
        QVERIFY(!r.form->pnKontEdit->isVisible());
        r.form->DBNavigatorKont->press(NavButton::Insert);
        QVERIFY(r.form->pnKontEdit->isVisible());
        QVERIFY(r.form->cbFASTBELOP->isChecked());  // the member register's default
        r.form->DBNavigatorKont->press(NavButton::Cancel);
        r.newCategory("Senior", "450", true);
        r.newCategory("Støtte", "100", false);
        QVERIFY(!r.form->pnKontEdit->isVisible());
        QCOMPARE(r.form->grKont->model()->rowCount(), 2);
        QCOMPARE(r.form->grKont->model()->index(0, 1).data().toString(), QString("450,00"));
        QCOMPARE(r.form->grKont->model()->index(0, 2).data().toString(), QString("X"));
        QCOMPARE(r.form->grKont->model()->index(1, 2).data().toString(), QString(""));

        r.newCategory("Senior", "10", false);  // the same name again
        QCOMPARE(r.ui.messages.back().text, std::string("Kategori er ibruk!"));
        r.form->DBNavigatorKont->press(NavButton::Cancel);

        r.newMember("Hansen", "Kari", "1");
        r.form->DBNavigatorMain->press(NavButton::Insert);
        r.form->DBNavigatorMain->press(NavButton::Cancel);
        r.type(r.form->EditKONTINGENT, "250");
        r.form->cbKATEGORI->setFocus();
        r.form->cbKATEGORI->setCurrentText("Senior");
        emit r.form->cbKATEGORI->activated(r.form->cbKATEGORI->currentIndex());
        QVERIFY(r.form->EditKONTINGENT->isReadOnly());
        QCOMPARE(r.form->EditKONTINGENT->text(), QString("450,00"));
        QCOMPARE(data::FieldFloat(r.medl(), "BELOP"), 0.0);
        r.form->cbKATEGORI->setCurrentText("Støtte");
        emit r.form->cbKATEGORI->activated(r.form->cbKATEGORI->currentIndex());
        QVERIFY(!r.form->EditKONTINGENT->isReadOnly());
        r.form->DBNavigatorMain->press(NavButton::Post);
        QCOMPARE(data::FieldText(r.medl(), "KATEGORI"), std::string("Støtte"));

        // Another organisation may use the same category name.
        r.newOrganisation("Beta");
        r.ui.messages.clear();
        r.newCategory("Senior", "300", true);
        QVERIFY(r.ui.messages.empty());
        QCOMPARE(r.form->grKont->model()->rowCount(), 1);
    }

    void membersNumbersAndHeading() {
        Register r;
        r.newOrganisation("Alfa", true);
        r.newMember("Hansen", "Kari");
        QCOMPARE(r.form->EditMEDLNR->text(), QString("1"));
        QVERIFY(r.form->EditMEDLNR->isReadOnly());
        QCOMPARE(r.form->laHeading->text(), QString("Alfa (1 stk)"));
        QCOMPARE(r.form->grMedl->model()->index(0, 0).data().toString(), QString("Hansen, Kari"));
        // Numbers 7, 12 and A3 give 13.
        for (const char* n : {"7", "12", "A3"}) {
            data::TOrvQuery q(r.store->dbLocal());
            q.setSql(
                std::string("insert into medlreg (orgnr, medlnr, nmedlnr, enavn) values (1, '") +
                n + "', " + (n[0] == 'A' ? "0" : n) + ", 'Nr " + n + "')");
            q.execSQL();
        }
        r.medl().refresh();
        r.newMember("Olsen", "Per");
        QCOMPARE(r.form->EditMEDLNR->text(), QString("13"));

        // Typed numbers in an organisation without automatic numbering.
        r.newOrganisation("Beta");
        r.newMember("Berg", "Anne", "12");
        r.ui.messages.clear();
        r.newMember("Dahl", "Ola", "12");
        QCOMPARE(r.ui.texts(), std::vector<std::string>{"Medlemsnr er ibruk!"});
        QVERIFY(r.form->EditMEDLNR->hasFocus());
        r.type(r.form->EditMEDLNR, "012");
        r.form->DBNavigatorMain->press(NavButton::Post);
        QCOMPARE(r.ui.messages.size(), size_t(1));
        QCOMPARE(r.form->laHeading->text(), QString("Beta (2 stk)"));
    }

    void postalPlaceAndChecksOnLeaving() {
        Register r;
        r.newOrganisation("Alfa");
        r.newMember("Hansen", "Kari", "1");
        r.type(r.form->EditMPOSTNR, "0150");
        r.leave();
        QCOMPARE(r.form->EditMPOSTSTED->text(), QString("OSLO"));
        r.type(r.form->EditMBANKKONTO, "12345678904");
        r.leave();
        QTRY_VERIFY(r.form->EditMBANKKONTO->hasFocus());
        QCOMPARE(r.ui.texts().back(), std::string("Kontonummer er ikke korrekt"));
        r.type(r.form->EditMBANKKONTO, "12345678903");
        r.type(r.form->EditFDATO, "1.2.1990");
        r.leave();
        QCOMPARE(r.form->EditFDATO->text(), QString("01.02.1990"));
        r.form->DBNavigatorMain->press(NavButton::Post);
        QCOMPARE(data::FieldText(r.medl(), "FDATO"), std::string("01021990"));
        QCOMPARE(data::FieldText(r.medl(), "BANKKONTO"), std::string("12345678903"));
        QCOMPARE(data::FieldText(r.medl(), "POSTSTED"), std::string("OSLO"));
        r.form->PageControl->setCurrentIndex(0);
        r.type(r.form->EditPOSTNR, "5003");
        r.form->EditTELEFON->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(r.form->EditPOSTSTED->text(), QString("BERGEN"));
    }

    void companySearchWithWildcard() {
        Register r;
        r.newOrganisation("Alfa");
        r.newMember("Hansen", "Kari", "1");
        r.type(r.form->EditFIRMA, "Nordlys AS");
        r.form->DBNavigatorMain->press(NavButton::Post);
        r.newMember("Olsen", "Per", "2");
        r.ui.inputs = {std::string("nord%")};
        r.form->miSokFirma->trigger();
        QCOMPARE(r.form->EditENAVN->text(), QString("Hansen"));
        QVERIFY(r.form->miSokMenu->menuAction()->isVisible());
        QVERIFY(!r.form->miSok->isVisible());
    }

    void extraFieldRows() {
        Register r;
        r.newOrganisation("Alfa");
        r.form->PageControl->setCurrentIndex(1);
        QVERIFY(r.form->laIngenEkstra->isVisible());
        r.form->PageControl->setCurrentIndex(0);
        r.type(r.form->EditEKSTRANAVN[1], "Skostørrelse");
        r.form->PageControl->setCurrentIndex(1);  // saves the organisation first
        QVERIFY(!r.org().editing());
        QVERIFY(!r.form->laIngenEkstra->isVisible());
        QVERIFY(r.form->EditEKSTRA[1]->isVisible());
        QVERIFY(!r.form->EditEKSTRA[0]->isVisible());
        QCOMPARE(r.form->laEKSTRA[1]->text(), QString("Skostørrelse"));
    }

    void rentRegisterCaptions() {
        Register r(RegisterKind::Rent);
        QVERIFY(r.form->windowTitle().endsWith("  -  Husleieregister"));
        QCOMPARE(r.form->PageControl->tabText(1), QString("&Leietakere"));
        QCOMPARE(r.form->laMedlNr->text(), QString("Leiet.nr"));
        QCOMPARE(r.form->pnKontingent->title(), QString("Husleie"));
        QCOMPARE(r.form->miSokNr->text(), QString("&Leietakernr"));
        QCOMPARE(r.form->Kontingentutsendelse1->text(), QString("&Husleieinnkreving"));
        QVERIFY(r.form->Kontingentutsendelse1->isEnabled());
        QCOMPARE(r.form->KravBtn->toolTip(), QString("Husleieinnkreving"));
        r.newOrganisation("Gården");
        r.form->DBNavigatorKont->press(NavButton::Insert);
        QVERIFY(!r.form->cbFASTBELOP->isChecked());
    }

    void keyboardNavigatorShortcuts() {
        Register r;
        QTest::keyClick(r.form.get(), Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(r.org().editing());
        QTest::keyClicks(r.form->EditORGNAVN, "Tastaturlaget");
        r.form->DBNavigatorMain->press(NavButton::Post);
        r.ui.answers = {Answer::No};
        QTest::keyClick(r.form.get(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(r.ui.texts().back(), std::string("Vil du slette Tastaturlaget?"));
        QCOMPARE(r.org().recordCount(), 1LL);
    }

    void helpOpensOnTheStartPageAndF1OnThePagesTopic() {
        Register r;
        AppPaths paths;
        paths.programDirectory = QCoreApplication::applicationDirPath().toStdString() + "/";
        setAppPaths(paths);
        r.form->btHjelp->trigger();
        QVERIFY(helpWindow() && helpWindow()->isVisible());
        QVERIFY(helpWindow()->browser()->source().toString().endsWith("index.html"));
        QTest::keyClick(r.form.get(), Qt::Key_F1);
        QVERIFY(helpWindow()->browser()->source().toString().contains("organisasjoner.html"));
        QVERIFY(r.ui.messages.empty());
        helpWindow()->close();
    }

    void everyFunctionOfTheMenusCanBeChosen() {
        Register r;
        auto entry = [&](const QString& text) -> QAction* {
            for (QAction* a : r.form->findChildren<QAction*>())
                if (a->text() == text) return a;
            return nullptr;
        };
        // Every function of the menus can be chosen.
        for (const char* ready :
             {"Les OCR-returfil", "OCR-filrapport", "K&opiering", "S&letting",
              "Importer medlemsliste fra &fil", "Oppdatering over internet",
              "Support - Epost til Brakvi", "&Medlemsliste", "&Etiketter", "Egen&definert",
              "Brev - Generelt", "Brev - Tilbud", "&Generere betalingsposter", "Giro&utskrift",
              "Betalingsposter", "Giroutskrift"}) {
            QAction* a = entry(ready);
            QVERIFY2(a && a->isEnabled(), ready);
        }
        r.newOrganisation("Alfa");
        entry("Rei&ndeksering")->trigger();
        QCOMPARE(r.ui.waits.back().second, std::string("Reindekserer......"));
        QVERIFY(r.ui.messages.empty());
        // The screen dump goes to the current printer, here a PDF file.
        currentPrinter().setOutputFormat(QPrinter::PdfFormat);
        currentPrinter().setOutputFileName(QString::fromStdString(r.dir.str() + "/skjerm.pdf"));
        entry("Skjermdump til utskrift")->trigger();
        QCOMPARE(r.ui.waits.back(),
                 (std::pair<std::string, std::string>{"VENT!", "Skriver ut....."}));
        QVERIFY(QFileInfo(QString::fromStdString(r.dir.str() + "/skjerm.pdf")).size() > 1000);
        QVERIFY(r.ui.messages.empty());
    }

    void fetchOldRegisterFromTheSystemMenu() {
        Register r;
        r.form->setFetchTarget(r.dir.str() + "/lagrul.ini", r.dir.str());
        test::writeRegister(r.dir.path() / "gammel", {});
        QAction* entry = r.form->fetchOldRegisterAction;
        QCOMPARE(entry->text(), QString("Hent register fra eldre versjon…"));
        QVERIFY(entry->isEnabled());
        r.ui.files.push_back((r.dir.path() / "gammel").string());
        entry->trigger();
        QCOMPARE(r.org().recordCount(), 2LL);
        QVERIFY(r.org().isOpen() && r.medl().isOpen());
        QVERIFY2(
            r.ui.messages.back().text.find("Alt er hentet og kontrollert") != std::string::npos,
            r.ui.messages.back().text.c_str());
        // A second time the register is full: replacing it is asked first.
        r.ui.answers.push_back(Answer::No);
        r.ui.files.push_back((r.dir.path() / "gammel").string());
        entry->trigger();
        QVERIFY(r.ui.messages.back().text.find("allerede 2 organisasjoner") != std::string::npos);
        QCOMPARE(r.org().recordCount(), 2LL);
    }

    void firstStartOffersAnOldRegisterOnlyWhenThereIsNone() {
        Register r;
        r.form->setFetchTarget(r.dir.str() + "/lagrul.ini", r.dir.str());
        r.ui.answers.push_back(Answer::No);
        r.form->offerOldRegisterWhenEmpty();
        QCOMPARE(r.ui.messages.size(), std::size_t(1));
        QVERIFY(r.ui.messages[0].text.find("Det finnes ikke noe register her") !=
                std::string::npos);
        QCOMPARE(r.org().recordCount(), 0LL);

        r.newOrganisation("Alfa");
        r.ui.messages.clear();
        r.form->offerOldRegisterWhenEmpty();
        QVERIFY(r.ui.messages.empty());
    }

    // What a first-time user met on an empty register.

    void firstStartSaysWhatToDoFirst() {
        Register r;
        QVERIFY(r.form->laVeiledning->isVisible());
        QCOMPARE(r.form->laVeiledning->text(),
                 QString("Begynn med å registrere organisasjonen: skriv navnet i feltet Org.navn "
                         "og trykk ✓"));
        QCOMPARE(r.form->PageControl->tabToolTip(1), TMainForm::membersPageClosed());
        QCOMPARE(r.form->miMedlemmer->toolTip(), TMainForm::membersPageClosed());
        r.newOrganisation("Alfa");
        QVERIFY(!r.form->laVeiledning->isVisible());
        QVERIFY(r.form->PageControl->tabToolTip(1).isEmpty());
    }

    void newMemberShowsNoAmountOfThePrevious() {
        Register r;
        r.memberWithFixedAmount();
        QCOMPARE(r.form->EditKONTINGENT->text(), QString("300,00"));
        QTest::keyClick(r.form->grMedl, Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(r.medl().editing());
        // The new record's own amount: none.
        const QString amount = r.form->EditKONTINGENT->text();
        QVERIFY2(amount.isEmpty() || amount == "0,00", qPrintable(amount));
        QVERIFY(!r.form->EditKONTINGENT->isReadOnly());
        QVERIFY(r.form->cbKATEGORI->currentText().isEmpty());
    }

    void readOnlyFieldsLookReadOnlyFromTheStart() {
        Register r;
        r.memberWithFixedAmount();
        // Start again on the same register.
        r.form = std::make_unique<TMainForm>(*r.store, r.ui, *r.postal);
        r.form->show();
        r.form->PageControl->setCurrentIndex(1);
        const QColor editable = r.form->EditENAVN->palette().color(QPalette::Base);
        for (QLineEdit* e : {static_cast<QLineEdit*>(r.form->EditKONTINGENT),
                             static_cast<QLineEdit*>(r.form->EditMEDLNR)}) {
            QVERIFY2(e->isReadOnly(), qPrintable(e->objectName()));
            QVERIFY2(e->palette().color(QPalette::Base) != editable, qPrintable(e->objectName()));
            QVERIFY2(!(e->focusPolicy() & Qt::TabFocus), qPrintable(e->objectName()));
        }
        QVERIFY(r.form->EditENAVN->focusPolicy() & Qt::TabFocus);
        // Tab from the field before the member number passes it by.
        r.form->EditMEDLNR->setReadOnly(false);
        QVERIFY(r.form->EditMEDLNR->focusPolicy() & Qt::TabFocus);
        QCOMPARE(r.form->EditMEDLNR->palette().color(QPalette::Base), editable);
    }

    void accountCheckedWhenSavedFromTheToolBar() {
        Register r;
        r.newOrganisation("Alfa");
        r.type(r.form->EditBANKKONTO, "12345678904");
        QVERIFY(r.form->EditBANKKONTO->hasFocus());
        r.form->DBNavigatorMain->press(NavButton::Post);
        QCOMPARE(r.ui.texts(), std::vector<std::string>{"Kontonummer er ikke korrekt"});
        QCOMPARE(r.ui.messages[0].caption, std::string("Feil"));
        QVERIFY(!r.org().editing());  // warned of, not refused
        QCOMPARE(data::FieldText(r.org(), "BANKKONTO"), std::string("12345678904"));

        r.newMember("Hansen", "Kari", "1");
        r.ui.messages.clear();
        r.type(r.form->EditMBANKKONTO, "12345678904");
        QTest::keyClick(r.form->EditMBANKKONTO, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(r.ui.texts(), std::vector<std::string>{"Kontonummer er ikke korrekt"});
        QVERIFY(!r.medl().editing());
        QCOMPARE(data::FieldText(r.medl(), "BANKKONTO"), std::string("12345678904"));
        // A correct number, or one not typed in, saves without a word.
        r.ui.messages.clear();
        r.type(r.form->EditMBANKKONTO, "12345678903");
        r.form->DBNavigatorMain->press(NavButton::Post);
        r.medl().edit();
        r.form->EditMBANKKONTO->setFocus();
        r.form->DBNavigatorMain->press(NavButton::Post);
        QVERIFY(r.ui.messages.empty());
    }

    void savingCancellingAndTheNavigatorFromTheKeyboard() {
        Register r;
        QVERIFY(r.form->DBNavigatorMain->action(NavButton::Post)->toolTip().contains("Ctrl+S"));
        QVERIFY(r.form->DBNavigatorMain->action(NavButton::Cancel)->toolTip().contains("Esc"));
        r.newOrganisation("Alfa");
        // Ctrl+Insert inside a text field is a new record, not a copy.
        QTest::keyClick(r.form->EditORGNAVN, Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(r.org().editing());
        QTest::keyClicks(r.form->EditORGNAVN, "Beta");
        QTest::keyClick(r.form->EditORGNAVN, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!r.org().editing());
        QCOMPARE(r.org().recordCount(), 2LL);
        r.type(r.form->EditADRESSE, "Vegen 1");
        QTest::keyClick(r.form->EditADRESSE, Qt::Key_Escape);
        QVERIFY(!r.org().editing());
        QCOMPARE(r.form->EditADRESSE->text(), QString());
        r.ui.answers = {Answer::No};
        QTest::keyClick(r.form->EditADRESSE, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(r.ui.texts().back(), std::string("Vil du slette Beta?"));

        // The category being edited is saved with the same keys.
        r.form->DBNavigatorKont->press(NavButton::Insert);
        r.type(r.form->EditKATEGORI, "Senior");
        QTest::keyClick(r.form->EditKATEGORI, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!r.kont().editing());
        QCOMPARE(r.kont().recordCount(), 1LL);

        r.newMember("Hansen", "Kari", "1");
        r.ui.messages.clear();
        QTest::keyClick(r.form->EditENAVN, Qt::Key_Insert, Qt::ControlModifier);
        r.type(r.form->EditMEDLNR, "1");
        r.type(r.form->EditENAVN, "Olsen");
        QTest::keyClick(r.form->EditENAVN, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(r.ui.texts(), std::vector<std::string>{"Medlemsnr er ibruk!"});
        QVERIFY(r.form->EditMEDLNR->hasFocus());
    }

    void unknownPostalCodeIsShownButSaved() {
        Register r;
        r.newOrganisation("Alfa");
        r.newMember("Hansen", "Kari", "1");
        QVERIFY(!r.form->laMPostnrUkjent->isVisible());
        r.type(r.form->EditMPOSTNR, "0000");
        r.leave();
        QCOMPARE(r.form->EditMPOSTSTED->text(), QString());
        QVERIFY(r.form->laMPostnrUkjent->isVisible());
        r.form->DBNavigatorMain->press(NavButton::Post);
        QVERIFY(!r.medl().editing());
        QCOMPARE(data::FieldText(r.medl(), "POSTNR"), std::string("0000"));
        r.type(r.form->EditMPOSTNR, "0150");
        r.leave();
        QVERIFY(!r.form->laMPostnrUkjent->isVisible());
        QCOMPARE(r.form->EditMPOSTSTED->text(), QString("OSLO"));

        r.form->PageControl->setCurrentIndex(0);
        r.type(r.form->EditPOSTNR, "0000");
        r.form->EditTELEFON->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(r.form->laPostnrUkjent->isVisible());
    }

    void fieldsKeepTheirPlaceWhenPanelsComeAndGo() {
        Register r;
        r.newOrganisation("Alfa");
        QCoreApplication::processEvents();
        const QRect name = r.form->EditORGNAVN->geometry();
        r.form->DBNavigatorKont->press(NavButton::Insert);
        QCoreApplication::processEvents();
        QCOMPARE(r.form->EditORGNAVN->geometry(), name);
        r.form->DBNavigatorKont->press(NavButton::Cancel);

        r.newMember("Hansen", "Kari", "1");
        QCoreApplication::processEvents();
        QVERIFY(!r.form->cbVARSLING->isVisible());
        const QPoint birth = r.form->EditFDATO->pos();
        r.form->cbBETALING->setCurrentIndex(3);  // "Avtalegiro"
        emit r.form->cbBETALING->activated(3);
        QCoreApplication::processEvents();
        QVERIFY(r.form->cbVARSLING->isVisible());
        QCOMPARE(r.form->EditFDATO->pos(), birth);
    }

    void screenshotsOfADemoRegister() {
        Register r;
        r.shot("first_start");
        r.newOrganisation("Nordby Idrettslag", true);
        r.type(r.form->EditADRESSE, "Idrettsveien 1");
        r.type(r.form->EditPOSTNR, "1337");
        r.type(r.form->EditTELEFON, "67123456");
        r.type(r.form->EditBANKKONTO, "12345678903");
        r.type(r.form->EditEKSTRANAVN[0], "Skostørrelse");
        r.type(r.form->EditEKSTRANAVN[1], "Foresatt");
        r.form->DBNavigatorMain->press(NavButton::Post);
        r.newCategory("Senior", "450", true);
        r.newCategory("Junior", "200", true);
        r.newCategory("Støttemedlem", "100", false);
        r.newOrganisation("Nordby Skolekorps");
        r.org().findKey(std::vector<std::string>{"Nordby Idrettslag"});
        for (const auto& [s, f] : std::vector<std::pair<QString, QString>>{{"Hansen", "Kari"},
                                                                           {"Olsen", "Per"},
                                                                           {"Berg", "Anne"},
                                                                           {"Dahl", "Ola"},
                                                                           {"Ås", "Berit"}})
            r.newMember(s, f);
        r.medl().first();
        r.type(r.form->EditMADRESSE, "Bakkeveien 12");
        r.type(r.form->EditMPOSTNR, "1337");
        r.leave();
        r.type(r.form->EditMTELEFON, "91234567");
        r.type(r.form->EditEMAIL, "anne.berg@example.no");
        r.form->cbKATEGORI->setCurrentText("Senior");
        emit r.form->cbKATEGORI->activated(r.form->cbKATEGORI->currentIndex());
        r.type(r.form->EditEKSTRA[0], "38");
        r.form->DBNavigatorMain->press(NavButton::Post);
        QCOMPARE(data::FieldText(r.medl(), "POSTSTED"), std::string("SANDVIKA"));
        r.form->PageControl->setCurrentIndex(0);
        // A category on its way in.
        r.form->DBNavigatorKont->press(NavButton::Insert);
        r.type(r.form->EditKATEGORI, "Pensjonist");
        r.shot("main_organisations");
        r.form->DBNavigatorKont->press(NavButton::Cancel);
        r.form->PageControl->setCurrentIndex(1);
        r.form->grMedl->setFocus();
        r.shot("main_members");
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
