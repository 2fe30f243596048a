#pragma once
// TBrev: letters to the selected members, merged from an RTF template
// ("Brev - Generelt": brev.rtf, "Brev - Tilbud": TilbudAvtaleGiro.rtf). For
// each member the organisation's and the member's data are written to
// "brev.ini" in the temporary directory, the template engine merges the
// template into a temporary "STMP" file, and when every letter is merged the
// files are printed one after the other, or written as PDF.
//
// Invariants:
// - "brev.ini" holds the data of the member whose letter is being merged:
//   it is written anew before each merge.
// - Consecutive rows of one member (one per claim when the selection joins
//   the claims) give one letter.
// - Every temporary letter file is removed and the progress window closed
//   on every path, a failed merge included.
// - The letter's KID uses the organisation number plus 1, as the claims'
//   KID does, so an agreement signed with it comes back to this
//   organisation.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/settings_keys.h"
#include "reports/selection_steps.h"

namespace lagrull {
class Ui;
class TMergeDatabase;
}  // namespace lagrull

namespace lagrull::reports {

enum class TLetterKind { Generelt = 0, Tilbud = 1 };

inline constexpr const char* kGeneralTemplate = "brev.rtf";
inline constexpr const char* kOfferTemplate = "TilbudAvtaleGiro.rtf";
inline constexpr const char* kMergeIniName = "brev.ini";

// The letter query's own fragments (select, from "medlreg m", order by
// "m.enavn").
class TStartBrev : public TSelectionContributor {
public:
    const TStringList& SelectItems() override;
    const TStringList& FromItems() override;
    const TStringList& WhereItems() override;
    const TQueryParamList& ParamItems() override;
    const TStringList& OrderByItems() override;

private:
    TStringList select_, from_, where_, orderBy_;
    TQueryParamList params_;
};

// Who a letter is for: what the outputs name files and lists after.
struct TLetterMember {
    std::string medlnr, enavn, fornavn, email, kid;
};

// Where the merged letters go, each once, in order; Finish after the last.
class TLetterOutput {
public:
    virtual ~TLetterOutput() = default;
    virtual void Print(const std::filesystem::path& rtf, const TLetterMember& member) = 0;
    virtual void Finish() {}
};

struct TBrevContext {
    Ui& ui;
    data::TOrvDbMng& dbMng;
    TSelectionStepFactory& selectionSteps;
    data::TOrvTable& organisations;  // on the current organisation
    data::TOrvTable& members;
    RegisterKind registerKind;
    std::string dataDirectory;     // searched first for the template
    std::string programDirectory;  // then here
    std::filesystem::path tempDirectory;
    TMergeDatabase* database = nullptr;  // for the templates' DATABASE fields
};

class TBrev : public TQueryBuilder {
public:
    explicit TBrev(TBrevContext context);
    ~TBrev() override;

    // The selection step; true when it was confirmed and the query built.
    bool SelectMembers(TLetterKind kind);
    // The letter run over the selection; `templateFile`, when given, is used
    // instead of the kind's template. Returns the letters written.
    int RunLetters(TLetterKind kind, TLetterOutput& output, const std::string& templateFile = {});

    // A template looked for in the data directory, then the program
    // directory; the data directory's path when in neither.
    std::filesystem::path FindTemplate(const std::string& name) const;
    std::filesystem::path MergeIniFile() const { return c_.tempDirectory / kMergeIniName; }
    // "Forf.Dato" as the criteria window showed it.
    const std::string& ForfDato() const { return forfDato_; }

private:
    TBrevContext c_;
    TStartBrev own_;
    std::unique_ptr<TWizard> wizard_;
    std::string forfDato_ = kIngen;
};

}  // namespace lagrull::reports
