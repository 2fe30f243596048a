// A register the program may not change: a data directory or a database
// file that is read-only, and a register another process holds locked.
// Nothing is changed, and the user is told in Norwegian what is wrong.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/error.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "fault_walk.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

void writeRegister(const fs::path& dir) {
    ScriptedUi ui;
    data::DataStore store(ui, "", dir.string());
    store.start();
    store.dbLocal().exec("insert into orgreg (orgnr, orgnavn) values (1, 'Laget')");
    store.dbLocal().exec(
        "insert into medlreg (orgnr, medlnr, nmedlnr, enavn) values (1, '1', 1, 'Hansen')");
}

// A new member through the member table, as the main window posts one. The
// text of the error it ended with, empty when it was saved.
std::string postMember(const fs::path& dir, Ui& ui) {
    try {
        data::DataStore store(ui, "", dir.string());
        store.start();
        data::TOrvTable& medl = store.tables().MedlTable;
        medl.insert();
        data::SetFieldInt(medl, "ORGNR", 1);
        data::SetFieldText(medl, "MEDLNR", "2");
        data::SetFieldText(medl, "ENAVN", "Olsen");
        medl.post();
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}

// `path` made read-only: by its mode for an ordinary user, by a read-only
// bind mount for root (whom modes do not stop). Undone at the end.
class ReadOnly {
public:
    explicit ReadOnly(const fs::path& path) : path_(path) {
        if (geteuid() != 0) {
            chmod(path.c_str(), fs::is_directory(path) ? 0555 : 0444);
            how_ = How::Mode;
        } else if (mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            how_ = How::Mount;
            if (mount(nullptr, path.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) !=
                0)
                failure_ = std::strerror(errno);
        } else {
            failure_ = std::strerror(errno);
        }
    }
    ~ReadOnly() {
        if (how_ == How::Mount) umount(path_.c_str());
        if (how_ == How::Mode) chmod(path_.c_str(), fs::is_directory(path_) ? 0755 : 0644);
    }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;
    // Why it could not be done; empty when it was.
    const std::string& failure() const { return failure_; }

private:
    enum class How { None, Mode, Mount };
    fs::path path_;
    How how_ = How::None;
    std::string failure_;
};

TEST(AccessFaults, ReadOnlyDatabaseFileRefusesThePostInNorwegian) {
    TempDir dir;
    writeRegister(dir.path());
    const RegisterDigest before = digestOf(dir.path());
    std::string error;
    {
        ReadOnly readOnly(dir.path() / data::kDatabaseFileName);
        if (!readOnly.failure().empty())
            GTEST_SKIP() << "kan ikke skrivebeskytte: " << readOnly.failure();
        ScriptedUi ui;
        error = postMember(dir.path(), ui);
    }
    EXPECT_NE(error.find("skrivebeskyttet"), std::string::npos) << error;
    EXPECT_EQ(integrityOf(dir.path()), "ok");
    EXPECT_TRUE(digestOf(dir.path()) == before);
}

TEST(AccessFaults, ReadOnlyDataDirectoryIsAskedForAnewAndNothingChanges) {
    TempDir dir;
    writeRegister(dir.path());
    const RegisterDigest before = digestOf(dir.path());
    {
        ReadOnly readOnly(dir.path());
        if (!readOnly.failure().empty())
            GTEST_SKIP() << "kan ikke skrivebeskytte: " << readOnly.failure();
        ScriptedUi ui;
        ui.inputs = {std::nullopt};  // the user gives up
        data::DataStore store(ui, "", dir.str());
        EXPECT_THROW(store.start(), FatalError);
        ASSERT_EQ(ui.prompts.size(), 1u);
        // The data path check's own words, as the program has always had them.
        EXPECT_EQ(ui.prompts[0].caption, "No write access to database path");
    }
    EXPECT_TRUE(digestOf(dir.path()) == before);
}

// A child process that holds the register: in a write transaction, or with
// the whole file locked. Ended at the end.
class Holder {
public:
    Holder(const fs::path& dir, const std::string& sql) {
        int ready[2];
        if (pipe(ready) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            data::TDatabase db;
            db.setPath(dir.string());
            db.connect();
            db.exec(sql);
            (void)!write(ready[1], "k", 1);
            for (;;) pause();
        }
        close(ready[1]);
        char c = 0;
        (void)!read(ready[0], &c, 1);
        close(ready[0]);
    }
    ~Holder() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

private:
    pid_t pid_ = -1;
};

TEST(AccessFaults, RegisterInAWriteTransactionOfAnotherProcessRefusesThePost) {
    TempDir dir;
    writeRegister(dir.path());
    const RegisterDigest before = digestOf(dir.path());
    std::string error;
    {
        Holder other(dir.path(), "BEGIN IMMEDIATE; UPDATE orgreg SET orgnavn = 'Annet'");
        ScriptedUi ui;
        error = postMember(dir.path(), ui);
    }
    EXPECT_NE(error.find("Registeret er i bruk av et annet program"), std::string::npos) << error;
    EXPECT_TRUE(digestOf(dir.path()) == before);
}

TEST(AccessFaults, RegisterLockedWholeByAnotherProcessStopsTheStartInNorwegian) {
    TempDir dir;
    writeRegister(dir.path());
    const RegisterDigest before = digestOf(dir.path());
    std::string told;
    {
        Holder other(dir.path(),
                     "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; "
                     "UPDATE orgreg SET orgnavn = 'Annet'");
        ScriptedUi ui;
        told = postMember(dir.path(), ui);
        for (const ShownMessage& m : ui.messages) told += "\n" + m.text;
    }
    EXPECT_NE(told.find("Registeret er i bruk av et annet program"), std::string::npos) << told;
    EXPECT_TRUE(digestOf(dir.path()) == before);
}

}  // namespace
}  // namespace lagrull::test
