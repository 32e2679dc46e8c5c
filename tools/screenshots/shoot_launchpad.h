#pragma once

class QString;

// Renders the launch pads as the user sees them at work, into outputFolder:
// the tools page with a tool under the mouse ("tarnel-tools-hover.png") and
// the games page with Gillrun installed and under the mouse
// ("tarnel-games-gillrun.png").
void shootLaunchpad(const QString &outputFolder);
