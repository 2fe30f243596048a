#include "common/log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::TempDir;
using namespace std::chrono_literals;

namespace {

TEST(LogFile, StampHasTwoDigitFieldsAndHundredths) {
    EXPECT_EQ(TLogFile::stamp(1h + 5min + 370ms), "[01:05:00:37] ");
    EXPECT_EQ(TLogFile::stamp(0ms), "[00:00:00:00] ");
    EXPECT_EQ(TLogFile::stamp(100h + 59min + 59s + 999ms), "[100:59:59:99] ");
}

TEST(LogFile, WritesStartLineThenStampedLines) {
    TempDir dir;
    {
        TLogFile log(true, {dir.str()});
        log.write("Brev: ");
        log.writeLine("ferdig");
        log.writeLine("neste");
    }
    const std::string text = dir.read("lagrul.log");
    const std::regex expected(
        "StartTime \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n"
        "\\[00:00:00:\\d\\d\\] Brev: ferdig\r\n\\[00:00:00:\\d\\d\\] neste\r\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(LogFile, ReplacesAnEarlierLogAndClearStartsAnew) {
    TempDir dir;
    dir.write("lagrul.log", "gammel logg\r\n");
    TLogFile log(true, {dir.str()});
    log.writeLine("en");
    EXPECT_EQ(dir.read("lagrul.log").find("gammel"), std::string::npos);
    log.clear();
    log.writeLine("to");
    const std::string text = dir.read("lagrul.log");
    EXPECT_EQ(text.find("en\r\n"), std::string::npos);
    EXPECT_NE(text.find("] to\r\n"), std::string::npos);
}

TEST(LogFile, DisabledLogWritesNothing) {
    TempDir dir;
    TLogFile log(false, {dir.str()});
    log.writeLine("noe");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "lagrul.log"));
}

TEST(LogFile, PicksTheFirstWritableDirectory) {
    TempDir dir;
    TLogFile log(true, {"/finnes/ikke", dir.str()});
    EXPECT_EQ(log.path(), dir.str() + "/lagrul.log");
}

TEST(LogFile, StopsSilentlyAfterAnIoError) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // Writing to a full device must not throw and must switch the log off.
    TempDir dir;
    std::filesystem::create_symlink("/dev/full", dir.path() / "lagrul.log");
    TLogFile full(true, {dir.str()});
    full.writeLine("første");
    full.writeLine("andre");
    EXPECT_FALSE(full.enabled());
}

TEST(LogFile, SwitchInAnyFormAndCase) {
    for (const char* s : {"LOGG", "/LOGG", "-logg", "logg", "/Logg"})
        EXPECT_TRUE(isLogSwitch(s)) << s;
    for (const char* s : {"LOG", "/LOGGER", "--logg", ""}) EXPECT_FALSE(isLogSwitch(s)) << s;
}

}  // namespace
