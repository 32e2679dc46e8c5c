#include "frmmain.h"

#include "aboutpage.h"
#include "appearance.h"
#include "filesystem.h"
#include "gamespage.h"
#include "keyvaluereader.h"
#include "notespage.h"
#include "phonepage.h"
#include "runpage.h"
#include "runtimefailure.h"
#include "settingsfile.h"
#include "system.h"
#include "tabcontrol.h"
#include "toolspage.h"
#include "twips.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

// A plain top-level widget is shown to assistive technology as a panel, not
// as the application's window; a QMainWindow would be a window.
QAccessibleInterface *accessibleMainWindow(const QString &, QObject *object)
{
    auto *window = qobject_cast<frmMain *>(object);
    return window ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

constexpr int clientWidthTwips = 7425;
constexpr int clientHeightTwips = 5760;
const QColor windowColour(60, 81, 130);

} // namespace

frmMain::frmMain(platform::Dialogs &dialogs, platform::System &system, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_context(dialogs, system)
    , m_programs(m_context)
    , m_document(m_context)
    , m_phoneBook(m_context)
    , m_launchPad(m_context)
    , m_recovery(m_context, m_models)
{
    using platform::twips::rect;

    setObjectName(QStringLiteral("frmMain"));
    QAccessible::installFactory(accessibleMainWindow);
    setWindowTitle(QStringLiteral("Домашний центр Orvane Tarnel"));
    setFixedSize(platform::twips::size(clientWidthTwips, clientHeightTwips));
    // The pages that show a user's text give those controls fallback faces.
    setFont(platform::appearance::fixedTextFont(QFont(platform::appearance::face(QStringLiteral("MS Sans Serif")), 8)));
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, windowColour);
    setPalette(windowPalette);
    setAutoFillBackground(true);
    m_context.setMainWindow(this);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(rect(120, 120, 4695, 600));
    Image2->setPixmap(platform::appearance::picture(QStringLiteral(":/shell/image2.png")));

    Label1 = new QLabel(QStringLiteral("orvane tarnel"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(platform::appearance::face(QStringLiteral("Tahoma")), 14);
    titleFont.setPointSizeF(14.25);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    QPalette titlePalette = Label1->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(titlePalette);
    Label1->move(platform::twips::toPixels(5040), platform::twips::toPixels(240));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->adjustSize();

    SSTab1 = new TabControl(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(rect(45, 840, 7335, 4815));
    SSTab1->addPage(QStringLiteral("Запуск"),
                    [this](QWidget *parent) { return new RunPage(m_context, m_programs, parent); });
    SSTab1->addPage(QStringLiteral("Записи"),
                    [this](QWidget *parent) { return new NotesPage(m_context, m_document, parent); });
    SSTab1->addPage(QStringLiteral("Телефоны"), [this](QWidget *parent) { return new PhonePage(m_phoneBook, parent); });
    SSTab1->addPage(QStringLiteral("Задачи"),
                    [this](QWidget *parent) { return new ToolsPage(m_context, m_launchPad, parent); });
    SSTab1->addPage(QStringLiteral("Игры"),
                    [this](QWidget *parent) { return new GamesPage(m_context, m_launchPad, parent); });
    SSTab1->addPage(QStringLiteral("My Tarnel"), [this](QWidget *parent) { return new AboutPage(m_context, parent); });
    SSTab1->setCurrentIndex(PageRun);

    Form_Load();
    centreOnScreen();
}

frmMain::~frmMain()
{
    // The pages go before the models they show: the notes text box shows the
    // document's own text, and hiding the window would still read it.
    delete SSTab1;
}

void frmMain::centreOnScreen()
{
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void frmMain::Form_Load()
{
    // The grid's shape and the version label come with their pages.
    InitApplication();
    LoadSettings();
}

void frmMain::showError(const QString &description)
{
    m_context.MsgBox(QStringLiteral("Ошибка: ") + description, AppContext::Buttons::Ok, AppContext::Icon::Critical);
}

void frmMain::InitApplication()
{
    const AppState &state = m_context.state;
    // The context asked for both folders; the rest of start-up goes on
    // without the opener's.
    if (state.WindowsFolder.isEmpty())
        showError(QString());

    // Each step reports its own failure and start-up goes on with the next.
    const auto step = [this](const auto &work) {
        if (const std::optional<platform::RuntimeFailure> failure = platform::failureOf(work))
            showError(failure->description());
    };
    step([this, &state] {
        if (!m_context.FolderExists(state.PersonalFolder()))
            platform::filesystem::createFolder(state.PersonalFolder());
    });
    step([this] { m_programs.LoadAppList(); });
    // The list box is filled from the list when the page is first shown.
    step([this] { m_phoneBook.LoadPhone(); });
}

void frmMain::LoadSettings()
{
    const AppState &state = m_context.state;
    const auto reportReadFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Ошибка при чтении файла конфигурации!") + state.CrLf2 + description,
                         AppContext::Buttons::Ok, AppContext::Icon::Critical);
    };
    const QString path = state.ProgramFolder + settingsfile::fileName();
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        if (!m_context.FileExists(path)) {
            SSTab1->setCurrentIndex(PageTools);
            return;
        }
        QFile file;
        platform::filesystem::openForReading(file, path);
        int page = settingsfile::pageFromText(ReadKeyValue(file, settingsfile::section(), settingsfile::curTabKey()));
        if (page < 0 || page >= PageCount)
            page = PageGames;
        SSTab1->setCurrentIndex(page);
        m_document.setLastFile(ReadKeyValue(file, settingsfile::section(), settingsfile::lastFileKey()));
    });
    if (failure)
        reportReadFailure(failure->description());
}

void frmMain::SaveSettings()
{
    const AppState &state = m_context.state;
    const auto reportWriteFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Возникла ошибка при сохранении файла конфигурации:") + state.CrLf2
                             + description,
                         AppContext::Buttons::Ok, AppContext::Icon::Critical);
    };
    // Running out of memory is reported like any other failure: closeEvent
    // must not end the program.
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        platform::filesystem::writeDataFile(state.ProgramFolder + settingsfile::fileName(),
                                            settingsfile::bytes(SSTab1->currentIndex(), m_document.lastFile()));
    });
    if (failure)
        reportWriteFailure(failure->description());
}

bool frmMain::Form_Unload()
{
    const bool changed = anythingChanged();
    const bool saveAsked = changed
                        && m_context.MsgBox(QStringLiteral("Данные изменились. Сохранить сейчас?"),
                                            AppContext::Buttons::YesNo, AppContext::Icon::Information)
                               == AppContext::Answer::Yes;
    if (saveAsked) {
        // Every save the user asked for is tried; one that fails keeps its flag
        // and keeps the window open, since closing now would lose that data.
        // A Save As the user cancelled lets shut-down go on unsaved.
        bool allSaved = true;
        if (m_document.hasUnsavedChanges() && m_document.shutdownSave() == SaveOutcome::Failed)
            allSaved = false;
        if (m_programs.hasUnsavedChanges() && m_programs.SaveAppList() == SaveOutcome::Failed)
            allSaved = false;
        if (m_phoneBook.hasUnsavedChanges() && m_phoneBook.SavePhone() == SaveOutcome::Failed)
            allSaved = false;
        if (!allSaved) {
            m_shutdownSaveFailed = true;
            return false;
        }
    }
    // "Нет" throws the changes away, unless a save of them has failed: what
    // is still unsaved after a cancelled Save As or a failed save is kept.
    if (changed && !saveAsked && !m_shutdownSaveFailed)
        m_recovery.discard();
    else
        m_recovery.writeNow();
    SaveSettings();
    return true;
}

bool frmMain::sessionEnding(bool interactionAllowed)
{
    if (!interactionAllowed) {
        endWithoutQuestion();
        return true;
    }
    return Form_Unload();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Disabled under a dialog of its own, which must close first; the window
    // manager's close request reaches a disabled window all the same.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}

bool frmMain::anythingChanged() const
{
    return m_models.anythingUnsaved();
}

void frmMain::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // The window manager shows the icon, never the first paint: it comes after.
    if (windowIcon().isNull())
        QMetaObject::invokeMethod(this, &frmMain::showIcon, Qt::QueuedConnection);
}

void frmMain::showIcon()
{
    if (!windowIcon().isNull())
        return;
    // From the pictures, not by the file's name: QIcon would have every image
    // plugin asked what the file is, loading each.
    QIcon icon(platform::appearance::picture(QStringLiteral(":/shell/tarnel.png"), 1));
    icon.addPixmap(platform::appearance::picture(QStringLiteral(":/shell/tarnel.png"), 2));
    setWindowIcon(icon);
}

void frmMain::changeEvent(QEvent *event)
{
    // A logout, a closing session or a compositor going away take the focus
    // first; the lost connection that follows ends the program at once.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        m_recovery.keepNow();
    QWidget::changeEvent(event);
}
