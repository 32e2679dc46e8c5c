#include "launchpad.h"

#include "appcontext.h"
#include "launchroutines.h"

LaunchPad::LaunchPad(AppContext &context)
    : m_context(context)
{
}

void LaunchPad::fillDescriptions()
{
    ToolDescriptions = {
        QStringLiteral("Tallyra позволяет вести домашний бюджет, контролировать доходы и расходы, проверять "
                       "штрих-код на подлинность и многое другое."),
        QStringLiteral("\"Locksa\" хранят Ваши секретные данные в зашифрованном виде."),
        QStringLiteral("Dovrik шифрует/расшифровывает любые файлы."),
        QStringLiteral("Velmor позволяет конвертировать тексты из кириллицы в латиницу и наоборот."),
        QStringLiteral("Открытие Вашей папки. В ней хранятся Ваши личные данные. Копировать туда файлы Вы можете "
                       "перетаскиванием файлов из других окон, удерживая клавишу CTRL."),
    };
    GameDescriptions = {
        QStringLiteral("Запуск игры Brommel. "),
        QStringLiteral("Запуск игры Quarrow."),
        QStringLiteral("Запуск игры Gillrun. (Симулятор Рыбного боя)"),
    };
}

void LaunchPad::findGillrun()
{
    m_gillrunInstalled
        = launchpad::fileFound(m_context, launchpad::programPath(m_context.state.ProgramFolder, gillrunProgram()));
}

void LaunchPad::hover(qint16 &lastEntered, qint16 index)
{
    if (lastEntered == index)
        return;
    // Remembered before the sound: playing lets waiting events run first, and
    // a further hover handled then must find this one complete.
    lastEntered = index;
    m_context.PlaySoundFile(m_context.state.ProgramFolder + QStringLiteral("tarnelover.wav"));
}
