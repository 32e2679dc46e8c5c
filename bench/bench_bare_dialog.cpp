// A second floor for the companion program's start-up: what Qt alone costs to
// show an empty dialog of the same client size. With no text on it no font is
// ever loaded, so no program that shows text can come near it; the figure says
// what the text costs, and bench_bare_text_dialog is the fair yardstick.

#include "twips.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QDialog window;
    window.setFixedSize(platform::twips::size(5550, 3945));
    window.show();
    return app.exec();
}
