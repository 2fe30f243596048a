// The two default letters merged for demo members and written to one PDF,
// read back with pdftotext: each member's name, address and KID are there.
#include <array>
#include <cstdio>
#include <memory>

#include "common/file_names.h"
#include "reports/letter_output.h"
#include "selection_fixture.h"
#include "template/pdf/qt_gui_application.h"
#include "template/pdf/qt_paint_device.h"

namespace lagrull::test {
namespace {

using namespace reports;
namespace fs = std::filesystem;

std::string shell(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe.get())) out += buffer.data();
    return out;
}

class KeepMembers : public TLetterOutput {
public:
    explicit KeepMembers(TLetterOutput& inner) : inner_(inner) {}
    std::vector<TLetterMember> members;
    void Print(const fs::path& rtf, const TLetterMember& m) override {
        members.push_back(m);
        inner_.Print(rtf, m);
    }
    void Finish() override { inner_.Finish(); }

private:
    TLetterOutput& inner_;
};

class LettersPdfTest : public SelectionTest, public ::testing::WithParamInterface<TLetterKind> {};

TEST_P(LettersPdfTest, EveryMembersNameAddressAndKidInThePdf) {
    if (shell("command -v pdftotext").empty()) GTEST_SKIP() << "pdftotext is missing";
    ensureGuiApplication();
    const fs::path shipped = fs::path(LAGRULL_TEMPLATES);
    const fs::path temp = dir.path() / "tmp";
    fs::create_directories(temp);
    ScriptedSteps steps;
    steps.set = [](TUtvalgskriterier& c) {
        c.MedlnrTil = 6;
        c.Betaling.index = 0;  // every payment method, for the offer too
    };
    TBrev brev({ui, store->dbMng(), steps, tables().OrgTable, tables().MedlTable,
                RegisterKind::Members, dir.str(), shipped.string(), temp});
    ASSERT_TRUE(brev.SelectMembers(GetParam()));
    const std::string pdf = (dir.path() / "brev.pdf").string();
    TQtPdfSystem device(pdf);
    TPdfLetters letters(device);
    KeepMembers kept(letters);
    const int n = brev.RunLetters(GetParam(), kept);
    ASSERT_GT(n, 3);
    EXPECT_EQ(device.sheets(), n) << "one page per letter";
    for (int page = 1; page <= n; ++page) {
        const std::string text = shell("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                       std::to_string(page) + " '" + pdf + "' -");
        const TLetterMember& m = kept.members[static_cast<std::size_t>(page - 1)];
        EXPECT_NE(text.find(m.fornavn + " " + m.enavn), std::string::npos) << text;
        for (const MemberRow& row : snapshot) {
            if (row.orgnr == 1 && row.medlnr == m.medlnr) {
                EXPECT_NE(text.find(row.postnr), std::string::npos) << text;
            }
        }
        if (GetParam() == TLetterKind::Tilbud) {
            EXPECT_NE(text.find(m.kid), std::string::npos) << text;
        }
        EXPECT_NE(text.find("Med vennlig hilsen"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(DefaultLetters, LettersPdfTest,
                         ::testing::Values(TLetterKind::Generelt, TLetterKind::Tilbud));

}  // namespace
}  // namespace lagrull::test
