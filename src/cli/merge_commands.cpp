// lagrul-cli flett: one template merged into a document. FILLIN fields of
// the result are answered from --input, in order, or keep their default;
// DATABASE fields read the register of the data directory.
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/command.h"
#include "cli/console_fillin.h"
#include "common/app_paths.h"
#include "common/dates.h"
#include "common/error.h"
#include "common/file_names.h"
#include "common/log.h"
#include "data/data_store.h"
#include "register/merge_database.h"
#include "template/merge/fillin.h"
#include "template/merge/rtf_extended.h"

#ifdef LAGRULL_HAVE_PRINT
#include "template/pdf/qt_pdf_converter.h"
#endif

namespace lagrull::cli {

namespace {

bool endsWithPdf(const std::string& name) {
    return name.size() >= 4 && (name.compare(name.size() - 4, 4, ".pdf") == 0 ||
                                name.compare(name.size() - 4, 4, ".PDF") == 0 ||
                                name.compare(name.size() - 4, 4, ".Pdf") == 0);
}

// The register, opened when a DATABASE field first asks for it: a template
// without one merges without touching the data directory's register.
class RegisterOnDemand : public TMergeDatabase {
public:
    explicit RegisterOnDemand(Ui& ui) : ui_(ui) {}
    std::unique_ptr<TMergeRows> query(const std::string& sql) override {
        if (!store_) {
            store_ = std::make_unique<data::DataStore>(ui_);
            store_->start();
            source_ = std::make_unique<TRegisterMergeDatabase>(store_->dbLocal());
        }
        return source_->query(sql);
    }

private:
    Ui& ui_;
    std::unique_ptr<data::DataStore> store_;
    std::unique_ptr<TRegisterMergeDatabase> source_;
};

int runMerge(Context& c) {
    TRtfExtended engine;
    RegisterOnDemand database(c.ui);
    engine.setDatabase(&database);
    engine.logging = appLog().enabled();  // the engine's own logs go with "LOGG"
    // Linked files are looked for beside the template, then here.
    engine.dataDirectory = applicationDataDirectory();
    engine.programDirectory = appPaths().programDirectory;
    // Values given on the command line go before the ini file's.
    std::map<std::string, std::string> sets;
    for (const std::string& pair : c.options.values("set")) {
        const std::size_t eq = pair.find('=');
        if (eq == std::string::npos) throw UsageError{"--set vil ha navn=verdi."};
        sets[pair.substr(0, eq)] = pair.substr(eq + 1);
    }
    engine.OnGetField = [&sets](const std::string& name) -> std::optional<std::string> {
        if (auto it = sets.find(name); it != sets.end()) return it->second;
        return std::nullopt;
    };
    if (auto ini = c.options.value("ini")) engine.MergeIniFile = *ini;
    if (auto text = c.options.value("dato")) {
        const auto date = parseShownDate(*text);
        if (!date) throw UsageError{"--dato vil ha DD.MM.ÅÅÅÅ."};
        engine.letterDate = *date;
    }
    const std::vector<std::string>& inputs = c.options.values("input");
    std::deque<std::string> answers(inputs.begin(), inputs.end());
    const std::string zip = c.options.value("zip").value_or("");
    const std::string password = c.options.value("passord").value_or("");
    const std::vector<std::string>& positional = c.args;
    if (positional.size() != 2) throw UsageError{"Oppgi malen og utfilen."};
    if (!zip.empty()) engine.setZipArchive(zip, password);
    const std::string& out = positional[1];
#ifndef LAGRULL_HAVE_PRINT
    // Without the printer devices (a build without the GUI) there is no PDF.
    if (endsWithPdf(out)) throw Error("PDF er ikke tilgjengelig i denne utgaven av lagrul-cli.");
#endif

    std::string document = engine.MergeToString(positional[0]);
    // With the RTF on standard output the prompts go to standard error.
    ConsoleFillIn prompter(std::move(answers), out == "-" ? c.err : c.out);
    if (!document.empty())
        if (auto filled = promptFillins(document, positional[0], prompter)) document = filled->rtf;
    if (out == "-") {  // the merged RTF on standard output
        c.out << (document.empty() ? "(tomt dokument)\n" : document);
        return 0;
    }
#ifdef LAGRULL_HAVE_PRINT
    if (endsWithPdf(out)) {
        if (document.empty()) {
            writeFileBytes(out, document);
            c.out << "Ingen tekst: " << out << " er tom.\n";
            return 0;
        }
        // The merged RTF goes through a temporary file to the PDF device,
        // and the temporary file goes on every path.
        const std::filesystem::path rtf = std::filesystem::temp_directory_path() /
                                          (std::filesystem::path(out).stem().string() + ".tmpRTF");
        struct Remove {
            std::filesystem::path path;
            ~Remove() {
                std::error_code ec;
                std::filesystem::remove(path, ec);
            }
        } removeLater{rtf};
        writeFileBytes(rtf, document);
        TQtPdfConverter converter;
        converter.convert(rtf.string(), out);
        c.out << "Skrev " << out << " (" << converter.pageCount()
              << (converter.pageCount() == 1 ? " side).\n" : " sider).\n");
        return 0;
    }
#endif
    writeFileBytes(out, document);
    if (document.empty())
        c.out << "Ingen tekst: " << out << " er tom.\n";
    else
        c.out << "Skrev " << out << " (" << document.size() << " byte).\n";
    return 0;
}

}  // namespace

void addMergeCommands(Commands& commands) {
    commands.add(
        {"flett",
         "flett MAL UT [--ini FIL] [--set navn=verdi]... [--dato DD.MM.ÅÅÅÅ] [--input SVAR]... "
         "[--zip ARKIV [--passord P]]  fletter malen til UT (RTF; - for standard ut)",
         runMerge,
         {{"ini", OptionKind::Value},
          {"set", OptionKind::Repeated},
          {"dato", OptionKind::Value},
          {"input", OptionKind::Repeated},
          {"zip", OptionKind::Value},
          {"passord", OptionKind::Value}}});
}

}  // namespace lagrull::cli
