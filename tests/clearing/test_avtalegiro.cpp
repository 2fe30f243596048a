// AvtaleGiro claims and deletion requests against a register: the list, the
// claim file and the deletion request compared byte for byte with reviewed
// files, read back by the project's own reader, and the claims marked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "clearing/avtalegiro.h"
#include "clearing/bbs_transmission.h"
#include "data/data_store.h"
#include "fault_walk.h"
#include "full_disk.h"
#include "register_fixture.h"

using namespace lagrull;
using namespace lagrull::clearing;

namespace {

// Numbers from a counter instead of the clock, so files are the same each run.
class NumberedBBS : public TBBS {
public:
    explicit NumberedBBS(int first) : next_(first) {}
    std::string NyttOppdragsnr() override { return std::to_string(next_++); }
    std::string NyttForsendelsesnr() override { return std::to_string(next_++); }

private:
    int next_;
};

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Compares a written file with its reviewed copy in tests/data/clearing;
// LAGRULL_REGENERATE=1 writes the copy anew for review.
void expectGolden(const std::filesystem::path& written, const std::string& reference) {
    const auto path = test::testData() / "clearing" / reference;
    const char* regenerate = std::getenv("LAGRULL_REGENERATE");
    if (regenerate && std::string(regenerate) == "1")
        std::filesystem::copy_file(written, path,
                                   std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(readAll(written), readAll(path)) << reference;
}

const Date kForfall{2024, 3, 15};

class AvtaleGiro : public test::RegisterTest {
protected:
    AvtaleGiro() {
        organisation(0, "Idrettslaget", "12345678903");
        member(0, "1", "Aas", "Kari", 1, 0);
        member(0, "2", "Berg", "Ola", 1, 1);
        member(0, "3", "Dahl", "Lise", 1, 0);
        member(0, "4", "Eik", "Per", 2, 0);  // giro: not listed
        for (const char* nr : {"1", "2", "3"}) kids.push_back(claim(0, nr, "15032024", 350, 1));
        claim(0, "4", "15032024", 350, 2);
        settings = writeFile("lagrul.ini",
                             "[Setup]\r\nKundeenhetsID=12345678\r\n"
                             "Kontonr=98765432109\r\n");
    }
    TAvtaleGiroListe list() {
        auto l = hentAvtaleGiroListe(ui, db(), 0, kForfall);
        EXPECT_TRUE(l);
        return l.value_or(TAvtaleGiroListe{});
    }
    TAvtaleGiroOppsett oppsett() { return lesAvtaleGiroOppsett(db(), 0, settings.string()); }

    std::vector<std::string> kids;
    std::filesystem::path settings;
};

}  // namespace

TEST_F(AvtaleGiro, ListHoldsTheAvtaleGiroClaimsInNameOrder) {
    const TAvtaleGiroListe l = list();
    ASSERT_EQ(l.Antall(), 3);
    EXPECT_EQ(l.poster[0].navn, "Aas Kari");
    EXPECT_EQ(l.poster[1].egetVarsel, 1);
    EXPECT_EQ(l.poster[2].kid, kids[2]);
    EXPECT_EQ(l.Sum(), Money::fromKroner(1050));
    EXPECT_EQ(l.poster[0].slettes, "");

    const auto empty = hentAvtaleGiroListe(ui, db(), 0, Date{2024, 4, 15});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Antall(), 0);
    EXPECT_EQ(empty->Sum(), Money());
}

TEST_F(AvtaleGiro, ClaimWithoutKidRefusesTheList) {
    exec("update mbetreg set kid = '' where medlnr = '2'");
    EXPECT_FALSE(hentAvtaleGiroListe(ui, db(), 0, kForfall));
    EXPECT_EQ(ui.messages.back().text, "En eller flere av betalingspostene innholder ikke KID");
    EXPECT_EQ(ui.messages.back().caption, "Feil!");
}

TEST_F(AvtaleGiro, ClaimFileTypesSpecificationsAndNumbers) {
    const auto file = dir.path() / "dirdeb.bbs";
    NumberedBBS bbs(101);
    const auto number = lagKravfil(ui, db(), list(), file, TidligereFil::Spor, oppsett(), bbs);
    ASSERT_TRUE(number);
    expectGolden(file, "avtalegiro_krav.bbs");
    EXPECT_EQ(ui.messages.back().caption, "Noter ned Forsendelsesnummer");
    EXPECT_EQ(ui.messages.back().text, "Forsendelsesnr er 101");

    TBBS read;
    read.LoadFromFile(file);
    ASSERT_EQ(read.OppdragCount(), 1);
    const TBBSOppdrag& o = read.Oppdrag(0);
    ASSERT_EQ(o.TransaksjonCount(), 3);
    EXPECT_EQ(o.Transaksjon(0).Belopspost1().Type(), "21");
    EXPECT_EQ(o.Transaksjon(1).Belopspost1().Type(), "02");
    EXPECT_EQ(o.Transaksjon(2).Belopspost1().Type(), "21");
    EXPECT_EQ(o.totals().records, 10);
    EXPECT_EQ(o.totals().sum, Money::fromKroner(1050));
    EXPECT_EQ(read.GetForsendelsesnr(), "101");
    EXPECT_EQ(o.GetOppdragsnr(), "0000102");
    for (const std::string& kid : kids) EXPECT_EQ(claimField(kid, "BBSOPPDRAGSNR"), "102");
}

TEST_F(AvtaleGiro, SecondFileAppendedOnYes) {
    const auto file = dir.path() / "dirdeb.bbs";
    NumberedBBS first(101);
    lagKravfil(ui, db(), list(), file, TidligereFil::Spor, oppsett(), first);
    NumberedBBS second(201);
    ui.answers.push_back(Answer::Yes);
    lagKravfil(ui, db(), list(), file, TidligereFil::Spor, oppsett(), second);
    EXPECT_EQ(ui.messages.at(1).text, "Skal betalingsposter legges til en tidligere forsendelse ?");
    expectGolden(file, "avtalegiro_tillegg.bbs");
    TBBS read;
    read.LoadFromFile(file);
    EXPECT_EQ(read.GetForsendelsesnr(), "101");  // the first transmission's
    ASSERT_EQ(read.OppdragCount(), 2);
    EXPECT_NE(read.Oppdrag(0).GetOppdragsnr(), read.Oppdrag(1).GetOppdragsnr());
    EXPECT_EQ(claimField(kids[0], "BBSOPPDRAGSNR"), "201");
}

TEST_F(AvtaleGiro, DeletionRequestOfMarkedRows) {
    TAvtaleGiroListe l = list();
    l.poster[0].slettes = "1";
    l.poster[2].slettes = "1";
    const auto file = dir.path() / "sletting.bbs";
    NumberedBBS bbs(301);
    ASSERT_TRUE(lagSletteanmodning(ui, db(), l, file, oppsett(), bbs));
    expectGolden(file, "avtalegiro_sletting.bbs");
    TBBS read;
    read.LoadFromFile(file);
    ASSERT_EQ(read.OppdragCount(), 1);
    EXPECT_EQ(read.Oppdrag(0).kind(), TBBSOppdrag::Kind::Sletting);
    ASSERT_EQ(read.Oppdrag(0).TransaksjonCount(), 2);
    EXPECT_EQ(read.Oppdrag(0).Transaksjon(0).Belopspost1().Type(), "93");
    EXPECT_EQ(read.Oppdrag(0).Transaksjon(0).Belopspost2().GetField(51, 75), "Kontingent");
    EXPECT_EQ(claimField(kids[0], "SLETTEFLAG"), "1");
    EXPECT_EQ(claimField(kids[1], "SLETTEFLAG"), "");
    EXPECT_EQ(claimField(kids[2], "BBSOPPDRAGSNR"), "302");
}

TEST_F(AvtaleGiro, MarkingAndNothingMarked) {
    TAvtaleGiroListe l = list();
    l.SlettAlle();
    EXPECT_EQ(l.poster[1].slettes, "1");
    l.SlettIngen();
    EXPECT_EQ(l.poster[1].slettes, "0");
    NumberedBBS bbs(1);
    const auto file = dir.path() / "sletting.bbs";
    EXPECT_FALSE(lagSletteanmodning(ui, db(), l, file, oppsett(), bbs));
    EXPECT_EQ(ui.messages.back().text, "Ingen betalingsposter er merket for sletting");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(AvtaleGiro, UnwritableFileMarksNoClaim) {
    NumberedBBS bbs(1);
    const auto file = dir.path() / "finnes-ikke" / "dirdeb.bbs";
    EXPECT_THROW(lagKravfil(ui, db(), list(), file, TidligereFil::Erstatt, oppsett(), bbs), Error);
    EXPECT_EQ(claimField(kids[0], "BBSOPPDRAGSNR"), "");
}

TEST_F(AvtaleGiro, NamesAndTitles) {
    EXPECT_TRUE(erDirdebNavn("/a/b/DirDeb.BBS"));
    EXPECT_FALSE(erDirdebNavn("/a/dirdeb.bbs.txt"));
    EXPECT_EQ(avtaleGiroTittel(AvtaleGiroModus::Krav, kForfall),
              "BBS-Avtalegiro for forfallsdato 15.03.2024");
    EXPECT_EQ(avtaleGiroTittel(AvtaleGiroModus::Sletting, kForfall),
              "BBS-Sletteanmodninger for forfallsdato 15.03.2024");
}

namespace {

// The claim file and the deletion request on a full disk: an error in
// Norwegian, no file, no claim marked as sent.
TEST_F(AvtaleGiro, FullDiskMarksNoClaimAndLeavesNoFile) {
    test::FullDisk disk;
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    disk.fill();
    NumberedBBS bbs(1);
    try {
        lagKravfil(ui, db(), list(), disk.path() / "dirdeb.bbs", TidligereFil::Erstatt, oppsett(),
                   bbs);
        ADD_FAILURE() << "kravfilen ble skrevet på en full disk";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Kan ikke skrive BBS-filen", 0), 0u) << e.what();
    }
    TAvtaleGiroListe l = list();
    l.SlettAlle();
    EXPECT_THROW(lagSletteanmodning(ui, db(), l, disk.path() / "sletting.bbs", oppsett(), bbs),
                 Error);
    for (const std::string& kid : kids) {
        EXPECT_EQ(claimField(kid, "BBSOPPDRAGSNR"), "") << kid;
        EXPECT_EQ(claimField(kid, "SLETTEFLAG"), "") << kid;
    }
    EXPECT_TRUE(test::filesNamed(disk.path(), "dirdeb").empty());
    EXPECT_TRUE(test::filesNamed(disk.path(), "sletting").empty());
}

// The claim file and the deletion request while the register fails under
// them: each file is there exactly when its claims are marked as sent.
class AvtaleGiroFaults : public AvtaleGiro {
protected:
    using Write = std::function<void(Ui&, data::TDatabase&, TAvtaleGiroListe&,
                                     const std::filesystem::path& at, TBBS&)>;
    void walk(const std::string& name, const std::string& file, const Write& write) {
        db().exec("PRAGMA wal_checkpoint(TRUNCATE)");
        test::FaultWalkCase c;
        c.prepare = [this](const std::filesystem::path& to) {
            std::filesystem::copy(dir.path(), to,
                                  std::filesystem::copy_options::recursive |
                                      std::filesystem::copy_options::overwrite_existing);
        };
        c.operation = [&](const std::filesystem::path& at, Ui& runUi) {
            data::DataStore copy(runUi, "", at.string());
            copy.start();
            auto l = hentAvtaleGiroListe(runUi, copy.dbLocal(), 0, kForfall);
            if (!l) throw Error("Ingen liste");
            NumberedBBS bbs(101);
            write(runUi, copy.dbLocal(), *l, at, bbs);
        };
        c.check = [&](const std::filesystem::path& at, bool after) {
            EXPECT_EQ(std::filesystem::exists(at / file), after);
        };
        test::walkFaultPlans(name, c);
    }
};

TEST_F(AvtaleGiroFaults, ClaimFileIsKeptOnlyWhenItsClaimsAreMarked) {
    walk("kravfil", "dirdeb.bbs",
         [](Ui& runUi, data::TDatabase& db, TAvtaleGiroListe& l, const std::filesystem::path& at,
            TBBS& bbs) {
             lagKravfil(runUi, db, l, at / "dirdeb.bbs", TidligereFil::Erstatt,
                        lesAvtaleGiroOppsett(db, 0, (at / "lagrul.ini").string()), bbs);
         });
}

TEST_F(AvtaleGiroFaults, DeletionRequestIsKeptOnlyWhenItsClaimsAreMarked) {
    walk(
        "sletteanmodning", "sletting.bbs",
        [](Ui& runUi, data::TDatabase& db, TAvtaleGiroListe& l, const std::filesystem::path& at,
           TBBS& bbs) {
            l.SlettAlle();
            if (!lagSletteanmodning(runUi, db, l, at / "sletting.bbs",
                                    lesAvtaleGiroOppsett(db, 0, (at / "lagrul.ini").string()), bbs))
                throw Error("Ingen sletteanmodning");
        });
}

}  // namespace
