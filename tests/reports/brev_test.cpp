// Letters on the demo register: the questions and the closing count, one
// letter per member, the template fallback, the merge data of each letter,
// the outputs, and no temporary file left after a failed merge.
#include <fstream>

#include "common/file_names.h"
#include "payments/kid.h"
#include "reports/letter_output.h"
#include "selection_fixture.h"
#include "template/layout/recording_device.h"

namespace lagrull::test {
namespace {

using namespace reports;
namespace fs = std::filesystem;

// Keeps each merged letter's text as the printer would get it.
class KeptLetters : public TLetterOutput {
public:
    std::vector<std::string> texts;
    std::vector<TLetterMember> members;
    bool finished = false;
    void Print(const fs::path& rtf, const TLetterMember& m) override {
        texts.push_back(readFileBytes(rtf));
        members.push_back(m);
    }
    void Finish() override { finished = true; }
};

class BrevTest : public SelectionTest {
protected:
    BrevTest() {
        fs::create_directories(temp());
        fs::create_directories(program());
    }
    fs::path temp() const { return dir.path() / "tmp"; }
    fs::path program() const { return dir.path() / "program"; }
    void writeTemplate(const fs::path& file, const std::string& body) {
        std::ofstream(file) << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard " << body
                            << "\\par}";
    }
    int run(TLetterKind kind, TLetterOutput& output, const std::string& mal = {}) {
        TBrev brev({ui, store->dbMng(), steps, tables().OrgTable, tables().MedlTable,
                    RegisterKind::Members, dir.str(), program().string(), temp()});
        if (!brev.SelectMembers(kind)) return -1;
        sql = brev.BuildSql();
        return brev.RunLetters(kind, output, mal);
    }
    std::vector<fs::path> stmpFiles() const {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(temp()))
            if (e.path().filename().string().rfind("STMP", 0) == 0) found.push_back(e.path());
        return found;
    }

    ScriptedSteps steps;
    KeptLetters kept;
    std::string sql;
};

TEST_F(BrevTest, NoStillReportsNoneWritten) {
    writeTemplate(dir.path() / "brev.rtf", "Hei");
    ui.answers = {Answer::No};
    EXPECT_EQ(run(TLetterKind::Generelt, kept), 0);
    EXPECT_TRUE(kept.texts.empty());
    EXPECT_EQ(ui.texts().back(), "Det ble skrevet ut 0 stk");
    EXPECT_EQ(ui.messages.back().caption, "Brev");
}

TEST_F(BrevTest, EmptySelectionWritesNone) {
    writeTemplate(dir.path() / "brev.rtf", "Hei");
    steps.set = [](TUtvalgskriterier& c) { c.PostnrFra = "9999"; };
    EXPECT_EQ(run(TLetterKind::Generelt, kept), 0);
    EXPECT_EQ(ui.texts().back(), "Det ble skrevet ut 0 stk");
}

TEST_F(BrevTest, EachLetterHoldsItsOwnMembersData) {
    writeTemplate(dir.path() / "brev.rtf",
                  "\\{Enavn\\}|\\{Fornavn\\}|\\{KID\\}|\\{medlnr\\}|\\{orgnavn\\}");
    const std::string a = snapshot[0].medlnr, b = snapshot[1].medlnr;
    steps.set = [&](TUtvalgskriterier& c) {
        pickMember(c, a);
        pickMember(c, b);
    };
    ASSERT_EQ(run(TLetterKind::Generelt, kept), 2);
    ASSERT_EQ(kept.texts.size(), 2u);
    EXPECT_TRUE(kept.finished);
    for (std::size_t i = 0; i < 2; ++i) {
        const TLetterMember& m = kept.members[i];
        // The organisation number plus 1, as the claims have it.
        EXPECT_EQ(m.kid, MakeKid("2", m.medlnr, "01012007", RegisterKind::Members));
        EXPECT_NE(kept.texts[i].find(m.enavn + "|" + m.fornavn + "|" + m.kid), std::string::npos)
            << kept.texts[i];
    }
    EXPECT_EQ(ui.texts().back(), "Det ble skrevet ut 2 stk");
    EXPECT_TRUE(stmpFiles().empty());
    // The ini file keeps the last member's keys.
    const std::string ini = readFileBytes(temp() / "brev.ini");
    EXPECT_NE(ini.find("KID=" + kept.members[1].kid), std::string::npos) << ini;
    EXPECT_NE(ini.find("forfdato=INGEN"), std::string::npos);
}

TEST_F(BrevTest, AllDueDatesGiveOneLetterPerMember) {
    writeTemplate(dir.path() / "brev.rtf", "\\{medlnr\\}");
    steps.set = [](TUtvalgskriterier& c) { c.SetForfDato(1); };  // "ALLE"
    std::set<std::string> withClaims;
    std::size_t rows = 0;
    for (const MemberRow& m : snapshot)
        if (m.orgnr == 1 && !m.claims.empty()) {
            withClaims.insert(m.medlnr);
            rows += m.claims.size();
        }
    ASSERT_GT(rows, withClaims.size());
    EXPECT_EQ(run(TLetterKind::Generelt, kept), static_cast<int>(withClaims.size()));
    std::set<std::string> letters;
    for (const TLetterMember& m : kept.members) letters.insert(m.medlnr);
    EXPECT_EQ(letters, withClaims);
    EXPECT_NE(sql.find("order by m.enavn,m.medlnr"), std::string::npos) << sql;
}

TEST_F(BrevTest, OfferFallsBackToTheGeneralTemplate) {
    writeTemplate(program() / "brev.rtf", "GENERELT");
    ui.answers = {Answer::Yes, Answer::Yes};
    steps.set = [](TUtvalgskriterier& c) { c.MedlnrTil = 2; };
    const int n = run(TLetterKind::Tilbud, kept);
    ASSERT_GT(n, 0);
    EXPECT_NE(kept.texts[0].find("GENERELT"), std::string::npos);
    EXPECT_EQ(ui.messages[1].caption, "Advarsel");
    EXPECT_EQ(ui.messages[1].text,
              "Finner ikke brevmal angitt i standardverdier.\r\nBruk standard brevmal istedet?");
    EXPECT_NE(sql.find("m.betaling = :betaling"), std::string::npos) << "Giro is preselected";
}

TEST_F(BrevTest, OfferFallbackRefusedEndsWithoutMessage) {
    ui.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(run(TLetterKind::Tilbud, kept), 0);
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(BrevTest, AFailingTemplateRemovesEveryTemporaryFile) {
    writeTemplate(dir.path() / "brev.rtf",
                  "\\{Enavn\\} @IF(\\{medlnr\\} = 3)@BEGIN @ABORT(Stopp) @END");
    EXPECT_ANY_THROW(run(TLetterKind::Generelt, kept));
    EXPECT_TRUE(kept.texts.empty()) << "letters merged before it are not printed";
    EXPECT_TRUE(stmpFiles().empty());
    EXPECT_GE(ui.progressWindows, 1);
}

TEST_F(BrevTest, OnePdfPerMemberWithTheMailingList) {
    writeTemplate(dir.path() / "brev.rtf", "\\{Enavn\\}");
    steps.set = [](TUtvalgskriterier& c) { c.MedlnrTil = 3; };
    const fs::path out = dir.path() / "ut";
    fs::create_directories(out);
    std::vector<std::string> made;
    TPdfLettersPerMember perMember(out, [&](const std::string& file) {
        made.push_back(file);
        std::ofstream(file) << "pdf";
        return std::make_unique<TRecordingPrinterSystem>();
    });
    const int n = run(TLetterKind::Generelt, perMember);
    ASSERT_GT(n, 1);
    ASSERT_EQ(made.size(), static_cast<std::size_t>(n));
    const std::string csv = readFileBytes(out / "utsendelse.csv");
    EXPECT_EQ(csv.rfind("medlemsnr;navn;epost;fil\r\n", 0), 0u);
    for (const TMailingRow& r : perMember.Rows()) {
        EXPECT_EQ(r.file, fs::path(made[static_cast<std::size_t>(&r - &perMember.Rows()[0])])
                              .filename()
                              .string());
        EXPECT_NE(csv.find(r.medlnr + ";" + r.navn + ";" + r.email + ";" + r.file + "\r\n"),
                  std::string::npos);
    }
}

TEST(LetterFiles, NamesAndCsvFields) {
    EXPECT_EQ(LetterFileName({"12", "Berg/Dahl", "Ole", "", ""}), "12_Berg_Dahl.pdf");
    EXPECT_EQ(LetterFileName({"8A", "Sæther Ås", "", "", ""}), "8A_Sæther_Ås.pdf");
    EXPECT_EQ(
        MailingCsv({{"1", "Ola \"O\"; Nordmann", "ola@eksempel.no", "1_N.pdf"}}),
        "medlemsnr;navn;epost;fil\r\n1;\"Ola \"\"O\"\"; Nordmann\";ola@eksempel.no;1_N.pdf\r\n");
}

TEST(LetterFiles, OnePdfHoldsEveryLetterInOneJob) {
    TempDir dir;
    TRecordingPrinterSystem printer;
    const fs::path a = dir.path() / "a.rtf", b = dir.path() / "b.rtf";
    std::ofstream(a) << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Alfa\\par}";
    std::ofstream(b) << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Beta\\par}";
    {
        TPdfLetters letters(printer);
        letters.Print(a, {});
        letters.Print(b, {});
        letters.Finish();
    }
    const auto& calls = printer.recording.calls;
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& c) { return c.rfind("StartDoc", 0) == 0; }),
              1);
    EXPECT_EQ(printer.recording.sheets, 2);
    EXPECT_EQ(printer.recording.sheetText(2), "Beta");
}

}  // namespace
}  // namespace lagrull::test
