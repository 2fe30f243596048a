#pragma once
// "Om Lagrull": the modal about window with the product's name, version and
// register kind.

#include <QDialog>

namespace lagrull {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(int registerKind, QWidget* owner = nullptr);
};

// The about window over the active window, until the user presses OK.
void showAbout(int registerKind);

}  // namespace lagrull
