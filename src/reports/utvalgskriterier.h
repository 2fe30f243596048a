#pragma once
// TUtvalgskriterier: what the selection-criteria window ("Utvalgskriterier")
// holds and contributes, without the window: the criteria as entered, the
// choice lists filled from the register, the members picked by hand, and
// the from items, where conditions and parameters they give. The Qt window,
// lagrul-cli and the tests all work through this one class.
//
// Invariants:
// - Each where condition and its parameters are added under the same
//   condition, in the fixed order of the conditions; "medlreg m" is always
//   the first from item and "m.orgnr = :orgnr" the first condition.
// - A member number is picked at most once; the picks keep their order.
// - "BetStatus" counts only while a due date other than "INGEN" is chosen.
// - PersList holds the picks of the last confirmed selection only; it is
//   written in one transaction, all picks or none.
// - The member data set is on its first record after InitSelection and
//   after destruction.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/choice_list.h"
#include "reports/wizard.h"

namespace lagrull::data {
class TOrvDbMng;
class TOrvTable;
}  // namespace lagrull::data

namespace lagrull::reports {

// One choice box: its entries and the chosen one (0 = the first).
struct TChoiceSelection {
    std::vector<std::string> entries;
    int index = 0;
    const std::string& chosen() const { return entries.at(static_cast<std::size_t>(index)); }
    // Chooses the entry with this text; false (nothing changed) when none has it.
    bool choose(const std::string& text);
};

struct TPickedMember {
    std::string nr;    // MEDLNR
    std::string navn;  // the name as the member list shows it
};

inline constexpr int kExtraFieldCount = 10;
inline constexpr const char* kIngen = "INGEN";
inline constexpr const char* kAlle = "ALLE";

// "BetStatus" entries.
enum class TBetStatus { Alle = 0, IkkeBetalt = 1, Betalt = 2 };

class TUtvalgskriterier : public TSelectionContributor {
public:
    explicit TUtvalgskriterier(data::TOrvDbMng& dbMng);
    ~TUtvalgskriterier() override;
    TUtvalgskriterier(const TUtvalgskriterier&) = delete;
    TUtvalgskriterier& operator=(const TUtvalgskriterier&) = delete;

    // With the organisation table on the current organisation and the member
    // data set the window shows: fills the lists, creates or restructures
    // PersList, resets every criterion.
    void InitSelection(data::TOrvTable& organisations, data::TOrvTable& members);

    // --- the criteria, as the controls hold them
    std::int64_t MedlnrFra = 0, MedlnrTil = 0;  // a bound counts when above 0
    std::string PostnrFra, PostnrTil;           // at most 4 characters
    TChoiceSelection Kategori;                  // "ALLE", then the categories in use
    TChoiceSelection Betaling;                  // "ALLE[-1]", "Fast oppdrag[0]" …
    TChoiceSelection Relasjon;                  // "INGEN", then the relation names
    TChoiceSelection BetStatus;                 // "ALLE", "Ikke betalt", "Betalt"
    std::array<std::string, kExtraFieldCount> Ekstra;
    // Dates as typed, "DD.MM.YYYY"; empty (or only the mask's dots and
    // blanks) when not given.
    std::string MedlFraDato, DatoFra, DatoTil;

    // "Forf.Dato": "INGEN", "ALLE", then the claim dates, newest first.
    const TChoiceSelection& ForfDato() const { return forfDato_; }
    // Choosing any entry but the first shows "BetStatus" and resets it to
    // "ALLE"; choosing "INGEN" hides it.
    void SetForfDato(int index);
    bool BetStatusVisible() const { return forfDato_.index != 0; }

    // The organisation's names of the extra fields; a field without a name
    // has no row in the window.
    const std::string& EkstraNavn(int field) const;  // 0-based
    bool EkstraVisible(int field) const { return !EkstraNavn(field).empty(); }

    // --- members picked by hand
    // Adds the member data set's current member unless its number is listed;
    // the new entry becomes the selected one. False when nothing was added.
    bool PickCurrent();
    // Removes the selected entry and selects the one before it.
    void RemoveSelected();
    void RemoveAll();
    const std::vector<TPickedMember>& Picks() const { return picks_; }
    int SelectedPick() const { return selected_; }  // -1 when none
    void SelectPick(int index);
    // The "Alle medlemmer" panel covers the empty name list; the remove
    // buttons work only on a list with entries.
    bool AllMembersPanelVisible() const { return picks_.empty(); }
    bool RemoveEnabled() const { return !picks_.empty(); }

    // Raises Error with a Norwegian message for an entry the query cannot
    // take (a date that is no date, a postal number longer than 4).
    void CheckEntries() const;
    // On "Neste": PersList emptied and refilled with the picks, in order.
    void Confirm();

    std::int64_t OrgNr() const { return orgNr_; }
    data::TOrvTable* Members() const { return members_; }

    // TSelectionContributor: the select and order-by lists stay empty.
    const TStringList& SelectItems() override;
    const TStringList& FromItems() override;
    const TStringList& WhereItems() override;
    const TQueryParamList& ParamItems() override;
    const TStringList& OrderByItems() override;

private:
    bool ForfDatoIsDate() const { return forfDato_.index >= 2; }

    data::TOrvDbMng& dbMng_;
    data::TOrvTable* members_ = nullptr;
    std::unique_ptr<data::TOrvTable> persList_;
    std::int64_t orgNr_ = 0;
    TChoiceSelection forfDato_;
    std::array<std::string, kExtraFieldCount> ekstraNavn_;
    std::vector<TPickedMember> picks_;
    int selected_ = -1;

    TStringList select_, from_, where_, orderBy_;
    TQueryParamList params_;
};

// The window's height follows the extra-field panel.
int UtvalgskriterierHeight(int extraPanelHeight);

// A date as typed, "DD.MM.YYYY" → "YYYYMMDD"; "" when none was given.
// Raises Error naming `label` for a text that is no date.
std::string SortableDate(const std::string& typed, const std::string& label);

}  // namespace lagrull::reports
