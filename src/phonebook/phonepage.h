#pragma once

#include <QWidget>

class PhoneBook;
class PhoneBookModel;
class QLabel;
class QPushButton;
class QTableView;

// The "Телефоны" page: shows the PhoneBook in Grid1, which only lets the user
// pick its current cell; the buttons run the book's five commands.
class PhonePage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhonePage)

public:
    explicit PhonePage(PhoneBook &book, QWidget *parent = nullptr);

    QLabel *Label8;
    QLabel *Label9;
    QTableView *Grid1;
    QPushButton *cmdAddPhone;
    QPushButton *cmdEditPhone;
    QPushButton *cmdDelPhone;
    QPushButton *cmdClearAllPhone;
    QPushButton *cmdSaveGrid;

private:
    // Two fixed columns of 50 rows, every cell a data cell.
    void shapeGrid();
    void showCurrentCell();
    void Grid1_currentCellChanged(const QModelIndex &current);
    PhoneBook &m_book;
    PhoneBookModel *m_shown;
};
