#include "notesdocument.h"

#include "appcontext.h"
#include "codepage.h"
#include "comdlg.h"
#include "runtimefailure.h"
#include "system.h"
#include "textfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString &textFilter()
{
    static const QString filter = QStringLiteral("Текстовые файлы (*.txt)|*.txt|Все файлы|*.*");
    return filter;
}

constexpr int printPointSize = 8;
// Shown by name in the question before a save that loses characters.
constexpr int listedLostCharacters = 10;

// The system's long time format ends in the time zone here ("HH:mm:ss t");
// the stamp is hours, minutes and seconds only.
QString longTimeFormat(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return result.trimmed();
}

// The characters of text that would not come back from a file as they are,
// each once, the first few by name and "…" for the rest; empty when all would.
// A line break cannot stand in a one-line value, so lineBreaksToo counts it.
QStringList lostCharactersOf(const QString &text, bool lineBreaksToo)
{
    using platform::codepage::LineBreaks;
    const QList<char32_t> lost = platform::codepage::unholdable(text, listedLostCharacters + 1,
                                                                lineBreaksToo ? LineBreaks::NotHeld : LineBreaks::Held);
    QStringList names;
    for (const char32_t character : lost.mid(0, listedLostCharacters))
        names.append(platform::codepage::describeCharacter(character));
    if (lost.size() > listedLostCharacters)
        names.append(QStringLiteral("…"));
    return names;
}

} // namespace

NotesDocument::NotesDocument(AppContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_document(new QTextDocument(this))
    , m_status(initialStatus())
    , m_loadLastToolTip(QStringLiteral("Открыть последний редактируемый файл"))
{
    // The layout a plain text box needs; without it the document would make
    // a rich-text one the box refuses. Set here, not by the box: a document
    // without a layout tells nobody where it changed, and the recovery copy
    // follows those places from the start, before any page shows the text.
    m_document->setDocumentLayout(new QPlainTextDocumentLayout(m_document));
    connect(m_document, &QTextDocument::contentsChanged, this, &NotesDocument::Text_Change);
}

NotesDocument::~NotesDocument() = default;

QString NotesDocument::initialStatus()
{
    return QStringLiteral("Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\".");
}

void NotesDocument::setLastFile(const QString &path)
{
    LastFile = path;
    showLastFile();
}

QString NotesDocument::documentText() const
{
    return textOfRaw(rawText());
}

QString NotesDocument::rawText() const
{
    // toPlainText() would make blanks of U+00A0 and LFs of both breaks.
    return m_document->toRawText();
}

QString NotesDocument::textOfRaw(QString raw)
{
    raw.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    raw.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    return raw;
}

void NotesDocument::setDocumentText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QString(QChar(QChar::ParagraphSeparator)));
    shown.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    replaceText(shown);
}

void NotesDocument::restore(const QString &text, const QString &file, platform::codepage::Encoding encoding)
{
    CurrentFile = file;
    m_encoding = encoding;
    // The file as it is now is what the restored work goes on from: a change
    // made to it later is told from this one.
    m_fileStamp = file.isEmpty() ? platform::filesystem::FileStamp() : platform::filesystem::stampOf(file);
    // Replacing the text is an edit like any other, even to the same text: the
    // work is unsaved, and the status says so.
    setDocumentText(text);
}

void NotesDocument::replaceText(const QString &paragraphs)
{
    // setPlainText also forgets the undo history of the previous document.
    m_document->setPlainText(paragraphs);
    Q_EMIT textReplaced();
}

void NotesDocument::setStatus(const QString &caption, const QString &toolTip)
{
    m_status = caption;
    // The one place a user learns that the file is not in the code page.
    m_statusToolTip = toolTip.isEmpty() || !m_encoding.utf8 ? toolTip : toolTip + QStringLiteral(" (UTF-8)");
    Q_EMIT statusChanged();
}

void NotesDocument::Text_Change()
{
    // Runs on every keystroke: nothing here may depend on the size of the text.
    if (CurrentFile.isEmpty())
        setStatus(QStringLiteral("Состояние: документ изменен. "), QString());
    else
        setStatus(QStringLiteral("Состояние: документ изменен. Файл: ") + CurrentFile,
                  QStringLiteral("Документ будет сохранен в: ") + CurrentFile);
    Change = true;
}

bool NotesDocument::askToSaveFirst(const QString &question)
{
    if (!Change
        || m_context.MsgBox(question, AppContext::Buttons::YesNo, AppContext::Icon::Information)
               != AppContext::Answer::Yes)
        return true;
    // A Save As the user cancelled lets the command go on. A save that failed,
    // or that the user refused for the characters it would lose, stops it: the
    // user asked to keep this text, and the command would throw it away.
    return save() != SaveOutcome::Failed;
}

void NotesDocument::newDocument()
{
    if (!askToSaveFirst(QStringLiteral("Текст был изменен. Сохранить?")))
        return;
    setDocumentText(QString());
    CurrentFile.clear();
    m_fileStamp = {};
    m_encoding = {};
    setStatus(QStringLiteral("Новый документ"), QStringLiteral("Создан новый документ"));
    Q_EMIT textFocusWanted();
    Change = false;
}

void NotesDocument::openDocument(const QString &path, const QString &toolTip)
{
    m_context.showWaitPointer();
    bool failed = false;
    platform::filesystem::FileStamp stamp;
    platform::codepage::Encoding encoding;
    const QString paragraphs = ReadTextFileAsParagraphs(m_context, path, &failed, &stamp, &encoding);
    // The read has said why; the document the user had stays as it was.
    if (!failed) {
        CurrentFile = path;
        m_fileStamp = stamp;
        m_encoding = encoding;
        replaceText(paragraphs);
        Change = false;
        setStatus(QStringLiteral("Документ открыт из ") + path, toolTip);
    }
    m_context.showDefaultPointer();
    Q_EMIT textFocusWanted();
}

void NotesDocument::open()
{
    if (!askToSaveFirst(QStringLiteral("Текст не сохранен. Сохранить его сейчас?")))
        return;
    const AppState &state = m_context.state;
    QString folder = state.ProgramFolder;
    try {
        if (m_context.FolderExists(state.PersonalFolder()))
            folder = state.PersonalFolder();
    } catch (const platform::RuntimeFailure &) {
        // A personal folder that cannot be searched is no place to start in.
    }
    const QString path = ShowOpenDialog(m_context.dialogs, textFilter(), QStringLiteral("Открыть файл"),
                                        QStringLiteral("*.txt"), folder);
    if (path.isEmpty())
        return;

    openDocument(path, QStringLiteral("Файл будет сохранен в ") + path);
}

SaveOutcome NotesDocument::save()
{
    if (CurrentFile.isEmpty())
        return saveAs();
    return saveTo(CurrentFile);
}

bool NotesDocument::acceptLostCharacters(const QString &text)
{
    // Characters the code page cannot hold would come back as "?": the user
    // is told which, and decides. UTF-8 holds them all.
    if (m_encoding.utf8)
        return true;
    const QStringList names = lostCharactersOf(text, false);
    if (names.isEmpty())
        return true;
    const QString question = QStringLiteral("В тексте есть знаки, которых нет в кодировке Windows-1251: ")
                           + names.join(QStringLiteral(", "))
                           + QStringLiteral(". В файле они будут заменены знаком \"?\".") + m_context.state.CrLf2
                           + QStringLiteral("Сохранить документ с этой заменой?");
    return m_context.MsgBox(question, AppContext::Buttons::YesNo, AppContext::Icon::Exclamation)
        == AppContext::Answer::Yes;
}

QString NotesDocument::lastFileToLoad() const
{
    return m_unrememberedFile.isEmpty() ? LastFile : m_unrememberedFile;
}

void NotesDocument::showLastFile()
{
    m_loadLastToolTip = QStringLiteral("Загрузить последний файл: ") + lastFileToLoad();
    Q_EMIT loadLastToolTipChanged();
}

void NotesDocument::rememberLastFile(const QString &path)
{
    const AppState &state = m_context.state;
    // The settings file would bring such a name back as another file's name:
    // the last file stays the one before, and the user hears why once.
    const QStringList names = lostCharactersOf(path, true);
    if (names.isEmpty()) {
        LastFile = path;
        m_unrememberedFile.clear();
        showLastFile();
        return;
    }
    // This run still knows the name: the button loads it until the program ends.
    const bool told = path == m_unrememberedFile;
    m_unrememberedFile = path;
    showLastFile();
    if (told)
        return;
    m_context.MsgBox(QStringLiteral("Документ сохранен, но его имя не будет запомнено для кнопки \"Открыть последний "
                                    "файл\": в нем есть знаки, которые нельзя записать в файл настроек: ")
                         + names.join(QStringLiteral(", ")) + QLatin1Char('.') + state.CrLf2
                         + QStringLiteral("Имя файла: ") + path,
                     AppContext::Buttons::Ok, AppContext::Icon::Exclamation);
}

SaveOutcome NotesDocument::saveTo(const QString &path)
{
    const QString text = documentText();
    if (!acceptLostCharacters(text)) {
        Q_EMIT textFocusWanted();
        return SaveOutcome::Failed;
    }
    // A failed write has been reported; the document keeps its file, its
    // status and its modified flag, so that it is not lost at shut-down.
    if (!WriteTextFile(m_context, path, text, platform::filesystem::KeepOld::No, &m_fileStamp, m_encoding)) {
        Q_EMIT textFocusWanted();
        return SaveOutcome::Failed;
    }
    CurrentFile = path;
    setStatus(QStringLiteral("Состояние: документ сохранен в ") + path, QString());
    Change = false;
    rememberLastFile(path);
    Q_EMIT textFocusWanted();
    return SaveOutcome::Saved;
}

SaveOutcome NotesDocument::saveAs()
{
    const AppState &state = m_context.state;
    QString name = ShowSaveDialog(m_context.dialogs, textFilter(), QStringLiteral("Сохранить как"), QString(),
                                  state.PersonalFolder());
    if (name.isEmpty())
        return SaveOutcome::Cancelled;

    if (name.length() < 4 || name.right(4).toLower() != QLatin1String(".txt")) {
        const QString question
            = QStringLiteral("Указанное имя файла не содержит расширения .txt. Добавить его?") + state.CrLf2
            + QStringLiteral("Нажмите на Да, чтобы добавить это расширение, Нет, чтобы сохранить файл без изменения "
                             "его имени и Отмена для отмены операции сохранения.")
            + state.CrLf2 + QStringLiteral("Имя файла: ") + name;
        switch (m_context.MsgBox(question, AppContext::Buttons::YesNoCancel, AppContext::Icon::Information)) {
        case AppContext::Answer::Yes:
            name += QStringLiteral(".txt");
            break;
        case AppContext::Answer::No:
            break;
        default:
            return SaveOutcome::Cancelled;
        }
    }

    // Tested literally: the file test does not see names beginning with ".",
    // and such a file would be replaced without a word.
    const QFileInfo existing(name);
    if (existing.exists() && !existing.isDir()
        && m_context.MsgBox(QStringLiteral("Файл с именем ") + state.CrLf2 + name + state.CrLf2
                                + QStringLiteral("существует. Записать поверх него?"),
                            AppContext::Buttons::YesNo, AppContext::Icon::Information)
               != AppContext::Answer::Yes)
        return SaveOutcome::Cancelled;

    return saveTo(name);
}

void NotesDocument::loadLast()
{
    if (lastFileToLoad().isEmpty()) {
        m_context.MsgBox(QStringLiteral("Последний файл не задан!"), AppContext::Buttons::Ok,
                         AppContext::Icon::Exclamation);
        Q_EMIT textFocusWanted();
        return;
    }
    if (CurrentFile == lastFileToLoad()) {
        m_context.MsgBox(QStringLiteral("Этот файл уже открыт!"), AppContext::Buttons::Ok,
                         AppContext::Icon::Exclamation);
        Q_EMIT textFocusWanted();
        return;
    }
    if (!askToSaveFirst(QStringLiteral("Текст не сохранен. Сохранить его сейчас?")))
        return;

    // Read after the save: a save made just now has made its file the last one.
    const QString path = lastFileToLoad();
    openDocument(path, QStringLiteral("Документ будет сохранен в: ") + path);
}

void NotesDocument::insertDateTime()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                        + locale.toString(now.time(), longTimeFormat(locale));
    // Appended through a cursor: re-setting the whole text would take seconds
    // on a large document. Always at the end, never at the caret.
    QTextCursor cursor(m_document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QChar(QChar::ParagraphSeparator) + stamp);
}

void NotesDocument::print()
{
    if (m_document->isEmpty()) {
        m_context.MsgBox(QStringLiteral("Нет текста для печати!"), AppContext::Buttons::Ok,
                         AppContext::Icon::Exclamation);
        return;
    }
    if (m_context.MsgBox(QStringLiteral("Напечатать текущий текст?"), AppContext::Buttons::YesNo,
                         AppContext::Icon::Information)
        == AppContext::Answer::Yes)
        PrintText(documentText());
    Q_EMIT textFocusWanted();
}

void NotesDocument::PrintText(const QString &text)
{
    if (text.isEmpty())
        return;
    m_context.showWaitPointer();
    for (;;) {
        const std::optional<platform::RuntimeFailure> failure
            = platform::failureOf([&] { m_context.system.printText(text + m_context.state.CrLf, printPointSize); });
        if (!failure)
            break;
        m_context.showDefaultPointer();
        const QString message = QStringLiteral("Ошибка при попытке печати текста. ") + m_context.state.CrLf
                              + QStringLiteral("Устраните неполадку и нажмите 'Повтор'.") + m_context.state.CrLf2
                              + QString::number(failure->number()) + QStringLiteral(".  ") + failure->description();
        if (m_context.MsgBox(message, AppContext::Buttons::RetryCancel, AppContext::Icon::Exclamation)
            != AppContext::Answer::Retry)
            return;
    }
    m_context.showDefaultPointer();
}

SaveOutcome NotesDocument::shutdownSave()
{
    if (CurrentFile.isEmpty())
        return saveAs();
    const QString text = documentText();
    if (!acceptLostCharacters(text))
        return SaveOutcome::Failed;
    if (!WriteTextFile(m_context, CurrentFile, text, platform::filesystem::KeepOld::No, &m_fileStamp, m_encoding))
        return SaveOutcome::Failed;
    setStatus(QStringLiteral("Состояние: документ сохранен."), QString());
    Change = false;
    return SaveOutcome::Saved;
}
