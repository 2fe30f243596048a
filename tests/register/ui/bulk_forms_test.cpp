// The relation panels and the copy/delete entries of the main window on the
// demo register, offscreen: the standard list's wizard, the member dialog's
// duplicate question, a copy into the same organisation refused, and a copy
// that creates the categories in the target.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>

#include "../bulk_fixture.h"
#include "modal_script.h"
#include "register/ui/bulk_forms.h"
#include "register/ui/main_form.h"
#include "reports/ui/kravtilhvem_form.h"
#include "services/postnr.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

void shot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

class BulkFormsTest : public BulkTest {
protected:
    BulkFormsTest() {
        testApplication();
        postal = std::make_unique<TPostNr>(builtPostalDirectory().string());
        form = std::make_unique<TMainForm>(*store, ui, *postal);
        form->show();
        chooseOrg(1);
        ui.messages.clear();
    }
    ~BulkFormsTest() override { form.reset(); }

    std::unique_ptr<TPostNr> postal;
    std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(BulkFormsTest, TheStandardListWizardRepairsFirstThenAddsARelation) {
    // The demo's members use names its list lacks: the first run repairs.
    form->btRelStandard[0]->click();
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().caption, "Operasjon avbrutt!");

    ui.messages.clear();
    ModalScript script({[](QWidget* w) {
                            auto* f = as<TfoRelasjoner>(w);
                            EXPECT_EQ(f->windowTitle(), "Opprett ny gruppe/relasjon");
                            EXPECT_FALSE(f->btForrige->isEnabled());
                            QTest::keyClicks(f->edNavn, "Dugnad");
                            QTest::keyClicks(f->edBelop, "150,50");
                            shot(f, "relasjoner");
                            f->btNeste->click();
                        },
                        [](QWidget* w) {
                            auto* f = as<TfoKravTilHvem>(w);
                            EXPECT_EQ(f->windowTitle(), "Hvem skal tilknyttes gruppen/relasjonen?");
                            f->btNeste->click();
                        }});
    form->btRelStandard[0]->click();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(count("select count(*) from relreg where orgnr = 1 and relasjon = 'Dugnad' and "
                    "belop = 150.5"),
              members(1));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "Antall tilknytninger som ble lagt til gruppe/relasjon: " +
                                           std::to_string(members(1)));
    EXPECT_EQ(count("select count(*) from relregstandard where orgnr = 1 and relasjon = 'Dugnad'"),
              1);
}

TEST_F(BulkFormsTest, TheMemberDialogAsksAboutADuplicateName) {
    data::TOrvTable& m = tables().MedlTable;
    for (m.first(); !m.eof(); m.next())
        if (!tables().tbRelReg.isEmpty()) break;
    const std::string existing = data::FieldText(tables().tbRelReg, "RELASJON");
    const std::int64_t before = count("select count(*) from relreg");
    ui.answers = {Answer::No, Answer::Yes};
    ModalScript script({[&](QWidget* w) {
        auto* f = as<TfoRelasjon>(w);
        EXPECT_EQ(f->windowTitle(), "Legg til relasjon");
        EXPECT_FALSE(f->btOk->isEnabled());
        f->cbRelasjon->setEditText(QString::fromStdString(existing));
        EXPECT_TRUE(f->btOk->isEnabled());
        shot(f, "relasjon");
        f->btOk->click();  // No: stays open
        EXPECT_TRUE(f->isVisible());
        f->btOk->click();  // Yes: gives up
    }});
    form->btRelMedlem[0]->click();
    EXPECT_TRUE(script.done());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "Relasjonen " + existing + " finnes fra før!\nAvbryt oppretting av relasjon?");
    EXPECT_EQ(count("select count(*) from relreg"), before);
    EXPECT_EQ(tables().tbRelReg.state(), data::DataSetState::Browse);
}

TEST_F(BulkFormsTest, CopyingIntoTheSameOrganisationIsRefused) {
    ModalScript script({[](QWidget* w) {
                            auto* f = as<TfoStartKopier>(w);
                            EXPECT_EQ(f->windowTitle(), "Kopiering");
                            shot(f, "start_kopier");
                            f->btNeste->click();
                        },
                        [](QWidget* w) { as<TfoKravTilHvem>(w)->btNeste->click(); }});
    form->miKopiering->trigger();
    EXPECT_TRUE(script.done());
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "Kan ikke kopiere fra/til samme poster!");
}

TEST_F(BulkFormsTest, CopyingToANewOrganisationCreatesItsCategories) {
    exec("insert into orgreg (orgnr, orgnavn) values (9, 'Nytt lag')", {});
    tables().OrgTable.refresh();
    chooseOrg(1);
    ModalScript script({[](QWidget* w) {
                            auto* f = as<TfoStartKopier>(w);
                            f->cbOrganisasjon->setCurrentIndex(
                                f->cbOrganisasjon->findText("Nytt lag"));
                            EXPECT_EQ(f->cbKategori->count(), 1);
                            f->btNeste->click();
                        },
                        [](QWidget* w) { as<TfoKravTilHvem>(w)->btNeste->click(); }});
    form->miKopiering->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(members(9), members(1));
    EXPECT_EQ(count("select count(*) from kontgrp where orgnr = 9"),
              count("select count(distinct kategori) from medlreg where orgnr = 1"));
    EXPECT_EQ(ui.messages.back().text, "Antall kopiert : " + std::to_string(members(1)));
}
