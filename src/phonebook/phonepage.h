#pragma once

#include "phonegrid.h"
#include "saveoutcome.h"

#include <QWidget>

#include <functional>
#include <optional>

class AppContext;
class QLabel;
class QPushButton;
class QTableWidget;

// The "Телефоны" page: names and numbers in a two-column grid of 50 rows,
// kept in "phones.tn" in the program folder. Grid1 only shows the grid and
// lets the user pick its current cell; the cells change through the five
// commands and LoadPhone.
class PhonePage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhonePage)

public:
    static constexpr qint16 Rows = 50;

    // The controls wait for buildControls, the first time the page is shown;
    // the book itself is kept from the start.
    explicit PhonePage(AppContext &context, QWidget *parent = nullptr);

    // Makes the controls, once, showing the book as it stands.
    void buildControls();

    static QString fileName() { return QStringLiteral("phones.tn"); }

    // Reads the phone book at start-up. Rows the grid cannot hold, and a
    // failed read, are told to the user, and the first save then keeps the
    // old file beside the new one.
    void LoadPhone();
    // Saved, or Failed after the failure was reported; PhoneCh stays set then.
    SaveOutcome SavePhone();

    void cmdAddPhone_Click();
    void cmdEditPhone_Click();
    void cmdDelPhone_Click();
    void cmdClearAllPhone_Click();
    void cmdSaveGrid_Click();

    const PhoneGrid &grid() const { return m_grid; }
    // The conversion SavePhone uses; a test may make it fail.
    std::function<std::optional<QString>(PhoneGrid &)> gridToText;

    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QTableWidget *Grid1 = nullptr;
    QPushButton *cmdAddPhone = nullptr;
    QPushButton *cmdEditPhone = nullptr;
    QPushButton *cmdDelPhone = nullptr;
    QPushButton *cmdClearAllPhone = nullptr;
    QPushButton *cmdSaveGrid = nullptr;

private:
    // The name and number for the add and change commands: nothing when the
    // user cancelled or gave a text the file cannot keep (already said).
    std::optional<QString> askCell(const QString &prompt, const QString &title, const QString &defaultText);
    void showGrid();
    void showCurrentCell();
    void Grid1_currentCellChanged(int row, int col);
    QString filePath() const;

    AppContext &m_context;
    PhoneGrid m_grid;
    // Set while the file on disk holds more than the grid: the next save
    // keeps it as "phones.tn.bak".
    bool m_keepOldFile = false;
    bool m_showing = false;
};
