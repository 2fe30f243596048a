#include "reports/selection_steps.h"

#include "common/choice_list.h"

namespace lagrull::reports {

void TKravTilHvemStep::Setup(const std::string& caption, const std::vector<std::string>& choices,
                             bool backEnabled) {
    caption_ = caption;
    choices_ = choices;
    backEnabled_ = backEnabled;
    choice_ = 0;
    SetupChanged();
}

void TKravTilHvemStep::SetChoice(int choice) {
    if (choice >= 0 && choice < static_cast<int>(choices_.size())) choice_ = choice;
}

void TUtvalgskriterierStep::InitSelection(data::TOrvTable& organisations,
                                          data::TOrvTable& members) {
    criteria_.InitSelection(organisations, members);
    CriteriaReset();
}

void TUtvalgskriterierStep::PresetBetaling(int code) {
    TChoiceSelection& betaling = criteria_.Betaling;
    for (std::size_t i = 0; i < betaling.entries.size(); ++i)
        if (choiceCode(betaling.entries[i]) == std::to_string(code)) {
            betaling.index = static_cast<int>(i);
            CriteriaReset();
            return;
        }
}

int TUtvalgskriterierStep::ShowModal() {
    const int result = Execute();
    if (result == kStepNext) criteria_.Confirm();
    return result;
}

TWizard::Step WhoStep(TSelectionStepFactory& factory, std::string caption,
                      std::vector<std::string> choices, int back, int selection,
                      std::function<void(int choice)> chosen) {
    return {[&factory, caption = std::move(caption),
             choices = std::move(choices)]() -> std::unique_ptr<TWizardStep> {
                std::unique_ptr<TKravTilHvemStep> w = factory.CreateKravTilHvem();
                w->Setup(caption, choices);
                return w;
            },
            [back, selection, chosen = std::move(chosen)](TWizardStep& w, int result) {
                if (result == kStepBack) return back;
                if (result != kStepNext) return TWizard::kAbort;
                const int choice = static_cast<TKravTilHvemStep&>(w).Choice();
                if (chosen) chosen(choice);
                return choice == 1 ? selection : selection + 1;
            }};
}

TWizard::Step CriteriaStep(TSelectionStepFactory& factory, data::TOrvDbMng& dbMng,
                           data::TOrvTable& organisations, data::TOrvTable& members,
                           TWizard::Next next) {
    return {[&factory, &dbMng, &organisations, &members]() -> std::unique_ptr<TWizardStep> {
                std::unique_ptr<TUtvalgskriterierStep> window =
                    factory.CreateUtvalgskriterier(dbMng);
                window->InitSelection(organisations, members);
                return window;
            },
            std::move(next)};
}

}  // namespace lagrull::reports
