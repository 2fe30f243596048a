#pragma once
// TRapp: the member reports ("&Medlemsliste", "&Etiketter", "Egen&definert").
// A wizard of four steps builds one query over the member table, joined with
// the claims and the relations when a column or the selection needs them;
// the rows are then laid out on the report engine and previewed, or written
// as a separated text file.
//
// Steps: 1 the user-defined columns (TEgenDefStep, kind 0 only), 2 "Ønsker du
// å gøre et utvalg?", 3 the selection criteria (only when a selection was
// asked for), 4 the print settings (TRappUtskrifterStep).
//
// Invariants:
// - The claims-joined and relations-joined flags are set by the columns of
//   step 1 and the tables of step 3 and never cleared within a run; the
//   report's own select list follows them.
// - The query is built from TRapport, then the steps last left forwards in
//   step order; the print settings are saved when step 4 is left forwards.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reports/member_report.h"
#include "reports/selection_steps.h"

namespace lagrull {
class Ui;
}

namespace lagrull::reports {

// The report's own fragments: every member field, the birth date as
// "YYYYMMDD" (fdato2), and the claim and relation fields when joined.
class TRapport : public TSelectionContributor {
public:
    explicit TRapport(std::int64_t orgNr) : orgNr_(orgNr) {}
    bool ClaimsJoined = false;
    bool RelationsJoined = false;

    const TStringList& SelectItems() override;
    const TStringList& FromItems() override;
    const TStringList& WhereItems() override;
    const TQueryParamList& ParamItems() override;
    const TStringList& OrderByItems() override;

private:
    std::int64_t orgNr_;
    TStringList select_, from_, where_, orderBy_;
    TQueryParamList params_;
};

// "TfoEgenDef": ten rows, each a catalogue entry and a position.
class TEgenDefStep : public TWizardStep, public TSelectionContributor {
public:
    struct Row {
        int entry = 0;  // index in Catalogue(); 0: no column
        int position = 0;
    };

    void Setup(RegisterKind kind, const TExtraNames& extraNames);
    const std::vector<std::string>& Catalogue() const { return catalogue_; }
    std::array<Row, kEgenDefRows> Rows;
    // The row's column; an empty field (group None) for a row without one.
    TReportColumn Column(int row) const;
    bool Uses(TTableGroup group) const;

    // "&Lagre oppsett" / "&Hent oppsett" of a ".smr" file. The file name is
    // lower-cased; the directory stays as it is.
    void SaveLayout(const std::filesystem::path& file) const;
    void LoadLayout(const std::filesystem::path& file);
    static std::filesystem::path LayoutFileName(const std::filesystem::path& chosen);
    // Where the next "Lagre"/"Hent" dialog starts.
    std::string LastDirectory;

    int ShowModal() final { return Execute(); }
    TSelectionContributor* Contributor() override { return this; }

    const TStringList& SelectItems() override;
    const TStringList& FromItems() override;
    const TStringList& WhereItems() override;
    const TQueryParamList& ParamItems() override;
    const TStringList& OrderByItems() override;

protected:
    virtual int Execute() = 0;
    virtual void RowsChanged() {}

private:
    std::vector<std::string> catalogue_ = {kNoColumnEntry};
    std::int64_t orgNr_ = 0;
    TStringList select_, from_, where_, orderBy_;
    TQueryParamList params_;

    friend class TRapp;
};

// "TfoRappUtskrifter", caption "Generer rapport".
class TRappUtskrifterStep : public TWizardStep, public TSelectionContributor {
public:
    void Setup(TRappKind kind, RegisterKind registerKind, const TExtraNames& extraNames,
               std::filesystem::path settingsFile);
    TRappKind Kind() const { return kind_; }

    std::vector<std::string> SortEntries;
    int Sort = 0;
    int FontSize = kDefaultReportFontSize;
    TPrintSettings Settings;
    TLabelNameOrder NameOrder = TLabelNameOrder::EtternavnFornavn;
    bool MedRelasjoner = false;
    bool MedMedlemsnr = true;
    bool SkrivTilFil = false;
    std::string FileName;
    TSeparator Separator = kDefaultSeparator;

    // "&Nullstill med standardverdier": the settings read from the file
    // again; missing keys give their defaults.
    void ResetSettings();
    // Labels show the paper and label settings; the others "Med relasjoner"
    // and the file output.
    bool LabelSettingsVisible() const { return kind_ == TRappKind::Etiketter; }
    bool FileOutputVisible() const { return kind_ != TRappKind::Etiketter; }
    // Checking "Skriv til fil": asks for the file; cancelling unchecks.
    void SetSkrivTilFil(bool on, Ui& ui);

    int ShowModal() final;
    TSelectionContributor* Contributor() override { return this; }

    const TStringList& SelectItems() override;
    const TStringList& FromItems() override;
    const TStringList& WhereItems() override;
    const TQueryParamList& ParamItems() override;
    const TStringList& OrderByItems() override;

protected:
    virtual int Execute() = 0;
    virtual void SettingsChanged() {}

private:
    TRappKind kind_ = TRappKind::Medlemsliste;
    std::filesystem::path settingsFile_;
    TStringList empty_, orderBy_;
    TQueryParamList params_;
};

class TRappStepFactory {
public:
    virtual ~TRappStepFactory() = default;
    virtual std::unique_ptr<TEgenDefStep> CreateEgenDef() = 0;
    virtual std::unique_ptr<TRappUtskrifterStep> CreateRappUtskrifter() = 0;
};

// Where a finished report goes: the preview (or, in lagrul-cli, a PDF
// file), and the text editor for a written text file.
class TReportOutput {
public:
    virtual ~TReportOutput() = default;
    virtual void ShowReport(const report::ReportLayout& layout, report::TReportRowSource& rows) = 0;
    virtual void OpenTextFile(const std::string& file) = 0;
    // The "Skriver ut....." window with "Avbryt": false stops the writing.
    virtual bool TextFileProgress(int percent) = 0;
};

struct TRappContext {
    Ui& ui;
    data::TOrvDbMng& dbMng;
    TSelectionStepFactory& selectionSteps;
    TRappStepFactory& reportSteps;
    data::TOrvTable& organisations;  // on the current organisation
    data::TOrvTable& members;
    RegisterKind registerKind;
    std::filesystem::path settingsFile;  // the per-user settings file
};

enum class TRappOutcome { Cancelled, Empty, Shown, FileWritten };

class TRapp : public TQueryBuilder {
public:
    explicit TRapp(const TRappContext& context);
    ~TRapp() override;

    // The wizard and, unless it is cancelled, the report.
    TRappOutcome RunReport(TRappKind kind, TReportOutput& output);

    // After RunReport: the run's choices and query, for tests and the CLI.
    const TRapport& Own() const { return own_; }
    TWizard& Wizard() { return *wizard_; }

private:
    void setSteps(TRappKind kind);
    TRappOutcome runReport(TRappKind kind, TReportOutput& output);

    TRappContext c_;
    std::int64_t orgNr_;
    std::string orgNavn_;
    TExtraNames extraNames_;
    TRapport own_;
    std::unique_ptr<TWizard> wizard_;
};

}  // namespace lagrull::reports
