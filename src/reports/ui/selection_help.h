#pragma once
// The help topics of the selection windows (F1).

namespace lagrull {

inline constexpr int kHelpSelectionTopic = 40;  // "Utvalgskriterier"
inline constexpr int kHelpWhoTopic = 41;        // the "who?" step

}  // namespace lagrull
