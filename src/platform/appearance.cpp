#include "appearance.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHash>
#include <QImageReader>
#include <QLibraryInfo>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTranslator>
#include <QWidget>
#include <qdrawutil.h>

#include <cmath>
#include <cstring>

namespace platform::appearance {

namespace {

// The few button texts the program fixes itself. Qt asks its platform theme
// for standard button texts; the generic theme (offscreen, X11 without a
// desktop theme) translates in context "QPlatformTheme", the GNOME and GTK
// themes use "QGnomeTheme" with a mnemonic for OK. qtbase_ru says "OK" in
// Latin letters and "Повторить", while the program's messages tell the user
// to press "Повтор".
class AppearanceFixedTexts final : public QTranslator
{
public:
    explicit AppearanceFixedTexts(QObject *parent)
        : QTranslator(parent)
    {
    }

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation, int n) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (!context || !sourceText)
            return QString();
        if (std::strcmp(context, "QPlatformTheme") == 0) {
            if (std::strcmp(sourceText, "OK") == 0)
                return QStringLiteral("ОК");
            if (std::strcmp(sourceText, "Retry") == 0)
                return QStringLiteral("Повтор");
        } else if (std::strcmp(context, "QGnomeTheme") == 0 && std::strcmp(sourceText, "&OK") == 0) {
            return QStringLiteral("&ОК");
        }
        // A null string lets Qt go on to the next translator.
        return QString();
    }
};

// The faces the windows ask for, and the face that stands in for each where
// it is not installed: Liberation Sans (package fonts-liberation2) has
// Tahoma's metrics within 2%; DejaVu Sans, the usual fallback, is 16% wider
// and breaks the layout.
struct Substitute
{
    const char *asked;
    const char *standIn;
};
constexpr Substitute kSubstitutes[] = {
    {"Tahoma", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
};

// The frame of a group box as Qt's own style draws it: its picture, its
// corners kept, stretched round the box below the title's line.
class GroupFrameStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        static const QPixmap frame
            = picture(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"), 1);
        if (element != PE_FrameGroupBox || frame.isNull()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const int belowTitle = 3;
        const auto *box = qobject_cast<const QGroupBox *>(widget);
        const int top
            = box && !box->isCheckable() && box->title().isEmpty()
                ? belowTitle
                : std::max(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) + belowTitle;
        qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6), frame);
    }
};

} // namespace

void installFontSubstitutions()
{
    for (const Substitute &substitute : kSubstitutes)
        QFont::insertSubstitution(QLatin1String(substitute.asked), QLatin1String(substitute.standIn));
}

QString face(const QString &asked)
{
    static QHash<QString, QString> known;
    const auto found = known.constFind(asked);
    if (found != known.cend())
        return *found;

    // The installed family's own spelling.
    const QStringList families = QFontDatabase::families();
    const auto installedAs = [&families](const QString &family) -> QString {
        for (const QString &listed : families) {
            // A family with several foundries is listed once per foundry, as "Name [Foundry]".
            const qsizetype foundry = listed.indexOf(QLatin1String(" ["));
            const QString name = foundry < 0 ? listed : listed.left(foundry);
            if (name.compare(family, Qt::CaseInsensitive) == 0)
                return name;
        }
        return QString();
    };
    QString chosen = installedAs(asked);
    for (const Substitute &substitute : kSubstitutes) {
        if (chosen.isEmpty() && asked.compare(QLatin1String(substitute.asked), Qt::CaseInsensitive) == 0)
            chosen = installedAs(QLatin1String(substitute.standIn));
    }
    if (chosen.isEmpty())
        chosen = asked;
    known.insert(asked, chosen);
    return chosen;
}

void installRussianTranslations(QApplication &app)
{
    // Without the translation package the standard texts stay English; the
    // program works the same, so this is not worth a message.
    auto *qtTexts = new QTranslator(&app);
    if (qtTexts->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;

    // Installed last, so Qt asks it first.
    QCoreApplication::installTranslator(new AppearanceFixedTexts(&app));
}

QString plainToolTip(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QString wrappableText(const QString &text)
{
    // Shorter runs fit a box's line and move to the next line whole.
    constexpr qsizetype longestWhole = 30;
    constexpr QChar zeroWidthSpace(0x200B);
    QString result;
    result.reserve(text.size());
    QTextBoundaryFinder lineEnds(QTextBoundaryFinder::Line, text);
    qsizetype start = 0;
    for (qsizetype end = lineEnds.toNextBoundary(); end != -1; start = end, end = lineEnds.toNextBoundary()) {
        const QString run = text.mid(start, end - start);
        if (run.size() <= longestWhole) {
            result += run;
            continue;
        }
        // Between letters, never inside one (a surrogate pair, a letter and
        // its accents).
        QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, run);
        qsizetype from = 0;
        for (qsizetype to = letters.toNextBoundary(); to != -1; from = to, to = letters.toNextBoundary()) {
            if (from > 0)
                result += zeroWidthSpace;
            result += QStringView(run).mid(from, to - from);
        }
    }
    return result;
}

void keepLightColours(QWidget *page)
{
    // The relative luminance of the web's accessibility guidelines.
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](float c) { return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f); };
        return 0.2126f * linear(colour.redF()) + 0.7152f * linear(colour.greenF()) + 0.0722f * linear(colour.blueF());
    };
    QPalette colours = page->palette();
    // From half the luminance of white, black and the pure blue of an
    // address read at 4.5:1 or better. Set even where it stays: a desktop that
    // turns dark later does not darken the page under its black text.
    const QColor window = colours.color(QPalette::Window);
    colours.setColor(QPalette::Window, luminance(window) < 0.5f ? QColor(240, 240, 240) : window);
    colours.setColor(QPalette::WindowText, Qt::black);
    page->setPalette(colours);
}

void installStyle()
{
    const QString shown = QApplication::style()->name();
    if (shown.compare(u"fusion", Qt::CaseInsensitive) == 0)
        QApplication::setStyle(new GroupFrameStyle(QStyleFactory::create(shown)));
}

QFont fixedTextFont(QFont font)
{
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont userTextFont(QFont font)
{
    font.setStyleStrategy(QFont::PreferDefault);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QPixmap picture(const QString &resource)
{
    return picture(resource, qApp->devicePixelRatio());
}

QPixmap picture(const QString &resource, double ratio)
{
    QString path = resource;
    // Rounded as QIcon rounds it: from 150% on.
    if (qRound(ratio) >= 2) {
        QString twice = resource;
        twice.insert(twice.lastIndexOf(u'.'), QStringLiteral("@2x"));
        if (QFileInfo::exists(twice))
            path = twice;
    }
    // The reader takes the "@2x" of the name for the picture's pixel density.
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace platform::appearance
