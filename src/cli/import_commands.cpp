// lagrul-cli import: "Importer medlemsliste fra fil" as the window runs it.
// The console window takes the file's guesses, applies the options over
// them, prints the set-up and the column map, runs the import and prints its
// counts and every rejected line; then the staged rows become members. In
// "manuell" mode each changed row is a question answered by --yes/--no.
#include <ostream>

#include "cli/command.h"
#include "cli/selection_options.h"
#include "common/error.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/data_store.h"
#include "services/import_form_logic.h"
#include "services/member_import.h"
#include "services/postnr.h"

namespace lagrull::cli {

namespace {

struct NamedSeparator {
    const char* name;
    char separator;
};
constexpr NamedSeparator kSeparatorNames[] = {
    {"tab", '\t'}, {"semikolon", ';'}, {"komma", ','}, {"mellomrom", ' '}};
constexpr const char* kTextConvertNames[] = {"windows", "dos", "ctos", "utf8"};

// "Verifiser oppdatering" on the console: the fields that differ, then Yes
// saves the new data, No keeps the old.
class ConsoleUpdateConfirm : public TUpdateConfirm {
public:
    explicit ConsoleUpdateConfirm(Ui& ui) : ui_(ui) {}
    TUpdateChoice Confirm(const std::vector<std::string>& labels,
                          const std::vector<std::string>& newData,
                          const std::vector<std::string>& oldData) override {
        std::string text = "Lagre nye data?";
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (newData[i] != oldData[i])
                text += "~" + labels[i] + ": " + newData[i] + " (var " + oldData[i] + ")";
        return ui_.confirm("Verifiser oppdatering", text) ? TUpdateChoice::SaveNew
                                                          : TUpdateChoice::KeepOld;
    }

private:
    Ui& ui_;
};

class ConsoleImportForm : public TImportFormStep {
public:
    ConsoleImportForm(Context& c, std::string file) : c_(c), file_(std::move(file)) {}
    bool ShowModal(TImportFormLogic& logic) override;

private:
    void applyOptions(TImportFormLogic& logic);
    void printSetup(const TImportFormLogic& logic) const;

    Context& c_;
    std::string file_;
    bool chosen_[3] = {false, false, false};  // character set, separator, header
};

int fieldByName(const TImportFormLogic& logic, const std::string& name) {
    const std::vector<std::string> choices = logic.FieldChoices();
    if (upperCase(name) == "INGEN") return 0;
    for (std::size_t i = 1; i < choices.size(); ++i)
        if (choices[i] == upperCase(name)) return static_cast<int>(i);
    throw UsageError{"--kolonne: feltet \"" + name + "\" finnes ikke."};
}

void ConsoleImportForm::applyOptions(TImportFormLogic& logic) {
    if (auto v = c_.options.value("tegnsett")) {
        bool known = false;
        for (std::size_t i = 0; i < std::size(kTextConvertNames); ++i)
            if (*v == kTextConvertNames[i]) {
                logic.SetTextConvert(static_cast<TTextConvert>(i));
                known = true;
            }
        if (!known) throw UsageError{"--tegnsett vil ha windows, dos, ctos eller utf8."};
        chosen_[0] = true;
    }
    if (auto v = c_.options.value("skilletegn")) {
        bool known = false;
        for (const NamedSeparator& s : kSeparatorNames)
            if (*v == s.name) {
                logic.SetSeparator(s.separator);
                known = true;
            }
        if (!known) throw UsageError{"--skilletegn vil ha tab, semikolon, komma eller mellomrom."};
        chosen_[1] = true;
    }
    if (auto v = c_.options.value("header")) {
        if (*v != "ja" && *v != "nei") throw UsageError{"--header vil ha ja eller nei."};
        logic.Trans().FieldNameHeader = *v == "ja";
        chosen_[2] = true;
    }
    if (auto v = c_.options.value("oppdatering")) {
        if (*v != "automatisk" && *v != "manuell")
            throw UsageError{"--oppdatering vil ha automatisk eller manuell."};
        logic.Manual = *v == "manuell";
    }
    const std::vector<std::string>& columns = c_.options.values("kolonne");
    if (!columns.empty())
        for (int& row : logic.Rows) row = tFileTrans::kNoField;
    for (const std::string& m : columns) {
        const std::size_t eq = m.find('=');
        const int column = eq == std::string::npos ? 0 : std::atoi(m.substr(0, eq).c_str());
        if (column < 1) throw UsageError{"--kolonne vil ha N=FELT, ikke \"" + m + "\"."};
        if (column > static_cast<int>(logic.Rows.size()))
            throw UsageError{"--kolonne " + m + ": filen har " + std::to_string(logic.Rows.size()) +
                             " kolonner."};
        logic.SetChoiceOfRow(column - 1, fieldByName(logic, m.substr(eq + 1)));
    }
}

void ConsoleImportForm::printSetup(const TImportFormLogic& logic) const {
    const tFileTrans& t = logic.Trans();
    auto how = [this](int i) { return chosen_[i] ? " (valgt)" : " (gjettet)"; };
    c_.out << "Tegnsett: "
           << ImportTextConvertCaptions().at(static_cast<std::size_t>(t.TextConvert)) << how(0)
           << '\n'
           << "Skilletegn: " << SeparatorName(t.FieldSeparator) << how(1) << '\n'
           << "Header: " << (t.FieldNameHeader ? "ja" : "nei") << how(2) << '\n'
           << "Database-oppdatering: " << (logic.Manual ? "Manuell godkjenning" : "Automatisk")
           << '\n';
    const std::vector<std::string> choices = logic.FieldChoices();
    for (std::size_t r = 0; r < logic.Rows.size(); ++r)
        c_.out << "Kolonne " << r + 1 << " -> "
               << choices.at(static_cast<std::size_t>(logic.ChoiceOfRow(static_cast<int>(r))))
               << '\n';
}

bool ConsoleImportForm::ShowModal(TImportFormLogic& logic) {
    if (!logic.ChooseFile(file_)) {
        c_.ui.error(logic.Trans().ErrorMessage());
        return false;
    }
    applyOptions(logic);
    printSetup(logic);
    if (logic.CheckTypes() >= 0) return false;
    ConsoleUpdateConfirm confirm(c_.ui);
    if (!logic.Run(&confirm, {})) return false;
    const TImportCounts& n = logic.Trans().Counts();
    c_.out << "Linjer lest: " << n.lines << '\n'
           << "Nye: " << n.added << '\n'
           << "Oppdatert: " << n.updated << '\n'
           << "Uendret: " << n.unchanged << '\n'
           << "Avvist: " << n.rejected.size() << '\n';
    for (const TRejectedLine& r : n.rejected)
        c_.out << "  linje " << r.line << ": " << r.reason << '\n';
    return true;
}

int runImport(Context& c) {
    if (c.args.size() != 1) throw UsageError{"import vil ha én fil."};
    data::DataStore store(c.ui);
    store.start();
    if (c.options.has("orgnr"))
        chooseOrganisation(store.tables(), c.options);
    else
        store.tables().OrgTable.first();
    TMemberImport import(c.ui, store.tables(), postalRegister());
    ConsoleImportForm window(c, c.args[0]);
    if (!import.Execute(window)) return 1;
    c.out << "Medlemmer importert: " << import.Transferred().members
          << " (av dem erstattet: " << import.Transferred().replaced << ")\n";
    return 0;
}

}  // namespace

void addImportCommands(Commands& commands) {
    commands.add({"import",
                  "import FIL [--orgnr N] [--skilletegn tab|semikolon|komma|mellomrom] "
                  "[--header ja|nei] [--tegnsett windows|dos|ctos|utf8] [--kolonne N=FELT]... "
                  "[--oppdatering automatisk|manuell]  importerer medlemmer fra en fil",
                  runImport,
                  {{"orgnr"},
                   {"skilletegn"},
                   {"header"},
                   {"tegnsett"},
                   {"oppdatering"},
                   {"kolonne", OptionKind::Repeated}}});
}

}  // namespace lagrull::cli
