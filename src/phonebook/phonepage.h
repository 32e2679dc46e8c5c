#pragma once

#include <QWidget>

#include <optional>

class AppContext;
class PhoneBook;
class PhoneGrid;
class QLabel;
class QPushButton;
class QTableWidget;

// The "Телефоны" page: shows the PhoneBook in Grid1, which only lets the user
// pick its current cell; the cells change through the five commands.
class PhonePage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhonePage)

public:
    PhonePage(AppContext &context, PhoneBook &book, QWidget *parent = nullptr);

    void cmdAddPhone_Click();
    void cmdEditPhone_Click();
    void cmdDelPhone_Click();
    void cmdClearAllPhone_Click();
    void cmdSaveGrid_Click();

    QLabel *Label8;
    QLabel *Label9;
    QTableWidget *Grid1;
    QPushButton *cmdAddPhone;
    QPushButton *cmdEditPhone;
    QPushButton *cmdDelPhone;
    QPushButton *cmdClearAllPhone;
    QPushButton *cmdSaveGrid;

private:
    // The name and number for the add and change commands: nothing when the
    // user cancelled or gave a text the file cannot keep (already said).
    std::optional<QString> askCell(const QString &prompt, const QString &title, const QString &defaultText);
    void showGrid();
    void showCurrentCell();
    void Grid1_currentCellChanged(int row, int col);
    AppContext &m_context;
    PhoneBook &m_book;
    PhoneGrid &m_grid;
    bool m_showing = false;
};
