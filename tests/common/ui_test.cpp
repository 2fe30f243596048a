#include "common/ui.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "scripted_ui.h"

using namespace lagrull;
using lagrull::test::ScriptedUi;

namespace {

TEST(MessageText, TildeAndBackslashBreakLinesUnlessPath) {
    EXPECT_EQ(prepareMessageText("Første~andre"), "Første\nandre");
    EXPECT_EQ(prepareMessageText("Første\\andre"), "Første\nandre");
    EXPECT_EQ(prepareMessageText("Finner ikke C:\\data\\fil.txt"), "Finner ikke C:\\data\\fil.txt");
    EXPECT_EQ(prepareMessageText("\\\\server\\del"), "\\\\server\\del");
    EXPECT_EQ(prepareMessageText("Sti C:\\a~neste"), "Sti C:\\a\nneste");
}

TEST(MessageText, DosNordicLettersBecomeTheirWindowsForms) {
    EXPECT_EQ(prepareMessageText("p\x86 \x91 \x92 \x9B"), "på æ Æ ø");
    EXPECT_EQ(prepareMessageText("p\xC2\x86"), "på");             // the same code as a C1 character
    EXPECT_EQ(prepareMessageText("Ærlig ø å æ"), "Ærlig ø å æ");  // UTF-8 stays as it is
    EXPECT_EQ(prepareMessageText("‒ ’"), "‒ ’");  // continuation bytes 0x92 are no letters
}

TEST(UiService, MessageBoxAppliesRulesAndErrorCaption) {
    ScriptedUi ui;
    ui.answers = {Answer::No};
    EXPECT_EQ(ui.message("ADVARSEL!", "Slette?~Kan ikke angres", Buttons::YesNo, Icon::Warning),
              Answer::No);
    ui.error("Noe gikk galt");
    ui.error("Annet", "Egen tittel");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Slette?\nKan ikke angres");
    EXPECT_EQ(ui.messages[1].caption, "Feil!");
    EXPECT_EQ(ui.messages[2].caption, "Egen tittel");
    EXPECT_EQ(ui.messages[1].icon, Icon::Error);
}

TEST(UiService, DefaultHandlerShowsExceptionsAndTellsFatalOnes) {
    ScriptedUi ui;
    try {
        throw Error("Kontonummer ikke korrekt");
    } catch (...) {
        EXPECT_FALSE(showException(ui, std::current_exception()));
    }
    try {
        throw FatalError("Error", "Unbalanced inifile open/close");
    } catch (...) {
        EXPECT_TRUE(showException(ui, std::current_exception()));
    }
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].caption, "Feil!");
    EXPECT_EQ(ui.messages[0].text, "Kontonummer ikke korrekt");
    EXPECT_EQ(ui.messages[1].caption, "Error");
}

TEST(UiService, ProgressWindowMovesOnlyOnNewPercentAndEndsFull) {
    ScriptedUi ui;
    {
        ProgressWindow progress(ui, 1000);
        for (int i = 0; i < 1000; ++i) progress.step();
        progress.finish();
    }
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.front(), 0);
    EXPECT_EQ(ui.progress.size(), 102u);  // 0..100 once each, then the final 100
    EXPECT_EQ(ui.progress.back(), 100);
    EXPECT_EQ(ui.progressWindows, 1);
}

TEST(UiService, RaiiWindowsCloseOnEveryPath) {
    ScriptedUi ui;
    try {
        WaitWindow wait(ui, "VENT!", "Oppretter tabeller...");
        BusyCursor busy(ui);
        EXPECT_TRUE(ui.waitOpen);
        EXPECT_EQ(ui.busyDepth, 1);
        throw Error("avbrutt");
    } catch (const Error&) {
    }
    EXPECT_FALSE(ui.waitOpen);
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_EQ(ui.waits.at(0).second, "Oppretter tabeller...");
}

}  // namespace
