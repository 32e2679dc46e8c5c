#include "notespage.h"

#include "appcontext.h"
#include "appearance.h"
#include "clicklabel.h"
#include "notesdocument.h"
#include "placement.h"
#include "pushbutton.h"
#include "twips.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include <utility>

namespace {

QPushButton *pictureButton(const QString &picture, const QString &toolTip, QWidget *parent)
{
    auto *button = new PushButton(parent);
    QIcon icon(platform::appearance::picture(picture, 1));
    icon.addPixmap(platform::appearance::picture(picture, 2));
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    return button;
}

} // namespace

NotesPage::NotesPage(AppContext &context, NotesDocument &notes, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_document(notes)
{
    cmdFile = new PushButton(QStringLiteral("&Файл"), this);
    cmdEdit = new PushButton(QStringLiteral("&Правка"), this);
    cmdLoadLast = new PushButton(QStringLiteral("Открыть последний файл"), this);
    cmdOpenFile = pictureButton(QStringLiteral(":/notes/open.png"), QStringLiteral("Открыть"), this);
    cmdSaveText = pictureButton(QStringLiteral(":/notes/save.png"), QStringLiteral("Сохранить"), this);
    cmdPrintText = pictureButton(QStringLiteral(":/notes/print.png"), QStringLiteral("Печать"), this);
    Text = new QPlainTextEdit(this);
    lblStatus = new ClickLabel(m_document.status(), this);
    lblStatus->setToolTip(platform::appearance::plainToolTip(m_document.statusToolTip()));
    // The box shows the document's own text; the font is the box's.
    Text->setDocument(m_document.document());
    Text->setAccessibleName(QStringLiteral("Текст"));
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
    cmdLoadLast->setToolTip(platform::appearance::plainToolTip(m_document.loadLastToolTip()));

    // The document and its file name may hold any character: what the face
    // lacks comes from another.
    Text->setFont(platform::appearance::userTextFont(Text->font()));
    lblStatus->setFont(platform::appearance::userTextFont(lblStatus->font()));
    Text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on, as in a text box of the system the windows come from;
    // Ctrl+Tab types the TAB (the event filter).
    Text->setTabChangesFocus(true);
    Text->installEventFilter(this);
    cmdFile->installEventFilter(this);
    cmdEdit->installEventFilter(this);

    makeMenus();
    connectControls();
}

void NotesPage::makeMenus()
{
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    const auto entry = [this](QMenu *menu, const char16_t *name, const QString &caption, auto command) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromUtf16(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    const auto separator
        = [](QMenu *menu, const char16_t *name) { menu->addSeparator()->setObjectName(QString::fromUtf16(name)); };
    NotesDocument *document = &m_document;
    mnuItemNew = entry(mnuFile, u"mnuItemNew", QStringLiteral("Новый"), [document] { document->newDocument(); });
    separator(mnuFile, u"line1");
    mnuItemOpen = entry(mnuFile, u"mnuItemOpen", QStringLiteral("Открыть..."), [document] { document->open(); });
    mnuItemSave = entry(mnuFile, u"mnuItemSave", QStringLiteral("Сохранить"), [document] { document->save(); });
    mnuItemSaveAs
        = entry(mnuFile, u"mnuItemSaveAs", QStringLiteral("Сохранить как"), [document] { document->saveAs(); });
    separator(mnuFile, u"line2");
    mnuItemPrint = entry(mnuFile, u"mnuItemPrint", QStringLiteral("Печать"), [document] { document->print(); });
    mnuItemInsDateTime = entry(mnuEdit, u"mnuItemInsDateTime", QStringLiteral("Вставить дату и время"),
                               [document] { document->insertDateTime(); });
    separator(mnuEdit, u"line3");
    mnuItemFont = entry(mnuEdit, u"mnuItemFont", QStringLiteral("Шрифт..."), [this] { mnuItemFont_Click(); });
}

void NotesPage::connectControls()
{
    NotesDocument *document = &m_document;
    connect(cmdFile, &QPushButton::clicked, this, &NotesPage::cmdFile_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &NotesPage::cmdEdit_Click);
    connect(cmdLoadLast, &QPushButton::clicked, this, [document] { document->loadLast(); });
    connect(cmdOpenFile, &QPushButton::clicked, this, [document] { document->open(); });
    connect(cmdSaveText, &QPushButton::clicked, this, [document] { document->save(); });
    connect(cmdPrintText, &QPushButton::clicked, this, [document] { document->print(); });
    connect(lblStatus, &ClickLabel::clicked, this, &NotesPage::lblStatus_Click);

    connect(document, &NotesDocument::statusChanged, this, [this] {
        lblStatus->setText(m_document.status());
        lblStatus->setToolTip(platform::appearance::plainToolTip(m_document.statusToolTip()));
    });
    connect(document, &NotesDocument::loadLastToolTipChanged, this,
            [this] { cmdLoadLast->setToolTip(platform::appearance::plainToolTip(m_document.loadLastToolTip())); });
    connect(document, &NotesDocument::textFocusWanted, this, [this] { Text->setFocus(); });
    connect(document, &NotesDocument::textReplaced, this, [this] { Text->moveCursor(QTextCursor::Start); });
}

void NotesPage::lblStatus_Click()
{
    // Shows the whole caption, also what does not fit the label.
    m_context.MsgBox(lblStatus->text(), AppContext::Buttons::Ok, AppContext::Icon::Information,
                     QStringLiteral("Статус"));
}

bool NotesPage::eventFilter(QObject *watched, QEvent *event)
{
    // A left-button release over the button is the click that opens its menu.
    if ((watched == cmdFile || watched == cmdEdit) && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_menuByMouse = mouse->button() == Qt::LeftButton
                     && static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint());
        return QWidget::eventFilter(watched, event);
    }
    const auto isCtrlTab
        = [](const QKeyEvent *key) { return key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier; };
    // The page control takes Ctrl+Tab for a shortcut unless the text claims it.
    if (watched == Text && event->type() == QEvent::ShortcutOverride && isCtrlTab(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    if (watched == Text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isCtrlTab(key)) {
            Text->insertPlainText(QStringLiteral("\t"));
            return true;
        }
        // Shift+Enter would put a lone LF into the document, where the user
        // expects the same line end as Enter gives.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers().testFlag(Qt::ShiftModifier)) {
            QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier, key->text());
            QCoreApplication::sendEvent(Text, &plain);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QPoint NotesPage::menuPlace(const QPushButton *button)
{
    const bool byMouse = std::exchange(m_menuByMouse, false);
    return byMouse ? QCursor::pos() : button->mapToGlobal(QPoint(0, button->height()));
}

void NotesPage::cmdFile_Click()
{
    mnuFile->popup(menuPlace(cmdFile));
}

void NotesPage::cmdEdit_Click()
{
    mnuEdit->popup(menuPlace(cmdEdit));
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
