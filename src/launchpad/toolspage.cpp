#include "toolspage.h"

#include "appcontext.h"

ToolsPage::ToolsPage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
}

std::array<QString, 5> ToolsPage::descriptions()
{
    return {
        QStringLiteral("Tallyra позволяет вести домашний бюджет, контролировать доходы и расходы, проверять "
                       "штрих-код на подлинность и многое другое."),
        QStringLiteral("\"Locksa\" хранят Ваши секретные данные в зашифрованном виде."),
        QStringLiteral("Dovrik шифрует/расшифровывает любые файлы."),
        QStringLiteral("Velmor позволяет конвертировать тексты из кириллицы в латиницу и наоборот."),
        QStringLiteral("Открытие Вашей папки. В ней хранятся Ваши личные данные. Копировать туда файлы Вы можете "
                       "перетаскиванием файлов из других окон, удерживая клавишу CTRL."),
    };
}
