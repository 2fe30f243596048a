#pragma once
// The button row every wizard step window has: "&Forrige", "&Neste" (the
// default button) and "&Avbryt" at the right. "&Avbryt" closes the window
// with the cancel result, F1 opens the step's help topic; what "&Forrige"
// and "&Neste" do is the window's own.

class QBoxLayout;
class QDialog;
class QPushButton;

namespace lagrull {

struct TWizardButtons {
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;
};

TWizardButtons addWizardButtons(QDialog& dialog, QBoxLayout& layout, int helpTopic,
                                int registerKind);

}  // namespace lagrull
