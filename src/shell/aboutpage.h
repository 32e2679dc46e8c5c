#pragma once

#include <QString>
#include <QWidget>

class AppContext;
class ClickLabel;
class QLabel;

// The "My Tarnel" page: what the suite is, where to read more, the version.
class AboutPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutPage)

public:
    explicit AboutPage(AppContext &context, QWidget *parent = nullptr);

    void Label5_Click();

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

private:
    AppContext &m_context;
};
