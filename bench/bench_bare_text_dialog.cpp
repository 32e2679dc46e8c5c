// The fair floor for the companion program's start-up: what Qt alone costs to
// show a dialog of the same client size with one label of text. Any window
// that shows text pays for the font machinery once, which an empty dialog
// never does.

#include "twips.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QDialog window;
    window.setFixedSize(platform::twips::size(5550, 3945));
    auto *label = new QLabel(QStringLiteral("Утилита определяет, к какому языку принадлежит введенный символ: "
                                            "русский или английский. Введите символ:"),
                             &window);
    label->setWordWrap(true);
    label->setGeometry(platform::twips::rect(120, 120, 5295, 855));
    window.show();
    return app.exec();
}
