#pragma once
// The two selection steps every bulk function shares, as interfaces: the
// program implements them with Qt dialogs (reports/ui), lagrul-cli with
// console steps built from its options, tests with fakes. See wizard.h for
// how a function runs them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reports/utvalgskriterier.h"
#include "reports/wizard.h"

namespace lagrull::reports {

// "Who?": two or four radio choices; the function sets the caption and the
// choices, the first is chosen at the start.
class TKravTilHvemStep : public TWizardStep {
public:
    void Setup(const std::string& caption, const std::vector<std::string>& choices,
               bool backEnabled = true);
    const std::string& Caption() const { return caption_; }
    const std::vector<std::string>& Choices() const { return choices_; }
    bool BackEnabled() const { return backEnabled_; }
    int Choice() const { return choice_; }  // 0-based
    void SetChoice(int choice);

protected:
    // The window shows the setup anew.
    virtual void SetupChanged() {}

private:
    std::string caption_;
    std::vector<std::string> choices_;
    bool backEnabled_ = true;
    int choice_ = 0;
};

// The criteria window's step. Leaving it with "&Neste" confirms the
// selection (PersList refilled), whatever shows the window.
class TUtvalgskriterierStep : public TWizardStep {
public:
    explicit TUtvalgskriterierStep(data::TOrvDbMng& dbMng) : criteria_(dbMng) {}
    TUtvalgskriterier& Criteria() { return criteria_; }
    void InitSelection(data::TOrvTable& organisations, data::TOrvTable& members);
    // Chooses the payment method by its code ("Giro[2]": 2) after
    // InitSelection, as a function presets it; an unknown code changes nothing.
    void PresetBetaling(int code);
    int ShowModal() final;
    TSelectionContributor* Contributor() override { return &criteria_; }
    // "Forrige": off where the window is a function's first step (letters).
    void SetBackEnabled(bool enabled) { backEnabled_ = enabled; }
    bool BackEnabled() const { return backEnabled_; }

protected:
    // The window shows the criteria anew (after InitSelection).
    virtual void CriteriaReset() {}
    // Shows the window. Before returning kStepNext it has written its entries
    // into Criteria() and they passed CheckEntries.
    virtual int Execute() = 0;

private:
    TUtvalgskriterier criteria_;
    bool backEnabled_ = true;
};

class TSelectionStepFactory {
public:
    virtual ~TSelectionStepFactory() = default;
    virtual std::unique_ptr<TKravTilHvemStep> CreateKravTilHvem() = 0;
    virtual std::unique_ptr<TUtvalgskriterierStep> CreateUtvalgskriterier(
        data::TOrvDbMng& dbMng) = 0;
};

// The who-step of a function's wizard with two choices, the second one
// "Utvalg": its window gets the function's caption and choices when first
// reached. "&Forrige" goes to step `back`; "&Neste" with "Utvalg" to the
// criteria step `selection`, with the first choice past it (selection + 1);
// `chosen` hears the choice of a "&Neste".
TWizard::Step WhoStep(TSelectionStepFactory& factory, std::string caption,
                      std::vector<std::string> choices, int back, int selection,
                      std::function<void(int choice)> chosen = {});

// The criteria step of a function's wizard: its window is created and
// initialised with the organisation and member data sets when first reached.
TWizard::Step CriteriaStep(TSelectionStepFactory& factory, data::TOrvDbMng& dbMng,
                           data::TOrvTable& organisations, data::TOrvTable& members,
                           TWizard::Next next = {});

}  // namespace lagrull::reports
