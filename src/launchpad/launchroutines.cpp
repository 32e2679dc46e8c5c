#include "launchroutines.h"

#include "appcontext.h"
#include "appearance.h"
#include "clicklabel.h"
#include "folders.h"
#include "padlabel.h"
#include "placement.h"
#include "runtimefailure.h"
#include "system.h"
#include "weblinks.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>

namespace launchpad {

namespace {

const QColor black(0, 0, 0);
const QColor highlightRed(250, 0, 0);
const QColor shapeFill(255, 255, 255);
const QColor shapeEdge(120, 170, 220);

void setTextColour(QLabel *label, const QColor &colour)
{
    // Every movement of the mouse comes here; a palette set again would
    // repaint the label each time.
    if (label->palette().color(QPalette::WindowText) == colour)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

QString programPath(const QString &programFolder, const QString &relativePath)
{
    return programFolder + relativePath + platform::folders::executableSuffix();
}

QString programLine(const QString &programFolder, const QString &relativePath)
{
    const QString program = programPath(programFolder, relativePath);
    // Unquoted, a program folder with a blank ("/home/me/Orvane Tarnel/")
    // would start "/home/me/Orvane" if such a file existed. A name holding a
    // double quote cannot be quoted; the line finds it unquoted as before.
    if ((program.contains(QLatin1Char(' ')) || program.contains(QLatin1Char('\t')))
        && !program.contains(QLatin1Char('"')))
        return QLatin1Char('"') + program + QLatin1Char('"');
    return program;
}

QString openerLine(const QString &windowsFolder, const QString &target)
{
    return windowsFolder + QLatin1Char('/') + platform::folders::openerName() + QLatin1Char(' ') + target;
}

bool fileFound(const AppContext &context, const QString &path)
{
    try {
        return context.FileExists(path);
    } catch (const platform::RuntimeFailure &) {
        return false;
    }
}

void highlight(const QList<QLabel *> &labels, qint16 index, QLabel *info, const QString &description)
{
    for (qsizetype other = 0; other < labels.size(); ++other) {
        if (other != index)
            setTextColour(labels[other], black);
    }
    setTextColour(labels[index], highlightRed);
    info->setText(description);
}

void start(AppContext &context, QWidget *label, const QString &folder, const QString &commandLine)
{
    context.showWaitPointer();
    // The label's own hand would hide the window's hourglass.
    label->setCursor(Qt::WaitCursor);
    context.PlaySoundFile(context.state.ProgramFolder + QStringLiteral("tarnelclick.wav"));
    if (!folder.isEmpty()) {
        // The program is started all the same; it will say what it misses.
        try {
            context.system.setCurrentFolder(folder);
        } catch (const platform::RuntimeFailure &) {
        }
    }
    context.RunProgram(commandLine);
    label->setCursor(Qt::PointingHandCursor);
    context.showDefaultPointer();
}

void openWebPage(AppContext &context, const QString &path)
{
    context.OpenWithExplorer(weblinks::address(path));
}

void openHelpFile(AppContext &context, const QString &relativePath)
{
    const AppState &state = context.state;
    const QString path = state.ProgramFolder + relativePath;
    if (!fileFound(context, path)) {
        context.MsgBox(QStringLiteral("Не найден файл ") + path);
        return;
    }
    // The opener takes the rest of the line as its one target, so a folder
    // with blanks needs no quotes here.
    context.RunProgram(openerLine(state.WindowsFolder, path));
}

QLabel *placeText(QLabel *label, const char *name, const QRect &rect, bool wrap)
{
    placeLabel(label, name, rect, wrap);
    setTextColour(label, black);
    return label;
}

ClickLabel *linkLabel(const QString &caption, const char *name, const QRect &rect, const QString &toolTip,
                      ClickLabel::Kind kind, QWidget *parent)
{
    auto *label = new ClickLabel(caption, parent, kind);
    placeText(label, name, rect, false);
    label->setToolTip(toolTip);
    label->setCursor(Qt::PointingHandCursor);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    return label;
}

QLabel *picture(const QString &resource, const char *name, const QRect &rect, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(platform::appearance::picture(resource));
    return label;
}

QFrame *shape(const char *name, const QRect &rect, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(rect);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, shapeFill);
    palette.setColor(QPalette::WindowText, shapeEdge);
    frame->setPalette(palette);
    frame->setAutoFillBackground(true);
    return frame;
}

PadLabel *nameLabel(const QString &caption, const char *name, const QRect &rect, QWidget *parent)
{
    auto *label = new PadLabel(caption, parent);
    placeText(label, name, rect, false);
    QFont font(platform::appearance::face(QStringLiteral("Tahoma")));
    font.setPointSizeF(9.75);
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace launchpad
