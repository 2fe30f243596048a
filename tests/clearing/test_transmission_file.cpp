// Writing transmissions and reading them back in.
#include <gtest/gtest.h>

#include "clearing/bbs_transmission.h"
#include "common/error.h"
#include "common/file_names.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::clearing;
using lagrull::test::TempDir;

namespace {

class TestBBS : public TBBS {
public:
    std::string NyttOppdragsnr() override { return std::to_string(2000 + ++issued); }
    std::string NyttForsendelsesnr() override { return std::to_string(900 + ++issued); }
    int issued = 0;
};

std::string record(std::string start, std::size_t length = 80) {
    start.resize(length, '0');
    return start;
}

// A claim file with one transaction of `type` in an assignment of `assignment`.
std::string fileWith(const std::string& assignment, const std::string& transactionLines) {
    return record("NY000010123456780000042") + "\r\n" +
           record("NY" + assignment + "20000000000000007") + "\r\n" + transactionLines +
           record("NY" + assignment + "88") + "\r\n" + record("NY000089") + "\r\n";
}

std::string loadError(const std::string& content) {
    TempDir dir;
    const auto path = dir.write("feil.bbs", content);
    TestBBS bbs;
    try {
        bbs.LoadFromFile(path);
    } catch (const Error& e) {
        EXPECT_FALSE(bbs.Loading());
        return e.what();
    }
    return "(ingen feil)";
}

}  // namespace

TEST(TransmissionFile, WrittenFileReadsBackToTheSameBytes) {
    TestBBS built;
    built.SetDataavsender("12345678");
    auto& claims = built.NyttOppdrag<TBBSBetalingsOppdrag>();
    claims.SetOppdragskonto("15030123456");
    auto& t = claims.NyBetaling();
    t.SetForfallsdato(Date{2024, 3, 20});
    t.SetBelop(350.0);
    t.SetKid("0020000000012329413018");
    t.SetNavn("Østby Åse");
    t.SetSpesifikasjonTekst("Kontingent\t350,00\nGrasrot\t5,00\n" + std::string(60, 'x'));
    auto& own = claims.NyBetaling();
    own.SetEgetVarsel(true);
    own.SetBelop(500.0);
    auto& deletions = built.NyttOppdrag<TBBSSlettingsOppdrag>();
    deletions.NySletting().SetFremmedreferanse("Kontingent 2024");
    auto& remittance = built.NyttOppdrag<TBBSRemitteringsOppdrag>("", "99");
    remittance.NyRemittering().SetNavn("Hansen Kari Anne");

    TempDir dir;
    test::ScriptedUi ui;
    built.SaveToFile(dir.path() / "dirdeb.bbs", ui);
    const std::string written = dir.read("dirdeb.bbs");
    EXPECT_EQ(written.size() % 82, 0u);
    EXPECT_NE(written.find("\xD8 \xC5SE"), std::string::npos);  // ISO-8859-1, one byte each

    TestBBS loaded;
    loaded.LoadFromFile(dir.path() / "dirdeb.bbs");
    EXPECT_EQ(loaded.issued, 0);
    ASSERT_EQ(loaded.OppdragCount(), 3);
    EXPECT_EQ(loaded.Oppdrag(0).kind(), TBBSOppdrag::Kind::Betaling);
    EXPECT_EQ(loaded.Oppdrag(1).kind(), TBBSOppdrag::Kind::Sletting);
    EXPECT_EQ(loaded.Oppdrag(2).kind(), TBBSOppdrag::Kind::Remittering);
    EXPECT_TRUE(static_cast<TBBSTransaksjon&>(loaded.Oppdrag(0).Transaksjon(1)).HarEgetVarsel());
    EXPECT_EQ(loaded.ToText(ui), written);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(TransmissionFile, PublishedLayoutClaimFileRoundTrips) {
    const auto path = test::testData() / "clearing" / "dirdeb.bbs";
    TestBBS bbs;
    bbs.LoadFromFile(path);
    EXPECT_EQ(bbs.GetForsendelsesnr(), "123456");
    ASSERT_EQ(bbs.OppdragCount(), 1);
    const TBBSOppdrag& o = bbs.Oppdrag(0);
    EXPECT_EQ(o.TransaksjonCount(), 3);
    EXPECT_EQ(o.totals().records, 14);
    EXPECT_EQ(o.totals().sum, Money::fromOre(125500));
    EXPECT_EQ(o.Transaksjon(0).GetKid(), "0020000000012329413018");
    test::ScriptedUi ui;
    EXPECT_EQ(bbs.ToText(ui), readFileBytes(path));
}

TEST(TransmissionFile, AppendingKeepsTheFileAndNumbersTheNewAssignment) {
    TempDir dir;
    test::ScriptedUi ui;
    {
        TestBBS first;
        first.NyttOppdrag<TBBSBetalingsOppdrag>().NyBetaling().SetBelop(100.0);
        first.SaveToFile(dir.path() / "dirdeb.bbs", ui);
        EXPECT_EQ(first.GetForsendelsesnr(), "901");
    }
    TestBBS again;
    again.LoadFromFile(dir.path() / "dirdeb.bbs");
    auto& added = again.NyttOppdrag<TBBSBetalingsOppdrag>();
    added.NyBetaling().SetBelop(250.0);
    EXPECT_EQ(again.GetForsendelsesnr(), "901");
    EXPECT_EQ(again.Oppdrag(0).GetOppdragsnr(), "0002002");
    EXPECT_EQ(added.GetOppdragsnr(), "0002001");
    EXPECT_EQ(again.Slutt().AntallTransaksjoner(), 2);
    EXPECT_EQ(again.Slutt().AntallRecords(), 10);
    EXPECT_EQ(again.Slutt().Sum(), Money::fromOre(35000));
}

TEST(TransmissionFile, TotalsOfAFileAreCountedFromItsTransactions) {
    // The end records claim nothing; loading counts what is there.
    const std::string content =
        fileWith("2100", record("NY2121300000001"
                                "200324" +
                                std::string(11, '0') + "00000000000012500") +
                             "\n" + record("NY212131000000") + "\n");
    TempDir dir;
    TestBBS bbs;
    bbs.LoadFromFile(dir.write("dirdeb.bbs", content));
    EXPECT_EQ(bbs.Oppdrag(0).Slutt().AntallRecords(), 4);
    EXPECT_EQ(bbs.Oppdrag(0).Slutt().Sum(), Money::fromOre(12500));
    EXPECT_EQ(bbs.Oppdrag(0).Slutt().ForsteForfallsdato(), (Date{2024, 3, 20}));
    EXPECT_EQ(bbs.Slutt().AntallRecords(), 6);
    EXPECT_EQ(bbs.Slutt().Sum(), Money::fromOre(12500));
}

TEST(TransmissionFile, LineEndsAndShortLinesAreAccepted) {
    // An empty transmission exactly as it is written.
    const std::string full = record("NY000010123456780000042") + "\r\n" +
                             record("NY210020000000000000007") + "\r\n" + record("NY210088") +
                             "\r\n" + record("NY00008900000000000000040") + "\r\n";
    std::string lf = full;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
    lf.pop_back();  // no final line end
    // An editor cut the trailing blanks and fillers of a line.
    std::string cut = full;
    cut.replace(0, 80, "NY000010123456780000042");
    std::string padded = full;
    padded.replace(0, 80, record("NY000010123456780000042") + "   ");

    // The old end-of-file mark, on its own line or right after the last record.
    const std::string markAlone = full + "\x1a";
    const std::string markAfter = full.substr(0, full.size() - 2) + "\x1a";

    TempDir dir;
    test::ScriptedUi ui;
    for (const std::string& content : {full, lf, cut, padded, markAlone, markAfter}) {
        TestBBS bbs;
        bbs.LoadFromFile(dir.write("fil.bbs", content));
        const std::string text = bbs.ToText(ui);
        EXPECT_EQ(text.substr(82), full.substr(82));
        EXPECT_EQ(text.substr(0, 82),
                  content == cut ? "NY000010123456780000042" + std::string(57, ' ') + "\r\n"
                                 : full.substr(0, 82));
        EXPECT_EQ(bbs.issued, 0);
    }
}

TEST(TransmissionFile, MissingFile) {
    TempDir dir;
    const auto path = dir.path() / "finnes_ikke.bbs";
    TestBBS bbs;
    try {
        bbs.LoadFromFile(path);
        FAIL() << "no failure";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Finner ikke BBS filen " + path.string());
    }
    EXPECT_FALSE(bbs.Loading());
}

TEST(TransmissionFile, UnknownCodesFailWithTheLineNumber) {
    EXPECT_NE(loadError(fileWith("0900", "")).find("linje 2: Ukjent oppdragstype"),
              std::string::npos);
    EXPECT_NE(loadError(fileWith("2100", record("NY215530") + "\r\n"))
                  .find("linje 3: Ukjent transaksjonstype"),
              std::string::npos);
    const std::string spec49 = record("NY212130") + "\r\n" + record("NY092149") + "\r\n";
    EXPECT_NE(loadError(fileWith("2100", spec49)).find("linje 4: Ukjent spesifikasjonstype"),
              std::string::npos);
}

// A record must open with the format code "NY": a line that does not was
// once taken for the record its positions 7-8 named and written back in a
// form the next reading took for something else.
TEST(TransmissionFile, ARecordWithoutTheFormatCodeFails) {
    EXPECT_NE(loadError("\xD0\xA3"
                        "213620" +
                        std::string(71, '0') + "\x89\r\n")
                  .find("linje 1: posten begynner ikke med formatkoden NY"),
              std::string::npos);
    EXPECT_NE(loadError(fileWith("2100", record("ny212130") + "\r\n"))
                  .find("linje 3: posten begynner ikke med formatkoden NY"),
              std::string::npos);
    // Lines that are no record at all are passed by, as before.
    EXPECT_EQ(loadError(fileWith("2100", "Fritt tekst\r\n")), "(ingen feil)");
}

TEST(TransmissionFile, RecordsThatCannotBePlacedFail) {
    const auto path = test::testData() / "clearing" / "feil_plassering.bbs";
    TestBBS bbs;
    try {
        bbs.LoadFromFile(path);
        FAIL() << "no failure";
    } catch (const FormatError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Feil i BBS-filen " + path.string() +
                      ", linje 2: transaksjonen (post 30) står ikke i et oppdrag");
    }
    EXPECT_FALSE(bbs.Loading());

    const std::string item1 = record("NY219330") + "\r\n";
    EXPECT_NE(loadError(fileWith("2136", item1 + record("NY219349") + "\r\n"))
                  .find("linje 4: en sletteanmodning kan ikke ha spesifikasjon"),
              std::string::npos);
    EXPECT_NE(loadError(fileWith("2100", record("NY212130") + "\r\n" + record("NY212140") + "\r\n"))
                  .find("linje 4: adresseposten (post 40)"),
              std::string::npos);
    EXPECT_NE(loadError(fileWith("2100", record("NY212131") + "\r\n")).find("linje 3: posten 31"),
              std::string::npos);
    EXPECT_NE(loadError(fileWith("2100", item1))
                  .find("linje 3: en transaksjon av type 93 kan ikke stå i "
                        "et betalingsoppdrag"),
              std::string::npos);
    EXPECT_NE(loadError(record("NY210088") + "\r\n").find("linje 1: slutten på et oppdrag"),
              std::string::npos);
    // After its end record an assignment takes no more transactions.
    EXPECT_NE(loadError(fileWith("2100", "") + record("NY212130") + "\r\n")
                  .find("linje 5: transaksjonen"),
              std::string::npos);
    EXPECT_NE(
        loadError(record("NY000010") + std::string(5, 'x') + "\r\n").find("lengre enn 80 tegn"),
        std::string::npos);
    EXPECT_NE(loadError(fileWith("2100", record("NY21213000000013202240") + "\r\n"))
                  .find("linje 3: Ugyldig dato «320224»"),
              std::string::npos);
    EXPECT_NE(loadError(fileWith("2100", record("NY2121300000001200324" + std::string(11, '0') +
                                                "0000000000001x500") +
                                             "\r\n"))
                  .find("linje 3: Ugyldig beløp «0000000000001x500»"),
              std::string::npos);
}

TEST(TransmissionFile, NumbersAreReadAsInReturnFilesAndShortLinesAreNamed) {
    // An amount padded with blanks is the number inside.
    TempDir dir;
    TestBBS bbs;
    bbs.LoadFromFile(dir.write(
        "blanks.bbs", fileWith("2100", record("NY2121300000001200324" + std::string(11, '0') +
                                              "      12345      ") +
                                           "\r\n" + record("NY212131") + "\r\n")));
    EXPECT_EQ(bbs.Oppdrag(0).Transaksjon(0).Belop(), Money::fromOre(12345));
    EXPECT_EQ(bbs.Slutt().Sum(), Money::fromOre(12345));
    // A transaction cut inside its fields is short, not a bad amount.
    const std::string cut = std::string("NY2121300000001200324") + std::string(11, '0') + "0000";
    EXPECT_NE(loadError(fileWith("2100", cut + "\r\n" + record("NY212131") + "\r\n"))
                  .find("linje 3: posten er kortere enn 80 tegn (36 tegn)"),
              std::string::npos);
}

TEST(TransmissionFile, StartRecordMadeForAFileWithoutOneHasTheDataSender) {
    TempDir dir;
    TestBBS bbs;
    const std::string withoutStart = fileWith("2100", "").substr(82);
    bbs.LoadFromFile(dir.write("uten_start.bbs", withoutStart), "12345678");
    EXPECT_EQ(bbs.Start().Dataavsender(), "12345678");
    EXPECT_EQ(bbs.Start().Line().substr(0, 16), "NY00001012345678");
    // The file's own start record keeps its data sender.
    TestBBS own;
    own.LoadFromFile(dir.write("med_start.bbs", fileWith("2100", "")), "99999999");
    EXPECT_EQ(own.Start().Dataavsender(), "12345678");
}

TEST(TransmissionFile, WriteFailureIsReported) {
    TestBBS bbs;
    test::ScriptedUi ui;
    try {
        bbs.SaveToFile("/finnes/ikke/dirdeb.bbs", ui);
        FAIL() << "no failure";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Kan ikke skrive BBS-filen /finnes/ikke/dirdeb.bbs");
    }
}
