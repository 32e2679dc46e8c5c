#include "gamespage.h"
#include "launchpad.h"
#include "modelrun.h"
#include "padlabel.h"
#include "platformtest.h"
#include "run.h"
#include "runtimefailure.h"
#include "soundplayer.h"
#include "weblinks.h"

#include <QRegularExpression>
#include <QTimer>
#include <QtEndian>

#include <cstdlib>
#include <functional>

using Effect = FakeSystem::Effect;
using Page = LaunchPad::Page;

namespace {

// The control called name (the index-th of a control array), on the page
// that holds it brought to the front.
QWidget *control(frmMain &window, const QString &name, int index)
{
    for (int page = 0; page < window.SSTab1->count(); ++page) {
        window.SSTab1->setCurrentIndex(page);
        const QList<QWidget *> found = window.SSTab1->page(page)->findChildren<QWidget *>(name);
        if (index < found.size())
            return found[index];
    }
    return nullptr;
}

// One step of a script on the model, as "verb item", the item "t1" for the
// second tool or "g0" for the first game: "over" (the mouse over it), "later"
// (that move waiting for the next sound to start), "start", "web", "help",
// "kelvane", "refuse" (every folder and start fails), and "describe" and
// "gillrun", which write their answer to log.
void perform(LaunchPad &pad, FakeSystem &system, const QString &step, QStringList &log, QObject *waiting)
{
    const QString verb = step.section(u' ', 0, 0), item = step.section(u' ', 1);
    const Page page = item.startsWith(u'g') ? Page::Games : Page::Tools;
    const auto index = qint16(item.mid(1).toInt());
    const auto missing = platform::RuntimeFailure::withNumber(platform::failure::FileNotFound);
    const QHash<QString, std::function<void()>> verbs {
        {u"over"_qs, [&] { pad.hovered(page, index); }},
        {u"later"_qs, [&] { QTimer::singleShot(0, waiting, [&pad, page, index] { pad.hovered(page, index); }); }},
        {u"start"_qs, [&] { pad.start(page, index); }},
        {u"web"_qs, [&] { pad.openWebPage(page, index); }},
        {u"help"_qs, [&] { pad.openHelpFile(page, index); }},
        {u"kelvane"_qs, [&] { pad.startKelvane(); }},
        {u"refuse"_qs, [&] { system.failWith(Effect::SetCurrent, missing), system.failWith(Effect::Start, missing); }},
        {u"describe"_qs, [&] { log << pad.description(page, index); }},
        {u"gillrun"_qs, [&] { log << (pad.gillrunInstalled() ? u"installed"_qs : u"missing"_qs); }},
    };
    verbs.value(verb, [] { QFAIL("no such step"); })();
}

} // namespace

class tst_Launchpad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void model_data()
    {
        QTest::addColumn<QStringList>("files"); // there before the model is made; "name <loop>": a link to itself
        QTest::addColumn<QString>("steps"); // as perform() takes them, parted by ", "
        // The answers, the effects, then the messages, parted by "|": "{run X}"
        // for the click sound, the folder of X made current and X started,
        // "{open}" for the opener; {P} stands for the program folder and {W}
        // for the suite's web site.
        QTest::addColumn<QString>("log");

        const auto row = [](const char *name, const QStringList &files, const QString &steps, const QString &log) {
            QTest::newRow(name) << files << steps << log;
        };
        row("the programs", {},
            u"start t0, start t1, start t2, start t3, start t4, kelvane, start g0, start g1, start g2"_qs,
            u"{run tallyra/tallyra}|{run locksa/locksa}|{run dovrik/dovrik}|{run velmor/velmor}|{click}|"
            "{open}\"{P}My Tarnel\"|start:\"{P}kelvane\"|{run pellmell/brommel}|{run pellmell/quarrow}|"
            "{run gillrun/gillrun}"_qs);
        row("a folder that cannot be made current is skipped; only the start says it failed", {},
            u"refuse, start t2"_qs,
            u"{run dovrik/dovrik}|- x ok: Ошибка при запуске приложения:\r\n\r\n\"{P}dovrik/dovrik\"\r\n\r\nФайл не найден"_qs);
        row("the web pages", {}, u"web t0, web t1, web t2, web t3, web g0, web g1, web g2"_qs,
            u"{open}{W}/tallyra/|{open}{W}/locksa/|{open}{W}/dovrik/|{open}{W}/velmor/|{open}{W}/pellmell/brommel.htm|"
            "{open}{W}/pellmell/quarrow.htm|{open}{W}/gillrun/"_qs);
        // The opener takes the rest of the line as one target: no quotes.
        row("the help files", {u"quarrow.txt"_qs, u"gillrun/index.html"_qs}, u"help g1, help g2, help g0"_qs,
            u"{open}{P}quarrow.txt|{open}{P}gillrun/index.html|- . ok: Не найден файл {P}brommel.txt"_qs);
        row("the descriptions", {},
            u"describe t0, describe t1, describe t2, describe t3, describe t4, describe g0, describe g1, describe g2"_qs,
            u"Tallyra позволяет вести домашний бюджет, контролировать доходы и расходы, проверять штрих-код на "
            "подлинность и многое другое.|\"Locksa\" хранят Ваши секретные данные в зашифрованном виде.|"
            "Dovrik шифрует/расшифровывает любые файлы.|"
            "Velmor позволяет конвертировать тексты из кириллицы в латиницу и наоборот.|"
            "Открытие Вашей папки. В ней хранятся Ваши личные данные. Копировать туда файлы Вы можете "
            "перетаскиванием файлов из других окон, удерживая клавишу CTRL.|Запуск игры Brommel. |"
            "Запуск игры Quarrow.|Запуск игры Gillrun. (Симулятор Рыбного боя)"_qs);
        row("Gillrun installed", {u"gillrun/gillrun"_qs}, u"gillrun"_qs, u"installed"_qs);
        row("Gillrun missing", {}, u"gillrun"_qs, u"missing"_qs);
        row("an unsearchable path is a missing Gillrun", {u"gillrun <loop>"_qs}, u"gillrun"_qs, u"missing"_qs);

        row("the first tool sounds, moving within it is silent", {}, u"over t0, over t0"_qs, u"{over}"_qs);
        row("each tool newly entered sounds", {}, u"over t0, over t1, over t0, over t4"_qs,
            u"{over}|{over}|{over}|{over}"_qs);
        row("a move handled during its sound is the later one", {}, u"later t1, over t0, over t1"_qs,
            u"{over}|{over}"_qs);
        row("Brommel entered first is silent", {}, u"over g0, over g0"_qs, QString());
        row("another game first sounds", {}, u"over g1, over g0"_qs, u"{over}|{over}"_qs);
        row("each page remembers its own", {}, u"over t1, over g1"_qs, u"{over}|{over}"_qs);
    }

    void model()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, steps);
        QFETCH(QString, log);

        ModelRun run;
        for (const QString &file : files)
            run.writeFile(file.section(u' ', 0, 0), file.section(u' ', 1).toLatin1());
        LaunchPad pad(run.context);
        QObject waiting; // goes first, and with it any move never handled
        run.dialogs.answerMessage(platform::Dialogs::Answer::Ok);
        QStringList done;
        for (const QString &step : steps.split(u", "_qs))
            perform(pad, run.system, step, done, &waiting);
        log.replace(QRegularExpression(u"\\{run ((\\w+)/\\w+)\\}"_qs), u"{click}|current:{P}\\2|start:\"{P}\\1\""_qs);
        log.replace(u"{click}"_qs, u"sound:{P}tarnelclick.wav"_qs).replace(u"{over}"_qs, u"sound:{P}tarnelover.wav"_qs);
        log.replace(u"{open}"_qs, u"start:/usr/bin/xdg-open "_qs).replace(u"{P}"_qs, run.path(QString()));
        QCOMPARE(done << run.system.effects() << run.dialogs.asked(),
                 log.replace(u"{W}"_qs, weblinks::address(QString())).split(u'|', Qt::SkipEmptyParts));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        // What a double click (a click, for the button) does: a step of the
        // model's, or the path of a page on the suite's site. A control that
        // does something shows the hand pointer.
        QTest::addColumn<QString>("does");

        const auto row = [](const QByteArray &name, int index, const QString &text, const QString &toolTip = QString(),
                            const QString &does = QString()) {
            QTest::addRow("%s %d", name.constData(), index)
                << QString::fromLatin1(name) << index << text << toolTip << does;
        };
        row("Label6", 0, u"Здесь Вы можете запустить любое приложение из комплекса Orvane Tarnel. "_qs);
        const QStringList tools {u"Tallyra"_qs, u"Locksa"_qs, u"Dovrik"_qs, u"Velmor"_qs, u"Ваша папка"_qs};
        for (int i = 0; i < int(tools.size()); ++i)
            row("lblStart", i, tools.at(i), QString(), u"start t%1"_qs.arg(i));
        row("lblInfo", 0,
            u"Выделите нужную Вам программу, чтобы узнать о ней побольше, и нажмите на названии программы для ее "
            "запуска."_qs);
        row("FrameTools", 0, u"Инструменты Orvane Tarnel"_qs);
        row("cmdStartKelvane", 0, u"Kelvane"_qs, u"Запуск программы Kelvane"_qs, u"kelvane"_qs);
        row("lblTallyraOnline", 0, u"www"_qs, u"Информация о Tallyra в Интернете"_qs, u"web t0"_qs);
        row("lblLocksaOnline", 0, u"www"_qs, u"Информация о \"Locksa\" в Интернете"_qs, u"web t1"_qs);
        row("lblDovrikOnline", 0, u"www"_qs, u"Информация о Dovrik'е в Интернете"_qs, u"web t2"_qs);
        row("lblVelmorOnline", 0, u"www"_qs, u"Информация о Velmor в Интернете"_qs, u"web t3"_qs);

        row("Label10", 0, u"Для запуска выбранной игры щелкните на ее названии."_qs);
        const QStringList games {u"Brommel"_qs, u"Quarrow"_qs, u"Gillrun"_qs};
        for (int i = 0; i < int(games.size()); ++i) {
            row("lblStartGame", i, games.at(i), QString(), u"start g%1"_qs.arg(i));
            const QByteArray name = "lbl" + games.at(i).toLatin1();
            row(name + "Info", 0, u"Справка"_qs, QString(), u"help g%1"_qs.arg(i));
            row(name + "Online", 0, u"www"_qs, u"Информация о программе в Интернете"_qs, u"web g%1"_qs.arg(i));
        }
        row("imgGame", 2, QString());
        row("lblInfoGame", 0, u"Запуск игры Brommel."_qs);

        row("Label3", 0, u"Комплекс Orvane Tarnel предназначен для облегчения и ускорения работы пользователей."_qs);
        row("Label4", 0,
            u"Более подробную информацию о продукте Orvane Tarnel Вы можете найти в Интернете по адресу:"_qs);
        row("Label5", 0, u"http://www.orvane.example/mytarnel/"_qs, QString(), u"/mytarnel/"_qs);
        row("Label14", 0, u"О программе:"_qs);
        row("lblVersion", 0, u"Версия 2.1.1 BETA"_qs);
        row("Label15", 0,
            u"Orvane Tarnel запускает все программы комплекса из текущего каталога. Учтите это при создании ярлыка "
            "для программы Tarnel (по умолчанию изменять \"рабочую директорию\" не нужно)."_qs);
        row("Label11", 0, QString());
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QFETCH(QString, does);

        Run run;
        run.installGames();
        run.show<QWidget>(frmMain::PageTools);
        frmMain &window = *run.window;
        QWidget *widget = control(window, name, index);
        QVERIFY(widget && !widget->isHidden());
        QCOMPARE(widget->property(widget->inherits("QGroupBox") ? "title" : "text").toString(), text);
        QCOMPARE(widget->toolTip(), toolTip);

        const bool starts = does.startsWith(u"start"_qs);
        if (starts) {
            // A program's name, reached from another and left for the page,
            // stays red alone and shows the model's description.
            const QList<QWidget *> names = widget->parentWidget()->findChildren<QWidget *>(name);
            for (QWidget *over : {names.at((index + 1) % names.size()), widget, widget->parentWidget()})
                QTest::mouseMove(over, QPoint(2, 2));
            for (const QWidget *other : names)
                QCOMPARE(other->palette().color(QPalette::WindowText),
                         other == widget ? QColor(250, 0, 0) : QColor(Qt::black));
            QCOMPARE(control(window, name == u"lblStart"_qs ? u"lblInfo"_qs : u"lblInfoGame"_qs, 0)->property("text"),
                     window.launchPad().description(does.contains(u'g') ? Page::Games : Page::Tools, qint16(index)));
        }

        // A label acts once on a double click, sent as the system sends it:
        // press, release, press (which becomes the double click), release. A
        // program starts under the hourglass, given back after; a control
        // that does something shows the hand.
        run.system.clear();
        QSet<Qt::CursorShape> pointers; // the window's and the control's, at each effect
        run.system.whileCalled = [&] { pointers << window.cursor().shape() << widget->cursor().shape(); };
        if (qobject_cast<QLabel *>(widget))
            QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                               widget->mapTo(&window, widget->rect().center()));
        else
            QTest::mouseClick(widget, Qt::LeftButton);
        if (starts)
            QCOMPARE(pointers, QSet {Qt::WaitCursor});
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(widget->cursor().shape(), does.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);

        // What the model does, told already of the mouse over a name; the
        // about page's link opens a page of the suite's site.
        const QStringList done = run.system.effects();
        run.system.clear();
        QStringList expected;
        if (starts)
            perform(window.launchPad(), run.system, u"over"_qs + does.mid(5), expected, this);
        if (does.startsWith(u'/'))
            expected << u"start:/usr/bin/xdg-open "_qs + weblinks::address(does);
        else if (!does.isEmpty())
            perform(window.launchPad(), run.system, does, expected, this);
        QCOMPARE(done, expected << run.system.effects());
    }

    void gillrunMissing_notOffered()
    {
        Run run;
        GamesPage *page = run.start().page<GamesPage>(frmMain::PageGames);
        for (const QWidget *widget :
             QList<QWidget *> {page->lblStartGame[2], page->imgGame[2], page->helpLabels[2], page->webLabels[2]})
            QVERIFY(widget->isHidden());
        QVERIFY(!page->lblStartGame[1]->isHidden());
    }

    void shippedSounds()
    {
        for (const char *name : {"tarnelclick.wav", "tarnelover.wav"}) {
            const QByteArray bytes = readBack(QStringLiteral(TARNEL_PROGRAM_DIR "/") + QLatin1String(name));
            const auto wave = platform::sound::parseWave(bytes);
            QVERIFY2(wave && wave->format == platform::sound::SampleFormat::Signed16, name);
            const double seconds = double(wave->dataSize) / wave->frameSize / wave->sampleRate;
            QVERIFY2(seconds >= 0.1 && seconds < 1.0, qPrintable(QString::number(seconds)));
            // Quiet: no sample above half of full scale.
            int peak = 0;
            for (qsizetype i = 0; i + 1 < wave->dataSize; i += 2)
                peak = std::max(peak,
                                std::abs(int(qFromLittleEndian<qint16>(bytes.constData() + wave->dataOffset + i))));
            QVERIFY2(peak > 0 && peak < 16384, qPrintable(QString::number(peak)));
        }
    }

    // A blank alone is quoted: the model's table shows that, the program
    // folder of every test holding one.
    void programLine_quotesOnlyWhatItCan()
    {
        QCOMPARE(LaunchPad::programLine(u"/opt/tarnel/"_qs, u"t/t"_qs), u"/opt/tarnel/t/t"_qs);
        QCOMPARE(LaunchPad::programLine(u"/opt/My \"Tarnel\"/"_qs, u"t/t"_qs), u"/opt/My \"Tarnel\"/t/t"_qs);
    }
};

QTEST_MAIN(tst_Launchpad)
#include "tst_launchpad.moc"
