// A migration killed at random moments leaves the register it replaces, or
// the whole new one, never half of one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <random>
#include <thread>

#include "data/database.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "migration/paradox_writer.h"
#include "temp_dir.h"

namespace lagrull::test {

namespace fs = std::filesystem;

namespace {

pid_t startMigration(const fs::path& appData, const fs::path& source) {
    const std::string path = "/path=" + appData.string();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(LAGRULL_CLI, "lagrul-cli", path.c_str(), "--yes", "hent-paradox",
              source.string().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long long count(data::TDatabase& db, const std::string& table) {
    data::TOrvQuery q(db);
    q.setSql("select count(*) as n from " + table);
    q.open();
    return data::FieldInt(q, "n");
}

}  // namespace

TEST(MigrationKill, AKilledMigrationLeavesTheOldRegisterOrTheWholeNewOne) {
    TempDir dir;
    const fs::path appData = dir.path() / "app", small = dir.path() / "liten",
                   big = dir.path() / "stor";
    fs::create_directories(appData);
    RegisterOptions one;
    one.organisations = 1;
    writeRegister(small, one, false);
    const std::string make = std::string(LAGRULL_MAKE_REGISTER) + " " + big.string() +
                             " --gammel --organisasjoner 4 --medlemmer 500 --krav 4";
    ASSERT_EQ(std::system(make.c_str()), 0);

    ASSERT_EQ(finish(startMigration(appData, small)), 0);
    // How long a whole run takes, to kill inside it.
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(finish(startMigration(appData, big)), 0);
    const auto whole = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - t0);
    ASSERT_EQ(finish(startMigration(appData, small)), 0);

    std::mt19937 random(24);
    std::uniform_int_distribution<long long> moment(0, whole.count());
    int oldSeen = 0, newSeen = 0;
    for (int round = 0; round < 8; ++round) {
        const pid_t pid = startMigration(appData, big);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        kill(pid, SIGKILL);
        finish(pid);

        data::TDatabase db;
        db.setPath(appData.string() + "/");
        db.connect();
        const long long orgs = count(db, "orgreg"), members = count(db, "medlreg"),
                        claims = count(db, "mbetreg");
        if (orgs == 1) {
            EXPECT_EQ(members, 5);
            EXPECT_EQ(claims, 10);
            ++oldSeen;
        } else {
            EXPECT_EQ(orgs, 4);
            EXPECT_EQ(members, 2000);
            EXPECT_EQ(claims, 8000);
            ++newSeen;
            db.disconnect();
            // Back to the small one for the next round.
            ASSERT_EQ(finish(startMigration(appData, small)), 0);
        }
    }
    std::cout << "old register kept " << oldSeen << " times, new one whole " << newSeen
              << " times\n";
    EXPECT_EQ(finish(startMigration(appData, big)), 0) << "the register must stay usable";
}

}  // namespace lagrull::test
