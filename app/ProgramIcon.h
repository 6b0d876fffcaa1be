#pragma once

#include <QIcon>
#include <QImage>

namespace kavlon {

// The program's picture: a closed control loop (summing point, controller,
// plant, feedback path) over a step response settling on its set point.
// Drawn in code so that every size is sharp; the installed PNG files are
// rendered from the same drawing.
QImage ProgramIconImage(int size);

// The icon with the sizes a desktop asks for (16 to 256 pixels).
QIcon ProgramIcon();

} // namespace kavlon
