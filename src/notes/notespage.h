#pragma once

#include <QWidget>

class AppContext;
class ClickLabel;
class QPushButton;

// The "Записи" page: one plain-text document with its status line.
class NotesPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotesPage)

public:
    explicit NotesPage(AppContext &context, QWidget *parent = nullptr);

    static QString initialStatus();

    QPushButton *cmdLoadLast;
    ClickLabel *lblStatus;

private:
    AppContext &m_context;
};
