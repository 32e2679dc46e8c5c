// The yardstick for the main program's own cost: the window a first start
// shows ("Задачи" in front), with the same controls, texts, fonts and
// pictures, built the plainest way Qt offers. No models, no settings, no
// recovery copy, no reading order or screen-reader support: what is left
// between the program and this window is the program's own code.
//
// Linked with the main window's library only for its pictures, so that both
// programs register the same resources at start.

#include "appearance.h"
#include "twips.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QWidget>

#include <array>

namespace {

using platform::appearance::face;
using platform::appearance::picture;
using platform::twips::rect;

QLabel *text(const QString &caption, const QRect &place, bool wrap, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(place);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette black = label->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(black);
    return label;
}

void tools(QWidget *page)
{
    text(QStringLiteral("Здесь Вы можете запустить любое приложение из комплекса Orvane Tarnel. "),
         rect(120, 480, 6975, 255), false, page);

    QFont nameFont(face(QStringLiteral("Tahoma")));
    nameFont.setPointSizeF(9.75);
    nameFont.setBold(true);
    const std::array<const char *, 5> pictures {":/launchpad/tallyra.png", ":/launchpad/locksa.png",
                                                ":/launchpad/dovrik.png", ":/launchpad/velmor.png",
                                                ":/launchpad/personal.png"};
    const std::array<QString, 5> names {QStringLiteral("Tallyra"), QStringLiteral("Locksa"), QStringLiteral("Dovrik"),
                                        QStringLiteral("Velmor"), QStringLiteral("Ваша папка")};
    const std::array<QString, 4> webTips {
        QStringLiteral("Информация о Tallyra в Интернете"), QStringLiteral("Информация о \"Locksa\" в Интернете"),
        QStringLiteral("Информация о Dovrik'е в Интернете"), QStringLiteral("Информация о Velmor в Интернете")};
    const std::array<int, 5> tops {840, 1440, 2040, 2640, 3960};
    for (std::size_t i = 0; i < tops.size(); ++i) {
        auto *image = new QLabel(page);
        image->setGeometry(rect(120, tops[i], 375, 375));
        image->setAlignment(Qt::AlignCenter);
        image->setPixmap(picture(QString::fromLatin1(pictures[i])));
        QLabel *name = text(names[i], rect(600, tops[i], 1335, 255), false, page);
        name->setFont(nameFont);
        name->setCursor(Qt::PointingHandCursor);
        if (i < webTips.size()) {
            QLabel *web = text(QStringLiteral("www"), rect(6480, tops[i], 495, 255), false, page);
            web->setToolTip(webTips[i]);
            web->setCursor(Qt::PointingHandCursor);
            QFont underlined = web->font();
            underlined.setUnderline(true);
            web->setFont(underlined);
        }
    }

    auto *shape = new QFrame(page);
    shape->setGeometry(rect(1980, 660, 4455, 2295));
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette shapeColours = shape->palette();
    shapeColours.setColor(QPalette::Window, QColor(255, 255, 255));
    shapeColours.setColor(QPalette::WindowText, QColor(120, 170, 220));
    shape->setPalette(shapeColours);
    shape->setAutoFillBackground(true);
    text(QStringLiteral("Выделите нужную Вам программу, чтобы узнать о ней побольше, и нажмите на названии "
                        "программы для ее запуска."),
         rect(2040, 720, 4335, 2175), true, page);

    auto *frame = new QGroupBox(QStringLiteral("Инструменты Orvane Tarnel"), page);
    frame->setGeometry(rect(2160, 3720, 4935, 975));
    auto *kelvane = new QPushButton(QStringLiteral("Kelvane"), frame);
    kelvane->setGeometry(rect(120, 360, 1815, 375));
    kelvane->setToolTip(QStringLiteral("Запуск программы Kelvane"));
    kelvane->setCursor(Qt::PointingHandCursor);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The group box's frame drawn as the program draws it, with no image
    // plugin asked about its picture: the same pixels, and the same work.
    platform::appearance::installStyle();

    QWidget window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setWindowTitle(QStringLiteral("Домашний центр Orvane Tarnel"));
    // No icon: the program gives its window one after the first paint, which
    // the window manager shows, not the paint timed here.
    window.setFixedSize(platform::twips::size(7425, 5760));
    window.setFont(platform::appearance::fixedTextFont(QFont(face(QStringLiteral("MS Sans Serif")), 8)));
    QPalette windowColour = window.palette();
    windowColour.setColor(QPalette::Window, QColor(60, 81, 130));
    window.setPalette(windowColour);
    window.setAutoFillBackground(true);

    auto *banner = new QLabel(&window);
    banner->setGeometry(rect(120, 120, 4695, 600));
    banner->setPixmap(picture(QStringLiteral(":/shell/image2.png")));

    auto *title = new QLabel(QStringLiteral("orvane tarnel"), &window);
    QFont titleFont(face(QStringLiteral("Tahoma")), 14);
    titleFont.setPointSizeF(14.25);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QPalette white = title->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(white);
    title->move(platform::twips::toPixels(5040), platform::twips::toPixels(240));
    title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    title->adjustSize();

    // The tab control: a row of six equal tabs over a raised panel, the page
    // in front covering both, in the dialog colours.
    auto *tabs = new QWidget(&window);
    tabs->setGeometry(rect(45, 840, 7335, 4815));
    QPalette dialogColours = tabs->palette();
    dialogColours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    dialogColours.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    tabs->setPalette(dialogColours);
    const int tabHeight = platform::twips::toPixels(360);
    auto *panel = new QFrame(tabs);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->setGeometry(0, tabHeight - 1, tabs->width(), tabs->height() - tabHeight + 1);
    auto *page = new QWidget(tabs);
    page->setGeometry(0, 0, tabs->width(), tabs->height());
    tools(page);
    auto *bar = new QTabBar(tabs);
    bar->setDrawBase(false);
    bar->setExpanding(false);
    bar->setUsesScrollButtons(false);
    bar->setElideMode(Qt::ElideNone);
    for (const QString &caption : {QStringLiteral("Запуск"), QStringLiteral("Записи"), QStringLiteral("Телефоны"),
                                   QStringLiteral("Задачи"), QStringLiteral("Игры"), QStringLiteral("My Tarnel")})
        bar->addTab(caption);
    bar->setGeometry(0, 0, tabs->width(), tabHeight);
    bar->setCurrentIndex(3);

    window.show();
    return app.exec();
}
