#pragma once

#include <QString>
#include <QWidget>

#include <array>

class AppContext;
class ClickLabel;
class PadLabel;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

// The "Задачи" page: the suite's tools, the personal folder and the companion program.
class ToolsPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolsPage)

public:
    static constexpr int ToolCount = 5;
    static constexpr qint16 PersonalFolderIndex = 4;

    // The controls wait for buildControls, the first time the page is shown.
    explicit ToolsPage(AppContext &context, QWidget *parent = nullptr);

    // Makes the controls, once.
    void buildControls();

    // The description of each item, shown while the mouse is over it.
    static std::array<QString, ToolCount> descriptions();

    void lblStart_Click(qint16 index);
    void lblStart_MouseMove(qint16 index);
    void cmdStartKelvane_Click();
    void lblTallyraOnline_Click();
    void lblLocksaOnline_Click();
    void lblDovrikOnline_Click();
    void lblVelmorOnline_Click();

    QLabel *Label6 = nullptr;
    std::array<PadLabel *, ToolCount> lblStart {};
    std::array<QLabel *, ToolCount> imgStart {};
    QFrame *Shape1 = nullptr;
    QLabel *lblInfo = nullptr;
    QGroupBox *FrameTools = nullptr;
    QPushButton *cmdStartKelvane = nullptr;
    ClickLabel *lblTallyraOnline = nullptr;
    ClickLabel *lblLocksaOnline = nullptr;
    ClickLabel *lblDovrikOnline = nullptr;
    ClickLabel *lblVelmorOnline = nullptr;

private:
    AppContext &m_context;
};
