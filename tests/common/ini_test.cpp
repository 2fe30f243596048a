#include "common/ini.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "common/ini_format.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::TempDir;

namespace {

TEST(TOrvIni, ReadsKeysByNormalisedNameAndValueRules) {
    TempDir dir;
    const auto file = dir.write("lagrul.ini",
                                "[Set_up]\r\nkundeenhets_id=  123  \r\nFONTSIZE=12\r\n"
                                "Register=1\r\nfritekst uten likhetstegn\r\n");
    TOrvIni ini(file, IniMode::Read);
    ASSERT_TRUE(ini.findSection("SETUP"));
    EXPECT_EQ(ini.readText("KundeenhetsID"), "123");
    EXPECT_EQ(ini.readText("Kunde enhets ID"), "123");
    EXPECT_EQ(ini.readInteger("fontsize"), 12);
    EXPECT_FALSE(ini.readText("fritekst uten likhetstegn").has_value());
    EXPECT_FALSE(ini.readText("Mangler").has_value());
    EXPECT_FALSE(ini.findSection("Config"));
}

TEST(TOrvIni, NorwegianLettersNormaliseToUpperCase) {
    TempDir dir;
    const auto file = dir.write("a.ini", "[Bøker]\r\nÆrlig_nøkkel å=ja\r\n");
    TOrvIni ini(file, IniMode::Read);
    ASSERT_TRUE(ini.findSection("BØKER"));
    EXPECT_EQ(ini.readBool("ÆRLIGNØKKELÅ"), true);
}

TEST(TOrvIni, BooleansDecimalsAndIntegers) {
    TempDir dir;
    const auto file =
        dir.write("a.ini", "[S]\r\na=nei\r\nb=Yes\r\nc=?\r\nd=1,5\r\ne=2.25\r\nf=x12\r\n");
    TOrvIni ini(file, IniMode::Read);
    ini.findSection("S");
    EXPECT_FALSE(ini.readBool("a", true));
    EXPECT_TRUE(ini.readBool("b", false));
    EXPECT_TRUE(ini.readBool("c", true));
    EXPECT_FALSE(ini.readBool("c", false));
    EXPECT_FALSE(ini.readBool("mangler", false));
    EXPECT_DOUBLE_EQ(*ini.readDecimal("d"), 1.5);
    EXPECT_DOUBLE_EQ(*ini.readDecimal("e"), 2.25);
    EXPECT_FALSE(ini.readInteger("f").has_value());
    EXPECT_EQ(ini.readInteger("f", 9), 9);
}

TEST(TOrvIni, WritesValuesInPlaceAndNewKeysAtSectionEnd) {
    TempDir dir;
    const auto file =
        dir.write("a.ini", "[Setup]\r\nDatabase=/a/\r\nFONTSIZE=9\r\n\r\n[Config]\r\nX=1\r\n");
    {
        TOrvIni ini(file, IniMode::Write);
        ini.useSection("setup");
        ini.writeText("DATABASE", "/b/");
        ini.writeBool("Ny", true);
        ini.writeDecimal("Hoyde", 2.5);
        ini.writeInteger("Antall", -3);
        ini.useSection("Ekstra");
        ini.writeText("K", "v");
    }
    EXPECT_EQ(dir.read("a.ini"),
              "[Setup]\r\nDatabase=/b/\r\nFONTSIZE=9\r\nNy=Ja\r\nHoyde=2,5\r\nAntall=-3\r\n\r\n"
              "[Config]\r\nX=1\r\n\r\n[Ekstra]\r\nK=v\r\n\r\n");
}

TEST(TOrvIni, LineBreaksRoundTripOnOneLine) {
    TempDir dir;
    const auto file = dir.path() / "a.ini";
    ASSERT_TRUE(TOrvIni::writeValue(file, "Brev", "Tekst", "første linje\r\nandre linje"));
    EXPECT_EQ(dir.read("a.ini"), "[Brev]\r\nTekst=første linje \\n andre linje\r\n\r\n");
    EXPECT_EQ(TOrvIni::readValue(file, "Brev", "Tekst"), "første linje\r\nandre linje");
    // A lone LF must not split the line on disk either.
    ASSERT_TRUE(TOrvIni::writeValue(file, "Brev", "Tekst", "a\nb\rc"));
    EXPECT_EQ(TOrvIni::readValue(file, "Brev", "Tekst"), "a\r\nb\r\nc");
}

TEST(TOrvIni, SharedObjectsSeeEachOthersWritesAndSaveOnLastClose) {
    TempDir dir;
    const auto file = dir.write("a.ini", "[S]\r\nk=1\r\n");
    TOrvIni first(file, IniMode::Write);
    {
        TOrvIni second(file, IniMode::Read);
        first.findSection("S");
        first.writeText("k", "2");
        second.findSection("S");
        EXPECT_EQ(second.readText("k"), "2");
        EXPECT_EQ(TOrvIni::loadedFiles(), 1u);
    }
    EXPECT_EQ(dir.read("a.ini"), "[S]\r\nk=1\r\n");  // still in memory only
    first.close();
    EXPECT_EQ(dir.read("a.ini"), "[S]\r\nk=2\r\n\r\n");
    EXPECT_EQ(TOrvIni::loadedFiles(), 0u);
    first.close();  // a second close of the same object is harmless
}

TEST(TOrvIni, UnchangedFileIsNeverRewritten) {
    TempDir dir;
    const std::string odd = "[S]\nk = v \n\n\n";  // not in the form we would write
    const auto file = dir.write("a.ini", odd);
    const auto before = std::filesystem::last_write_time(file);
    {
        TOrvIni ini(file, IniMode::Write);
        ini.findSection("S");
        EXPECT_EQ(ini.readText("k"), "v");
    }
    EXPECT_EQ(dir.read("a.ini"), odd);
    EXPECT_EQ(std::filesystem::last_write_time(file), before);
}

TEST(TOrvIni, OpenModesAndTheirErrors) {
    TempDir dir;
    const auto missing = dir.path() / "mangler.ini";
    try {
        TOrvIni ini(missing, IniMode::Read);
        FAIL() << "read mode opened a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing.string());
    }
    EXPECT_FALSE(TOrvIni::readValue(missing, "S", "k").has_value());

    const auto badDir = dir.path() / "finnes-ikke" / "a.ini";
    EXPECT_THROW(TOrvIni(badDir, IniMode::Write), FileError);
    EXPECT_FALSE(TOrvIni::writeValue(badDir, "S", "k", "v"));

    { TOrvIni created(missing, IniMode::Write); }
    EXPECT_TRUE(std::filesystem::exists(missing));
}

TEST(TOrvIni, FindsFileWhateverTheLetterCase) {
    TempDir dir;
    dir.write("Brev.INI", "[Brev]\r\nNavn=Kari\r\n");
    EXPECT_EQ(TOrvIni::readValue(dir.path() / "brev.ini", "brev", "navn"), "Kari");
}

TEST(TOrvIni, WalksSectionsInFileOrder) {
    TempDir dir;
    const auto file = dir.write("a.ini", "løs=1\r\n[A]\r\n[B]\r\nx=1\r\n[C]\r\n");
    TOrvIni ini(file, IniMode::Read);
    std::vector<std::string> names;
    for (bool ok = ini.firstSection(); ok; ok = ini.nextSection())
        names.push_back(ini.sectionName());
    EXPECT_EQ(names, (std::vector<std::string>{"", "A", "B", "C"}));
    ini.firstSection();
    EXPECT_EQ(ini.readText("LØS"), "1");  // the unnamed section before the first header
}

TEST(TOrvIni, ReadsWindows1252FilesAndWritesUtf8) {
    TempDir dir;
    const auto file = dir.write("a.ini",
                                "[S]\r\nPoststed=B\xD8"
                                "DAL\r\n");  // "BØDAL" in 1252
    EXPECT_EQ(TOrvIni::readValue(file, "S", "Poststed"), "BØDAL");
    ASSERT_TRUE(TOrvIni::writeValue(file, "S", "Ny", "å"));
    EXPECT_EQ(dir.read("a.ini"), "[S]\r\nPoststed=BØDAL\r\nNy=å\r\n\r\n");
}

TEST(TOrvIni, ScrambledFilesOfBothFormsAreReadAndWrittenInTheSecond) {
    TempDir dir;
    // First form: built with the same rule the engine reverses.
    const std::string plain = "[Sikker]\r\nPassord=Hemmelig 123\r\n";
    std::string first = "@@@@\r\n";
    for (const auto* line : {"[Sikker]", "Passord=Hemmelig 123"})
        first += ini::scrambleFirst(line) + "\r\n";
    const auto f1 = dir.write("first.ini", first);
    EXPECT_EQ(TOrvIni::readValue(f1, "Sikker", "Passord"), "Hemmelig 123");
    ASSERT_TRUE(TOrvIni::writeValue(f1, "Sikker", "Ny", "ø"));
    const std::string written = dir.read("first.ini");
    EXPECT_EQ(written.substr(0, 7), "@@@@@\r\n");
    EXPECT_EQ(written.find("Passord"), std::string::npos);  // not in clear text
    EXPECT_EQ(TOrvIni::readValue(f1, "Sikker", "Passord"), "Hemmelig 123");
    EXPECT_EQ(TOrvIni::readValue(f1, "Sikker", "Ny"), "ø");
}

}  // namespace

#include "common/settings_keys.h"

namespace {

TEST(SetupKeys, FontSizeOutsideSixToTwelveCountsAsNine) {
    TempDir dir;
    const auto file = dir.path() / "lagrul.ini";
    EXPECT_EQ(reportFontSizeSetting(file.string()), 9);  // no file at all
    for (const auto& [stored, expected] : std::vector<std::pair<std::string, int>>{
             {"5", 9}, {"13", 9}, {"12", 12}, {"6", 6}, {"x", 9}}) {
        ASSERT_TRUE(TOrvIni::writeValue(file, "Setup", "FONTSIZE", stored));
        EXPECT_EQ(reportFontSizeSetting(file.string()), expected) << stored;
    }
}

TEST(SetupKeys, RegisterKind) {
    TempDir dir;
    const auto file = dir.path() / "lagrul.ini";
    EXPECT_EQ(registerKindSetting(file.string()), RegisterKind::Members);
    TOrvIni::writeValue(file, "Setup", "Register", "1");
    EXPECT_EQ(registerKindSetting(file.string()), RegisterKind::Rent);
}

}  // namespace
