#pragma once

#include <QGroupBox>

class QPaintEvent;
class QString;

namespace platform {

// A group box that looks as Qt's does, title and frame, but draws the frame
// itself under the Fusion style. Fusion reads its frame from a picture in
// Qt's resources without naming the picture's format, and Qt then loads every
// image format plugin to guess it: the first paint of either program's window
// would pay for that. The frame here is the same picture, made in code.
class GroupFrame final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GroupFrame)

public:
    explicit GroupFrame(const QString &title, QWidget *parent = nullptr);
    ~GroupFrame() override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace platform
