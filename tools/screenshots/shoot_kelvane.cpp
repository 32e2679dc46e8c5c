#include "shoot_kelvane.h"

#include "clipboard.h"
#include "dialogs.h"
#include "frmmain.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QString>

using namespace Qt::StringLiterals;

namespace {

// Neither screenshot opens a dialog or touches the clipboard; these stand in
// so that nothing real could pop up or be overwritten if that ever changed.
class KelvaneShotDialogs final : public platform::Dialogs
{
public:
    using Dialogs::message;
    Answer message(const Message &) override { return Answer::Ok; }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const FileRequest &) override { return {}; }
    QString saveFile(const FileRequest &) override { return {}; }
    std::optional<QFont> chooseFont(const QString &, const QFont &) override { return std::nullopt; }
};

class KelvaneShotClipboard final : public kelvane::Clipboard
{
public:
    QString text() override { return m_text; }
    void setText(const QString &text) override { m_text = text; }

private:
    QString m_text;
};

void saveKelvaneShot(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    if (!window->grab().save(path, "PNG"))
        qWarning("could not write %s", qPrintable(QDir::toNativeSeparators(path)));
}

} // namespace

void shootKelvane(const QString &outputFolder)
{
    KelvaneShotDialogs dialogs;
    dialogs.setDefaultTitle(kelvane::frmMain::programTitle());
    KelvaneShotClipboard clipboard;
    kelvane::frmMain window(dialogs, clipboard);
    window.show();

    const QDir folder(outputFolder);
    saveKelvaneShot(&window, folder.filePath(u"kelvane-empty.png"_s));

    window.findChild<QLineEdit *>(u"txtIn"_s)->setText(u"ж"_s);
    window.findChild<QPushButton *>(u"cmdOK"_s)->click();
    saveKelvaneShot(&window, folder.filePath(u"kelvane-analysis.png"_s));

    window.close();
}
