// FILLIN fields: both readings and the prompt between them.
#include <gtest/gtest.h>

#include "merge_fixture.h"
#include "template/merge/fillin.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

std::string fillin(const std::string& instruction, const std::string& stored = "lagret") {
    return "{\\field{\\*\\fldinst { FILLIN " + instruction + "}}{\\fldrslt " + stored + "}}";
}

struct FakePrompter : TFillInPrompter {
    std::vector<std::string> answers;
    std::vector<TFillinRec> seen;
    std::string title;
    bool ok = true;
    bool ask(const std::string& t, std::vector<TFillinRec>& entries) override {
        title = t;
        seen = entries;
        for (std::size_t i = 0; i < entries.size() && i < answers.size(); ++i)
            entries[i].text = answers[i];
        return ok;
    }
};

}  // namespace

TEST(FillIn, FirstReadingListsEveryFieldInOrder) {
    const std::string doc = rtfTemplate(fillin("\"Navn?\" \\\\d \"Kari\" \\\\l 3 \\\\w") + "{\\b " +
                                        fillin("\"Medlem?\" \\\\k medlnr \\\\n") + "}" +
                                        fillin("\"Betalt?\" \\\\y") + "\\par");
    const auto entries =
        readFillins(doc, [](const std::string& name) { return name == "medlnr" ? "1042" : ""; });
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].prompt, "Navn?");
    EXPECT_EQ(entries[0].defaultText, "Kari");
    EXPECT_EQ(entries[0].lines, 3);
    EXPECT_TRUE(entries[0].wordWrap);
    EXPECT_EQ(entries[1].key, "medlnr");
    EXPECT_EQ(entries[1].text, "1042");  // the default of a key is its value
    EXPECT_TRUE(entries[1].paragraph);
    EXPECT_TRUE(entries[2].checkBox);
    EXPECT_TRUE(entries[2].checked);
}

TEST(FillIn, SecondReadingShowsTheAnswers) {
    const std::string doc =
        rtfTemplate("A " + fillin("\"Hva?\"") + " B " + fillin("\"Nr?\" \\\\k nr") + " C " +
                    fillin("\"Kryss\" \\\\x") + "\\par");
    FakePrompter prompter;
    prompter.answers = {"linje 1\nlinje {2}", "77", "ja"};
    const auto result = promptFillins(doc, "Brev", prompter);
    ASSERT_TRUE(result);
    EXPECT_EQ(prompter.title, "Brev");
    EXPECT_EQ(textOf(result->rtf),
              "A linje 1\nlinje {2} B  C ");  // unticked box and keyed entry are empty
    EXPECT_EQ(result->keyed.at("nr"), "77");
    prompter.ok = false;
    EXPECT_FALSE(promptFillins(doc, "Brev", prompter));
}

TEST(FillIn, MergeKeepsTheStoredResult) {
    TRtfExtended engine;
    EXPECT_EQ(textOf(engine.Convert(rtfTemplate("Svar: " + fillin("\"Hva?\"") + "\\par"))),
              "Svar: lagret");
}

#include "template/layout/recording_device.h"
#include "template/merge/fillin_print_hook.h"

namespace {

struct AnswerAll : lagrull::TFillInPrompter {
    bool accept = true;
    int asked = 0;
    bool ask(const std::string&, std::vector<lagrull::TFillinRec>& entries) override {
        ++asked;
        for (auto& e : entries) e.text = "Kari Nordmann";
        return accept;
    }
};

TEST(FillInPrinting, ThePrintedPageCarriesTheAnswer) {
    AnswerAll prompter;
    lagrull::TFillInPrintHook hook(prompter, "Brev");
    lagrull::TRecordingPrinterSystem system;
    lagrull::TRTFDocumentBuilder builder(system, &hook);
    builder.PrintRTFStream(rtfTemplate("Til " + fillin("\"Navn?\"") + "\\par"));
    EXPECT_EQ(prompter.asked, 1);
    EXPECT_NE(system.recording.sheetText(1).find("Kari Nordmann"), std::string::npos)
        << system.recording.sheetText(1);
    EXPECT_EQ(system.recording.sheetText(1).find("lagret"), std::string::npos);
}

TEST(FillInPrinting, CancellingThePromptStopsThePrint) {
    AnswerAll prompter;
    prompter.accept = false;
    lagrull::TFillInPrintHook hook(prompter, "Brev");
    lagrull::TRecordingPrinterSystem system;
    lagrull::TRTFDocumentBuilder builder(system, &hook);
    EXPECT_THROW(builder.PrintRTFStream(rtfTemplate("Til " + fillin("\"Navn?\"") + "\\par")),
                 lagrull::EFillInCancelled);
    EXPECT_EQ(system.recording.sheets, 0);
}

}  // namespace
