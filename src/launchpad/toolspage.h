#pragma once

#include "launchpad.h"

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
    static constexpr qint16 PersonalFolderIndex = 4;

    ToolsPage(AppContext &context, LaunchPad &pad, QWidget *parent = nullptr);

    void lblStart_Click(qint16 index);
    void lblStart_MouseMove(qint16 index);
    void cmdStartKelvane_Click();
    // A "www" label: the index-th tool's page on the suite's web site.
    void webLabel_Click(qint16 index);

    QLabel *Label6;
    std::array<PadLabel *, LaunchPad::ToolCount> lblStart {};
    std::array<QLabel *, LaunchPad::ToolCount> imgStart {};
    QFrame *Shape1;
    QLabel *lblInfo;
    QGroupBox *FrameTools;
    QPushButton *cmdStartKelvane;
    // lblTallyraOnline and on: every tool's but the personal folder's, the last.
    std::array<ClickLabel *, LaunchPad::ToolCount - 1> webLabels {};

private:
    AppContext &m_context;
    LaunchPad &m_pad;
};
