#include "appearance.h"
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
    bool readFails = false;
    bool writeFails = false;

    QString text() override
    {
        if (readFails)
            throw platform::RuntimeFailure(521, u"Не удается открыть буфер обмена"_s);
        return content;
    }

    void setText(const QString &text) override
    {
        if (writeFails)
            throw platform::RuntimeFailure(521, u"Не удается открыть буфер обмена"_s);
        content = text;
    }
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

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void analysis_showsCodeAndLanguage_data();
    void analysis_showsCodeAndLanguage();
    void enterInInput_runsAnalysis();
    void emptyInput_showsMessageAndKeepsResult();
    void copyButton_appearsOnFirstAnalysisAndStays();

    void typing_keepsOneCharacter_data();
    void typing_keepsOneCharacter();
    void typingInFrontOfCharacter_keepsIt();
    void keyboardPasteOverSelection_keepsFirstCharacter();

    void paste_replacesInputWithoutAnalysing_data();
    void paste_replacesInputWithoutAnalysing();
    void pasteOfEmptyClipboard_emptiesInputSilently();
    void pasteFailure_showsMessageAndKeepsInput();
    void copy_putsCurrentInputAndFailsSilently();

    void window_layoutAndLook();
    void window_texts_data();
    void window_texts();
    void window_tabOrderAndStartFocus();
    void escape_doesNotClose_cancelCloses();

private:
    template<typename T> T *control(const QString &name) const
    {
        auto *found = m_window->findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
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
};

void tst_Kelvane::initTestCase()
{
    platform::appearance::installFontSubstitutions();
}

void tst_Kelvane::init()
{
    // No default title: the window names its messages itself.
    m_dialogs = std::make_unique<FakeDialogs>();
    m_clipboard = std::make_unique<FakeClipboard>();
    m_window = std::make_unique<frmMain>(*m_dialogs, *m_clipboard);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void tst_Kelvane::cleanup()
{
    QCOMPARE(m_dialogs->unusedAnswers(), 0);
    m_window.reset();
    m_clipboard.reset();
    m_dialogs.reset();
}

void tst_Kelvane::analysis_showsCodeAndLanguage_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("result");

    const QString english = u"; английский символ"_s;
    const QString russian = u"; русский символ"_s;
    const QString code = u"Код символа="_s;
    QTest::newRow("Q") << u"Q"_s << code + u"81"_s + english;
    QTest::newRow("ж") << u"ж"_s << code + u"230"_s + russian;
    QTest::newRow("Ё, below the Russian block") << u"Ё"_s << code + u"168"_s;
    QTest::newRow("ё, below the Russian block") << u"ё"_s << code + u"184"_s;
    QTest::newRow("digit 5") << u"5"_s << code + u"53"_s;
    QTest::newRow("blank") << u" "_s << code + u"32"_s;
    QTest::newRow("@ 64, before A") << u"@"_s << code + u"64"_s;
    QTest::newRow("A 65") << u"A"_s << code + u"65"_s + english;
    QTest::newRow("Z 90") << u"Z"_s << code + u"90"_s + english;
    QTest::newRow("[ 91, after Z") << u"["_s << code + u"91"_s;
    QTest::newRow("` 96, before a") << u"`"_s << code + u"96"_s;
    QTest::newRow("a 97") << u"a"_s << code + u"97"_s + english;
    QTest::newRow("z 122") << u"z"_s << code + u"122"_s + english;
    QTest::newRow("{ 123, after z") << u"{"_s << code + u"123"_s;
    QTest::newRow("» 187") << u"»"_s << code + u"187"_s;
    QTest::newRow("ї 191, last before А") << u"ї"_s << code + u"191"_s;
    QTest::newRow("Ї 175") << u"Ї"_s << code + u"175"_s;
    QTest::newRow("А 192, first Russian") << u"А"_s << code + u"192"_s + russian;
    QTest::newRow("я 255") << u"я"_s << code + u"255"_s + russian;
    QTest::newRow("euro sign 136") << u"€"_s << code + u"136"_s;
    QTest::newRow("CJK outside the code page") << u"中"_s << code + u"63"_s;
    QTest::newRow("Latin é outside the code page") << u"é"_s << code + u"63"_s;
    QTest::newRow("emoji outside the BMP") << u"\U0001F600"_s << code + u"63"_s;
    QTest::newRow("question mark itself") << u"?"_s << code + u"63"_s;
}

void tst_Kelvane::analysis_showsCodeAndLanguage()
{
    QFETCH(QString, input);
    QFETCH(QString, result);

    typeText(txtIn(), input);
    QCOMPARE(txtIn()->text(), input);
    click("cmdOK");
    QCOMPARE(txtOut()->text(), result);
    QVERIFY(m_dialogs->calls().isEmpty());
}

void tst_Kelvane::enterInInput_runsAnalysis()
{
    typeText(txtIn(), u"ж"_s);
    QVERIFY(txtIn()->hasFocus());
    QTest::keyClick(txtIn(), Qt::Key_Return);
    QCOMPARE(txtOut()->text(), u"Код символа=230; русский символ"_s);
    QVERIFY(m_window->isVisible());
}

void tst_Kelvane::emptyInput_showsMessageAndKeepsResult()
{
    analyse(u"Q"_s);
    QTest::keyClick(txtIn(), Qt::Key_Backspace);
    QVERIFY(txtIn()->text().isEmpty());

    m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
    click("cmdOK");

    const auto messages = m_dialogs->messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].message.text, u"Введите символ!"_s);
    QCOMPARE(messages[0].message.buttons, platform::Dialogs::Buttons::Ok);
    QCOMPARE(messages[0].message.icon, platform::Dialogs::Icon::Information);
    QCOMPARE(messages[0].title, kTitle);
    QCOMPARE(txtOut()->text(), u"Код символа=81; английский символ"_s);
}

void tst_Kelvane::copyButton_appearsOnFirstAnalysisAndStays()
{
    QPushButton *copy = button("cmdCopyToBuffer");
    QVERIFY(copy->isHidden());

    // A refused analysis does not count.
    m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
    click("cmdOK");
    QVERIFY(copy->isHidden());
    QVERIFY(txtOut()->text().isEmpty());

    analyse(u"5"_s);
    QVERIFY(copy->isVisible());

    txtIn()->clear();
    m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
    click("cmdOK");
    QVERIFY(copy->isVisible());

    analyse(u"ж"_s);
    QVERIFY(copy->isVisible());
}

void tst_Kelvane::typing_keepsOneCharacter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("two Latin letters") << u"ab"_s << u"a"_s;
    QTest::newRow("two Cyrillic letters") << u"жы"_s << u"ж"_s;
    QTest::newRow("emoji, then a letter") << u"\U0001F600x"_s << u"\U0001F600"_s;
    QTest::newRow("letter, then an emoji") << u"x\U0001F600"_s << u"x"_s;
    QTest::newRow("two emoji") << u"\U0001F600\U0001F601"_s << u"\U0001F600"_s;
}

void tst_Kelvane::typing_keepsOneCharacter()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);

    typeText(txtIn(), typed);
    QCOMPARE(txtIn()->text(), kept);

    // A character typed over the selection replaces it, and one Backspace
    // takes the whole character, also a surrogate pair.
    txtIn()->selectAll();
    typeText(txtIn(), kept);
    QCOMPARE(txtIn()->text(), kept);
    QTest::keyClick(txtIn(), Qt::Key_Backspace);
    QCOMPARE(txtIn()->text(), QString());
}

void tst_Kelvane::typingInFrontOfCharacter_keepsIt()
{
    typeText(txtIn(), u"\U0001F600"_s);
    QTest::keyClick(txtIn(), Qt::Key_Home);
    typeText(txtIn(), u"a"_s);
    QCOMPARE(txtIn()->text(), u"\U0001F600"_s);
    QCOMPARE(txtIn()->cursorPosition(), 0);
}

void tst_Kelvane::keyboardPasteOverSelection_keepsFirstCharacter()
{
    // The box's own paste shortcut reads the real clipboard, not the button's.
    QGuiApplication::clipboard()->setText(u"zyx"_s);
    typeText(txtIn(), u"x"_s);
    txtIn()->selectAll();
    QTest::keyClick(txtIn(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txtIn()->text(), u"z"_s);

    QGuiApplication::clipboard()->setText(u"\U0001F600abc"_s);
    txtIn()->selectAll();
    QTest::keyClick(txtIn(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txtIn()->text(), u"\U0001F600"_s);
}

void tst_Kelvane::paste_replacesInputWithoutAnalysing_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("result");

    QTest::newRow("one letter") << u"ж"_s << u"ж"_s << u"Код символа=230; русский символ"_s;
    QTest::newRow("long text, first character kept") << u"Hello"_s << u"H"_s << u"Код символа=72; английский символ"_s;
    QTest::newRow("text ending in the typed letter") << u"xyQ"_s << u"x"_s << u"Код символа=120; английский символ"_s;
    QTest::newRow("emoji and more, the whole emoji kept")
        << u"\U0001F600abc"_s << u"\U0001F600"_s << u"Код символа=63"_s;
    QTest::newRow("CJK text") << u"中文"_s << u"中"_s << u"Код символа=63"_s;
    QTest::newRow("line break first") << u"\r\nabc"_s << u"\r"_s << u"Код символа=13"_s;
}

void tst_Kelvane::paste_replacesInputWithoutAnalysing()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, input);
    QFETCH(QString, result);

    analyse(u"Q"_s);
    m_clipboard->content = clipboard;
    click("cmdPasteFromBuffer");

    QCOMPARE(txtIn()->text(), input);
    QCOMPARE(txtOut()->text(), u"Код символа=81; английский символ"_s);
    QVERIFY(m_dialogs->calls().isEmpty());

    // The pasted character is what the next analysis reads.
    click("cmdOK");
    QCOMPARE(txtOut()->text(), result);
}

void tst_Kelvane::pasteOfEmptyClipboard_emptiesInputSilently()
{
    analyse(u"Q"_s);
    m_clipboard->content.clear();
    click("cmdPasteFromBuffer");

    QCOMPARE(txtIn()->text(), QString());
    QCOMPARE(txtOut()->text(), u"Код символа=81; английский символ"_s);
    QVERIFY(m_dialogs->calls().isEmpty());
}

void tst_Kelvane::pasteFailure_showsMessageAndKeepsInput()
{
    typeText(txtIn(), u"Q"_s);
    m_clipboard->readFails = true;
    m_dialogs->answerMessage(platform::Dialogs::Answer::Ok);
    click("cmdPasteFromBuffer");

    const auto messages = m_dialogs->messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].message.text,
             u"Произошла ошибка при попытке вставки из буфера:Не удается открыть буфер обмена"_s);
    QCOMPARE(messages[0].message.buttons, platform::Dialogs::Buttons::Ok);
    QCOMPARE(messages[0].message.icon, platform::Dialogs::Icon::Exclamation);
    QCOMPARE(messages[0].title, kTitle);
    QCOMPARE(txtIn()->text(), u"Q"_s);
    QVERIFY(txtOut()->text().isEmpty());
}

void tst_Kelvane::copy_putsCurrentInputAndFailsSilently()
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
    m_clipboard->writeFails = true;
    click("cmdCopyToBuffer");
    QVERIFY(m_dialogs->calls().isEmpty());
    QVERIFY(m_window->isVisible());
}

void tst_Kelvane::window_layoutAndLook()
{
    QCOMPARE(m_window->windowTitle(), kTitle);
    // Client area 5550 x 3945 twips, 15 twips to the pixel, and no way to resize it.
    QCOMPARE(m_window->size(), QSize(370, 263));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(224, 224, 224));
    QVERIFY(m_window->windowIcon().availableSizes().contains(QSize(32, 32)));
    QCOMPARE(m_window->windowIcon().pixmap(QSize(32, 32)).size(), QSize(32, 32));

    const QRect available = m_window->screen()->availableGeometry();
    const QPoint offCentre = m_window->frameGeometry().center() - available.center();
    QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(offCentre.x()).arg(offCentre.y())));

    // Edges, not sizes, are converted: neighbours that touch in twips touch here.
    QCOMPARE(txtIn()->geometry(), QRect(24, 64, 65, 25));
    QCOMPARE(button("cmdPasteFromBuffer")->geometry(), QRect(96, 64, 129, 25));
    QCOMPARE(button("cmdOK")->geometry(), QRect(16, 232, 97, 25));
    QCOMPARE(button("cmdCancel")->geometry(), QRect(256, 232, 105, 25));
    auto *frame = control<QGroupBox>(u"Frame1"_s);
    QCOMPARE(frame->geometry(), QRect(16, 128, 345, 89));
    QCOMPARE(txtOut()->parentWidget(), frame);
    QCOMPARE(txtOut()->geometry(), QRect(8, 24, 329, 25));
    QCOMPARE(button("cmdCopyToBuffer")->parentWidget(), frame);
    QCOMPARE(button("cmdCopyToBuffer")->geometry(), QRect(280, 56, 57, 25));

    for (const QString &name : {u"lblIntro"_s, u"Label1"_s}) {
        const QFont font = control<QLabel>(name)->font();
        QCOMPARE(QFontInfo(font).family(), QFontInfo(QFont(u"Tahoma"_s)).family());
        QCOMPARE(font.pointSizeF(), 9.75);
    }
    // The input box may hold any character: one its face lacks comes from another face.
    QTRY_VERIFY(!(txtIn()->font().styleStrategy() & QFont::NoFontMerging));
    QVERIFY(txtOut()->isReadOnly());
    QVERIFY(button("cmdOK")->isDefault());
}

void tst_Kelvane::window_texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("text");

    QTest::newRow("lblIntro") << u"lblIntro"_s << QByteArray("text")
                              << u"Утилита Kelvane определяет, к какому языку принадлежит введенный символ: "
                                 u"русский или английский. Введите символ:"_s;
    QTest::newRow("Label1") << u"Label1"_s << QByteArray("text") << u"и нажмите кнопку \"Анализ\"."_s;
    QTest::newRow("Frame1") << u"Frame1"_s << QByteArray("title") << u"Анализ"_s;
    QTest::newRow("txtIn tip") << u"txtIn"_s << QByteArray("toolTip") << u"Введите символ"_s;
    QTest::newRow("paste") << u"cmdPasteFromBuffer"_s << QByteArray("text") << u"Вставить из буфера"_s;
    QTest::newRow("paste tip") << u"cmdPasteFromBuffer"_s << QByteArray("toolTip")
                               << u"Вставить в текстовое поле первый символ строки из буфера"_s;
    QTest::newRow("copy") << u"cmdCopyToBuffer"_s << QByteArray("text") << u"В буфер"_s;
    QTest::newRow("copy tip") << u"cmdCopyToBuffer"_s << QByteArray("toolTip")
                              << u"Скопировать введенный символ в буфер"_s;
    QTest::newRow("OK") << u"cmdOK"_s << QByteArray("text") << u"Анализ"_s;
    QTest::newRow("OK tip") << u"cmdOK"_s << QByteArray("toolTip") << u"Анализ введенного символа"_s;
    QTest::newRow("cancel") << u"cmdCancel"_s << QByteArray("text") << u"Отмена"_s;
    QTest::newRow("cancel tip") << u"cmdCancel"_s << QByteArray("toolTip") << u"Выход из программы"_s;
}

void tst_Kelvane::window_texts()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    QFETCH(QString, text);

    const QVariant shown = control<QWidget>(name)->property(property.constData());
    QVERIFY(shown.isValid());
    QCOMPARE(shown.toString(), text);
}

void tst_Kelvane::window_tabOrderAndStartFocus()
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
    QCOMPARE(tabThrough(5),
             (QStringList {u"cmdPasteFromBuffer"_s, u"cmdOK"_s, u"cmdCancel"_s, u"txtOut"_s, u"txtIn"_s}));

    analyse(u"a"_s);
    txtIn()->setFocus();
    QCOMPARE(tabThrough(6), (QStringList {u"cmdPasteFromBuffer"_s, u"cmdOK"_s, u"cmdCancel"_s, u"txtOut"_s,
                                          u"cmdCopyToBuffer"_s, u"txtIn"_s}));
}

void tst_Kelvane::escape_doesNotClose_cancelCloses()
{
    QTest::keyClick(txtIn(), Qt::Key_Escape);
    QVERIFY(m_window->isVisible());

    QSignalSpy rejected(m_window.get(), &QDialog::rejected);
    click("cmdCancel");
    QVERIFY(!m_window->isVisible());
    QCOMPARE(rejected.size(), 1);
}

QTEST_MAIN(tst_Kelvane)
#include "tst_kelvane.moc"
