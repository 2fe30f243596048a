#pragma once
// Small helpers of the claim and giro windows.

#include <QString>
#include <exception>
#include <functional>
#include <string>

#include "common/error.h"

namespace lagrull {

inline QString q(const std::string& text) { return QString::fromStdString(text); }

// Runs a step of a window's slot; a failure is shown as the program shows
// every failure, and the window stays.
inline void guarded(Ui& ui, const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        showException(ui, std::current_exception());
    }
}

}  // namespace lagrull
