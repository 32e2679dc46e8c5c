#include "accessibilityspy.h"
#include "appearance.h"
#include "characteranalysis.h"
#include "clipboard.h"
#include "codepage.h"
#include "contrast.h"
#include "fakedialogs.h"
#include "frmmain.h"
#include "runtimefailure.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class FakeClipboard final : public kelvane::Clipboard
{
public:
    QString content;
    bool fails = false;
    const platform::RuntimeFailure failure {521, u"Не удается открыть буфер обмена"_s};

    QString text() override { return fails ? throw failure : content; }
    void setText(const QString &text) override { content = fails ? throw failure : text; }
};

const QString kTitle = u"Orvane Kelvane"_s;

class tst_Kelvane : public QObject
{
    Q_OBJECT

    // QTest::keyClicks asserts on anything but ASCII, so every character goes
    // in as a key event of its own carrying the character's text.
    static void typeText(QWidget *widget, const QString &text)
    {
        for (const uint character : text.toUcs4())
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown,
                                QStringView(QChar::fromUcs4(character)).toString(), Qt::NoModifier);
    }
    template<typename T = QWidget> T *control(const QString &name) const { return m_window->findChild<T *>(name); }
    QLineEdit *txtIn() const { return control<QLineEdit>(u"txtIn"_s); }
    QLineEdit *txtOut() const { return control<QLineEdit>(u"txtOut"_s); }
    QPushButton *button(const char *name) const { return control<QPushButton>(QString::fromLatin1(name)); }
    void click(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeClipboard> m_clipboard;
    std::unique_ptr<kelvane::frmMain> m_window;

private Q_SLOTS:
    void initTestCase()
    {
        platform::appearance::installFontSubstitutions();
        platform::appearance::installStyle();
    }

    void init()
    {
        m_dialogs = std::make_unique<FakeDialogs>();
        m_clipboard = std::make_unique<FakeClipboard>();
        // The character rules are tested without a window.
        if (qstrncmp(QTest::currentTestFunction(), "window_", 7) != 0)
            return;
        m_window = std::make_unique<kelvane::frmMain>(*m_dialogs, *m_clipboard);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        QCOMPARE(m_dialogs->unusedAnswers(), 0);
        m_window.reset();
    }

    // Showing the window reads no picture by its file's name, which would load
    // every image plugin to ask what the file is; first, since a later row
    // may load one. The group box's frame still looks as Qt's style draws it.
    void window_firstPaintLoadsNoImagePlugin()
    {
        m_window->grab();
        QFile maps(u"/proc/self/maps"_s);
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY(!maps.readAll().contains("/imageformats/"));

        auto *frame = qobject_cast<QGroupBox *>(control(u"Frame1"_s));
        const std::unique_ptr<QStyle> plain(QStyleFactory::create(u"fusion"_s));
        const auto ownStyle = qScopeGuard([frame] { frame->setStyle(nullptr); });
        for (const QString &title : {frame->title(), QString()}) {
            frame->setTitle(title);
            frame->setStyle(nullptr);
            const QImage ours = frame->grab().toImage();
            frame->setStyle(plain.get());
            QCOMPARE(frame->grab().toImage(), ours);
        }
    }

    void character_firstOfTextAndItsAnalysis_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("first"); // a surrogate pair kept whole
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("code"); // of the first character; none for an empty text
        QTest::addColumn<QString>("language"); // named in its analysis line

        const QString english = u"; английский символ"_s;
        const auto codes = [](const QString &language, std::initializer_list<int> codes) {
            for (const int code : codes) {
                const QString character = platform::codepage::toUnicode(QByteArray(1, char(code)));
                QTest::addRow("%d", code) << character << character << 1 << code << language;
            }
        };
        // The codes on either side of each block, and Ё (168) and ё (184),
        // which lie below А..я.
        codes({}, {13, 32, 53, 63, 64, 91, 96, 123, 136, 168, 175, 184, 187, 191});
        codes(english, {65, 81, 90, 97, 122});
        codes(u"; русский символ"_s, {192, 230, 255});

        const QString emoji = u"\U0001F600"_s;
        const QString high(QChar(0xD83D)), low(QChar(0xDE00));
        QTest::newRow("empty") << QString() << QString() << 0 << 0 << QString();
        QTest::newRow("emoji, then text") << emoji + u"abc"_s << emoji << 4 << 63 << QString();
        QTest::newRow("letter, then an emoji") << u"x"_s + emoji << u"x"_s << 2 << 120 << english;
        QTest::newRow("lone high surrogate") << high + u"a"_s << high << 2 << 63 << QString();
        QTest::newRow("high surrogate at the end") << u"a"_s + high << u"a"_s << 2 << 97 << english;
        QTest::newRow("low before high surrogate") << low + high << low << 2 << 63 << QString();
        QTest::newRow("line break first") << u"\r\nabc"_s << u"\r"_s << 5 << 13 << QString();
    }

    void character_firstOfTextAndItsAnalysis()
    {
        QFETCH(QString, text);
        QFETCH(QString, first);
        QFETCH(int, count);
        QFETCH(int, code);
        QFETCH(QString, language);

        QCOMPARE(kelvane::firstCharacter(text), first);
        QCOMPARE(kelvane::characterCount(text), count);
        if (!text.isEmpty())
            QCOMPARE(std::pair(kelvane::codeOfFirstCharacter(text), kelvane::analysisLine(code)),
                     std::pair(code, u"Код символа="_s + QString::number(code) + language));
    }

    // A screen reader hears each analysis as it appears, though the focus
    // stays in the box: a notification that shows the line.
    void window_analysisAndCopy_lineThenCopyButton()
    {
        AccessibilitySpy spy;
        const QString lineOfZhe = u"Код символа=230; русский символ"_s;
        QPushButton *copy = button("cmdCopyToBuffer");
        // Enter in the box is the "Анализ" button. An empty box is refused,
        // and a refusal does not count.
        m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
        QTest::keyClick(txtIn(), Qt::Key_Return);
        QVERIFY(copy->isHidden());
        QVERIFY(txtOut()->text().isEmpty());
        for (const QString &character : {u"Q"_s, u"ж"_s}) {
            txtIn()->clear();
            typeText(txtIn(), character);
            QTest::keyClick(txtIn(), Qt::Key_Return);
        }
        QCOMPARE(txtOut()->text(), lineOfZhe);
        QStringList heard;
        for (const AccessibilitySpy::Event &shown : spy.of(QAccessible::ObjectShow)) {
            if (shown.role == QAccessible::Notification)
                heard << shown.name;
        }
        QCOMPARE(heard, (QStringList {u"Код символа=81; английский символ"_s, lineOfZhe}));

        // A later refusal keeps both the line and the button.
        txtIn()->clear();
        m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
        click("cmdOK");
        QCOMPARE(txtOut()->text(), lineOfZhe);
        QVERIFY(copy->isVisible());

        // The copy takes the box at the moment of the click, not what was analysed.
        typeText(txtIn(), u"\U0001F600"_s);
        click("cmdCopyToBuffer");
        QCOMPARE(m_clipboard->content, u"\U0001F600"_s);
        QCOMPARE(txtOut()->text(), lineOfZhe);
        QTest::keyClick(txtIn(), Qt::Key_Backspace);
        click("cmdCopyToBuffer");
        QCOMPARE(m_clipboard->content, QString());

        // A copy that fails says nothing.
        m_clipboard->fails = true;
        click("cmdCopyToBuffer");
        QCOMPARE(m_dialogs->asked(), QStringList(2, kTitle + u" i ok: Введите символ!"_s));
    }

    void window_field_keepsOneCharacter_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("pasted"); // with the box's own paste shortcut, else typed
        QTest::addColumn<QString>("kept");

        QTest::newRow("two letters") << u"ab"_s << false << u"a"_s;
        QTest::newRow("emoji, then a letter") << u"\U0001F600x"_s << false << u"\U0001F600"_s;
        QTest::newRow("pasted text") << u"zyx"_s << true << u"z"_s;
        QTest::newRow("pasted emoji and text") << u"\U0001F600abc"_s << true << u"\U0001F600"_s;
    }

    void window_field_keepsOneCharacter()
    {
        QFETCH(QString, entered);
        QFETCH(bool, pasted);
        QFETCH(QString, kept);

        // The box's own paste shortcut reads the real clipboard, not the button's.
        QGuiApplication::clipboard()->setText(entered);
        const auto enter
            = [&] { pasted ? QTest::keyClick(txtIn(), Qt::Key_V, Qt::ControlModifier) : typeText(txtIn(), entered); };
        enter();
        QCOMPARE(txtIn()->text(), kept);

        // In front of the character nothing fits: it stays, and so does the cursor.
        QTest::keyClick(txtIn(), Qt::Key_Home);
        enter();
        QCOMPARE(txtIn()->text(), kept);
        QCOMPARE(txtIn()->cursorPosition(), 0);

        // Over the selected "x" it replaces it, and one Backspace takes the
        // whole character, also a surrogate pair.
        txtIn()->setText(u"x"_s);
        txtIn()->selectAll();
        enter();
        QCOMPARE(txtIn()->text(), kept);
        QTest::keyClick(txtIn(), Qt::Key_Backspace);
        QCOMPARE(txtIn()->text(), QString());
    }

    void window_paste_putsFirstCharacterWithoutAnalysing_data()
    {
        QTest::addColumn<QString>("clipboard"); // null: it cannot be read
        QTest::addColumn<QString>("input");

        QTest::newRow("text ending in the letter in the box") << u"xyQ"_s << u"x"_s;
        QTest::newRow("empty, the box emptied") << u""_s << QString();
        QTest::newRow("unreadable, the box kept") << QString() << u"Q"_s;
    }

    void window_paste_putsFirstCharacterWithoutAnalysing()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, input);

        typeText(txtIn(), u"Q"_s);
        click("cmdOK");
        m_clipboard->content = clipboard;
        m_clipboard->fails = clipboard.isNull();
        if (clipboard.isNull())
            m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
        click("cmdPasteFromBuffer");
        QCOMPARE(txtIn()->text(), input);
        QCOMPARE(txtOut()->text(), u"Код символа=81; английский символ"_s);
        const QString failure
            = u" ! ok: Произошла ошибка при попытке вставки из буфера:Не удается открыть буфер обмена"_s;
        QCOMPARE(m_dialogs->asked(), clipboard.isNull() ? QStringList(kTitle + failure) : QStringList());
    }

    void window_look()
    {
        QCOMPARE(m_window->windowTitle(), kTitle);
        // Client area 5550 x 3945 twips, 15 twips to the pixel, and no way to resize it.
        QCOMPARE(m_window->size(), QSize(370, 263));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        const auto buttons = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
        QCOMPARE(m_window->windowFlags() & buttons, Qt::WindowCloseButtonHint);
        QCOMPARE(m_window->palette().color(QPalette::Window), QColor(224, 224, 224));
        QTRY_COMPARE(m_window->windowIcon().availableSizes(), (QList<QSize> {{16, 16}, {32, 32}, {48, 48}}));

        const QPoint offCentre = m_window->frameGeometry().center() - m_window->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(offCentre.x()).arg(offCentre.y())));

        QCOMPARE(control(u"Frame1"_s)->children(), (QObjectList {txtOut(), button("cmdCopyToBuffer")}));
        for (const QString &name : {u"lblIntro"_s, u"Label1"_s})
            QCOMPARE(std::pair(control(name)->font().family(), control(name)->font().pointSizeF()),
                     std::pair(platform::appearance::face(u"Tahoma"_s), 9.75));
        // The input box may hold any character: one its face lacks comes from another face.
        QTRY_VERIFY(!(txtIn()->font().styleStrategy() & QFont::NoFontMerging));
        QVERIFY(txtOut()->isReadOnly());
    }

    void textsReadOnLightAndDark_data()
    {
        QTest::addColumn<QPalette>("desktop");
        QTest::newRow("light") << QApplication::palette();
        QTest::newRow("dark") << QPalette(QColor(50, 50, 50));
    }

    // The window's grey is its own; its texts keep the black drawn for it.
    void textsReadOnLightAndDark()
    {
        QFETCH(QPalette, desktop);
        const auto restore = qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
        QApplication::setPalette(desktop);
        kelvane::frmMain window(*m_dialogs, *m_clipboard);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(unreadableLabels(&window), QStringList());
    }

    void window_controls_placeTextAndTip_data()
    {
        QTest::addColumn<QRect>("place"); // the frame's own controls in the frame
        QTest::addColumn<QString>("text"); // a frame's title
        QTest::addColumn<QString>("toolTip");

        // Edges, not sizes, are converted: neighbours that touch in twips touch here.
        QTest::newRow("lblIntro") << QRect(8, 8, 353, 57)
                                  << u"Утилита Kelvane определяет, к какому языку принадлежит введенный символ: "
                                     u"русский или английский. Введите символ:"_s
                                  << QString();
        QTest::newRow("txtIn") << QRect(24, 64, 65, 25) << QString() << u"Введите символ"_s;
        QTest::newRow("cmdPasteFromBuffer") << QRect(96, 64, 129, 25) << u"Вставить из буфера"_s
                                            << u"Вставить в текстовое поле первый символ строки из буфера"_s;
        QTest::newRow("Label1") << QRect(8, 104, 353, 25) << u"и нажмите кнопку \"Анализ\"."_s << QString();
        QTest::newRow("Frame1") << QRect(16, 128, 345, 89) << u"Анализ"_s << QString();
        QTest::newRow("txtOut") << QRect(8, 24, 329, 25) << QString() << QString();
        QTest::newRow("cmdCopyToBuffer") << QRect(280, 56, 57, 25) << u"В буфер"_s
                                         << u"Скопировать введенный символ в буфер"_s;
        QTest::newRow("cmdOK") << QRect(16, 232, 97, 25) << u"Анализ"_s << u"Анализ введенного символа"_s;
        QTest::newRow("cmdCancel") << QRect(256, 232, 105, 25) << u"Отмена"_s << u"Выход из программы"_s;
    }

    void window_controls_placeTextAndTip()
    {
        QFETCH(QRect, place);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);

        QWidget *shown = control(QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(shown->geometry(), place);
        QCOMPARE(shown->property(shown->inherits("QGroupBox") ? "title" : "text").toString(), text);
        QCOMPARE(shown->toolTip(), toolTip);
        // A screen reader names every control; a box by the label that asks for it.
        QVERIFY(!QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name).isEmpty());
    }

    void window_tabOrder_escapeDoesNotClose_cancelCloses()
    {
        // From the box round the window, through the copy button once it shows.
        QCOMPARE(QApplication::focusWidget(), txtIn());
        QStringList order {u"cmdPasteFromBuffer"_s, u"cmdOK"_s, u"cmdCancel"_s, u"txtOut"_s, u"txtIn"_s};
        for (int round = 0; round < 2; ++round) {
            for (const QString &name : order) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget()->objectName(), name);
            }
            typeText(txtIn(), u"a"_s);
            click("cmdOK");
            txtIn()->setFocus();
            order.insert(4, u"cmdCopyToBuffer"_s);
        }

        QTest::keyClick(txtIn(), Qt::Key_Escape);
        QVERIFY(m_window->isVisible());
        QSignalSpy rejected(m_window.get(), &QDialog::rejected);
        click("cmdCancel");
        QVERIFY(!m_window->isVisible());
        QCOMPARE(rejected.size(), 1);
    }
};

QTEST_MAIN(tst_Kelvane)
#include "tst_kelvane.moc"
