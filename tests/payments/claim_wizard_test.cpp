// Claim generation and giro printing through their wizards on the demo
// register, with fake windows and the scripted Ui: which step leads where,
// what the steps contribute to the query, what a cancel leaves.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "../register/bulk_fixture.h"
#include "common/file_names.h"
#include "common/ui.h"
#include "data/db_manager.h"
#include "payments/betalinger.h"
#include "payments/giro_export.h"
#include "payments/giro_wizard.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

constexpr const char* kNewDate = "01.06.2026";  // no claims yet

template <class Step>
class Scripted : public Step {
public:
    explicit Scripted(std::function<int(Step&)> answer) : answer_(std::move(answer)) {}
    int ShowModal() override { return answer_(*this); }

private:
    std::function<int(Step&)> answer_;
};

// A criteria step that leaves with a fixed result.
class CriteriaLeaving : public reports::TUtvalgskriterierStep {
public:
    CriteriaLeaving(data::TOrvDbMng& dbMng, int result)
        : TUtvalgskriterierStep(dbMng), result_(result) {}

protected:
    int Execute() override { return result_; }

private:
    int result_;
};

// The who-step and criteria step of BulkSteps; the criteria step may
// instead leave with a fixed result.
class WizardSteps : public BulkSteps {
public:
    std::optional<int> criteriaResult;
    std::unique_ptr<reports::TUtvalgskriterierStep> CreateUtvalgskriterier(
        data::TOrvDbMng& dbMng) override {
        if (criteriaResult) return std::make_unique<CriteriaLeaving>(dbMng, *criteriaResult);
        return BulkSteps::CreateUtvalgskriterier(dbMng);
    }
};

class ClaimWizardTest : public BulkTest {
protected:
    ClaimWizardTest() { chooseOrg(1); }

    std::int64_t claims() { return count("select count(*) from mbetreg"); }
    std::int64_t claimsOn(const std::string& stored) {
        return count("select count(*) from mbetreg where orgnr = 1 and dato = :p0",
                     {data::Value(stored)});
    }
    // Members of organisation 1 whose category has a category row.
    std::int64_t categoryMembers(const std::string& extra = "") {
        return count(
            "select count(*) from medlreg m, kontgrp k where m.orgnr = 1 and k.orgnr = 1 and "
            "m.kategori = k.kategori" +
            extra);
    }

    // Step 1 answers through `set`.
    TBetalingerOutcome generate(const std::function<int(TStartGenStep&)>& set,
                                const std::function<void()>& giro = {}) {
        TBetalinger run(
            ui, store->dbMng(), wizardSteps,
            [set] { return std::make_unique<Scripted<TStartGenStep>>(set); }, tables().OrgTable,
            tables().MedlTable, RegisterKind::Members);
        return run.Run(giro);
    }
    static int next(TStartGenStep& w, const std::string& date) {
        w.KontDato = date;
        w.TypeTekst("Kontingent");
        return w.CheckNext() ? reports::kStepNext : reports::kStepCancel;
    }

    WizardSteps wizardSteps;
};

TEST_F(ClaimWizardTest, AllMembersOfTheCategorySourceGetAClaimAfterOneConfirmation) {
    bool giroStarted = false;
    ui.answers = {Answer::Yes, Answer::Yes};
    const TBetalingerOutcome out = generate([](TStartGenStep& w) { return next(w, kNewDate); },
                                            [&giroStarted] { giroStarted = true; });
    EXPECT_TRUE(out.generated);
    EXPECT_EQ(out.result.written, categoryMembers());
    EXPECT_EQ(claimsOn("01062026"), categoryMembers());
    ASSERT_GE(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages.front().text, "Nye betalingsposter blir generert.\nVil du fortsette ?");
    EXPECT_EQ(ui.messages.back().caption, "Betalingsposter er generert");
    EXPECT_EQ(ui.messages.back().text, "Gå videre til giroutskrift?");
    EXPECT_TRUE(giroStarted);
}

TEST_F(ClaimWizardTest, CancelAtAnyStepOrNoWritesNothing) {
    const std::int64_t before = claims();
    // Step 1 cancelled.
    EXPECT_FALSE(generate([](TStartGenStep&) { return reports::kStepCancel; }).generated);
    // Step 2 cancelled.
    wizardSteps.whoResults = {reports::kStepCancel};
    EXPECT_FALSE(generate([](TStartGenStep& w) { return next(w, kNewDate); }).generated);
    // Step 3 cancelled.
    wizardSteps.choice = 1;
    wizardSteps.criteriaResult = reports::kStepCancel;
    EXPECT_FALSE(generate([](TStartGenStep& w) { return next(w, kNewDate); }).generated);
    // No to the confirmation.
    wizardSteps.choice = 0;
    ui.answers = {Answer::No};
    EXPECT_FALSE(generate([](TStartGenStep& w) { return next(w, kNewDate); }).generated);
    EXPECT_EQ(claims(), before);
}

TEST_F(ClaimWizardTest, TheSelectionNarrowsTheMembersOnlyWhenItsStepWasLeftForwards) {
    const std::string kategori = [this] {
        data::TOrvQuery q(db());
        q.setSql("select min(kategori) from kontgrp where orgnr = 1");
        q.open();
        return data::FieldText(q, q.field(0).name);
    }();
    wizardSteps.choice = 1;
    wizardSteps.set = [kategori](reports::TUtvalgskriterier& c) { c.Kategori.choose(kategori); };
    ui.answers = {Answer::Yes};
    const TBetalingerOutcome out = generate([](TStartGenStep& w) { return next(w, kNewDate); });
    const std::int64_t narrowed = categoryMembers(" and m.kategori = '" + kategori + "'");
    EXPECT_EQ(out.result.written, narrowed);
    EXPECT_LT(narrowed, categoryMembers());
    // The same date again: the second confirmation, in the register's words.
    ui.messages.clear();
    wizardSteps.choice = 0;
    ui.answers = {Answer::Yes};
    generate([](TStartGenStep& w) {
        w.ChooseClaimDate(0);
        EXPECT_EQ(w.KontDato, kNewDate);
        return w.CheckNext() ? reports::kStepNext : reports::kStepCancel;
    });
    EXPECT_EQ(ui.messages.front().text.rfind(
                  "Det finnes allerede betalingsposter generert for forfallsdato 01.06.2026.", 0),
              0u);
    EXPECT_EQ(claimsOn("01062026"), categoryMembers());
}

TEST_F(ClaimWizardTest, BackFromTheSelectionToAllMembersDropsTheSelection) {
    // "Utvalg", the criteria step goes back, then "Alle": every member again.
    // The wizard owns its step windows and ends them with itself: the count
    // is kept outside the window.
    class Who : public reports::TKravTilHvemStep {
    public:
        explicit Who(int& shown) : shown_(shown) {}
        int ShowModal() override {
            SetChoice(++shown_ == 1 ? 1 : 0);
            return reports::kStepNext;
        }

    private:
        int& shown_;
    };
    class Steps : public WizardSteps {
    public:
        int whoShown = 0;
        std::unique_ptr<reports::TKravTilHvemStep> CreateKravTilHvem() override {
            return std::make_unique<Who>(whoShown);
        }
    } back;
    back.criteriaResult = reports::kStepBack;
    ui.answers = {Answer::Yes};
    TBetalinger run(
        ui, store->dbMng(), back,
        [] {
            return std::make_unique<Scripted<TStartGenStep>>(
                [](TStartGenStep& w) { return next(w, kNewDate); });
        },
        tables().OrgTable, tables().MedlTable, RegisterKind::Members);
    EXPECT_EQ(run.Run().result.written, categoryMembers());
    EXPECT_EQ(back.whoShown, 2);
}

TEST_F(ClaimWizardTest, NobodySelectedSaysSoAndAsksNothingMore) {
    wizardSteps.choice = 1;
    wizardSteps.set = [](reports::TUtvalgskriterier& c) { c.MedlnrFra = c.MedlnrTil = 999999; };
    ui.answers = {Answer::Yes};
    const TBetalingerOutcome out = generate([](TStartGenStep& w) { return next(w, kNewDate); },
                                            [] { ADD_FAILURE() << "no giro without claims"; });
    EXPECT_EQ(out.result.written, 0);
    EXPECT_EQ(ui.messages.back().text, "Ingen poster generert!");
    EXPECT_EQ(ui.messages.back().caption, "");
}

TEST_F(ClaimWizardTest, StepOneChecksItsEntriesAndFollowsTheChosenDate) {
    generate([this](TStartGenStep& w) -> int {
        EXPECT_FALSE(w.CheckNext());
        EXPECT_EQ(w.FailedField(), TStartGenStep::Field::KontDato);
        EXPECT_EQ(ui.messages.back().text, "Forfallsdato må angis.");
        EXPECT_EQ(ui.messages.back().caption, "Feil!");
        w.KontDato = "31.02.2026";
        EXPECT_FALSE(w.CheckNext());
        // The helper: the demo's two dates, newest first; the description
        // comes along until the user types one.
        EXPECT_EQ(w.ClaimDates(), (std::vector<std::string>{"15.03.2026", "15.09.2025"}));
        w.ChooseClaimDate(1);
        EXPECT_EQ(w.KontDato, "15.09.2025");
        const std::string demoText = w.Tekst();
        EXPECT_FALSE(demoText.empty());
        w.TypeTekst("Egen");
        w.ChooseClaimDate(0);
        EXPECT_EQ(w.Tekst(), "Egen");
        w.TypeTekst("");
        w.ChooseClaimDate(1);
        EXPECT_EQ(w.Tekst(), demoText);
        // A manual amount is a whole number, negative allowed.
        w.SetBelopskilde(AmountSource::Manual);
        EXPECT_TRUE(w.BelopVisible());
        EXPECT_FALSE(w.RelationsVisible());
        w.Belop = "12,50";
        EXPECT_FALSE(w.CheckNext());
        EXPECT_EQ(w.FailedField(), TStartGenStep::Field::Belop);
        w.Belop = "-50";
        EXPECT_TRUE(w.CheckNext());
        EXPECT_EQ(w.Chosen(1, RegisterKind::Members).manualAmount, -50);
        // Relations move to the end of the other list; the chosen order is
        // the column order.
        w.SetBelopskilde(AmountSource::Relations);
        EXPECT_TRUE(w.RelationsVisible());
        const std::vector<std::string> all = w.Fra();
        EXPECT_GE(all.size(), 3u);
        if (all.size() < 3) return reports::kStepCancel;
        EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
        EXPECT_TRUE(w.MoveToTil(2));
        EXPECT_TRUE(w.MoveToTil(0));
        EXPECT_FALSE(w.MoveToTil(99));
        EXPECT_EQ(w.Til(), (std::vector<std::string>{all[2], all[0]}));
        EXPECT_TRUE(w.MoveToFra(0));
        EXPECT_EQ(w.Fra().back(), all[2]);
        EXPECT_EQ(w.Chosen(1, RegisterKind::Members).relations, (std::vector<std::string>{all[0]}));
        return reports::kStepCancel;
    });
}

// --- giro printing ---------------------------------------------------------

class GiroWizardTest : public ClaimWizardTest {
protected:
    std::unique_ptr<TGiro> giro(const std::function<int(TStartGiroStep&)>& set) {
        return std::make_unique<TGiro>(
            ui, store->dbMng(), wizardSteps,
            [set] { return std::make_unique<Scripted<TStartGiroStep>>(set); }, tables().OrgTable,
            tables().MedlTable);
    }
    static int nextOn(TStartGiroStep& w, int date) {
        w.ChooseDate(date);
        return w.CheckNext() ? reports::kStepNext : reports::kStepCancel;
    }
    // Unpaid claims of the newest date, with an extra condition on the member.
    std::int64_t unpaid(const std::string& member) {
        return count(
            "select count(*) from mbetreg b, medlreg m where b.orgnr = 1 and m.orgnr = 1 and "
            "m.medlnr = b.medlnr and b.dato = '15032026' and b.betflag = ''" +
            member);
    }
    long long write(TGiro& g) {
        EXPECT_TRUE(g.RunWizard());
        return g.WriteFile(dir.path() / "giro.txt");
    }
};

TEST_F(GiroWizardTest, StepOneStartsOnTheNewestDateWithItsDescription) {
    giro([](TStartGiroStep& w) {
        EXPECT_EQ(w.GiroDates(), (std::vector<std::string>{"15.03.2026", "15.09.2025"}));
        EXPECT_EQ(w.GiroDate(), 0);
        EXPECT_TRUE(w.HasClaims());
        EXPECT_EQ(w.Lines[0].text, w.Description());
        EXPECT_EQ(w.OppdragsType, GiroKind::Kontingent);
        w.ApplyOppsett(GiroPreset::StdOppsett);
        EXPECT_EQ(w.Lines[3].field, "KATSTR");
        EXPECT_EQ(w.Lines[3].kind, TextLineKind::Flettefelt);
        w.Lines[3].text = "gammel";
        w.SetLineKind(3, TextLineKind::Fritekst);
        EXPECT_EQ(w.Lines[3].text, "");
        return reports::kStepCancel;
    })->RunWizard();
}

TEST_F(GiroWizardTest, AnOrganisationWithoutClaimsCannotGoOn) {
    chooseOrg(2);
    exec("delete from mbetreg where orgnr = 2", {});
    EXPECT_FALSE(giro([this](TStartGiroStep& w) {
                     EXPECT_TRUE(w.GiroDates().empty());
                     EXPECT_FALSE(w.HasClaims());
                     EXPECT_FALSE(w.CheckNext());
                     EXPECT_EQ(ui.messages.back().text, "Forfallsdato må angis.");
                     EXPECT_EQ(ui.messages.back().caption, "FEIL!");
                     return reports::kStepCancel;
                 })->RunWizard());
}

TEST_F(GiroWizardTest, FeeRunWithoutSelectionPrintsForGiroPayersOnly) {
    const std::int64_t giroPayers =
        unpaid(" and (m.betaling = 2 or (m.betaling = 1 and m.varsling = 1))");
    EXPECT_GT(giroPayers, 0);
    EXPECT_LT(giroPayers, unpaid(""));
    EXPECT_LT(unpaid(""), count("select count(*) from mbetreg where orgnr = 1 and dato = "
                                "'15032026'"));  // some are paid
    auto g = giro([](TStartGiroStep& w) { return nextOn(w, 0); });
    EXPECT_EQ(write(*g), giroPayers);
    EXPECT_FALSE(g->Chosen().selectionUsed);
    // "Annen betaling ": every unpaid claim of the date.
    auto other = giro([](TStartGiroStep& w) {
        w.OppdragsType = GiroKind::AnnenBetaling;
        return nextOn(w, 0);
    });
    EXPECT_EQ(write(*other), unpaid(""));
}

TEST_F(GiroWizardTest, TheSelectionOfAFeeRunStartsOnGiroAndReplacesThePayerCondition) {
    wizardSteps.choice = 1;
    std::string preset;
    wizardSteps.set = [&preset](reports::TUtvalgskriterier& c) {
        preset = c.Betaling.chosen();
        c.Betaling.index = 0;  // the user turns it back to "ALLE"
    };
    auto g = giro([](TStartGiroStep& w) { return nextOn(w, 0); });
    EXPECT_EQ(write(*g), unpaid(""));
    EXPECT_EQ(preset, "Giro[2]");
    EXPECT_TRUE(g->Chosen().selectionUsed);
    // Not in a run for another payment.
    auto other = giro([](TStartGiroStep& w) {
        w.OppdragsType = GiroKind::AnnenBetaling;
        return nextOn(w, 0);
    });
    write(*other);
    EXPECT_EQ(preset, "ALLE[-1]");
}

TEST_F(GiroWizardTest, WithoutAGiroPrinterNothingIsWritten) {
    const auto file = std::filesystem::path(store->dbMng().dataPath()) / kGiroFileName;
    giro([](TStartGiroStep& w) { return nextOn(w, 0); })->Execute([] {
        return std::filesystem::path();
    });
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(ui.messages.back().text, "Palvik er ikke installert");
    // With one: the file in the database directory, handed to the printer.
    dir.write("skriver.sh", "#!/bin/sh\ncp \"$1\" \"$(dirname \"$0\")/fikk.txt\"\n");
    chmod((dir.path() / "skriver.sh").c_str(), 0700);
    giro([](TStartGiroStep& w) { return nextOn(w, 0); })->Execute([this] {
        return dir.path() / "skriver.sh";
    });
    EXPECT_TRUE(std::filesystem::exists(file));
    for (int i = 0; i < 200 && !std::filesystem::exists(dir.path() / "fikk.txt"); ++i)
        usleep(10000);
    EXPECT_EQ(dir.read("fikk.txt"), readFileBytes(file));
}

TEST(AvtaleGiroButtons, NeedTheCustomerUnit) {
    TempDir dir;
    ScriptedUi ui;
    dir.write("lagrul.ini", "[Setup]\r\nKundeenhetsID=\r\n");
    EXPECT_FALSE(kundeenhetsIdGiven(ui, dir.str() + "/lagrul.ini"));
    EXPECT_FALSE(kundeenhetsIdGiven(ui, dir.str() + "/finnes-ikke.ini"));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "KundeEnhetsID for Organisasjonen må angis for å kunne generere AvtaleGiroer!");
    EXPECT_EQ(ui.messages[0].caption, "Feil!");
    dir.write("lagrul.ini", "[Setup]\r\nKundeenhetsID=00012345\r\n");
    EXPECT_TRUE(kundeenhetsIdGiven(ui, dir.str() + "/lagrul.ini"));
}

}  // namespace
