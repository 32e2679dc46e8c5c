#include "shoot_kelvane.h"

#include "clipboard.h"
#include "dialogs.h"
#include "frmmain.h"
#include "shotsupport.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QString>

using namespace Qt::StringLiterals;

namespace {

class KelvaneShotClipboard final : public kelvane::Clipboard
{
public:
    QString text() override { return m_text; }
    void setText(const QString &text) override { m_text = text; }

private:
    QString m_text;
};

} // namespace

void shootKelvane(const QString &outputFolder)
{
    // Neither screenshot opens a dialog or touches the clipboard.
    shots::SilentDialogs dialogs;
    dialogs.setDefaultTitle(kelvane::frmMain::programTitle());
    KelvaneShotClipboard clipboard;
    kelvane::frmMain window(dialogs, clipboard);
    window.show();

    const QDir folder(outputFolder);
    shots::save(window, folder.filePath(u"kelvane-empty.png"_s));

    window.findChild<QLineEdit *>(u"txtIn"_s)->setText(u"ж"_s);
    window.findChild<QPushButton *>(u"cmdOK"_s)->click();
    shots::save(window, folder.filePath(u"kelvane-analysis.png"_s));

    window.close();
}
