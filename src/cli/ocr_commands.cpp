// lagrul-cli ocr-import: a return file read into the register as the menu
// does it, with the import report as tab-separated lines and a summary.
#include <ostream>

#include "clearing/ocr_import.h"
#include "cli/command.h"
#include "data/data_store.h"

namespace lagrull::cli {

namespace {

using namespace lagrull::clearing;

class ConsoleReport : public TBBSRapportMottaker {
public:
    explicit ConsoleReport(std::ostream& out) : out_(out) {}
    void AddLine(const TBBSRapportLinje& line) override {
        const auto columns = rapportKolonner(line);
        for (std::size_t i = 0; i < columns.size(); ++i) out_ << (i ? "\t" : "") << columns[i];
        out_ << '\n';
    }

private:
    std::ostream& out_;
};

int runOcrImport(Context& c) {
    if (c.args.size() != 1) throw UsageError{"Oppgi én returfil."};
    data::DataStore store(c.ui);
    store.start();
    ConsoleReport report(c.out);
    const auto result = importOcrFile(c.ui, store.dbLocal(), store.dbLocal().path(), c.args[0],
                                      [&]() -> TBBSRapportMottaker& { return report; });
    if (!result) return 1;
    c.out << "Innbetalinger\t" << result->betalinger << '\n'
          << "Registrert\t" << result->matchet << '\n'
          << "Uten betalingspost\t" << result->umatchet << '\n'
          << "Tilbakeføringer\t" << result->tilbakeforinger << '\n'
          << "Avtaleendringer\t" << result->avtaleendringer << '\n'
          << "Endret etter avtaleliste\t" << result->statusendringer << '\n';
    return result->feil ? 1 : 0;
}

}  // namespace

void addOcrCommands(Commands& commands) {
    commands.add({"ocr-import",
                  "ocr-import FIL   leser en OCR-returfil inn i innbetalingsregistret (spørsmålet "
                  "besvares med --yes/--no) og skriver importrapporten",
                  runOcrImport});
}

}  // namespace lagrull::cli
