#include "frmmain.h"

#include "analysisnotice.h"
#include "appearance.h"
#include "characteranalysis.h"
#include "clipboard.h"
#include "dialogs.h"
#include "runtimefailure.h"
#include "singlecharactervalidator.h"
#include "twips.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <exception>

using namespace Qt::StringLiterals;

namespace kelvane {

namespace {

// QLineEdit lays out its empty text in the application's font before it takes
// its own, and loading the application's face, which this window never shows,
// would cost the start-up a face and a font-configuration search. So the box
// is made while the application's font is the box's own. QGuiApplication's
// setter sends no widget an event, and the widgets take their fonts from their
// parents, which have theirs already. It does count the application's font as
// the program's choice from then on: a desktop theme that changes its font
// while the program runs (here only a settings tool could) no longer replaces it.
QLineEdit *newLineEdit(QWidget *parent)
{
    struct Restore
    {
        QFont font;
        ~Restore() { QGuiApplication::setFont(font); }
    } restore {QGuiApplication::font()};
    QGuiApplication::setFont(parent->font());
    return new QLineEdit(parent);
}

} // namespace

frmMain::frmMain(platform::Dialogs &dialogs, Clipboard &clipboard, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_clipboard(clipboard)
{
    setObjectName(u"frmMain"_s);
    setWindowTitle(programTitle());
    // A fixed dialog frame: a title and a close box, nothing to resize,
    // minimize or maximize with.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(platform::twips::size(5550, 3945));
    setSizeGripEnabled(false);

    // The window's own font is the dialog font; the two labels ask for their own.
    setFont(platform::appearance::fixedTextFont(QFont(platform::appearance::face(u"MS Sans Serif"_s), 8)));
    // The window's grey is fixed, so its texts keep the black drawn for it:
    // a dark desktop's light text would fade into the grey.
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(224, 224, 224));
    background.setColor(QPalette::WindowText, Qt::black);
    setPalette(background);
    setAutoFillBackground(true);

    createControls();
    placeControls();

    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);
    connect(cmdPasteFromBuffer, &QPushButton::clicked, this, &frmMain::cmdPasteFromBuffer_Click);
    connect(cmdCopyToBuffer, &QPushButton::clicked, this, &frmMain::cmdCopyToBuffer_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);

    setTabOrder(txtIn, cmdPasteFromBuffer);
    setTabOrder(cmdPasteFromBuffer, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, txtOut);
    setTabOrder(txtOut, cmdCopyToBuffer);
    txtIn->setFocus();
}

frmMain::~frmMain() = default;

QString frmMain::programTitle()
{
    return u"Orvane Kelvane"_s;
}

void frmMain::createControls()
{
    QFont labelFont(platform::appearance::face(u"Tahoma"_s));
    labelFont.setPointSizeF(9.75);
    labelFont = platform::appearance::fixedTextFont(labelFont);

    lblIntro = new QLabel(u"Утилита Kelvane определяет, к какому языку принадлежит введенный символ: "
                          u"русский или английский. Введите символ:"_s,
                          this);
    lblIntro->setObjectName(u"lblIntro"_s);
    lblIntro->setFont(labelFont);
    lblIntro->setWordWrap(true);
    lblIntro->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    txtIn = newLineEdit(this);
    txtIn->setObjectName(u"txtIn"_s);
    txtIn->setToolTip(u"Введите символ"_s);
    // The one-character limit; a length limit would count UTF-16 units.
    txtIn->setValidator(new SingleCharacterValidator(txtIn));
    // Its name for a screen reader: the request that ends "Введите символ:".
    lblIntro->setBuddy(txtIn);

    cmdPasteFromBuffer = new QPushButton(u"Вставить из буфера"_s, this);
    cmdPasteFromBuffer->setObjectName(u"cmdPasteFromBuffer"_s);
    cmdPasteFromBuffer->setToolTip(u"Вставить в текстовое поле первый символ строки из буфера"_s);

    Label1 = new QLabel(u"и нажмите кнопку \"Анализ\"."_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setFont(labelFont);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Frame1 = new QGroupBox(u"Анализ"_s, this);
    Frame1->setObjectName(u"Frame1"_s);

    txtOut = newLineEdit(Frame1);
    txtOut->setObjectName(u"txtOut"_s);
    txtOut->setReadOnly(true);

    cmdCopyToBuffer = new QPushButton(u"В буфер"_s, Frame1);
    cmdCopyToBuffer->setObjectName(u"cmdCopyToBuffer"_s);
    cmdCopyToBuffer->setToolTip(u"Скопировать введенный символ в буфер"_s);
    cmdCopyToBuffer->hide();

    cmdOK = new QPushButton(u"Анализ"_s, this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setToolTip(u"Анализ введенного символа"_s);
    cmdOK->setDefault(true);

    cmdCancel = new QPushButton(u"Отмена"_s, this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdCancel->setToolTip(u"Выход из программы"_s);

    m_notice = new AnalysisNotice(this);
}

void frmMain::placeControls()
{
    // Left, top, width and height in twips; the frame's controls measured
    // inside the frame.
    const struct
    {
        QWidget *control;
        int left, top, width, height;
    } layout[] = {
        {lblIntro, 120, 120, 5295, 855},
        {txtIn, 360, 960, 975, 375},
        {cmdPasteFromBuffer, 1440, 960, 1935, 375},
        {Label1, 120, 1560, 5295, 375},
        {Frame1, 240, 1920, 5175, 1335},
        {txtOut, 120, 360, 4935, 375},
        {cmdCopyToBuffer, 4200, 840, 855, 375},
        {cmdOK, 240, 3480, 1455, 375},
        {cmdCancel, 3840, 3480, 1575, 375},
    };
    for (const auto &place : layout)
        place.control->setGeometry(platform::twips::rect(place.left, place.top, place.width, place.height));
}

void frmMain::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (m_painted)
        return;
    m_painted = true;
    // The window paints first in a paint pass, its controls after it.
    QMetaObject::invokeMethod(this, &frmMain::afterFirstPaint, Qt::QueuedConnection);
}

void frmMain::afterFirstPaint()
{
    // The window manager shows the icons, never the first paint. Made from
    // the pictures, not by the files' names, for which QIcon would have every
    // image plugin asked what the file is.
    QIcon icon;
    for (const QString &size : {u"16"_s, u"32"_s, u"48"_s})
        icon.addPixmap(platform::appearance::picture(u":/kelvane/kelvane-"_s + size + u".png"_s));
    setWindowIcon(icon);
    // The input box is empty at the first paint, but the user may then type or
    // paste any character: one its face lacks is drawn from another face.
    txtIn->setFont(platform::appearance::userTextFont(txtIn->font()));
}

void frmMain::keyPressEvent(QKeyEvent *event)
{
    // The window has no cancel button: Escape does not close it, only
    // "Отмена", the close box and Alt+F4 do.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMain::cmdOK_Click()
{
    const QString input = txtIn->text();
    if (input.isEmpty()) {
        m_dialogs.message(u"Введите символ!"_s, platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Information,
                          programTitle());
        return;
    }
    cmdCopyToBuffer->show();
    txtOut->setText(analysisLine(codeOfFirstCharacter(input)));
    m_notice->announce(txtOut->text());
}

void frmMain::cmdPasteFromBuffer_Click()
{
    QString text;
    try {
        text = m_clipboard.text();
    } catch (const platform::RuntimeFailure &failure) {
        m_dialogs.message(u"Произошла ошибка при попытке вставки из буфера:"_s + failure.description(),
                          platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation, programTitle());
        return;
    }
    // The button promises the first character of the clipboard's text.
    txtIn->setText(firstCharacter(text));
}

void frmMain::cmdCopyToBuffer_Click()
{
    try {
        m_clipboard.setText(txtIn->text());
    } catch (const std::exception &) {
        // A copy that fails is not reported: the user sees the clipboard unchanged.
    }
}

void frmMain::cmdCancel_Click()
{
    close();
}

} // namespace kelvane
