#include "reports/ui/wizard_buttons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>
#include <QShortcut>

#include "common/ui/help_window.h"
#include "reports/wizard.h"

namespace lagrull {

TWizardButtons addWizardButtons(QDialog& dialog, QBoxLayout& layout, int helpTopic,
                                int registerKind) {
    TWizardButtons b{new QPushButton("&Forrige", &dialog), new QPushButton("&Neste", &dialog),
                     new QPushButton("&Avbryt", &dialog)};
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : {b.btForrige, b.btNeste, b.btAvbryt}) row->addWidget(button);
    layout.addLayout(row);
    b.btNeste->setDefault(true);
    QObject::connect(b.btAvbryt, &QPushButton::clicked, &dialog,
                     [&dialog] { dialog.done(reports::kStepCancel); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), &dialog);
    QObject::connect(help, &QShortcut::activated, &dialog,
                     [helpTopic, registerKind] { showHelp(helpTopic, registerKind); });
    return b;
}

}  // namespace lagrull
