// The member reports' windows offscreen on the demo register: the
// user-defined report chosen and written to a file through TfoEgenDef and
// TfoRappUtskrifter, and a label sheet previewed.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <fstream>
#include <sstream>

#include "../selection_fixture.h"
#include "common/app_paths.h"
#include "modal_script.h"
#include "reports/engine/ui/report_preview.h"
#include "reports/ui/kravtilhvem_form.h"
#include "reports/ui/letter_forms.h"
#include "reports/ui/report_forms.h"
#include "reports/ui/utvalgskriterier_form.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

void shoot(QWidget* w, const QString& name) {
    const QString shots = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
    if (shots.isEmpty()) return;
    QDir().mkpath(shots);
    w->grab().save(shots + "/" + name);
}

class ReportWindowsTest : public SelectionTest {
protected:
    ReportWindowsTest() { testApplication(); }

    reports::TRappOutcome run(reports::TRappKind kind) {
        TQtSelectionSteps selection(ui, RegisterKind::Members);
        TQtReportSteps steps(ui, RegisterKind::Members, nullptr);
        TQtReportOutput output(ui, RegisterKind::Members, nullptr);
        reports::TRapp rapp({ui, store->dbMng(), selection, steps, tables().OrgTable,
                             tables().MedlTable, RegisterKind::Members, dir.str() + "/bruker.ini"});
        return rapp.RunReport(kind, output);
    }
};

TEST_F(ReportWindowsTest, UserDefinedColumnsToACommaFile) {
    const std::string file = dir.str() + "/egen.txt";
    ui.files.push_back(file);
    ModalScript script({
        [](QWidget* w) {
            auto* form = qobject_cast<TfoEgenDef*>(w);
            ASSERT_NE(form, nullptr);
            EXPECT_FALSE(form->btForrige->isEnabled());
            form->cbFelt[0]->setCurrentIndex(form->cbFelt[0]->findText("Medlemsnr"));
            form->cbFelt[1]->setCurrentIndex(form->cbFelt[1]->findText("Etternavn"));
            form->edPos[1]->setValue(20);
            shoot(form, "egendef.png");
            form->btNeste->click();
        },
        [](QWidget* w) { qobject_cast<TfoKravTilHvem*>(w)->btNeste->click(); },
        [](QWidget* w) {
            auto* form = qobject_cast<TfoRappUtskrifter*>(w);
            ASSERT_NE(form, nullptr);
            EXPECT_FALSE(form->gbEtiketter->isVisible());
            EXPECT_TRUE(form->gbFil->isVisible());
            form->cbSkrivTilFil->click();  // asks for the file
            EXPECT_TRUE(form->cbSkilletegn->isEnabled());
            form->cbSkilletegn->setCurrentIndex(form->cbSkilletegn->findText("Komma"));
            shoot(form, "rapputskrifter.png");
            form->btNeste->click();
        },
    });
    EXPECT_EQ(run(reports::TRappKind::EgenDefinert), reports::TRappOutcome::FileWritten);
    EXPECT_TRUE(script.done());
    std::ifstream in(file, std::ios::binary);
    std::string first;
    std::getline(in, first);
    // The first member by number, its number and surname, each followed by ",".
    EXPECT_EQ(std::count(first.begin(), first.end(), ','), 2) << first;
    EXPECT_EQ(first.back(), '\r');
}

TEST_F(ReportWindowsTest, LabelSheetPreviewed) {
    int pages = 0;
    ModalScript script({
        [](QWidget* w) { qobject_cast<TfoKravTilHvem*>(w)->btNeste->click(); },
        [](QWidget* w) {
            auto* form = qobject_cast<TfoRappUtskrifter*>(w);
            ASSERT_NE(form, nullptr);
            EXPECT_TRUE(form->gbEtiketter->isVisible());
            EXPECT_FALSE(form->gbFil->isVisible());
            EXPECT_FALSE(form->cbMedRelasjoner->isVisible());
            shoot(form, "rapputskrifter_etiketter.png");
            form->btNeste->click();
        },
        [&pages](QWidget* w) {
            auto* preview = qobject_cast<report::TReportPreview*>(w);
            ASSERT_NE(preview, nullptr);
            pages = preview->pageCount();
            preview->reject();
        },
    });
    EXPECT_EQ(run(reports::TRappKind::Etiketter), reports::TRappOutcome::Shown);
    EXPECT_TRUE(script.done());
    EXPECT_GE(pages, 1);
}

}  // namespace

namespace {

TEST_F(ReportWindowsTest, LettersOnePdfPerMemberThroughTheWindows) {
    AppPaths paths;
    paths.programDirectory = std::string(LAGRULL_TEMPLATES) + "/";
    setAppPaths(paths);
    const std::filesystem::path out = dir.path() / "brev";
    ui.files.push_back(out.string());
    ModalScript script({
        [](QWidget* w) {
            auto* form = qobject_cast<TfoUtvalgskriterier*>(w);
            ASSERT_NE(form, nullptr);
            EXPECT_FALSE(form->btForrige->isEnabled()) << "the letters' first step";
            form->edNrTil->setText("3");
            form->btNeste->click();
        },
        [](QWidget* w) {
            auto* form = qobject_cast<TfoBrevUtskrift*>(w);
            ASSERT_NE(form, nullptr);
            shoot(form, "brevutskrift.png");
            form->rbPdfPerMedlem->click();
            form->accept();
        },
    });
    RunLetterMenu(reports::TLetterKind::Generelt, ui, store->dbMng(), tables().OrgTable,
                  tables().MedlTable, RegisterKind::Members, nullptr);
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(std::filesystem::is_regular_file(out / "utsendelse.csv"));
    int pdfs = 0;
    for (const auto& e : std::filesystem::directory_iterator(out))
        if (e.path().extension() == ".pdf") ++pdfs;
    EXPECT_GE(pdfs, 3);
    EXPECT_EQ(ui.texts().back(), "Det ble skrevet ut " + std::to_string(pdfs) + " stk");
}

}  // namespace
