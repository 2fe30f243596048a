#include "data/data_store.h"

#include <filesystem>

#include "common/app_paths.h"
#include "common/file_names.h"
#include "common/log.h"
#include "common/ui.h"

namespace lagrull::data {

namespace fs = std::filesystem;

DataStore::DataStore(Ui& ui, const std::string& settingsFile, const std::string& defaultDataPath)
    : ui_(ui),
      dbMng_(ui, settingsFile, defaultDataPath),
      appDbMng_(dbMng_, settingsFile),
      tables_(std::make_unique<RegisterTables>(dbLocal_)) {}

DataStore::DataStore(Ui& ui) : DataStore(ui, settingsFilePath(), applicationDataDirectory()) {}

void DataStore::registerDatabase() {
    try {
        dbMng_.RegisterDatabase(dbLocal_);
    } catch (const FatalError&) {
        throw;
    } catch (const std::exception& e) {
        appLog().writeLine(std::string("Tilkobling feilet: ") + e.what());
        ui_.message("Error!", e.what(), Buttons::Ok, Icon::Error);
    } catch (...) {
        ui_.message("Error!", "Ukjent Exception-klasse. Kan ikke hente ut feilmelding", Buttons::Ok,
                    Icon::Error);
    }
}

void DataStore::openTables() { appDbMng_.OpenTables(*tables_); }

bool moveOldUserSettings(const std::string& systemDirectory, const std::string& userSettingsFile) {
    const fs::path source =
        findFileNoCase(fs::path(withTrailingSlash(systemDirectory)) / "lagrul.usr");
    std::error_code ec;
    if (!fs::exists(source, ec) || userSettingsFile.empty() || fs::exists(userSettingsFile, ec))
        return true;
    fs::create_directories(fs::path(userSettingsFile).parent_path(), ec);
    fs::rename(source, userSettingsFile, ec);
    if (!ec) return true;
    // Another file system: copy, then remove the old one.
    ec.clear();
    fs::copy_file(source, userSettingsFile, ec);
    if (ec) return false;
    fs::remove(source, ec);
    return true;
}

bool moveOldUserSettings(const AppPaths& paths) {
    return moveOldUserSettings(fs::path(paths.machineApplicationsIni).parent_path().string(),
                               paths.userSettingsFile);
}

}  // namespace lagrull::data
