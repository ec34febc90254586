#include "app/form1.h"

#include "app/fonts.h"
#include "app/platform.h"
#include "app/widgets.h"
#include "drill/form3.h"
#include "core/keytable.h"
#include "tutorial/form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace
{

constexpr int clientWidth = 800;
constexpr int shortClientHeight = 354;

// A panel with a bevel, drawn as a framed label.
QLabel *makePanel(QWidget *parent, const QString &name, const QRect &geometry, int frameStyle,
                  const QColor &background)
{
    auto *panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setFrameStyle(frameStyle);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    setColour(panel, QPalette::Window, background);
    return panel;
}

// The 16 x 16 pictures of the tutorial buttons: a small frame holding a black triangle or
// square, with a greyed copy for the disabled state.
enum class Glyph { Left, Right, Stop };

QPixmap glyphPixmap(Glyph glyph, bool enabled)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor ink = enabled ? QColor(Qt::black) : QColor(128, 128, 128);
    const QColor light = enabled ? QColor(Qt::white) : QColor(Qt::transparent);
    painter.setPen(ink);
    painter.drawRect(1, 1, 13, 13);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (!enabled) { // the engraved look of a greyed picture
        painter.setBrush(light);
        painter.translate(1, 1);
    }
    for (int pass = enabled ? 1 : 0; pass < 2; ++pass) {
        painter.setBrush(pass == 0 ? light : ink);
        switch (glyph) {
        case Glyph::Left:
            painter.drawPolygon(QPolygonF({QPointF(4, 8), QPointF(11, 3.5), QPointF(11, 12.5)}));
            break;
        case Glyph::Right:
            painter.drawPolygon(QPolygonF({QPointF(12, 8), QPointF(5, 3.5), QPointF(5, 12.5)}));
            break;
        case Glyph::Stop:
            painter.drawRect(QRectF(4.5, 4.5, 7, 7));
            break;
        }
        if (pass == 0)
            painter.translate(-1, -1);
    }
    return pixmap;
}

QIcon glyphIcon(Glyph glyph)
{
    QIcon icon;
    icon.addPixmap(glyphPixmap(glyph, true), QIcon::Normal);
    icon.addPixmap(glyphPixmap(glyph, false), QIcon::Disabled);
    return icon;
}

} // namespace

QColor colorFromWin(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void KeyboardPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Keys and the Start button take their own mouse input: only the background counts.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint()))
        emit backgroundDoubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}

TForm1::TForm1(Platform &platform, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      platform_(platform)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Rinkaro 2"));
    setFont(pixelFont(pGothicFamily, 12));

    drillArea = new QWidget(this);
    drillArea->setObjectName(QStringLiteral("drillArea"));
    setCentralWidget(drillArea);
    // The window follows the drill area's fixed size and cannot be resized by the user.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildMenus();
    buildDrillArea();
    buildKeyboard();
    buildTutorialButtons();
    buildSettingPanel();
    buildScorePanel();
    setDrillAreaHeight(shortClientHeight);

    setTabOrder(Button1, CheckBox1);
    setTabOrder(CheckBox1, CheckBox2);
    Button1->setFocus();

    // Input methods compose text that the drills cannot judge; keep them out of the window.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    for (QWidget *child : findChildren<QWidget *>())
        child->setAttribute(Qt::WA_InputMethodEnabled, false);

    Form2 = new TForm2(this);
    Form3 = new TForm3(this);

    qApp->installEventFilter(this);
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
}

void TForm1::buildMenus()
{
    auto connectItem = [this](QAction *item, void (TForm1::*handler)()) {
        connect(item, &QAction::triggered, this, [this, item, handler] {
            // A click toggles a checkable item by itself; the handlers own the ticks.
            if (item->isCheckable())
                item->setChecked(!item->isChecked());
            (this->*handler)();
        });
    };
    auto addItem = [&](QMenu *menu, const char *name, const QString &caption,
                       void (TForm1::*handler)(), bool checkable) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(checkable);
        connectItem(item, handler);
        return item;
    };
    auto addSeparator = [](QMenu *menu, const char *name) {
        QAction *separator = menu->addSeparator();
        separator->setObjectName(QLatin1String(name));
        return separator;
    };

    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);

    set = bar->addMenu(QStringLiteral("レベル"));
    set->setObjectName(QStringLiteral("set"));
    Level1 = addItem(set, "Level1", QStringLiteral("ホーム"), &TForm1::Level1Click, true);
    Level2 = addItem(set, "Level2", QStringLiteral("ホーム＋上段"), &TForm1::Level2Click, true);
    Level3 = addItem(set, "Level3", QStringLiteral("ホーム＋下段"), &TForm1::Level3Click, true);
    Level4 = addItem(set, "Level4", QStringLiteral("A to Z"), &TForm1::Level4Click, true);
    N2 = addSeparator(set, "N2");
    Level5 = addItem(set, "Level5", QStringLiteral("ローマ字１"), &TForm1::Level5Click, true);
    Level6 = addItem(set, "Level6", QStringLiteral("ローマ字２"), &TForm1::Level6Click, true);
    Level7 = addItem(set, "Level7", QStringLiteral("ひらがな１"), &TForm1::Level7Click, true);
    Level8 = addItem(set, "Level8", QStringLiteral("ひらがな２"), &TForm1::Level8Click, true);
    Level9 = addItem(set, "Level9", QStringLiteral("ひらがな３"), &TForm1::Level9Click, true);
    Level1->setChecked(true);

    Option1 = bar->addMenu(QStringLiteral("オプション"));
    Option1->setObjectName(QStringLiteral("Option1"));
    KeyColor =
        addItem(Option1, "KeyColor", QStringLiteral("キー色付け"), &TForm1::KeyColorClick, true);
    setSpelling = addItem(Option1, "setSpelling", QStringLiteral("ローマ字設定"),
                          &TForm1::setSpellingClick, false);
    N3 = addSeparator(Option1, "N3");
    showScore =
        addItem(Option1, "showScore", QStringLiteral("記録表示"), &TForm1::showScoreClick, false);

    Help1 = bar->addMenu(QStringLiteral("ヘルプ"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Tutorial = addItem(Help1, "Tutorial", QStringLiteral("タイピングの方法"),
                       &TForm1::TutorialClick, false);
    N1 = addSeparator(Help1, "N1");
    aboutMenu1 = addItem(Help1, "aboutMenu1", QStringLiteral("Rinkaro について..."),
                         &TForm1::aboutMenu1Click, false);
}

void TForm1::buildDrillArea()
{
    const int sunken = QFrame::Panel | QFrame::Sunken;

    TextPanel = makePanel(drillArea, QStringLiteral("TextPanel"), QRect(11, 24, 777, 73), sunken,
                          Qt::white);
    TextPanel->setFont(pixelFont(gothicFamily, 64, true));
    emboldenLargeText(TextPanel);
    setColour(TextPanel, QPalette::WindowText, Qt::black);
    TextPanel->setText(QStringLiteral("Level 20"));

    CheckBox1 = new QCheckBox(QStringLiteral("ヒントを表示"), drillArea);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(568, 0, 113, 17);
    CheckBox1->setFont(pixelFont(gothicFamily, 13));
    setColour(CheckBox1, QPalette::WindowText, Qt::black);
    CheckBox1->setChecked(true);

    CheckBox2 = new QCheckBox(QStringLiteral("ランダムに発生"), drillArea);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(688, 0, 97, 17);

    yomiPanel = makePanel(drillArea, QStringLiteral("yomiPanel"), QRect(11, 104, 777, 57), sunken,
                          QColor(0xC0, 0xC0, 0xC0));
    yomiPanel->setFont(pixelFont(gothicFamily, 37, true));
    setColour(yomiPanel, QPalette::WindowText, Qt::red);
    yomiPanel->setText(QStringLiteral("Level20"));
    yomiPanel->hide();
}

void TForm1::buildKeyboard()
{
    KBPanel = new KeyboardPanel(drillArea);
    KBPanel->setObjectName(QStringLiteral("KBPanel"));
    KBPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    KBPanel->setAutoFillBackground(true);
    setColour(KBPanel, QPalette::Window, QColor(0, 0, 0x80));
    KBPanel->setGeometry(0, 118, clientWidth, 236);
    connect(KBPanel, &KeyboardPanel::backgroundDoubleClicked, this, &TForm1::KBPanelClick);

    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (const KeyInfo &key : keyTable) {
        QLabel *panel = makePanel(KBPanel, QStringLiteral("Panel%1").arg(key.panel),
                                  QRect(key.left, key.top, keySize, keySize),
                                  QFrame::Panel | QFrame::Raised, buttonFace);
        panel->setLineWidth(2);
        // The stand-in faces for Impact are drawn thin unless asked for their heavy cut.
        QFont font = pixelFont(impactFamily, 48, true);
        font.setUnderline(isHomeKey(key));
        panel->setFont(font);
        panel->setText(QString::fromLatin1(key.caption));
        Panel[key.panel] = panel;
    }
    resetKeyHints();

    Button1 = new QPushButton(startCaption, KBPanel);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(696, 24, 89, 33);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
}

void TForm1::buildTutorialButtons()
{
    struct ButtonRow {
        QToolButton *&button;
        const char *name;
        QRect geometry;
        Glyph glyph;
        const char *toolTip;
        void (TForm1::*handler)();
    };
    const ButtonRow rows[] = {
        {SpeedButton1, "SpeedButton1", QRect(760, 104, 25, 21), Glyph::Stop, "終了",
         &TForm1::SpeedButton1Click},
        {SpeedButton2, "SpeedButton2", QRect(736, 100, 25, 25), Glyph::Right, "次へ",
         &TForm1::SpeedButton2Click},
        {SpeedButton3, "SpeedButton3", QRect(712, 100, 25, 25), Glyph::Left, "前へ",
         &TForm1::SpeedButton3Click},
    };
    for (const ButtonRow &row : rows) {
        auto *button = new QToolButton(drillArea);
        button->setObjectName(QLatin1String(row.name));
        button->setGeometry(row.geometry);
        button->setIcon(glyphIcon(row.glyph));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromUtf8(row.toolTip));
        button->setFocusPolicy(Qt::NoFocus);
        button->hide();
        connect(button, &QToolButton::clicked, this, row.handler);
        row.button = button;
    }
}

void TForm1::setDrillAreaHeight(int height)
{
    drillArea->setFixedSize(clientWidth, height);
    // The keyboard keeps its height at the bottom edge of the client area.
    KBPanel->move(0, height - KBPanel->height());
    // Size the window now rather than at the next layout pass: the start-up layout runs
    // while the window is being shown, and a pass left for later would leave the native
    // window at its default size where no window manager asks again.
    layout()->activate();
}

void TForm1::setStartButtonEnabled(bool enabled)
{
    if (enabled) {
        Button1->setEnabled(true);
        Button1->setFocus();
        return;
    }
    // Qt would hand the focus of a disabled button to the next control in the tab chain,
    // a check box that a space would tick.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == Button1 || focus->window() == this)
        KBPanel->setFocus();
    Button1->setEnabled(false);
}

int TForm1::outerHeight() const
{
    return drillArea->height() + frameAllowance;
}

void TForm1::setKeyRouting(bool on)
{
    keyRouting_ = on;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (!keyRouting_ || event->type() != QEvent::KeyPress)
        return false;
    // An application-wide filter sees a key once for every widget it propagates through;
    // only its first receiver (the focused control, or the window when nothing has the
    // focus) counts, so each key reaches the judge exactly once.
    QWidget *focus = QApplication::focusWidget();
    if (watched != (focus ? static_cast<QObject *>(focus) : static_cast<QObject *>(this)))
        return false;
    if (focus && focus->window() != this)
        return false;
    const QString text = static_cast<QKeyEvent *>(event)->text();
    // One 8-bit character per key press; modifiers alone, composed text or several
    // characters at once are not judged.
    if (text.size() != 1 || text.at(0).unicode() > 0xFF)
        return false;
    char key = char(text.at(0).unicode());
    FromKeyPress(watched, key);
    // The window has taken the character: a focused button must not also react to it
    // (a space would otherwise click Stop in the middle of a run).
    return true;
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (formCreated_)
        return;
    formCreated_ = true;
    centreOnScreen(this);
    FormCreate();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    WhenClosed();
    event->accept();
}

void TForm1::Button1Click()
{
    toggleDrillRun();
}
