#include "groupframe.h"

#include <QImage>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <qdrawutil.h>

#include <algorithm>
#include <iterator>

namespace platform {

namespace {

// Fusion's group box frame, pixel for pixel: a 98 x 38 picture whose six
// pixels along each edge are corners and sides, stretched over the frame
// through six-pixel margins, and whose middle rows and columns are all alike.
// Here the middle is one pixel, which stretches to the same result. Grey
// lines at about a fifth of full cover with a faint shadow inside, on a
// lighter tint of black; the top row and left column are left clear.
constexpr int kCornerSize = 6;
constexpr int kSide = 2 * kCornerSize + 1;
constexpr QRgb kFrame[][kSide] = {
    {0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff,
     0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff},
    {0x00ffffff, 0x0d272727, 0x345d5d5d, 0x346c6c6c, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x32757575,
     0x32757575, 0x346c6c6c, 0x37666666, 0x0c151515},
    {0x00ffffff, 0x39626262, 0x1f5a5a5a, 0x0a000000, 0x08000000, 0x07000000, 0x07000000, 0x07000000, 0x07000000,
     0x08000000, 0x0a000000, 0x1e5e5e5e, 0x355b5b5b},
    {0x00ffffff, 0x346c6c6c, 0x09000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x09000000, 0x346c6c6c},
    {0x00ffffff, 0x32757575, 0x08000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x08000000, 0x32757575},
    {0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x07000000, 0x32757575},
    {0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x07000000, 0x32757575},
    {0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x07000000, 0x32757575},
    {0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x07000000, 0x32757575},
    {0x00ffffff, 0x32757575, 0x08000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x08000000, 0x32757575},
    {0x00ffffff, 0x346c6c6c, 0x09000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
     0x03000000, 0x03000000, 0x09000000, 0x346c6c6c},
    {0x00ffffff, 0x355b5b5b, 0x1e5e5e5e, 0x0a000000, 0x08000000, 0x07000000, 0x07000000, 0x07000000, 0x07000000,
     0x08000000, 0x0a000000, 0x1f5a5a5a, 0x39626262},
    {0x00ffffff, 0x0c151515, 0x37666666, 0x346c6c6c, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x32757575,
     0x32757575, 0x346c6c6c, 0x345d5d5d, 0x0d272727},
};

static_assert(std::size(kFrame) == kSide);

// Fusion's room between the title line and the frame.
constexpr int kTitleGap = 3;

const QPixmap &framePicture()
{
    static const QPixmap picture = [] {
        QImage image(kSide, kSide, QImage::Format_ARGB32);
        for (int y = 0; y < kSide; ++y)
            std::copy(std::begin(kFrame[y]), std::end(kFrame[y]), reinterpret_cast<QRgb *>(image.scanLine(y)));
        return QPixmap::fromImage(image);
    }();
    return picture;
}

} // namespace

GroupFrame::GroupFrame(const QString &title, QWidget *parent)
    : QGroupBox(title, parent)
{
}

GroupFrame::~GroupFrame() = default;

void GroupFrame::paintEvent(QPaintEvent *event)
{
    // Only Fusion draws its frame from the picture, and only the frame of a box
    // with a title, set below the title line, is placed here as Fusion does.
    if (style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0
        || (title().isEmpty() && !isCheckable())) {
        QGroupBox::paintEvent(event);
        return;
    }

    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QRect frame = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
    frame.setTop(frame.top()
                 + std::max(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight), option.fontMetrics.height())
                 + kTitleGap);
    qDrawBorderPixmap(&painter, frame, QMargins(kCornerSize, kCornerSize, kCornerSize, kCornerSize), framePicture());

    // The style draws the rest as before: the title, its focus mark, the check box.
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace platform
