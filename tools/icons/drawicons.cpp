// Draws the launch pads' icons into PNG files, each also at twice the size:
//   launchpad_drawicons <output folder> [scale]
// Run it through the "launchpad_icons" target after changing a drawing; the
// PNG files it writes are checked in under src/launchpad/icons, so a build
// needs none of this. One style for all: a rounded tile in one of the colours of the
// window's banner, with a light, flat sign on it.

#include <QByteArray>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QTransform>

#include <functional>
#include <utility>

namespace {

const QColor orange(232, 168, 56);
const QColor blue(120, 170, 220);
const QColor green(150, 200, 120);
const QColor red(220, 110, 100);
const QColor navy(60, 81, 130);
const QColor cream(245, 245, 240);

// Every sign is drawn on a 100 by 100 grid, scaled to the icon's size.
using Sign = std::function<void(QPainter &)>;

void drawTile(QPainter &painter, const QColor &colour)
{
    painter.setPen(QPen(colour.darker(125), 3));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(3, 3, 94, 94), 20, 20);
}

QImage drawIcon(int size, const QColor &colour, const Sign &sign)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 100.0, size / 100.0);
    drawTile(painter, colour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(cream);
    sign(painter);
    return image;
}

// Tallyra keeps the household's accounts: a column chart.
void drawChart(QPainter &painter)
{
    painter.drawRoundedRect(QRectF(20, 52, 16, 30), 3, 3);
    painter.drawRoundedRect(QRectF(42, 36, 16, 46), 3, 3);
    painter.drawRoundedRect(QRectF(64, 18, 16, 64), 3, 3);
}

// Locksa keeps secrets: a padlock.
void drawPadlock(QPainter &painter, const QColor &tile)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(cream, 11, Qt::SolidLine, Qt::FlatCap));
    QPainterPath shackle;
    shackle.moveTo(33, 48);
    shackle.lineTo(33, 36);
    shackle.arcTo(QRectF(33, 16, 34, 38), 180, -180);
    shackle.lineTo(67, 48);
    painter.drawPath(shackle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(cream);
    painter.drawRoundedRect(QRectF(20, 44, 60, 42), 7, 7);
    painter.setBrush(tile);
    painter.drawEllipse(QRectF(44, 55, 12, 12));
    painter.drawRect(QRectF(47.5, 62, 5, 13));
}

// Dovrik locks files away: a key.
void drawKey(QPainter &painter, const QColor &tile)
{
    painter.drawEllipse(QRectF(12, 28, 40, 40));
    painter.drawRect(QRectF(44, 42, 46, 12));
    painter.drawRect(QRectF(66, 54, 9, 14));
    painter.drawRect(QRectF(80, 54, 10, 18));
    painter.setBrush(tile);
    painter.drawEllipse(QRectF(22, 40, 16, 16));
}

// Velmor turns one alphabet into the other and back: two arrows.
void drawArrows(QPainter &painter)
{
    QPainterPath right;
    right.moveTo(16, 30);
    right.lineTo(62, 30);
    right.lineTo(62, 16);
    right.lineTo(86, 37);
    right.lineTo(62, 58);
    right.lineTo(62, 44);
    right.lineTo(16, 44);
    right.closeSubpath();
    painter.drawPath(right);
    QTransform turn;
    turn.translate(100, 100);
    turn.rotate(180);
    painter.drawPath(turn.map(right));
}

// The user's own folder.
void drawFolder(QPainter &painter)
{
    QPainterPath back;
    back.moveTo(16, 30);
    back.lineTo(16, 24);
    back.quadTo(16, 20, 20, 20);
    back.lineTo(38, 20);
    back.lineTo(46, 28);
    back.lineTo(80, 28);
    back.quadTo(84, 28, 84, 32);
    back.lineTo(84, 40);
    back.lineTo(16, 40);
    back.closeSubpath();
    // The back of the folder a shade darker, so that its tab stands out.
    painter.setBrush(cream.darker(118));
    painter.drawPath(back);
    painter.setBrush(cream);
    painter.drawRoundedRect(QRectF(14, 36, 72, 46), 5, 5);
}

// Brommel: a die.
void drawDie(QPainter &painter, const QColor &tile)
{
    painter.drawRoundedRect(QRectF(20, 20, 60, 60), 12, 12);
    painter.setBrush(tile);
    for (const QPointF &pip : {QPointF(35, 35), QPointF(65, 35), QPointF(50, 50), QPointF(35, 65), QPointF(65, 65)})
        painter.drawEllipse(pip, 6, 6);
}

// Quarrow: a target.
void drawTarget(QPainter &painter, const QColor &tile)
{
    painter.drawEllipse(QPointF(50, 50), 33, 33);
    painter.setBrush(tile);
    painter.drawEllipse(QPointF(50, 50), 23, 23);
    painter.setBrush(cream);
    painter.drawEllipse(QPointF(50, 50), 14, 14);
    painter.setBrush(tile);
    painter.drawEllipse(QPointF(50, 50), 5, 5);
}

// Gillrun is a sea battle of fish: a fish.
void drawFish(QPainter &painter, const QColor &tile)
{
    QPainterPath body;
    body.moveTo(14, 50);
    body.cubicTo(28, 24, 58, 22, 72, 50);
    body.cubicTo(58, 78, 28, 76, 14, 50);
    painter.drawPath(body);
    QPainterPath tail;
    tail.moveTo(66, 50);
    tail.lineTo(88, 32);
    tail.lineTo(84, 50);
    tail.lineTo(88, 68);
    tail.closeSubpath();
    painter.drawPath(tail);
    painter.setBrush(tile);
    painter.drawEllipse(QPointF(30, 45), 4.5, 4.5);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: launchpad_drawicons <output folder> [scale]\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    // A larger scale draws the same icons big enough to look at closely.
    const int scale = argc > 2 ? qMax(1, QByteArray(argv[2]).toInt()) : 1;

    // The tools' pictures are 375 twips square, the games' 495: 25 and 33 pixels.
    const int toolSize = 25;
    const int gameSize = 33;
    struct Icon
    {
        const char *name;
        int size;
        QColor colour;
        Sign sign;
    };
    const Icon icons[] = {
        {"tallyra", toolSize, green, drawChart},
        {"locksa", toolSize, blue, [](QPainter &p) { drawPadlock(p, blue); }},
        {"dovrik", toolSize, red, [](QPainter &p) { drawKey(p, red); }},
        {"velmor", toolSize, orange, drawArrows},
        {"personal", toolSize, navy, drawFolder},
        {"brommel", gameSize, orange, [](QPainter &p) { drawDie(p, orange); }},
        {"quarrow", gameSize, red, [](QPainter &p) { drawTarget(p, red); }},
        {"gillrun", gameSize, blue, [](QPainter &p) { drawFish(p, blue); }},
    };
    // Each also twice the size, named as Qt looks for it on a screen of twice
    // the pixel density: drawn anew, not scaled up.
    for (const Icon &icon : icons) {
        for (const auto &[ratio, suffix] : {std::pair(1, ""), std::pair(2, "@2x")}) {
            const QString path
                = folder + QLatin1Char('/') + QLatin1String(icon.name) + QLatin1String(suffix) + QStringLiteral(".png");
            if (!drawIcon(icon.size * scale * ratio, icon.colour, icon.sign).save(path, "PNG")) {
                QTextStream(stderr) << "cannot write " << path << '\n';
                return 1;
            }
        }
    }
    return 0;
}
