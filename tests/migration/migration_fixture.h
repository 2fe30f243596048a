#pragma once
// A fresh register and a generated older register beside it, and the
// migration between them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/data_store.h"
#include "migration/paradox_writer.h"
#include "scripted_ui.h"
#include "services/migration/paradox_migration.h"
#include "temp_dir.h"

namespace lagrull::test {

class MigrationTest : public ::testing::Test {
protected:
    std::filesystem::path source() const { return dir.path() / "gammel"; }
    std::filesystem::path appData() const { return dir.path() / "app"; }
    std::string settingsFile() const { return (appData() / "lagrul.ini").string(); }

    data::DataStore& store() {
        if (!store_) {
            std::filesystem::create_directories(appData());
            store_ = std::make_unique<data::DataStore>(ui, settingsFile(), appData().string());
            store_->start();
        }
        return *store_;
    }
    migration::MigrationReport migrate() {
        migration::TParadoxMigration m(store(), ui, {settingsFile(), appData().string()});
        return m.run(source().string());
    }
    // Runs local SQL; the first column of the first row as text.
    std::string scalar(const std::string& sql);
    void exec(const std::string& sql);

    TempDir dir;
    ScriptedUi ui;
    std::unique_ptr<data::DataStore> store_;
};

}  // namespace lagrull::test
