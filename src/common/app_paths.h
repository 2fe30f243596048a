#pragma once
// Where the register's files live, fixed once at start.
//
// Linux mapping of the old places: the per-user application data folder is
// $XDG_CONFIG_HOME (~/.config), the Windows directory is /etc/Brakvi, the
// registry's Software\Brakvi\Applications is section "Applications" of
// ~/.config/Brakvi/Applications.ini (current user) and
// /etc/Brakvi/Applications.ini (machine), and the default application data
// directory is $XDG_DATA_HOME/lagrull/ (~/.local/share/lagrull/).

#include <filesystem>
#include <string>
#include <vector>

namespace lagrull {

class Ui;

// The program's base name: settings "lagrul.ini", log "lagrul.log".
inline constexpr const char* kBaseName = "lagrul";

// What the resolution looks at: the command line and the machine.
struct PathInputs {
    std::vector<std::string> args;
    std::string programDirectory;                  // with trailing "/"
    std::string home;                              // $HOME
    std::string xdgDataHome;                       // may be empty
    std::string xdgConfigHome;                     // may be empty
    std::string xdgDocumentsDir;                   // may be empty
    std::string systemDirectory = "/etc/Brakvi/";  // stands for the Windows directory

    // From the running process and its environment.
    static PathInputs fromEnvironment(const std::vector<std::string>& args);
};

struct AppPaths {
    std::string programDirectory;        // trailing "/"
    std::string appDataDirectory;        // trailing "/"
    std::string settingsFile;            // appData + "lagrul.ini"
    std::string userSettingsFile;        // per-user settings
    std::string directoryFile;           // program dir + "lagrulw.dir" or "lagrul.dir"
    std::string brakviIni;               // "Brakvi.ini" in the system directory
    std::string userApplicationsIni;     // registry, current user
    std::string machineApplicationsIni;  // registry, local machine
    std::string documentsDirectory;      // trailing "/"
    std::string tempDirectory;           // trailing "/"
};

// Runs the whole algorithm. The warning about a missing directory is shown
// through `ui` at most once per call. Creates the default data directory
// and the per-user settings folder when they are missing.
AppPaths resolveAppPaths(const PathInputs& inputs, Ui& ui);

// The paths fixed at start (by startModules); before that, an exception.
const AppPaths& appPaths();
void setAppPaths(const AppPaths& paths);
std::string applicationDataDirectory();
std::string settingsFilePath();
std::string userSettingsFilePath();

// Where a program file of Brakvi's (such as "palvikw.exe") is installed:
// the directory file's section Path, the registry, then Brakvi.ini's
// section Programkatalog. Empty when none knows it.
std::string programLocation(const std::string& programFile);

// Records this program's own directory in the registry, current user then
// machine; a failed write is ignored.
void recordProgramDirectory(const std::string& executableName);

}  // namespace lagrull
