#include "launchpad.h"

#include "appcontext.h"
#include "folders.h"
#include "runtimefailure.h"
#include "system.h"
#include "weblinks.h"

namespace {

constexpr char16_t gameWebToolTip[] = u"Информация о программе в Интернете";

constexpr std::array<LaunchItem, LaunchPad::ToolCount> toolItems {{
    {u"Tallyra",
     u"Tallyra позволяет вести домашний бюджет, контролировать доходы и расходы, проверять штрих-код на подлинность и "
     u"многое другое.",
     ":/launchpad/tallyra.png", "tallyra/tallyra", "/tallyra/", "lblTallyraOnline", u"Информация о Tallyra в Интернете",
     "", ""},
    {u"Locksa", u"\"Locksa\" хранят Ваши секретные данные в зашифрованном виде.", ":/launchpad/locksa.png",
     "locksa/locksa", "/locksa/", "lblLocksaOnline", u"Информация о \"Locksa\" в Интернете", "", ""},
    {u"Dovrik", u"Dovrik шифрует/расшифровывает любые файлы.", ":/launchpad/dovrik.png", "dovrik/dovrik", "/dovrik/",
     "lblDovrikOnline", u"Информация о Dovrik'е в Интернете", "", ""},
    {u"Velmor", u"Velmor позволяет конвертировать тексты из кириллицы в латиницу и наоборот.", ":/launchpad/velmor.png",
     "velmor/velmor", "/velmor/", "lblVelmorOnline", u"Информация о Velmor в Интернете", "", ""},
    {u"Ваша папка",
     u"Открытие Вашей папки. В ней хранятся Ваши личные данные. Копировать туда файлы Вы можете перетаскиванием "
     u"файлов из других окон, удерживая клавишу CTRL.",
     ":/launchpad/personal.png", "", "", "", u"", "", ""},
}};

constexpr std::array<LaunchItem, LaunchPad::GameCount> gameItems {{
    {u"Brommel", u"Запуск игры Brommel. ", ":/launchpad/brommel.png", "pellmell/brommel", "/pellmell/brommel.htm",
     "lblBrommelOnline", gameWebToolTip, "brommel.txt", "lblBrommelInfo"},
    {u"Quarrow", u"Запуск игры Quarrow.", ":/launchpad/quarrow.png", "pellmell/quarrow", "/pellmell/quarrow.htm",
     "lblQuarrowOnline", gameWebToolTip, "quarrow.txt", "lblQuarrowInfo"},
    {u"Gillrun", u"Запуск игры Gillrun. (Симулятор Рыбного боя)", ":/launchpad/gillrun.png", "gillrun/gillrun",
     "/gillrun/", "lblGillrunOnline", gameWebToolTip, "gillrun/index.html", "lblGillrunInfo"},
}};

QString programPath(const QString &programFolder, const QString &relativePath)
{
    return programFolder + relativePath + platform::folders::executableSuffix();
}

} // namespace

LaunchPad::LaunchPad(AppContext &context)
    : m_context(context)
{
    for (qint16 i = 0; i < ToolCount; ++i)
        ToolDescriptions[i] = QString::fromUtf16(toolItems[i].description);
    for (qint16 i = 0; i < GameCount; ++i)
        GameDescriptions[i] = QString::fromUtf16(gameItems[i].description);
    m_gillrunInstalled
        = fileFound(programPath(m_context.state.ProgramFolder, QString::fromLatin1(gameItems[GillrunIndex].program)));
}

const LaunchItem &LaunchPad::item(Page page, qint16 index)
{
    return page == Page::Tools ? toolItems.at(index) : gameItems.at(index);
}

QString LaunchPad::programLine(const QString &programFolder, const QString &relativePath)
{
    const QString program = programPath(programFolder, relativePath);
    // Unquoted, a program folder with a blank ("/home/me/Orvane Tarnel/")
    // would start "/home/me/Orvane" if such a file existed. A name holding a
    // double quote cannot be quoted; the line finds it unquoted as before.
    if ((program.contains(QLatin1Char(' ')) || program.contains(QLatin1Char('\t')))
        && !program.contains(QLatin1Char('"')))
        return QLatin1Char('"') + program + QLatin1Char('"');
    return program;
}

const QString &LaunchPad::description(Page page, qint16 index) const
{
    return page == Page::Tools ? ToolDescriptions.at(index) : GameDescriptions.at(index);
}

void LaunchPad::hovered(Page page, qint16 index)
{
    qint16 &lastEntered = page == Page::Tools ? AON : AONgame;
    if (lastEntered == index)
        return;
    // Remembered before the sound: playing lets waiting events run first, and
    // a further hover handled then must find this one complete.
    lastEntered = index;
    m_context.PlaySoundFile(m_context.state.ProgramFolder + QStringLiteral("tarnelover.wav"));
}

void LaunchPad::start(Page page, qint16 index)
{
    const AppState &state = m_context.state;
    const QString program = QString::fromLatin1(item(page, index).program);
    m_context.PlaySoundFile(state.ProgramFolder + QStringLiteral("tarnelclick.wav"));
    if (program.isEmpty()) {
        // Through the start routine, not the opener's: a failure is told as
        // any program's that could not start.
        m_context.RunProgram(openerLine(QLatin1Char('"') + state.PersonalFolder() + QLatin1Char('"')));
        return;
    }
    // The program is started all the same; it will say what it misses.
    try {
        m_context.system.setCurrentFolder(state.ProgramFolder + program.section(QLatin1Char('/'), 0, 0));
    } catch (const platform::RuntimeFailure &) {
    }
    m_context.RunProgram(programLine(state.ProgramFolder, program));
}

void LaunchPad::openWebPage(Page page, qint16 index)
{
    m_context.OpenWithExplorer(weblinks::address(QString::fromLatin1(item(page, index).webPage)));
}

void LaunchPad::openHelpFile(Page page, qint16 index)
{
    const QString path = m_context.state.ProgramFolder + QString::fromLatin1(item(page, index).helpFile);
    if (!fileFound(path)) {
        m_context.MsgBox(QStringLiteral("Не найден файл ") + path);
        return;
    }
    // The opener takes the rest of the line as its one target, so a folder
    // with blanks needs no quotes here.
    m_context.RunProgram(openerLine(path));
}

void LaunchPad::startKelvane()
{
    m_context.RunProgram(programLine(m_context.state.ProgramFolder, QStringLiteral("kelvane")));
}

QString LaunchPad::openerLine(const QString &target) const
{
    return m_context.state.WindowsFolder + QLatin1Char('/') + platform::folders::openerName() + QLatin1Char(' ')
         + target;
}

bool LaunchPad::fileFound(const QString &path) const
{
    // A search that cannot be made finds nothing.
    try {
        return m_context.FileExists(path);
    } catch (const platform::RuntimeFailure &) {
        return false;
    }
}
