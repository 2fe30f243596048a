#pragma once
// TVersionUpdate: the online update of the program, one object per run.
//
// Whether the update can run at all (KanOppdatere) follows how the program
// is installed:
// - Package: the program lies where the package manager put it (its
//   directory is not writable by the user). The installer is the program's
//   package (".deb"), handed to the desktop's package installer.
// - OwnDirectory: the program runs from a writable directory of its own,
//   its application data directory; the installer runs there and the
//   program ends.
// Any other place (a writable directory that is not its data directory),
// "PreventWebUpdate" in section "Config", an unknown product or an empty
// installer name switch it off.
//
// Invariants:
// - After the update dialog, whatever the user pressed, the per-user
//   settings file holds section "VersionUpdate" with "Auto", so the next
//   start is no longer a first one.

#include <memory>
#include <string>

#include "services/web_installer.h"

namespace lagrull {

class Ui;
class TDesktop;

inline constexpr const char* kDefaultUpdateHost = "www.brakvi.no";
inline constexpr const char* kDefaultSupportAddress = "support@brakvi.no";

// The settings of section "Config" of the settings file, with their defaults.
std::string UpdateHost(const std::string& settingsFile);      // key "Vert"
std::string SupportAddress(const std::string& settingsFile);  // key "SupportAdresse"

struct TProductEntry {
    const char* baseName;
    const char* displayName;
    const char* installer;
    const char* extension;
};
// The row of a program's base name (compared without regard to case);
// nullptr when the table does not know it.
const TProductEntry* FindProduct(const std::string& baseName);

// "TformAutoUpdate": the window Qt implements and tests fake.
class TAutoUpdateStep {
public:
    virtual ~TAutoUpdateStep() = default;
    std::string Caption;           // Produktnavn + " - Auto oppdatering"
    std::string Info;              // memoInfo
    std::string AutoCheckCaption;  // edAutoCheck's caption
    bool AutoCheck = false;        // edAutoCheck
    bool UpdateNow = true;         // edUpdateNow
    // True when OK closed it.
    virtual bool ShowModal() = 0;
};

enum class TUpdateKind { None, Package, OwnDirectory };

// What the update looks at on this machine.
struct TUpdateSetting {
    std::string programDirectory;  // trailing "/"
    std::string appDataDirectory;  // trailing "/"
    std::string baseName;          // "lagrul"
    std::string settingsFile;
    std::string userSettingsFile;
    std::string tempDirectory;  // trailing "/"
    std::string runningVersion;
    std::string caFile;  // a certificate to trust besides the system's
};

class TVersionUpdate {
public:
    TVersionUpdate(Ui& ui, TDesktop& desktop, TUpdateSetting setting);
    ~TVersionUpdate();

    bool KanOppdatere = false;
    TUpdateKind Kind = TUpdateKind::None;
    std::unique_ptr<TOrvWebInstaller> Installer;
    bool ForsteGang = false;
    bool AutoSjekk = false;
    std::string Produktnavn;
    std::string RemotePath;
    std::string Vert;

    // At the main window's first activation.
    void AutoCheck(TAutoUpdateStep& window);
    // "Oppdatering over internet".
    void ManualUpdate(TAutoUpdateStep& window);
    std::string CheckNewVersion();

private:
    void updateDialog(TAutoUpdateStep& window, bool manual);

    Ui& ui_;
    TUpdateSetting setting_;
};

// The program directory can be written: "TESTXXXX.TMP" can be created in it.
bool DirectoryWritable(const std::string& directory);

}  // namespace lagrull
