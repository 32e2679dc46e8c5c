#pragma once

#include "clipboard.h"

namespace kelvane {

class QtClipboard final : public Clipboard
{
public:
    QtClipboard() = default;

    QString text() override;
    void setText(const QString &text) override;
};

} // namespace kelvane
