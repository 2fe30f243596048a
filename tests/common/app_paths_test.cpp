#include "common/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::ScriptedUi;
using lagrull::test::TempDir;
namespace fs = std::filesystem;

namespace {

const char* const kWarning =
    "Angitt katalog for applikasjonsdata og konfigurasjon eksisterer ikke!";

// A machine in a directory: program folder, home and system directory.
struct Machine {
    TempDir root;
    PathInputs inputs;
    Machine() {
        fs::create_directories(root.path() / "prog");
        fs::create_directories(root.path() / "home");
        fs::create_directories(root.path() / "etc");
        inputs.programDirectory = (root.path() / "prog").string() + "/";
        inputs.home = (root.path() / "home").string();
        inputs.systemDirectory = (root.path() / "etc").string() + "/";
    }
    std::string dir(const std::string& name) const {
        fs::create_directories(root.path() / name);
        return (root.path() / name).string() + "/";
    }
};

TEST(AppPaths, DefaultsToThePerUserDataDirectory) {
    Machine m;
    ScriptedUi ui;
    const AppPaths p = resolveAppPaths(m.inputs, ui);
    EXPECT_EQ(p.appDataDirectory, m.inputs.home + "/.local/share/lagrull/");
    EXPECT_TRUE(fs::is_directory(p.appDataDirectory));
    EXPECT_EQ(p.settingsFile, p.appDataDirectory + "lagrul.ini");
    EXPECT_EQ(p.userSettingsFile, m.inputs.home + "/.config/Brakvi/lagrul/lagrul.ini");
    EXPECT_TRUE(fs::is_directory(m.inputs.home + "/.config/Brakvi/lagrul"));
    EXPECT_EQ(p.directoryFile, m.inputs.programDirectory + "lagrul.dir");
    EXPECT_EQ(p.brakviIni, m.inputs.systemDirectory + "Brakvi.ini");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(AppPaths, CommandLinePathWinsAndGetsTrailingSlash) {
    Machine m;
    const std::string data = m.dir("data");
    m.inputs.args = {"LOGG", "/PATH=" + data.substr(0, data.size() - 1)};
    ScriptedUi ui;
    EXPECT_EQ(resolveAppPaths(m.inputs, ui).appDataDirectory, data);
}

TEST(AppPaths, MissingCommandLinePathWarnsOnceAndConsultsDirectoryFile) {
    Machine m;
    const std::string local = m.dir("lokal");
    m.root.write("prog/lagrulw.dir", "[Path]\r\nLocalPath=" + local + "\r\n");
    m.root.write("prog/lagrul.dir", "[Path]\r\nLocalPath=/ikke/denne\r\n");
    m.inputs.args = {"/path=/finnes/ikke"};
    ScriptedUi ui;
    const AppPaths p = resolveAppPaths(m.inputs, ui);
    EXPECT_EQ(p.appDataDirectory, local);
    EXPECT_EQ(p.directoryFile, m.inputs.programDirectory + "lagrulw.dir");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Advarsel");
    EXPECT_EQ(ui.messages[0].text, kWarning);
}

TEST(AppPaths, LocalConfigFileIsFollowedWhenItExists) {
    Machine m;
    const std::string shared = m.dir("felles");
    m.root.write("conf/felles.ini", "[Path]\r\nLocalPath=" + shared + "\r\n");
    m.root.write("prog/lagrul.dir",
                 "[Path]\r\nLocalConfigFile=" + (m.root.path() / "conf/felles.ini").string() +
                     "\r\nLocalPath=" + m.dir("egen") + "\r\n");
    ScriptedUi ui;
    EXPECT_EQ(resolveAppPaths(m.inputs, ui).appDataDirectory, shared);
}

TEST(AppPaths, EveryMissingCandidateFallsThroughWithOneWarning) {
    Machine m;
    m.root.write("conf/felles.ini", "[Path]\r\nLocalPath=/mangler/a\r\n");
    m.root.write("prog/lagrul.dir",
                 "[Path]\r\nLocalConfigFile=" + (m.root.path() / "conf/felles.ini").string() +
                     "\r\nLocalPath=/mangler/b\r\n");
    m.inputs.args = {"/path=/mangler/c"};
    ScriptedUi ui;
    EXPECT_EQ(resolveAppPaths(m.inputs, ui).appDataDirectory,
              m.inputs.home + "/.local/share/lagrull/");
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(AppPaths, RelativeLocalPathIsBesideTheProgram) {
    Machine m;
    fs::create_directories(m.root.path() / "prog" / "data");
    m.root.write("prog/lagrul.dir", "[Path]\r\nLocalPath=data\r\n");
    ScriptedUi ui;
    EXPECT_EQ(resolveAppPaths(m.inputs, ui).appDataDirectory, m.inputs.programDirectory + "data/");
}

TEST(AppPaths, PerUserFileFallsBackToAWritableOldFileInTheSystemDirectory) {
    Machine m;
    m.root.write("etc/lagrul.ini", "[Setup]\r\n");
    ScriptedUi ui;
    EXPECT_EQ(resolveAppPaths(m.inputs, ui).userSettingsFile,
              m.inputs.systemDirectory + "lagrul.ini");
    // Once the user's own file exists, it is used.
    m.root.write("home/.config/Brakvi/lagrul/lagrul.ini", "");
    EXPECT_EQ(resolveAppPaths(m.inputs, ui).userSettingsFile,
              m.inputs.home + "/.config/Brakvi/lagrul/lagrul.ini");
}

TEST(AppPaths, ProgramLocationsFromDirectoryFileRegistryAndBrakviIni) {
    Machine m;
    m.root.write("prog/lagrul.dir", "[Path]\r\npalvikw.exe=/opt/palvik\r\n");
    m.root.write("etc/Brakvi.ini", "[Programkatalog]\r\nandre.exe=/opt/andre\r\n");
    ScriptedUi ui;
    setAppPaths(resolveAppPaths(m.inputs, ui));
    EXPECT_EQ(programLocation("palvikw.exe"), "/opt/palvik/");
    EXPECT_EQ(programLocation("andre.exe"), "/opt/andre/");
    EXPECT_EQ(programLocation("ukjent.exe"), "");
    recordProgramDirectory("lagrul");
    EXPECT_EQ(programLocation("lagrul"), m.inputs.programDirectory);
}

}  // namespace
