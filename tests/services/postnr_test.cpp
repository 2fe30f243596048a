#include "services/postnr.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "common/file_names.h"
#include "services/postnr_writer.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::TempDir;

namespace {

// A file with the given raw header, entries and text, for the reader's edges.
std::string rawFile(const std::vector<std::pair<std::int32_t, int>>& entries,
                    const std::string& text) {
    std::string out(6 * (entries.size() + 1), '\0');
    out[0] = static_cast<char>(entries.size() & 0xFF);
    out[1] = static_cast<char>(entries.size() >> 8);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (int b = 0; b < 4; ++b)
            out[6 * (i + 1) + b] = static_cast<char>(entries[i].first >> (8 * b));
        out[6 * (i + 1) + 4] = static_cast<char>(entries[i].second & 0xFF);
        out[6 * (i + 1) + 5] = static_cast<char>(entries[i].second >> 8);
    }
    return out + text;
}

TEST(PostNr, SingleEntryFileFindsItsNumberAndNothingElse) {
    TempDir dir;
    dir.write("Postnr.num", rawFile({{1, 150}}, "0150    OSLO\r\n"));
    TPostNr reg(dir.str());
    EXPECT_EQ(reg.lookUpPlace("0150"), "OSLO");
    EXPECT_EQ(reg.lookUpPlace("150"), "OSLO");
    EXPECT_EQ(reg.lookUpPlace("0151"), "");
    EXPECT_EQ(reg.lookUpPlace("0149"), "");
    EXPECT_EQ(reg.lookUpPlace("abc"), "");
    EXPECT_FALSE(reg.isOpen());  // each look-up opens and closes
}

TEST(PostNr, LineEndsAndSkippedCharacters) {
    TempDir dir;
    // Three entries: root 2000, left 1000, right 3000; lines end in LF,
    // byte 26 and nothing at all (the end of the file).
    const std::string text =
        std::string("1000    ASKER\n") + "2000    LILLESTR\xD8M\x1A" + "3000    DRAMMEN";
    dir.write("postnr.NUM", rawFile({{15, 2000}, {1, 1000}, {34, 3000}}, text));
    TPostNr reg(dir.str());
    EXPECT_EQ(reg.lookUpPlace("1000"), "ASKER");
    EXPECT_EQ(reg.lookUpPlace("2000"), "LILLESTRØM");  // Windows-1252 text
    EXPECT_EQ(reg.lookUpPlace("3000"), "DRAMMEN");
}

TEST(PostNr, MissingFileSaysSo) {
    TempDir dir;
    TPostNr reg(dir.str());
    EXPECT_EQ(reg.lookUpPlace("0150"), "Finner ikke postnrfilen:");
    dir.write("annen.num", rawFile({{1, 150}}, "0150    OSLO\r\n"));
    reg.setFile("/hvor/som/helst/annen.num");  // only the file name counts
    EXPECT_EQ(reg.file(), dir.str() + "/annen.num");
    EXPECT_EQ(reg.lookUpPlace("0150"), "OSLO");
}

TEST(PostNr, AcquireHoldsTheFileOpenAcrossLookUps) {
    TempDir dir;
    dir.write("Postnr.num", rawFile({{1, 150}}, "0150    OSLO\r\n"));
    TPostNr reg(dir.str());
    reg.acquire();
    EXPECT_TRUE(reg.isOpen());
    EXPECT_EQ(reg.lookUpPlace("0150"), "OSLO");
    EXPECT_TRUE(reg.isOpen());
    reg.release();
    EXPECT_FALSE(reg.isOpen());
    reg.release();  // at use count 0 nothing happens
    EXPECT_FALSE(reg.isOpen());
}

TEST(PostNr, DamagedFilesGiveNoPlaceAndNoCrash) {
    TempDir dir;
    TPostNr reg(dir.str());
    dir.write("Postnr.num", "\x05");  // header cut short
    EXPECT_EQ(reg.lookUpPlace("0150"), "Finner ikke postnrfilen:");
    dir.write("Postnr.num", rawFile({{999999, 150}, {-5, 100}}, "x"));  // offsets out of range
    EXPECT_EQ(reg.lookUpPlace("0150"), "");
    EXPECT_EQ(reg.lookUpPlace("0100"), "");
    std::string huge = rawFile({{1, 150}}, "");
    huge[0] = '\xFF';
    huge[1] = '\x7F';  // claims 32767 entries it does not have
    dir.write("Postnr.num", huge);
    EXPECT_EQ(reg.lookUpPlace("9999"), "");
}

TEST(PostNrWriter, EveryTreeSizeFindsEveryCodeAndNoOther) {
    TempDir dir;
    for (int n = 1; n <= 70; ++n) {
        PostalRegister reg;
        for (int i = 0; i < n; ++i) reg[10 + 7 * i] = "STED " + std::to_string(i);
        dir.write("Postnr.num", makePostnrFile(reg));
        TPostNr file(dir.str());
        file.acquire();
        for (int k = 0; k < 10 + 7 * n + 5; ++k) {
            const bool known = reg.count(k) > 0;
            ASSERT_EQ(file.find(k) != 0, known) << "n=" << n << " k=" << k;
        }
        file.release();
    }
}

TEST(PostNrWriter, ReadsBothRegisterForms) {
    const PostalRegister js =
        readPostalCodesJs("module.exports={\"0150\":\"OSLO\",\"9990\":\"B\\u00c5TSFJORD\"}");
    EXPECT_EQ(js.size(), 2u);
    EXPECT_EQ(js.at(9990), "BÅTSFJORD");
    const PostalRegister tsv = readPostalRegisterTsv(
        "0150\tOSLO\t0301\tOSLO\tG\r\n9990\tB\xC5TSFJORD\t5632\tB\xC5TSFJORD\tG\r\n");
    EXPECT_EQ(tsv.at(9990), "BÅTSFJORD");
    EXPECT_EQ(tsv.at(150), "OSLO");
    EXPECT_THROW(readPostalRegisterTsv("15O\tOSLO\n"), FormatError);
    EXPECT_THROW(readPostalCodesJs("ingen liste"), FormatError);
}

TEST(PostNrShipped, FindsEveryCodeOfTheRegisterAndNoOther) {
    const PostalRegister reg = readPostalCodesJs(readFileBytes(LAGRULL_POSTAL_SOURCE));
    ASSERT_EQ(reg.size(), 5132u);
    TempDir dir;
    std::filesystem::copy_file(LAGRULL_POSTNR_FILE, dir.path() / "Postnr.num");
    TPostNr file(dir.str());
    file.acquire();
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.entryCount(), 5132);
    char code[8];
    for (int k = 0; k <= 9999; ++k) {
        std::snprintf(code, sizeof code, "%04d", k);
        const auto it = reg.find(k);
        ASSERT_EQ(file.lookUpPlace(code), it == reg.end() ? "" : it->second) << code;
    }
    file.release();
    EXPECT_EQ(file.lookUpPlace("0150"), "OSLO");
}

}  // namespace
