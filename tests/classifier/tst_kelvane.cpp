#include "appearance.h"
#include "characteranalysis.h"
#include "clipboard.h"
#include "fakedialogs.h"
#include "frmmain.h"
#include "runtimefailure.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using kelvane::frmMain;

class FakeClipboard final : public kelvane::Clipboard
{
public:
    QString content;
    bool fails = false;

    const platform::RuntimeFailure failure {521, u"Не удается открыть буфер обмена"_s};

    QString text() override { return fails ? throw failure : content; }
    void setText(const QString &text) override { content = fails ? throw failure : text; }
};

namespace {

const QString kTitle = u"Orvane Kelvane"_s;

// QTest::keyClicks asserts on anything but ASCII, so every character goes in
// as a key event of its own carrying the character's text.
void typeText(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, units), Qt::NoModifier);
        i += units - 1;
    }
}

} // namespace

class tst_Kelvane : public QObject
{
    Q_OBJECT

    template<typename T = QWidget> T *control(const QString &name) const { return m_window->findChild<T *>(name); }
    QLineEdit *txtIn() const { return control<QLineEdit>(u"txtIn"_s); }
    QLineEdit *txtOut() const { return control<QLineEdit>(u"txtOut"_s); }
    QPushButton *button(const char *name) const { return control<QPushButton>(QString::fromLatin1(name)); }
    void click(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void analyse(const QString &character)
    {
        txtIn()->clear();
        typeText(txtIn(), character);
        click("cmdOK");
    }

    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeClipboard> m_clipboard;
    std::unique_ptr<frmMain> m_window;

private Q_SLOTS:
    void initTestCase() { platform::appearance::installFontSubstitutions(); }

    void init()
    {
        m_dialogs = std::make_unique<FakeDialogs>();
        m_clipboard = std::make_unique<FakeClipboard>();
        // The character rules are tested without a window.
        if (qstrncmp(QTest::currentTestFunction(), "window_", 7) != 0)
            return;
        m_window = std::make_unique<frmMain>(*m_dialogs, *m_clipboard);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        QCOMPARE(m_dialogs->unusedAnswers(), 0);
        m_window.reset();
    }

    void analysisLine_namesEnglishAndRussianLetters_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("language");

        const auto rows = [](const QString &language, std::initializer_list<int> codes) {
            for (const int code : codes)
                QTest::addRow("%d", code) << code << language;
        };
        // The codes on either side of each block, and Ё (168) and ё (184),
        // which lie below А..я.
        rows({}, {13, 32, 53, 63, 64, 91, 96, 123, 136, 168, 175, 184, 187, 191});
        rows(u"; английский символ"_s, {65, 81, 90, 97, 122});
        rows(u"; русский символ"_s, {192, 230, 255});
    }

    void analysisLine_namesEnglishAndRussianLetters()
    {
        QFETCH(int, code);
        QFETCH(QString, language);

        QCOMPARE(kelvane::analysisLine(code), u"Код символа="_s + QString::number(code) + language);
    }

    void firstCharacter_keepsSurrogatePairWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("code"); // of the first character; none for an empty text

        const QString emoji = u"\U0001F600"_s;
        const QString high(QChar(0xD83D)), low(QChar(0xDE00));
        QTest::newRow("empty") << QString() << QString() << 0 << 0;
        QTest::newRow("Russian text") << u"жы"_s << u"ж"_s << 2 << 230;
        QTest::newRow("line break") << u"\r\nabc"_s << u"\r"_s << 5 << 13;
        QTest::newRow("emoji, then text") << emoji + u"abc"_s << emoji << 4 << 63;
        QTest::newRow("letter, then an emoji") << u"x"_s + emoji << u"x"_s << 2 << 120;
        QTest::newRow("lone high surrogate") << high + u"a"_s << high << 2 << 63;
        QTest::newRow("high surrogate at the end") << u"a"_s + high << u"a"_s << 2 << 97;
        QTest::newRow("low before high surrogate") << low + high << low << 2 << 63;
    }

    void firstCharacter_keepsSurrogatePairWhole()
    {
        QFETCH(QString, text);
        QFETCH(QString, first);
        QFETCH(int, count);
        QFETCH(int, code);

        QCOMPARE(kelvane::firstCharacter(text), first);
        QCOMPARE(kelvane::characterCount(text), count);
        if (!text.isEmpty())
            QCOMPARE(kelvane::codeOfFirstCharacter(text), code);
    }

    void window_analysis_showsLineAndThenCopyButton()
    {
        QPushButton *copy = button("cmdCopyToBuffer");
        // An empty box is refused, and a refusal does not count.
        m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
        click("cmdOK");
        QVERIFY(copy->isHidden());
        QVERIFY(txtOut()->text().isEmpty());

        // Enter in the box is the "Анализ" button.
        typeText(txtIn(), u"ж"_s);
        QTest::keyClick(txtIn(), Qt::Key_Return);
        QCOMPARE(txtOut()->text(), u"Код символа=230; русский символ"_s);
        QVERIFY(copy->isVisible());

        // A later refusal keeps both the line and the button.
        txtIn()->clear();
        m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
        click("cmdOK");
        QCOMPARE(txtOut()->text(), u"Код символа=230; русский символ"_s);
        QVERIFY(copy->isVisible());
        QCOMPARE(m_dialogs->asked(), QStringList(2, kTitle + u" i ok: Введите символ!"_s));
    }

    void window_field_keepsOneCharacter_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("pasted"); // with the box's own paste shortcut, else typed
        QTest::addColumn<QString>("kept");

        QTest::newRow("two Latin letters") << u"ab"_s << false << u"a"_s;
        QTest::newRow("two Cyrillic letters") << u"жы"_s << false << u"ж"_s;
        QTest::newRow("emoji, then a letter") << u"\U0001F600x"_s << false << u"\U0001F600"_s;
        QTest::newRow("letter, then an emoji") << u"x\U0001F600"_s << false << u"x"_s;
        QTest::newRow("two emoji") << u"\U0001F600\U0001F601"_s << false << u"\U0001F600"_s;
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

        // Over the selection it replaces it, and one Backspace takes the whole
        // character, also a surrogate pair.
        txtIn()->setText(u"#"_s);
        txtIn()->selectAll();
        enter();
        QCOMPARE(txtIn()->text(), kept);
        QTest::keyClick(txtIn(), Qt::Key_Backspace);
        QCOMPARE(txtIn()->text(), QString());
    }

    void window_paste_putsFirstCharacterWithoutAnalysing_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("input");

        QTest::newRow("one letter") << u"ж"_s << true << u"ж"_s;
        QTest::newRow("long text") << u"Hello"_s << true << u"H"_s;
        QTest::newRow("text ending in the letter in the box") << u"xyQ"_s << true << u"x"_s;
        QTest::newRow("emoji and more") << u"\U0001F600abc"_s << true << u"\U0001F600"_s;
        QTest::newRow("line break first") << u"\r\nabc"_s << true << u"\r"_s;
        QTest::newRow("empty, the box emptied") << QString() << true << QString();
        QTest::newRow("unreadable, the box kept") << u"z"_s << false << u"Q"_s;
    }

    void window_paste_putsFirstCharacterWithoutAnalysing()
    {
        QFETCH(QString, clipboard);
        QFETCH(bool, readable);
        QFETCH(QString, input);

        analyse(u"Q"_s);
        m_clipboard->content = clipboard;
        m_clipboard->fails = !readable;
        if (!readable)
            m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
        click("cmdPasteFromBuffer");
        QCOMPARE(txtIn()->text(), input);
        QCOMPARE(txtOut()->text(), u"Код символа=81; английский символ"_s);
        const QString failure
            = u" ! ok: Произошла ошибка при попытке вставки из буфера:Не удается открыть буфер обмена"_s;
        QCOMPARE(m_dialogs->asked(), readable ? QStringList() : QStringList(kTitle + failure));

        // The pasted character is what the next analysis reads.
        if (!input.isEmpty()) {
            click("cmdOK");
            QCOMPARE(txtOut()->text(), kelvane::analysisLine(kelvane::codeOfFirstCharacter(input)));
        }
    }

    void window_copy_putsCurrentInputAndFailsSilently()
    {
        analyse(u"\U0001F600"_s);
        click("cmdCopyToBuffer");
        QCOMPARE(m_clipboard->content, u"\U0001F600"_s);

        // The input at the moment of the click, not the one analysed.
        txtIn()->selectAll();
        typeText(txtIn(), u"ж"_s);
        click("cmdCopyToBuffer");
        QCOMPARE(m_clipboard->content, u"ж"_s);
        QCOMPARE(txtOut()->text(), u"Код символа=63"_s);

        QTest::keyClick(txtIn(), Qt::Key_Backspace);
        click("cmdCopyToBuffer");
        QCOMPARE(m_clipboard->content, QString());

        typeText(txtIn(), u"Q"_s);
        m_clipboard->fails = true;
        click("cmdCopyToBuffer");
        QVERIFY(m_dialogs->calls().isEmpty());
    }

    void window_layoutAndLook()
    {
        QCOMPARE(m_window->windowTitle(), kTitle);
        // Client area 5550 x 3945 twips, 15 twips to the pixel, and no way to resize it.
        QCOMPARE(m_window->size(), QSize(370, 263));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        const auto buttons = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
        QCOMPARE(m_window->windowFlags() & buttons, Qt::WindowCloseButtonHint);
        QCOMPARE(m_window->palette().color(QPalette::Window), QColor(224, 224, 224));
        QCOMPARE(m_window->windowIcon().availableSizes(), (QList<QSize> {{16, 16}, {32, 32}, {48, 48}}));
        QCOMPARE(m_window->windowIcon().pixmap(QSize(32, 32)).size(), QSize(32, 32));

        const QRect available = m_window->screen()->availableGeometry();
        const QPoint offCentre = m_window->frameGeometry().center() - available.center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(offCentre.x()).arg(offCentre.y())));

        // Edges, not sizes, are converted: neighbours that touch in twips touch
        // here. The result and the copy button lie in the frame.
        const std::pair<const char *, QRect> places[]
            = {{"txtIn", {24, 64, 65, 25}},           {"cmdPasteFromBuffer", {96, 64, 129, 25}},
               {"cmdOK", {16, 232, 97, 25}},          {"cmdCancel", {256, 232, 105, 25}},
               {"Frame1", {16, 128, 345, 89}},        {"txtOut", {8, 24, 329, 25}},
               {"cmdCopyToBuffer", {280, 56, 57, 25}}};
        for (const auto &[name, place] : places)
            QCOMPARE(control(QString::fromLatin1(name))->geometry(), place);
        QCOMPARE(txtOut()->parentWidget(), control(u"Frame1"_s));
        QCOMPARE(button("cmdCopyToBuffer")->parentWidget(), control(u"Frame1"_s));

        for (const QString &name : {u"lblIntro"_s, u"Label1"_s}) {
            const QFont font = control(name)->font();
            QCOMPARE(QFontInfo(font).family(), QFontInfo(QFont(u"Tahoma"_s)).family());
            QCOMPARE(font.pointSizeF(), 9.75);
        }
        // The input box may hold any character: one its face lacks comes from another face.
        QTRY_VERIFY(!(txtIn()->font().styleStrategy() & QFont::NoFontMerging));
        QVERIFY(txtOut()->isReadOnly());
        QVERIFY(button("cmdOK")->isDefault());
    }

    void window_texts_data()
    {
        QTest::addColumn<QString>("text"); // a frame's title
        QTest::addColumn<QString>("toolTip");

        QTest::newRow("lblIntro") << u"Утилита Kelvane определяет, к какому языку принадлежит введенный символ: "
                                     u"русский или английский. Введите символ:"_s
                                  << QString();
        QTest::newRow("Label1") << u"и нажмите кнопку \"Анализ\"."_s << QString();
        QTest::newRow("Frame1") << u"Анализ"_s << QString();
        QTest::newRow("txtIn") << QString() << u"Введите символ"_s;
        QTest::newRow("cmdPasteFromBuffer")
            << u"Вставить из буфера"_s << u"Вставить в текстовое поле первый символ строки из буфера"_s;
        QTest::newRow("cmdCopyToBuffer") << u"В буфер"_s << u"Скопировать введенный символ в буфер"_s;
        QTest::newRow("cmdOK") << u"Анализ"_s << u"Анализ введенного символа"_s;
        QTest::newRow("cmdCancel") << u"Отмена"_s << u"Выход из программы"_s;
    }

    void window_texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, toolTip);

        const QWidget *shown = control(QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(shown->property(qobject_cast<const QGroupBox *>(shown) ? "title" : "text").toString(), text);
        QCOMPARE(shown->toolTip(), toolTip);
    }

    void window_tabOrder_escapeDoesNotClose_cancelCloses()
    {
        QCOMPARE(QApplication::focusWidget(), txtIn());
        const auto tabThrough = [](int steps) {
            QStringList visited;
            for (int i = 0; i < steps; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited << QApplication::focusWidget()->objectName();
            }
            return visited;
        };
        const QStringList order {u"cmdPasteFromBuffer"_s, u"cmdOK"_s, u"cmdCancel"_s, u"txtOut"_s};
        QCOMPARE(tabThrough(5), order + QStringList(u"txtIn"_s));
        analyse(u"a"_s);
        txtIn()->setFocus();
        QCOMPARE(tabThrough(6), (order + QStringList {u"cmdCopyToBuffer"_s, u"txtIn"_s}));

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
