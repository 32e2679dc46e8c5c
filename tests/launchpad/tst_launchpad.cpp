#include "aboutpage.h"
#include "clicklabel.h"
#include "gamespage.h"
#include "launchroutines.h"
#include "padlabel.h"
#include "run.h"
#include "runtimefailure.h"
#include "soundplayer.h"
#include "toolspage.h"
#include "weblinks.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

using Answer = platform::Dialogs::Answer;
using Effect = FakeSystem::Effect;

namespace {

const QColor black(0, 0, 0);
const QColor red(250, 0, 0);

// The main window in a program folder whose path holds a blank, shown so
// that the labels receive the mouse as they do for the user.
struct Pad : Run
{
    QString folder = dir.path() + u"/Orvane Tarnel/"_qs;

    Pad()
    {
        QDir().mkpath(folder);
        system.programFolderPath = folder;
    }
    void make(const QString &name) const
    {
        QVERIFY(QDir().mkpath(QFileInfo(folder + name).path()));
        QFile file(folder + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    frmMain &show()
    {
        frmMain &window = start();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the window was not exposed");
        return window;
    }
    // Every effect so far, as "sound:", "current:" or "start:" and its argument.
    QStringList effects() const
    {
        QStringList result;
        for (const FakeSystem::Call &call : system.calls()) {
            const char *kind = call.effect == Effect::Sound      ? "sound:"
                             : call.effect == Effect::SetCurrent ? "current:"
                                                                 : "start:";
            result.append(QString::fromLatin1(kind) + call.argument);
        }
        return result;
    }
    int hoverSounds() const
    {
        return int(system.callsOf(Effect::Sound).count() - effects().filter(u"tarnelclick"_qs).count());
    }
};

// The control called name (the index-th of a control array), on the page
// that holds it brought to the front.
QWidget *control(frmMain &window, const QString &name, int index)
{
    const QList<QWidget *> found = window.findChildren<QWidget *>(name);
    if (index >= found.size())
        return nullptr;
    QWidget *widget = found[index];
    for (int page = 0; page < window.SSTab1->count(); ++page) {
        if (window.SSTab1->page(page)->isAncestorOf(widget))
            window.SSTab1->setCurrentIndex(page);
    }
    return widget;
}

// The mouse moved over widget with no button held. QTest::mouseMove moves the
// system's pointer, which gives no event when it is already there.
void moveOver(QWidget *widget)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QColor colourOf(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

// Records the pointers a widget is given in turn (a window hears of each
// change twice).
class PointerLog : public QObject
{
public:
    QList<Qt::CursorShape> shapes;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::CursorChange) {
            const auto *widget = static_cast<QWidget *>(watched);
            const Qt::CursorShape shape
                = widget->testAttribute(Qt::WA_SetCursor) ? widget->cursor().shape() : Qt::ArrowCursor;
            if (shapes.isEmpty() || shapes.constLast() != shape)
                shapes.append(shape);
        }
        return false;
    }
};

} // namespace

class tst_Launchpad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixedTexts_data();
    void fixedTexts();
    void click_data();
    void click();
    void hover_data();
    void hover();
    void hover_duringItsSound_keepsTheLaterOne();
    void failedFolderAndStart_givePointersBack();
    void gillrun_data();
    void gillrun();
    void missingHelpFile_saysWhichAndStartsNothing();
    void shippedSounds_data();
    void shippedSounds();
    void programLine_data();
    void programLine();
};

void tst_Launchpad::fixedTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("hand"); // clickable: the hand pointer

    const auto row
        = [](const char *name, int index, const QString &text, const QString &toolTip = QString(), bool hand = false) {
              QTest::addRow("%s %d", name, index) << QString::fromLatin1(name) << index << text << toolTip << hand;
          };
    const auto link = [&row](const char *name, const QString &text, const QString &toolTip = QString()) {
        row(name, 0, text, toolTip, true);
    };
    row("Label6", 0, u"Здесь Вы можете запустить любое приложение из комплекса Orvane Tarnel. "_qs);
    const QStringList tools {u"Tallyra"_qs, u"Locksa"_qs, u"Dovrik"_qs, u"Velmor"_qs, u"Ваша папка"_qs};
    for (int i = 0; i < int(tools.size()); ++i)
        row("lblStart", i, tools.at(i), QString(), true);
    row("lblInfo", 0,
        u"Выделите нужную Вам программу, чтобы узнать о ней побольше, и нажмите на названии программы для ее "
        "запуска."_qs);
    row("FrameTools", 0, u"Инструменты Orvane Tarnel"_qs);
    row("cmdStartKelvane", 0, u"Kelvane"_qs, u"Запуск программы Kelvane"_qs, true);
    link("lblTallyraOnline", u"www"_qs, u"Информация о Tallyra в Интернете"_qs);
    link("lblLocksaOnline", u"www"_qs, u"Информация о \"Locksa\" в Интернете"_qs);
    link("lblDovrikOnline", u"www"_qs, u"Информация о Dovrik'е в Интернете"_qs);
    link("lblVelmorOnline", u"www"_qs, u"Информация о Velmor в Интернете"_qs);
    row("ToolDescriptions", 0,
        u"Tallyra позволяет вести домашний бюджет, контролировать доходы и расходы, проверять штрих-код на "
        "подлинность и многое другое."_qs);
    row("ToolDescriptions", 1, u"\"Locksa\" хранят Ваши секретные данные в зашифрованном виде."_qs);
    row("ToolDescriptions", 2, u"Dovrik шифрует/расшифровывает любые файлы."_qs);
    row("ToolDescriptions", 3, u"Velmor позволяет конвертировать тексты из кириллицы в латиницу и наоборот."_qs);
    row("ToolDescriptions", 4,
        u"Открытие Вашей папки. В ней хранятся Ваши личные данные. Копировать туда файлы Вы можете "
        "перетаскиванием файлов из других окон, удерживая клавишу CTRL."_qs);

    row("Label10", 0, u"Для запуска выбранной игры щелкните на ее названии."_qs);
    const QStringList games {u"Brommel"_qs, u"Quarrow"_qs, u"Gillrun"_qs};
    for (int i = 0; i < int(games.size()); ++i)
        row("lblStartGame", i, games.at(i), QString(), true);
    row("lblInfoGame", 0, u"Запуск игры Brommel."_qs);
    for (const char *help : {"lblBrommelInfo", "lblQuarrowInfo", "lblGillrunInfo"})
        link(help, u"Справка"_qs);
    for (const char *web : {"lblBrommelOnline", "lblQuarrowOnline", "lblGillrunOnline"})
        link(web, u"www"_qs, u"Информация о программе в Интернете"_qs);
    row("GameDescriptions", 0, u"Запуск игры Brommel. "_qs);
    row("GameDescriptions", 1, u"Запуск игры Quarrow."_qs);
    row("GameDescriptions", 2, u"Запуск игры Gillrun. (Симулятор Рыбного боя)"_qs);

    row("Label3", 0, u"Комплекс Orvane Tarnel предназначен для облегчения и ускорения работы пользователей."_qs);
    row("Label4", 0, u"Более подробную информацию о продукте Orvane Tarnel Вы можете найти в Интернете по адресу:"_qs);
    link("Label5", u"http://www.orvane.example/mytarnel/"_qs);
    row("Label14", 0, u"О программе:"_qs);
    row("Label15", 0,
        u"Orvane Tarnel запускает все программы комплекса из текущего каталога. Учтите это при создании ярлыка "
        "для программы Tarnel (по умолчанию изменять \"рабочую директорию\" не нужно)."_qs);
    row("Label11", 0, QString());
}

void tst_Launchpad::fixedTexts()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(bool, hand);

    Pad pad;
    frmMain &window = pad.start();
    const AppState &state = window.context().state;
    if (name.endsWith(u"Descriptions"_qs)) {
        QCOMPARE(name.startsWith(u"Tool"_qs) ? state.ToolDescriptions[index] : state.GameDescriptions[index], text);
        return;
    }
    QWidget *widget = control(window, name, index);
    QVERIFY(widget);
    const auto *frame = qobject_cast<QGroupBox *>(widget);
    QCOMPARE(frame ? frame->title() : widget->property("text").toString(), text);
    QCOMPARE(widget->toolTip(), toolTip);
    QCOMPARE(widget->cursor().shape(), hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void tst_Launchpad::click_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    // {P} is the program folder, {W} the suite's web site.
    QTest::addColumn<QStringList>("effects");

    const auto tool = [](const char *row, int index, const QString &program) {
        QTest::newRow(row) << u"lblStart"_qs << index
                           << QStringList {u"sound:{P}tarnelclick.wav"_qs, u"current:{P}"_qs + program,
                                           u"start:\"{P}%1/%1\""_qs.arg(program)};
    };
    tool("Tallyra", 0, u"tallyra"_qs);
    tool("Locksa", 1, u"locksa"_qs);
    tool("Dovrik", 2, u"dovrik"_qs);
    tool("Velmor", 3, u"velmor"_qs);
    QTest::newRow("Ваша папка") << u"lblStart"_qs << 4
                                << QStringList {u"sound:{P}tarnelclick.wav"_qs,
                                                u"start:/usr/bin/xdg-open \"{P}My Tarnel\""_qs};
    const auto game = [](const char *row, int index, const QString &folder, const QString &program) {
        QTest::newRow(row) << u"lblStartGame"_qs << index
                           << QStringList {u"sound:{P}tarnelclick.wav"_qs, u"current:{P}"_qs + folder,
                                           u"start:\"{P}%1/%2\""_qs.arg(folder, program)};
    };
    game("Brommel", 0, u"pellmell"_qs, u"brommel"_qs);
    game("Quarrow", 1, u"pellmell"_qs, u"quarrow"_qs);
    game("Gillrun", 2, u"gillrun"_qs, u"gillrun"_qs);
    QTest::newRow("Kelvane") << u"cmdStartKelvane"_qs << 0 << QStringList {u"start:\"{P}kelvane\""_qs};

    const auto link = [](const char *name, const QString &target) {
        QTest::newRow(name) << QString::fromLatin1(name) << 0 << QStringList {u"start:/usr/bin/xdg-open "_qs + target};
    };
    link("lblTallyraOnline", u"{W}/tallyra/"_qs);
    link("lblLocksaOnline", u"{W}/locksa/"_qs);
    link("lblDovrikOnline", u"{W}/dovrik/"_qs);
    link("lblVelmorOnline", u"{W}/velmor/"_qs);
    link("lblBrommelOnline", u"{W}/pellmell/brommel.htm"_qs);
    link("lblQuarrowOnline", u"{W}/pellmell/quarrow.htm"_qs);
    link("lblGillrunOnline", u"{W}/gillrun/"_qs);
    link("Label5", u"{W}/mytarnel/"_qs);
    // The opener takes the rest of the line as one target: no quotes.
    link("lblBrommelInfo", u"{P}brommel.txt"_qs);
    link("lblQuarrowInfo", u"{P}quarrow.txt"_qs);
    link("lblGillrunInfo", u"{P}gillrun/index.html"_qs);
}

void tst_Launchpad::click()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QStringList, effects);

    Pad pad;
    for (const QString &file : {u"gillrun/gillrun"_qs, u"brommel.txt"_qs, u"quarrow.txt"_qs, u"gillrun/index.html"_qs})
        pad.make(file);
    frmMain &window = pad.show();
    QWidget *widget = control(window, name, index);
    QVERIFY(widget);
    pad.system.clear();

    // A label acts once on a double click, sent as the system sends it:
    // press, release, press (which becomes the double click), release.
    if (qobject_cast<QLabel *>(widget))
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, widget->mapTo(&window, widget->rect().center()));
    else
        QTest::mouseClick(widget, Qt::LeftButton);

    effects.replaceInStrings(u"{P}"_qs, pad.folder);
    effects.replaceInStrings(u"{W}"_qs, weblinks::address(QString()));
    // The pointer reaching a tool on its way to the click may sound as well.
    QStringList done = pad.effects();
    done.removeIf([](const QString &effect) { return effect.endsWith(u"tarnelover.wav"_qs); });
    QCOMPARE(done, effects);
    QVERIFY(pad.dialogs.calls().isEmpty());
}

void tst_Launchpad::hover_data()
{
    QTest::addColumn<bool>("games");
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<int>("lastRed");
    QTest::addColumn<int>("sounds");

    QTest::newRow("first tool sounds, moving within it is silent") << false << QList<int> {0, 0} << 0 << 1;
    QTest::newRow("the next tool sounds and the former turns black") << false << QList<int> {0, 1} << 1 << 2;
    QTest::newRow("re-entering the last tool is silent") << false << QList<int> {3, -1, 3} << 3 << 1;
    QTest::newRow("Brommel entered first is silent") << true << QList<int> {0} << 0 << 0;
    QTest::newRow("another game first sounds") << true << QList<int> {1, 0} << 0 << 2;
    QTest::newRow("a game shows its own description") << true << QList<int> {0, 2} << 2 << 1;
}

void tst_Launchpad::hover()
{
    QFETCH(bool, games);
    QFETCH(QList<int>, moves);
    QFETCH(int, lastRed);
    QFETCH(int, sounds);

    Pad pad;
    pad.make(u"gillrun/gillrun"_qs);
    frmMain &window = pad.show();
    const AppState &state = window.context().state;
    const QString description = games ? state.GameDescriptions[lastRed] : state.ToolDescriptions[lastRed];
    const auto *info = qobject_cast<QLabel *>(control(window, games ? u"lblInfoGame"_qs : u"lblInfo"_qs, 0));
    const QList<QLabel *> labels = window.findChildren<QLabel *>(games ? u"lblStartGame"_qs : u"lblStart"_qs);
    QCOMPARE(labels.size(), games ? 3 : 5);
    for (const QLabel *label : labels)
        QCOMPARE(colourOf(label), black);

    // -1: over the page, off every label.
    for (const int move : moves)
        moveOver(move < 0 ? info->parentWidget() : labels[move]);

    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(colourOf(labels[i]), i == lastRed ? red : black);
    QCOMPARE(info->text(), description);
    QCOMPARE(pad.hoverSounds(), sounds);
    if (sounds > 0)
        QCOMPARE(pad.system.callsOf(Effect::Sound).constLast().argument, pad.folder + u"tarnelover.wav"_qs);
}

void tst_Launchpad::hover_duringItsSound_keepsTheLaterOne()
{
    Pad pad;
    frmMain &window = pad.show();
    ToolsPage *page = window.page<ToolsPage>(frmMain::PageTools);
    // Waiting when the first hover starts its sound, which lets it in.
    QCoreApplication::postEvent(page->lblStart[1], new QMouseEvent(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2),
                                                                   Qt::NoButton, Qt::NoButton, Qt::NoModifier));

    page->lblStart_MouseMove(0);
    QCOMPARE(pad.hoverSounds(), 2);
    QCOMPARE(colourOf(page->lblStart[1]), red);

    // Locksa is the one entered last, so being over it again is silent.
    page->lblStart_MouseMove(1);
    QCOMPARE(pad.hoverSounds(), 2);
}

void tst_Launchpad::failedFolderAndStart_givePointersBack()
{
    Pad pad;
    frmMain &window = pad.show();
    QLabel *label = window.page<ToolsPage>(frmMain::PageTools)->lblStart[2];
    PointerLog windowLog;
    PointerLog labelLog;
    window.installEventFilter(&windowLog);
    label->installEventFilter(&labelLog);
    // The folder is skipped silently; only the start says it failed.
    pad.system.failWith(Effect::SetCurrent, platform::RuntimeFailure::withNumber(platform::failure::PathNotFound));
    pad.system.failWith(Effect::Start, platform::RuntimeFailure::withNumber(platform::failure::FileNotFound));
    pad.dialogs.answerMessage(Answer::Ok);

    window.page<ToolsPage>(frmMain::PageTools)->lblStart_Click(2);

    QCOMPARE(pad.system.callsOf(Effect::Start).size(), 1);
    QCOMPARE(pad.dialogs.messages().size(), 1);
    QCOMPARE(windowLog.shapes, (QList<Qt::CursorShape> {Qt::WaitCursor, Qt::ArrowCursor}));
    QCOMPARE(labelLog.shapes, (QList<Qt::CursorShape> {Qt::WaitCursor, Qt::PointingHandCursor}));
}

void tst_Launchpad::gillrun_data()
{
    QTest::addColumn<QString>("folder"); // "file": holds the program, "loop": a link to itself
    QTest::newRow("installed") << u"file"_qs;
    QTest::newRow("missing") << QString();
    QTest::newRow("a search that cannot be made is a missing file") << u"loop"_qs;
}

void tst_Launchpad::gillrun()
{
    QFETCH(QString, folder);
    const bool installed = folder == u"file"_qs;
    Pad pad;
    if (installed)
        pad.make(u"gillrun/gillrun"_qs);
    if (folder == u"loop"_qs)
        QVERIFY(QFile::link(pad.folder + u"gillrun"_qs, pad.folder + u"gillrun"_qs));
    GamesPage *page = pad.start().page<GamesPage>(frmMain::PageGames);

    for (const QWidget *widget :
         QList<QWidget *> {page->lblStartGame[2], page->imgGame[2], page->lblGillrunInfo, page->lblGillrunOnline})
        QCOMPARE(widget->isHidden(), !installed);
    QVERIFY(!page->lblStartGame[1]->isHidden());
}

void tst_Launchpad::missingHelpFile_saysWhichAndStartsNothing()
{
    Pad pad;
    // A name that cannot be searched, a link to itself, counts as missing.
    QVERIFY(QFile::link(pad.folder + u"brommel.txt"_qs, pad.folder + u"brommel.txt"_qs));
    frmMain &window = pad.start();
    pad.dialogs.answerMessage(Answer::Ok);
    pad.dialogs.answerMessage(Answer::Ok);

    window.page<GamesPage>(frmMain::PageGames)->lblQuarrowInfo_Click();
    window.page<GamesPage>(frmMain::PageGames)->lblBrommelInfo_Click();

    QCOMPARE(pad.dialogs.asked(), (QStringList {u"- . ok: Не найден файл "_qs + pad.folder + u"quarrow.txt"_qs,
                                                u"- . ok: Не найден файл "_qs + pad.folder + u"brommel.txt"_qs}));
    QVERIFY(pad.system.callsOf(Effect::Start).isEmpty());
}

void tst_Launchpad::shippedSounds_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("click") << u"tarnelclick.wav"_qs;
    QTest::newRow("hover") << u"tarnelover.wav"_qs;
}

void tst_Launchpad::shippedSounds()
{
    QFETCH(QString, name);
    QFile file(QStringLiteral(TARNEL_PROGRAM_DIR "/") + name);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray bytes = file.readAll();
    const auto wave = platform::sound::parseWave(bytes);
    QVERIFY(wave);
    QCOMPARE(wave->format, platform::sound::SampleFormat::Signed16);
    const double seconds = double(wave->dataSize) / wave->frameSize / wave->sampleRate;
    QVERIFY2(seconds >= 0.1 && seconds < 1.0, qPrintable(QString::number(seconds)));
    // Quiet: no sample above half of full scale.
    const char *samples = bytes.constData() + wave->dataOffset;
    int peak = 0;
    for (qsizetype i = 0; i + 1 < wave->dataSize; i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples + i))));
    QVERIFY2(peak > 0 && peak < 16384, qPrintable(QString::number(peak)));
}

void tst_Launchpad::programLine_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("line");

    QTest::newRow("no blank: as it stands") << u"/opt/tarnel/"_qs << u"/opt/tarnel/tallyra/tallyra"_qs;
    QTest::newRow("blank: quoted") << u"/opt/My Tarnel/"_qs << u"\"/opt/My Tarnel/tallyra/tallyra\""_qs;
    QTest::newRow("blank and quote: unquotable")
        << u"/opt/My \"Tarnel\"/"_qs << u"/opt/My \"Tarnel\"/tallyra/tallyra"_qs;
}

void tst_Launchpad::programLine()
{
    QFETCH(QString, folder);
    QFETCH(QString, line);
    QCOMPARE(launchpad::programLine(folder, u"tallyra/tallyra"_qs), line);
}

QTEST_MAIN(tst_Launchpad)
#include "tst_launchpad.moc"
