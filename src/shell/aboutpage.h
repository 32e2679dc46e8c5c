#pragma once

#include <QString>
#include <QWidget>

class ClickLabel;
class QLabel;

// The "My Tarnel" page: what the suite is, where to read more, the version.
class AboutPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutPage)

public:
    // The controls wait for buildControls, the first time the page is shown.
    explicit AboutPage(QWidget *parent = nullptr);

    // Makes the controls, once.
    void buildControls();
    // lblVersion's caption, now or when it is built.
    void setVersion(const QString &caption);

    // The full address of the suite's own page, shown by Label5.
    static QString ownPageAddress();
    // "Версия 2.1.1 BETA" for the version this program was built as.
    static QString versionCaption(int major, int minor, int revision);

    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    ClickLabel *Label5 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label15 = nullptr;
    QLabel *Label11 = nullptr;

private:
    QString m_version;
};
