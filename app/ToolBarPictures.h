#pragma once

#include <QPixmap>

namespace kavlon {

// The 20 x 20 pictures of the tool bar, drawn in code in a few flat colours.
enum class ToolPicture {
    Door, // leave the program: a red door standing open
    Printer,
    LetterA,
    LetterB,
    LetterC,
    LetterD,
    LetterE,
    LetterF,
    LetterG,
    Flag,     // start: a chequered flag, blue and yellow
    Hand,     // stop: a red hand
    Swatter,  // reset: a yellow fly swatter
    Question, // help: a cyan question mark
};

inline constexpr int ToolPictureSize = 20;

QPixmap DrawToolPicture(ToolPicture picture);

} // namespace kavlon
