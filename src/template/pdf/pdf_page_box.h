#pragma once
// Exact paper sizes in a PDF written by Qt. Qt's PDF writer gives each page
// a box of whole points ("/MediaBox [0 0 595.000000 842.000000]" for A4,
// which is 595.28 by 841.89 points) and draws its content downwards from
// the box's rounded top edge.
//
// Invariants: the top edge and the length of every box text are kept (the
// bottom edge moves up instead), so the content stays where it was drawn
// and the file's cross-reference offsets stay valid; a box is only changed
// when its rounded size is that of one of the given sizes.

#include <string>
#include <vector>

namespace lagrull {

struct TPointSize {
    double width = 0, height = 0;  // points
};

// Puts the exact sizes in place of their rounded boxes in the file's text;
// returns the number of boxes changed.
int exactPageBoxes(std::string& pdf, const std::vector<TPointSize>& sizes);

}  // namespace lagrull
