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
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using platform::Dialogs;
using platform::QtDialogs;

Q_DECLARE_METATYPE(platform::Dialogs::Buttons)
Q_DECLARE_METATYPE(platform::Dialogs::Icon)
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

const QString textFilter = QStringLiteral("Текстовые файлы (*.txt)|*.txt|Все файлы|*.*");

} // namespace

class tst_QtDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void message_buttons_data();
    void message_buttons();
    void message_escapeAndCloseBox_data();
    void message_escapeAndCloseBox();
    void message_titleIconAndText_data();
    void message_titleIconAndText();
    void russianTexts_data();
    void russianTexts();

    void input_data();
    void input();
    void boxes_ownerKeyboardAndTitleWidth_data();
    void boxes_ownerKeyboardAndTitleWidth();

    void openFile_filterListsDotlessFileUnderAllFiles();
    void fileDialog_startsInNearestExistingFolder_data();
    void fileDialog_startsInNearestExistingFolder();
    void fileDialog_returnsTypedNameAsTyped_data();
    void fileDialog_returnsTypedNameAsTyped();
    void fileDialog_remembersNameAndFilter_cancelStillEmpty();

    void chooseFont_bookFaceStaysUpright_effectsOff();
    void chooseFont_presetFromPreviousUse_noEffects_cancelGivesNothing();
    void fontSubstitutions_data();
    void fontSubstitutions();

    void twips_toPixels_data();
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
}

void tst_QtDialogs::message_buttons_data()
{
    QTest::addColumn<Dialogs::Buttons>("buttons");
    QTest::addColumn<int>("defaultIndex");
    QTest::addColumn<int>("expectedSet");
    QTest::addColumn<int>("expectedDefault");
    QTest::addColumn<int>("press"); // a standard button
    QTest::addColumn<Dialogs::Answer>("expected");

    using B = Dialogs::Buttons;
    using A = Dialogs::Answer;
    using M = QMessageBox;
    const auto row = [](const char *name, B buttons, int defaultIndex, M::StandardButtons set, M::StandardButton shown,
                        M::StandardButton press, A answer) {
        QTest::newRow(name) << buttons << defaultIndex << int(set) << int(shown) << int(press) << answer;
    };
    row("ok", B::Ok, 0, M::Ok, M::Ok, M::Ok, A::Ok);
    row("ok cancel, ok", B::OkCancel, 0, M::Ok | M::Cancel, M::Ok, M::Ok, A::Ok);
    row("yes no, yes", B::YesNo, 0, M::Yes | M::No, M::Yes, M::Yes, A::Yes);
    row("yes no, default no", B::YesNo, 1, M::Yes | M::No, M::No, M::No, A::No);
    row("yes no cancel, no", B::YesNoCancel, 0, M::Yes | M::No | M::Cancel, M::Yes, M::No, A::No);
    row("yes no cancel, third default", B::YesNoCancel, 2, M::Yes | M::No | M::Cancel, M::Cancel, M::Yes, A::Yes);
    row("retry cancel, retry", B::RetryCancel, 0, M::Retry | M::Cancel, M::Retry, M::Retry, A::Retry);
    row("retry cancel, cancel", B::RetryCancel, 0, M::Retry | M::Cancel, M::Retry, M::Cancel, A::Cancel);
    row("default out of range", B::OkCancel, 5, M::Ok | M::Cancel, M::Ok, M::Cancel, A::Cancel);
}

void tst_QtDialogs::message_buttons()
{
    QFETCH(Dialogs::Buttons, buttons);
    QFETCH(int, defaultIndex);
    QFETCH(int, expectedSet);
    QFETCH(int, expectedDefault);
    QFETCH(int, press);
    QFETCH(Dialogs::Answer, expected);

    int shownSet = 0;
    int shownDefault = 0;
    ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
        shownSet = int(box->standardButtons());
        shownDefault = box->defaultButton() ? int(box->standardButton(box->defaultButton())) : 0;
        QAbstractButton *button = box->button(QMessageBox::StandardButton(press));
        if (button)
            button->click();
        return button != nullptr;
    }));

    QtDialogs dialogs;
    Dialogs::Message message;
    message.text = QStringLiteral("Сохранить изменения?");
    message.buttons = buttons;
    message.defaultButton = defaultIndex;
    const Dialogs::Answer answer = dialogs.message(message);

    QVERIFY(answerer.answered());
    QCOMPARE(shownSet, expectedSet);
    QCOMPARE(shownDefault, expectedDefault);
    QCOMPARE(answer, expected);
}

void tst_QtDialogs::message_escapeAndCloseBox_data()
{
    QTest::addColumn<Dialogs::Buttons>("buttons");
    QTest::addColumn<bool>("onlyAButton"); // Escape and the close box do nothing
    QTest::addColumn<Dialogs::Answer>("expected"); // else their answer; else the default button's

    using B = Dialogs::Buttons;
    using A = Dialogs::Answer;
    QTest::newRow("ok") << B::Ok << false << A::Ok;
    QTest::newRow("ok cancel") << B::OkCancel << false << A::Cancel;
    QTest::newRow("yes no cancel") << B::YesNoCancel << false << A::Cancel;
    QTest::newRow("retry cancel") << B::RetryCancel << false << A::Cancel;
    QTest::newRow("yes no") << B::YesNo << true << A::Yes;
}

void tst_QtDialogs::message_escapeAndCloseBox()
{
    QFETCH(Dialogs::Buttons, buttons);
    QFETCH(bool, onlyAButton);
    QFETCH(Dialogs::Answer, expected);

    for (const bool escape : {true, false}) {
        bool closeBox = false;
        bool stayedOpen = false;
        ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
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

        QtDialogs dialogs;
        const Dialogs::Answer answer = dialogs.message(QStringLiteral("Данные изменились. Сохранить сейчас?"), buttons,
                                                       Dialogs::Icon::Information);

        const char *way = escape ? "Escape" : "close request";
        QVERIFY2(answerer.answered(), way);
        QVERIFY2(stayedOpen == onlyAButton, way);
        QVERIFY2(closeBox == !onlyAButton, way);
        QVERIFY2(answer == expected, way);
    }
}

void tst_QtDialogs::message_titleIconAndText_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<Dialogs::Icon>("icon");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<int>("expectedIcon");
    QTest::addColumn<QString>("expectedText");

    using I = Dialogs::Icon;
    using M = QMessageBox;
    // shownText: null when the text is shown as given.
    const auto row = [](const char *name, const QString &title, const QString &shownTitle, I icon, M::Icon shownIcon,
                        const QString &text, const QString &shownText = QString()) {
        QTest::newRow(name) << title << icon << text << shownTitle << int(shownIcon)
                            << (shownText.isNull() ? text : shownText);
    };
    const QString program = QStringLiteral("Моя программа");
    const QString x = QStringLiteral("x");
    row("default title, no icon", QString(), program, I::None, M::NoIcon, QStringLiteral("Текст"));
    row("own title, critical", QStringLiteral("Ошибка"), QStringLiteral("Ошибка"), I::Critical, M::Critical, x);
    row("exclamation", QString(), program, I::Exclamation, M::Warning, x);
    row("information", QString(), program, I::Information, M::Information, x);
    row("question", QString(), program, I::Question, M::Question, x);
    row("markup shown as typed", QString(), program, I::None, M::NoIcon, QStringLiteral("<b>Иванов</b> & Co"));
    row("CR LF is one line break", QString(), program, I::Critical, M::Critical,
        QStringLiteral("Ошибка:\r\n\r\nФайл не найден"), QStringLiteral("Ошибка:\n\nФайл не найден"));
}

void tst_QtDialogs::message_titleIconAndText()
{
    QFETCH(QString, title);
    QFETCH(Dialogs::Icon, icon);
    QFETCH(QString, text);
    QFETCH(QString, expectedTitle);
    QFETCH(int, expectedIcon);
    QFETCH(QString, expectedText);

    QString shownTitle;
    QString shownText;
    int shownIcon = -1;
    Qt::TextFormat format = Qt::AutoText;
    ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
        shownTitle = box->windowTitle();
        shownText = box->text();
        shownIcon = int(box->icon());
        format = box->textFormat();
        box->button(QMessageBox::Ok)->click();
        return true;
    }));

    QtDialogs dialogs;
    dialogs.setDefaultTitle(QStringLiteral("Моя программа"));
    QCOMPARE(dialogs.message(text, Dialogs::Buttons::Ok, icon, title), Dialogs::Answer::Ok);

    QVERIFY(answerer.answered());
    QCOMPARE(shownTitle, expectedTitle);
    QCOMPARE(shownIcon, expectedIcon);
    QCOMPARE(shownText, expectedText);
    QCOMPARE(format, Qt::PlainText);
}

void tst_QtDialogs::russianTexts_data()
{
    QTest::addColumn<Dialogs::Buttons>("buttons");
    QTest::addColumn<QStringList>("expected"); // in the order of the standard buttons below
    QTest::addColumn<bool>("needsQtTranslation");

    using B = Dialogs::Buttons;
    QTest::newRow("ok") << B::Ok << QStringList {QStringLiteral("ОК")} << false;
    QTest::newRow("retry cancel") << B::RetryCancel << QStringList {QStringLiteral("Повтор"), QStringLiteral("Отмена")}
                                  << true;
    QTest::newRow("yes no cancel") << B::YesNoCancel
                                   << QStringList {QStringLiteral("Да"), QStringLiteral("Нет"),
                                                   QStringLiteral("Отмена")}
                                   << true;
    QTest::newRow("ok cancel") << B::OkCancel << QStringList {QStringLiteral("ОК"), QStringLiteral("Отмена")} << true;
}

void tst_QtDialogs::russianTexts()
{
    QFETCH(Dialogs::Buttons, buttons);
    QFETCH(QStringList, expected);
    QFETCH(bool, needsQtTranslation);

    const QString qtTranslation = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm");
    if (needsQtTranslation && !QFile::exists(qtTranslation))
        QSKIP("qtbase_ru.qm is not installed (package qt6-translations-l10n)");

    platform::appearance::installRussianTranslations(*qApp);
    const auto cleanup = qScopeGuard([] {
        for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    });

    QStringList shown;
    ModalAnswerer answerer(answering<QMessageBox>([&](QMessageBox *box) {
        for (QMessageBox::StandardButton kind :
             {QMessageBox::Retry, QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel}) {
            if (QAbstractButton *button = box->button(kind))
                shown.append(button->text().remove(QLatin1Char('&')));
        }
        box->buttons().constFirst()->click();
        return true;
    }));

    QtDialogs dialogs;
    dialogs.message(QStringLiteral("Текст"), buttons, Dialogs::Icon::None);
    QVERIFY(answerer.answered());
    QCOMPARE(shown, expected);

    // The input box shares the standard buttons.
    QStringList inputButtons;
    ModalAnswerer inputAnswerer(answering<QInputDialog>([&](QInputDialog *dialog) {
        const auto *box = dialog->findChild<QDialogButtonBox *>();
        inputButtons.append(box->button(QDialogButtonBox::Ok)->text().remove(QLatin1Char('&')));
        dialog->reject();
        return true;
    }));
    dialogs.input(QStringLiteral("Имя:"), QString(), QString());
    QVERIFY(inputAnswerer.answered());
    QCOMPARE(inputButtons, QStringList {QStringLiteral("ОК")});
}

void tst_QtDialogs::input_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QString>("typed"); // null: leave the field alone
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QString>("expected");

    const QString program = QStringLiteral("Моя программа");
    QTest::newRow("typed, OK") << QString() << QString() << QStringLiteral("Иванов Пётр") << true << program
                               << QStringLiteral("Иванов Пётр");
    QTest::newRow("default kept, OK") << QStringLiteral("Поиск") << QStringLiteral("Петров") << QString() << true
                                      << QStringLiteral("Поиск") << QStringLiteral("Петров");
    QTest::newRow("typed, Cancel") << QString() << QStringLiteral("Петров") << QStringLiteral("Сидоров") << false
                                   << program << QString();
    QTest::newRow("emptied, OK") << QString() << QStringLiteral("Петров") << QStringLiteral("") << true << program
                                 << QString();
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

    QString shownTitle;
    QString shownPrompt;
    QString shownDefault;
    ModalAnswerer answerer(answering<QInputDialog>([&](QInputDialog *dialog) {
        shownTitle = dialog->windowTitle();
        shownPrompt = dialog->labelText();
        auto *edit = dialog->findChild<QLineEdit *>();
        shownDefault = edit->text();
        if (!typed.isNull())
            edit->setText(typed);
        if (accept)
            clickAcceptButton(dialog);
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
        return true;
    }));

    QtDialogs dialogs;
    dialogs.setDefaultTitle(QStringLiteral("Моя программа"));
    const QString result = dialogs.input(QStringLiteral("Введите фамилию:"), title, defaultText);

    QVERIFY(answerer.answered());
    QCOMPARE(shownTitle, expectedTitle);
    QCOMPARE(shownPrompt, QStringLiteral("Введите фамилию:"));
    QCOMPARE(shownDefault, defaultText);
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

void tst_QtDialogs::openFile_filterListsDotlessFileUnderAllFiles()
{
    const QString allFiles = QStringLiteral("Все файлы (*)");
    QStringList nameFilters;
    QStringList comboTexts;
    QStringList underText;
    QStringList underAll;
    QString title;
    int phase = 0;
    ModalAnswerer answerer(answering<QFileDialog>([&](QFileDialog *dialog) {
        if (phase == 0) {
            nameFilters = dialog->nameFilters();
            const auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < combo->count(); ++i)
                comboTexts.append(combo->itemText(i));
            title = dialog->windowTitle();
            phase = 1;
        }
        if (phase == 1) {
            underText = listedNames(dialog);
            if (!underText.contains(QStringLiteral("notes.txt")))
                return false; // still listing
            dialog->selectNameFilter(allFiles);
            phase = 2;
        }
        underAll = listedNames(dialog);
        if (!underAll.contains(QStringLiteral("README")))
            return false;
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        const QAbstractItemModel *model = view->model();
        const QModelIndexList hits = model->match(model->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                                  QStringLiteral("README"), 1, Qt::MatchExactly);
        view->setCurrentIndex(hits.value(0));
        clickAcceptButton(dialog);
        return true;
    }));

    QtDialogs dialogs;
    const QString path
        = dialogs.openFile({textFilter, QStringLiteral("Открыть файл"), QStringLiteral("*.txt"), m_dir.path()});

    QVERIFY(answerer.answered());
    QCOMPARE(title, QStringLiteral("Открыть файл"));
    QCOMPARE(nameFilters, (QStringList {QStringLiteral("Текстовые файлы (*.txt) (*.txt)"), allFiles}));
    QCOMPARE(comboTexts, (QStringList {QStringLiteral("Текстовые файлы (*.txt)"), QStringLiteral("Все файлы")}));
    QCOMPARE(underText, QStringList {QStringLiteral("notes.txt")});
    underAll.sort();
    QCOMPARE(underAll,
             (QStringList {QStringLiteral("README"), QStringLiteral("notes.txt"), QStringLiteral("run.log")}));
    QCOMPARE(path, m_dir.filePath(QStringLiteral("README")));
}

void tst_QtDialogs::fileDialog_startsInNearestExistingFolder_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("folder"); // below the temporary folder
    QTest::addColumn<QString>("nearest");

    QTest::newRow("open, existing") << false << QString() << QString();
    QTest::newRow("save, missing") << true << QStringLiteral("My Tarnel") << QString();
    QTest::newRow("open, missing two deep") << false << QStringLiteral("Мои/My Tarnel/Архив") << QStringLiteral("Мои");
}

void tst_QtDialogs::fileDialog_startsInNearestExistingFolder()
{
    QFETCH(bool, save);
    QFETCH(QString, folder);
    QFETCH(QString, nearest);
    // A folder of its own: the dialog would otherwise open where it was last.
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir(QStringLiteral("Мои")));

    QString shownFolder;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    ModalAnswerer answerer(answering<QFileDialog>([&](QFileDialog *dialog) {
        shownFolder = dialog->directory().absolutePath();
        mode = dialog->acceptMode();
        dialog->reject();
        return true;
    }));

    QtDialogs dialogs;
    const Dialogs::FileRequest request {textFilter, QStringLiteral("Сохранить как"), QString(),
                                        base.path() + QLatin1Char('/') + folder};
    const QString path = save ? dialogs.saveFile(request) : dialogs.openFile(request);

    QVERIFY(answerer.answered());
    QCOMPARE(path, QString());
    QCOMPARE(shownFolder, QDir(QDir(base.path()).filePath(nearest)).absolutePath());
    QCOMPARE(mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
}

void tst_QtDialogs::fileDialog_returnsTypedNameAsTyped_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("typed");

    QTest::newRow("no extension") << true << QStringLiteral("отчёт");
    QTest::newRow("other extension") << true << QStringLiteral("report.doc");
    // An existing file brings no question from the dialog: the caller asks.
    QTest::newRow("existing file") << true << QStringLiteral("notes.txt");
    // Nor does the open dialog insist that the file is there.
    QTest::newRow("open: a new name") << false << QStringLiteral("новый.txt");
}

void tst_QtDialogs::fileDialog_returnsTypedNameAsTyped()
{
    QFETCH(bool, save);
    QFETCH(QString, typed);

    ModalAnswerer answerer(answering<QFileDialog>([&](QFileDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
        clickAcceptButton(dialog);
        return true;
    }));

    QtDialogs dialogs;
    const Dialogs::FileRequest request {textFilter, QStringLiteral("Файл"), QString(), m_dir.path()};
    const QString path = save ? dialogs.saveFile(request) : dialogs.openFile(request);

    // A question of the dialog's own would have kept it open.
    QVERIFY(answerer.answered());
    QCOMPARE(path, m_dir.filePath(typed));
}

void tst_QtDialogs::fileDialog_remembersNameAndFilter_cancelStillEmpty()
{
    QtDialogs dialogs;
    const Dialogs::FileRequest request {textFilter, QStringLiteral("Открыть файл"), QStringLiteral("*.txt"),
                                        m_dir.path()};

    ModalAnswerer chooser(answering<QFileDialog>([&](QFileDialog *dialog) {
        dialog->selectNameFilter(QStringLiteral("Все файлы (*)"));
        // The open button stays disabled until the name is found in the listing.
        if (!listedNames(dialog).contains(QStringLiteral("run.log")))
            return false;
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("run.log"));
        clickAcceptButton(dialog);
        return true;
    }));
    QCOMPARE(dialogs.openFile(request), m_dir.filePath(QStringLiteral("run.log")));
    QVERIFY(chooser.answered());

    QString shownName;
    QString shownFilter;
    ModalAnswerer canceller(answering<QFileDialog>([&](QFileDialog *dialog) {
        shownName = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        shownFilter = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText();
        dialog->reject();
        return true;
    }));
    // Another caller, with a pattern that is a wildcard, as the notes' Save As.
    const QString path = dialogs.saveFile({textFilter, QStringLiteral("Сохранить как"), QString(), m_dir.path()});

    QVERIFY(canceller.answered());
    QCOMPARE(path, QString());
    QCOMPARE(shownName, QStringLiteral("run.log"));
    QCOMPARE(shownFilter, QStringLiteral("Все файлы"));
}

void tst_QtDialogs::chooseFont_bookFaceStaysUpright_effectsOff()
{
    const QString bookFace = QStringLiteral("DejaVu Sans");
    if (QFontInfo(QFont(bookFace)).family() != bookFace)
        QSKIP("DejaVu Sans, a face whose upright style is named Book, is not installed");

    bool presetItalic = true;
    ModalAnswerer answerer(answering<QFontDialog>([&](QFontDialog *dialog) {
        presetItalic = dialog->currentFont().italic();
        clickAcceptButton(dialog);
        return true;
    }));

    QtDialogs dialogs;
    QFont current(bookFace, 10);
    current.setUnderline(true);
    current.setStrikeOut(true);
    const std::optional<QFont> font = dialogs.chooseFont(QStringLiteral("Выбор шрифта"), current);

    QVERIFY(answerer.answered());
    QVERIFY(!presetItalic);
    QVERIFY(font.has_value());
    QCOMPARE(font->family(), bookFace);
    QVERIFY(!font->italic());
    QVERIFY(!font->bold());
    QVERIFY(!font->underline());
    QVERIFY(!font->strikeOut());
    // No style name left behind to override a later bold or italic.
    QCOMPARE(font->styleName(), QString());
}

void tst_QtDialogs::chooseFont_presetFromPreviousUse_noEffects_cancelGivesNothing()
{
    const QString face = QStringLiteral("Liberation Sans");
    ModalAnswerer chooser(answering<QFontDialog>([&](QFontDialog *dialog) {
        QFont bold14(face, 14);
        bold14.setBold(true);
        dialog->setCurrentFont(bold14);
        clickAcceptButton(dialog);
        return true;
    }));

    QtDialogs dialogs;
    const std::optional<QFont> first = dialogs.chooseFont(QStringLiteral("Выбор шрифта"), QFont(face, 8));
    QVERIFY(chooser.answered());
    QVERIFY(first.has_value());
    QCOMPARE(first->family(), face);
    QCOMPARE(first->pointSize(), 14);
    QVERIFY(first->bold());
    QVERIFY(!first->italic());
    QVERIFY(!first->underline());

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
    QVERIFY(preset.bold());
    QVERIFY(!preset.italic());
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
    QCOMPARE(QFontInfo(QFont(asked, 8)).family(), drawn);
    QCOMPARE(platform::appearance::face(asked), drawn);
    QFont::removeSubstitutions(QStringLiteral("DejaVu Sans"));
}

void tst_QtDialogs::twips_toPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");

    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("below half") << 7 << 0;
    QTest::newRow("above half") << 8 << 1;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("1.47") << 22 << 1;
    QTest::newRow("1.53") << 23 << 2;
    QTest::newRow("negative rounds away from zero") << -8 << -1;
    QTest::newRow("negative below half") << -7 << 0;
    QTest::newRow("button left") << 6840 << 456;
}

void tst_QtDialogs::twips_toPixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);

    QCOMPARE(platform::twips::toPixels(twips), pixels);
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
