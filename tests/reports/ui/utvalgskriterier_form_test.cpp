// The criteria window offscreen on a register: every kind of criterion set
// through its controls, members picked by hand, confirmed, and the query
// checked against a direct scan; a two-step wizard gone through back and
// forth keeps the entries.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <deque>

#include "../selection_fixture.h"
#include "common/text_codec.h"
#include "common/ui/masked_edit.h"
#include "data/ui/db_grid.h"
#include "modal_script.h"
#include "reports/ui/kravtilhvem_form.h"
#include "reports/ui/utvalgskriterier_form.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

void choose(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
}

// Moves the member grid to the member and presses a key in it.
void pickInGrid(TfoUtvalgskriterier& form, const std::string& nr, bool byKey) {
    data::TOrvTable& m = *form.Criteria().Members();
    for (m.first(); !m.eof(); m.next())
        if (data::FieldText(m, "MEDLNR") == nr) break;
    ASSERT_FALSE(m.eof()) << nr;
    if (byKey)
        QTest::keyClick(form.grMedlReg, Qt::Key_Right);
    else
        form.btAdd->click();
}

class CriteriaWindowTest : public SelectionTest {
protected:
    CriteriaWindowTest() { testApplication(); }
    std::vector<std::string> rows(reports::TQueryBuilder& builder) {
        data::TOrvQuery q(db());
        builder.PrepareQuery(q);
        q.open();
        std::vector<std::string> out;
        for (; !q.eof(); q.next()) out.push_back(data::FieldText(q, "medlnr"));
        std::sort(out.begin(), out.end());
        return out;
    }
};

}  // namespace

namespace {

std::string shownDate(const std::string& stored) {
    return stored.substr(0, 2) + "." + stored.substr(2, 2) + "." + stored.substr(4);
}

std::string sortable(const std::string& stored) {
    return stored.size() == 8 ? stored.substr(4) + stored.substr(2, 2) + stored.substr(0, 2) : "";
}

}  // namespace

TEST_F(CriteriaWindowTest, EveryKindOfCriterionThroughTheControls) {
    // A member every criterion below lets through, so the selection is not
    // empty by accident: numeric number, a category, a relation, a paid
    // claim, an extra field, a birth date and a member-since date.
    const MemberRow* a = nullptr;
    for (const MemberRow& m : snapshot) {
        const bool paid = std::any_of(m.claims.begin(), m.claims.end(),
                                      [](const ClaimRow& b) { return b.betflag == "X"; });
        if (m.orgnr == 1 && m.nmedlnr > 0 && !m.kategori.empty() && !m.relations.empty() && paid &&
            m.ekstra[0].size() >= 2 && m.fdato.size() == 8 && m.medlfradato.size() == 8 &&
            !m.postnr.empty()) {
            a = &m;
            break;
        }
    }
    ASSERT_NE(a, nullptr);
    const MemberRow* b = nullptr;  // another member, picked twice
    for (const MemberRow& m : snapshot)
        if (m.orgnr == 1 && &m != a) b = &m;
    const std::string relation = *a->relations.begin();
    const std::string extra = a->ekstra[0].substr(0, 2) + "%";
    const std::int64_t to = static_cast<std::int64_t>(a->nmedlnr) + 5;

    TQtSelectionSteps steps(ui, RegisterKind::Members);
    reports::TMedlemsutvalg selection(steps, store->dbMng(), tables().OrgTable, tables().MedlTable);
    ModalScript script({[&](QWidget* w) {
        auto& form = dynamic_cast<TfoUtvalgskriterier&>(*w);
        EXPECT_EQ(form.windowTitle(), "Utvalgskriterier");
        EXPECT_TRUE(form.laAlle->isVisible());
        EXPECT_FALSE(form.btDelete->isEnabled());
        EXPECT_FALSE(form.cbBetStatus->isVisible());
        EXPECT_TRUE(form.pnEkstraRow[0]->isVisible());
        EXPECT_FALSE(form.pnEkstraRow[3]->isVisible());
        EXPECT_EQ(form.laEkstra[1]->text(), "Draktnummer");
        form.edNrFra->setText("1");
        form.edNrTil->setText(QString::number(to));
        form.edPostnrFra->setText(QString::fromStdString(a->postnr));
        form.edPostnrTil->setText("9999");
        choose(form.cbKategori, QString::fromStdString(a->kategori));
        choose(form.cbBetalingstype,
               form.cbBetalingstype->itemText(static_cast<int>(a->betaling) + 1));
        form.edEkstra[0]->setText(QString::fromStdString(extra));
        choose(form.cbRelMedl, QString::fromStdString(relation));
        choose(form.cbForfDato, "ALLE");
        EXPECT_TRUE(form.cbBetStatus->isVisible());
        choose(form.cbBetStatus, "Betalt");
        form.edDatoFra->setText(QString::fromStdString(shownDate(a->fdato)));
        form.edDatoTil->setText("31.12.2030");
        form.edMedlFraDato->setText(QString::fromStdString(shownDate(a->medlfradato)));
        pickInGrid(form, a->medlnr, false);
        pickInGrid(form, b->medlnr, true);
        pickInGrid(form, a->medlnr, true);  // twice: listed once
        EXPECT_EQ(form.lbValgtNavn->count(), 2);
        EXPECT_TRUE(form.lbValgtNavn->isVisible());
        EXPECT_TRUE(form.btDeleteAll->isEnabled());
        const QString shots = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            form.grab().save(shots + "/utvalgskriterier.png");
        }
        form.btNeste->click();
    }});
    ASSERT_TRUE(selection.Execute());
    EXPECT_TRUE(script.done());

    // The same criteria, checked directly.
    std::vector<std::string> want;
    for (const MemberRow& m : snapshot) {
        if (m.orgnr != 1 || m.nmedlnr < 1 || m.nmedlnr > static_cast<double>(to) ||
            m.postnr < a->postnr || m.postnr > "9999" || m.kategori != a->kategori ||
            m.betaling != a->betaling || (m.medlnr != a->medlnr && m.medlnr != b->medlnr) ||
            !m.relations.count(relation) ||
            upperCase(m.ekstra[0]).rfind(upperCase(extra.substr(0, 2)), 0) != 0 ||
            sortable(m.fdato) < sortable(a->fdato) || sortable(m.fdato) > "20301231" ||
            sortable(m.medlfradato) < sortable(a->medlfradato))
            continue;
        for (const ClaimRow& c : m.claims)
            if (c.betflag == "X") want.push_back(m.medlnr);
    }
    std::sort(want.begin(), want.end());
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(rows(selection), want);
    data::TOrvQuery pl(db());
    pl.setSql("select kundenr from perslist");
    pl.open();
    std::vector<std::string> picks;
    for (; !pl.eof(); pl.next()) picks.push_back(data::FieldText(pl, "kundenr"));
    EXPECT_EQ(picks, (std::vector<std::string>{a->medlnr, b->medlnr}));
}

TEST_F(CriteriaWindowTest, PickingPanelAndKeys) {
    TfoUtvalgskriterier form(store->dbMng(), ui, RegisterKind::Members);
    form.InitSelection(tables().OrgTable, tables().MedlTable);
    form.show();
    pickInGrid(form, "46", true);
    pickInGrid(form, "14", false);
    EXPECT_EQ(form.lbValgtNavn->currentRow(), 1);
    QTest::keyClick(form.grMedlReg, Qt::Key_Left);  // removes the selected, selects the one before
    EXPECT_EQ(form.lbValgtNavn->count(), 1);
    EXPECT_EQ(form.lbValgtNavn->currentRow(), 0);
    form.btDeleteAll->click();
    EXPECT_TRUE(form.laAlle->isVisible());
    EXPECT_FALSE(form.btDeleteAll->isEnabled());
    form.grMedlReg->scrollToTop();
    const QPoint third = form.grMedlReg->visualRect(form.grMedlReg->model()->index(2, 0)).center();
    QTest::mouseClick(form.grMedlReg->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(form.grMedlReg->viewport(), Qt::LeftButton, {}, third);
    ASSERT_EQ(form.Criteria().Picks().size(), 1u);
    EXPECT_EQ(form.Criteria().Picks()[0].nr, data::FieldText(tables().MedlTable, "MEDLNR"));
}

TEST_F(CriteriaWindowTest, AWrongDateKeepsTheWindowOpen) {
    TQtSelectionSteps steps(ui, RegisterKind::Members);
    reports::TMedlemsutvalg selection(steps, store->dbMng(), tables().OrgTable, tables().MedlTable);
    ModalScript script({[&](QWidget* w) {
        auto& form = dynamic_cast<TfoUtvalgskriterier&>(*w);
        form.edMedlFraDato->setText("31.02.2020");
        form.btNeste->click();
        EXPECT_TRUE(form.isVisible());
        form.btAvbryt->click();
    }});
    EXPECT_FALSE(selection.Execute());
    EXPECT_EQ(ui.texts(), std::vector<std::string>{
                              "\"31.02.2020\" i feltet M. dato fra er ikke en gyldig dato."});
    EXPECT_FALSE(selection.Changed());
}

TEST_F(CriteriaWindowTest, BackAndForthThroughATwoStepWizardKeepsTheEntries) {
    TQtSelectionSteps steps(ui, RegisterKind::Members);
    reports::TWizard wizard(1, 2);
    wizard.SetStep(
        1, {[&steps] {
                std::unique_ptr<reports::TKravTilHvemStep> who = steps.CreateKravTilHvem();
                who->Setup("Hvem skal ha betalingskravet?", {"Alle medlemmer", "Utvalg"}, false);
                return who;
            },
            [](reports::TWizardStep& w, int result) {
                if (result != reports::kStepNext) return reports::TWizard::kAbort;
                return dynamic_cast<reports::TKravTilHvemStep&>(w).Choice() == 1 ? 2 : 3;
            }});
    wizard.SetStep(
        2, reports::CriteriaStep(steps, store->dbMng(), tables().OrgTable, tables().MedlTable));
    auto utvalg = [](QWidget* w) {
        auto& who = dynamic_cast<TfoKravTilHvem&>(*w);
        EXPECT_EQ(who.windowTitle(), "Hvem skal ha betalingskravet?");
        EXPECT_FALSE(who.btForrige->isEnabled());
        ASSERT_EQ(who.rbChoices.size(), 2u);
        who.rbChoices[1]->setChecked(true);
        who.btNeste->click();
    };
    ModalScript script({utvalg,
                        [](QWidget* w) {
                            auto& form = dynamic_cast<TfoUtvalgskriterier&>(*w);
                            choose(form.cbKategori, "Senior");
                            form.edPostnrTil->setText("7010");
                            pickInGrid(form, "46", false);
                            form.btForrige->click();
                        },
                        [](QWidget* w) {
                            auto& who = dynamic_cast<TfoKravTilHvem&>(*w);
                            EXPECT_TRUE(who.rbChoices[1]->isChecked());
                            who.btNeste->click();
                        },
                        [](QWidget* w) {
                            auto& form = dynamic_cast<TfoUtvalgskriterier&>(*w);
                            EXPECT_EQ(form.cbKategori->currentText(), "Senior");
                            EXPECT_EQ(form.edPostnrTil->text(), "7010");
                            EXPECT_EQ(form.lbValgtNavn->count(), 1);
                            form.btNeste->click();
                        }});
    reports::TQueryBuilder builder;
    builder.AddSelect({"m.medlnr"});
    ASSERT_TRUE(wizard.Run(builder, nullptr));
    EXPECT_TRUE(script.done());
    std::vector<std::string> want;
    for (const MemberRow& m : snapshot)
        if (m.orgnr == 1 && m.medlnr == "46" && m.kategori == "Senior" && m.postnr <= "7010")
            want.push_back(m.medlnr);
    EXPECT_EQ(rows(builder), want);
    EXPECT_NE(std::find(builder.WhereItems().begin(), builder.WhereItems().end(),
                        "m.kategori = :kategori"),
              builder.WhereItems().end());
}
