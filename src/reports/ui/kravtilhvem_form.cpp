#include "reports/ui/kravtilhvem_form.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "reports/ui/selection_help.h"
#include "reports/ui/wizard_buttons.h"

namespace lagrull {

TfoKravTilHvem::TfoKravTilHvem(int registerKind, QWidget* parent) : QDialog(parent) {
    setObjectName("TfoKravTilHvem");
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(this);
    choiceLayout_ = new QVBoxLayout(box);
    layout->addWidget(box);
    const TWizardButtons buttons = addWizardButtons(*this, *layout, kHelpWhoTopic, registerKind);
    btForrige = buttons.btForrige;
    btNeste = buttons.btNeste;
    btAvbryt = buttons.btAvbryt;
    connect(btForrige, &QPushButton::clicked, this, [this] { done(reports::kStepBack); });
    connect(btNeste, &QPushButton::clicked, this, [this] {
        for (std::size_t i = 0; i < rbChoices.size(); ++i)
            if (rbChoices[i]->isChecked()) SetChoice(static_cast<int>(i));
        done(reports::kStepNext);
    });
    setMinimumWidth(360);
}

void TfoKravTilHvem::SetupChanged() {
    setWindowTitle(QString::fromStdString(Caption()));
    for (QRadioButton* rb : rbChoices) delete rb;
    rbChoices.clear();
    for (const std::string& choice : Choices()) {
        auto* rb = new QRadioButton(QString::fromStdString(choice));
        choiceLayout_->addWidget(rb);
        rbChoices.push_back(rb);
    }
    if (!rbChoices.empty()) rbChoices.front()->setObjectName("rbAlle");
    if (rbChoices.size() > 1) rbChoices[1]->setObjectName("rbUtvalg");
    btForrige->setEnabled(BackEnabled());
}

int TfoKravTilHvem::ShowModal() {
    if (Choice() < static_cast<int>(rbChoices.size()))
        rbChoices[static_cast<std::size_t>(Choice())]->setChecked(true);
    btNeste->setFocus();
    return exec();
}

}  // namespace lagrull
