// The window "Importer fil" driven as a user drives it, offscreen: the file
// chosen through the file dialog, the guesses on the set-up page, a column
// that does not fit its field, manual approval of a changed row in
// "Verifiser oppdatering", and the members the import leaves.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <deque>
#include <functional>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_command.h"
#include "data/orv_query.h"
#include "demo_store.h"
#include "modal_script.h"
#include "screenshot.h"
#include "scripted_ui.h"
#include "services/import_form_logic.h"
#include "services/member_import.h"
#include "services/postnr.h"
#include "services/ui/import_form.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

// The scripted answers, with the window's pending events run when the
// import lets them (as the program's Ui does).
class PumpingUi : public ScriptedUi {
public:
    void processEvents() override {
        ScriptedUi::processEvents();
        QCoreApplication::processEvents();
    }
};

class ImportFormTest : public ::testing::Test {
protected:
    ImportFormTest()
        : store(ui, dir.str() + "/lagrul.ini", dir.str()), postal(builtPostalDirectory().string()) {
        testApplication();
        store.start();
        data::TDatabase& db = store.dbLocal();
        data::TOrvCommand(db, "insert into orgreg (orgnr, orgnavn) values (1, 'Skiklubben')")
            .execute();
        data::TOrvCommand(db,
                          "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, betaling) values "
                          "(1, '5', 5, 'Gammel', 0)")
            .execute();
        data::TOrvCommand(
            db, "insert into mbetreg (orgnr, medlnr, dato, belop) values (1, '5', '01012024', 100)")
            .execute();
        store.tables().OrgTable.first();
        file = dir.write("medlemmer.txt",
                         "5;Nina;Ny, Nina;Gate 1;;0150;;;;Senior;;1234.50\n"
                         "12-34;Ola;Nordmann;Gate 2;;5003;;;;Senior;;250\n"
                         "5;Nina;Nyere;Gate 1;;0150;;;;Senior;;1234.50\n")
                   .string();
    }

    bool run(std::deque<std::function<void(QWidget*)>> actions) {
        ModalScript script(std::move(actions));
        TMemberImport import(ui, store.tables(), postal);
        TQtImportFormStep window(ui, RegisterKind::Members, nullptr);
        const bool done = import.Execute(window);
        EXPECT_TRUE(script.done());
        return done;
    }

    std::string members() {
        data::TOrvQuery q(store.dbLocal());
        q.setSql(
            "select m.medlnr, m.enavn, m.poststed, m.betaling, (select count(*) from mbetreg b "
            "where b.medlnr = m.medlnr) as krav from medlreg m order by m.nmedlnr");
        q.open();
        std::string out;
        for (; !q.eof(); q.next())
            out += data::FieldText(q, "medlnr") + " " + data::FieldText(q, "enavn") + " " +
                   data::FieldText(q, "poststed") + " " + data::FieldText(q, "betaling") + " " +
                   data::FieldText(q, "krav") + "\n";
        return out;
    }

    TempDir dir;
    PumpingUi ui;
    data::DataStore store;
    TPostNr postal;
    std::string file;
};

TImportForm* importForm(QWidget* w) {
    auto* form = qobject_cast<TImportForm*>(w);
    EXPECT_NE(form, nullptr);
    return form;
}

}  // namespace

TEST_F(ImportFormTest, ImportsThroughTheWindowWithApprovalOfAChangedRow) {
    ui.files = {file};
    ASSERT_TRUE(run({[&](QWidget* w) {
                         TImportForm* f = importForm(w);
                         EXPECT_EQ(f->windowTitle(), "Medlemsregister Skiklubben fra fil");
                         EXPECT_FALSE(f->Notebook->isTabVisible(TImportForm::pgOppsett));
                         EXPECT_TRUE(f->btHjelp->isVisible());
                         f->btVelgFil->click();
                         EXPECT_EQ(f->edFilNavn->text().toStdString(), file);
                         EXPECT_TRUE(f->Notebook->isTabVisible(TImportForm::pgOppsett));
                         saveScreenshot(f, "import_fil");
                         f->Notebook->setCurrentIndex(TImportForm::pgOppsett);
                         EXPECT_EQ(f->rgSeparator->checkedButton()->text(), "Semikolon");
                         EXPECT_EQ(f->rgHeader->checkedButton()->text(), "Ingen header");
                         EXPECT_EQ(f->rgTekst->checkedButton()->text(), "UTF-8");
                         f->rgOppdatering->button(1)->click();  // "Manuell godkjenning"
                         saveScreenshot(f, "import_oppsett");
                         f->Notebook->setCurrentIndex(TImportForm::pgKobling);
                         EXPECT_EQ(f->grKobling->rowCount(), 12);
                         f->grKobling->setCurrentCell(2, 1);
                         saveScreenshot(f, "import_kobling");
                         // Clicked outside the script's own timer, which the
                         // approval window needs.
                         QTimer::singleShot(0, f->btOK, &QPushButton::click);
                     },
                     [&](QWidget* w) {
                         auto* u = qobject_cast<TUpdateForm*>(w);
                         ASSERT_NE(u, nullptr);
                         EXPECT_EQ(u->grData->rowCount(), 12);
                         EXPECT_EQ(u->grData->item(2, 0)->text(), "ENAVN");
                         EXPECT_EQ(u->grData->item(2, 1)->text(), "Nyere");
                         EXPECT_EQ(u->grData->item(2, 2)->text(), "Ny, Nina");
                         saveScreenshot(u, "import_verifiser");
                         u->btLagre->click();
                     }}));
    EXPECT_EQ(members(), "5 Nyere OSLO 2 1\n1234 Nordmann BERGEN 2 0\n");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ImportFormTest, AColumnThatDoesNotFitItsFieldStopsOkOnTheMappingPage) {
    ui.files = {file};
    ASSERT_FALSE(run({[&](QWidget* w) {
        TImportForm* f = importForm(w);
        f->btVelgFil->click();
        auto* field = qobject_cast<QComboBox*>(f->grKobling->cellWidget(1, 1));
        field->setCurrentText("BELOP");
        f->Notebook->setCurrentIndex(TImportForm::pgFil);
        f->btOK->click();
        EXPECT_EQ(f->Notebook->currentIndex(), TImportForm::pgKobling);
        EXPECT_EQ(f->grKobling->currentRow(), 1);
        f->btAvbryt->click();
    }}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Ikke overenstemmelse mellom kollone nr 2 og feltet \"BELOP\" sine data.\n"
              "Sjekk kobling mellom kollone og felt");
    EXPECT_EQ(members(), "5 Gammel  0 1\n");
}

TEST_F(ImportFormTest, AvbrytWhileReadingKeepsTheLinesReadSoFar) {
    std::string lines;
    for (int i = 100; i < 60100; ++i) lines += std::to_string(i) + ";Nina;Nordmann\n";
    ui.files = {dir.write("mange.txt", lines).string()};
    ui.answers = {Answer::Yes};  // "Skal importeringen avbrytes?"
    ASSERT_TRUE(run({[&](QWidget* w) {
        TImportForm* f = importForm(w);
        f->btVelgFil->click();
        QTimer::singleShot(0, f->btOK, &QPushButton::click);
        // Runs at the import's first look at pending events.
        QTimer::singleShot(1, f->btAvbryt, &QPushButton::click);
    }}));
    ASSERT_EQ(ui.texts(), std::vector<std::string>{"Skal importeringen avbrytes?"});
    data::TOrvQuery q(store.dbLocal());
    q.setSql("select count(*) as n from medlreg where enavn = 'Nordmann'");
    q.open();
    const std::int64_t read = data::FieldInt(q, "n");
    EXPECT_GT(read, 0);
    EXPECT_LT(read, 60000);
}
