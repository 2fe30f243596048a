#pragma once
// What the clearing windows share: a failure of a button shown in an error
// box, and the save dialog of "Lagre som PDF".

#include <functional>
#include <optional>
#include <string>
#include "common/settings_keys.h"

class QKeyEvent;

namespace lagrull {
class Ui;
}

namespace lagrull::clearing {

// Runs a button's work; a failure is shown with its text and the window
// stays open.
void guarded(Ui& ui, const std::function<void()>& work);

// The PDF file to write, asked in the user's documents folder; nullopt
// when the user cancelled.
std::optional<std::string> askPdfFile(Ui& ui, const std::string& name);

// F1 opens the window's help topic; true when the key was F1.
bool helpKey(QKeyEvent* event, int topic, RegisterKind registerKind);

// The user's documents folder (the save dialogs start there).
std::string documentsFolder();

}  // namespace lagrull::clearing
