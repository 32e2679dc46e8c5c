#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPaintEvent;
class QPushButton;

namespace platform {
class Dialogs;
}

namespace kelvane {

class AnalysisNotice;
class Clipboard;

// The companion program's only window: the user types or pastes one character
// and "Анализ" shows its code in the ANSI code page and whether it is an
// English or a Russian letter. The window keeps no state beyond its controls;
// messages go through platform::Dialogs and the clipboard through Clipboard,
// both owned by the caller. Closing the window ends the program.
class frmMain final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    explicit frmMain(platform::Dialogs &dialogs, Clipboard &clipboard, QWidget *parent = nullptr);
    ~frmMain() override;

    // The caption, and the title of every message box.
    static QString programTitle();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // What the first paint does not show, done once it is over.
    void afterFirstPaint();
    void createControls();
    void placeControls();

    void cmdOK_Click();
    void cmdPasteFromBuffer_Click();
    void cmdCopyToBuffer_Click();
    void cmdCancel_Click();

    platform::Dialogs &m_dialogs;
    Clipboard &m_clipboard;
    bool m_painted = false;

    QLabel *lblIntro = nullptr;
    QLineEdit *txtIn = nullptr;
    QPushButton *cmdPasteFromBuffer = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLineEdit *txtOut = nullptr;
    QPushButton *cmdCopyToBuffer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    AnalysisNotice *m_notice = nullptr;
};

} // namespace kelvane
