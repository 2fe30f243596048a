#include "services/version_update.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/error.h"
#include "common/ini.h"
#include "common/text_codec.h"
#include "common/ui.h"

namespace lagrull {

namespace {

constexpr const char* kConfig = "Config";
constexpr const char* kSection = "VersionUpdate";
constexpr const char* kPackageExtension = ".deb";

// The vendor's programs this one knows.
constexpr TProductEntry kProducts[] = {{"lagrul", "Lagrull", "LagrullUpdate", ".exe"}};

std::string configValue(const std::string& settingsFile, const char* key,
                        const std::string& fallback) {
    const std::optional<std::string> v = TOrvIni::readValue(settingsFile, kConfig, key);
    return v && !v->empty() ? *v : fallback;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

std::string UpdateHost(const std::string& settingsFile) {
    return configValue(settingsFile, "Vert", kDefaultUpdateHost);
}

std::string SupportAddress(const std::string& settingsFile) {
    return configValue(settingsFile, "SupportAdresse", kDefaultSupportAddress);
}

const TProductEntry* FindProduct(const std::string& baseName) {
    for (const TProductEntry& p : kProducts)
        if (upperCase(p.baseName) == upperCase(baseName)) return &p;
    return nullptr;
}

bool DirectoryWritable(const std::string& directory) {
    const std::filesystem::path probe = std::filesystem::path(directory) / "TESTXXXX.TMP";
    {
        std::ofstream out(probe);
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}

TVersionUpdate::TVersionUpdate(Ui& ui, TDesktop& desktop, TUpdateSetting setting)
    : ui_(ui), setting_(std::move(setting)) {
    const bool writable = DirectoryWritable(setting_.programDirectory);
    if (setting_.programDirectory == setting_.appDataDirectory && writable)
        Kind = TUpdateKind::OwnDirectory;
    else if (!writable)
        Kind = TUpdateKind::Package;
    KanOppdatere = Kind != TUpdateKind::None;
    if (KanOppdatere && std::filesystem::exists(setting_.settingsFile)) {
        TOrvIni settings(setting_.settingsFile, IniMode::Read);
        if (settings.findSection(kConfig))
            KanOppdatere = !settings.readBool("PreventWebUpdate", false);
    }
    // The installer is set up whenever the product is known, so that a
    // check of the versions can run where the update itself cannot.
    const TProductEntry* product = FindProduct(setting_.baseName);
    if (!product) {
        if (KanOppdatere)
            ui_.message("Error",
                        "VersionMng-objektet i AutoUpdate kjenner ikke igjen applikasjonen.\r\n"
                        "Prosedyren InitInstaller må oppdateres med evt nye appliasjoner",
                        Buttons::Ok, Icon::Error);
        KanOppdatere = false;
        return;
    }
    std::string installer = product->installer;
    const std::filesystem::path upd =
        std::filesystem::path(setting_.appDataDirectory) / (setting_.baseName + ".upd");
    if (std::filesystem::exists(upd)) {
        std::ifstream in(upd, std::ios::binary);
        installer.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (installer.empty()) {
        KanOppdatere = false;
        return;
    }
    Produktnavn = product->displayName;
    Vert = UpdateHost(setting_.settingsFile);
    RemotePath = "/download/" + installer +
                 (Kind == TUpdateKind::Package ? kPackageExtension : product->extension);
    Installer = std::make_unique<TOrvWebInstaller>(ui_, desktop);
    Installer->RemotePathname = RemotePath;
    Installer->Hostname = Vert;
    Installer->RunningVersion = setting_.runningVersion;
    Installer->TempDirectory = setting_.tempDirectory;
    Installer->CaFile = setting_.caFile;
    if (!KanOppdatere) return;

    TOrvIni user(setting_.userSettingsFile, IniMode::Write);
    ForsteGang = !user.findSection(kSection);
    AutoSjekk = !ForsteGang && upperCase(user.readText("Auto", "Nei")) == "JA";
}

TVersionUpdate::~TVersionUpdate() = default;

std::string TVersionUpdate::CheckNewVersion() {
    return Installer ? Installer->CheckNewVersion() : std::string();
}

void TVersionUpdate::AutoCheck(TAutoUpdateStep& window) {
    if (!KanOppdatere) return;
    if (ForsteGang || (AutoSjekk && !CheckNewVersion().empty())) updateDialog(window, false);
}

void TVersionUpdate::ManualUpdate(TAutoUpdateStep& window) { updateDialog(window, true); }

void TVersionUpdate::updateDialog(TAutoUpdateStep& window, bool manual) {
    if (!KanOppdatere) {
        ui_.message("Error",
                    "Kan ikke kjøre oppdatering over internett\rFunksjonaliteten er deaktivert",
                    Buttons::Ok, Icon::Error);
        return;
    }
    if (Kind == TUpdateKind::OwnDirectory && !DirectoryWritable(setting_.programDirectory)) {
        ui_.message("Error",
                    "Kan ikke oppdatere programvaren.\r\nMangler skrivetilgang til "
                    "programkatalogen " +
                        setting_.programDirectory,
                    Buttons::Ok, Icon::Error);
        return;
    }
    window.Caption = Produktnavn + " - Auto oppdatering";
    window.AutoCheck = AutoSjekk;
    window.UpdateNow = true;
    window.AutoCheckCaption =
        replaceAll("Automatisk sjekk hver gang programmet startes opp", "programmet", Produktnavn);
    window.Info = replaceAll(
        "Dersom du har internett-tilgang kan det ved oppstart av programmet sjekkes om det "
        "foreligger ny versjon som er tilgjengelig for nedlasting. ",
        "programmet", Produktnavn);
    const bool ok = window.ShowModal();
    {
        TOrvIni user(setting_.userSettingsFile, IniMode::Write);
        user.useSection(kSection);
        user.writeText("Auto", window.AutoCheck ? "Ja" : "Nei");
    }
    AutoSjekk = window.AutoCheck;
    if (!ok || !window.UpdateNow) return;
    if (ForsteGang || manual) {
        if (CheckNewVersion().empty()) {
            ui_.information("Oppdatering unødvendig", "Du har den nyeste versjonen av programmet");
            return;
        }
        BusyCursor busy(ui_);
        Installer->DownloadAndInstall();
    } else {
        Installer->DownloadAndInstall();
    }
}

}  // namespace lagrull
