#include "reports/wizard.h"

#include "common/error.h"

namespace lagrull::reports {

void AddContribution(TQueryBuilder& builder, TSelectionContributor& contributor) {
    builder.AddSelect(contributor.SelectItems());
    builder.AddFrom(contributor.FromItems());
    builder.AddWhere(contributor.WhereItems());
    builder.AddOrderBy(contributor.OrderByItems());
    builder.AddParams(contributor.ParamItems());
}

void TWizard::SetStep(int number, Step step) { steps_[number] = std::move(step); }

TWizardStep* TWizard::Window(int number) const {
    const auto it = windows_.find(number);
    return it == windows_.end() ? nullptr : it->second.get();
}

bool TWizard::LeftForwards(int number) const {
    const auto it = forwards_.find(number);
    return it != forwards_.end() && it->second;
}

bool TWizard::Run(TQueryBuilder& builder, TSelectionContributor* own) {
    return Run(builder, own, first_);
}

bool TWizard::Run(TQueryBuilder& builder, TSelectionContributor* own, int start) {
    int number = start;
    while (number >= first_ && number <= last_) {
        const auto step = steps_.find(number);
        if (step == steps_.end())
            throw Error("Veiviseren mangler steg " + std::to_string(number) + ".");
        std::unique_ptr<TWizardStep>& window = windows_[number];
        if (!window) window = step->second.create();
        const int result = window->ShowModal();
        int next = kAbort;
        if (step->second.next)
            next = step->second.next(*window, result);
        else if (result == kStepNext)
            next = number + 1;
        else if (result == kStepBack)
            next = number - 1;
        if (next == kAbort) return false;
        forwards_[number] = next > number;
        number = next;
    }
    if (number < first_) return false;
    if (own) AddContribution(builder, *own);
    for (const auto& [n, window] : windows_)
        if (LeftForwards(n))
            if (TSelectionContributor* c = window->Contributor()) AddContribution(builder, *c);
    return true;
}

}  // namespace lagrull::reports
