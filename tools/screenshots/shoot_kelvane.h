#pragma once

class QString;

// Renders the companion program's window, empty and after analysing "ж", to
// "kelvane-empty.png" and "kelvane-analysis.png" in outputFolder.
void shootKelvane(const QString &outputFolder);
