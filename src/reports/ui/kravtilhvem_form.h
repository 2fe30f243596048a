#pragma once
// TfoKravTilHvem: the "who?" step of the bulk functions: two or four radio
// choices under a caption the function sets. The choice is held by
// TKravTilHvemStep; the window only shows it.

#include <QDialog>
#include <vector>

#include "reports/selection_steps.h"

class QRadioButton;
class QPushButton;
class QVBoxLayout;

namespace lagrull {

class TfoKravTilHvem : public QDialog, public reports::TKravTilHvemStep {
    Q_OBJECT
public:
    explicit TfoKravTilHvem(int registerKind, QWidget* parent = nullptr);
    int ShowModal() override;

    std::vector<QRadioButton*> rbChoices;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

protected:
    void SetupChanged() override;

private:
    QVBoxLayout* choiceLayout_;
};

}  // namespace lagrull
