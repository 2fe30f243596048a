// lagrul-cli brev: letters to a selection of members through the same
// selection and letter run as the letter menu, to PDF (one file, or one per
// member with utsendelse.csv) or to the printer.
#include <filesystem>
#include <ostream>

#include "cli/command.h"
#include "cli/register_session.h"
#include "cli/selection_options.h"
#include "common/app_paths.h"
#include "common/error.h"
#include "data/data_store.h"
#include "register/merge_database.h"
#include "reports/letter_output.h"
#ifdef LAGRULL_HAVE_PRINT
#include "template/pdf/cups_printer_system.h"
#include "template/pdf/qt_paint_device.h"
#endif

namespace lagrull::cli {

namespace {

using namespace reports;

int runBrev(Context& c) {
    if (!c.args.empty()) throw UsageError{"brev tar ingen argumenter"};
    const auto pdf = c.options.value("pdf");
    const auto directory = c.options.value("pdf-katalog");
    const bool print = c.options.has("skriv");
    if (int(pdf.has_value()) + int(directory.has_value()) + int(print) != 1)
        throw UsageError{"oppgi én av --pdf, --pdf-katalog og --skriv"};
#ifndef LAGRULL_HAVE_PRINT
    throw Error("PDF og utskrift er ikke tilgjengelig i denne utgaven av lagrul-cli.");
#else
    const TLetterKind kind = c.options.has("tilbud") ? TLetterKind::Tilbud : TLetterKind::Generelt;
    RegisterSession session(c);
    data::DataStore& store = session.store;
    data::RegisterTables& t = session.tables();

    ConsoleSelectionSteps steps(c.options);
    TRegisterMergeDatabase database(store.dbLocal());
    TBrev brev({c.ui, store.dbMng(), steps, t.OrgTable, t.MedlTable,
                store.appDbMng().RegisterKind(), store.dbMng().dataPath(),
                appPaths().programDirectory, std::filesystem::temp_directory_path(), &database});
    if (!brev.SelectMembers(kind)) return 1;
    const std::string mal = c.options.value("mal").value_or("");
    int letters = 0;
    if (pdf) {
        TQtPdfSystem device(*pdf);
        TPdfLetters output(device);
        letters = brev.RunLetters(kind, output, mal);
        if (letters > 0)
            c.out << "Skrev " << *pdf << " (" << device.sheets()
                  << (device.sheets() == 1 ? " side)\n" : " sider)\n");
    } else if (directory) {
        std::filesystem::create_directories(*directory);
        TPdfLettersPerMember output(*directory, [](const std::string& file) {
            return std::make_unique<TQtPdfSystem>(file);
        });
        letters = brev.RunLetters(kind, output, mal);
        for (const TMailingRow& r : output.Rows()) c.out << r.file << '\n';
        if (!output.Rows().empty()) c.out << "Skrev utsendelse.csv\n";
    } else {
        useCupsPrinterList();
        TCupsPrinterSystem printer;
        TPrinterLetters output(printer, [&printer] { printer.submit("Brev"); });
        letters = brev.RunLetters(kind, output, mal);
    }
    c.out << letters << " brev\n";
    return 0;
#endif
}

}  // namespace

void addLetterCommands(Commands& commands) {
    commands.add({"brev",
                  std::string("brev [--tilbud] [--mal FIL] ") + kSelectionUsage +
                      " (--pdf UT.pdf | --pdf-katalog KATALOG | --skriv)  brev til utvalgte "
                      "medlemmer",
                  runBrev,
                  withSelectionOptions({{"tilbud", OptionKind::Flag},
                                        {"mal"},
                                        {"pdf"},
                                        {"pdf-katalog"},
                                        {"skriv", OptionKind::Flag}})});
}

}  // namespace lagrull::cli
