#include "shoot_phonebook.h"

#include "codepage.h"
#include "frmmain.h"
#include "phonepage.h"
#include "qtdialogs.h"
#include "shotsupport.h"
#include "system.h"
#include "tabcontrol.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The real input boxes, filled in and answered from a timer once their
// picture is taken; no other dialog is shown.
class PhoneShotDialogs final : public shots::SilentDialogs
{
public:
    struct Shot
    {
        QString answer;
        QString file;
    };
    QList<Shot> shots;

    QString input(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        const Shot shot = shots.value(m_next++);
        QTimer timer;
        int ticks = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QInputDialog *box = nullptr;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible() && qobject_cast<QInputDialog *>(widget))
                    box = static_cast<QInputDialog *>(widget);
            }
            // Never wait for a box that did not come: give up after a second.
            if (!box) {
                if (++ticks > 20)
                    timer.stop();
                return;
            }
            timer.stop();
            box->setTextValue(shot.answer);
            if (!shot.file.isEmpty())
                shots::save(*box, shot.file);
            if (shot.answer.isEmpty())
                box->reject();
            else
                box->accept();
        });
        timer.start(50);
        return m_real.input(prompt, title, defaultText);
    }

private:
    platform::QtDialogs m_real;
    int m_next = 0;
};

} // namespace

void shootPhoneBook(const QString &outputFolder)
{
    QTemporaryDir programFolder;
    const QDir folder(outputFolder);
    {
        QFile file(QDir(programFolder.path()).filePath(u"phones.tn"_s));
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(platform::codepage::fromUnicode(u"Анна Петрова|+7 495 111-22-33|\r\n"
                                                   u"Борис Иванов|8 (812) 222-33-44|\r\n"
                                                   u"Вера Смирнова|555-66-77|\r\n\r\n"_s));
    }

    PhoneShotDialogs dialogs;
    dialogs.shots = {{u"Глеб Орлов"_s, folder.filePath(u"tarnel-phonebook-name.png"_s)},
                     {u"8 900 123-45-67"_s, folder.filePath(u"tarnel-phonebook-number.png"_s)}};
    shots::StillSystem system(programFolder.path() + u'/');
    frmMain window(dialogs, system);
    window.SSTab1->setCurrentIndex(frmMain::PagePhones);
    window.show();
    QApplication::processEvents();
    window.page<PhonePage>(frmMain::PagePhones)->cmdAddPhone->click();
    shots::save(window, folder.filePath(u"tarnel-phonebook.png"_s));
    // Nothing of the screenshot's book is left unsaved: it goes into the
    // temporary program folder, which goes with it.
    window.phoneBook().SavePhone();
    window.hide();
}
