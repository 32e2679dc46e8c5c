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

        const QString button = u"button "_qs;
        QTest::newRow("Запуск") << int(frmMain::PageRun)
                                << QStringList {u"list Список программ"_qs,        button + u"Запуск"_qs,
                                                button + u"Добавить программу"_qs, button + u"Изменить выделенное"_qs,
                                                button + u"Удалить из списка"_qs,  button + u"Сохранить изменения"_qs};
        QTest::newRow("Записи") << int(frmMain::PageNotes)
                                << QStringList {button + u"Файл"_qs,
                                                button + u"Правка"_qs,
                                                button + u"Открыть последний файл"_qs,
                                                button + u"Открыть"_qs,
                                                button + u"Сохранить"_qs,
                                                button + u"Печать"_qs,
                                                u"text Текст"_qs,
                                                button
                                                    + u"Чтобы открыть или сохранить файл, воспользуйтесь кнопкой "
                                                      "\"Файл\"."_qs};
        QTest::newRow("Телефоны") << int(frmMain::PagePhones)
                                  << QStringList {u"table Телефоны"_qs,        button + u"Добавить"_qs,
                                                  button + u"Изменить"_qs,     button + u"Удалить"_qs,
                                                  button + u"Очистить все"_qs, button + u"Сохранить"_qs};
        QStringList tools;
        for (const QString &tool : {u"Tallyra"_qs, u"Locksa"_qs, u"Dovrik"_qs, u"Velmor"_qs})
            tools << button + tool << u"link www"_qs;
        QTest::newRow("Задачи") << int(frmMain::PageTools)
                                << tools + QStringList {button + u"Ваша папка"_qs, button + u"Kelvane"_qs};
        QStringList games;
        for (const QString &game : {u"Brommel"_qs, u"Quarrow"_qs, u"Gillrun"_qs})
            games << button + game << button + u"Справка"_qs << u"link www"_qs;
        QTest::newRow("Игры") << int(frmMain::PageGames) << games;
        QTest::newRow("My Tarnel") << int(frmMain::PageAbout)
                                   << QStringList {u"link http://www.orvane.example/mytarnel/"_qs};
        QTest::newRow("entry dialog") << -1
                                      << QStringList {u"text Задайте имя ярлыка:"_qs, u"text Командная строка:"_qs,
                                                      button + u"Обзор..."_qs, button + u"OK"_qs,
                                                      button + u"Отмена"_qs};
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
