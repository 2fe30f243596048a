#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "claims_fixture.h"
#include "common/error.h"
#include "common/file_names.h"
#include "common/text_codec.h"
#include "payments/giro_export.h"
#include "payments/giro_run.h"

namespace lagrull::test {
namespace {

std::vector<std::string> split(const std::string& s, const std::string& sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t p; (p = s.find(sep, start)) != std::string::npos; start = p + sep.size())
        out.push_back(s.substr(start, p - start));
    out.push_back(s.substr(start));
    return out;
}

TEST(GiroExport, OneGiroIsTheHeaderAndOneRecordWithoutFinalBreak) {
    TempDir dir;
    TOrvExportGiro out(dir.path() / "BANKGIRO.TXT", "betnavn,kid,tekst1");
    out.setValue("BETNAVN", "Ærlig, Åse");  // any letter case finds the field
    out.setValue("kid", "123");
    out.writeRecord();
    out.save();
    EXPECT_EQ(dir.read("BANKGIRO.TXT"), "betnavn\tkid\ttekst1\r\n\xC6rlig, \xC5se\t123\t");
}

TEST(GiroExport, RunWithoutGirosLeavesTheHeader) {
    TempDir dir;
    TOrvExportGiro out(dir.path() / "g.txt", kGiroFieldList);
    out.save();
    EXPECT_EQ(split(dir.read("g.txt"), "\t").size(), 31u);
    EXPECT_EQ(dir.read("g.txt").find('\n'), std::string::npos);
}

TEST(GiroExport, ValuesAreEmptiedAfterEachRecordAndNeverShiftFields) {
    TempDir dir;
    TOrvExportGiro out(dir.path() / "g.txt", "a,b,c");
    out.setValue("a", "1");
    out.setValue("b", "2\tto\r\nlinjer");
    out.setValue("c", "3");
    out.writeRecord();
    out.setValue("a", "x");
    out.writeRecord();
    EXPECT_EQ(out.content(), "a\tb\tc\r\n1\t2 to  linjer\t3\r\nx\t\t");
}

TEST(GiroExport, UnknownFieldIsRefused) {
    TOrvExportGiro out("/tmp/unused", "a");
    try {
        out.setValue("b", "1");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Ikke gyldig feltnavn (b) for giroeksport!");
    }
}

TEST(GiroExport, FailedWriteKeepsThePreviousFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
    TempDir dir;
    dir.write("BANKGIRO.TXT", "forrige");
    chmod(dir.str().c_str(), 0500);
    TOrvExportGiro out(dir.path() / "BANKGIRO.TXT", "a");
    EXPECT_THROW(out.save(), Error);
    chmod(dir.str().c_str(), 0700);
    EXPECT_EQ(dir.read("BANKGIRO.TXT"), "forrige");
}

// The files of a directory, by name.
std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(GiroExport, AWriteThatFailsHalfWayNeverLeavesHalfAFile) {
    TempDir dir;
    dir.write("BANKGIRO.TXT", "forrige");
    TOrvExportGiro out(dir.path() / "BANKGIRO.TXT", kGiroFieldList);
    for (int i = 0; i < 500; ++i) {
        out.setValue("betnavn", "Ødegård " + std::to_string(i));
        out.writeRecord();
    }
    const std::string bytes = fromUtf8(out.content(), CodePage::Windows1252);
    // The disk fills half-way through: the stream fails after half the bytes.
    EXPECT_THROW(writeFileThroughTemporary(
                     out.path(),
                     [&bytes](std::ostream& s) {
                         s.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
                         s.setstate(std::ios::badbit);
                     }),
                 FileError);
    EXPECT_EQ(dir.read("BANKGIRO.TXT"), "forrige");
    // The writer itself fails half-way.
    EXPECT_THROW(writeFileThroughTemporary(out.path(),
                                           [&bytes](std::ostream& s) {
                                               s.write(bytes.data(), 100);
                                               throw Error("avbrutt");
                                           }),
                 Error);
    EXPECT_EQ(dir.read("BANKGIRO.TXT"), "forrige");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"BANKGIRO.TXT"}));
    // A whole write replaces the file.
    out.save();
    EXPECT_EQ(readFileBytes(out.path()), bytes);
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"BANKGIRO.TXT"}));
}

TEST(GiroExport, AFileThatCannotBeReplacedLeavesNoTemporaryBehind) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "BANKGIRO.TXT" / "opptatt");
    TOrvExportGiro out(dir.path() / "BANKGIRO.TXT", "a");
    out.writeRecord();
    EXPECT_THROW(out.save(), Error);
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"BANKGIRO.TXT"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "BANKGIRO.TXT"));
}

class GiroRun : public ClaimsTest {
protected:
    GiroRun() { job.orgNr = kOrg, job.dueDate = "15032024"; }

    void claim(const std::string& medlnr, double belop, const std::string& betflag = "",
               const std::string& rel1 = "", const std::string& dato = "15032024") {
        exec(
            "insert into mbetreg (orgnr, medlnr, dato, belop, betflag, kid, tekst, rel1) "
            "values (1, :m, :d, :b, :f, :k, 'Kontingent 2024', :r)",
            {{"m", data::Value(medlnr)},
             {"d", data::Value(dato)},
             {"b", data::Value(belop)},
             {"f", data::Value(betflag)},
             {"k", data::Value("KID" + medlnr)},
             {"r", data::Value(rel1)}});
    }

    // The records of a run, each split into its 31 fields.
    std::vector<std::vector<std::string>> run(const reports::TQueryBuilder& query) {
        const auto file = dir.path() / "BANKGIRO.TXT";
        const long long n = writeGiroFile(db(), ui, job, query, readPayee(db(), kOrg), file);
        const std::string bytes = readFileBytes(file);
        std::vector<std::vector<std::string>> records;
        const auto lines = split(bytes, "\r\n");
        for (std::size_t i = 1; i < lines.size(); ++i) records.push_back(split(lines[i], "\t"));
        EXPECT_EQ(static_cast<long long>(records.size()), n);
        for (const auto& r : records) EXPECT_EQ(r.size(), 31u);
        return records;
    }
    reports::TQueryBuilder query() const {
        reports::TQueryBuilder q;
        addGiroQuery(q, job);
        return q;
    }
    std::vector<std::vector<std::string>> run() { return run(query()); }

    static std::vector<std::string> names(const std::vector<std::vector<std::string>>& records) {
        std::vector<std::string> out;
        out.reserve(records.size());
        for (const auto& r : records) out.push_back(r[0]);
        return out;
    }

    GiroSpec job;
};

enum Field {
    betnavn,
    betaddr1,
    betaddr2,
    betpostnr,
    betpostst,
    adresse3,
    varsel,
    betkonto,
    kid,
    forf,
    belop,
    motnavn,
    motaddr1,
    motaddr2,
    motpostnr,
    motpostst,
    motkonto,
    tekst1
};

TEST_F(GiroRun, FeeRunGivesGirosToGiroPayersAndOwnNoticeAvtaleGiroOnly) {
    member({.medlnr = "1", .enavn = "Giro", .betaling = std::int64_t(2)});
    member({.medlnr = "2", .enavn = "Kontant", .betaling = std::int64_t(3)});
    member({.medlnr = "3", .enavn = "Fast", .betaling = std::int64_t(0)});
    member(
        {.medlnr = "4", .enavn = "Avtale med varsel", .betaling = std::int64_t(1), .varsling = 1});
    member({.medlnr = "5", .enavn = "Avtale uten", .betaling = std::int64_t(1), .varsling = 0});
    member({.medlnr = "6", .enavn = "Avtale bank", .betaling = std::int64_t(1), .varsling = 2});
    for (const char* m : {"1", "2", "3", "4", "5", "6"}) claim(m, 350);
    auto records = run();
    EXPECT_EQ(names(records), (std::vector<std::string>{"Avtale med varsel", "Giro"}));
    EXPECT_EQ(records[0][varsel], "Ja");
    EXPECT_EQ(records[1][varsel], "Nei");
    job.kind = GiroKind::AnnenBetaling;
    EXPECT_EQ(run().size(), 6u);
}

TEST_F(GiroRun, PaidClaimsAndOtherDatesNeverGetAGiro) {
    member({.medlnr = "1", .enavn = "Betalt"});
    member({.medlnr = "2", .enavn = "Annen dato"});
    claim("1", 350, "X");
    claim("2", 350, "", "", "01012024");
    job.kind = GiroKind::AnnenBetaling;
    EXPECT_TRUE(run().empty());
}

TEST_F(GiroRun, RecordCarriesPayerPayeeAndAmount) {
    member({.medlnr = "1",
            .enavn = "Hansen",
            .fornavn = "Ola",
            .adresse = "Gata 1",
            .postnr = "0150",
            .poststed = "OSLO",
            .bankkonto = "98765432109"});
    claim("1", 1234.5);
    job.payerAccount = true;
    auto r = run().at(0);
    EXPECT_EQ(r[betnavn], "Hansen, Ola");
    EXPECT_EQ(r[betaddr1], "Gata 1");
    EXPECT_EQ(r[betpostnr], "0150");
    EXPECT_EQ(r[betpostst], "OSLO");
    EXPECT_EQ(r[adresse3], "");
    EXPECT_EQ(r[betkonto], "98765432109");
    EXPECT_EQ(r[kid], "KID1");
    EXPECT_EQ(r[forf], "15.03.2024");
    EXPECT_EQ(r[belop], "1234,50");
    EXPECT_EQ(r[motnavn], "Idrettslaget \xD8rn");  // Windows-1252
    EXPECT_EQ(r[motaddr1], "Postboks 7");
    EXPECT_EQ(r[motpostnr], "0150");
    EXPECT_EQ(r[motkonto], "12345678903");
    job.payerAccount = false;
    job.name = GiroName::FornavnEtternavn;
    r = run().at(0);
    EXPECT_EQ(r[betkonto], "");
    EXPECT_EQ(r[betnavn], "Ola Hansen");
}

TEST_F(GiroRun, NameWithOnePartLeavesTheSeparatorOut) {
    member({.medlnr = "1", .enavn = "Firma AS"});
    member({.medlnr = "2", .fornavn = "Kari"});
    claim("1", 1);
    claim("2", 1);
    EXPECT_EQ(names(run()), (std::vector<std::string>{"Kari", "Firma AS"}));
}

TEST_F(GiroRun, ForeignAddressReplacesPostalCodeAndPlace) {
    member({.medlnr = "1",
            .enavn = "Svensson",
            .postnr = "0150",
            .poststed = "OSLO",
            .adresse3 = "S-11122 STOCKHOLM"});
    claim("1", 100);
    const auto r = run().at(0);
    EXPECT_EQ(r[betpostnr], "");
    EXPECT_EQ(r[betpostst], "S-11122 STOCKHOLM");
    EXPECT_EQ(r[adresse3], "");
}

TEST_F(GiroRun, ZeroOrNegativeAmountGivesAGiroWithoutAmount) {
    member({.medlnr = "1", .enavn = "Null"});
    member({.medlnr = "2", .enavn = "Minus"});
    claim("1", 0);
    claim("2", -50);
    for (const auto& r : run()) EXPECT_EQ(r[belop], "");
}

TEST_F(GiroRun, ConsecutiveRowsOfOneMemberAreSummedIntoOneGiro) {
    // A selection joining relations gives member 1 once per relation.
    member({.medlnr = "1", .enavn = "Dobbel"});
    member({.medlnr = "2", .enavn = "Enkel"});
    claim("1", 100);
    claim("2", 50);
    relation("1", "A", 0);
    relation("1", "B", 0);
    relation("2", "A", 0);
    job.selectionUsed = true;
    reports::TQueryBuilder q = query();
    q.AddFrom({"relreg r"});
    q.AddWhere({"r.orgnr = m.orgnr", "r.medlnr = m.medlnr"});
    const auto records = run(q);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][betnavn], "Dobbel");
    EXPECT_EQ(records[0][belop], "200,00");
    EXPECT_EQ(records[1][belop], "50,00");
}

TEST_F(GiroRun, BlankTextLinesAreSkippedAndLaterOnesMoveUp) {
    member({.medlnr = "1", .enavn = "Hansen", .kategori = "Senior"});
    member({.medlnr = "2", .enavn = "Olsen"});
    claim("1", 350, "", "A-lag                  100,00");
    claim("2", 350);
    job.lines[0] = {TextLineKind::Fritekst, "Linje 1", {}};
    job.lines[1] = {TextLineKind::Flettefelt, {}, "REL1"};  // blank for member 2
    job.lines[2] = {TextLineKind::Fritekst, "   ", {}};
    job.lines[3] = {TextLineKind::Flettefelt, {}, "KATSTR"};
    const auto records = run();
    EXPECT_EQ(records[0][tekst1], "Linje 1");
    EXPECT_EQ(records[0][tekst1 + 1], "A-lag                  100,00");
    EXPECT_EQ(records[0][tekst1 + 2], "Senior                 350,00");
    EXPECT_EQ(records[0][tekst1 + 3], "");
    EXPECT_EQ(records[1][tekst1 + 1], std::string(23, ' ') + "350,00");
    EXPECT_EQ(records[1][tekst1 + 2], "");  // nothing left over from the giro before
}

TEST_F(GiroRun, PresetsAndDescription) {
    member({.medlnr = "1"});
    claim("1", 350);
    EXPECT_EQ(claimDescription(db(), kOrg, "15032024"), "Kontingent 2024");
    EXPECT_EQ(claimDescription(db(), kOrg, "01012000"), std::nullopt);
    job.lines[5] = {TextLineKind::Fritekst, "gammel", {}};
    applyPreset(job, GiroPreset::StdOppsett, "Kontingent 2024");
    EXPECT_EQ(job.lines[0].text, "Kontingent 2024");
    EXPECT_EQ(job.lines[1].field, "MEDLNR");
    EXPECT_EQ(job.lines[2].field, "NAVN");
    EXPECT_EQ(job.lines[3].field, "KATSTR");
    EXPECT_EQ(job.lines[5].kind, TextLineKind::Fritekst);
    EXPECT_EQ(job.lines[5].text, "");
    applyPreset(job, GiroPreset::AlleGrupper, "K");
    EXPECT_EQ(job.lines[13].field, "REL13");
    EXPECT_EQ(giroMergeFields().at(4), "REL1=Relasjon 1  <beløp>");
}

TEST_F(GiroRun, GiroProgramStartsDetachedOrSaysItIsMissing) {
    dir.write("skriver.sh", "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/fikk.txt\"\n");
    chmod((dir.path() / "skriver.sh").c_str(), 0700);
    const auto file = dir.path() / "mappe med blank" / "BANKGIRO.TXT";
    EXPECT_TRUE(startGiroProgram(ui, dir.path() / "skriver.sh", file));
    for (int i = 0; i < 200 && !std::filesystem::exists(dir.path() / "fikk.txt"); ++i)
        usleep(10000);
    EXPECT_EQ(dir.read("fikk.txt"), file.string() + "\n");
    EXPECT_FALSE(startGiroProgram(ui, {}, file));
    EXPECT_FALSE(startGiroProgram(ui, dir.path() / "finnes-ikke", file));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].caption, "FEIL!");
    EXPECT_EQ(ui.messages[0].text, "Palvik er ikke installert");
}

}  // namespace
}  // namespace lagrull::test
