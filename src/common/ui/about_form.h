#pragma once
// "Om Lagrull": the modal about window with the product's name, version and
// register kind.

#include <QDialog>

#include "common/settings_keys.h"

namespace lagrull {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(RegisterKind registerKind, QWidget* owner = nullptr);
};

// The about window over the active window, until the user presses OK.
void showAbout(RegisterKind kind);

}  // namespace lagrull
