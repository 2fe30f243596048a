// lagrul-cli ocr-import killed (SIGKILL) at random moments: afterwards the
// register holds all of the file's payments or none of them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>

#include "data/data_store.h"
#include "data/database.h"
#include "demo_store.h"
#include "ocr_file.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::TempDir;

namespace {

constexpr long long kPayments = 50000;
constexpr const char* kPaidOn = "31121999";  // no demo claim is paid that day

// Runs lagrul-cli ocr-import on the register in `dir`; kills it after
// `killAfter` unless that is zero. The exit status, or -1 when killed.
int runImport(const TempDir& dir, const std::filesystem::path& file,
              std::chrono::milliseconds killAfter) {
    const std::string path = "/path=" + dir.str();
    const pid_t child = fork();
    if (child == 0) {
        setenv("HOME", dir.str().c_str(), 1);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execl(LAGRULL_CLI, LAGRULL_CLI, path.c_str(), "--yes", "ocr-import", file.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (killAfter.count() > 0) {
        std::this_thread::sleep_for(killAfter);
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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

    auto fresh = [&](const TempDir& dir) {
        std::filesystem::copy_file(origin.path() / data::kDatabaseFileName,
                                   dir.path() / data::kDatabaseFileName);
    };
    // One whole run first: it must register everything, and tells how long
    // a run takes.
    TempDir whole;
    fresh(whole);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(runImport(whole, ocr, std::chrono::milliseconds(0)), 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    ASSERT_EQ(paidClaims(whole), kPayments);

    int all = 0, none = 0;
    for (int run = 0; run < 6; ++run) {
        TempDir dir;
        fresh(dir);
        const auto after = std::chrono::milliseconds(std::uniform_int_distribution<long>(
            5, std::max<long>(10, static_cast<long>(took.count())))(random));
        runImport(dir, ocr, after);
        const long long paid = paidClaims(dir);
        EXPECT_TRUE(paid == 0 || paid == kPayments) << paid << " after " << after.count() << " ms";
        (paid == 0 ? none : all) += 1;
    }
    std::cout << "one run " << took.count() << " ms; killed runs: " << none << " left nothing, "
              << all << " left every payment\n";
}
