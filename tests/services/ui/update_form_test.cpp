// The update's question "TformAutoUpdate" offscreen: the texts the update
// gives it, and the check boxes read back whichever button closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "modal_script.h"
#include "screenshot.h"
#include "services/ui/update_form.h"

using namespace lagrull;

TEST(UpdateFormTest, ShowsTheTextsAndReadsTheChoicesBack) {
    test::testApplication();
    for (const bool ok : {true, false}) {
        TformAutoUpdate form(RegisterKind::Members);
        form.Caption = "Lagrull - Auto oppdatering";
        form.Info =
            "Dersom du har internett-tilgang kan det ved oppstart av Lagrull sjekkes om det "
            "foreligger ny versjon som er tilgjengelig for nedlasting. ";
        form.AutoCheckCaption = "Automatisk sjekk hver gang Lagrull startes opp";
        form.AutoCheck = false;
        QTimer::singleShot(0, &form, [&] {
            EXPECT_EQ(form.windowTitle(), "Lagrull - Auto oppdatering");
            EXPECT_EQ(form.edAutoCheck->text(), "Automatisk sjekk hver gang Lagrull startes opp");
            EXPECT_FALSE(form.edAutoCheck->isChecked());
            EXPECT_TRUE(form.edUpdateNow->isChecked());
            EXPECT_TRUE(form.memoInfo->isReadOnly());
            test::saveScreenshot(&form, "oppdatering");
            form.edAutoCheck->click();
            form.edUpdateNow->click();
            (ok ? form.btOK : form.btAvbryt)->click();
        });
        EXPECT_EQ(form.ShowModal(), ok);
        EXPECT_TRUE(form.AutoCheck);
        EXPECT_FALSE(form.UpdateNow);
    }
}

TEST(UpdateFormTest, TheDownloadWindowCountsTheBytes) {
    test::testApplication();
    TQtProgressForm form;
    EXPECT_EQ(form.windowTitle(), "Filoverføring");
    EXPECT_EQ(form.HostnameString->text(), "Henter ny versjon fra serveren...");
    form.Show("Henter ny versjon fra www.brakvi.no ...");
    form.Bytes(123456);
    EXPECT_EQ(form.stProgress->text(), "123456 bytes overført");
    test::saveScreenshot(&form, "filoverforing");
    form.Close();
    EXPECT_FALSE(form.isVisible());
}
