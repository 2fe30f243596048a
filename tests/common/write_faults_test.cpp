// Files written through a temporary on a full disk and into a directory
// that is gone: an error, no part of a file under the final name, no
// temporary left, an earlier file as it was; the log goes quiet instead.
#include <gtest/gtest.h>

#include "common/error.h"
#include "common/file_names.h"
#include "common/ini.h"
#include "common/log.h"
#include "full_disk.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

const std::string kLarge(std::size_t{200} * 1024, 'x');  // more than the full disk could ever take

TEST(WriteFaults, FullDiskKeepsTheEarlierFileAndLeavesNoTemporary) {
    FullDisk disk;
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    writeFileBytes(disk.path() / "fil.txt", "gammel");
    writeFileBytes(disk.path() / "lagrul.ini", "[Setup]\r\nDatabase=/gammel/\r\n");
    disk.fill();
    EXPECT_THROW(writeFileBytes(disk.path() / "fil.txt", kLarge), FileError);
    EXPECT_EQ(readFileBytes(disk.path() / "fil.txt"), "gammel");
    EXPECT_THROW(writeFileBytes(disk.path() / "ny.txt", kLarge), FileError);
    EXPECT_EQ(filesNamed(disk.path(), "fil.txt"), std::vector<std::string>{"fil.txt"});
    EXPECT_TRUE(filesNamed(disk.path(), "ny.txt").empty());

    // A settings file: the write reports failure, the file keeps its values.
    EXPECT_FALSE(TOrvIni::writeValue(disk.path() / "lagrul.ini", "Setup", "Tekst", kLarge));
    EXPECT_EQ(TOrvIni::readValue(disk.path() / "lagrul.ini", "Setup", "Database"), "/gammel/");
    EXPECT_EQ(filesNamed(disk.path(), "lagrul.ini"), std::vector<std::string>{"lagrul.ini"});
    // A settings file that was not there leaves no empty one behind.
    EXPECT_FALSE(TOrvIni::writeValue(disk.path() / "ny.ini", "Setup", "Tekst", kLarge));
    EXPECT_TRUE(filesNamed(disk.path(), "ny.ini").empty());

    // The log stops without a word and without taking the program along.
    TLogFile log(true, {disk.path().string()});
    log.writeLine(kLarge);
    log.writeLine("neste");
    EXPECT_FALSE(log.enabled());
}

TEST(WriteFaults, DirectoryGoneBetweenChoosingAndWriting) {
    TempDir dir;
    const fs::path chosen = dir.path() / "valgt";
    fs::create_directory(chosen);
    TLogFile log(true, {chosen.string()});
    EXPECT_EQ(log.path(), chosen.string() + "/lagrul.log");  // chosen while it was there
    fs::remove(chosen);
    EXPECT_THROW(writeFileBytes(chosen / "fil.txt", "innhold"), FileError);
    EXPECT_FALSE(TOrvIni::writeValue(chosen / "lagrul.ini", "Setup", "Database", "/ny/"));
    log.writeLine("ingen steder");
    EXPECT_FALSE(log.enabled());
    EXPECT_FALSE(fs::exists(chosen));
}

}  // namespace
}  // namespace lagrull::test
