#include "appearance.h"
#include "modalanswerer.h"
#include "qtdialogs.h"
#include "twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using platform::Dialogs;
using platform::QtDialogs;

Q_DECLARE_METATYPE(platform::Dialogs::Message)
Q_DECLARE_METATYPE(platform::Dialogs::Answer)

namespace {

// Queued, because accepting may raise a modal question of its own, and its
// event loop would otherwise run inside the answerer's timer, which Qt does
// not fire again until the slot returns.
void clickAcceptButton(QWidget *dialog)
{
    const auto *box = dialog->findChild<QDialogButtonBox *>();
    for (QAbstractButton *button : box->buttons()) {
        if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            return;
        }
    }
}

// The captions of a box's buttons, in the order Retry, Yes, No, OK, Cancel.
QStringList captions(const QDialogButtonBox *box)
{
    QStringList shown;
    for (const QDialogButtonBox::StandardButton kind :
         {QDialogButtonBox::Retry, QDialogButtonBox::Yes, QDialogButtonBox::No, QDialogButtonBox::Ok,
          QDialogButtonBox::Cancel}) {
        if (const QPushButton *button = box->button(kind))
            shown.append(button->text().remove(QLatin1Char('&')));
    }
    return shown;
}

// The names the file dialog lists and lets the user pick.
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
    return names;
}

QLineEdit *fileNameEdit(QFileDialog *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

const QString textFilter = QStringLiteral("Текстовые файлы (*.txt)|*.txt|Все файлы|*.*");
const QString program = QStringLiteral("Моя программа");

} // namespace

class tst_QtDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void message_data();
    void message();
    void input_data();
    void input();
    void boxes_ownerKeyboardAndTitleWidth_data();
    void boxes_ownerKeyboardAndTitleWidth();

    void openFile_filterListsDotlessFileUnderAllFiles_nameAndFilterKept();
    void fileDialog_folderAndTypedName_data();
    void fileDialog_folderAndTypedName();

    void chooseFont_uprightBookFace_previousUse_noEffects();
    void fontSubstitutions_data();
    void fontSubstitutions();

    void twips_toPixels();
    void twips_rect_data();
    void twips_rect();
    void twips_adjacentRectsTouch();

private:
    QTemporaryDir m_dir;
};

void tst_QtDialogs::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const QString &name : {QStringLiteral("notes.txt"), QStringLiteral("README"), QStringLiteral("run.log")}) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    platform::appearance::installRussianTranslations(*qApp);
}

void tst_QtDialogs::message_data()
{
    QTest::addColumn<Dialogs::Message>("message");
    QTest::addColumn<int>("press"); // a standard button
    QTest::addColumn<Dialogs::Answer>("answer");
    QTest::addColumn<int>("shownButtons");
    QTest::addColumn<int>("shownDefault");
    QTest::addColumn<QStringList>("shownCaptions"); // in the order of captions()
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<int>("shownIcon");
    QTest::addColumn<QString>("shownText");
    // Escape and the close request give closing; a box with only Yes and No
    // has no close box, ignores both and is answered by its default button.
    QTest::addColumn<Dialogs::Answer>("closing");

    using B = Dialogs::Buttons;
    using A = Dialogs::Answer;
    using M = QMessageBox;
    const QString text = QStringLiteral("Сохранить изменения?");
    const QString ok = QStringLiteral("ОК");
    const QString cancel = QStringLiteral("Отмена");
    const auto buttons
        = [&](const char *name, B set, int defaultIndex, M::StandardButtons shownSet, M::StandardButton shownDefault,
              const QStringList &captions, M::StandardButton press, A answer, A closing) {
              QTest::newRow(name) << Dialogs::Message {text, set, Dialogs::Icon::None, QString(), defaultIndex}
                                  << int(press) << answer << int(shownSet) << int(shownDefault) << captions << program
                                  << int(M::NoIcon) << text << closing;
          };
    buttons("ok", B::Ok, 0, M::Ok, M::Ok, {ok}, M::Ok, A::Ok, A::Ok);
    buttons("ok cancel, ok", B::OkCancel, 0, M::Ok | M::Cancel, M::Ok, {ok, cancel}, M::Ok, A::Ok, A::Cancel);
    const QStringList yesNo {QStringLiteral("Да"), QStringLiteral("Нет")};
    buttons("yes no, yes", B::YesNo, 0, M::Yes | M::No, M::Yes, yesNo, M::Yes, A::Yes, A::Yes);
    buttons("yes no, default no", B::YesNo, 1, M::Yes | M::No, M::No, yesNo, M::No, A::No, A::No);
    const QStringList yesNoCancel {QStringLiteral("Да"), QStringLiteral("Нет"), cancel};
    buttons("yes no cancel, no", B::YesNoCancel, 0, M::Yes | M::No | M::Cancel, M::Yes, yesNoCancel, M::No, A::No,
            A::Cancel);
    buttons("yes no cancel, third default", B::YesNoCancel, 2, M::Yes | M::No | M::Cancel, M::Cancel, yesNoCancel,
            M::Yes, A::Yes, A::Cancel);
    const QStringList retryCancel {QStringLiteral("Повтор"), cancel};
    buttons("retry cancel, retry", B::RetryCancel, 0, M::Retry | M::Cancel, M::Retry, retryCancel, M::Retry, A::Retry,
            A::Cancel);
    buttons("default out of range", B::OkCancel, 5, M::Ok | M::Cancel, M::Ok, {ok, cancel}, M::Cancel, A::Cancel,
            A::Cancel);

    using I = Dialogs::Icon;
    // shownText: null when the text is shown as given.
    const auto look = [&](const char *name, const QString &title, const QString &shownTitle, I icon, M::Icon shownIcon,
                          const QString &given, const QString &shownText = QString()) {
        QTest::newRow(name) << Dialogs::Message {given, B::Ok, icon, title, 0} << int(M::Ok) << A::Ok << int(M::Ok)
                            << int(M::Ok) << QStringList {ok} << shownTitle << int(shownIcon)
                            << (shownText.isNull() ? given : shownText) << A::Ok;
    };
    const QString x = QStringLiteral("x");
    look("own title, critical", QStringLiteral("Ошибка"), QStringLiteral("Ошибка"), I::Critical, M::Critical, x);
    look("exclamation", QString(), program, I::Exclamation, M::Warning, x);
    look("information", QString(), program, I::Information, M::Information, x);
    look("question", QString(), program, I::Question, M::Question, x);
    look("markup shown as typed", QString(), program, I::None, M::NoIcon, QStringLiteral("<b>Иванов</b> & Co"));
    look("CR LF is one line break", QString(), program, I::Critical, M::Critical,
         QStringLiteral("Ошибка:\r\n\r\nФайл не найден"), QStringLiteral("Ошибка:\n\nФайл не найден"));
}

void tst_QtDialogs::message()
{
    QFETCH(Dialogs::Message, message);
    QFETCH(int, press);
    QFETCH(Dialogs::Answer, answer);
    QFETCH(int, shownButtons);
    QFETCH(int, shownDefault);
    QFETCH(QStringList, shownCaptions);
    QFETCH(QString, shownTitle);
    QFETCH(int, shownIcon);
    QFETCH(QString, shownText);

    QFETCH(Dialogs::Answer, closing);

    struct
    {
        int buttons = 0;
        int defaultButton = 0;
        QStringList captions;
        QString title;
        int icon = -1;
        QString text;
        Qt::TextFormat format = Qt::AutoText;
    } shown;
    ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
        QAbstractButton *defaultButton = box->defaultButton();
        shown = {int(box->standardButtons()),
                 defaultButton ? int(box->standardButton(defaultButton)) : 0,
                 captions(box->findChild<QDialogButtonBox *>()),
                 box->windowTitle(),
                 int(box->icon()),
                 box->text(),
                 box->textFormat()};
        box->button(QMessageBox::StandardButton(press))->click();
        return true;
    }));

    QtDialogs dialogs;
    dialogs.setDefaultTitle(program);
    QCOMPARE(dialogs.message(message), answer);

    QVERIFY(answerer.answered());
    QCOMPARE(shown.buttons, shownButtons);
    QCOMPARE(shown.defaultButton, shownDefault);
    QCOMPARE(shown.captions, shownCaptions);
    QCOMPARE(shown.title, shownTitle);
    QCOMPARE(shown.icon, shownIcon);
    QCOMPARE(shown.text, shownText);
    QCOMPARE(shown.format, Qt::PlainText);

    const bool closable = message.buttons != Dialogs::Buttons::YesNo;
    for (const bool escape : {true, false}) {
        bool closeBox = false;
        bool stayedOpen = false;
        ModalAnswerer closer(answering<QMessageBox>([&](QMessageBox *box) {
            closeBox = box->windowFlags().testFlag(Qt::WindowCloseButtonHint);
            if (escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
            stayedOpen = box->isVisible();
            if (stayedOpen)
                box->defaultButton()->click();
            return true;
        }));
        const Dialogs::Answer closed = dialogs.message(message);
        const char *way = escape ? "Escape" : "close request";
        QVERIFY2(closer.answered(), way);
        QVERIFY2(closeBox == closable && stayedOpen == !closable, way);
        QVERIFY2(closed == closing, way);
    }
}

void tst_QtDialogs::input_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QString>("typed"); // null: leave the field alone
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QString>("expected");

    const QString petrov = QStringLiteral("Петров");
    QTest::newRow("typed, OK") << QString() << QString() << QStringLiteral("Иванов Пётр") << true << program
                               << QStringLiteral("Иванов Пётр");
    QTest::newRow("default kept, OK") << QStringLiteral("Поиск") << petrov << QString() << true
                                      << QStringLiteral("Поиск") << petrov;
    QTest::newRow("typed, Cancel") << QString() << petrov << QStringLiteral("Сидоров") << false << program << QString();
    QTest::newRow("emptied, OK") << QString() << petrov << QStringLiteral("") << true << program << QString();
    const QString longEntry = QString(40000, QChar(0x0416)) + QLatin1Char('!');
    QTest::newRow("40001 characters kept, OK") << QString() << longEntry << QString() << true << program << longEntry;
}

void tst_QtDialogs::input()
{
    QFETCH(QString, title);
    QFETCH(QString, defaultText);
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(QString, expectedTitle);
    QFETCH(QString, expected);

    QStringList shown;
    ModalAnswerer answerer(answering<QInputDialog>([&](QInputDialog *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>();
        shown = QStringList {dialog->windowTitle(), dialog->labelText(), edit->text()}
              + captions(dialog->findChild<QDialogButtonBox *>());
        if (!typed.isNull())
            edit->setText(typed);
        if (accept)
            clickAcceptButton(dialog);
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
        return true;
    }));

    QtDialogs dialogs;
    dialogs.setDefaultTitle(program);
    const QString result = dialogs.input(QStringLiteral("Введите фамилию:"), title, defaultText);

    QVERIFY(answerer.answered());
    QCOMPARE(shown, (QStringList {expectedTitle, QStringLiteral("Введите фамилию:"), defaultText, QStringLiteral("ОК"),
                                  QStringLiteral("Отмена")}));
    QCOMPARE(result, expected);
}

void tst_QtDialogs::boxes_ownerKeyboardAndTitleWidth_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::newRow("message") << QStringLiteral("message") << QStringLiteral("Orvane Tarnel 2001");
    QTest::newRow("input") << QStringLiteral("input") << QStringLiteral("Добавление записи в телефонную книгу");
    QTest::newRow("file: the main window's") << QStringLiteral("file") << QStringLiteral("Выбор программы");
}

// A box raised from a dialog over the disabled main window belongs to that
// dialog, and the dialog has the keyboard again once the box is gone.
void tst_QtDialogs::boxes_ownerKeyboardAndTitleWidth()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QWidget main;
    main.show();
    // Made after the main window is disabled, as the entry dialog is.
    main.setEnabled(false);
    QDialog details(&main);
    details.show();
    details.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &details);

    QWidget *owner = nullptr;
    int width = 0;
    ModalAnswerer answerer([&](QWidget *widget) {
        owner = widget->parentWidget();
        width = widget->width();
        qobject_cast<QDialog *>(widget)->reject();
        return true;
    });
    QtDialogs dialogs(&main);
    if (kind == QStringLiteral("message"))
        dialogs.message({QStringLiteral("x"), Dialogs::Buttons::Ok, Dialogs::Icon::None, title});
    else if (kind == QStringLiteral("input"))
        dialogs.input(QStringLiteral("x"), title, QString());
    else
        dialogs.openFile({textFilter, title, QString(), m_dir.path()});

    QVERIFY(answerer.answered());
    QCOMPARE(owner, kind == QStringLiteral("file") ? &main : static_cast<QWidget *>(&details));
    QTRY_COMPARE(QApplication::activeWindow(), &details);
    if (kind != QStringLiteral("file")) {
        QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        titleFont.setBold(true);
        QVERIFY2(width > QFontMetrics(titleFont).horizontalAdvance(title) + 60, qPrintable(QString::number(width)));
    }
}

void tst_QtDialogs::openFile_filterListsDotlessFileUnderAllFiles_nameAndFilterKept()
{
    const QString allFiles = QStringLiteral("Все файлы (*)");
    QStringList shown; // title, name filters, the filter box's entries
    QStringList underText;
    QStringList underAll;
    ModalAnswerer answerer(answering<QFileDialog>([&](QFileDialog *dialog) {
        if (shown.isEmpty()) {
            shown = QStringList {dialog->windowTitle()} + dialog->nameFilters();
            const auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < combo->count(); ++i)
                shown.append(combo->itemText(i));
        }
        if (underText.isEmpty()) {
            if (!listedNames(dialog).contains(QStringLiteral("notes.txt")))
                return false; // still listing
            underText = listedNames(dialog);
            dialog->selectNameFilter(allFiles);
        }
        underAll = listedNames(dialog);
        if (!underAll.contains(QStringLiteral("README")))
            return false;
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        const QAbstractItemModel *model = view->model();
        view->setCurrentIndex(model
                                  ->match(model->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                          QStringLiteral("README"), 1, Qt::MatchExactly)
                                  .value(0));
        clickAcceptButton(dialog);
        return true;
    }));

    QtDialogs dialogs;
    const QString path
        = dialogs.openFile({textFilter, QStringLiteral("Открыть файл"), QStringLiteral("*.txt"), m_dir.path()});

    QVERIFY(answerer.answered());
    QCOMPARE(shown, (QStringList {QStringLiteral("Открыть файл"), QStringLiteral("Текстовые файлы (*.txt) (*.txt)"),
                                  allFiles, QStringLiteral("Текстовые файлы (*.txt)"), QStringLiteral("Все файлы")}));
    QCOMPARE(underText, QStringList {QStringLiteral("notes.txt")});
    underAll.sort();
    QCOMPARE(underAll,
             (QStringList {QStringLiteral("README"), QStringLiteral("notes.txt"), QStringLiteral("run.log")}));
    QCOMPARE(path, m_dir.filePath(QStringLiteral("README")));

    // The next dialog of the same caller, with a pattern that is a wildcard
    // (the notes' Save As), starts with that name and filter; cancelled, it
    // gives nothing.
    ModalAnswerer canceller(answering<QFileDialog>([&](QFileDialog *dialog) {
        shown = QStringList {fileNameEdit(dialog)->text(),
                             dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText()};
        dialog->reject();
        return true;
    }));
    QCOMPARE(dialogs.saveFile({textFilter, QStringLiteral("Сохранить как"), QString(), m_dir.path()}), QString());
    QVERIFY(canceller.answered());
    QCOMPARE(shown, (QStringList {QStringLiteral("README"), QStringLiteral("Все файлы")}));
}

void tst_QtDialogs::fileDialog_folderAndTypedName_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("folder"); // below a folder of the row's own, which holds "Мои" and "notes.txt"
    QTest::addColumn<QString>("nearest"); // where the dialog opens
    QTest::addColumn<QString>("typed"); // null: cancel; else typed and accepted, and given back as typed

    QTest::newRow("open, existing: cancel") << false << QString() << QString() << QString();
    QTest::newRow("save, missing: nearest") << true << QStringLiteral("My Tarnel") << QString() << QString();
    QTest::newRow("open, missing two deep")
        << false << QStringLiteral("Мои/My Tarnel/Архив") << QStringLiteral("Мои") << QString();
    QTest::newRow("save, no extension added") << true << QString() << QString() << QStringLiteral("отчёт");
    QTest::newRow("save, other extension") << true << QString() << QString() << QStringLiteral("report.doc");
    // An existing file brings no question from the dialog: the caller asks.
    QTest::newRow("save, existing file") << true << QString() << QString() << QStringLiteral("notes.txt");
    // Nor does the open dialog insist that the file is there.
    QTest::newRow("open, a new name") << false << QString() << QString() << QStringLiteral("новый.txt");
}

void tst_QtDialogs::fileDialog_folderAndTypedName()
{
    QFETCH(bool, save);
    QFETCH(QString, folder);
    QFETCH(QString, nearest);
    QFETCH(QString, typed);
    // A folder of its own: the dialog would otherwise open where it was last.
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir(QStringLiteral("Мои")));
    QFile existing(base.filePath(QStringLiteral("notes.txt")));
    QVERIFY(existing.open(QIODevice::WriteOnly));

    QString shownFolder;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    ModalAnswerer answerer(answering<QFileDialog>([&](QFileDialog *dialog) {
        shownFolder = dialog->directory().absolutePath();
        mode = dialog->acceptMode();
        if (typed.isNull()) {
            dialog->reject();
        } else {
            fileNameEdit(dialog)->setText(typed);
            clickAcceptButton(dialog);
        }
        return true;
    }));

    QtDialogs dialogs;
    const Dialogs::FileRequest request {textFilter, QStringLiteral("Файл"), QString(),
                                        base.path() + QLatin1Char('/') + folder};
    const QString path = save ? dialogs.saveFile(request) : dialogs.openFile(request);

    // A question of the dialog's own would have kept it open.
    QVERIFY(answerer.answered());
    QCOMPARE(path, typed.isNull() ? QString() : base.filePath(typed));
    QCOMPARE(shownFolder, QDir(QDir(base.path()).filePath(nearest)).absolutePath());
    QCOMPARE(mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
}

// Three uses of one dialog: a face whose upright style is named "Book"
// given back as it was, without the caller's effects; then a bold 14 chosen;
// then another face, preset with the previous size and style, and cancelled.
void tst_QtDialogs::chooseFont_uprightBookFace_previousUse_noEffects()
{
    QtDialogs dialogs;
    const QString bookFace = QStringLiteral("DejaVu Sans");
    if (QFontInfo(QFont(bookFace)).family() == bookFace) {
        bool presetItalic = true;
        ModalAnswerer answerer(answering<QFontDialog>([&](QFontDialog *dialog) {
            presetItalic = dialog->currentFont().italic();
            clickAcceptButton(dialog);
            return true;
        }));
        QFont current(bookFace, 10);
        current.setUnderline(true);
        current.setStrikeOut(true);
        const std::optional<QFont> font = QtDialogs().chooseFont(QStringLiteral("Выбор шрифта"), current);
        QVERIFY(answerer.answered());
        QVERIFY(!presetItalic);
        QCOMPARE(font.value_or(QFont()).family(), bookFace);
        QVERIFY(!font->italic() && !font->bold() && !font->underline() && !font->strikeOut());
        // No style name left behind to override a later bold or italic.
        QCOMPARE(font->styleName(), QString());
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
        clickAcceptButton(dialog);
        return true;
    }));
    const std::optional<QFont> first = dialogs.chooseFont(QStringLiteral("Выбор шрифта"), QFont(face, 8));
    QVERIFY(chooser.answered());
    QCOMPARE(first.value_or(QFont()).family(), face);
    QCOMPARE(first->pointSize(), 14);
    QVERIFY(first->bold() && !first->italic() && !first->underline());

    QFont preset;
    QString title;
    int boxes = 0;
    int visibleBoxes = 0;
    int sampleHeight = 0;
    int sampleLine = 1;
    ModalAnswerer watcher(answering<QFontDialog>([&](QFontDialog *dialog) {
        preset = dialog->currentFont();
        title = dialog->windowTitle();
        for (const QCheckBox *box : dialog->findChildren<QCheckBox *>()) {
            ++boxes;
            visibleBoxes += box->isVisible() ? 1 : 0;
        }
        for (const QLineEdit *edit : dialog->findChildren<QLineEdit *>()) {
            if (qobject_cast<QGroupBox *>(edit->parentWidget())) {
                sampleHeight = edit->height();
                sampleLine = edit->fontMetrics().height();
            }
        }
        dialog->reject();
        return true;
    }));
    // The face comes from the caller, size and style from the previous use (a
    // size no default gives).
    const std::optional<QFont> second
        = dialogs.chooseFont(QStringLiteral("Шрифт"), QFont(QStringLiteral("Liberation Serif"), 8));
    QVERIFY(watcher.answered());
    QVERIFY(!second.has_value());
    QCOMPARE(title, QStringLiteral("Шрифт"));
    QCOMPARE(preset.family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(preset.pointSize(), 14);
    QVERIFY(preset.bold() && !preset.italic());
    QVERIFY(boxes > 0); // the effects are there to be hidden
    QCOMPARE(visibleBoxes, 0);
    // The sample still shows a line of the chosen face.
    QVERIFY2(sampleHeight >= sampleLine, qPrintable(QString::number(sampleHeight)));
}

void tst_QtDialogs::fontSubstitutions_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("drawn");

    QTest::newRow("Tahoma") << QStringLiteral("Tahoma") << QStringLiteral("Liberation Sans");
    QTest::newRow("MS Sans Serif") << QStringLiteral("MS Sans Serif") << QStringLiteral("Liberation Sans");
    // An installed face is asked for as it stands, whatever substitutes it has.
    QTest::newRow("installed, with a substitute") << QStringLiteral("DejaVu Sans") << QStringLiteral("DejaVu Sans");
}

void tst_QtDialogs::fontSubstitutions()
{
    QFETCH(QString, asked);
    QFETCH(QString, drawn);

    platform::appearance::installFontSubstitutions();
    QFont::insertSubstitution(QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Serif"));
    QCOMPARE(platform::appearance::face(asked), drawn);
    QFont::removeSubstitutions(QStringLiteral("DejaVu Sans"));
}

void tst_QtDialogs::twips_toPixels()
{
    // To the nearest pixel, halves away from zero: 15 twips make a pixel.
    const std::pair<int, int> rounded[]
        = {{0, 0}, {7, 0}, {8, 1}, {15, 1}, {22, 1}, {23, 2}, {-8, -1}, {-7, 0}, {6840, 456}};
    for (const auto &[twips, pixels] : rounded)
        QVERIFY2(platform::twips::toPixels(twips) == pixels, qPrintable(QString::number(twips)));
}

void tst_QtDialogs::twips_rect_data()
{
    QTest::addColumn<QList<int>>("twips"); // left, top, width, height
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QSize>("size"); // of a window or control given only its size

    QTest::newRow("whole pixels") << QList<int> {6840, 480, 375, 375} << QRect(456, 32, 25, 25) << QSize(25, 25);
    // 100 twips is 6.67 pixels: the size depends on where the edges fall.
    QTest::newRow("edges round, not the size") << QList<int> {10, 10, 100, 100} << QRect(1, 1, 6, 6) << QSize(7, 7);
    QTest::newRow("same size, other place") << QList<int> {0, 0, 100, 100} << QRect(0, 0, 7, 7) << QSize(7, 7);
    QTest::newRow("negative position") << QList<int> {-100, -8, 200, 23} << QRect(-7, -1, 14, 2) << QSize(13, 2);
}

void tst_QtDialogs::twips_rect()
{
    QFETCH(QList<int>, twips);
    QFETCH(QRect, pixels);
    QFETCH(QSize, size);

    QCOMPARE(platform::twips::rect(twips.at(0), twips.at(1), twips.at(2), twips.at(3)), pixels);
    QCOMPARE(platform::twips::size(twips.at(2), twips.at(3)), size);
}

void tst_QtDialogs::twips_adjacentRectsTouch()
{
    // Neighbours that touch in twips must touch in pixels, wherever they lie.
    for (int left = 0; left < 60; ++left) {
        for (int width : {1, 7, 8, 100, 1215, 1217}) {
            const QRect first = platform::twips::rect(left, left, width, width);
            const QRect right = platform::twips::rect(left + width, left, 50, width);
            const QRect below = platform::twips::rect(left, left + width, width, 50);
            QCOMPARE(first.x() + first.width(), right.x());
            QCOMPARE(first.y() + first.height(), below.y());
        }
    }
}

QTEST_MAIN(tst_QtDialogs)
#include "tst_qtdialogs.moc"
