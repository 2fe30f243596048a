#include "services/setup_settings.h"

#include <gtest/gtest.h>

#include "common/ini.h"
#include "common/settings_keys.h"
#include "full_disk.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::ScriptedUi;
using lagrull::test::TempDir;

namespace {

struct SetupDir {
    TempDir dir;
    std::string data = dir.str() + "/data/";
    std::string program = dir.str() + "/prog/";
    std::string ini = data + "lagrul.ini";
    SetupDir() {
        dir.write("data/.keep", "");
        dir.write("prog/.keep", "");
    }
    TSetupSettings settings() const { return TSetupSettings(ini, data, program); }
};

TEST(SetupSettings, DefaultsWithoutAnySettings) {
    SetupDir s;
    auto settings = s.settings();
    const SetupValues v = settings.load();
    EXPECT_EQ(v.database, s.data);
    EXPECT_EQ(v.letterFile, s.data + "Brev.RTF");
    EXPECT_EQ(v.registerKind, RegisterKind::Members);
    EXPECT_EQ(v.fontSize, 9);
    // A template shipped beside the program is found there.
    s.dir.write("prog/brev.rtf", "{\\rtf1}");
    EXPECT_EQ(settings.load().letterFile, s.program + "brev.rtf");
    s.dir.write("data/Brev.RTF", "{\\rtf1}");
    EXPECT_EQ(settings.load().letterFile, s.data + "Brev.RTF");
}

TEST(SetupSettings, LoadsStoredValuesAndRefusesOddFontSizes) {
    SetupDir s;
    s.dir.write("data/lagrul.ini",
                "[Setup]\r\nDatabase=/srv/klubb/\r\nBrevfil=/srv/mal.rtf\r\nRegister=1\r\n"
                "FONTSIZE=13\r\nKundeenhetsID=12345678\r\n");
    auto settings = s.settings();
    const SetupValues v = settings.load();
    EXPECT_EQ(v.database, "/srv/klubb/");
    EXPECT_EQ(v.letterFile, "/srv/mal.rtf");
    EXPECT_EQ(v.registerKind, RegisterKind::Rent);
    EXPECT_EQ(v.fontSize, 9);
    EXPECT_EQ(v.customerUnitId, "12345678");
}

TEST(SetupSettings, OnlyTheFontSizeChangedAppliesAtOnceWithoutRestart) {
    SetupDir s;
    auto settings = s.settings();
    SetupValues v = settings.load();
    v.fontSize = 11;
    ScriptedUi ui;
    EXPECT_EQ(settings.accept(v, ui), TSetupSettings::Outcome::Closed);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(reportFontSize(), 11);
    EXPECT_EQ(TOrvIni::readValue(s.ini, "Setup", "FONTSIZE"), "11");
    EXPECT_EQ(TOrvIni::readValue(s.ini, "Setup", "Database"), s.data);
}

TEST(SetupSettings, RestartSettingsAskFirstAndNoKeepsTheWindowOpen) {
    SetupDir s;
    auto settings = s.settings();
    SetupValues v = settings.load();
    v.registerKind = RegisterKind::Rent;
    ScriptedUi ui;
    ui.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(settings.accept(v, ui), TSetupSettings::Outcome::KeepOpen);
    EXPECT_FALSE(TOrvIni::readValue(s.ini, "Setup", "Register").has_value());
    EXPECT_EQ(settings.accept(v, ui), TSetupSettings::Outcome::Restart);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].caption, "ADVARSEL!");
    EXPECT_EQ(ui.messages[0].text, "Programmet må startes på nytt! Fortsett?");
    EXPECT_EQ(TOrvIni::readValue(s.ini, "Setup", "Register"), "1");
}

TEST(SetupSettings, CustomerUnitIdIsCarriedThroughUnchanged) {
    SetupDir s;
    s.dir.write("data/lagrul.ini", "[Setup]\r\nKundeenhetsID=00012345\r\n");
    auto settings = s.settings();
    SetupValues v = settings.load();
    v.fontSize = 10;
    ScriptedUi ui;
    settings.accept(v, ui);
    EXPECT_EQ(TOrvIni::readValue(s.ini, "Setup", "KundeenhetsID"), "00012345");
}

}  // namespace

namespace {

TEST(SetupSettings, SettingsThatCannotBeSavedAreNotTakenIntoUse) {
    lagrull::test::FullDisk disk;
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    const std::string ini = (disk.path() / "lagrul.ini").string();
    TOrvIni::writeValue(ini, "Setup", "FONTSIZE", "9");
    TSetupSettings settings(ini, disk.path().string() + "/", disk.path().string() + "/");
    SetupValues edited = settings.load();
    edited.fontSize = 12;
    edited.customerUnitId = std::string(std::size_t{200} * 1024, '1');  // more than the disk takes
    disk.fill();
    setReportFontSize(9);
    ScriptedUi ui;
    EXPECT_EQ(settings.accept(edited, ui), TSetupSettings::Outcome::KeepOpen);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Oppsettet kunne ikke lagres i " + ini, 0), 0u)
        << ui.messages[0].text;
    EXPECT_EQ(settings.loaded().fontSize, 9);
    EXPECT_EQ(reportFontSize(), 9);
    EXPECT_EQ(TOrvIni::readValue(ini, "Setup", "FONTSIZE"), "9");
}

}  // namespace
