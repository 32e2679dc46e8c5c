#pragma once

class QWidget;

namespace platform {

// For the start-up benchmark only: when ORVANE_REPORT_SHOWN is set, the
// program prints "shown" once window has been shown and painted, and ends at
// once without running its shut-down (so a measured run writes no files).
void reportWhenShown(QWidget *window);

} // namespace platform
