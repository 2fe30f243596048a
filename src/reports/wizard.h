#pragma once
// The wizard driver every bulk function (claims, giros, reports, letters,
// relations, copying, deleting) runs its windows with, and the contract of
// the windows that contribute to its query.
//
// How a function plugs in:
// 1. The function is a TQueryBuilder (derive from it) and owns one TWizard
//    for one run, numbered from its first to its last step.
// 2. For each step it calls SetStep(number, {create, next}): `create` makes
//    the step's window (a TWizardStep; in the program a Qt dialog, in
//    lagrul-cli a console step, in tests a fake) and is called the first time
//    the step is reached; `next` turns the window's result into the next step
//    number. Without `next`, "&Neste" (kStepNext) goes to number + 1,
//    "&Forrige" (kStepBack) to number - 1 and anything else cancels. A `next`
//    may skip steps ("Alle" in the who-step goes past the criteria step) or
//    finish early by returning a number past the last step.
// 3. Run(builder, own) shows the steps from the first. It returns true when a
//    step was left forwards past the last step; then, and only then, the
//    query has been built into `builder`: first from `own` (the function's
//    own select, from, where, order-by and parameters, asked for after the
//    steps so that they may depend on the choices made), then from the
//    Contributor() of each step window whose step was last left forwards, in
//    step order. Cancelled or backed out before the first step: nothing is
//    built and false is returned.
// 4. After Run the function reads its windows' choices through Window<T>(n)
//    and calls PrepareQuery on its query. The windows live until the TWizard
//    is destroyed, so going back and forth keeps what the user entered.
//
// The selection steps shared by the functions, the who-step (TKravTilHvemStep)
// and the criteria step (TUtvalgskriterierStep), come from a
// TSelectionStepFactory the program, lagrul-cli or a test hands to the
// function.
//
// Invariants:
// - A step's window is created at most once per run, when first reached.
// - Only steps last left forwards contribute, in step order.

#include <functional>
#include <limits>
#include <map>
#include <memory>

#include "reports/query_builder.h"

namespace lagrull::reports {

// What a step window's modal run returns.
enum TStepResult : int {
    kStepNext = 1,    // "&Neste"
    kStepBack = 101,  // "&Forrige"
    kStepCancel = 2,  // "&Avbryt", the window closed: any other value cancels as well
};

// A window that adds to the query. Each operation clears and refills a list
// the window owns and returns it.
class TSelectionContributor {
public:
    virtual ~TSelectionContributor() = default;
    virtual const TStringList& SelectItems() = 0;
    virtual const TStringList& FromItems() = 0;
    virtual const TStringList& WhereItems() = 0;
    virtual const TQueryParamList& ParamItems() = 0;
    virtual const TStringList& OrderByItems() = 0;
};

// Feeds a contributor's lists to the builder: select, from, where, order-by,
// parameters.
void AddContribution(TQueryBuilder& builder, TSelectionContributor& contributor);

class TWizardStep {
public:
    virtual ~TWizardStep() = default;
    // Shows the window modally; kStepNext, kStepBack or anything else.
    virtual int ShowModal() = 0;
    // The window's part of the query; nullptr for a window that adds none.
    virtual TSelectionContributor* Contributor() { return nullptr; }
};

class TWizard {
public:
    using Create = std::function<std::unique_ptr<TWizardStep>()>;
    // The next step number from the window and its result.
    using Next = std::function<int(TWizardStep& window, int result)>;
    struct Step {
        Create create;
        Next next = {};
    };
    static constexpr int kAbort = std::numeric_limits<int>::min();

    TWizard(int firstStep, int lastStep) : first_(firstStep), last_(lastStep) {}
    void SetStep(int number, Step step);

    // Runs from `start` (the first step by default); see the header note.
    bool Run(TQueryBuilder& builder, TSelectionContributor* own = nullptr);
    bool Run(TQueryBuilder& builder, TSelectionContributor* own, int start);

    // The step's window, or nullptr while it was never reached.
    TWizardStep* Window(int number) const;
    template <class T>
    T* Window(int number) const {
        return dynamic_cast<T*>(Window(number));
    }
    // Whether the step was last left forwards.
    bool LeftForwards(int number) const;

private:
    int first_, last_;
    std::map<int, Step> steps_;
    std::map<int, std::unique_ptr<TWizardStep>> windows_;
    std::map<int, bool> forwards_;
};

}  // namespace lagrull::reports
