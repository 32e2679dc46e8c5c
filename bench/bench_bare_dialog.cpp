// The floor for the companion program's start-up: what Qt alone costs to show
// an empty dialog of the same client size.

#include "startupprobe.h"
#include "twips.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QDialog window;
    window.setFixedSize(platform::twips::size(5550, 3945));

    platform::reportWhenShown(&window);
    window.show();
    return app.exec();
}
