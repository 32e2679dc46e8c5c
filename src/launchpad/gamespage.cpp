#include "gamespage.h"

#include "appcontext.h"

GamesPage::GamesPage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
}

std::array<QString, 3> GamesPage::descriptions()
{
    return {
        QStringLiteral("Запуск игры Brommel. "),
        QStringLiteral("Запуск игры Quarrow."),
        QStringLiteral("Запуск игры Gillrun. (Симулятор Рыбного боя)"),
    };
}
