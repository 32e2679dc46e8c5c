#include "codepage.h"
#include "recoverycopy.h"
#include "run.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

#include <csignal>
#include <sys/stat.h>

using Answer = platform::Dialogs::Answer;

class TestRecoveryShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void keptWhileUnsaved();
    void copyFollowsEveryEdit();
    void shutDown_data();
    void shutDown();
    void runningProgramsCopyIsNotOffered();
    void unreadableCopy_data();
    void unreadableCopy();
    void endedAndStartedAgain_data();
    void endedAndStartedAgain();

private:
    std::unique_ptr<QTemporaryDir> m_state;
};

namespace {

const QString typed = u"Заметка \u4e2d"_qs;

void type(frmMain &window, const QString &text)
{
    QTextCursor cursor(window.document().document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

// Something unsaved on every page.
void changeEverything(frmMain &window)
{
    window.document().setDocumentText(typed);
    window.programs().add(ProgramEntry {u"Редактор"_qs, u"editor --new"_qs});
    window.phoneBook().grid().setText(0, 0, u"Анна"_qs);
    window.phoneBook().grid().setText(0, 1, u"555"_qs);
    window.phoneBook().PhoneCh = true;
    Q_EMIT window.phoneBook().changed();
}

std::optional<recovery::Contents> copyOf(frmMain &window)
{
    return recovery::readFile(window.recovery().copyPath()).contents;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The copy a program that ended without a question leaves behind.
QString leaveCopy(Run &run)
{
    frmMain &window = run.start();
    changeEverything(window);
    window.recovery().writeNow();
    const QString dead = QFileInfo(window.recovery().copyPath()).path() + u"/copy-999999999-1.tnr"_qs;
    QFile::rename(window.recovery().copyPath(), dead);
    run.window.reset();
    return dead;
}

// What the first run leaves in the document: a file read gets its last line end.
const QString typedAfterOld = u"Старый\r\nтекст\r\n\r\nНовая строка \u4e2d\ufeff!"_qs;

// The real program in run's folder opens the last file and types at its end, adds
// a phone entry, deletes the first program, is left asking whether to save and is ended.
void typeAndEnd(const Run &run, int ending)
{
    const bool handled = ending != SIGKILL && ending != SIGABRT;
    QTemporaryDir hand;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_PLUGIN_PATH"_qs, QStringLiteral(TYPIST_PLUGINS));
    environment.insert(u"QT_QPA_GENERIC_PLUGINS"_qs, u"tarneltypist"_qs);
    environment.insert(u"TARNEL_TYPIST"_qs, hand.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(run.path(u"tarnel"_qs), {});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(hand.filePath(u"typed"_qs)), 20000);
    const auto copy = [state = recovery::folderFor(run.dir.path())]() -> std::optional<recovery::Contents> {
        const QStringList names = filesIn(state);
        return names.size() == 1 ? recovery::readFile(state + u"/"_qs + names.first()).contents : std::nullopt;
    };
    // Unannounced, it has only what the delay wrote.
    if (!handled)
        QTRY_VERIFY_WITH_TIMEOUT(copy() && copy()->notesText == typedAfterOld && copy()->hasPhones, 10000);
    if (ending == SIGABRT)
        QFile(hand.filePath(u"abort"_qs)).open(QIODevice::WriteOnly);
    else
        ::kill(pid_t(process.processId()), ending);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus() == QProcess::NormalExit, handled);
    QCOMPARE(process.exitCode(), handled ? 0 : ending);
}

// Started again, the program offered what the first run left and did as told.
void checkSecondStart(const Run &run, frmMain &window, Answer answer)
{
    const QString state = recovery::folderFor(run.dir.path());
    const QStringList asked = run.dialogs.asked();
    QCOMPARE(run.dialogs.unusedAnswers(), 0);
    QVERIFY2(asked.first().contains(QRegularExpression(u"Найдены несохраненные изменения от \\d\\d\\.\\d\\d\\.\\d{4} "
                                                       u"\\d\\d:\\d\\d: записи, список программ, телефонная книга\\. "
                                                       u"Восстановить\\?$"_qs)),
             qPrintable(asked.first()));
    if (answer == Answer::Yes) {
        QCOMPARE(window.document().documentText(), typedAfterOld);
        QCOMPARE(window.document().CurrentFile, run.path(u"note.txt"_qs));
        QVERIFY(window.document().Change && window.programs().hasUnsavedChanges() && window.phoneBook().PhoneCh);
        QCOMPARE(window.programs().count(), 1);
        QCOMPARE(window.programs().entry(0).Command, u"new"_qs);
        const PhoneGrid &grid = window.phoneBook().grid();
        QCOMPARE((QStringList {grid.text(0, 0), grid.text(0, 1), grid.text(1, 0), grid.text(2, 0)}),
                 (QStringList {u"Анна"_qs, u"555"_qs, u"Boris"_qs, QString()}));
        // This program keeps the work in its own copy from now on.
        QCOMPARE(filesIn(state), QStringList {recovery::ownFileName()});
    } else {
        QVERIFY(!window.anythingChanged());
        const QStringList aside = filesIn(state);
        QCOMPARE(aside.size(), 1);
        QVERIFY(aside.first().startsWith(u"kept-"_qs));
        QVERIFY(asked.last().contains(state + u"/"_qs + aside.first()));
    }
}

} // namespace

void TestRecoveryShell::init()
{
    // Each test keeps its copies in a state folder of its own.
    m_state = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_state->path()));
}

void TestRecoveryShell::keptWhileUnsaved()
{
    Run run;
    frmMain &window = run.start();
    window.recovery().setDelay(60000);
    QVERIFY(!QFile::exists(window.recovery().copyPath()));
    // The first change is kept at once, the next ones a delay later.
    type(window, u"а"_qs);
    QTRY_VERIFY(copyOf(window));
    QCOMPARE(copyOf(window)->notesText, u"а"_qs);
    window.recovery().setDelay(50);
    QVERIFY(!copyOf(window)->hasPrograms && !copyOf(window)->hasPhones);
    type(window, typed);
    QTRY_COMPARE(copyOf(window)->notesText, u"а"_qs + typed);
    // Saved: nothing is left to keep.
    window.document().CurrentFile = run.path(u"note.txt"_qs);
    run.dialogs.answerMessage(Answer::Yes); // "?" for what Windows-1251 cannot hold
    QCOMPARE(window.document().save(), SaveOutcome::Saved);
    QTRY_VERIFY(!QFile::exists(window.recovery().copyPath()));
    QVERIFY(filesIn(QFileInfo(window.recovery().copyPath()).path()).isEmpty());
}

void TestRecoveryShell::copyFollowsEveryEdit()
{
    // The copy replays the edits rather than taking the whole text: every
    // kind of edit must come out as the document has it.
    Run run;
    frmMain &window = run.start();
    window.recovery().setDelay(60000);
    QTextDocument *document = window.document().document();
    quint32 seed = 1;
    const auto random = [&seed](int below) { return int((seed = seed * 1103515245 + 12345) >> 16) % below; };
    const QString pieces[]
        = {u"а"_qs, u"\u2029"_qs, u"\u2028"_qs, u"длинная строка \u4e2d\u2029\u2029"_qs, u"\u00a0"_qs};
    for (int round = 0; round < 40; ++round) {
        QTextCursor cursor(document);
        const int length = document->characterCount() - 1;
        switch (random(6)) {
        case 0:
        case 1:
            cursor.setPosition(random(length + 1));
            cursor.insertText(pieces[random(5)]);
            break;
        case 2:
            cursor.setPosition(random(length + 1));
            cursor.setPosition(std::min(length, cursor.position() + random(8)), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        case 3:
            document->undo();
            break;
        case 4:
            document->redo();
            break;
        case 5:
            window.document().insertDateTime();
            break;
        }
        // What the edits cannot follow, and a copy that cannot be appended
        // to, are written whole.
        if (round == 10)
            window.document().setDocumentText(u"новый\r\nтекст\n"_qs + QString(RecoveryKeeper::largeEdit, u'ы'));
        if (round == 20)
            QFile::remove(window.recovery().copyPath());
        if (!window.document().Change)
            window.document().Text_Change();
        if (round % 3 == 0) {
            window.recovery().writeNow();
            QCOMPARE(copyOf(window).value_or(recovery::Contents {}).notesText, window.document().documentText());
        }
    }
    window.recovery().writeNow();
    QCOMPARE(copyOf(window)->notesText, window.document().documentText());
}

void TestRecoveryShell::shutDown_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("session"); // the desktop session ends rather than the user closing
    QTest::addColumn<bool>("kept");
    QTest::newRow("nothing changed") << u"unchanged"_qs << false << false;
    QTest::newRow("Нет") << u"no"_qs << false << false;
    QTest::newRow("Да, Save As cancelled") << u"cancel"_qs << false << true;
    QTest::newRow("Да, all saved") << u"saved"_qs << false << false;
    QTest::newRow("failed save, then Нет") << u"failed"_qs << false << true;
    QTest::newRow("session, may not ask") << u"unasked"_qs << true << true;
    QTest::newRow("session, failed save, then Нет") << u"failed"_qs << true << true;
}

void TestRecoveryShell::shutDown()
{
    QFETCH(QString, how);
    QFETCH(bool, session);
    QFETCH(bool, kept);
    Run run;
    frmMain &window = run.start();
    const auto end = [&] { return session ? window.sessionEnding(how != u"unasked") : window.Form_Unload(); };
    // The first change is kept at once, the rest only by the ending.
    if (how != u"unchanged") {
        type(window, u"а"_qs);
        type(window, typed);
    }
    if (how == u"no") {
        run.dialogs.answerMessage(Answer::No);
    } else if (how == u"cancel") {
        run.dialogs.answerMessage(Answer::Yes);
        run.dialogs.answerFile(QString());
    } else if (how == u"saved") {
        window.document().CurrentFile = run.path(u"note.txt"_qs);
        run.dialogs.answerMessage(Answer::Yes);
        run.dialogs.answerMessage(Answer::Yes); // "?" for what Windows-1251 cannot hold
    } else if (how == u"failed") {
        run.writeFile(u"file"_qs, "x");
        window.document().CurrentFile = run.path(u"file/note.txt"_qs);
        run.dialogs.answerMessage(Answer::Yes);
        run.dialogs.answerMessage(Answer::Yes);
        run.dialogs.answerMessage(Answer::Ok); // the failure
        QVERIFY(!end());
        run.dialogs.answerMessage(Answer::No);
    }
    QVERIFY(end());
    QCOMPARE(run.dialogs.unusedAnswers(), 0);
    QCOMPARE(QFile::exists(window.recovery().copyPath()), kept);
    if (kept)
        QCOMPARE(copyOf(window)->notesText, u"а"_qs + typed);
}

void TestRecoveryShell::runningProgramsCopyIsNotOffered()
{
    // Another program on the same folder, still running (process 1 always is),
    // keeps its own copy: a second start neither offers nor moves it.
    Run run;
    const QString dead = leaveCopy(run);
    const QString living = QFileInfo(dead).path() + u"/copy-1-1.tnr"_qs;
    QVERIFY(QFile::rename(dead, living));
    run.dialogs.clear();
    frmMain &window = run.start();
    QVERIFY(run.dialogs.asked().isEmpty());
    QVERIFY(!window.anythingChanged());
    QVERIFY(recovery::readFile(living).contents);
    type(window, u"мой"_qs);
    window.recovery().writeNow();
    QCOMPARE(filesIn(QFileInfo(living).path()), (QStringList {u"copy-1-1.tnr"_qs, recovery::ownFileName()}));
}

void TestRecoveryShell::unreadableCopy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString unread = u"Несохраненные изменения прошлого сеанса не удалось прочитать."_qs;
    // Every way a copy cannot be read takes one way here.
    QTest::newRow("damaged") << u"damaged"_qs << unread;
    QTest::newRow("too many rows") << u"rows"_qs << unread;
    QTest::newRow("folder open to others") << u"open"_qs << u"Копии несохраненных изменений не будут сохраняться"_qs;
}

void TestRecoveryShell::unreadableCopy()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    Run run;
    const QString dead = leaveCopy(run);
    if (kind == u"open") {
        QVERIFY(::chmod(QFile::encodeName(QFileInfo(dead).path()).constData(), 0755) == 0);
    } else if (kind == u"damaged") {
        QVERIFY(QFile::resize(dead, QFileInfo(dead).size() - 3));
    } else {
        recovery::Contents contents;
        contents.written = QDateTime::currentDateTime();
        contents.hasPhones = true;
        contents.phones = QList<recovery::Pair>(51);
        recovery::write(dead, contents);
    }
    run.dialogs.clear();
    run.dialogs.answerMessage(Answer::Ok);
    frmMain &window = run.start();
    QCOMPARE(run.dialogs.unusedAnswers(), 0);
    QVERIFY(!window.anythingChanged());
    QVERIFY(run.dialogs.asked().last().contains(message));
    // Set aside; in a folder others may enter not even read.
    QCOMPARE(QFileInfo::exists(dead), kind == u"open");
}

void TestRecoveryShell::endedAndStartedAgain_data()
{
    QTest::addColumn<int>("ending"); // the signal; SIGABRT is the program's own abort()
    QTest::addColumn<Answer>("answer");
    const std::pair<const char *, int> endings[]
        = {{"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}, {"SIGINT", SIGINT}, {"SIGKILL", SIGKILL}, {"abort()", SIGABRT}};
    for (const auto &[name, number] : endings)
        for (const Answer answer : {Answer::Yes, Answer::No})
            QTest::addRow("%s, %s", name, answer == Answer::Yes ? "Да" : "Нет") << number << answer;
}

void TestRecoveryShell::endedAndStartedAgain()
{
    QFETCH(int, ending);
    QFETCH(Answer, answer);
    // The real program in a folder of its own, with the files an earlier
    // session left there.
    Run run;
    run.writeFile(u"applist.tn"_qs,
                  "[general]\r\nmax=2\r\n[t1]\r\ncap=Old\r\ncmd=old\r\n[t2]\r\ncap=New\r\ncmd=new\r\n");
    run.writeFile(u"phones.tn"_qs, "Boris|111|\r\n");
    run.writeFile(u"note.txt"_qs, platform::codepage::fromUnicode(u"Старый\r\nтекст"_qs));
    run.writeFile(u"tarnel.ini"_qs,
                  "[mytarnel]\r\nCurTab=0\r\nLastFile=" + QFile::encodeName(run.path(u"note.txt"_qs)) + "\r\n");
    QVERIFY(QFile::copy(QStringLiteral(TARNEL_BINARY), run.path(u"tarnel"_qs)));
    // Every file's name and bytes but the program's.
    const auto userFiles = [&run] {
        QList<QByteArray> files;
        for (const QString &name : filesIn(run.dir.path()))
            files << name.toUtf8() << (name == u"tarnel" ? QByteArray() : run.read(name));
        return files;
    };
    const QList<QByteArray> before = userFiles();
    typeAndEnd(run, ending);
    if (QTest::currentTestFailed())
        return;
    run.dialogs.answerMessage(answer);
    if (answer == Answer::No)
        run.dialogs.answerMessage(Answer::Ok);
    checkSecondStart(run, run.start(), answer);
    QCOMPARE(userFiles(), before);
}

QTEST_MAIN(TestRecoveryShell)
#include "tst_recoveryshell.moc"
