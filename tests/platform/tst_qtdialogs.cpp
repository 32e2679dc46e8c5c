#include "appearance.h"
#include "modalanswerer.h"
#include "qtdialogs.h"
#include "twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using platform::Dialogs;
using platform::QtDialogs;

namespace {

const QString program = QStringLiteral("Orvane Tarnel 2001");
const QString textFilter = QStringLiteral("Текстовые файлы (*.txt)|*.txt|Все файлы|*.*");

// The buttons as the user reads them, in the order Retry, Yes, No, OK,
// Cancel, the default one marked "*" and a "+" for any of another kind.
QString captions(const QWidget *dialog)
{
    const auto *box = dialog->findChild<QDialogButtonBox *>();
    QStringList shown;
    for (const auto kind : {QDialogButtonBox::Retry, QDialogButtonBox::Yes, QDialogButtonBox::No, QDialogButtonBox::Ok,
                            QDialogButtonBox::Cancel}) {
        if (const QPushButton *button = box->button(kind))
            shown.append((button->isDefault() ? u"*"_qs : QString()) + button->text().remove(u'&'));
    }
    return shown.join(u' ') + QString(box->buttons().size() - shown.size(), u'+');
}

// What the window manager needs for a title: the text in its bold title font
// and room for an icon and the title bar's buttons.
int titleWidth(const QString &title)
{
    QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(title) + 60;
}

// Clicks the button with that caption, or given none, the one that accepts.
// Queued, because accepting may raise a modal question of its own, and its
// event loop would otherwise run inside the answerer's timer, which Qt does
// not fire again until the slot returns.
void clickButton(QWidget *dialog, const QString &caption = QString())
{
    const auto *box = dialog->findChild<QDialogButtonBox *>();
    for (QAbstractButton *button : box->buttons()) {
        if (caption.isNull() ? box->buttonRole(button) == QDialogButtonBox::AcceptRole
                             : button->text().remove(u'&') == caption) {
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            return;
        }
    }
    QFAIL(qPrintable(u"no button "_qs + caption));
}

// The names the file dialog lists and lets the user pick, sorted.
QStringList listedNames(QFileDialog *dialog)
{
    QStringList names;
    const auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    const QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, view->rootIndex());
        if (model->flags(index).testFlag(Qt::ItemIsEnabled))
            names.append(index.data().toString());
    }
    names.sort();
    return names;
}

} // namespace

class tst_QtDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_main;
    QDialog *m_details = nullptr;
    // A new one for each test: it remembers the last file, filter and font.
    std::unique_ptr<QtDialogs> m_dialogs;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const QString &name : {u"notes.txt"_qs, u"README"_qs, u"run.log"_qs})
            QVERIFY(QFile(m_dir.filePath(name)).open(QIODevice::WriteOnly));
        platform::appearance::installRussianTranslations(*qApp);
    }

    // Every box is raised from a dialog over the disabled main window, as
    // the entry dialog raises them: a box belongs to that dialog, a file
    // dialog to the main window, and the dialog has the keyboard again once
    // the box is gone.
    void init()
    {
        m_main = std::make_unique<QWidget>();
        m_main->show();
        // Made after the main window is disabled, as the entry dialog is.
        m_main->setEnabled(false);
        m_details = new QDialog(m_main.get());
        m_details->show();
        m_details->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_details);
        m_dialogs = std::make_unique<QtDialogs>(m_main.get());
        m_dialogs->setDefaultTitle(program);
    }

    void message_data()
    {
        QTest::addColumn<Dialogs::Message>("message");
        QTest::addColumn<QString>("press");
        QTest::addColumn<Dialogs::Answer>("answer");
        // Escape and the close request give closing; a box with only Yes and No
        // has no close box, ignores both and is answered by its default button.
        QTest::addColumn<Dialogs::Answer>("closing");
        QTest::addColumn<QStringList>("shown"); // title, icon, text, captions()

        using A = Dialogs::Answer;
        using B = Dialogs::Buttons;
        using M = QMessageBox;
        const QString text = QStringLiteral("Сохранить изменения?");
        const auto buttons = [&](const char *name, B set, int defaultIndex, const QString &shown, const QString &press,
                                 A answer, A closing) {
            QTest::newRow(name) << Dialogs::Message {text, set, Dialogs::Icon::None, QString(), defaultIndex} << press
                                << answer << closing << QStringList {program, QString::number(M::NoIcon), text, shown};
        };
        buttons("ok", B::Ok, 0, u"*ОК"_qs, u"ОК"_qs, A::Ok, A::Ok);
        buttons("ok cancel, ok", B::OkCancel, 0, u"*ОК Отмена"_qs, u"ОК"_qs, A::Ok, A::Cancel);
        buttons("yes no, yes", B::YesNo, 0, u"*Да Нет"_qs, u"Да"_qs, A::Yes, A::Yes);
        buttons("yes no, default no", B::YesNo, 1, u"Да *Нет"_qs, u"Нет"_qs, A::No, A::No);
        buttons("yes no cancel, no", B::YesNoCancel, 0, u"*Да Нет Отмена"_qs, u"Нет"_qs, A::No, A::Cancel);
        buttons("yes no cancel, third default", B::YesNoCancel, 2, u"Да Нет *Отмена"_qs, u"Да"_qs, A::Yes, A::Cancel);
        buttons("retry cancel, retry", B::RetryCancel, 0, u"*Повтор Отмена"_qs, u"Повтор"_qs, A::Retry, A::Cancel);
        buttons("default out of range", B::OkCancel, 5, u"*ОК Отмена"_qs, u"Отмена"_qs, A::Cancel, A::Cancel);

        using I = Dialogs::Icon;
        // shownText: null when the text is shown as given.
        const auto look = [&](const char *name, const QString &title, I icon, M::Icon shownIcon, const QString &given,
                              const QString &shownText = QString()) {
            QTest::newRow(name) << Dialogs::Message {given, B::Ok, icon, title, 0} << u"ОК"_qs << A::Ok << A::Ok
                                << QStringList {title.isEmpty() ? program : title, QString::number(shownIcon),
                                                shownText.isNull() ? given : shownText, u"*ОК"_qs};
        };
        look("own title, critical", QStringLiteral("Ошибка"), I::Critical, M::Critical, u"x"_qs);
        look("exclamation", QString(), I::Exclamation, M::Warning, u"x"_qs);
        look("information", QString(), I::Information, M::Information, u"x"_qs);
        look("question", QString(), I::Question, M::Question, u"x"_qs);
        look("markup shown as typed", QString(), I::None, M::NoIcon, QStringLiteral("<b>Иванов</b> & Co"));
        look("CR LF is one line break", QString(), I::Critical, M::Critical,
             QStringLiteral("Ошибка:\r\n\r\nФайл не найден"), QStringLiteral("Ошибка:\n\nФайл не найден"));
    }

    void message()
    {
        QFETCH(Dialogs::Message, message);
        QFETCH(QString, press);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(Dialogs::Answer, closing);
        QFETCH(QStringList, shown);

        // Answered by its button, then by Escape, then by a close request.
        const bool closable = message.buttons != Dialogs::Buttons::YesNo;
        for (const QString &way : {u"button"_qs, u"Escape"_qs, u"close request"_qs}) {
            ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
                QCOMPARE((QStringList {box->windowTitle(), QString::number(box->icon()), box->text(), captions(box)}),
                         shown);
                QCOMPARE(std::tuple(box->textFormat(), box->parentWidget(),
                                    box->windowFlags().testFlag(Qt::WindowCloseButtonHint)),
                         std::tuple(Qt::PlainText, m_details, closable));
                QVERIFY2(box->width() > titleWidth(shown[0]), qPrintable(QString::number(box->width())));
                if (way == u"button")
                    return clickButton(box, press);
                way == u"Escape" ? QTest::keyClick(box, Qt::Key_Escape) : void(box->close());
                QVERIFY2(box->isVisible() == !closable, qPrintable(way));
                if (box->isVisible())
                    box->defaultButton()->click();
            }));
            QVERIFY2(m_dialogs->message(message) == (way == u"button" ? answer : closing) && answerer.answered(),
                     qPrintable(way));
            QTRY_COMPARE(QApplication::activeWindow(), m_details);
        }
    }

    void input_data()
    {
        QTest::addColumn<QString>("title"); // null: the program's
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("typed"); // null: leave the field alone
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("expected");

        const QString petrov = QStringLiteral("Петров");
        const QString longEntry = QString(40000, QChar(0x0416)) + QLatin1Char('!');
        QTest::newRow("typed, OK") << QString() << QString() << u"Иванов Пётр"_qs << true << u"Иванов Пётр"_qs;
        QTest::newRow("default kept, OK")
            << u"Добавление записи в телефонную книгу"_qs << petrov << QString() << true << petrov;
        QTest::newRow("typed, Cancel") << QString() << petrov << u"Сидоров"_qs << false << QString();
        QTest::newRow("emptied, OK") << QString() << petrov << QStringLiteral("") << true << QString();
        QTest::newRow("40001 characters kept, OK") << QString() << longEntry << QString() << true << longEntry;
    }

    void input()
    {
        QFETCH(QString, title);
        QFETCH(QString, defaultText);
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(QString, expected);

        ModalAnswerer answerer(answering<QInputDialog>([&](QInputDialog *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>();
            QCOMPARE((QStringList {dialog->windowTitle(), dialog->labelText(), edit->text(), captions(dialog)}),
                     (QStringList {title.isNull() ? program : title, u"Введите фамилию:"_qs, defaultText,
                                   u"*ОК Отмена"_qs}));
            QCOMPARE(dialog->parentWidget(), m_details);
            QVERIFY2(dialog->width() > titleWidth(dialog->windowTitle()), qPrintable(QString::number(dialog->width())));
            if (!typed.isNull())
                edit->setText(typed);
            accept ? clickButton(dialog) : QTest::keyClick(dialog, Qt::Key_Escape);
        }));
        QCOMPARE(m_dialogs->input(u"Введите фамилию:"_qs, title, defaultText), expected);
        QVERIFY(answerer.answered());
        QTRY_COMPARE(QApplication::activeWindow(), m_details);
    }

    // Under the text filter only the text file is listed, under all files the
    // file without a dot too. The next dialog of the same caller, given no name
    // (the notes' Save As), starts with the name and filter chosen last;
    // cancelled, it gives nothing.
    void openFile_filterListsDotlessFileUnderAllFiles_nameAndFilterKept()
    {
        const QString allFiles = QStringLiteral("Все файлы (*)");
        ModalAnswerer answerer(answering<QFileDialog>([&](QFileDialog *dialog) {
            // The entries show the descriptions alone, which name their patterns.
            const QStringList shown = QStringList {dialog->windowTitle(),
                                                   dialog->findChild<QComboBox *>(u"fileTypeCombo"_qs)->currentText()}
                                    + dialog->nameFilters();
            QCOMPARE(shown, (QStringList {u"Открыть файл"_qs, u"Текстовые файлы (*.txt)"_qs,
                                          u"Текстовые файлы (*.txt) (*.txt)"_qs, allFiles}));
            QTRY_COMPARE(listedNames(dialog), QStringList {u"notes.txt"_qs});
            dialog->selectNameFilter(allFiles);
            QTRY_COMPARE(listedNames(dialog), (QStringList {u"README"_qs, u"notes.txt"_qs, u"run.log"_qs}));
            dialog->findChild<QLineEdit *>(u"fileNameEdit"_qs)->setText(u"README"_qs);
            clickButton(dialog);
        }));
        QCOMPARE(m_dialogs->openFile({textFilter, u"Открыть файл"_qs, u"*.txt"_qs, m_dir.path()}),
                 m_dir.filePath(u"README"_qs));
        QVERIFY(answerer.answered());

        ModalAnswerer canceller(answering<QFileDialog>([&](QFileDialog *dialog) {
            QCOMPARE(dialog->findChild<QLineEdit *>(u"fileNameEdit"_qs)->text(), u"README"_qs);
            QCOMPARE(dialog->findChild<QComboBox *>(u"fileTypeCombo"_qs)->currentText(), u"Все файлы"_qs);
            dialog->reject();
        }));
        QCOMPARE(m_dialogs->saveFile({textFilter, u"Сохранить как"_qs, QString(), m_dir.path()}), QString());
        QVERIFY(canceller.answered());
    }

    void fileDialog_folderAndTypedName_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("folder"); // below a folder of the row's own, which holds "Мои" and "notes.txt"
        QTest::addColumn<QString>("nearest"); // where the dialog opens
        QTest::addColumn<QString>("typed"); // null: cancel; else typed and accepted, and given back as typed

        QTest::newRow("open, existing: cancel") << false << QString() << QString() << QString();
        QTest::newRow("save, missing: nearest") << true << QStringLiteral("My Tarnel") << QString() << QString();
        QTest::newRow("open, missing two deep") << false << u"Мои/My Tarnel/Архив"_qs << u"Мои"_qs << QString();
        QTest::newRow("save, no extension added") << true << QString() << QString() << QStringLiteral("отчёт");
        QTest::newRow("save, other extension") << true << QString() << QString() << QStringLiteral("report.doc");
        // An existing file brings no question from the dialog: the caller asks.
        QTest::newRow("save, existing file") << true << QString() << QString() << QStringLiteral("notes.txt");
        // Nor does the open dialog insist that the file is there.
        QTest::newRow("open, a new name") << false << QString() << QString() << QStringLiteral("новый.txt");
    }

    void fileDialog_folderAndTypedName()
    {
        QFETCH(bool, save);
        QFETCH(QString, folder);
        QFETCH(QString, nearest);
        QFETCH(QString, typed);
        // A folder of its own: the dialog would otherwise open where it was last.
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("Мои")));
        QVERIFY(QFile(base.filePath(u"notes.txt"_qs)).open(QIODevice::WriteOnly));

        const QString nearestFolder = QDir(QDir(base.path()).filePath(nearest)).absolutePath();
        ModalAnswerer answerer(answering<QFileDialog>([&](QFileDialog *dialog) {
            QCOMPARE(dialog->directory().absolutePath(), nearestFolder);
            QCOMPARE(std::tuple(dialog->acceptMode(), dialog->parentWidget()),
                     std::tuple(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen, m_main.get()));
            if (typed.isNull())
                return dialog->reject();
            dialog->findChild<QLineEdit *>(u"fileNameEdit"_qs)->setText(typed);
            clickButton(dialog);
        }));
        const Dialogs::FileRequest request {textFilter, QStringLiteral("Файл"), QString(),
                                            base.path() + QLatin1Char('/') + folder};
        const QString path = save ? m_dialogs->saveFile(request) : m_dialogs->openFile(request);
        // A question of the dialog's own would have kept it open.
        QVERIFY(answerer.answered());
        QCOMPARE(path, typed.isNull() ? QString() : base.filePath(typed));
        QTRY_COMPARE(QApplication::activeWindow(), m_details);
    }

    // Three uses of one dialog: a face whose upright style is named "Book"
    // given back as it was, without the caller's effects; then a bold 14 chosen;
    // then another face, preset with the previous size and style, and cancelled.
    void chooseFont_uprightBookFace_previousUse_noEffects()
    {
        const QString bookFace = QStringLiteral("DejaVu Sans");
        if (QFontDatabase::hasFamily(bookFace)) {
            ModalAnswerer answerer(answering<QFontDialog>([&](QFontDialog *dialog) {
                QVERIFY(!dialog->currentFont().italic());
                clickButton(dialog);
            }));
            QFont current(bookFace, 10);
            current.setUnderline(true);
            current.setStrikeOut(true);
            const QFont font = QtDialogs().chooseFont(QStringLiteral("Выбор шрифта"), current).value_or(QFont());
            QVERIFY(answerer.answered());
            // No style name left behind to override a later bold or italic.
            QCOMPARE(std::tuple(font.family(), font.styleName(), font.italic(), font.bold(), font.underline(),
                                font.strikeOut()),
                     std::tuple(bookFace, QString(), false, false, false, false));
        } else {
            qWarning("DejaVu Sans, a face whose upright style is named Book, is not installed: that part is skipped");
        }

        const QString face = QStringLiteral("Liberation Sans");
        ModalAnswerer chooser(answering<QFontDialog>([&](QFontDialog *dialog) {
            // As the user picks it: by its style's name, which the translated
            // dialog would not find from weight and slant alone.
            QFont bold14(face, 14);
            bold14.setBold(true);
            bold14.setStyleName(QFontInfo(bold14).styleName());
            dialog->setCurrentFont(bold14);
            clickButton(dialog);
        }));
        const QFont first = m_dialogs->chooseFont(QStringLiteral("Выбор шрифта"), QFont(face, 8)).value_or(QFont());
        QVERIFY(chooser.answered());
        QCOMPARE(std::tuple(first.family(), first.pointSize(), first.bold(), first.italic(), first.underline()),
                 std::tuple(face, 14, true, false, false));

        // The face comes from the caller, size and style from the previous use (a
        // size no default gives).
        ModalAnswerer watcher(answering<QFontDialog>([&](QFontDialog *dialog) {
            const QFont preset = dialog->currentFont();
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Шрифт"));
            QCOMPARE(std::tuple(preset.family(), preset.pointSize(), preset.bold(), preset.italic()),
                     std::tuple(QStringLiteral("Liberation Serif"), 14, true, false));
            // The effects are there, hidden.
            const QList<QCheckBox *> effects = dialog->findChildren<QCheckBox *>();
            QVERIFY(!effects.isEmpty());
            QVERIFY(std::none_of(effects.begin(), effects.end(), [](QCheckBox *box) { return box->isVisible(); }));
            // The sample still shows a line of the chosen face.
            const auto *sample = dialog->findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit"));
            QVERIFY(sample && sample->height() >= sample->fontMetrics().height());
            dialog->reject();
        }));
        QVERIFY(!m_dialogs->chooseFont(QStringLiteral("Шрифт"), QFont(QStringLiteral("Liberation Serif"), 8)));
        QVERIFY(watcher.answered());
    }

    void face_standInOnlyForMissingFaces()
    {
        platform::appearance::installFontSubstitutions();
        // An installed face is asked for as it stands, whatever substitutes it has.
        QFont::insertSubstitution(QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Serif"));
        const std::pair<const char *, const char *> faces[]
            = {{"Tahoma", "Liberation Sans"}, {"MS Sans Serif", "Liberation Sans"}, {"DejaVu Sans", "DejaVu Sans"}};
        for (const auto &[asked, drawn] : faces)
            QCOMPARE(platform::appearance::face(QLatin1String(asked)), QLatin1String(drawn));
        QFont::removeSubstitutions(QStringLiteral("DejaVu Sans"));
    }

    void twips_edgesRoundSoNeighboursTouch()
    {
        using namespace platform::twips;
        // To the nearest pixel, halves away from zero: 15 twips make a pixel.
        QList<int> pixels;
        for (const int twips : {0, 7, 8, 15, 22, 23, -8, -7, 6840})
            pixels += toPixels(twips);
        QCOMPARE(pixels, (QList<int> {0, 0, 1, 1, 1, 2, -1, 0, 456}));

        // The edges are rounded, not the size: 100 twips is 6.67 pixels, and a
        // rectangle that wide is 6 or 7 pixels wide, depending on where it lies;
        // so neighbours that touch in twips touch in pixels (the fourth begins
        // where the third ends). Given only a size, as a window is, the size is
        // rounded.
        QCOMPARE((QList<QRect> {rect(6840, 480, 375, 375), rect(10, 10, 100, 100), rect(0, 0, 100, 100),
                                rect(100, 100, 100, 100), rect(-100, -8, 200, 23)}),
                 (QList<QRect> {{456, 32, 25, 25}, {1, 1, 6, 6}, {0, 0, 7, 7}, {7, 7, 6, 6}, {-7, -1, 14, 2}}));
        QCOMPARE((QList<QSize> {size(375, 375), size(100, 100), size(200, 23)}),
                 (QList<QSize> {{25, 25}, {7, 7}, {13, 2}}));
    }
};

QTEST_MAIN(tst_QtDialogs)
#include "tst_qtdialogs.moc"
