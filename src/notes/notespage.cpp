#include "notespage.h"

#include "appcontext.h"
#include "appearance.h"
#include "clicklabel.h"
#include "codepage.h"
#include "comdlg.h"
#include "placement.h"
#include "runtimefailure.h"
#include "system.h"
#include "textfile.h"
#include "twips.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
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

QPushButton *pictureButton(const QString &picture, const QString &toolTip, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(20, 20));
    button->setToolTip(toolTip);
    return button;
}

} // namespace

NotesPage::NotesPage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
}

void NotesPage::buildControls()
{
    if (Text)
        return;
    cmdFile = new QPushButton(QStringLiteral("&Файл"), this);
    cmdEdit = new QPushButton(QStringLiteral("&Правка"), this);
    cmdLoadLast = new QPushButton(QStringLiteral("Открыть последний файл"), this);
    cmdOpenFile = pictureButton(QStringLiteral(":/notes/open.png"), QStringLiteral("Открыть"), this);
    cmdSaveText = pictureButton(QStringLiteral(":/notes/save.png"), QStringLiteral("Сохранить"), this);
    cmdPrintText = pictureButton(QStringLiteral(":/notes/print.png"), QStringLiteral("Печать"), this);
    Text = new QPlainTextEdit(this);
    lblStatus = new ClickLabel(initialStatus(), this);
    mnuFile = new QMenu(QStringLiteral("Файл"), this);
    mnuEdit = new QMenu(QStringLiteral("Правка"), this);

    using platform::twips::rect;

    const struct
    {
        QWidget *widget;
        const char *name;
        QRect place;
    } controls[] = {
        {cmdFile, "cmdFile", rect(120, 480, 735, 375)},
        {cmdEdit, "cmdEdit", rect(960, 480, 855, 375)},
        {cmdLoadLast, "cmdLoadLast", rect(1920, 480, 2175, 375)},
        {cmdOpenFile, "cmdOpenFile", rect(5760, 480, 375, 375)},
        {cmdSaveText, "cmdSaveText", rect(6240, 480, 375, 375)},
        {cmdPrintText, "cmdPrintText", rect(6840, 480, 375, 375)},
        {Text, "Text", rect(120, 960, 7095, 3495)},
    };
    for (const auto &control : controls)
        placeControl(control.widget, control.name, control.place);
    placeLabel(lblStatus, "lblStatus", rect(120, 4500, 7215, 255), false);
    cmdLoadLast->setToolTip(QStringLiteral("Открыть последний редактируемый файл"));
    if (m_lastFileShown)
        showLastFile();

    // The document and its file name may hold any character: what the face
    // lacks comes from another.
    Text->setFont(platform::appearance::userTextFont(Text->font()));
    lblStatus->setFont(platform::appearance::userTextFont(lblStatus->font()));
    Text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text->installEventFilter(this);

    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    const auto entry = [this](QMenu *menu, const char16_t *name, const QString &caption, void (NotesPage::*command)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromUtf16(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    const auto separator
        = [](QMenu *menu, const char16_t *name) { menu->addSeparator()->setObjectName(QString::fromUtf16(name)); };
    mnuItemNew = entry(mnuFile, u"mnuItemNew", QStringLiteral("Новый"), &NotesPage::mnuItemNew_Click);
    separator(mnuFile, u"line1");
    mnuItemOpen = entry(mnuFile, u"mnuItemOpen", QStringLiteral("Открыть..."), &NotesPage::mnuItemOpen_Click);
    mnuItemSave = entry(mnuFile, u"mnuItemSave", QStringLiteral("Сохранить"), &NotesPage::mnuItemSave_Click);
    mnuItemSaveAs = mnuFile->addAction(QStringLiteral("Сохранить как"));
    mnuItemSaveAs->setObjectName(QStringLiteral("mnuItemSaveAs"));
    connect(mnuItemSaveAs, &QAction::triggered, this, [this] { mnuItemSaveAs_Click(); });
    separator(mnuFile, u"line2");
    mnuItemPrint = entry(mnuFile, u"mnuItemPrint", QStringLiteral("Печать"), &NotesPage::mnuItemPrint_Click);
    mnuItemInsDateTime = entry(mnuEdit, u"mnuItemInsDateTime", QStringLiteral("Вставить дату и время"),
                               &NotesPage::mnuItemInsDateTime_Click);
    separator(mnuEdit, u"line3");
    mnuItemFont = entry(mnuEdit, u"mnuItemFont", QStringLiteral("Шрифт..."), &NotesPage::mnuItemFont_Click);

    connect(Text, &QPlainTextEdit::textChanged, this, &NotesPage::Text_Change);
    connect(cmdFile, &QPushButton::clicked, this, &NotesPage::cmdFile_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &NotesPage::cmdEdit_Click);
    connect(cmdLoadLast, &QPushButton::clicked, this, &NotesPage::cmdLoadLast_Click);
    connect(cmdOpenFile, &QPushButton::clicked, this, &NotesPage::mnuItemOpen_Click);
    connect(cmdSaveText, &QPushButton::clicked, this, &NotesPage::mnuItemSave_Click);
    connect(cmdPrintText, &QPushButton::clicked, this, &NotesPage::mnuItemPrint_Click);
}

QString NotesPage::initialStatus()
{
    return QStringLiteral("Чтобы открыть или сохранить файл, воспользуйтесь кнопкой \"Файл\".");
}

bool NotesPage::eventFilter(QObject *watched, QEvent *event)
{
    // Shift+Enter would put a lone LF into the document, where the user
    // expects the same line end as Enter gives.
    if (watched == Text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers().testFlag(Qt::ShiftModifier)) {
            QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier, key->text());
            QCoreApplication::sendEvent(Text, &plain);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString NotesPage::documentText() const
{
    // toPlainText() would make blanks of U+00A0 and LFs of both breaks.
    QString text = Text->document()->toRawText();
    text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    text.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    return text;
}

void NotesPage::setDocumentText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QString(QChar(QChar::ParagraphSeparator)));
    shown.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    // setPlainText also forgets the undo history of the previous document.
    Text->setPlainText(shown);
}

void NotesPage::setStatus(const QString &caption, const QString &toolTip)
{
    lblStatus->setText(caption);
    lblStatus->setToolTip(platform::appearance::plainToolTip(toolTip));
}

void NotesPage::Text_Change()
{
    // Runs on every keystroke: nothing here may depend on the size of the text.
    AppState &state = m_context.state;
    if (state.CurrentFile.isEmpty())
        setStatus(QStringLiteral("Состояние: документ изменен. "), QString());
    else
        setStatus(QStringLiteral("Состояние: документ изменен. Файл: ") + state.CurrentFile,
                  QStringLiteral("Документ будет сохранен в: ") + state.CurrentFile);
    state.Change = true;
}

void NotesPage::cmdFile_Click()
{
    mnuFile->popup(QCursor::pos());
}

void NotesPage::cmdEdit_Click()
{
    mnuEdit->popup(QCursor::pos());
}

bool NotesPage::askToSaveFirst(const QString &question)
{
    if (!m_context.state.Change
        || m_context.MsgBox(question, AppContext::Buttons::YesNo, AppContext::Icon::Information)
               != AppContext::Answer::Yes)
        return true;
    // A Save As the user cancelled lets the command go on. A save that failed,
    // or that the user refused for the characters it would lose, stops it: the
    // user asked to keep this text, and the command would throw it away.
    return Save() != SaveOutcome::Failed;
}

void NotesPage::mnuItemNew_Click()
{
    if (!askToSaveFirst(QStringLiteral("Текст был изменен. Сохранить?")))
        return;
    setDocumentText(QString());
    m_context.state.CurrentFile.clear();
    setStatus(QStringLiteral("Новый документ"), QStringLiteral("Создан новый документ"));
    Text->setFocus();
    m_context.state.Change = false;
}

void NotesPage::openDocument(const QString &path, const QString &toolTip)
{
    m_context.showWaitPointer();
    bool failed = false;
    const QString paragraphs = ReadTextFileAsParagraphs(m_context, path, &failed);
    // The read has said why; the document the user had stays as it was.
    if (!failed) {
        m_context.state.CurrentFile = path;
        // setPlainText also forgets the undo history of the previous document.
        Text->setPlainText(paragraphs);
        m_context.state.Change = false;
        setStatus(QStringLiteral("Документ открыт из ") + path, toolTip);
    }
    m_context.showDefaultPointer();
    Text->setFocus();
}

void NotesPage::mnuItemOpen_Click()
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

SaveOutcome NotesPage::Save()
{
    if (m_context.state.CurrentFile.isEmpty())
        return mnuItemSaveAs_Click();
    return saveTo(m_context.state.CurrentFile);
}

void NotesPage::mnuItemSave_Click()
{
    Save();
}

bool NotesPage::acceptLostCharacters(const QString &text)
{
    // Characters the code page cannot hold would come back as "?": the user
    // is told which, and decides.
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

QString NotesPage::lastFileToLoad() const
{
    return m_unrememberedFile.isEmpty() ? m_context.state.LastFile : m_unrememberedFile;
}

void NotesPage::showLastFile()
{
    m_lastFileShown = true;
    if (cmdLoadLast)
        cmdLoadLast->setToolTip(
            platform::appearance::plainToolTip(QStringLiteral("Загрузить последний файл: ") + lastFileToLoad()));
}

void NotesPage::rememberLastFile(const QString &path)
{
    AppState &state = m_context.state;
    // The settings file would bring such a name back as another file's name:
    // the last file stays the one before, and the user hears why once.
    const QStringList names = lostCharactersOf(path, true);
    if (names.isEmpty()) {
        state.LastFile = path;
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

SaveOutcome NotesPage::saveTo(const QString &path)
{
    AppState &state = m_context.state;
    const QString text = documentText();
    if (!acceptLostCharacters(text)) {
        Text->setFocus();
        return SaveOutcome::Failed;
    }
    // A failed write has been reported; the document keeps its file, its
    // status and its modified flag, so that it is not lost at shut-down.
    if (!WriteTextFile(m_context, path, text)) {
        Text->setFocus();
        return SaveOutcome::Failed;
    }
    state.CurrentFile = path;
    setStatus(QStringLiteral("Состояние: документ сохранен в ") + path, QString());
    state.Change = false;
    rememberLastFile(path);
    Text->setFocus();
    return SaveOutcome::Saved;
}

SaveOutcome NotesPage::mnuItemSaveAs_Click()
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

void NotesPage::cmdLoadLast_Click()
{
    AppState &state = m_context.state;
    if (lastFileToLoad().isEmpty()) {
        m_context.MsgBox(QStringLiteral("Последний файл не задан!"), AppContext::Buttons::Ok,
                         AppContext::Icon::Exclamation);
        Text->setFocus();
        return;
    }
    if (state.CurrentFile == lastFileToLoad()) {
        m_context.MsgBox(QStringLiteral("Этот файл уже открыт!"), AppContext::Buttons::Ok,
                         AppContext::Icon::Exclamation);
        Text->setFocus();
        return;
    }
    if (!askToSaveFirst(QStringLiteral("Текст не сохранен. Сохранить его сейчас?")))
        return;

    // Read after the save: a save made just now has made its file the last one.
    const QString path = lastFileToLoad();
    openDocument(path, QStringLiteral("Документ будет сохранен в: ") + path);
}

void NotesPage::mnuItemInsDateTime_Click()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                        + locale.toString(now.time(), longTimeFormat(locale));
    // Appended through a cursor: re-setting the whole text would take seconds
    // on a large document. Always at the end, never at the caret.
    QTextCursor cursor(Text->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QChar(QChar::ParagraphSeparator) + stamp);
}

void NotesPage::mnuItemPrint_Click()
{
    if (Text->document()->isEmpty()) {
        m_context.MsgBox(QStringLiteral("Нет текста для печати!"), AppContext::Buttons::Ok,
                         AppContext::Icon::Exclamation);
        return;
    }
    if (m_context.MsgBox(QStringLiteral("Напечатать текущий текст?"), AppContext::Buttons::YesNo,
                         AppContext::Icon::Information)
        == AppContext::Answer::Yes)
        PrintText(documentText());
    Text->setFocus();
}

void NotesPage::PrintText(const QString &text)
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

void NotesPage::mnuItemFont_Click()
{
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        const std::optional<QFont> chosen = m_context.dialogs.chooseFont(QStringLiteral("Выбор шрифта"), Text->font());
        if (!chosen)
            return;
        QFont font = Text->font();
        font.setBold(chosen->bold());
        font.setItalic(chosen->italic());
        font.setFamily(chosen->family());
        font.setPointSizeF(chosen->pointSizeF());
        font.setUnderline(chosen->underline());
        font.setStrikeOut(chosen->strikeOut());
        Text->setFont(font);
    });
    if (!failure)
        return;
    m_context.MsgBox(QStringLiteral("Ошибка при работе с comdlg32.ocx: ") + m_context.state.CrLf2
                         + failure->description(),
                     AppContext::Buttons::Ok, AppContext::Icon::Critical);
}

SaveOutcome NotesPage::shutdownSave()
{
    AppState &state = m_context.state;
    if (state.CurrentFile.isEmpty())
        return mnuItemSaveAs_Click();
    const QString text = documentText();
    if (!acceptLostCharacters(text))
        return SaveOutcome::Failed;
    if (!WriteTextFile(m_context, state.CurrentFile, text))
        return SaveOutcome::Failed;
    setStatus(QStringLiteral("Состояние: документ сохранен."), QString());
    state.Change = false;
    return SaveOutcome::Saved;
}
