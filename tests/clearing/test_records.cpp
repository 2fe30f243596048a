// Record layouts: every class's fixed codes and fillers, the field
// operations that all fields go through, and reading a file's lines.
#include <gtest/gtest.h>

#include "clearing/bbs_file.h"
#include "clearing/bbs_records.h"
#include "common/error.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::clearing;

namespace {

std::string part(const TBBSItem& r, int first, int last) {
    return r.Line().substr(static_cast<std::size_t>(first - 1),
                           static_cast<std::size_t>(last - first + 1));
}

// A record with only its fixed parts: codes, then blanks and fillers.
void expectLayout(const TBBSHeader& r, const std::string& codes,
                  std::initializer_list<std::tuple<int, int, char>> fillers) {
    ASSERT_EQ(r.Line().size(), 80u);
    EXPECT_EQ(part(r, 1, 8), codes);
    std::string expected = codes + std::string(72, ' ');
    for (const auto& [first, last, c] : fillers)
        expected.replace(static_cast<std::size_t>(first - 1),
                         static_cast<std::size_t>(last - first + 1),
                         std::string(static_cast<std::size_t>(last - first + 1), c));
    EXPECT_EQ(r.Line(), expected);
}

}  // namespace

TEST(FieldOperations, GetFieldTrimsAndCutsAtTheLineEnd) {
    TBBSItem item("NY  abc  de");
    EXPECT_EQ(item.GetField(3, 8), "abc");
    EXPECT_EQ(item.GetField(10, 20), "de");
    EXPECT_EQ(item.GetField(12, 20), "");
}

TEST(FieldOperations, SetFieldPadsOrCutsAndExtendsAShortLine) {
    TBBSItem item("NY");
    item.SetField(5, 8, "abcdef");
    EXPECT_EQ(item.Line(), "NY  abcd");
    item.SetField(5, 8, "x");
    EXPECT_EQ(item.Line(), "NY  x   ");
}

TEST(FieldOperations, SetNumberFieldPadsOnTheLeft) {
    TBBSItem item(std::string(20, ' '));
    item.SetNumberField(1, 7, '0', "42");
    item.SetNumberField(8, 12, ' ', "7");
    item.SetNumberField(13, 15, '0', "12345");  // too long: cut on the right
    EXPECT_EQ(item.Line(), "0000042    7123     ");
    EXPECT_EQ(TBBSItem::Fill('0', 3), "000");
}

TEST(FieldOperations, NamesWithNordicLettersKeepOneBytePerCharacter) {
    TBBSItem item(std::string(20, ' '));
    item.SetField(1, 6, "ØSTBØ Å");
    item.SetField(7, 8, "ok");
    EXPECT_EQ(item.Line().size(), 20u);
    EXPECT_EQ(item.Line().substr(0, 8), "\xD8STB\xD8 ok");
    EXPECT_EQ(item.GetField(1, 6), "ØSTBØ");
    EXPECT_EQ(item.GetField(7, 8), "ok");
}

TEST(NumberFields, ReadDigitsFromTheStartUntilAnythingElse) {
    EXPECT_EQ(readNumberField("  0001234 "), 1234);
    EXPECT_EQ(readNumberField("12a34"), 12);
    EXPECT_EQ(readNumberField(""), 0);
    EXPECT_EQ(readNumberField("-5"), 0);
    // Sums are read in 64 bits: more than 21 474 836,47 kroner total correctly.
    EXPECT_EQ(readNumberField("00000012345678901"), 12345678901LL);
}

TEST(NumberFields, WritingRefusesWhatDoesNotFit) {
    TBBSItem item(std::string(80, ' '));
    item.SetNumber(9, 15, 1234567);
    EXPECT_EQ(item.GetField(9, 15), "1234567");
    EXPECT_THROW(item.SetNumber(9, 15, 12345678), FormatError);
    EXPECT_THROW(item.SetNumber(9, 15, -1), FormatError);
    EXPECT_EQ(item.GetField(9, 15), "1234567");
}

TEST(AmountFields, KronerBecomeWholeOreHalfToEven) {
    TBBSBetaling1 r;
    r.SetBelop(Money::fromKroner(0.125));
    EXPECT_EQ(part(r, 33, 49), "00000000000000012");
    r.SetBelop(Money::fromKroner(0.375));
    EXPECT_EQ(part(r, 33, 49), "00000000000000038");
    r.SetBelop(Money::fromKroner(1250));
    EXPECT_EQ(part(r, 33, 49), "00000000000125000");
    EXPECT_EQ(r.Belop(), Money::fromOre(125000));
    EXPECT_THROW(r.SetBelop(Money::fromOre(-1)), FormatError);
}

TEST(AmountFields, ReturnFileAmountsAreDecimalNumbersOfOre) {
    EXPECT_EQ(readOcrAmountField("00000000000035000"), Money::fromOre(35000));
    EXPECT_EQ(readOcrAmountField("   12500"), Money::fromOre(12500));
    EXPECT_EQ(readOcrAmountField("12,5"), Money::fromOre(12));
    EXPECT_EQ(readOcrAmountField("13,5"), Money::fromOre(14));
    EXPECT_EQ(readOcrAmountField("12.51"), Money::fromOre(13));
    EXPECT_THROW(readOcrAmountField(""), FormatError);
    EXPECT_THROW(readOcrAmountField("12X00"), FormatError);
}

TEST(DateFields, WrittenAsDDMMYYAndReadWithTheYearWindow) {
    TBBSBetaling1 r;
    r.SetForfallsdato(Date{2024, 1, 5});
    EXPECT_EQ(part(r, 16, 21), "050124");
    EXPECT_EQ(r.Forfallsdato(), (Date{2024, 1, 5}));
    r.SetForfallsdato(std::nullopt);
    EXPECT_EQ(part(r, 16, 21), "000000");
    EXPECT_EQ(r.Forfallsdato(), std::nullopt);

    EXPECT_EQ(readDateField("150379"), (Date{2079, 3, 15}));
    EXPECT_EQ(readDateField("150380"), (Date{1980, 3, 15}));
    EXPECT_EQ(readDateField("000000"), std::nullopt);
    EXPECT_EQ(readDateField("      "), std::nullopt);
    EXPECT_THROW(readDateField("320124"), FormatError);
    EXPECT_THROW(readDateField("15 324"), FormatError);
}

TEST(RecordLayouts, TransmissionFrame) {
    TBBSStart start;
    EXPECT_EQ(start.Line(),
              "NY000010" + std::string(8, ' ') + "0000000" + "00008080" + std::string(49, '0'));
    start.SetDataavsender("");
    EXPECT_EQ(part(start, 9, 16), "00000000");
    start.SetDataavsender("1234567");
    start.SetForsendelsesnr("4711");
    EXPECT_EQ(part(start, 9, 23), "012345670004711");
    EXPECT_EQ(start.GetForsendelsesnr(), "4711");
    EXPECT_EQ(start.Forsendelsesnr(), 4711);

    expectLayout(TBBSSlutt(), "NY000089", {{48, 80, '0'}});
}

TEST(RecordLayouts, AssignmentFrames) {
    const std::tuple<int, int, char> startFill[] = {{9, 17, '0'}, {36, 80, '0'}};
    expectLayout(TBBSStartBetaling(), "NY210020", {startFill[0], startFill[1]});
    expectLayout(TBBSStartSletting(), "NY213620", {startFill[0], startFill[1]});
    expectLayout(TBBSStartRemittering(), "NY040020", {startFill[0], startFill[1]});
    expectLayout(TBBSSluttBetaling(), "NY210088", {{54, 80, '0'}});
    expectLayout(TBBSSluttSletting(), "NY213688", {{54, 80, '0'}});
    expectLayout(TBBSSluttRemittering(), "NY040088", {{54, 80, '0'}});

    TBBSStartRemittering start;
    start.SetAvtaleId("123");
    start.SetOppdragsnr("77");
    start.SetOppdragskonto("15030123456");
    EXPECT_EQ(part(start, 9, 35), "123      000007715030123456");
    EXPECT_EQ(start.GetOppdragsnr(), "0000077");
    EXPECT_EQ(start.Oppdragsnr(), 77);
}

TEST(RecordLayouts, TransactionRecords) {
    const std::tuple<int, int, char> item1[] = {{22, 32, '0'}, {75, 80, '0'}};
    const std::tuple<int, int, char> item2[] = {{26, 50, '0'}, {76, 80, '0'}};
    expectLayout(TBBSBetaling1(), "NY212130", {item1[0], item1[1]});
    expectLayout(TBBSBetaling2(), "NY212131", {item2[0], item2[1]});
    expectLayout(TBBSSlett1(), "NY219330", {item1[0], item1[1]});
    expectLayout(TBBSSlett2(), "NY219331", {item2[0], item2[1]});
    expectLayout(TBBSRemittering1(), "NY040330", {item1[0], item1[1]});
    expectLayout(TBBSRemittering2(), "NY040331", {item2[0], item2[1]});
    expectLayout(TBBSRemAdrRec1(), "NY040340", {{78, 80, '0'}});
    expectLayout(TBBSRemAdrRec2(), "NY040341", {{79, 80, '0'}});
}

TEST(RecordLayouts, KidIsRightJustifiedWithBlanks) {
    TBBSBetaling1 r;
    r.SetKid("0020000000012329408018");
    EXPECT_EQ(part(r, 50, 74), "   0020000000012329408018");
    EXPECT_EQ(r.Kid(), "0020000000012329408018");
}

TEST(RecordLayouts, NoticeTextRecordsOfBothKinds) {
    TBBSAGSpesifikasjon ag("21", "02");
    expectLayout(ag, "NY210249", {{16, 16, '4'}, {61, 80, '0'}});
    ag.SetTransaksjonsnr(3);
    ag.SetLinjenr(12);
    ag.SetKolonne(2);
    ag.SetTekst("Kontingent");
    EXPECT_EQ(part(ag, 9, 30), "000000340122Kontingent");
    EXPECT_EQ(ag.Linjenr(), 12);
    EXPECT_EQ(ag.Kolonne(), 2);
    EXPECT_EQ(ag.Tekst(), "Kontingent");
    EXPECT_EQ(ag.Line().size(), 80u);

    TBBSRemSpesifikasjon rem;
    expectLayout(rem, "NY040349", {{60, 80, '0'}});
    rem.SetLinjenr(1);
    rem.SetKolonne(1);
    rem.SetTekst("Faktura 17");
    EXPECT_EQ(part(rem, 16, 29), "0011Faktura 17");

    EXPECT_THROW(makeSpesifikasjon("09", "21"), FormatError);
}

TEST(AbbreviatedName, InitialsThenTheLastWordInUpperCase) {
    EXPECT_EQ(abbreviatedName("Nordmann Ola"), "N OLA");
    EXPECT_EQ(abbreviatedName("  Hansen   Kari  Anne "), "H K ANNE");
    EXPECT_EQ(abbreviatedName("Berg-Olsen Per Christian"), "B P CHRISTIAN");
    EXPECT_EQ(abbreviatedName("østby åse"), "Ø ÅSE");
    EXPECT_EQ(abbreviatedName("Cher"), "CHER");
    EXPECT_EQ(abbreviatedName(""), "");

    TBBSBetaling2 r;
    r.SetForkortetNavn(abbreviatedName("Berg-Olsen Per Christian"));
    EXPECT_EQ(part(r, 16, 25), "B P CHRIST");
}

TEST(FileLines, LinesAcrossTheReadBufferAndVeryLongLines) {
    test::TempDir dir;
    std::string content;
    for (int i = 0; i < 3000; ++i)
        content += "NY" + std::to_string(i) + std::string(70, 'x') + "\r\n";
    content += std::string(200000, 'y') + "\n" + "last";
    ClearingFileReader reader;
    ASSERT_TRUE(reader.open(dir.write("f.txt", content)));
    std::string line;
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(reader.next(line));
        ASSERT_EQ(line, "NY" + std::to_string(i) + std::string(70, 'x'));
    }
    // A line far longer than a record is refused, and named.
    EXPECT_THROW(reader.next(line), FormatError);
    EXPECT_EQ(reader.lineNumber(), 3001);
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "last");
    EXPECT_EQ(reader.lineNumber(), 3002);
    EXPECT_FALSE(reader.next(line));
    EXPECT_FALSE(reader.open(dir.path() / "missing.txt"));
    EXPECT_FALSE(reader.next(line));
}

TEST(FileLines, CrLfSplitByTheReadBufferIsOneLineEnd) {
    // The CR of line 800 is the last byte of the first read (65,536 bytes).
    test::TempDir dir;
    std::string content = std::string(17, 'a') + "\r\n";
    for (int i = 0; i < 1000; ++i) content += "NY" + std::string(78, 'x') + "\r\n";
    ASSERT_EQ(content[65535], '\r');
    ClearingFileReader reader;
    ASSERT_TRUE(reader.open(dir.write("f.txt", content)));
    std::string line;
    int lines = 0;
    while (reader.next(line)) {
        ++lines;
        ASSERT_FALSE(line.empty()) << lines;
    }
    EXPECT_EQ(lines, 1001);
}
