#include "aboutpage.h"

#include "appcontext.h"
#include "appearance.h"
#include "buildconfig.h"
#include "clicklabel.h"
#include "placement.h"
#include "twips.h"
#include "weblinks.h"

#include <QPixmap>

AboutPage::AboutPage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
    using platform::twips::rect;
    platform::appearance::keepLightColours(this);

    Image1 = placeLabel(new QLabel(this), "Image1", rect(240, 600, 600, 600), false);
    Image1->setPixmap(platform::appearance::picture(QStringLiteral(":/shell/image1.png")));
    Image1->setScaledContents(true);

    Label3 = placeLabel(new QLabel(QStringLiteral("Комплекс Orvane Tarnel предназначен для облегчения и ускорения "
                                                  "работы пользователей."),
                                   this),
                        "Label3", rect(960, 600, 6135, 495), true);
    Label4 = placeLabel(new QLabel(QStringLiteral("Более подробную информацию о продукте Orvane Tarnel Вы можете "
                                                  "найти в Интернете по адресу:"),
                                   this),
                        "Label4", rect(960, 1560, 6135, 495), true);

    Label5 = new ClickLabel(ownPageAddress(), this, ClickLabel::Kind::Link);
    placeLabel(Label5, "Label5", rect(960, 2160, 3135, 255), false);
    QPalette linkPalette = Label5->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label5->setPalette(linkPalette);
    QFont linkFont = Label5->font();
    linkFont.setUnderline(true);
    Label5->setFont(linkFont);
    Label5->setCursor(Qt::PointingHandCursor);

    Label14
        = placeLabel(new QLabel(QStringLiteral("О программе:"), this), "Label14", rect(960, 2760, 2415, 255), false);
    QFont boldFont = Label14->font();
    boldFont.setBold(true);
    Label14->setFont(boldFont);
    lblVersion
        = placeLabel(new QLabel(versionCaption(TARNEL_VERSION_MAJOR, TARNEL_VERSION_MINOR, TARNEL_VERSION_PATCH), this),
                     "lblVersion", rect(960, 3060, 3135, 255), false);
    Label15 = placeLabel(new QLabel(QStringLiteral("Orvane Tarnel запускает все программы комплекса из текущего "
                                                   "каталога. Учтите это при создании ярлыка для программы Tarnel "
                                                   "(по умолчанию изменять \"рабочую директорию\" не нужно)."),
                                    this),
                         "Label15", rect(960, 3480, 6135, 735), true);
    Label11 = placeLabel(new QLabel(QString(), this), "Label11", rect(960, 4320, 6135, 255), false);
    connect(Label5, &ClickLabel::clicked, this, &AboutPage::Label5_Click);
}

void AboutPage::Label5_Click()
{
    m_context.OpenWithExplorer(ownPageAddress());
}

QString AboutPage::ownPageAddress()
{
    return weblinks::address(QStringLiteral("/mytarnel/"));
}

QString AboutPage::versionCaption(int major, int minor, int revision)
{
    return QStringLiteral("Версия %1.%2.%3 BETA").arg(major).arg(minor).arg(revision);
}
