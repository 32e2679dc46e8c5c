#include "appearance.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QHelpEvent>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QLibraryInfo>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QToolTip>
#include <QTranslator>
#include <QWidget>

#include <cstring>
#include <utility>

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

// A tooltip that Qt would read as markup is shown escaped, without wrapping,
// as a plain one is; every other tooltip is left to Qt.
class PlainToolTips final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const QString tip = widget->toolTip();
        if (tip.isEmpty() || !Qt::mightBeRichText(tip))
            return false;
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                           QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() + QStringLiteral("</p>"),
                           widget, QRect(), widget->toolTipDuration());
        return true;
    }
};

// Answers every question from the icon the pictures make, made on the first
// question that needs them. Sizes here are in device pixels, as Qt's own
// engine for pictures has them; whether the icon is null is known unmade.
class PictureIconEngine final : public QIconEngine
{
public:
    explicit PictureIconEngine(QList<const Picture *> pictures)
        : m_sources(std::move(pictures))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state));
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pictures().pixmap(size, 1.0, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return pictures().availableSizes(mode, state);
    }

    bool isNull() override { return m_sources.isEmpty(); }
    QString key() const override { return QStringLiteral("PictureIconEngine"); }
    QIconEngine *clone() const override { return new PictureIconEngine(*this); }

private:
    PictureIconEngine(const PictureIconEngine &other) = default;

    QIcon &pictures()
    {
        if (!m_made) {
            for (const Picture *source : std::as_const(m_sources))
                m_pictures.addPixmap(picture(*source));
            m_made = true;
        }
        return m_pictures;
    }

    QList<const Picture *> m_sources;
    QIcon m_pictures;
    bool m_made = false;
};

} // namespace

void showToolTipsAsPlainText()
{
    static PlainToolTips *filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new PlainToolTips(qApp);
    qApp->installEventFilter(filter);
}

void installFontSubstitutions()
{
    const QString metricTwin = QStringLiteral("Liberation Sans");
    QFont::insertSubstitution(QStringLiteral("Tahoma"), metricTwin);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), metricTwin);
}

QString face(const QString &asked)
{
    static QHash<QString, QString> known;
    const auto found = known.constFind(asked);
    if (found != known.cend())
        return *found;

    // The installed family's own spelling: Qt keeps substitutes in lower case.
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
    const QStringList substitutes = QFont::substitutes(asked);
    for (auto substitute = substitutes.cbegin(); chosen.isEmpty() && substitute != substitutes.cend(); ++substitute)
        chosen = installedAs(*substitute);
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

QPixmap picture(const Picture &picture)
{
    // The table is read in place; the pixmap takes its own copy.
    const QImage image(reinterpret_cast<const uchar *>(picture.pixels), picture.width, picture.height,
                       picture.width * qsizetype(sizeof(quint32)), QImage::Format_ARGB32_Premultiplied);
    return QPixmap::fromImage(image);
}

QIcon pictureIcon(const QList<const Picture *> &pictures)
{
    return QIcon(new PictureIconEngine(pictures));
}

} // namespace platform::appearance
