#include "qtdialogs.h"

#include "appearance.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QStringList>

#include <limits>

namespace platform {

namespace {

QList<QMessageBox::StandardButton> qtDialogsButtonSet(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return {QMessageBox::Ok};
    case Dialogs::Buttons::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case Dialogs::Buttons::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case Dialogs::Buttons::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case Dialogs::Buttons::RetryCancel:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

QMessageBox::Icon qtDialogsIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::None:
        return QMessageBox::NoIcon;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

Dialogs::Answer qtDialogsAnswer(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Dialogs::Answer::Ok;
    case QMessageBox::Yes:
        return Dialogs::Answer::Yes;
    case QMessageBox::No:
        return Dialogs::Answer::No;
    case QMessageBox::Retry:
        return Dialogs::Answer::Retry;
    default:
        return Dialogs::Answer::Cancel;
    }
}

// The program's texts break lines with CR LF; a label may count the CR as a
// break of its own, so it would show an empty line after each.
QString qtDialogsDisplayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return appearance::wrappableText(text);
}

// "*.*" means every file to the common dialogs, but to Qt only names with a
// dot; several patterns are separated by ";" there and by blanks here.
QString qtDialogsPatterns(const QString &windowsPatterns)
{
    QStringList patterns;
    const QStringList parts = windowsPatterns.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    if (patterns.isEmpty())
        patterns.append(QStringLiteral("*"));
    return patterns.join(QLatin1Char(' '));
}

struct QtDialogsFilter
{
    QString description;
    QString entry; // "description (patterns)", as Qt takes it
};

// "desc|pattern|desc|pattern" to Qt's "desc (pattern)" entries. A trailing
// description without a pattern is dropped, as the common dialog does.
QList<QtDialogsFilter> qtDialogsNameFilters(const QString &filter)
{
    QList<QtDialogsFilter> result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).simplified();
        const QString &patterns = parts.at(i + 1);
        if (description.isEmpty() && patterns.trimmed().isEmpty())
            continue;
        const QString entry = description + QStringLiteral(" (") + qtDialogsPatterns(patterns) + QLatin1Char(')');
        result.append({description, entry});
    }
    return result;
}

// Qt 6.4 reports the chosen filter as the list shows it: without the
// patterns when they are hidden. Later versions give the whole entry.
int qtDialogsFilterIndex(const QList<QtDialogsFilter> &filters, const QString &selected)
{
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters.at(i).entry == selected || filters.at(i).description == selected)
            return int(i);
    }
    return 0;
}

// A folder that does not exist still opens the dialog: it starts in the
// nearest folder above that does.
QString qtDialogsExistingFolder(const QString &folder)
{
    if (folder.isEmpty())
        return QString();
    // QDir::cdUp refuses to leave a folder that is not there, so the path is
    // cut back by hand.
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return QString();
        path = parent;
    }
    return path;
}

bool qtDialogsHasWildcard(const QString &pattern)
{
    return pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
}

// The window the user works in when a box opens, which the box belongs to:
// when the box closes, the window manager gives the keyboard back to the
// box's owner, and a disabled main window under the entry dialog would keep
// it from the user.
QWidget *qtDialogsOwner(QWidget *fallback)
{
    QWidget *active = QApplication::activeWindow();
    return active && active->isEnabled() ? active : fallback;
}

// Gives the keyboard back to the window that had it before a dialog that
// belongs to another window.
class QtDialogsKeyboardReturn
{
public:
    QtDialogsKeyboardReturn()
        : m_window(QApplication::activeWindow())
    {
    }
    ~QtDialogsKeyboardReturn()
    {
        if (m_window && m_window->isVisible() && m_window->isEnabled())
            m_window->activateWindow();
    }
    QtDialogsKeyboardReturn(const QtDialogsKeyboardReturn &) = delete;
    QtDialogsKeyboardReturn &operator=(const QtDialogsKeyboardReturn &) = delete;

private:
    QPointer<QWidget> m_window;
};

// The window manager draws the title in its own font beside an icon and
// three buttons, and cuts what does not fit: a box is made wide enough.
int qtDialogsTitleWidth(const QString &title)
{
    constexpr int titleBarButtons = 120;
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + titleBarButtons;
}

// Keeps Escape and close requests from a box that only a button may answer.
class QtDialogsButtonOnly final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel))
            return true;
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QtDialogs::QtDialogs(QWidget *parent)
    : m_parent(parent)
{
}

Dialogs::Answer QtDialogs::message(const Message &message)
{
    const QtDialogsKeyboardReturn keyboardReturn;
    QMessageBox box(qtDialogsOwner(m_parent));
    box.setTextFormat(Qt::PlainText);
    box.setText(qtDialogsDisplayText(message.text));
    box.setWindowTitle(titleOrDefault(message.title));

    box.setIcon(qtDialogsIcon(message.icon));

    const QList<QMessageBox::StandardButton> kinds = qtDialogsButtonSet(message.buttons);
    QList<QPushButton *> buttons;
    for (QMessageBox::StandardButton kind : kinds)
        buttons.append(box.addButton(kind));
    const int defaultIndex
        = message.defaultButton >= 0 && message.defaultButton < buttons.size() ? message.defaultButton : 0;
    box.setDefaultButton(buttons.at(defaultIndex));

    // As the system boxes: OK alone answers OK to Escape and the close box,
    // a box with Cancel answers Cancel, and Yes and No wait for a button, so
    // a stray Escape can never answer No to a question about unsaved data.
    const bool needsButton = !kinds.contains(QMessageBox::Cancel) && kinds.size() > 1;
    QMessageBox::StandardButton escape = kinds.contains(QMessageBox::Cancel) ? QMessageBox::Cancel : kinds.first();
    QtDialogsButtonOnly buttonOnly;
    if (needsButton) {
        // Given no escape button, Qt picks No as one: Escape and the close
        // request are held back before the box sees them.
        box.installEventFilter(&buttonOnly);
        box.setWindowFlag(Qt::CustomizeWindowHint);
        box.setWindowFlag(Qt::WindowCloseButtonHint, false);
        escape = QMessageBox::No;
    } else {
        box.setEscapeButton(box.button(escape));
    }

    // The box sizes itself from its layout and ignores a minimum width; the
    // setters above lay it out anew, so this comes last.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(qtDialogsTitleWidth(box.windowTitle()), 0, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
    // Closed without a button: only the program itself can do that to a Yes
    // and No box, and then No, the answer that deletes and overwrites nothing.
    QAbstractButton *clicked = box.clickedButton();
    const QMessageBox::StandardButton answer = clicked ? box.standardButton(clicked) : escape;
    return qtDialogsAnswer(answer == QMessageBox::NoButton ? escape : answer);
}

QString QtDialogs::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    const QtDialogsKeyboardReturn keyboardReturn;
    QInputDialog dialog(qtDialogsOwner(m_parent));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.setLabelText(qtDialogsDisplayText(prompt));
    if (auto *edit = dialog.findChild<QLineEdit *>()) {
        // QLineEdit stops at 32767 characters, and would cut a longer entry
        // silently on the way in and out; the input box has no limit. Raised
        // before the text is set, which is cut to the limit of the moment.
        edit->setMaxLength(std::numeric_limits<int>::max());
        // The dialog keeps to its contents' size: the text box makes it wide.
        edit->setMinimumWidth(qtDialogsTitleWidth(dialog.windowTitle()));
    }
    dialog.setTextValue(defaultText);
    // The prompt is the program's text, never markup.
    if (auto *label = dialog.findChild<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

QString QtDialogs::openFile(const FileRequest &request)
{
    return runFileDialog(request, false);
}

QString QtDialogs::saveFile(const FileRequest &request)
{
    return runFileDialog(request, true);
}

QString QtDialogs::runFileDialog(const FileRequest &request, bool save)
{
    // The file dialogs belong to the main window; the keyboard still goes
    // back to the entry dialog that asked for one.
    const QtDialogsKeyboardReturn keyboardReturn;
    QFileDialog dialog(m_parent, request.title);
    // Qt's own dialog behaves the same on every desktop, and offscreen.
    // The caller asks before overwriting, and adds an extension itself if it
    // wants one: no default suffix, so a typed name comes back as typed.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite
                      | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Neither dialog insists that the file exists: a typed new name comes back.
    dialog.setFileMode(QFileDialog::AnyFile);

    // The descriptions already show their patterns ("Текстовые файлы (*.txt)"),
    // so the patterns Qt would append are hidden.
    const QList<QtDialogsFilter> filters = qtDialogsNameFilters(request.filter);
    if (!filters.isEmpty()) {
        QStringList entries;
        for (const QtDialogsFilter &filter : filters)
            entries.append(filter.entry);
        dialog.setNameFilters(entries);
        dialog.selectNameFilter(entries.at(m_lastFilterIndex < entries.size() ? m_lastFilterIndex : 0));
    }

    const QString folder = qtDialogsExistingFolder(request.initialFolder);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);

    // The callers pass "*.txt", "*.*" or nothing as the file pattern. The
    // filter already lists the matching files, so a wildcard is not put in
    // the name field; the field shows the name chosen last time instead (in
    // the given folder), as the common dialog keeps its file name. A pattern
    // without wildcards is a name and is shown as it is.
    if (!request.pattern.isEmpty() && !qtDialogsHasWildcard(request.pattern))
        dialog.selectFile(request.pattern);
    else if (!m_lastFile.isEmpty())
        dialog.selectFile(QFileInfo(m_lastFile).fileName());

    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty())
        return QString();
    m_lastFile = path;
    if (!filters.isEmpty())
        m_lastFilterIndex = qtDialogsFilterIndex(filters, dialog.selectedNameFilter());
    return path;
}

std::optional<QFont> QtDialogs::chooseFont(const QString &title, const QFont &current)
{
    // The face the text actually shows, so that a substituted name ("Tahoma")
    // is found in the dialog's list.
    QFont preset(QFontInfo(current).family());
    if (m_lastFont) {
        preset.setPointSizeF(m_lastFont->pointSizeF());
        preset.setWeight(m_lastFont->weight());
        preset.setItalic(m_lastFont->italic());
    } else {
        preset.setWeight(QFont::Normal);
        preset.setItalic(false);
    }
    // Given only weight and slant, the dialog picks an italic style for faces
    // whose upright style is named "Book"; the exact style name avoids that.
    preset.setStyleName(QFontInfo(preset).styleName());

    const QtDialogsKeyboardReturn keyboardReturn;
    QFontDialog dialog(m_parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setWindowTitle(title);
    dialog.setCurrentFont(preset);

    // No effects section: untick its boxes the way a user would, so that the
    // dialog's own state follows, then hide the group that holds them.
    const QList<QCheckBox *> boxes = dialog.findChildren<QCheckBox *>();
    for (QCheckBox *box : boxes) {
        if (box->isChecked())
            box->click();
    }
    for (QCheckBox *box : boxes) {
        if (QWidget *group = box->parentWidget(); group && group != &dialog) {
            // The sample shares the group's rows and would shrink to a strip.
            QSizePolicy policy = group->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            group->setSizePolicy(policy);
            group->hide();
        }
    }

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    QFont chosen = dialog.selectedFont();
    // The style name would override bold and italic set later by the caller.
    chosen.setStyleName(QString());
    chosen.setUnderline(false);
    chosen.setStrikeOut(false);
    m_lastFont = chosen;
    return chosen;
}

} // namespace platform
