// lagrul-cli ocr-import killed (SIGKILL) at random moments: afterwards the
// register holds all of the file's payments or none of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "data/data_store.h"
#include "data/database.h"
#include "demo_store.h"
#include "kill_rounds.h"
#include "ocr_file.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::TempDir;

namespace {

constexpr long long kPayments = 50000;
constexpr const char* kPaidOn = "31121999";  // no demo claim is paid that day

long long paidClaims(const TempDir& dir) {
    test::ScriptedUi ui;
    data::DataStore store(ui, "", dir.str());
    store.start();
    data::Statement s = store.dbLocal().prepare("SELECT count(*) FROM MBETREG WHERE BETDATO = ?1");
    s.bind(1, data::Value(std::string(kPaidOn)));
    s.step();
    return s.columnInt(0);
}

}  // namespace

TEST(OcrImportKill, KilledAtAnyMomentLeavesAllPaymentsOrNone) {
    TempDir origin;
    demo::DemoOptions options;
    options.members = kPayments / 2 + kPayments / 10;  // some members have no KID
    options.claims = true;
    test::makeDemoStore(origin.path(), options);

    // one payment for every claim, in random order
    std::vector<std::string> kids;
    {
        test::ScriptedUi ui;
        data::DataStore store(ui, "", origin.str());
        store.start();
        data::Statement s = store.dbLocal().prepare("SELECT KID FROM MBETREG WHERE KID <> ''");
        while (s.step()) kids.push_back(s.columnText(0));
    }
    ASSERT_GE(static_cast<long long>(kids.size()), kPayments);
    std::mt19937 random(20261209);
    std::shuffle(kids.begin(), kids.end(), random);
    kids.resize(kPayments);
    test::OcrFile file;
    for (const std::string& kid : kids) file.payment(kid, 12300, "311299");
    const auto ocr = origin.path() / "ocr.txt";
    std::ofstream(ocr, std::ios::binary) << file.text();

    TempDir dir;
    const auto restore = [&] {
        std::filesystem::remove_all(dir.path());
        std::filesystem::create_directory(dir.path());
        std::filesystem::copy_file(origin.path() / data::kDatabaseFileName,
                                   dir.path() / data::kDatabaseFileName);
    };
    restore();
    // The first round runs whole: it must register everything, and tells how
    // long a run takes.
    const test::KillRoundsOutcome out = test::runCliKillRounds(
        7, 20261209, LAGRULL_CLI, {"/path=" + dir.str(), "--yes", "ocr-import", ocr.string()},
        dir.str(),
        [&](int round) {
            const long long paid = paidClaims(dir);
            EXPECT_TRUE(paid == 0 || paid == kPayments) << "round " << round << ": " << paid;
            if (round == 0) {
                EXPECT_EQ(paid, kPayments);
            }
            return paid == kPayments;
        },
        restore);
    std::cout << "one run " << out.runMs << " ms; killed runs: " << out.unfinished
              << " left nothing, " << out.finished - 1 << " left every payment\n";
}
