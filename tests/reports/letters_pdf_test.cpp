// The two default letters merged for demo members and written to one PDF,
// read back with pdftotext: each member's name, address and KID are there.
#include <array>
#include <cstdio>
#include <memory>

#include "common/error.h"
#include "common/file_names.h"
#include "full_disk.h"
#include "reports/letter_output.h"
#include "reports/print/letter_devices.h"
#include "selection_fixture.h"
#include "temp_dir.h"
#include "template/layout/recording_device.h"
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

// Letters written to a full disk or into a directory that is gone: the letter
// window's outputs (one PDF, one PDF per member) say so with the file's name,
// leave no part of a PDF and keep the earlier file.
TEST(LetterPdfFaults, AnUnwrittenPdfIsReportedAndTheEarlierFileStays) {
    ensureGuiApplication();
    TempDir dir;
    FullDisk disk;
    const fs::path rtf = dir.path() / "brev.rtf";
    writeFileBytes(rtf, "{\\rtf1\\ansi Hei, dette er et brev.\\par}");
    const TLetterMember member{"12", "Hansen", "Kari", "", ""};
    std::vector<fs::path> places = {dir.path() / "borte"};
    if (disk.unavailable().empty()) places.push_back(disk.path());
    for (const fs::path& at : places) {
        const bool full = at == disk.path();
        const fs::path one = at / "brev.pdf", perMember = at / "hver";
        if (full) {
            fs::create_directories(perMember);
            writeFileBytes(one, "tidligere");
            writeFileBytes(perMember / "12_Hansen.pdf", "tidligere");
            disk.fill();
        }
        const auto expectFailure = [&](TLetterOutput& output, const fs::path& file) {
            try {
                output.Print(rtf, member);
                output.Finish();
                ADD_FAILURE() << "skrevet: " << file;
            } catch (const FileError& e) {
                EXPECT_EQ(std::string(e.what()),
                          "Kunne ikke skrive PDF-filen " + file.string() + ".");
            }
        };
        expectFailure(*OnePdfLetters(one.string()), one);
        if (full) {
            // The directory is there and full; a directory that is gone is
            // made by the output, so only the full disk can fail it.
            expectFailure(*PdfLettersPerMember(perMember.string()), perMember / "12_Hansen.pdf");
            EXPECT_EQ(readFileBytes(one), "tidligere");
            EXPECT_EQ(readFileBytes(perMember / "12_Hansen.pdf"), "tidligere");
            EXPECT_FALSE(fs::exists(perMember / "utsendelse.csv"));
        }
        EXPECT_EQ(filesNamed(at, "brev").size(), full ? 1u : 0u);
    }
    if (!disk.unavailable().empty())
        GTEST_SKIP() << "bare den borte katalogen: " << disk.unavailable();
}

// Many members of one number and surname get files of their own.
TEST(LetterPdfFaults, SameNameMembersGetNumberedFiles) {
    TempDir dir;
    const fs::path rtf = dir.path() / "brev.rtf";
    writeFileBytes(rtf, "{\\rtf1\\ansi Hei\\par}");
    TPdfLettersPerMember perMember(dir.path() / "ut", [](const std::string&) {
        return std::make_unique<TRecordingPrinterSystem>();
    });
    for (int i = 0; i < 3; ++i) perMember.Print(rtf, {"7", "Li", "", "", ""});
    ASSERT_EQ(perMember.Rows().size(), 3u);
    EXPECT_EQ(perMember.Rows()[0].file, "7_Li.pdf");
    EXPECT_EQ(perMember.Rows()[1].file, "7_Li_2.pdf");
    EXPECT_EQ(perMember.Rows()[2].file, "7_Li_3.pdf");
}

}  // namespace
}  // namespace lagrull::test
