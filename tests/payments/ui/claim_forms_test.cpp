// Claim generation and giro printing end to end through the main window and
// the wizard windows on the demo register, offscreen: the step windows are
// driven as a user drives them (keys, clicks, double clicks), the register
// is read back afterwards.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "../../register/bulk_fixture.h"
#include "common/app_paths.h"
#include "common/ui/masked_edit.h"
#include "modal_script.h"
#include "payments/giro_export.h"
#include "payments/giro_run.h"
#include "payments/ui/claim_forms.h"
#include "payments/ui/giro_forms.h"
#include "register/ui/main_form.h"
#include "reports/ui/kravtilhvem_form.h"
#include "reports/ui/utvalgskriterier_form.h"
#include "screenshot.h"
#include "services/postnr.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

class ClaimFormsTest : public BulkTest {
protected:
    ClaimFormsTest() {
        testApplication();
        // The program's own paths: the test's directory, no giro printer known.
        AppPaths paths;
        paths.programDirectory = QCoreApplication::applicationDirPath().toStdString() + "/";
        paths.appDataDirectory = dir.str() + "/";
        paths.settingsFile = dir.str() + "/lagrul.ini";
        for (std::string* ini : {&paths.directoryFile, &paths.brakviIni, &paths.userApplicationsIni,
                                 &paths.machineApplicationsIni})
            *ini = dir.str() + "/finnes-ikke.ini";
        setAppPaths(paths);
        postal = std::make_unique<TPostNr>(builtPostalDirectory().string());
        form = std::make_unique<TMainForm>(*store, ui, *postal);
        form->show();
        chooseOrg(1);
        ui.messages.clear();
    }
    ~ClaimFormsTest() override { form.reset(); }

    std::int64_t claimsOn(const std::string& stored) {
        return count("select count(*) from mbetreg where orgnr = 1 and dato = :p0",
                     {data::Value(stored)});
    }
    // Clicks the row of the list's entry, as the mouse would.
    static void choose(QListWidget* list, const QString& text) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->setCurrentItem(found.front());
    }

    std::unique_ptr<TPostNr> postal;
    std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(ClaimFormsTest, ClaimsFromChosenRelationsForASelectionThenOnToTheGiros) {
    std::vector<std::string> relations;
    data::GetRelationNames(db(), 1, relations);
    ASSERT_GE(relations.size(), 3u);
    const QString first = QString::fromStdString(relations[0]);
    const QString second = QString::fromStdString(relations[1]);
    const QString third = QString::fromStdString(relations[2]);
    ui.answers = {Answer::Yes, Answer::Yes};  // the confirmation, on to the giros
    ModalScript script({[&](QWidget* w) {
                            auto* f = as<TfoStartGen>(w);
                            EXPECT_EQ(f->windowTitle(), "Spesifiser betalingskrav");
                            EXPECT_FALSE(f->btForrige->isEnabled());
                            EXPECT_TRUE(f->CBKidRef->isChecked());
                            EXPECT_EQ(f->CBKidRef->toolTip(), "Bruker OCR KID MOD 10");
                            EXPECT_TRUE(f->rbBelopskilde[0]->isChecked());
                            EXPECT_TRUE(f->EditBELOP->isHidden());
                            EXPECT_TRUE(f->pnRelasjoner->isHidden());
                            EXPECT_EQ(f->edKontDatoDropDownHelper->count(), 2);
                            // "&Neste" without a due date: the message, the window stays.
                            f->btNeste->click();
                            EXPECT_TRUE(f->isVisible());
                            EXPECT_EQ(ui.messages.back().text, "Forfallsdato må angis.");
                            // The amount field comes with source 2 only.
                            f->rbBelopskilde[2]->click();
                            EXPECT_FALSE(f->EditBELOP->isHidden());
                            f->rbBelopskilde[3]->click();
                            EXPECT_TRUE(f->EditBELOP->isHidden());
                            EXPECT_FALSE(f->pnRelasjoner->isHidden());
                            // Relations chosen by the Right key, a double click and the
                            // arrow button; one taken back by the Left key.
                            choose(f->lbFra, third);
                            QTest::keyClick(f->lbFra, Qt::Key_Right);
                            choose(f->lbFra, first);
                            emit f->lbFra->itemDoubleClicked(f->lbFra->currentItem());
                            choose(f->lbFra, second);
                            f->btTil->click();
                            EXPECT_EQ(f->lbTil->count(), 3);
                            choose(f->lbTil, second);
                            QTest::keyClick(f->lbTil, Qt::Key_Left);
                            EXPECT_EQ(f->lbFra->item(f->lbFra->count() - 1)->text(), second);
                            f->edKontDato->setFocus();
                            QTest::keyClicks(f->edKontDato, "01.06.2026");
                            QTest::keyClicks(f->edTEKST, "Kontingent 2026");
                            saveScreenshot(f, "claims_start_gen");
                            f->btNeste->click();
                        },
                        [](QWidget* w) {
                            auto* f = as<TfoKravTilHvem>(w);
                            EXPECT_EQ(f->windowTitle(), "Hvem skal ha betalingskravet?");
                            EXPECT_EQ(f->rbChoices[0]->text(), "Alle medlemmer");
                            f->rbChoices[1]->setChecked(true);
                            f->btNeste->click();
                        },
                        [](QWidget* w) {
                            auto* f = as<TfoUtvalgskriterier>(w);
                            f->edNrTil->setText("30");
                            f->btNeste->click();
                        },
                        [](QWidget* w) {
                            auto* f = as<TfoStartGiro>(w);
                            EXPECT_EQ(f->windowTitle(), "Send til giroutskrift");
                            EXPECT_EQ(f->edGiroDato->currentText(), "01.06.2026");
                            EXPECT_EQ(f->edTekst[0]->text(), "Kontingent 2026");
                            EXPECT_TRUE(f->pnIngenBetalingskrav->isHidden());
                            EXPECT_TRUE(f->rbOppdragsType[0]->isChecked());
                            f->rbOppsett[1]->click();  // "Std. oppsett"
                            EXPECT_TRUE(f->cbTekst[3]->isVisible());
                            EXPECT_EQ(f->cbTekst[3]->currentText(), "Kategori    <beløp>");
                            f->xbBetKonto->setChecked(true);
                            saveScreenshot(f, "giro_start_giro");
                            f->btNeste->click();
                        },
                        [](QWidget* w) {
                            auto* f = as<TfoKravTilHvem>(w);
                            EXPECT_EQ(f->windowTitle(), "Hvilke betalingsposter skal skrives ut?");
                            EXPECT_EQ(f->rbChoices[0]->text(),
                                      "Alle betalingsposter på gitt forfall");
                            f->btNeste->click();
                        }});
    form->Kontingentutsendelse1->trigger();
    EXPECT_TRUE(script.done());

    // Members 1 … 30 got a claim; its amount is the sum of their amounts of
    // the two relations, in the order chosen.
    EXPECT_GT(claimsOn("01062026"), 0);
    EXPECT_EQ(claimsOn("01062026"), count("select count(*) from medlreg where orgnr = 1 and "
                                          "nmedlnr <= 30"));
    EXPECT_EQ(count("select count(*) from mbetreg b where b.orgnr = 1 and b.dato = '01062026' and "
                    "b.belop <> (select coalesce(sum(r.belop), 0) from relreg r where r.orgnr = 1 "
                    "and r.medlnr = b.medlnr and r.relasjon in (:p0, :p1))",
                    {data::Value(relations[2]), data::Value(relations[0])}),
              0);
    // REL1 names the first chosen relation wherever the member has it.
    const std::int64_t firstColumn = count(
        "select count(*) from mbetreg b where b.orgnr = 1 and b.dato = '01062026' and "
        "b.tekst = 'Kontingent 2026' and b.rel1 like :p0",
        {data::Value(relations[2] + "%")});
    EXPECT_GT(firstColumn, 0);
    EXPECT_EQ(firstColumn,
              count("select count(*) from relreg r, medlreg m where r.orgnr = 1 and m.orgnr = 1 "
                    "and m.medlnr = r.medlnr and m.nmedlnr <= 30 and r.relasjon = :p0",
                    {data::Value(relations[2])}));
    // The giro printer is not installed beside the test: nothing written.
    ASSERT_TRUE(findGiroProgram().empty());
    EXPECT_EQ(ui.messages.back().text, "Palvik er ikke installert");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / kGiroFileName));
}

TEST_F(ClaimFormsTest, AManualNegativeAmountForAllMembersAndNoGiros) {
    // The confirmation Yes, "Gå videre til giroutskrift?" No.
    ui.answers = {Answer::Yes, Answer::Ok, Answer::No};
    ModalScript script({[](QWidget* w) {
                            auto* f = as<TfoStartGen>(w);
                            f->rbBelopskilde[2]->click();
                            QTest::keyClicks(f->EditBELOP, "-50");
                            QTest::keyClicks(f->edKontDato, "01.07.2026");
                            f->btNeste->click();
                        },
                        [](QWidget* w) { as<TfoKravTilHvem>(w)->btNeste->click(); }});
    form->KravBtn->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(claimsOn("01072026"), members(1));
    EXPECT_EQ(count("select count(*) from mbetreg where dato = '01072026' and belop = -50"),
              members(1));
    // Members whose number is not all digits: one box lists them, their
    // claims have no KID.
    const std::int64_t lettered =
        count("select count(*) from medlreg where orgnr = 1 and medlnr glob '*[^0-9]*'");
    EXPECT_EQ(count("select count(*) from mbetreg where dato = '01072026' and kid = ''"), lettered);
    EXPECT_GT(lettered, 0);
    ASSERT_GE(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages.back().text, "Gå videre til giroutskrift?");
    const ShownMessage& warning = ui.messages[ui.messages.size() - 2];
    EXPECT_EQ(warning.caption, "ADVARSEL!");
    EXPECT_EQ(warning.text.rfind("KID kan ikke genereres for ", 0), 0u);
}

TEST_F(ClaimFormsTest, CancellingTheFirstStepWritesNothing) {
    const std::int64_t before = count("select count(*) from mbetreg");
    ModalScript script({[](QWidget* w) {
        auto* f = as<TfoStartGen>(w);
        f->edKontDatoDropDownHelper->setCurrentIndex(1);
        emit f->edKontDatoDropDownHelper->activated(1);
        EXPECT_EQ(f->edKontDato->text(), "15.09.2025");
        EXPECT_FALSE(f->edTEKST->text().isEmpty());  // the date's description
        f->btAvbryt->click();
    }});
    form->KravBtn->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(count("select count(*) from mbetreg"), before);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ClaimFormsTest, GiroutskrifterAsksForTheCustomerUnitBeforeAvtaleGiro) {
    ModalScript script({[this](QWidget* w) {
        auto* f = as<TfoDialogBetaling>(w);
        EXPECT_EQ(f->windowTitle(), "Giroutskrifter");
        saveScreenshot(f, "giro_dialog_betaling");
        f->btAvtaleGiro->click();
        EXPECT_EQ(ui.messages.back().text,
                  "KundeEnhetsID for Organisasjonen må angis for å kunne generere AvtaleGiroer!");
        EXPECT_TRUE(f->isVisible());
        f->btLukk->click();
    }});
    form->miGiroutskrift->trigger();
    EXPECT_TRUE(script.done());
}

TEST_F(ClaimFormsTest, TheDueDateDialogWantsADate) {
    TfoDialogDato dialog(ui, db(), 1, clearing::AvtaleGiroModus::Krav, dir.str() + "/lagrul.ini",
                         RegisterKind::Members);
    EXPECT_EQ(dialog.windowTitle(), "Velg Forfallsdato");
    EXPECT_EQ(dialog.cbForfdato->count(), 2);
    dialog.show();
    dialog.btOk->click();
    EXPECT_EQ(ui.messages.back().text, "Velg en forfallsdato !!");
    EXPECT_EQ(ui.messages.back().caption, "Feil!");
    EXPECT_TRUE(dialog.isVisible());
}
