#pragma once

class QWidget;

namespace bench {

// Prints "shown" once window has been shown and painted, and ends the program
// at once without running its shut-down, so a timed run writes no files.
// Only the benchmark's own builds of the programs call it: the programs that
// ship have no such switch.
void reportWhenShown(QWidget *window);

} // namespace bench
