#include "reports/ui/kravtilhvem_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "common/ui/help_window.h"
#include "reports/ui/selection_help.h"

namespace lagrull {

TfoKravTilHvem::TfoKravTilHvem(int registerKind, QWidget* parent)
    : QDialog(parent), registerKind_(registerKind) {
    setObjectName("TfoKravTilHvem");
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(this);
    choiceLayout_ = new QVBoxLayout(box);
    layout->addWidget(box);
    auto* buttons = new QHBoxLayout;
    btForrige = new QPushButton("&Forrige", this);
    btNeste = new QPushButton("&Neste", this);
    btAvbryt = new QPushButton("&Avbryt", this);
    buttons->addStretch();
    for (QPushButton* b : {btForrige, btNeste, btAvbryt}) buttons->addWidget(b);
    layout->addLayout(buttons);
    btNeste->setDefault(true);
    connect(btForrige, &QPushButton::clicked, this, [this] { done(reports::kStepBack); });
    connect(btNeste, &QPushButton::clicked, this, [this] {
        for (std::size_t i = 0; i < rbChoices.size(); ++i)
            if (rbChoices[i]->isChecked()) SetChoice(static_cast<int>(i));
        done(reports::kStepNext);
    });
    connect(btAvbryt, &QPushButton::clicked, this, [this] { done(reports::kStepCancel); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { showHelp(kHelpWhoTopic, registerKind_); });
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
