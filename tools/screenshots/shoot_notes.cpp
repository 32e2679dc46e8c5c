#include "shoot_notes.h"

#include "frmmain.h"
#include "notespage.h"
#include "shotsupport.h"
#include "tabcontrol.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// A pop-up menu is a window of its own: it is painted over the main window
// where it stands on the screen.
void shootMenu(frmMain &window, QPushButton *button, QMenu *menu, const QString &path)
{
    // Clicked with the mouse, as the menu opens at the pointer then.
    const QPoint centre = button->rect().center();
    QCursor::setPos(button->mapToGlobal(centre));
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
    QApplication::processEvents();
    QPixmap picture = window.grab();
    {
        QPainter painter(&picture);
        painter.drawPixmap(window.mapFromGlobal(menu->pos()), menu->grab());
    }
    menu->hide();
    shots::save(picture, path);
}

} // namespace

void shootNotes(frmMain &window, const QString &outputFolder)
{
    NotesPage *page = window.page<NotesPage>(frmMain::PageNotes);
    window.SSTab1->setCurrentIndex(frmMain::PageNotes);
    window.document().setDocumentText(QStringLiteral("Список дел на неделю\r\n\r\n"
                                                     "1. Позвонить в сервис насчёт принтера.\r\n"
                                                     "2. Оплатить счёт за телефон до пятницы.\r\n"
                                                     "3. Забрать фотографии из печати.\r\n\r\n"
                                                     "Не забыть: день рождения Анны — 14 марта.\r\n"));
    shots::save(window, outputFolder + QStringLiteral("/tarnel-notes-document.png"));

    shootMenu(window, page->cmdFile, page->mnuFile, outputFolder + QStringLiteral("/tarnel-notes-file.png"));
    shootMenu(window, page->cmdEdit, page->mnuEdit, outputFolder + QStringLiteral("/tarnel-notes-edit.png"));

    shots::saveModal([page] { page->mnuItemFont_Click(); }, outputFolder + QStringLiteral("/tarnel-notes-font.png"));

    // The sample is no work of the user's: kept in the throwaway program
    // folder, closing asks nothing about it and no recovery copy keeps it.
    NotesDocument &document = window.document();
    document.restore(document.documentText(), window.context().state.ProgramFolder + QStringLiteral("sample.txt"));
    document.shutdownSave();
}
