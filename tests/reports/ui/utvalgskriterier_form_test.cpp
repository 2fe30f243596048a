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
#include "common/ui/db_grid.h"
#include "common/ui/masked_edit.h"
#include "reports/ui/kravtilhvem_form.h"
#include "reports/ui/utvalgskriterier_form.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "test_reports_ui";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

// Plays one action on each modal window as it comes up.
class ModalScript {
public:
    explicit ModalScript(std::deque<std::function<void(QWidget*)>> actions)
        : actions_(std::move(actions)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || !w->isVisible() || w == last_ || actions_.empty()) return;
            last_ = w;
            auto action = std::move(actions_.front());
            actions_.pop_front();
            action(w);
            last_ = nullptr;
        });
        timer_.start(5);
    }
    bool done() const { return actions_.empty(); }

private:
    std::deque<std::function<void(QWidget*)>> actions_;
    QTimer timer_;
    QWidget* last_ = nullptr;
};

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
    CriteriaWindowTest() { app(); }
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

TEST_F(CriteriaWindowTest, EveryKindOfCriterionThroughTheControls) {
    TQtSelectionSteps steps(ui, 0);
    reports::TMedlemsutvalg selection(steps, store->dbMng(), tables().OrgTable, tables().MedlTable);
    std::string shot;
    ModalScript script({[&](QWidget* w) {
        auto& form = dynamic_cast<TfoUtvalgskriterier&>(*w);
        EXPECT_EQ(form.windowTitle(), "Utvalgskriterier");
        EXPECT_TRUE(form.laAlle->isVisible());
        EXPECT_FALSE(form.btDelete->isEnabled());
        EXPECT_FALSE(form.cbBetStatus->isVisible());
        EXPECT_TRUE(form.pnEkstraRow[0]->isVisible());
        EXPECT_FALSE(form.pnEkstraRow[2]->isVisible());
        EXPECT_EQ(form.laEkstra[1]->text(), "Lag");
        form.edNrTil->setText("60");
        form.edPostnrFra->setText("0151");
        choose(form.cbBetalingstype, "Giro");
        form.edEkstra[0]->setText("a%");
        choose(form.cbRelMedl, "Dugnad");
        choose(form.cbForfDato, "ALLE");
        EXPECT_TRUE(form.cbBetStatus->isVisible());
        choose(form.cbBetStatus, "Betalt");
        form.edDatoFra->setText("01.01.1940");
        pickInGrid(form, "12", false);
        pickInGrid(form, "A39", true);
        pickInGrid(form, "12", true);  // twice: listed once
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
        if (m.orgnr != 1 || m.nmedlnr > 60 || m.postnr < "0151" || m.betaling != 2 ||
            (m.medlnr != "12" && m.medlnr != "A39") || !m.relations.count("Dugnad") ||
            upperCase(m.ekstra[0]).rfind("A", 0) != 0)
            continue;
        const std::string born =
            m.fdato.size() == 8 ? m.fdato.substr(4) + m.fdato.substr(2, 2) + m.fdato.substr(0, 2)
                                : "";
        if (born < "19400101") continue;
        for (const ClaimRow& b : m.claims)
            if (b.betflag == "X") want.push_back(m.medlnr);
    }
    EXPECT_EQ(rows(selection), want);
    data::TOrvQuery pl(db());
    pl.setSql("select kundenr from perslist");
    pl.open();
    std::vector<std::string> picks;
    for (; !pl.eof(); pl.next()) picks.push_back(data::FieldText(pl, "kundenr"));
    EXPECT_EQ(picks, (std::vector<std::string>{"12", "A39"}));
}

TEST_F(CriteriaWindowTest, PickingPanelAndKeys) {
    TfoUtvalgskriterier form(store->dbMng(), ui, 0);
    form.InitSelection(tables().OrgTable, tables().MedlTable);
    form.show();
    pickInGrid(form, "5", true);
    pickInGrid(form, "7", false);
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
    TQtSelectionSteps steps(ui, 0);
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
    TQtSelectionSteps steps(ui, 0);
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
                            choose(form.cbKategori, "Junior");
                            form.edPostnrTil->setText("7010");
                            pickInGrid(form, "5", false);
                            form.btForrige->click();
                        },
                        [](QWidget* w) {
                            auto& who = dynamic_cast<TfoKravTilHvem&>(*w);
                            EXPECT_TRUE(who.rbChoices[1]->isChecked());
                            who.btNeste->click();
                        },
                        [](QWidget* w) {
                            auto& form = dynamic_cast<TfoUtvalgskriterier&>(*w);
                            EXPECT_EQ(form.cbKategori->currentText(), "Junior");
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
        if (m.orgnr == 1 && m.medlnr == "5" && m.kategori == "Junior" && m.postnr <= "7010")
            want.push_back(m.medlnr);
    EXPECT_EQ(rows(builder), want);
    EXPECT_NE(std::find(builder.WhereItems().begin(), builder.WhereItems().end(),
                        "m.kategori = :kategori"),
              builder.WhereItems().end());
}
