#include "accessibilityspy.h"
#include "appearance.h"
#include "clicklabel.h"
#include "contrast.h"
#include "frmdetails.h"
#include "modalanswerer.h"
#include "notespage.h"
#include "padlabel.h"
#include "qtdialogs.h"
#include "run.h"
#include "runpage.h"

#include <QAccessible>
#include <QApplication>
#include <QDirIterator>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr QChar zeroWidthSpace(0x200B);

void activate(QWidget *window)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void press(QWidget *widget, QKeyCombination keys)
{
    QTest::keyClick(widget, keys.key(), keys.keyboardModifiers());
}

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
    void page_commandsInReadingOrder_data()
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
            u"button Tallyra|link Tallyra: www|button Locksa|link Locksa: www|button Dovrik|link Dovrik: www|"
            "button Velmor|link Velmor: www|"
            "button Ваша папка|button Kelvane"_qs);
        row("Игры", frmMain::PageGames,
            u"button Brommel|button Brommel: Справка|link Brommel: www|button Quarrow|button Quarrow: Справка|"
            "link Quarrow: www|button Gillrun|button Gillrun: Справка|link Gillrun: www"_qs);
        row("My Tarnel", frmMain::PageAbout, u"link http://www.orvane.example/mytarnel/"_qs);
        row("entry dialog", -1,
            u"text Задайте имя ярлыка:|text Командная строка:|button Обзор...|button OK|button Отмена"_qs);
    }

    void page_commandsInReadingOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, stops);

        Run run;
        run.installGames();
        run.show<QWidget>(frmMain::Page(std::max(page, 0)));
        QWidget *from = run.window->SSTab1->tabBar();
        if (page < 0) {
            QTest::mouseClick(run.window->findChild<QPushButton *>(u"cmdAddApp"_qs), Qt::LeftButton);
            from = run.window->findChild<RunPage *>()->details();
        }
        activate(from->window());

        QStringList reached;
        for (QWidget *stop : tabStops(from))
            reached << announced(stop);
        QCOMPARE(reached, stops);
    }

    // On every page, a reader that lists what it may press tells each one
    // apart, and Enter presses a focused push button once, as Space does.
    void page_pressablesNamedApart_enterPressesButtons()
    {
        Run run;
        run.installGames();
        for (int page = frmMain::PageRun; page < frmMain::PageCount; ++page) {
            QWidget &shown = run.show<QWidget>(frmMain::Page(page));
            QStringList names;
            const std::function<void(QAccessibleInterface *)> collect = [&](QAccessibleInterface *node) {
                if (node->actionInterface()
                    && node->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()))
                    names << node->text(QAccessible::Name);
                for (int i = 0; i < node->childCount(); ++i)
                    collect(node->child(i));
            };
            collect(QAccessible::queryAccessibleInterface(&shown));
            names.sort();
            QVERIFY2(std::adjacent_find(names.cbegin(), names.cend()) == names.cend(), qPrintable(names.join(u'|')));
            for (QPushButton *button : shown.findChildren<QPushButton *>()) {
                QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr); // the press, not its command
                QSignalSpy pressed(button, &QPushButton::clicked);
                button->setFocus();
                QTest::keyClick(button, Qt::Key_Return);
                QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
                QCOMPARE(pressed.size(), 2);
            }
        }
    }

    void page_textsReadOnLightAndDark_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QPalette>("desktop");
        for (const auto &[theme, desktop] :
             {std::pair("light", QApplication::palette()), std::pair("dark", QPalette(QColor(50, 50, 50)))}) {
            for (int page = frmMain::PageRun; page < frmMain::PageCount; ++page)
                QTest::addRow("%s %d", theme, page) << page << desktop;
        }
    }

    // Each text reads at 4.5:1 against what is drawn behind it.
    void page_textsReadOnLightAndDark()
    {
        QFETCH(int, page);
        QFETCH(QPalette, desktop);
        const auto restore = qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
        QApplication::setPalette(desktop);
        Run run;
        run.show<QWidget>(frmMain::Page(page));
        QCOMPARE(unreadableLabels(run.window.get()), QStringList());
    }

    // Each way of pressing a label does once what a click does. Only the
    // keyboard leaves a focus mark, and on a program's name the focus shows as
    // the mouse over it does.
    void label_pressedOnceEachWay()
    {
        QWidget window;
        auto *name = new PadLabel(u"Tallyra"_qs, &window);
        const QList<ClickLabel *> labels {new ClickLabel(u"www"_qs, &window), name};
        int hovers = 0;
        connect(name, &PadLabel::hovered, this, [&hovers] { ++hovers; });
        window.show();
        activate(&window);
        for (ClickLabel *label : labels) {
            QSignalSpy clicked(label, &ClickLabel::clicked);
            label->clearFocus(); // the window's activation may have given it the focus
            label->setFocus(Qt::TabFocusReason);
            QCOMPARE(hovers, int(label == name));
            const QImage focused = label->grab().toImage();
            label->clearFocus();
            QVERIFY(label->grab().toImage() != focused);

            QList<int> counts;
            QTest::mouseClick(label, Qt::LeftButton);
            QVERIFY(!label->hasFocus());
            counts << int(clicked.size());
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
                QTest::keyClick(label, key);
                counts << int(clicked.size());
            }
            // A reader that lists the actions finds the press among them.
            QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(label)->actionInterface();
            QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
            actions->doAction(QAccessibleActionInterface::pressAction());
            counts << int(clicked.size());
            QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(label, &held);
            counts << int(clicked.size());
            QCOMPARE(counts, (QList<int> {1, 2, 3, 4, 5, 5}));
        }
    }

    void label_focusMarkReadsAgainstPage_data()
    {
        QTest::addColumn<QColor>("page");
        QTest::addColumn<QColor>("text");
        QTest::newRow("light") << QColor(0xEF, 0xEF, 0xEF) << QColor(Qt::black);
        QTest::newRow("dark") << QColor(50, 50, 50) << QColor(Qt::white);
    }

    // Every pixel of the mark at least 3:1 against the page behind it, by the
    // contrast ratio of the web's accessibility guidelines.
    void label_focusMarkReadsAgainstPage()
    {
        QFETCH(QColor, page);
        QFETCH(QColor, text);
        QWidget window;
        QPalette colours = window.palette();
        colours.setColor(QPalette::Window, page);
        colours.setColor(QPalette::WindowText, text);
        window.setPalette(colours);
        auto *label = new ClickLabel(u"www"_qs, &window);
        window.show();
        activate(&window);
        label->setFocus(Qt::TabFocusReason);
        const QImage marked = label->grab().toImage();
        label->clearFocus();
        const QImage plain = label->grab().toImage();

        int pixels = 0;
        float weakest = 21;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                if (marked.pixel(x, y) == plain.pixel(x, y))
                    continue;
                weakest = std::min(weakest, contrast(marked.pixelColor(x, y), plain.pixelColor(x, y)));
                ++pixels;
            }
        }
        QVERIFY(pixels > 0);
        QCOMPARE_GE(weakest, 3.0f);
    }

    void picture_twiceThePixelsAtTwiceTheDensity_data()
    {
        QTest::addColumn<QString>("resource");
        QDirIterator found(u":/"_qs, {u"*.png"_qs}, QDir::Files, QDirIterator::Subdirectories);
        while (found.hasNext()) {
            const QString path = found.next();
            if (!path.startsWith(u":/qt-project.org/") && !path.contains(u"@2x"))
                QTest::newRow(qPrintable(path)) << path;
        }
    }

    // Each picture has one of twice the size beside it, taken at 200%, so
    // that none is scaled up blurred; QIcon finds it by the same name.
    void picture_twiceThePixelsAtTwiceTheDensity()
    {
        QFETCH(QString, resource);
        const QPixmap plain = platform::appearance::picture(resource, 1);
        const QPixmap sharp = platform::appearance::picture(resource, 2);
        QCOMPARE(std::pair(plain.devicePixelRatio(), sharp.devicePixelRatio()), std::pair(1.0, 2.0));
        QVERIFY(!plain.isNull());
        QCOMPARE(sharp.size(), plain.size() * 2);
    }

    void window_isFrame_gridColumnsNamed()
    {
        Run run;
        QTableView *grid = run.show<QWidget>(frmMain::PagePhones).findChild<QTableView *>(u"Grid1"_qs);
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

    void notesTextKeys_data()
    {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("page");
        QTest::newRow("Tab moves on") << QKeyCombination(Qt::Key_Tab) << u"ab"_qs << int(frmMain::PageNotes);
        QTest::newRow("Ctrl+Tab types a TAB")
            << QKeyCombination(Qt::CTRL | Qt::Key_Tab) << u"ab\t"_qs << int(frmMain::PageNotes);
        QTest::newRow("Ctrl+PgDn turns the page")
            << QKeyCombination(Qt::CTRL | Qt::Key_PageDown) << u"ab"_qs << int(frmMain::PagePhones);
    }

    // Moving through the page never edits the document nor asks to save it;
    // the keyboard stays in the text only when the key typed into it.
    void notesTextKeys()
    {
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, text);
        QFETCH(int, page);

        Run run;
        NotesPage &notes = run.show<NotesPage>(frmMain::PageNotes);
        activate(run.window.get());
        notes.Text->setFocus();
        notes.Text->insertPlainText(u"ab"_qs);
        run.dialogs.answerFile(run.path(u"ab.txt"_qs));
        run.window->document().save();

        press(notes.Text, keys);
        QCOMPARE(notes.Text->toPlainText(), text);
        const bool typed = text != u"ab";
        QCOMPARE(run.window->document().hasUnsavedChanges(), typed);
        QCOMPARE(notes.Text->hasFocus(), typed);
        QCOMPARE(run.page(), page);
    }

    void menuPlace_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("by");
        for (const QString &button : {u"cmdFile"_qs, u"cmdEdit"_qs})
            for (const QString &by : {u"mouse"_qs, u"Space"_qs})
                QTest::addRow("%s, %s", qPrintable(button), qPrintable(by)) << button << by;
    }

    // A click opens the menu at the pointer, the keyboard under the button.
    void menuPlace()
    {
        QFETCH(QString, button);
        QFETCH(QString, by);

        Run run;
        NotesPage &notes = run.show<NotesPage>(frmMain::PageNotes);
        activate(run.window.get());
        auto *pressed = notes.findChild<QPushButton *>(button);
        QMenu *menu = pressed == notes.cmdFile ? notes.mnuFile : notes.mnuEdit;
        const QPoint inside(pressed->width() - 4, 3);
        QCursor::setPos(pressed->mapToGlobal(inside));
        QTest::mouseClick(pressed, Qt::LeftButton, {}, inside); // an earlier click does not count
        menu->hide();
        if (by == u"mouse") {
            QTest::mouseClick(pressed, Qt::LeftButton, {}, inside);
        } else {
            pressed->setFocus();
            QTest::keyClick(pressed, Qt::Key_Space);
        }
        QVERIFY(menu->isVisible());
        const QPoint expected = by == u"mouse" ? QCursor::pos() : pressed->mapToGlobal(QPoint(0, pressed->height()));
        QCOMPARE(menu->pos(), expected);
        menu->hide();
    }

    void pageKeys_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<int>("to");
        QTest::newRow("Ctrl+Tab") << 0 << QKeyCombination(Qt::CTRL | Qt::Key_Tab) << 1;
        QTest::newRow("Ctrl+Tab round the end") << 2 << QKeyCombination(Qt::CTRL | Qt::Key_Tab) << 0;
        QTest::newRow("Ctrl+Shift+Tab round the start")
            << 0 << QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << 2;
        QTest::newRow("Ctrl+PgDn round the end") << 2 << QKeyCombination(Qt::CTRL | Qt::Key_PageDown) << 0;
        QTest::newRow("Ctrl+PgUp round the start") << 0 << QKeyCombination(Qt::CTRL | Qt::Key_PageUp) << 2;
    }

    // The page comes up as for a click on its tab: made when first shown.
    void pageKeys()
    {
        QFETCH(int, from);
        QFETCH(QKeyCombination, keys);
        QFETCH(int, to);

        QWidget window;
        auto *tabs = new TabControl(&window);
        tabs->resize(300, 200);
        for (const QString &caption : {u"А"_qs, u"Б"_qs, u"В"_qs})
            tabs->addPage(caption, [](QWidget *parent) { return new QLineEdit(parent); });
        tabs->setCurrentIndex(from);
        window.show();
        activate(&window);
        QVERIFY(!tabs->isPageMade(to));
        AccessibilitySpy spy;
        press(tabs->tabBar(), keys);
        // A screen reader is told the new page's tab is selected, as after a
        // click on it, and the one before it no longer is.
        const QObject *bar = tabs->tabBar();
        using Told = std::tuple<const QObject *, int, QString, bool>;
        const auto told = [&spy](QAccessible::Event type) {
            QList<Told> events;
            for (const AccessibilitySpy::Event &event : spy.of(type))
                events.append({event.object, event.child, event.name, event.selected});
            return events;
        };
        QCOMPARE(told(QAccessible::Selection), QList<Told>({{bar, to, tabs->tabBar()->tabText(to), true}}));
        QCOMPARE(told(QAccessible::SelectionRemove), QList<Told>({{bar, from, tabs->tabBar()->tabText(from), false}}));
        QCOMPARE(tabs->currentIndex(), to);
        QVERIFY(tabs->isPageMade(to) && tabs->page(to)->isVisible());
        // A reader's press on a tab shows its page.
        QAccessible::queryAccessibleInterface(tabs->tabBar())
            ->child(from)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(tabs->currentIndex(), from);
    }

    void wrappableText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("changed");
        QTest::newRow("a caption of 1,217 letters") << QString(1217, u'Ж') << true;
        QTest::newRow("letters beyond U+FFFF") << u"\U0001D400"_qs.repeated(300) << true;
        QTest::newRow("letters with accents") << u"е\u0301"_qs.repeated(300) << true;
        QTest::newRow("a path breaks at its slashes") << u"/home/user/"_qs.repeated(40) << false;
        QTest::newRow("a word of 30 letters stays whole") << QString(30, u'ы') << false;
    }

    // A box breaks a run that has no blank anywhere, and shows nothing more.
    void wrappableText()
    {
        QFETCH(QString, text);
        QFETCH(bool, changed);

        const QString shown = platform::appearance::wrappableText(text);
        QCOMPARE(QString(shown).remove(zeroWidthSpace), text);
        QCOMPARE(shown != text, changed);
        for (qsizetype i = 0; i + 1 < shown.size(); ++i) {
            if (shown.at(i) == zeroWidthSpace)
                QVERIFY2(!shown.at(i + 1).isLowSurrogate() && !shown.at(i + 1).isMark(), "a letter split");
        }
    }

    // The delete question shows such a caption inside its box.
    void longCaptionBox()
    {
        platform::QtDialogs dialogs;
        int overrun = -1;
        ModalAnswerer answerer([&overrun](QWidget *box) {
            const auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_qs);
            const QRect room(0, 0, label->width(), 100000);
            overrun = label->fontMetrics().boundingRect(room, Qt::TextWordWrap, label->text()).width() - room.width();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::No)->click();
            return true;
        });
        dialogs.message({u"Вы уверены, что хотите удалить программу из списка?\r\n\r\n"_qs + QString(1217, u'Ж'),
                         platform::Dialogs::Buttons::YesNo, platform::Dialogs::Icon::Information, QString(), 0});
        QVERIFY(answerer.answered());
        QCOMPARE_LE(overrun, 0);
    }
};

QTEST_MAIN(tst_Access)
#include "tst_access.moc"
