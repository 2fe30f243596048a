#include "common/app_paths.h"

#include <unistd.h>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "common/error.h"
#include "common/file_names.h"
#include "common/ini.h"
#include "common/text_codec.h"
#include "common/ui.h"

namespace fs = std::filesystem;

namespace lagrull {

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string executableDirectory() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return withTrailingSlash(fs::current_path().string());
    return withTrailingSlash(exe.parent_path().string());
}

bool isDirectory(const std::string& dir) {
    std::error_code ec;
    return !dir.empty() && fs::is_directory(dir, ec);
}

// A directory named in a file beside the program may be relative to it.
std::string absoluteFrom(const std::string& base, const std::string& dir) {
    if (dir.empty() || dir.front() == '/') return dir;
    return base + dir;
}

class DataDirectorySearch {
public:
    DataDirectorySearch(Ui& ui) : ui_(ui) {}

    // A candidate that does not exist is dropped with the warning (once).
    std::optional<std::string> accept(const std::string& dir) {
        if (dir.empty()) return std::nullopt;
        if (isDirectory(dir)) return withTrailingSlash(dir);
        if (!warned_) {
            warned_ = true;
            ui_.warning("Advarsel",
                        "Angitt katalog for applikasjonsdata og konfigurasjon eksisterer ikke!");
        }
        return std::nullopt;
    }

private:
    Ui& ui_;
    bool warned_ = false;
};

std::string pathArgument(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a.size() >= 6 && upperCase(a.substr(0, 6)) == "/PATH=") return a.substr(6);
    return {};
}

std::string readPath(const std::string& file, const std::string& key) {
    std::error_code ec;
    if (file.empty() || !fs::exists(findFileNoCase(file), ec)) return {};
    return TOrvIni::readValue(file, "Path", key).value_or("");
}

std::optional<AppPaths>& fixedPaths() {
    static std::optional<AppPaths> paths;
    return paths;
}

}  // namespace

PathInputs PathInputs::fromEnvironment(const std::vector<std::string>& args) {
    PathInputs in;
    in.args = args;
    in.programDirectory = executableDirectory();
    in.home = env("HOME");
    in.xdgDataHome = env("XDG_DATA_HOME");
    in.xdgConfigHome = env("XDG_CONFIG_HOME");
    in.xdgDocumentsDir = env("XDG_DOCUMENTS_DIR");
    return in;
}

AppPaths resolveAppPaths(const PathInputs& in, Ui& ui) {
    AppPaths p;
    p.programDirectory = withTrailingSlash(in.programDirectory);
    const std::string home = in.home.empty() ? std::string("/tmp") : in.home;
    const std::string configHome =
        withTrailingSlash(in.xdgConfigHome.empty() ? home + "/.config" : in.xdgConfigHome);
    const std::string dataHome =
        withTrailingSlash(in.xdgDataHome.empty() ? home + "/.local/share" : in.xdgDataHome);
    const std::string system = withTrailingSlash(in.systemDirectory);

    // The directory file: "lagrulw.dir", else "lagrul.dir".
    const fs::path first = findFileNoCase(p.programDirectory + kBaseName + "w.dir");
    std::error_code ec;
    p.directoryFile = fs::exists(first, ec)
                          ? first.string()
                          : findFileNoCase(p.programDirectory + kBaseName + ".dir").string();

    DataDirectorySearch search(ui);
    std::optional<std::string> data = search.accept(pathArgument(in.args));
    if (!data) {
        const std::string localConfig =
            absoluteFrom(p.programDirectory, readPath(p.directoryFile, "LocalConfigFile"));
        if (!localConfig.empty() && fs::exists(findFileNoCase(localConfig), ec))
            data =
                search.accept(absoluteFrom(p.programDirectory, readPath(localConfig, "LocalPath")));
    }
    if (!data)
        data =
            search.accept(absoluteFrom(p.programDirectory, readPath(p.directoryFile, "LocalPath")));
    if (!data) {
        const std::string fallback = dataHome + "lagrull/";
        fs::create_directories(fallback, ec);
        data = fallback;
    }
    p.appDataDirectory = *data;
    p.settingsFile = findFileNoCase(p.appDataDirectory + kBaseName + ".ini").string();

    // Per-user settings: the user's folder when it can be written, else an
    // old file in the system directory that can, else the user's (created).
    const std::string userDir = configHome + "Brakvi/" + kBaseName + "/";
    const std::string userFile = userDir + kBaseName + ".ini";
    const std::string systemFile = findFileNoCase(system + kBaseName + ".ini").string();
    if (fs::exists(userFile, ec) && directoryWritable(userDir)) {
        p.userSettingsFile = userFile;
    } else if (fs::exists(systemFile, ec) && directoryWritable(system)) {
        p.userSettingsFile = systemFile;
    } else {
        fs::create_directories(userDir, ec);
        p.userSettingsFile = userFile;
    }

    p.brakviIni = findFileNoCase(system + "Brakvi.ini").string();
    p.userApplicationsIni = configHome + "Brakvi/Applications.ini";
    p.machineApplicationsIni = system + "Applications.ini";
    p.documentsDirectory =
        withTrailingSlash(in.xdgDocumentsDir.empty() ? home + "/Documents" : in.xdgDocumentsDir);
    p.tempDirectory = withTrailingSlash(fs::temp_directory_path(ec).string());
    return p;
}

const AppPaths& appPaths() {
    if (!fixedPaths()) throw Error("Programmets kataloger er ikke bestemt ennå");
    return *fixedPaths();
}

void setAppPaths(const AppPaths& paths) { fixedPaths() = paths; }

std::string applicationDataDirectory() { return appPaths().appDataDirectory; }
std::string settingsFilePath() { return appPaths().settingsFile; }
std::string userSettingsFilePath() { return appPaths().userSettingsFile; }

std::string programLocation(const std::string& programFile) {
    const AppPaths& p = appPaths();
    std::string dir = readPath(p.directoryFile, programFile);
    for (const std::string& registry : {p.userApplicationsIni, p.machineApplicationsIni}) {
        if (!dir.empty()) break;
        dir = TOrvIni::readValue(registry, "Applications", programFile).value_or("");
    }
    if (dir.empty())
        dir = TOrvIni::readValue(p.brakviIni, "Programkatalog", programFile).value_or("");
    return dir.empty() ? dir : withTrailingSlash(dir);
}

void recordProgramDirectory(const std::string& executableName) {
    const AppPaths& p = appPaths();
    std::error_code ec;
    fs::create_directories(fs::path(p.userApplicationsIni).parent_path(), ec);
    for (const std::string& registry : {p.userApplicationsIni, p.machineApplicationsIni}) {
        // "Mangler skrivetilgang til registry!" is ignored, as on the old
        // platform: the entry only helps other programs find this one.
        TOrvIni::writeValue(registry, "Applications", executableName, p.programDirectory);
    }
}

}  // namespace lagrull
