#pragma once

// One program of a launch pad, as its page shows it and the model starts it.
// Programs are named by their path inside the program folder, without the
// suffix; the folder made current before a start is the program's own
// ("pellmell" for "pellmell/brommel"). An empty text means none.
struct LaunchItem
{
    const char16_t *caption;
    const char16_t *description;
    // A picture of the launch pads' resources.
    const char *picture;
    // Empty for the personal folder, which is opened, not started.
    const char *program;
    // A page on the suite's web site, with the name and tool tip of its label.
    const char *webPage;
    const char *webLabel;
    const char16_t *webToolTip;
    // A file of the program folder, with the name of its label.
    const char *helpFile;
    const char *helpLabel;
};
