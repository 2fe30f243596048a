// lagrul-cli rapport: the member list, the label sheet and the user-defined
// report, through the same wizard and layouts as the report menu; written as
// PDF (--pdf) or as the separated text file (--fil).
#include <algorithm>
#include <ostream>

#include "cli/command.h"
#include "cli/register_session.h"
#include "cli/selection_options.h"
#include "common/app_paths.h"
#include "common/error.h"
#include "common/ui.h"
#include "data/data_store.h"
#include "reports/rapp.h"
#ifdef LAGRULL_HAVE_PRINT
#include "reports/engine/print/qt_report_canvas.h"
#endif

namespace lagrull::cli {

namespace {

using namespace reports;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class ConsoleEgenDef : public TEgenDefStep {
public:
    explicit ConsoleEgenDef(std::optional<std::string> smr) : smr_(std::move(smr)) {}

protected:
    int Execute() override {
        if (smr_) LoadLayout(*smr_);
        return kStepNext;
    }

private:
    std::optional<std::string> smr_;
};

class ConsoleUtskrifter : public TRappUtskrifterStep {
public:
    explicit ConsoleUtskrifter(const ParsedOptions& o) : o_(o) {}

protected:
    int Execute() override {
        if (const auto key = o_.value("sortering")) {
            const std::string wanted = lower(*key);
            const auto it =
                std::find_if(SortEntries.begin(), SortEntries.end(), [&](const std::string& e) {
                    const std::size_t eq = e.find('=');
                    return lower(e.substr(0, eq)) == wanted || lower(e.substr(eq + 1)) == wanted;
                });
            if (it == SortEntries.end()) throw UsageError{"ukjent sortering: " + *key};
            Sort = static_cast<int>(it - SortEntries.begin());
        }
        if (const auto size = o_.value("skriftstorrelse")) {
            const int points = std::atoi(size->c_str());
            if (points < kMinFontSize || points > kMaxFontSize)
                throw UsageError{"--skriftstorrelse er 6 til 12"};
            FontSize = points;
        }
        MedRelasjoner = o_.has("med-relasjoner");
        MedMedlemsnr = !o_.has("uten-medlemsnr");
        if (o_.has("fornavn-forst")) NameOrder = TLabelNameOrder::FornavnEtternavn;
        if (const auto file = o_.value("fil")) {
            SkrivTilFil = true;
            FileName = *file;
            const std::string sep = lower(o_.value("skilletegn").value_or("semikolon"));
            const std::vector<std::pair<const char*, TSeparator>> names = {
                {"mellomrom", TSeparator::Mellomrom},
                {"komma", TSeparator::Komma},
                {"semikolon", TSeparator::Semikolon},
                {"alfa", TSeparator::Ampersand},
                {"tab", TSeparator::Tabulator}};
            const auto it = std::find_if(names.begin(), names.end(),
                                         [&](const auto& n) { return sep == n.first; });
            if (it == names.end())
                throw UsageError{"--skilletegn er semikolon, komma, mellomrom, alfa eller tab"};
            Separator = it->second;
        }
        return kStepNext;
    }

private:
    const ParsedOptions& o_;
};

class ConsoleReportSteps : public TRappStepFactory {
public:
    explicit ConsoleReportSteps(const ParsedOptions& o) : o_(o) {}
    std::unique_ptr<TEgenDefStep> CreateEgenDef() override {
        return std::make_unique<ConsoleEgenDef>(o_.value("smr"));
    }
    std::unique_ptr<TRappUtskrifterStep> CreateRappUtskrifter() override {
        return std::make_unique<ConsoleUtskrifter>(o_);
    }

private:
    const ParsedOptions& o_;
};

class ConsoleReportOutput : public TReportOutput {
public:
    ConsoleReportOutput(Context& c, std::optional<std::string> pdf) : c_(c), pdf_(std::move(pdf)) {}
    void ShowReport(const report::ReportLayout& layout, report::TReportRowSource& rows) override {
#ifdef LAGRULL_HAVE_PRINT
        EventPump pump(c_.ui);
        const report::RunResult r =
            report::writeReportPdf(layout, rows, *pdf_, {}, [&] { pump.tick(); });
        c_.out << "Skrev " << *pdf_ << " (" << r.rows << " rader, " << r.pages
               << (r.pages == 1 ? " side)\n" : " sider)\n");
#else
        (void)layout;
        (void)rows;
        throw Error("PDF er ikke tilgjengelig i denne utgaven av lagrul-cli.");
#endif
    }
    void OpenTextFile(const std::string& file) override { c_.out << "Skrev " << file << '\n'; }
    bool TextFileProgress(int) override { return true; }

private:
    Context& c_;
    std::optional<std::string> pdf_;
};

int runRapport(Context& c) {
    if (c.args.size() != 1) throw UsageError{"oppgi liste, etiketter eller egendef"};
    const std::string& what = c.args[0];
    TRappKind kind;
    if (what == "liste")
        kind = TRappKind::Medlemsliste;
    else if (what == "etiketter")
        kind = TRappKind::Etiketter;
    else if (what == "egendef")
        kind = TRappKind::EgenDefinert;
    else
        throw UsageError{"ukjent rapport: " + what};
    const auto pdf = c.options.value("pdf");
    const bool file = c.options.has("fil");
    if (pdf.has_value() == file) throw UsageError{"oppgi enten --pdf eller --fil"};
    if (file && kind == TRappKind::Etiketter) throw UsageError{"etiketter skrives ikke til fil"};
    if (c.options.has("smr") && kind != TRappKind::EgenDefinert)
        throw UsageError{"--smr gjelder bare egendef"};

    RegisterSession session(c);
    data::DataStore& store = session.store;
    data::RegisterTables& t = session.tables();

    ConsoleSelectionSteps selectionSteps(c.options);
    ConsoleReportSteps reportSteps(c.options);
    TRapp rapp({c.ui, store.dbMng(), selectionSteps, reportSteps, t.OrgTable, t.MedlTable,
                store.appDbMng().RegisterKind(), userSettingsFilePath()});
    ConsoleReportOutput output(c, pdf);
    const TRappOutcome outcome = rapp.RunReport(kind, output);
    if (outcome == TRappOutcome::Cancelled) return 1;
    c.out << rapp.BuildSql() << '\n';
    const TQueryParamList& params = rapp.Params();
    for (int i = 0; i < params.Count(); ++i)
        c.out << ':' << params.Items(i).Name << ' ' << params.Items(i).Type << ' '
              << params.Items(i).Value << '\n';
    return outcome == TRappOutcome::Empty ? 1 : 0;
}

}  // namespace

void addReportCommands(Commands& commands) {
    commands.add(
        {"rapport",
         std::string("rapport liste|etiketter|egendef [--smr FIL] [--sortering NØKKEL] "
                     "[--skriftstorrelse 6-12] [--med-relasjoner] [--uten-medlemsnr] "
                     "[--fornavn-forst] ") +
             kSelectionUsage +
             " (--pdf UT.pdf | --fil UT.txt [--skilletegn semikolon|komma|mellomrom|alfa|tab])"
             "  medlemsliste, etiketter eller egendefinert rapport",
         runRapport,
         withSelectionOptions({{"smr"},
                               {"sortering"},
                               {"skriftstorrelse"},
                               {"med-relasjoner", OptionKind::Flag},
                               {"uten-medlemsnr", OptionKind::Flag},
                               {"fornavn-forst", OptionKind::Flag},
                               {"pdf"},
                               {"fil"},
                               {"skilletegn"}})});
}

}  // namespace lagrull::cli
