#include "clicklabel.h"
#include "frmdetails.h"
#include "padlabel.h"
#include "run.h"
#include "runpage.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>

using Answer = platform::Dialogs::Answer;

namespace {

// A control as a screen reader announces it: "role name".
QString announced(QWidget *control)
{
    QAccessibleInterface *seen = QAccessible::queryAccessibleInterface(control);
    const QHash<QAccessible::Role, QString> roles {{QAccessible::Button, u"button"_qs},
                                                   {QAccessible::Link, u"link"_qs},
                                                   {QAccessible::List, u"list"_qs},
                                                   {QAccessible::Table, u"table"_qs},
                                                   {QAccessible::EditableText, u"text"_qs}};
    return roles.value(seen->role(), QString::number(seen->role())) + u' ' + seen->text(QAccessible::Name);
}

// The controls Tab reaches after from, in order, until it comes back round.
QList<QWidget *> tabStops(QWidget *from)
{
    QList<QWidget *> stops;
    for (QWidget *next = from->nextInFocusChain(); next != from; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->window() == from->window()
            && next->isVisibleTo(from->window()) && next->isEnabled())
            stops.append(next);
    }
    return stops;
}

} // namespace

class tst_Access : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void page_commandsInReadingOrder_labelsPressedOnce_data()
    {
        QTest::addColumn<int>("page"); // -1: the program entry dialog
        QTest::addColumn<QStringList>("stops"); // after the tab bar, as announced

        // Each stop "role name", the stops parted by "|".
        const auto row = [](const char *name, int page, const QString &stops) {
            QTest::newRow(name) << page << stops.split(u'|');
        };
        row("Запуск", frmMain::PageRun,
            u"list Список программ|button Запуск|button Добавить программу|button Изменить выделенное|"
            "button Удалить из списка|button Сохранить изменения"_qs);
        row("Записи", frmMain::PageNotes,
            u"button Файл|button Правка|button Открыть последний файл|button Открыть|button Сохранить|"
            "button Печать|text Текст|button Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\"."_qs);
        row("Телефоны", frmMain::PagePhones,
            u"table Телефоны|button Добавить|button Изменить|button Удалить|button Очистить все|button Сохранить"_qs);
        row("Задачи", frmMain::PageTools,
            u"button Tallyra|link www|button Locksa|link www|button Dovrik|link www|button Velmor|link www|"
            "button Ваша папка|button Kelvane"_qs);
        row("Игры", frmMain::PageGames,
            u"button Brommel|button Справка|link www|button Quarrow|button Справка|link www|"
            "button Gillrun|button Справка|link www"_qs);
        row("My Tarnel", frmMain::PageAbout, u"link http://www.orvane.example/mytarnel/"_qs);
        row("entry dialog", -1,
            u"text Задайте имя ярлыка:|text Командная строка:|button Обзор...|button OK|button Отмена"_qs);
    }

    void page_commandsInReadingOrder_labelsPressedOnce()
    {
        QFETCH(int, page);
        QFETCH(QStringList, stops);

        Run run;
        for (const QString &file :
             {u"gillrun/gillrun"_qs, u"brommel.txt"_qs, u"quarrow.txt"_qs, u"gillrun/index.html"_qs})
            run.writeFile(file, {});
        run.show<QWidget>(frmMain::Page(std::max(page, 0)));
        QWidget *from = run.window->SSTab1->tabBar();
        if (page < 0) {
            QTest::mouseClick(run.window->findChild<QPushButton *>(u"cmdAddApp"_qs), Qt::LeftButton);
            from = run.window->findChild<RunPage *>()->details();
        }
        from->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(from->window()));

        QStringList reached;
        for (QWidget *stop : tabStops(from))
            reached << announced(stop);
        QCOMPARE(reached, stops);

        for (QWidget *stop : tabStops(from)) {
            auto *label = qobject_cast<ClickLabel *>(stop);
            if (!label)
                continue;
            // A focus mark only while focused, the look of a hovered name too.
            label->setFocus(Qt::TabFocusReason);
            const QImage focused = label->grab().toImage();
            if (qobject_cast<PadLabel *>(label))
                QCOMPARE(label->palette().color(QPalette::WindowText), QColor(250, 0, 0));
            label->clearFocus();
            QVERIFY(label->grab().toImage() != focused);

            // Each way of pressing it does once what a click does.
            const auto effectOf = [&run](const auto &press) {
                run.system.clear();
                run.dialogs.clear();
                run.dialogs.answerMessage(Answer::Ok);
                press();
                return run.system.effects() + run.dialogs.asked();
            };
            const QStringList clicked = effectOf([label] { QTest::mouseClick(label, Qt::LeftButton); });
            QVERIFY(!clicked.isEmpty());
            QVERIFY(!label->hasFocus());
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
                QCOMPARE(effectOf([label, key] { QTest::keyClick(label, key); }), clicked);
            QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(label)->actionInterface();
            QCOMPARE(effectOf([actions] { actions->doAction(QAccessibleActionInterface::pressAction()); }), clicked);
            const auto held = [label] {
                QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(label, &repeated);
            };
            QCOMPARE(effectOf(held), QStringList());
        }
    }

    void window_isFrame_gridColumnsNamed()
    {
        Run run;
        QTableWidget *grid = run.show<QWidget>(frmMain::PagePhones).findChild<QTableWidget *>(u"Grid1"_qs);
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(run.window.get());
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), run.window->windowTitle());

        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
        QStringList columns;
        for (int col = 0; col < 2; ++col)
            columns << table->cellAt(0, col)->tableCellInterface()->columnHeaderCells().value(0)->text(
                QAccessible::Name);
        QCOMPARE(columns, (QStringList {u"Имя"_qs, u"Телефон"_qs}));
        QVERIFY(grid->horizontalHeader()->isHidden());
    }
};

QTEST_MAIN(tst_Access)
#include "tst_access.moc"
