#pragma once
// The data store of one run of the program: the connection "lagrull", the
// two managers and the main window's table objects, brought up in the order
// of the start-up. The GUI program's main window owns one and calls the steps
// between its own (font size, captions); lagrul-cli calls start().

#include <memory>
#include <string>

#include "data/app_db_mng.h"
#include "data/database.h"
#include "data/db_manager.h"

namespace lagrull {
class Ui;
struct AppPaths;
}  // namespace lagrull

namespace lagrull::data {

class DataStore {
public:
    // `settingsFile`: the settings file (data directory, register kind);
    // `defaultDataPath`: the application data directory.
    DataStore(Ui& ui, const std::string& settingsFile, const std::string& defaultDataPath);
    // From the paths fixed at start.
    explicit DataStore(Ui& ui);

    // Registers dbLocal with the manager. A failure is shown in an "Error!"
    // box and start-up goes on (the first table operation then stops the
    // program); a FatalError (no data directory) is passed on.
    void registerDatabase();
    // Creates, repairs and upgrades the tables.
    void openTables();
    void start() {
        registerDatabase();
        openTables();
    }

    TDatabase& dbLocal() { return dbLocal_; }
    TOrvDbMng& dbMng() { return dbMng_; }
    TAppDbMng& appDbMng() { return appDbMng_; }
    RegisterTables& tables() { return *tables_; }

private:
    Ui& ui_;
    TDatabase dbLocal_;
    TOrvDbMng dbMng_;
    TAppDbMng appDbMng_;
    std::unique_ptr<RegisterTables> tables_;
};

// Moves a per-user settings file "lagrul.usr" that older versions left in
// the system directory to the per-user settings file's path; nothing happens
// when there is none or the target exists. False when the move failed.
bool moveOldUserSettings(const std::string& systemDirectory, const std::string& userSettingsFile);
bool moveOldUserSettings(const AppPaths& paths);

}  // namespace lagrull::data
