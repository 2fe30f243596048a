// Claim generation and payment registration under injected faults, through
// the logic lagrul-cli krav and innbetal run: after each fault the register
// holds all claims of the run or none, all saved payments or none, and the
// user is told.
#include <gtest/gtest.h>

#include "../register/bulk_fixture.h"
#include "claim_fixture.h"
#include "common/file_names.h"
#include "demo_store.h"
#include "fault_walk.h"
#include "full_disk.h"
#include "payments/betalinger.h"
#include "payments/giro_export.h"
#include "payments/giro_wizard.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

// Step 1 of claim generation: a new due date and the text, then "&Neste".
class NewDueDate : public TStartGenStep {
public:
    int ShowModal() override {
        KontDato = "01.06.2026";
        TypeTekst("Kontingent");
        return CheckNext() ? reports::kStepNext : reports::kStepCancel;
    }
};

TEST(PaymentFaults, ClaimGeneration) {
    const auto prepare = [](const fs::path& dir) {
        demo::DemoOptions options;
        options.members = 40;
        makeDemoStore(dir, options);
    };
    walkFaultPlans("kravgenerering", {prepare, [](const fs::path& dir, Ui& ui) {
                                          BulkRegister reg(ui, dir.string());
                                          BulkSteps steps;
                                          TBetalinger run(
                                              ui, reg.store.dbMng(), steps,
                                              [] { return std::make_unique<NewDueDate>(); },
                                              reg.tables().OrgTable, reg.tables().MedlTable,
                                              RegisterKind::Members);
                                          if (!run.Run().generated)
                                              throw Error("Ingen krav ble laget");
                                      }});
}

// Step 1 of giro printing: the newest due date, then "&Neste".
class NewestGiroDate : public TStartGiroStep {
public:
    int ShowModal() override {
        ChooseDate(0);
        return CheckNext() ? reports::kStepNext : reports::kStepCancel;
    }
};

// The giro pass only reads the register: under every fault it either writes
// the same giro file as an undisturbed run or fails with a message and
// leaves no file.
TEST(PaymentFaults, GiroPass) {
    const auto prepare = [](const fs::path& dir) {
        demo::DemoOptions options;
        options.members = 40;
        options.claims = true;
        makeDemoStore(dir, options);
    };
    std::optional<std::string> undisturbed;  // the file of the first, undisturbed run
    FaultWalkCase c{prepare, [&](const fs::path& dir, Ui& ui) {
                        const fs::path file = dir / kGiroFileName;
                        {
                            BulkRegister reg(ui, dir.string());
                            BulkSteps steps;
                            TGiro giro(
                                ui, reg.store.dbMng(), steps,
                                [] { return std::make_unique<NewestGiroDate>(); },
                                reg.tables().OrgTable, reg.tables().MedlTable);
                            if (!giro.RunWizard()) throw Error("Veiviseren ble avbrutt");
                            if (giro.WriteFile(file) == 0) throw Error("Ingen giroer");
                        }
                        if (!undisturbed) undisturbed = readFileBytes(file);
                        EXPECT_EQ(readFileBytes(file), *undisturbed) << "girofilen er ufullstendig";
                    }};
    c.check = [&](const fs::path& dir, bool) {
        const fs::path file = dir / kGiroFileName;
        if (fs::exists(file)) {
            EXPECT_EQ(readFileBytes(file), undisturbed.value_or(""));
        }
        EXPECT_EQ(filesNamed(dir, fs::path(kGiroFileName).stem().string()).size(),
                  fs::exists(file) ? 1u : 0u);
    };
    const std::vector<std::string> told = walkFaultPlans("giroutskrift", c);
    EXPECT_FALSE(told.empty()) << "a failed pass must say so";
    ASSERT_TRUE(undisturbed);
    EXPECT_NE(undisturbed->find("\t"), std::string::npos);
}

TEST(PaymentFaults, PaymentRegistration) {
    const auto prepare = [](const fs::path& dir) {
        ScriptedUi ui;
        {
            ClaimRegister reg(ui, dir.string());
            reg.fill(60, "01032026");
        }
        // It names this directory as the data directory: each copy is its own.
        fs::remove(dir / "lagrul.ini");
    };
    walkFaultPlans("innbetaling", {prepare, [](const fs::path& dir, Ui& ui) {
                                       ClaimRegister reg(ui, dir.string(), RegisterKind::Members,
                                                         false);
                                       TPaymentRegistration window(reg.context(), ui);
                                       window.prepareView(PaymentView::PerDueDate);
                                       window.alleBetalt();
                                       window.save();
                                   }});
}

}  // namespace
}  // namespace lagrull::test

namespace lagrull::test {
namespace {

// The giro export file on a full disk and in a directory gone since it was
// chosen: an error that says so in Norwegian, and no file.
TEST(PaymentFaults, GiroExportFileIsWrittenWholeOrNotAtAll) {
    TempDir gone;
    const fs::path chosen = gone.path() / "valgt";
    FullDisk disk;
    std::vector<fs::path> targets = {chosen / "BANKGIRO.TXT"};
    if (disk.unavailable().empty()) {
        disk.fill();
        targets.push_back(disk.path() / "BANKGIRO.TXT");
    }
    for (const fs::path& target : targets) {
        TOrvExportGiro out(target, "BETNAVN,KID,BELOP");
        for (int i = 0; i < 3000; ++i) {
            out.setValue("BETNAVN", "Medlem " + std::to_string(i));
            out.setValue("KID", "000" + std::to_string(i));
            out.setValue("BELOP", "350,00");
            out.writeRecord();
        }
        try {
            out.save();
            ADD_FAILURE() << "girofilen ble skrevet: " << target;
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Kan ikke skrive girofilen", 0), 0u) << e.what();
        }
        EXPECT_TRUE(filesNamed(target.parent_path(), "BANKGIRO").empty()) << target;
    }
    if (!disk.unavailable().empty())
        GTEST_SKIP() << "bare den borte katalogen: " << disk.unavailable();
}

}  // namespace
}  // namespace lagrull::test
