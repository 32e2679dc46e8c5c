// The floor for the main program's start-up: what Qt alone costs to show a
// main window of the same client size holding a six-page tab control, with no
// data, fonts, translations or pictures loaded.

#include "twips.h"

#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QMainWindow window;
    auto *tabs = new QTabWidget(&window);
    for (int page = 1; page <= 6; ++page)
        tabs->addTab(new QWidget(tabs), QString::number(page));
    window.setCentralWidget(tabs);
    window.setFixedSize(platform::twips::size(7425, 5760));
    window.show();
    return app.exec();
}
