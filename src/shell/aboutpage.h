#pragma once

#include <QWidget>

class ClickLabel;
class QLabel;

// The "My Tarnel" page: what the suite is, where to read more, the version.
class AboutPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutPage)

public:
    explicit AboutPage(QWidget *parent = nullptr);

    // The full address of the suite's own page, shown by Label5.
    static QString ownPageAddress();
    // "Версия 2.1.1 BETA" for the version this program was built as.
    static QString versionCaption(int major, int minor, int revision);

    QLabel *Label3;
    QLabel *Label4;
    ClickLabel *Label5;
    QLabel *Image1;
    QLabel *Label14;
    QLabel *lblVersion;
    QLabel *Label15;
    QLabel *Label11;
};
