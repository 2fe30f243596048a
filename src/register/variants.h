#pragma once
// The two variants of the main window: the member register and the rent
// register differ only in captions, the help pages and one default.

#include <string>

#include "common/settings_keys.h"

namespace lagrull {

struct RegisterCaptions {
    std::string captionEnding;  // of the window caption
    std::string membersPage;    // page 1 and its menu entry
    std::string memberCountLabel;
    std::string autoNumberBox;
    std::string categoryPanel;
    std::string memberNumberLabel;
    std::string memberSinceLabel;
    std::string amountLabel;
    std::string categoryLabel;
    std::string extraPanel;
    std::string claimMenu;
    std::string claimHint;
    std::string numberSearchMenu;
    bool newCategoryFixedAmount;  // FASTBELOP of a new category
};

// 0 member register, 1 rent register.
const RegisterCaptions& registerCaptions(RegisterKind kind);

}  // namespace lagrull
