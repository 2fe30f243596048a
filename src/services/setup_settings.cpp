#include "services/setup_settings.h"

#include <filesystem>

#include "common/error.h"
#include "common/file_names.h"
#include "common/ini.h"
#include "common/settings_keys.h"
#include "common/ui.h"

namespace lagrull {

TSetupSettings::TSetupSettings(std::string settingsFile, std::string appDataDirectory,
                               std::string programDirectory)
    : settingsFile_(std::move(settingsFile)),
      appData_(withTrailingSlash(std::move(appDataDirectory))),
      programDir_(withTrailingSlash(std::move(programDirectory))) {}

std::string TSetupSettings::defaultLetterFile() const {
    const auto inData = findFileNoCase(appData_ + "Brev.RTF");
    std::error_code ec;
    if (std::filesystem::exists(inData, ec)) return inData.string();
    const auto inProgram = findFileNoCase(programDir_ + "Brev.RTF");
    if (std::filesystem::exists(inProgram, ec)) return inProgram.string();
    return appData_ + "Brev.RTF";
}

SetupValues TSetupSettings::load() {
    SetupValues v;
    v.database = appData_;
    v.letterFile = defaultLetterFile();
    std::error_code ec;
    if (std::filesystem::exists(findFileNoCase(settingsFile_), ec)) {
        TOrvIni ini(settingsFile_, IniMode::Read);
        if (ini.findSection("Setup")) {
            v.database = ini.readText("Database", v.database);
            const std::string letter = ini.readText("Brevfil", "");
            if (!letter.empty()) v.letterFile = letter;
            v.registerKind = registerKindOf(ini.readInteger("Register", 0));
            v.fontSize = validReportFontSize(ini.readInteger("FONTSIZE", 9));
            v.customerUnitId = ini.readText("KundeenhetsID", "");
        }
    }
    loaded_ = v;
    return v;
}

bool TSetupSettings::needsRestart(const SetupValues& e) const {
    return e.database != loaded_.database || e.letterFile != loaded_.letterFile ||
           e.registerKind != loaded_.registerKind;
}

TSetupSettings::Outcome TSetupSettings::accept(const SetupValues& edited, Ui& ui) {
    const bool restart = needsRestart(edited);
    if (restart && ui.message("ADVARSEL!", "Programmet må startes på nytt! Fortsett?",
                              Buttons::YesNo, Icon::Warning) != Answer::Yes)
        return Outcome::KeepOpen;
    try {
        TOrvIni ini(settingsFile_, IniMode::Write);
        ini.useSection("Setup");
        ini.writeText("Database", withTrailingSlash(edited.database));
        ini.writeText("Brevfil", edited.letterFile);
        ini.writeInteger("Register", static_cast<int>(edited.registerKind));
        ini.writeInteger("FONTSIZE", validReportFontSize(edited.fontSize));
        ini.writeText("KundeenhetsID", edited.customerUnitId);
        ini.close();
    } catch (const FileError&) {
        // Nothing is taken into use that was not saved; the window stays.
        ui.error("Oppsettet kunne ikke lagres i " + settingsFile_ +
                 ".\nKontroller at disken ikke er full og at du har lov til å skrive i katalogen.");
        return Outcome::KeepOpen;
    }
    setReportFontSize(edited.fontSize);
    loaded_ = edited;
    return restart ? Outcome::Restart : Outcome::Closed;
}

}  // namespace lagrull
