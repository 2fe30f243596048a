// lagrul-cli flett: one template merged into a document.
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>

#include "cli/command.h"
#include "common/dates.h"
#include "common/error.h"
#include "common/file_names.h"
#include "template/rtf_extended.h"

namespace lagrull::cli {

namespace {

int runMerge(Context& c) {
    std::vector<std::string> positional;
    TRtfExtended engine;
    std::string zip, password;
    // Values given on the command line go before the ini file's.
    std::map<std::string, std::string> sets;
    engine.OnGetField = [&sets](const std::string& name) -> std::optional<std::string> {
        if (auto it = sets.find(name); it != sets.end()) return it->second;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= c.args.size()) throw UsageError{a + " mangler verdi."};
            return c.args[++i];
        };
        if (a == "--ini") {
            engine.MergeIniFile = value();
        } else if (a == "--set") {
            const std::string& pair = value();
            if (pair.find('=') == std::string::npos) throw UsageError{"--set vil ha navn=verdi."};
            const std::size_t eq = pair.find('=');
            sets[pair.substr(0, eq)] = pair.substr(eq + 1);
        } else if (a == "--dato") {
            const auto date = parseShownDate(value());
            if (!date) throw UsageError{"--dato vil ha DD.MM.ÅÅÅÅ."};
            engine.letterDate = *date;
        } else if (a == "--zip") {
            zip = value();
        } else if (a == "--passord") {
            password = value();
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"Ukjent valg " + a + "."};
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) throw UsageError{"Oppgi malen og utfilen."};
    if (!zip.empty()) engine.setZipArchive(zip, password);
    // The page layout's PDF device is wired in here once it is part of the
    // build; until then a ".pdf" output is refused with a clear message.
    TRtfPdfConverter* pdf = nullptr;
    engine.setPdfConverter(pdf);

    const std::string& out = positional[1];
    if (out == "-") {  // the merged RTF on standard output
        const std::filesystem::path templ(positional[0]);
        engine.setBaseDirectory(templ.parent_path().string());
        const std::string document = engine.Convert(readFileBytes(templ));
        c.out << document;
        if (document.empty()) c.out << "(tomt dokument)\n";
        return 0;
    }
    engine.MergeFile(positional[0], out);
    const auto size = std::filesystem::file_size(out);
    if (size == 0) c.out << "Ingen tekst: " << out << " er tom.\n";
    else c.out << "Skrev " << out << " (" << size << " byte).\n";
    return 0;
}

}  // namespace

void addMergeCommands(Commands& commands) {
    commands.add({"flett",
                  "flett MAL UT [--ini FIL] [--set navn=verdi]... [--dato DD.MM.ÅÅÅÅ] [--zip ARKIV [--passord P]]  fletter malen til UT "
                  "(RTF, PDF for .pdf, - for standard ut)",
                  runMerge});
}

}  // namespace lagrull::cli
