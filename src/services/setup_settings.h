#pragma once
// The settings of the "Dataoppsett" window: the data directory, the default
// letter template, the register kind, the report font size and the customer
// unit number (not shown, carried through unchanged). Changing the first
// three needs a restart; the font size takes effect at once.

#include <string>

#include "common/settings_keys.h"

namespace lagrull {

class Ui;

struct SetupValues {
    std::string database;    // data directory, with trailing "/"
    std::string letterFile;  // default letter template
    RegisterKind registerKind = RegisterKind::Members;
    int fontSize = 9;  // 6..12
    std::string customerUnitId;

    bool operator==(const SetupValues&) const = default;
};

class TSetupSettings {
public:
    TSetupSettings(std::string settingsFile, std::string appDataDirectory,
                   std::string programDirectory);

    // Reads section "Setup" with its defaults and remembers what it showed.
    SetupValues load();
    const SetupValues& loaded() const { return loaded_; }

    enum class Outcome { KeepOpen, Closed, Restart };
    // "&OK": asks about a restart when one is needed (No keeps the window
    // open), writes the values, and applies the font size at once.
    Outcome accept(const SetupValues& edited, Ui& ui);

    bool needsRestart(const SetupValues& edited) const;

    // "Brev.RTF" in the data directory, else in the program directory if it
    // is there, else the former.
    std::string defaultLetterFile() const;

private:
    std::string settingsFile_;
    std::string appData_;
    std::string programDir_;
    SetupValues loaded_;
};

}  // namespace lagrull
