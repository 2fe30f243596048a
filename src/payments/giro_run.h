#pragma once
// The giro run: the unpaid claims of one due date become one giro record per
// member in the giro export file, which the giro printer then prints.
//
// Invariants:
// - Only unpaid claims get a giro; in a fee run without a selection only
//   members who pay by giro, or by AvtaleGiro with their own notification,
//   get one (the member's current payment method decides).
// - Consecutive rows of one member make one giro: the amounts are summed and
//   every other value comes from the last of them.
// - Blank text lines are skipped; the lines after them move up.
// - The run writes nothing to the register; the export file is written whole
//   or not at all.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "reports/wizard.h"

namespace lagrull {
class Ui;
namespace data {
class TDatabase;
}

inline constexpr int kGiroTextLines = 14;

enum class GiroKind { Kontingent = 0, AnnenBetaling = 1 };
enum class GiroName { EtternavnFornavn = 0, FornavnEtternavn = 1 };
enum class TextLineKind { Fritekst = 0, Flettefelt = 1 };
enum class GiroPreset { Egendef, StdOppsett, AlleGrupper };

struct GiroTextLine {
    TextLineKind kind = TextLineKind::Fritekst;
    std::string text;   // free text
    std::string field;  // merge field key: MEDLNR, NAVN, KATEGORI, KATSTR, REL1 … REL14
};

struct GiroSpec {
    std::int64_t orgNr = 0;
    std::string dueDate;  // "DDMMYYYY"
    bool payerAccount = false;
    GiroKind kind = GiroKind::Kontingent;
    GiroName name = GiroName::EtternavnFornavn;
    std::array<GiroTextLine, kGiroTextLines> lines;
    bool selectionUsed = false;  // the selection step added its own conditions
};

// The payee: the current organisation.
struct GiroPayee {
    std::string navn, adresse, adresse2, postnr, poststed, bankkonto;
};
GiroPayee readPayee(data::TDatabase& db, std::int64_t orgNr);

// The merge fields a text line offers, as "KEY=Text" in the order shown.
std::vector<std::string> giroMergeFields();

// The description of the claims of a date (the first one found), nullopt
// when the date has no claims.
std::optional<std::string> claimDescription(data::TDatabase& db, std::int64_t orgNr,
                                            const std::string& dueDate);

// The three presets of the text lines; `description` is the date's one.
void applyPreset(GiroSpec& job, GiroPreset preset, const std::string& description);

// What step 1 gives the query builder: the claims of the date with their
// members, unpaid ones only, and in a fee run without a selection only
// those of giro payers. Reads the run's choices when the builder asks.
class TGiroQuery : public reports::TSelectionContributor {
public:
    explicit TGiroQuery(const GiroSpec& job) : spec_(job) {}
    const reports::TStringList& SelectItems() override;
    const reports::TStringList& FromItems() override;
    const reports::TStringList& WhereItems() override;
    const reports::TQueryParamList& ParamItems() override;
    const reports::TStringList& OrderByItems() override;

private:
    const GiroSpec& spec_;
    reports::TStringList select_, from_, where_, orderBy_;
    reports::TQueryParamList params_;
};

// Feeds step 1's part of the giro query to `builder`.
void addGiroQuery(reports::TQueryBuilder& builder, const GiroSpec& job);

// The giro pass under the progress window over the query the builder
// holds: writes the export file and returns the number of giros in it.
long long writeGiroFile(data::TDatabase& db, Ui& ui, const GiroSpec& job,
                        const reports::TQueryBuilder& query, const GiroPayee& payee,
                        const std::filesystem::path& file);

// The giro printer program: where the register finds it (the directory
// file, the registry mapping, Brakvi.ini, then beside the register itself);
// empty when it is not installed.
inline constexpr const char* kGiroProgram = "lagrul-giro";
std::filesystem::path findGiroProgram();
// Starts the giro printer with the export file, without waiting. Shows
// "Palvik er ikke installert" and returns false when it cannot be started.
bool startGiroProgram(Ui& ui, const std::filesystem::path& program,
                      const std::filesystem::path& file);

}  // namespace lagrull
