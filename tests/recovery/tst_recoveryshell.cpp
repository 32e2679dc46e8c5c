#include "codepage.h"
#include "platformtest.h"
#include "recoverycopy.h"
#include "run.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTextCursor>

#include <csignal>
#include <sys/stat.h>

using Answer = platform::Dialogs::Answer;

class TestRecoveryShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keptWhileUnsaved();
    void shutDown_data();
    void shutDown();
    void offerAtItsEdges_data();
    void offerAtItsEdges();
    void copiesThatCannotBeWritten();
    void foldersAndTheWorksTime();
    void endedAndStartedAgain_data();
    void endedAndStartedAgain();
};

namespace {

const QString typed = u"Заметка \u4e2d"_qs;

void type(frmMain &window, const QString &text)
{
    QTextCursor cursor(window.document().document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

std::optional<recovery::Contents> copyOf(frmMain &window)
{
    return recovery::readFile(window.recovery().copyPath()).contents;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The copy a program that ended without a question leaves behind, with
// something unsaved on every page, its notes those of note.txt when withFile.
QString leaveCopy(Run &run, bool withFile = false)
{
    frmMain &window = run.start();
    if (withFile) {
        run.dialogs.answer(u"note.txt"_qs, FakeDialogs::Kind::OpenFile, run.path(QString()));
        window.document().saveAs();
    }
    window.document().setDocumentText(typed);
    window.programs().add(ProgramEntry {u"Редактор"_qs, u"editor --new"_qs});
    window.phoneBook().restore({{u"Анна"_qs, u"555"_qs}});
    window.recovery().writeNow();
    const QString dead = QFileInfo(window.recovery().copyPath()).path() + u'/' + recovery::newCopyName();
    QFile::rename(window.recovery().copyPath(), dead);
    run.window.reset();
    return dead;
}

// Each text holds the pieces of its pattern between "*" in turn.
void compareAsked(const QStringList &asked, const QStringList &patterns)
{
    QCOMPARE(asked.size(), patterns.size());
    for (qsizetype i = 0; i < asked.size(); ++i) {
        qsizetype at = 0;
        const QString pattern = u"- "_qs + patterns.at(i); // tarnel's own title
        for (const QString &piece : pattern.split(u'*'))
            at = at < 0 ? at : asked.at(i).indexOf(piece, at);
        QVERIFY2(at >= 0 && asked.at(i).startsWith(pattern.section(u'*', 0, 0)), qPrintable(asked.at(i)));
    }
}

// The question that offers back what a program on every page left.
const QString offer
    = u"? yesno: Найдены несохраненные изменения от *: записи, список программ, телефонная книга. Восстановить?"_qs;

} // namespace

void TestRecoveryShell::keptWhileUnsaved()
{
    Run run;
    frmMain &window = run.start();
    window.recovery().setDelay(60000);
    QVERIFY(!QFile::exists(window.recovery().copyPath()));
    // The first change is kept at once, the next ones a delay later.
    type(window, u"а"_qs);
    QTRY_COMPARE(copyOf(window).value_or(recovery::Contents {}).notesText, u"а"_qs);
    window.recovery().setDelay(50);
    QVERIFY(!copyOf(window)->hasPrograms && !copyOf(window)->hasPhones);
    type(window, typed);
    QTRY_COMPARE(copyOf(window)->notesText, u"а"_qs + typed);
    // Saved: nothing is left to keep.
    run.dialogs.answerFile(run.path(u"note.txt"_qs));
    run.dialogs.answerMessage(Answer::Yes); // "?" for what Windows-1251 cannot hold
    QCOMPARE(window.document().save(), SaveOutcome::Saved);
    QTRY_VERIFY(filesIn(QFileInfo(window.recovery().copyPath()).path()).isEmpty());
}

void TestRecoveryShell::shutDown_data()
{
    QTest::addColumn<bool>("session"); // the desktop session ends rather than the user closing
    QTest::addColumn<QString>("answers"); // none when nothing is asked
    QTest::addColumn<bool>("kept");
    // Да, a Save As, "?" for what Windows-1251 cannot hold and the failure of a
    // save below an ordinary file; asked again, Нет.
    const QString failed = u"Yes file/note.txt Yes Ok No"_qs;
    QTest::newRow("nothing changed") << false << QString() << false;
    QTest::newRow("Нет") << false << u"No"_qs << false;
    QTest::newRow("Да, Save As cancelled") << false << u"Yes -"_qs << true;
    QTest::newRow("Да, all saved") << false << u"Yes note.txt Yes"_qs << false;
    QTest::newRow("failed save, then Нет") << false << failed << true;
    QTest::newRow("session, may not ask") << true << QString() << true;
    QTest::newRow("session, failed save, then Нет") << true << failed << true;
}

void TestRecoveryShell::shutDown()
{
    QFETCH(bool, session);
    QFETCH(QString, answers);
    QFETCH(bool, kept);
    Run run;
    frmMain &window = run.start();
    const auto end = [&] { return session ? window.sessionEnding(!answers.isEmpty()) : window.Form_Unload(); };
    // The first change is kept at once, the rest only by the ending.
    if (session || !answers.isEmpty()) {
        type(window, u"а"_qs);
        type(window, typed);
    }
    run.writeFile(u"file"_qs, "x");
    run.dialogs.answer(answers, FakeDialogs::Kind::OpenFile, run.path(QString()));
    // A failed save ends nothing.
    if (answers.contains(u"Ok"))
        QVERIFY(!end());
    QVERIFY(end());
    QCOMPARE(run.dialogs.unusedAnswers(), 0);
    QCOMPARE(QFile::exists(window.recovery().copyPath()), kept);
    if (kept)
        QCOMPARE(copyOf(window)->notesText, u"а"_qs + typed);
}

void TestRecoveryShell::offerAtItsEdges_data()
{
    QTest::addColumn<QString>("edge");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("asked"); // each message, "*" for any text
    QTest::addColumn<QString>("restored"); // the parts taken back: notes, list, book
    QTest::addColumn<int>("aside"); // copies under a kept- name after
    QTest::addColumn<bool>("left"); // the copy is still where it was
    const QString phones = u"? yesno: Файл изменен другой программой после этих изменений:\r\n\r\n*phones.tn\r\n\r\n"
                           u"Восстановить телефонную книгу из копии? При сохранении файл будет заменен."_qs;
    const QString notTaken = u"i ok: Эти несохраненные изменения не восстановлены. Они сохранены в файле:*kept-*"_qs;
    const QString unread = u"i ok: Несохраненные изменения прошлого сеанса не удалось прочитать.*kept-*"_qs;
    const QString notKept = u"! ok: Копии несохраненных изменений не будут сохраняться: "_qs;
    QTest::newRow("notes file changed: back without its name")
        << u"notes"_qs << u"Yes"_qs
        << QStringList {offer
                        + u"\r\n\r\nФайл записей с тех пор изменен другой программой: *note.txt\r\n"
                          u"Записи будут восстановлены без имени файла."_qs}
        << u"nlb"_qs << 0 << false;
    QTest::newRow("phone book changed, Нет: the file left, the copy aside")
        << u"phones"_qs << u"Yes No Ok"_qs << QStringList {offer, phones, notTaken} << u"nl"_qs << 1 << false;
    QTest::newRow("phone book changed, Да: put back")
        << u"phones"_qs << u"Yes Yes"_qs << QStringList {offer, phones} << u"nlb"_qs << 0 << false;
    QTest::newRow("three copies: one question, the older set aside")
        << u"three"_qs << u"Yes Ok"_qs
        << QStringList {offer + u"\r\n\r\nБолее ранние несохраненные изменения (2) будут отложены."_qs, notTaken}
        << u"nlb"_qs << 2 << false;
    QTest::newRow("three copies, Нет: all set aside")
        << u"three"_qs << u"No Ok"_qs
        << QStringList {u"? yesno: Найдены*(2) будут отложены."_qs,
                        u"i ok: Несохраненные изменения не восстановлены. Они сохранены в файле:*kept-*kept-*kept-*"_qs}
        << QString() << 3 << false;
    QTest::newRow("own copy cannot be written: the old one stays")
        << u"unwritable"_qs << u"Yes Ok"_qs
        << QStringList {offer,
                        u"! ok: Не удается сохранить копию несохраненных изменений:\r\n\r\nОтказано в разрешении*"_qs}
        << u"nlb"_qs << 0 << true;
    // Every way a copy cannot be read takes one way here.
    QTest::newRow("damaged") << u"damaged"_qs << u"Ok"_qs << QStringList {unread} << QString() << 1 << false;
    QTest::newRow("too many rows") << u"rows"_qs << u"Ok"_qs << QStringList {unread} << QString() << 1 << false;
    QTest::newRow("a newer version's: left as it is")
        << u"newer"_qs << u"Ok"_qs << QStringList {u"! ok: *записаны более новой версией*"_qs} << QString() << 0
        << true;
    QTest::newRow("folder open to others: not even read, nothing kept")
        << u"open"_qs << u"Ok"_qs << QStringList {notKept + u"папка недоступна или открыта*"_qs} << QString() << 0
        << true;
    QTest::newRow("no home: nothing kept, said once")
        << u"homeless"_qs << u"Ok"_qs << QStringList {notKept + u"не задана домашняя папка."_qs} << QString() << 0
        << true;
    QTest::newRow("a running program's: neither offered nor moved")
        << u"running"_qs << QString() << QStringList() << QString() << 0 << true;
}

void TestRecoveryShell::offerAtItsEdges()
{
    QFETCH(QString, edge);
    QFETCH(QString, answers);
    QFETCH(QStringList, asked);
    QFETCH(QString, restored);
    QFETCH(int, aside);
    QFETCH(bool, left);
    Run run;
    run.writeFile(u"phones.tn"_qs, "Boris|111|\r\n");
    const QString dead = leaveCopy(run, edge == u"notes");
    const QString state = QFileInfo(dead).path();
    if (edge == u"notes")
        run.writeFile(u"note.txt"_qs, "changed by another program");
    if (edge == u"phones")
        run.writeFile(u"phones.tn"_qs, "Other|1|\r\n");
    for (int older = 1; edge == u"three" && older <= 2; ++older) {
        const QString copy = state + u'/' + recovery::newCopyName();
        QVERIFY(QFile::copy(dead, copy));
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadWrite)
                && file.setFileTime(QDateTime::currentDateTime().addDays(-older), QFileDevice::FileModificationTime));
    }
    if (edge == u"damaged")
        QVERIFY(QFile::resize(dead, QFileInfo(dead).size() - 3));
    if (edge == u"newer")
        recovery::write(dead, QByteArray("orvane-tarnel recovery 99\n"));
    if (edge == u"rows") {
        recovery::Contents many = recovery::readFile(dead).contents.value_or(recovery::Contents {});
        many.phones.resize(51);
        recovery::write(dead, many);
    }
    if (edge == u"open")
        QVERIFY(::chmod(QFile::encodeName(state).constData(), 0755) == 0);
    // Held as the program that wrote it holds it while it runs.
    std::optional<recovery::Claim> running;
    if (edge == u"running")
        QVERIFY((running = recovery::claim(state, QFileInfo(dead).fileName())));
    const QByteArray home = qgetenv("HOME");
    const auto restoreHome = qScopeGuard([&home] { qputenv("HOME", home); });
    if (edge == u"homeless") {
        qunsetenv("HOME");
        qunsetenv("XDG_STATE_HOME");
    }
    std::optional<WritesRefused> refused;
    if (edge == u"unwritable")
        refused.emplace();
    run.dialogs.clear();
    run.dialogs.answer(answers);
    frmMain &window = run.start();
    refused.reset();
    compareAsked(run.dialogs.asked(), asked);
    QCOMPARE(run.dialogs.unusedAnswers(), 0);
    QCOMPARE(window.document().hasUnsavedChanges(), restored.contains(u'n'));
    QCOMPARE(window.programs().hasUnsavedChanges(), restored.contains(u'l'));
    QCOMPARE(window.phoneBook().hasUnsavedChanges(), restored.contains(u'b'));
    if (edge == u"notes")
        QCOMPARE(window.document().currentFile(), QString());
    if (edge == u"phones")
        QCOMPARE(run.read(u"phones.tn"_qs), QByteArray("Other|1|\r\n"));
    QCOMPARE(recovery::keptAside(state).size(), aside);
    // The old copy goes only once the work is on disk again.
    QCOMPARE(QFile::exists(dead), left);
    // From now on this program keeps its own copy, where it may.
    type(window, u"мой"_qs);
    QCOMPARE(window.recovery().writeNow(), edge != u"open" && edge != u"homeless");
}

void TestRecoveryShell::copiesThatCannotBeWritten()
{
    Run run;
    frmMain &window = run.start();
    window.show();
    QApplication::setActiveWindow(&window);
    window.recovery().setDelay(60000);
    const QString state = QFileInfo(window.recovery().copyPath()).path();
    // Said once, with the reason; no empty copy is left.
    auto refused = std::make_optional<WritesRefused>();
    run.dialogs.answer(u"Ok"_qs);
    type(window, u"а"_qs);
    QTRY_COMPARE(run.dialogs.asked().size(), 1);
    type(window, u"б"_qs);
    QVERIFY(!window.recovery().writeNow());
    QCOMPARE(filesIn(state), QStringList());
    refused.reset();
    // The focus leaving the window writes at once, and says copies are kept again.
    run.dialogs.answer(u"Ok"_qs);
    type(window, u"в"_qs);
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QTRY_VERIFY(copyOf(window) && copyOf(window)->notesText == u"абв"_qs);
    QTRY_COMPARE(run.dialogs.asked(),
                 (QStringList {u"- ! ok: Не удается сохранить копию несохраненных изменений:\r\n\r\nОтказано в "
                               u"разрешении\r\n\r\nЕсли программа закроется неожиданно, изменения будут потеряны."_qs,
                               u"- i ok: Копия несохраненных изменений снова сохраняется."_qs}));
}

void TestRecoveryShell::foldersAndTheWorksTime()
{
    Run run;
    // A program that never had unsaved work makes no folder in the home.
    QVERIFY(run.start().close());
    QVERIFY(QDir(run.state.path()).isEmpty());
    // The offer names the time of the work; after Да its copy keeps that time.
    const QString dead = leaveCopy(run);
    recovery::Contents old = recovery::readFile(dead).contents.value_or(recovery::Contents {});
    old.written = QDateTime(QDate(2001, 1, 1), QTime(12, 0));
    recovery::write(dead, old);
    run.dialogs.answer(u"Yes"_qs);
    QCOMPARE(copyOf(run.start()).value_or(recovery::Contents {}).written, old.written);
    compareAsked(run.dialogs.asked(), {u"? yesno: Найдены несохраненные изменения от 01.01.2001 12:00: *"_qs});
}

void TestRecoveryShell::endedAndStartedAgain_data()
{
    QTest::addColumn<int>("ending"); // the signal; SIGABRT is the program's own abort()
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGKILL") << SIGKILL;
    QTest::newRow("abort()") << SIGABRT;
}

void TestRecoveryShell::endedAndStartedAgain()
{
    QFETCH(int, ending);
    const bool handled = ending != SIGKILL && ending != SIGABRT;
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
    // It opens the last file and types at its end, adds a phone entry, deletes
    // the first program, is left asking whether to save and is ended.
    QTemporaryDir hand;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_PLUGIN_PATH"_qs, QStringLiteral(TYPIST_PLUGINS));
    environment.insert(u"QT_QPA_GENERIC_PLUGINS"_qs, u"tarneltypist"_qs);
    environment.insert(u"TARNEL_TYPIST"_qs, hand.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(run.path(u"tarnel"_qs), {});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(hand.filePath(u"typed"_qs)), 20000);
    // A file read gets its last line end.
    const QString typedAfterOld = u"Старый\r\nтекст\r\n\r\nНовая строка \u4e2d\ufeff!"_qs;
    const QString state = recovery::folderFor(run.dir.path());
    const auto copy = [&state]() -> std::optional<recovery::Contents> {
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
    // Started again, it offers what the first run left and puts it back.
    run.dialogs.answerMessage(Answer::Yes);
    frmMain &window = run.start();
    compareAsked(run.dialogs.asked(), {offer});
    QCOMPARE(run.dialogs.unusedAnswers(), 0);
    QCOMPARE(window.document().documentText(), typedAfterOld);
    QCOMPARE(window.document().currentFile(), run.path(u"note.txt"_qs));
    QVERIFY(window.document().hasUnsavedChanges() && window.programs().hasUnsavedChanges()
            && window.phoneBook().hasUnsavedChanges());
    QCOMPARE(window.programs().count(), 1);
    QCOMPARE(window.programs().entry(0).Command, u"new"_qs);
    const PhoneGrid &grid = window.phoneBook().grid();
    QCOMPARE((QStringList {grid.text(0, 0), grid.text(0, 1), grid.text(1, 0), grid.text(2, 0)}),
             (QStringList {u"Анна"_qs, u"555"_qs, u"Boris"_qs, QString()}));
    // This program keeps the work in its own copy from now on.
    QCOMPARE(filesIn(state), QStringList {recovery::ownFileName()});
    QCOMPARE(userFiles(), before);
}

QTEST_MAIN(TestRecoveryShell)
#include "tst_recoveryshell.moc"
