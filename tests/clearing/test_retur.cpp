// Reading return files: payments, agreement records, the ten-line window,
// the reference date and archiving.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <ctime>

#include "clearing/bbs_retur.h"
#include "common/error.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::clearing;
using lagrull::test::TempDir;

namespace {

std::string record(std::string start) {
    start.resize(80, '0');
    return start + "\r\n";
}

std::string transmissionStart() {
    return record(
        "NY000010000080800001234"
        "00012345");
}
std::string transmissionEnd(const std::string& date = "000000") {
    return record("NY000089" + std::string(33, '0') + date);
}
// Amount item 1 and 2 of an OCR payment.
std::string payment(const std::string& head, const std::string& date, const std::string& ore,
                    const std::string& kid) {
    std::string amount = ore;
    amount.insert(0, 17 - amount.size(), '0');
    std::string k = kid;
    k.insert(0, 25 - k.size(), ' ');
    return record(head + "30" + "0000001" + date + std::string(11, '0') + amount + k) +
           record("NY091031");
}
std::string agreement(char type, const std::string& kid, char notice) {
    std::string k = kid;
    k.insert(0, 25 - k.size(), ' ');
    return record(std::string("NY2194700000001") + type + k + notice);
}

void setFileDate(const std::filesystem::path& path, int year, int month, int day) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = 12;
    const std::time_t t = std::mktime(&tm);
    const utimbuf times{t, t};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

// The message of the failure of reading `path`.
std::string loadErrorOf(TBBSRetur& reader, const std::filesystem::path& path) {
    try {
        reader.LoadFromFile(path);
    } catch (const Error& e) {
        return e.what();
    }
    return "(ingen feil)";
}

std::string archivedName(int n, const std::string& name) {
    const Date d = Date::today();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%04d", d.year, d.month, d.day, n);
    return buf + name;
}

}  // namespace

TEST(ReturnFile, RealisticOcrFileYieldsEveryPayment) {
    TempDir data;
    test::ScriptedUi ui;
    const auto path = test::testData() / "clearing" / "ocr_retur.txt";
    TBBSRetur reader(ui, data.path());
    reader.LoadFromFile(path);
    const auto& p = reader.Betalinger();
    ASSERT_EQ(p.Count(), 7);
    EXPECT_EQ(p.Items(0).Kid(), "0020000000012329408018");
    EXPECT_EQ(p.Items(0).Dato(), (Date{2024, 3, 15}));
    EXPECT_EQ(p.Items(0).Belop(), Money::fromOre(35000));
    EXPECT_EQ(p.Items(2).Kid(), "1234567");
    EXPECT_EQ(p.Items(2).Belop(), Money::fromOre(125050));
    EXPECT_EQ(p.Items(5).Kid(), "");
    EXPECT_EQ(p.Items(6).Dato(), (Date{2024, 3, 18}));
    EXPECT_EQ(p.Items(6).Belop(), Money::fromOre(17500));
    // Numbers of the start records before each payment.
    EXPECT_EQ(p.Items(0).Forsendelsesnr(), 170604);
    EXPECT_EQ(p.Items(0).Datamottaker(), 12345);
    EXPECT_EQ(p.Items(0).AvtaleId(), 1234567);
    EXPECT_EQ(p.Items(3).Oppdragsnr(), 417);
    EXPECT_EQ(p.Items(4).Oppdragsnr(), 418);
    // The line after amount item 1 is taken as its second line, whatever it is.
    ASSERT_NE(p.Items(1).Linje2(), nullptr);
    EXPECT_EQ(p.Items(1).Linje2()->Line().substr(0, 8), "NY092131");
    EXPECT_EQ(reader.Endringer().Count(), 0);
    EXPECT_EQ(reader.Statusliste().Count(), 0);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(data.path() / "Behandlet"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ReturnFile, AgreementChanges) {
    TempDir data;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, data.path());
    reader.LoadFromFile(test::testData() / "clearing" / "avtaler.txt");
    const auto& e = reader.Endringer();
    ASSERT_EQ(e.Count(), 4);  // the full-list entry (type 0) is discarded
    EXPECT_EQ(e.Items(0).Kid(), "0020000000012329408018");
    EXPECT_FALSE(e.Items(0).ErSlettet());
    EXPECT_TRUE(e.Items(0).OnskerVarsel());
    EXPECT_FALSE(e.Items(1).OnskerVarsel());
    EXPECT_TRUE(e.Items(2).ErSlettet());
    EXPECT_TRUE(e.Items(3).OnskerVarsel());  // "X"
    EXPECT_EQ(e.Items(0).Oppdragsnr(), 9);
    EXPECT_EQ(reader.Statusliste().Count(), 0);
    EXPECT_EQ(reader.Betalinger().Count(), 0);
}

TEST(ReturnFile, NoticeCodes) {
    TempDir dir;
    test::ScriptedUi ui;
    const std::string yes = "1JSTXYjy", no = "0FNU ?n";
    std::string content = transmissionStart();
    for (const char c : yes + no) content += agreement('1', "12345", c);
    TBBSRetur reader(ui, dir.path());
    reader.LoadFromFile(dir.write("avtaler.txt", content));
    ASSERT_EQ(reader.Endringer().Count(), static_cast<int>(yes.size() + no.size()));
    for (int i = 0; i < reader.Endringer().Count(); ++i)
        EXPECT_EQ(reader.Endringer().Items(i).OnskerVarsel(), i < static_cast<int>(yes.size()))
            << i;
}

TEST(ReturnFile, FullAgreementListIsArchived) {
    TempDir dir;
    test::ScriptedUi ui;
    const auto path =
        dir.write("avtaler.txt", transmissionStart() + agreement('0', "12345", 'J') +
                                     agreement('0', "12346", 'N') + transmissionEnd());
    TBBSRetur reader(ui, dir.path() / "data");
    reader.LoadFromFile(path);
    EXPECT_EQ(reader.Statusliste().Count(), 0);
    EXPECT_EQ(reader.Endringer().Count(), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "data" / "Behandlet" /
                                        archivedName(1, "avtaler.txt")));
}

TEST(ReturnFile, FullListEntriesWhenKept) {
    class KeepingReader : public TBBSRetur {
    public:
        using TBBSRetur::TBBSRetur;
        bool SkipStatus(const TBBSReturItemAvtaleStatus&) override { return false; }
        bool SkipBetaling(const TBBSReturItemBetaling& p) override { return p.Belop().ore() == 0; }
    };
    TempDir dir;
    test::ScriptedUi ui;
    KeepingReader reader(ui, dir.path());
    reader.LoadFromFile(dir.write("f.txt", transmissionStart() + agreement('0', "12345", 'J') +
                                               payment("NY0910", "150324", "0", "1") +
                                               payment("NY0910", "150324", "100", "2")));
    ASSERT_EQ(reader.Statusliste().Count(), 1);
    EXPECT_TRUE(reader.Statusliste().Items(0).OnskerVarsel());
    EXPECT_THROW(reader.Statusliste().Items(0).ErSlettet(), FormatError);
    ASSERT_EQ(reader.Betalinger().Count(), 1);
    EXPECT_EQ(reader.Betalinger().Items(0).Kid(), "2");
}

TEST(ReturnFile, KeysIgnoreLetterCase) {
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path());
    reader.LoadFromFile(dir.write("ocr.txt", payment("ny0910", "150324", "12500", "4711")));
    ASSERT_EQ(reader.Betalinger().Count(), 1);
    // A payment before any start record carries zeros.
    const auto& p = reader.Betalinger().Items(0);
    EXPECT_EQ(p.Forsendelsesnr(), 0);
    EXPECT_EQ(p.Oppdragsnr(), 0);
    EXPECT_EQ(p.Datamottaker(), 0);
    EXPECT_EQ(p.AvtaleId(), 0);
    EXPECT_EQ(p.Belop(), Money::fromOre(12500));
}

TEST(ReturnFile, TenLineWindow) {
    const std::string unknown = record("NY090031");
    std::string nine, ten;
    for (int i = 0; i < 9; ++i) nine += unknown;
    ten = nine + unknown;
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path());

    reader.LoadFromFile(dir.write("a.txt", nine + payment("NY0910", "150324", "100", "1")));
    EXPECT_EQ(reader.Betalinger().Count(), 1);
    // Ten lines without a record end the reading, whatever follows.
    reader.LoadFromFile(dir.write("b.txt", ten + payment("NY0910", "150324", "100", "1")));
    EXPECT_EQ(reader.Betalinger().Count(), 0);
    reader.LoadFromFile(dir.write("c.txt", payment("NY0910", "150324", "100", "1") + ten + unknown +
                                               payment("NY0910", "150324", "200", "2")));
    ASSERT_EQ(reader.Betalinger().Count(), 1);
    EXPECT_EQ(reader.Betalinger().Items(0).Kid(), "1");
}

TEST(ReturnFile, PaymentOnTheLastLineAndLineEnds) {
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path());
    std::string content = transmissionStart() + payment("NY0910", "150324", "100", "1");
    content.resize(content.size() - 82);  // drop amount item 2
    content.resize(content.size() - 2);   // and the last line end
    reader.LoadFromFile(dir.write("ocr.txt", content));
    ASSERT_EQ(reader.Betalinger().Count(), 1);
    ASSERT_NE(reader.Betalinger().Items(0).Linje2(), nullptr);
    EXPECT_EQ(reader.Betalinger().Items(0).Linje2()->Line(), "");
    EXPECT_EQ(reader.Betalinger().Items(0).Kid(), "1");

    // LF alone, and a line that an editor saved as UTF-8.
    std::string lf = payment("NY0910", "150324", "100", "1");
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
    lf.replace(24, 1, "Ø");
    reader.LoadFromFile(dir.write("lf.txt", lf));
    ASSERT_EQ(reader.Betalinger().Count(), 1);
    EXPECT_EQ(reader.Betalinger().Items(0).Kid(), "1");
    EXPECT_EQ(reader.Betalinger().Items(0).Belop(), Money::fromOre(100));
}

TEST(ReturnFile, PaymentWithoutSecondLineDoesNotSwallowTheNext) {
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path());
    std::string first = payment("NY0910", "150324", "100", "1");
    first.resize(82);  // amount item 1 only
    reader.LoadFromFile(dir.write(
        "ocr.txt", transmissionStart() + first + payment("NY0910", "150324", "200", "2")));
    ASSERT_EQ(reader.Betalinger().Count(), 2);
    EXPECT_EQ(reader.Betalinger().Items(0).Linje2()->Line(), "");
    EXPECT_EQ(reader.Betalinger().Items(1).Kid(), "2");
    EXPECT_EQ(reader.Betalinger().Items(1).Linje2()->Line().substr(0, 8), "NY091031");
}

TEST(ReturnFile, ReferenceDateOfAgreements) {
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path());
    const auto path = dir.write("avtaler.txt", transmissionStart() + agreement('1', "1", 'J') +
                                                   transmissionEnd("170424") + transmissionStart() +
                                                   agreement('2', "2", 'N'));
    setFileDate(path, 2024, 5, 2);
    reader.LoadFromFile(path);
    ASSERT_EQ(reader.Endringer().Count(), 2);
    EXPECT_EQ(reader.Endringer().Items(0).Dato(), (Date{2024, 5, 2}));   // the file's date
    EXPECT_EQ(reader.Endringer().Items(1).Dato(), (Date{2024, 4, 17}));  // after the end record

    // A file dated in the future counts from today.
    setFileDate(path, Date::today().year + 1, 1, 1);
    reader.LoadFromFile(path);
    EXPECT_EQ(reader.Endringer().Items(0).Dato(), Date::today());
}

TEST(ReturnFile, EmptyTransmissionsAreArchivedUnderFreeNames) {
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path() / "data");
    EXPECT_TRUE(reader.ArkivKatalog().empty());
    const std::string empty = transmissionStart() + transmissionEnd("150324");
    reader.LoadFromFile(dir.write("in/OCR.TXT", empty));
    EXPECT_EQ(reader.ArkivKatalog(), dir.path() / "data" / "Behandlet");
    reader.LoadFromFile(dir.write("in/OCR.TXT", empty));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "in" / "OCR.TXT"));
    EXPECT_EQ(dir.read("data/Behandlet/" + archivedName(1, "OCR.TXT")), empty);
    EXPECT_EQ(dir.read("data/Behandlet/" + archivedName(2, "OCR.TXT")), empty);

    // Without a start of transmission nothing is archived.
    const auto plain = dir.write("in/tom.txt", transmissionEnd());
    reader.LoadFromFile(plain);
    EXPECT_TRUE(std::filesystem::exists(plain));
}

TEST(ReturnFile, ArchiveDirectoryThatCannotBeMade) {
    TempDir dir;
    test::ScriptedUi ui;
    dir.write("data", "a file where the directory should be");
    TBBSRetur reader(ui, dir.path() / "data");
    const auto path = dir.write("OCR.TXT", transmissionStart() + transmissionEnd());
    try {
        reader.LoadFromFile(path);
        FAIL() << "no failure";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Kan ikke opprette katalog for lagring av behandlede BBS-returfiler (" +
                      (dir.path() / "data" / "Behandlet").string() + ")");
    }
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(ReturnFile, UnreadablePaymentFailsTheWholeFile) {
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path());
    const auto path =
        dir.write("ocr.txt", transmissionStart() + payment("NY0910", "150324", "100", "1") +
                                 payment("NY0910", "311324", "100", "2"));
    try {
        reader.LoadFromFile(path);
        FAIL() << "no failure";
    } catch (const FormatError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Feil i BBS-returfilen " + path.string() + ", linje 4: Ugyldig dato «311324»");
    }
    EXPECT_EQ(reader.Betalinger().Count(), 0);
    EXPECT_TRUE(std::filesystem::exists(path));

    std::string badAmount = payment("NY0910", "150324", "100", "1");
    badAmount.replace(40, 3, "1x2");
    EXPECT_THROW(reader.LoadFromFile(dir.write("b.txt", badAmount)), FormatError);
}

TEST(ReturnFile, IndexOfKid) {
    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader(ui, dir.path());
    reader.LoadFromFile(
        dir.write("ocr.txt", payment("NY0910", "150324", "100", "0020000000012329408018") +
                                 payment("NY0910", "150324", "100", "0020000000471129408018") +
                                 payment("NY0910", "150324", "100", "123")));
    const auto& p = reader.Betalinger();
    EXPECT_EQ(p.IndexOfKid("123", 4, 14), 0);
    EXPECT_EQ(p.IndexOfKid("4711", 4, 14), 1);
    EXPECT_EQ(p.IndexOfKid("200000004711", 1, 14), 1);
    EXPECT_EQ(p.IndexOfKid("123", 1, 3), 2);
    EXPECT_EQ(p.IndexOfKid("999", 4, 14), -1);
    EXPECT_EQ(p.IndexOfKid("1", 20, 30), -1);  // beyond the KID
}

// ---- Line ends, cut records, reversals and files that cannot be read -------

namespace {

// The same records with other line ends: "\r\n" replaced by `end`.
std::string withLineEnds(const std::string& content, const std::string& end) {
    std::string out;
    for (std::size_t p = 0;;) {
        const std::size_t crlf = content.find("\r\n", p);
        if (crlf == std::string::npos) return out + content.substr(p);
        out += content.substr(p, crlf - p) + end;
        p = crlf + 2;
    }
}

std::string threePayments() {
    return transmissionStart() + record("NY090020001234567000041700000000") +
           payment("NY0910", "150324", "100", "1") + payment("NY0910", "150324", "200", "2") +
           payment("NY0910", "160324", "300", "3") + record("NY090088") + transmissionEnd();
}

}  // namespace

// Each case reads with its own reader; the archive lies in "data".
class ReturnFileLines : public ::testing::Test {
protected:
    // Whether reading the file fails with a message that holds `text`.
    bool failsWith(const std::string& name, const std::string& content, const std::string& text) {
        return loadErrorOf(reader, dir.write(name, content)).find(text) != std::string::npos;
    }

    TempDir dir;
    test::ScriptedUi ui;
    TBBSRetur reader{ui, dir.path() / "data"};
};

TEST_F(ReturnFileLines, EveryKindOfLineEndGivesTheSamePayments) {
    const std::string crlf = threePayments();
    // CR alone, LF alone, and a file that mixes all three.
    std::string mixed = crlf;
    mixed.replace(mixed.find("\r\n"), 2, "\r");
    mixed.replace(mixed.rfind("\r\n"), 2, "\n");
    mixed.replace(mixed.find("\r\n", 300), 2, "\r");
    for (const std::string& content :
         {crlf, withLineEnds(crlf, "\r"), withLineEnds(crlf, "\n"), mixed}) {
        const auto path = dir.write("ocr.txt", content);
        reader.LoadFromFile(path);
        ASSERT_EQ(reader.Betalinger().Count(), 3);
        EXPECT_EQ(reader.Betalinger().Items(0).Kid(), "1");
        EXPECT_EQ(reader.Betalinger().Items(2).Belop(), Money::fromOre(300));
        EXPECT_EQ(reader.Betalinger().Items(2).Oppdragsnr(), 417);
        ASSERT_NE(reader.Betalinger().Items(1).Linje2(), nullptr);
        EXPECT_EQ(reader.Betalinger().Items(1).Linje2()->Line(),
                  std::string("NY091031") + std::string(72, '0'));
        EXPECT_TRUE(std::filesystem::exists(path));  // payments: never archived
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "data" / "Behandlet"));
}

TEST_F(ReturnFileLines, TooLongLineFailsAndTheFileStays) {
    // Lines ended by a character the reader does not know run together.
    const auto path = dir.write("ocr.txt", withLineEnds(threePayments(), "\x15"));
    try {
        reader.LoadFromFile(path);
        FAIL() << "no failure";
    } catch (const FormatError& e) {
        EXPECT_EQ(std::string(e.what()), "Feil i BBS-returfilen " + path.string() +
                                             ", linje 1: posten er lengre enn 80 tegn");
    }
    EXPECT_EQ(reader.Betalinger().Count(), 0);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "data" / "Behandlet"));

    // Blanks after position 80 are no part of the record; a long line in
    // the middle is named by its number.
    std::string content = threePayments();
    content.insert(80, "    ");
    reader.LoadFromFile(dir.write("blanks.txt", content));
    EXPECT_EQ(reader.Betalinger().Count(), 3);
    content.insert(4 * 82 + 4 + 80, "x");
    EXPECT_TRUE(failsWith("long.txt", content, ", linje 5: posten er lengre enn 80 tegn"));
}

TEST_F(ReturnFileLines, CutPaymentAndAgreementRecordsFail) {
    // A payment cut at 60 characters would read KID "123456789012".
    std::string cut = payment("NY0910", "150324", "12500", "1234567890123456789012");
    cut.erase(60, 20);
    const auto path = dir.write("ocr.txt", transmissionStart() + cut + transmissionEnd());
    EXPECT_EQ(loadErrorOf(reader, path), "Feil i BBS-returfilen " + path.string() +
                                             ", linje 2: posten er kortere enn 80 tegn (60 tegn)");
    EXPECT_EQ(reader.Betalinger().Count(), 0);

    std::string shortAgreement = agreement('1', "12345", 'J');
    shortAgreement.erase(30, 50);
    EXPECT_TRUE(failsWith("avtaler.txt",
                          transmissionStart() + agreement('1', "1", 'J') + shortAgreement,
                          ", linje 3: posten er kortere enn 80 tegn (30 tegn)"));
    // A payment found where the second line of another should be is named
    // by its own line.
    std::string first = payment("NY0910", "150324", "100", "1");
    first.resize(82);
    EXPECT_TRUE(
        failsWith("b.txt", transmissionStart() + first + cut, ", linje 3: posten er kortere"));
}

TEST_F(ReturnFileLines, ReversalIsReadWithItsSign) {
    std::string reversal = payment("NY0918", "180324", "12500", "4711");
    reversal[31] = '-';
    reader.LoadFromFile(dir.write(
        "ocr.txt", transmissionStart() + payment("NY0910", "150324", "12500", "4711") + reversal));
    ASSERT_EQ(reader.Betalinger().Count(), 2);
    EXPECT_EQ(reader.Betalinger().Items(0).Belop(), Money::fromOre(12500));
    EXPECT_EQ(reader.Betalinger().Items(1).Belop(), Money::fromOre(-12500));
    EXPECT_EQ(reader.Betalinger().Items(1).Kid(), "4711");
    EXPECT_FALSE(reader.Betalinger().Items(0).ErTilbakeforing());
    EXPECT_TRUE(reader.Betalinger().Items(1).ErTilbakeforing());
}

TEST_F(ReturnFileLines, FileThatCannotBeOpenedFails) {
    reader.LoadFromFile(dir.write("ocr.txt", payment("NY0910", "150324", "100", "1")));
    EXPECT_THROW(reader.LoadFromFile(dir.path() / "finnes_ikke.txt"), FileError);
    EXPECT_EQ(reader.Betalinger().Count(), 0);
    EXPECT_EQ(loadErrorOf(reader, dir.path() / "finnes_ikke.txt"),
              "Kan ikke åpne BBS-returfilen " + (dir.path() / "finnes_ikke.txt").string() +
                  ": filen finnes ikke");
    EXPECT_EQ(loadErrorOf(reader, dir.path()),
              "Kan ikke åpne BBS-returfilen " + dir.path().string() + ": det er en katalog");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "data" / "Behandlet"));
}
