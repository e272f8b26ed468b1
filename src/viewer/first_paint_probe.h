#pragma once
// Measuring and checking modes of the program, chosen by environment
// variables; both end the program once the first page is on screen.
//   PRAVEL_FIRST_PAINT=1      prints "first page painted after N ms" (since
//                             `started`) to standard error.
//   PRAVEL_SCREENSHOT=FILE    grabs the screen into FILE (PNG) and prints
//                             "frame X Y W H", the page image's place on the
//                             screen, to standard output.
// Without a painted page they give up after 20 s with exit status 2.

#include <QElapsedTimer>

namespace pravel {

class TFKonsolaPravel;

// Installs the modes the environment asks for; false when it asks for none.
bool InstallFirstPaintProbe(TFKonsolaPravel& window, const QElapsedTimer& started);

}  // namespace pravel
