#pragma once

#include <QString>

namespace kelvane {

// The system clipboard in text format, behind an interface so that tests can
// make it fail.
class Clipboard
{
public:
    Clipboard() = default;
    Clipboard(const Clipboard &) = delete;
    Clipboard &operator=(const Clipboard &) = delete;
    virtual ~Clipboard();

    // The clipboard's text; empty when it holds no text (nothing, or only a
    // picture). Throws platform::RuntimeFailure when it cannot be read.
    virtual QString text() = 0;
    // Throws platform::RuntimeFailure when it cannot be written.
    virtual void setText(const QString &text) = 0;
};

} // namespace kelvane
