#include "gamespage.h"
#include "launchroutines.h"
#include "padlabel.h"
#include "run.h"
#include "runtimefailure.h"
#include "soundplayer.h"
#include "toolspage.h"
#include "weblinks.h"

#include <QApplication>
#include <QGroupBox>
#include <QMouseEvent>
#include <QtEndian>

#include <cstdlib>

using Effect = FakeSystem::Effect;

namespace {

struct Pad : Run
{
    const QString folder = path(QString());

    frmMain &show()
    {
        Run::show<QWidget>(frmMain::PageTools);
        return *window;
    }
};

// The control called name (the index-th of a control array), on the page
// that holds it brought to the front.
QWidget *control(frmMain &window, const QString &name, int index)
{
    for (int page = 0; page < window.SSTab1->count(); ++page) {
        const QList<QWidget *> found = window.SSTab1->page(page)->findChildren<QWidget *>(name);
        if (index < found.size()) {
            window.SSTab1->setCurrentIndex(page);
            return found[index];
        }
    }
    return nullptr;
}

} // namespace

class tst_Launchpad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        // What a double click (a click, for the button) does, {P} standing for the
        // program folder and {W} for the suite's web site. A control that does
        // something shows the hand pointer.
        QTest::addColumn<QStringList>("effects");

        const auto row = [](const char *name, int index, const QString &text, const QString &toolTip = QString(),
                            const QStringList &effects = QStringList()) {
            QTest::addRow("%s %d", name, index) << QString::fromLatin1(name) << index << text << toolTip << effects;
        };
        const auto start = [&row](const char *name, int index, const QString &text, const QString &line) {
            row(name, index, text, QString(),
                {u"sound:{P}tarnelclick.wav"_qs, u"current:{P}"_qs + line.section(u'/', 0, 0),
                 u"start:\"{P}%1\""_qs.arg(line)});
        };
        const auto open = [&row](const char *name, const QString &text, const QString &toolTip, const QString &target) {
            row(name, 0, text, toolTip, {u"start:/usr/bin/xdg-open "_qs + target});
        };
        const auto descriptions = [&row](const char *name, const QStringList &texts) {
            for (int i = 0; i < int(texts.size()); ++i)
                row(name, i, texts.at(i));
        };
        row("Label6", 0, u"Здесь Вы можете запустить любое приложение из комплекса Orvane Tarnel. "_qs);
        start("lblStart", 0, u"Tallyra"_qs, u"tallyra/tallyra"_qs);
        start("lblStart", 1, u"Locksa"_qs, u"locksa/locksa"_qs);
        start("lblStart", 2, u"Dovrik"_qs, u"dovrik/dovrik"_qs);
        start("lblStart", 3, u"Velmor"_qs, u"velmor/velmor"_qs);
        row("lblStart", 4, u"Ваша папка"_qs, QString(),
            {u"sound:{P}tarnelclick.wav"_qs, u"start:/usr/bin/xdg-open \"{P}My Tarnel\""_qs});
        row("lblInfo", 0,
            u"Выделите нужную Вам программу, чтобы узнать о ней побольше, и нажмите на названии программы для ее "
            "запуска."_qs);
        row("FrameTools", 0, u"Инструменты Orvane Tarnel"_qs);
        row("cmdStartKelvane", 0, u"Kelvane"_qs, u"Запуск программы Kelvane"_qs, {u"start:\"{P}kelvane\""_qs});
        open("lblTallyraOnline", u"www"_qs, u"Информация о Tallyra в Интернете"_qs, u"{W}/tallyra/"_qs);
        open("lblLocksaOnline", u"www"_qs, u"Информация о \"Locksa\" в Интернете"_qs, u"{W}/locksa/"_qs);
        open("lblDovrikOnline", u"www"_qs, u"Информация о Dovrik'е в Интернете"_qs, u"{W}/dovrik/"_qs);
        open("lblVelmorOnline", u"www"_qs, u"Информация о Velmor в Интернете"_qs, u"{W}/velmor/"_qs);
        // The descriptions are the model's, there before any page is made.
        descriptions(
            "ToolDescriptions",
            {u"Tallyra позволяет вести домашний бюджет, контролировать доходы и расходы, проверять штрих-код на "
             "подлинность и многое другое."_qs,
             u"\"Locksa\" хранят Ваши секретные данные в зашифрованном виде."_qs,
             u"Dovrik шифрует/расшифровывает любые файлы."_qs,
             u"Velmor позволяет конвертировать тексты из кириллицы в латиницу и наоборот."_qs,
             u"Открытие Вашей папки. В ней хранятся Ваши личные данные. Копировать туда файлы Вы можете "
             "перетаскиванием файлов из других окон, удерживая клавишу CTRL."_qs});

        row("Label10", 0, u"Для запуска выбранной игры щелкните на ее названии."_qs);
        start("lblStartGame", 0, u"Brommel"_qs, u"pellmell/brommel"_qs);
        start("lblStartGame", 1, u"Quarrow"_qs, u"pellmell/quarrow"_qs);
        start("lblStartGame", 2, u"Gillrun"_qs, u"gillrun/gillrun"_qs);
        row("lblInfoGame", 0, u"Запуск игры Brommel."_qs);
        // The opener takes the rest of the line as one target: no quotes.
        open("lblBrommelInfo", u"Справка"_qs, QString(), u"{P}brommel.txt"_qs);
        open("lblQuarrowInfo", u"Справка"_qs, QString(), u"{P}quarrow.txt"_qs);
        open("lblGillrunInfo", u"Справка"_qs, QString(), u"{P}gillrun/index.html"_qs);
        const QString gameWeb = u"Информация о программе в Интернете"_qs;
        open("lblBrommelOnline", u"www"_qs, gameWeb, u"{W}/pellmell/brommel.htm"_qs);
        open("lblQuarrowOnline", u"www"_qs, gameWeb, u"{W}/pellmell/quarrow.htm"_qs);
        open("lblGillrunOnline", u"www"_qs, gameWeb, u"{W}/gillrun/"_qs);
        descriptions("GameDescriptions", {u"Запуск игры Brommel. "_qs, u"Запуск игры Quarrow."_qs,
                                          u"Запуск игры Gillrun. (Симулятор Рыбного боя)"_qs});

        row("Label3", 0, u"Комплекс Orvane Tarnel предназначен для облегчения и ускорения работы пользователей."_qs);
        row("Label4", 0,
            u"Более подробную информацию о продукте Orvane Tarnel Вы можете найти в Интернете по адресу:"_qs);
        open("Label5", u"http://www.orvane.example/mytarnel/"_qs, QString(), u"{W}/mytarnel/"_qs);
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
        QFETCH(QStringList, effects);

        Pad pad;
        pad.installGames();
        if (name.endsWith(u"Descriptions"_qs)) {
            const LaunchPad &model = pad.start().launchPad();
            QCOMPARE(model.description(name.startsWith(u"Tool"_qs) ? LaunchPad::Page::Tools : LaunchPad::Page::Games,
                                       qint16(index)),
                     text);
            return;
        }
        frmMain &window = pad.show();
        QWidget *widget = control(window, name, index);
        QVERIFY(widget);
        const auto *frame = qobject_cast<QGroupBox *>(widget);
        QCOMPARE(frame ? frame->title() : widget->property("text").toString(), text);
        QCOMPARE(widget->toolTip(), toolTip);
        QCOMPARE(widget->cursor().shape(), effects.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);

        // A label acts once on a double click, sent as the system sends it:
        // press, release, press (which becomes the double click), release.
        pad.system.clear();
        if (qobject_cast<QLabel *>(widget))
            QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                               widget->mapTo(&window, widget->rect().center()));
        else
            QTest::mouseClick(widget, Qt::LeftButton);
        effects.replaceInStrings(u"{P}"_qs, pad.folder);
        effects.replaceInStrings(u"{W}"_qs, weblinks::address(QString()));
        // The pointer reaching a tool on its way to the click may sound as well.
        QStringList done = pad.system.effects();
        done.removeIf([](const QString &effect) { return effect.endsWith(u"tarnelover.wav"_qs); });
        QCOMPARE(done, effects);
        QVERIFY(pad.dialogs.calls().isEmpty());
    }

    void hover_data()
    {
        QTest::addColumn<bool>("games");
        QTest::addColumn<bool>("onPage"); // the mouse over the page's labels, or the model told of each move
        QTest::addColumn<QList<int>>("moves"); // -1: over the page, off every label
        QTest::addColumn<int>("waiting"); // a further move waiting when the first sound starts; -1: none
        QTest::addColumn<int>("sounds");

        const auto row = [](const char *name, bool games, bool onPage, const QList<int> &moves, int sounds,
                            int waiting = -1) { QTest::newRow(name) << games << onPage << moves << waiting << sounds; };
        row("the first tool sounds, moving within it is silent", false, false, {0, 0}, 1);
        row("every other tool entered sounds", false, false, {0, 1, 0, 4}, 4);
        row("a move handled during its sound is the later one", false, false, {0, 1}, 2, 1);
        row("Brommel entered first is silent", true, false, {0, 0}, 0);
        row("another game first sounds", true, false, {1, 0}, 2);
        row("the next tool turns red, the former black", false, true, {0, 1}, 2);
        row("leaving for the page and back is silent", false, true, {3, -1, 3}, 1);
        row("a game shows its own description", true, true, {0, 2}, 1);
    }

    void hover()
    {
        QFETCH(bool, games);
        QFETCH(bool, onPage);
        QFETCH(QList<int>, moves);
        QFETCH(int, waiting);
        QFETCH(int, sounds);

        Pad pad;
        pad.writeFile(u"gillrun/gillrun"_qs, {});
        frmMain &window = onPage ? pad.show() : pad.start();
        LaunchPad &model = window.launchPad();
        const auto tell
            = [&](int move) { model.hovered(games ? LaunchPad::Page::Games : LaunchPad::Page::Tools, qint16(move)); };
        // Playing the sound lets waiting events run first.
        if (waiting >= 0)
            QMetaObject::invokeMethod(
                &window, [&tell, waiting] { tell(waiting); }, Qt::QueuedConnection);
        const QString name = games ? u"lblStartGame"_qs : u"lblStart"_qs;
        const auto colours = [&](int red) {
            for (int i = 0; i < (games ? LaunchPad::GameCount : LaunchPad::ToolCount); ++i)
                QCOMPARE(control(window, name, i)->palette().color(QPalette::WindowText),
                         i == red ? QColor(250, 0, 0) : QColor(Qt::black));
        };
        if (onPage)
            colours(-1);
        for (const int move : moves) {
            if (!onPage) {
                tell(move);
                continue;
            }
            // QTest::mouseMove moves the system's pointer, which gives no event
            // when it is already there.
            QWidget *over = move < 0 ? control(window, name, 0)->parentWidget() : control(window, name, move);
            QMouseEvent event(QEvent::MouseMove, QPointF(2, 2), over->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(over, &event);
        }
        QCOMPARE(pad.system.effects(), QStringList(sounds, u"sound:"_qs + pad.folder + u"tarnelover.wav"_qs));
        if (onPage) {
            const int last = moves.constLast();
            colours(last);
            QCOMPARE(control(window, games ? u"lblInfoGame"_qs : u"lblInfo"_qs, 0)->property("text").toString(),
                     model.description(games ? LaunchPad::Page::Games : LaunchPad::Page::Tools, qint16(last)));
        }
    }

    void failedFolderAndStart_givePointersBack()
    {
        Pad pad;
        frmMain &window = pad.show();
        QLabel *label = window.page<ToolsPage>(frmMain::PageTools)->lblStart[2];
        // The folder is skipped silently; only the start says it failed.
        pad.system.failWith(Effect::SetCurrent, platform::RuntimeFailure::withNumber(platform::failure::PathNotFound));
        pad.system.failWith(Effect::Start, platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
        QList<Qt::CursorShape> pointers; // the window's and the label's, at each effect and after
        pad.system.whileCalled = [&] { pointers << window.cursor().shape() << label->cursor().shape(); };
        pad.dialogs.answerMessage(platform::Dialogs::Answer::Ok);

        window.page<ToolsPage>(frmMain::PageTools)->lblStart_Click(2);

        pointers << window.cursor().shape() << label->cursor().shape();
        QCOMPARE(pointers, (QList<Qt::CursorShape> {Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor,
                                                    Qt::ArrowCursor, Qt::PointingHandCursor}));
        QCOMPARE(pad.system.callsOf(Effect::Start).size(), 1);
        QCOMPARE(pad.dialogs.messages().size(), 1);
    }

    void gillrun_data()
    {
        QTest::addColumn<QString>("folder"); // "file": holds the program, "loop": a link to itself
        QTest::newRow("installed") << u"file"_qs;
        QTest::newRow("missing") << QString();
        QTest::newRow("a search that cannot be made is a missing file") << u"loop"_qs;
    }

    void gillrun()
    {
        QFETCH(QString, folder);
        const bool installed = folder == u"file"_qs;
        Pad pad;
        if (installed)
            pad.writeFile(u"gillrun/gillrun"_qs, {});
        if (folder == u"loop"_qs)
            pad.writeFile(u"gillrun"_qs, "<loop>");
        frmMain &window = pad.start();
        QCOMPARE(window.launchPad().gillrunInstalled(), installed);

        // Neither Gillrun, nor its help and web page, are offered when missing.
        GamesPage *page = window.page<GamesPage>(frmMain::PageGames);
        for (const QWidget *widget :
             QList<QWidget *> {page->lblStartGame[2], page->imgGame[2], page->helpLabels[2], page->webLabels[2]})
            QCOMPARE(widget->isHidden(), !installed);
        QVERIFY(!page->lblStartGame[1]->isHidden());
    }

    void missingHelpFile_saysWhichAndStartsNothing()
    {
        Pad pad;
        pad.dialogs.answerMessage(platform::Dialogs::Answer::Ok);
        pad.start().launchPad().openHelpFile(LaunchPad::Page::Games, 1);
        QCOMPARE(pad.dialogs.asked(), QStringList {u"- . ok: Не найден файл "_qs + pad.folder + u"quarrow.txt"_qs});
        QVERIFY(pad.system.calls().isEmpty());
    }

    void shippedSounds()
    {
        for (const char *name : {"tarnelclick.wav", "tarnelover.wav"}) {
            QFile file(QStringLiteral(TARNEL_PROGRAM_DIR "/") + QLatin1String(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), name);
            const QByteArray bytes = file.readAll();
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

    // A blank alone is quoted: the controls table shows that, the program
    // folder of every test holding one.
    void programLine_quotesOnlyWhatItCan()
    {
        QCOMPARE(LaunchPad::programLine(u"/opt/tarnel/"_qs, u"t/t"_qs), u"/opt/tarnel/t/t"_qs);
        QCOMPARE(LaunchPad::programLine(u"/opt/My \"Tarnel\"/"_qs, u"t/t"_qs), u"/opt/My \"Tarnel\"/t/t"_qs);
    }
};

QTEST_MAIN(tst_Launchpad)
#include "tst_launchpad.moc"
