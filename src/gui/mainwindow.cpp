// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow.h"

#include "core/inputoptions.h"
#include "core/levels.h"
#include "core/owntext.h"
#include "core/screenunits.h"
#include "gui/aboutbox.h"
#include "gui/fonts.h"
#include "gui/keyboardview.h"
#include "gui/platform.h"
#include "gui/progresswindowloader.h"
#include "gui/recordtable.h"
#include "gui/resultdialog.h"
#include "gui/romajipanel.h"
#include "gui/textdrillview.h"
#include "gui/textmenu.h"
#include "gui/translations.h"
#include "gui/widgets.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <tuple>

namespace rinkaro
{

namespace
{

constexpr int clientWidth = 800;
// The nominal frame, caption and menu bar that the layout's outer heights include.
constexpr int frameAllowance = 46;

// A panel of the drill area with a sunken bevel, drawn as a framed label.
LineLabel *makePanel(QWidget *parent, const QString &name, const QRect &geometry,
                     const QColor &background)
{
    auto *panel = new LineLabel(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    drawPanelFramesQuickly(panel);
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

MainWindow::MainWindow(Platform &platform, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      platform_(platform), session_([&platform](int n) { return platform.random(n); })
{
    // Before any control is made: an interface, once asked for, is kept.
    installPanelAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Rinkaro 2"));
    setFont(pixelFont(pGothicFamily, 12));

    drillArea_ = new QWidget(this);
    drillArea_->setObjectName(QStringLiteral("drillArea"));
    setCentralWidget(drillArea_);
    // The window follows the drill area's fixed size and cannot be resized by the user.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildMenus();
    buildDrillArea();
    keyboard_ = new KeyboardView(drillArea_);
    keyboard_->setGeometry(0, 118, clientWidth, 236);
    connect(keyboard_, &KeyboardView::backgroundDoubleClicked, this, &MainWindow::offerDemoMode);
    // It holds the focus while Start cannot: in the tutorial its description is the line.
    keyboard_->setAccessibleName(tr("キーボード"));
    startStopButton_ = new FocusRingButton(tr("スタート"), keyboard_);
    startStopButton_->setObjectName(QStringLiteral("Button1"));
    startStopButton_->setGeometry(696, 24, 89, 33);
    startStopButton_->setAutoDefault(false);
    // Outside a run a screen reader gives this as the button's description too.
    startStopButton_->setToolTip(tr("F5 キーでもスタート・ストップできます"));
    connect(startStopButton_, &QPushButton::clicked, this, &MainWindow::toggleDrillRun);

    // The tutorial's buttons and the panels that unroll over the drill area are not part of
    // the first sight; a long history is read once the window has settled, so that the
    // statistics seldom wait.
    afterFirstPaint(this, [this] {
        buildPanels();
        QTimer::singleShot(1000, this, [this] { history().preload(); });
    });
    setDrillAreaHeight(layout_.geometry().outerHeight - frameAllowance);

    setTabOrder(startStopButton_, hintCheckBox_);
    setTabOrder(hintCheckBox_, randomOrderCheckBox_);
    focusStartButton();

    // Input methods compose text that the drills cannot judge; keep them out of the window.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    for (QWidget *child : findChildren<QWidget *>())
        child->setAttribute(Qt::WA_InputMethodEnabled, false);

    qApp->installEventFilter(this);
    // A session manager ending the session asks first: the settings are saved then too.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::saveSettings);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
}

PracticeHistory &MainWindow::history() const
{
    if (!history_)
        history_ = std::make_unique<PracticeHistory>(records_.historyPath());
    return *history_;
}

void MainWindow::buildMenus()
{
    auto addItem = [](QMenu *menu, const char *name, const QString &caption, bool checkable) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(checkable);
        return item;
    };
    // A click toggles a checkable item by itself; the window sets the ticks.
    auto connectItem = [this](QAction *item, auto handler) {
        connect(item, &QAction::triggered, this, [item, handler] {
            if (item->isCheckable())
                item->setChecked(!item->isChecked());
            handler();
        });
    };
    auto addSeparator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenuBar *bar = new MainMenuBar(this);
    setMenuBar(bar);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);

    QMenu *levelMenu = bar->addMenu(tr("レベル"));
    levelMenu->setObjectName(QStringLiteral("set"));
    for (int level = 1; level <= levelCount; ++level) {
        if (level == 5)
            addSeparator(levelMenu, "N2");
        QAction *item = addItem(levelMenu, qPrintable(QStringLiteral("Level%1").arg(level)),
                                levelName(level), true);
        connectItem(item, [this, level] { selectLevel(level); });
        levelItems_[level - 1] = item;
    }
    addSeparator(levelMenu, "weakSeparator");
    const std::pair<const char *, WeakKind> weakRows[] = {{"weakKeysItem", WeakKind::Keys},
                                                          {"weakKanaItem", WeakKind::Kana}};
    for (const auto &[name, kind] : weakRows) {
        QAction *item = addItem(levelMenu, name, levelName(weakDrillLevel(kind)), true);
        connectItem(item, [this, kind] { chooseWeakDrill(kind); });
        weakItems_[std::size_t(kind)] = item;
    }
    addSeparator(levelMenu, "textSeparator");
    const std::pair<const char *, int> textRows[] = {{"wordsItem", wordsLevel},
                                                     {"sentencesItem", sentencesLevel}};
    for (const auto &[name, level] : textRows) {
        QAction *item = addItem(levelMenu, name, levelName(level), true);
        connectItem(item, [this, level] { chooseTextDrill(level); });
        textItems_[std::size_t(level - wordsLevel)] = item;
    }
    levelItems_[0]->setChecked(true);
    // The history is read while the learner looks at the menu, so that a weak drill chosen
    // from it is seldom remembered for long.
    connect(levelMenu, &QMenu::aboutToShow, this, [this] { history().load(); });
    buildTextMenu(levelMenu);

    QMenu *optionMenu = bar->addMenu(tr("オプション"));
    optionMenu->setObjectName(QStringLiteral("Option1"));
    connect(optionMenu, &QMenu::aboutToShow, this, [this] { history().load(); });
    keyColourItem_ = addItem(optionMenu, "KeyColor", tr("キー色付け"), true);
    connectItem(keyColourItem_, [this] { toggleFingerColours(); });
    QAction *romajiItem = addItem(optionMenu, "setSpelling", tr("ローマ字設定"), false);
    connectItem(romajiItem, [this] {
        buildPanels();
        romajiPanel_->unroll();
    });
    addSeparator(optionMenu, "N3");
    QAction *recordItem = addItem(optionMenu, "showScore", tr("記録表示"), false);
    connectItem(recordItem, [this] {
        buildPanels();
        recordTable_->unroll(records_.scores());
    });
    freeRomajiItem_ = addItem(optionMenu, "freeRomajiItem", tr("ローマ字を自由に入力"), true);
    connectItem(freeRomajiItem_, [this] { toggleFreeRomaji(); });
    favourWeakItem_ = addItem(optionMenu, "favourWeakItem", tr("苦手を多めに出す"), true);
    connectItem(favourWeakItem_, [this] { toggleFavourWeak(); });
    QAction *progressItem = addItem(optionMenu, "progressItem", tr("成績グラフ"), false);
    connectItem(progressItem, [this] { openProgressWindow(); });

    QMenu *helpMenu = bar->addMenu(tr("ヘルプ"));
    helpMenu->setObjectName(QStringLiteral("Help1"));
    QAction *tutorialItem = addItem(helpMenu, "Tutorial", tr("タイピングの方法"), false);
    connectItem(tutorialItem, [this] { startTutorial(); });
    buildLanguageMenu(helpMenu);
    // Demo mode without a mouse: the keyboard's double click asks the same question.
    QAction *demoItem = addItem(helpMenu, "demoItem", tr("デモ・モード"), false);
    connectItem(demoItem, [this] { offerDemoMode(); });
    addSeparator(helpMenu, "N1");
    QAction *aboutItem = addItem(helpMenu, "aboutMenu1", tr("Rinkaro について..."), false);
    connectItem(aboutItem, [this] {
        // The dialogs are built when first shown, so that start-up does not wait for them.
        if (!aboutBox_)
            aboutBox_ = new AboutBox(this);
        platform_.showModal(aboutBox_);
    });
}

void MainWindow::buildLanguageMenu(QMenu *helpMenu)
{
    // In both languages, so that a learner who cannot read the one shown still finds it.
    QMenu *menu = helpMenu->addMenu(QStringLiteral("Language / 言語"));
    menu->setObjectName(QStringLiteral("languageMenu"));
    menu->menuAction()->setObjectName(QStringLiteral("languageItem"));
    // Each language is named in itself, as its readers know it.
    const std::tuple<const char *, LanguageChoice, QString> rows[] = {
        {"languageJapanese", LanguageChoice::Japanese, QStringLiteral("日本語")},
        {"languageEnglish", LanguageChoice::English, QStringLiteral("English")},
        {"languageDesktop", LanguageChoice::Desktop, tr("デスクトップと同じ")},
    };
    auto *group = new QActionGroup(menu);
    for (const auto &[name, choice, caption] : rows) {
        QAction *item = group->addAction(caption);
        menu->addAction(item);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, choice] { chooseLanguage(choice); });
        languageItems_[std::size_t(choice)] = item;
    }
    showLanguageChoice();
}

void MainWindow::buildDrillArea()
{
    const DrillAreaLayout::Geometry &geometry = layout_.geometry();
    textPanel_ = makePanel(drillArea_, QStringLiteral("TextPanel"), geometry.text, Qt::white);
    textPanel_->setFont(pixelFont(gothicFamily, 64, true));
    emboldenLargeText(textPanel_);
    // The items of a level come back run after run: each is drawn once.
    textPanel_->setPictures(LineLabel::Pictures::OfText);
    setTextPanelLook(64, Qt::black);
    textView_ = new TextDrillView(textPanel_);
    // A kana's key that the keyboard lacks (ー's "-") is named in the panel's corner, as the
    // text drills name theirs.
    offKeyLabel_ = new QLabel(textPanel_);
    offKeyLabel_->setObjectName(QStringLiteral("offKeyLabel"));
    offKeyLabel_->setFont(pixelFont(pGothicFamily, 12));
    offKeyLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setColour(offKeyLabel_, QPalette::WindowText, Qt::black);
    offKeyLabel_->hide();

    hintCheckBox_ = new QCheckBox(tr("ヒントを表示"), drillArea_);
    hintCheckBox_->setObjectName(QStringLiteral("CheckBox1"));
    hintCheckBox_->setGeometry(568, 0, 113, 17);
    hintCheckBox_->setFont(pixelFont(gothicFamily, 13));
    setColour(hintCheckBox_, QPalette::WindowText, Qt::black);
    hintCheckBox_->setChecked(true);
    session_.setHintShown(true);
    connect(hintCheckBox_, &QCheckBox::toggled, this,
            [this](bool checked) { session_.setHintShown(checked); });

    randomOrderCheckBox_ = new QCheckBox(tr("ランダムに発生"), drillArea_);
    randomOrderCheckBox_->setObjectName(QStringLiteral("CheckBox2"));
    randomOrderCheckBox_->setGeometry(688, 0, 97, 17);
    connect(randomOrderCheckBox_, &QCheckBox::toggled, this,
            [this](bool checked) { session_.setRandomOrder(checked); });

    // Left of the two options, where no panel of any level stands.
    errorCountLabel_ = new QLabel(drillArea_);
    errorCountLabel_->setObjectName(QStringLiteral("errorCountLabel"));
    errorCountLabel_->setGeometry(11, 0, 140, 20);
    errorCountLabel_->setFont(pixelFont(gothicFamily, 15, true));
    setColour(errorCountLabel_, QPalette::WindowText, Qt::black);
    errorCountLabel_->hide();

    readingPanel_ = makePanel(drillArea_, QStringLiteral("yomiPanel"), geometry.reading,
                              QColor(0xC0, 0xC0, 0xC0));
    readingPanel_->setFont(pixelFont(gothicFamily, 37, true));
    setColour(readingPanel_, QPalette::WindowText, Qt::red);
    readingPanel_->setVisible(geometry.readingShown);
}

// Built just after the first paint, or at first use if that comes sooner; the last children
// of the drill area, as they always were.
void MainWindow::buildPanels()
{
    if (romajiPanel_)
        return;
    buildTutorialButtons(); // under the panels
    romajiPanel_ = new RomajiPanel(platform_, drillArea_);
    romajiPanel_->setChoices(romajiEdited_);
    connect(romajiPanel_, &RomajiPanel::choicesEdited, this,
            [this](const RomajiChoices &choices) { romajiEdited_ = choices; });
    connect(romajiPanel_, &RomajiPanel::accepted, this, &MainWindow::applyRomajiChoices);
    recordTable_ = new RecordTable(platform_, drillArea_);
    connect(recordTable_, &UnrollingPanel::rolledUp, this, &MainWindow::focusStartButton);
    for (QWidget *panel :
         {static_cast<QWidget *>(romajiPanel_), static_cast<QWidget *>(recordTable_)}) {
        panel->setAttribute(Qt::WA_InputMethodEnabled, false);
        for (QWidget *child : panel->findChildren<QWidget *>())
            child->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
}

// Built hidden just after the first paint, or when the tutorial starts if that comes sooner;
// above the keyboard, below the panels.
void MainWindow::buildTutorialButtons()
{
    if (tutorialEndButton_)
        return;
    struct ButtonRow {
        QToolButton *&button;
        const char *name;
        QRect geometry;
        Glyph glyph;
        const char *toolTip;
        void (MainWindow::*handler)();
    };
    const ButtonRow rows[] = {
        {tutorialEndButton_, "SpeedButton1", QRect(760, 104, 25, 21), Glyph::Stop,
         QT_TR_NOOP("終了"), &MainWindow::endTutorial},
        {tutorialNextButton_, "SpeedButton2", QRect(736, 100, 25, 25), Glyph::Right,
         QT_TR_NOOP("次へ"), &MainWindow::stepTutorialForward},
        {tutorialBackButton_, "SpeedButton3", QRect(712, 100, 25, 25), Glyph::Left,
         QT_TR_NOOP("前へ"), &MainWindow::stepTutorialBack},
    };
    for (const ButtonRow &row : rows) {
        auto *button = new QToolButton(drillArea_);
        button->setObjectName(QLatin1String(row.name));
        button->setGeometry(row.geometry);
        button->setIcon(glyphIcon(row.glyph));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(tr(row.toolTip));
        button->setAccessibleName(button->toolTip());
        button->setFocusPolicy(Qt::NoFocus);
        button->setAttribute(Qt::WA_InputMethodEnabled, false);
        button->hide();
        connect(button, &QToolButton::clicked, this, row.handler);
        row.button = button;
    }
}

// ---- Settings --------------------------------------------------------------------------

void MainWindow::loadSettings()
{
    const StoredChoices stored = records_.load();
    if (!stored.settings) {
        // No file is written here: the first close creates it.
        platform_.messageBox(this, QMessageBox::Information, tr("ようこそ"),
                             tr("設定ファイルを初期化します。"), QMessageBox::Ok);
    }
    const SettingsRecord values = stored.settings.value_or(SettingsRecord());
    if (romajiPanel_)
        romajiPanel_->setChoices(values.romaji);
    session_.setRomaji(RomajiTable(values.romaji));
    romajiEdited_ = values.romaji;
    languageChoice_ = stored.language;
    showLanguageChoice();
    const InputOptions &options = stored.input;
    freeRomajiItem_->setChecked(options.freeRomaji);
    favourWeakItem_->setChecked(options.favourWeak);
    session_.setFreeRomaji(options.freeRomaji);

    // The keys are still in their plain face: selecting the level paints the colouring if on.
    fingerColours_ = values.keyColour;
    keyColourItem_->setChecked(fingerColours_);
    hintCheckBox_->setChecked(values.keyHint);
    const int level = restoredLevel(values.level);
    applyLayout(layout_.startUp(level));
    selectLevel(level);
    platform_.seedRandom(platform_.timeOfDayMs());
}

SettingsRecord MainWindow::choices() const
{
    SettingsRecord values;
    values.level = session_.levelToStore();
    values.keyColour = fingerColours_;
    values.keyHint = session_.hintShown();
    values.romaji = romajiEdited_;
    return values;
}

void MainWindow::saveSettings()
{
    records_.save(choices());
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (settingsLoaded_)
        return;
    settingsLoaded_ = true;
    centreOnScreen(this);
    loadSettings();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    saveSettings();
    event->accept();
}

// ---- Levels and layout -----------------------------------------------------------------

void MainWindow::selectLevel(int level)
{
    for (QAction *item : levelItems_)
        item->setChecked(false);
    for (QAction *item : weakItems_)
        item->setChecked(false);
    for (QAction *item : textItems_)
        item->setChecked(false);
    // Demo mode and the tutorial leave the button disabled.
    modes_.levelChosen();
    showModes();
    setTextPanelLook(pointsToPixels(48), Qt::black);
    if (fingerColours_)
        keyboard_->showFingerColours(true);
    // A run in progress goes on with the new level's material, unless a text drill is left
    // or taken up: that run ends.
    const bool running = session_.running();
    session_.selectLevel(level);
    if (running && !session_.running()) {
        keepTextPosition();
        modes_.runEnded();
        startStopButton_->setText(tr("スタート"));
        showModes();
    }
    if (isWeakDrill(session_.level()))
        weakItems_[std::size_t(weakKindOf(session_.level()))]->setChecked(true);
    else if (session_.level() == ownTextLevel)
        ; // chosen through テキストを開く… or 最近のテキスト: no item of its own to tick
    else if (isTextDrill(session_.level()))
        textItems_[std::size_t(session_.level() - wordsLevel)]->setChecked(true);
    else
        levelItems_[session_.level() - 1]->setChecked(true);
    readingPanel_->setText(session_.readingText());
    applyLayout(layout_.layOutForLevel(session_.level()));
    showDrill();
}

void MainWindow::applyLayout(const DrillAreaLayout::Frames &frames)
{
    // Until the window is on the screen (the start-up layout) no step is seen: the last frame
    // holds the whole geometry.
    const QWindow *handle = windowHandle();
    const bool seen = handle && handle->isExposed();
    for (auto frame = seen || frames.empty() ? frames.begin() : frames.end() - 1;
         frame != frames.end(); ++frame) {
        const DrillAreaLayout::Geometry &geometry = frame->geometry;
        if (drillArea_->height() != geometry.outerHeight - frameAllowance)
            setDrillAreaHeight(geometry.outerHeight - frameAllowance);
        readingPanel_->setGeometry(geometry.reading);
        readingPanel_->setVisible(geometry.readingShown);
        textPanel_->setGeometry(geometry.text);
        if (frame->animationStep > 0)
            platform_.animationStep(textPanel_, frame->animationStep);
    }
}

void MainWindow::setDrillAreaHeight(int height)
{
    drillArea_->setFixedSize(clientWidth, height);
    // The keyboard keeps its height at the bottom edge of the client area.
    keyboard_->move(0, height - keyboard_->height());
    // Size the window now rather than at the next layout pass: the start-up layout runs
    // while the window is being shown, and a pass left for later would leave the native
    // window at its default size where no window manager asks again.
    layout()->activate();
}

void MainWindow::setTextPanelLook(int pixels, const QColor &colour)
{
    textPanelPixels_ = pixels;
    QFont font = textPanel_->font();
    font.setPixelSize(pixels);
    textPanel_->setFont(font);
    // Measured here, not at every key: building metrics for a font costs more than judging.
    textPanelMetrics_.emplace(font);
    setColour(textPanel_, QPalette::WindowText, colour);
}

void MainWindow::setStartButtonEnabled(bool enabled)
{
    if (enabled) {
        startStopButton_->setEnabled(true);
        focusStartButton();
        return;
    }
    // Qt would hand the focus of a disabled button to the next control in the tab chain,
    // a check box that a space would tick.
    QWidget *focus = QApplication::focusWidget();
    QWidget *panel = openPanel();
    if (!focus || (focus->window() == this && !(panel && panel->isAncestorOf(focus))))
        keyboard_->setFocus();
    startStopButton_->setEnabled(false);
}

void MainWindow::focusStartButton()
{
    // While a panel is open the focus stays in it, as Tab does.
    if (QWidget *panel = openPanel()) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || !panel->isAncestorOf(focus))
            focusNextInside(panel, true);
        return;
    }
    // A disabled Start cannot take the focus, and Qt would pass it on to a check box that a
    // space would tick: the keyboard picture takes it instead, where keys do nothing.
    if (startStopButton_->isEnabled())
        startStopButton_->setFocus();
    else
        keyboard_->setFocus();
}

// Shows what the modes allow: routing is asked at every key, the rest is shown here.
void MainWindow::showModes()
{
    setStartButtonEnabled(modes_.startUsable());
    for (QAction *item : levelItems_)
        item->setEnabled(modes_.levelItemsUsable());
    for (QAction *item : weakItems_)
        item->setEnabled(modes_.levelItemsUsable());
    for (QAction *item : textItems_)
        item->setEnabled(modes_.levelItemsUsable());
    const bool stepping = modes_.tutorialShown();
    if (stepping)
        buildTutorialButtons();
    if (tutorialEndButton_) {
        tutorialEndButton_->setVisible(stepping);
        tutorialNextButton_->setVisible(stepping);
        tutorialBackButton_->setVisible(stepping);
    }
    textMenu_->setRunUnderway(session_.running() || modes_.tutorialShown());
}

// ---- Drill runs ----------------------------------------------------------------------

void MainWindow::toggleDrillRun()
{
    if (!session_.running()) {
        if (isWeakDrill(session_.level()) && !history().ready()) {
            // Started once the history is read, with what was chosen for it.
            if (weakChoice_)
                weakChoice_->start = true;
            else
                chooseWeakDrill(weakKindOf(session_.level()), weakMarked_, true);
            return;
        }
        if (isWeakDrill(session_.level()) && !drawWeakRun(weakKindOf(session_.level())))
            return;
        // Read while the run is typed, for the typing-time dialog's figures.
        history().load();
        favourWeakItems();
        session_.start(platform_.tickCount());
        modes_.runStarted();
        startStopButton_->setText(tr("ストップ"));
        applyLayout(layout_.layOutForLevel(session_.level()));
    } else {
        session_.stop();
        keepTextPosition();
        modes_.runEnded();
        startStopButton_->setText(tr("スタート"));
    }
    showModes();
    showDrill();
}

void MainWindow::showDrill()
{
    if (modes_.tutorialShown())
        return;
    // A title wider than the panel ("苦手なキー" in the narrow one) is drawn smaller to fit,
    // rather than cut at both ends.
    // Before a weak drill starts it names what it will practise: the keys in the text panel,
    // the kana on the reading row.
    const bool namesWeakSet =
        !session_.running() && isWeakDrill(session_.level()) && !weakPlan_.weakSet.isEmpty();
    const WeakKind weakKind = weakKindOf(session_.level());
    const QString text = weakChoice_ && !session_.running() ? tr("記録を読み込んでいます…")
                         : namesWeakSet && weakKind == WeakKind::Keys
                             ? weakSetLine(weakKind, weakPlan_.weakSet)
                             : session_.mainText();
    const int room = textPanel_->contentsRect().width() - 8;
    // No character is wider than the font's em: most items are not measured at all.
    const int width = int(text.size()) * textPanelPixels_ <= room
                          ? 0
                          : textPanelMetrics_->horizontalAdvance(text);
    const int pixels =
        width > room ? std::max(1, textPanelPixels_ * room / width) : textPanelPixels_;
    if (textPanel_->font().pixelSize() != pixels) {
        QFont font = textPanel_->font();
        font.setPixelSize(pixels);
        textPanel_->setFont(font);
    }
    textPanel_->showText(text);
    textView_->setGeometry(textPanel_->contentsRect());
    textView_->showItem(session_.textDrill());
    const QString &hint = session_.hintKey();
    const QString offKey =
        hint.size() == 1 ? offKeyboardCaption(hint.front().toLatin1()) : QString();
    // Named only while such a key is next: most keys leave the hidden label alone.
    if (!offKey.isEmpty()) {
        offKeyLabel_->setText(tr("キー: %1").arg(offKey));
        offKeyLabel_->setGeometry(textPanel_->contentsRect().adjusted(0, 2, -6, 0));
        offKeyLabel_->raise();
    }
    offKeyLabel_->setVisible(!offKey.isEmpty());
    readingPanel_->showText(namesWeakSet && weakKind == WeakKind::Kana
                                ? weakSetLine(weakKind, weakPlan_.weakSet)
                                : session_.readingText());
    // In demo mode the keyboard shows the keys typed, not the drill's hint.
    if (!modes_.demo())
        keyboard_->lightKey(session_.hintKey());
    describeItem();
}

// A screen reader speaks only what the focus is on, and the focus stays on Stop during a
// run: the button's description carries each new item, the rest of a phrase and each wrong
// key. Outside a run it names the level, which a reader says as the focus comes back to it.
void MainWindow::describeItem()
{
    const bool running = session_.running();
    errorCountLabel_->setVisible(running);
    if (!running) {
        runSpeech_.reset();
        errorsShown_ = -1;
        const QString level =
            isWeakDrill(session_.level())
                ? levelName(session_.level())
                : tr("レベル%1 %2").arg(session_.level()).arg(levelName(session_.level()));
        const QString description = tr("%1。%2").arg(level, startStopButton_->toolTip());
        if (startStopButton_->accessibleDescription() != description)
            startStopButton_->setAccessibleDescription(description);
        return;
    }
    if (errorsShown_ != session_.errorCount()) {
        errorsShown_ = session_.errorCount();
        errorCountLabel_->setText(tr("ミス %1").arg(errorsShown_));
    }
    // The words are made only for a screen reader that listens: they change at every key.
    if (!platform_.screenReaderListening())
        return;
    const QString words = runSpeech_.next({session_.itemNumber(), session_.mainText(),
                                           session_.readingText(), session_.errorCount()});
    if (words.isEmpty())
        return;
    if (words != startStopButton_->accessibleDescription()) {
        startStopButton_->setAccessibleDescription(words); // which tells the readers
    } else {
        // The same item drawn again in a random run: said again all the same.
        QAccessibleEvent event(startStopButton_, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void MainWindow::judge(char key)
{
    if (modes_.keyAction() == DrillModes::KeyAction::Light) {
        keyboard_->lightKey(QString(QLatin1Char(key)).toLower());
        return;
    }
    const KeyResult result = session_.keyTyped(key, platform_.tickCount());
    if (result.errorCounted)
        platform_.beep();
    if (result.outcome == KeyOutcome::Finished)
        finishRun();
    else
        showDrill();
}

void MainWindow::finishRun()
{
    showDrill();
    const RunResult &run = session_.result();
    // Told against the history before this run.
    if (!history().ready())
        waitForHistory();
    RunHistory runHistory;
    runHistory.weakReport = [&] {
        return weakSpotsReport(weakSpots(), weakKindOf(run.level), weakPlan_.weakSet,
                               session_.tally());
    };
    runHistory.textReport = [&] { return textRunReport(run); };
    runHistory.addRun = [&] { history().runAppended(); };
    const FinishedRun finished =
        records_.finishRun(run, session_.tally(), QDateTime::currentDateTime(), choices(),
                           textMenu_->text().name, runHistory);
    if (!resultDialog_)
        resultDialog_ = new ResultDialog(this);
    keepTextPosition();
    const QString none = ResultDialog::noTime();
    resultDialog_->setResult(finished.time, finished.errors, finished.standard.value_or(none),
                             finished.bestBefore.value_or(none), finished.report);
    const WeakKind kind = weakKindOf(run.level);
    resultDialog_->setAdvice(finished.weakestAdvised
                                 ? weakestLine(kind, weakSpots().ranked(kind), weakAdvised)
                                 : QString());
    // The dialog gives the focus back where it was: not to the button while it still says
    // ストップ, but once it says スタート again.
    if (startStopButton_->hasFocus())
        keyboard_->setFocus();
    platform_.showModal(resultDialog_);
    if (resultDialog_->practiseChosen()) {
        applyLayout(layout_.layOutForLevel(session_.level()));
        startStopButton_->setText(tr("スタート"));
        modes_.runEnded();
        practiseSelection(weakDrillLevel(kind), {});
        return;
    }
    applyLayout(layout_.layOutForLevel(session_.level()));
    startStopButton_->setText(tr("スタート"));
    modes_.runEnded();
    textMenu_->setRunUnderway(false);
    showDrill();
    focusStartButton();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    // An application-wide filter sees a key once for every widget it propagates through;
    // only its first receiver (the focused control, or the window when nothing has the
    // focus) counts, so each key reaches the judge exactly once.
    QWidget *focus = QApplication::focusWidget();
    if (watched != (focus ? static_cast<QObject *>(focus) : static_cast<QObject *>(this)))
        return false;
    if (focus && focus->window() != this)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // The menu bar, walked with the keyboard, keeps its arrows; a level name edited in the
    // record list keeps its keys (Esc ends the editing, not the table).
    if (!qobject_cast<QMenuBar *>(focus) && !qobject_cast<QLineEdit *>(focus)) {
        const DrillModes::Command command = modes_.command(
            key->key(), key->modifiers(), openPanel() != nullptr, key->isAutoRepeat());
        if (command != DrillModes::Command::None) {
            runCommand(command);
            return true;
        }
    }
    if (modes_.keyAction() == DrillModes::KeyAction::None)
        return false;
    const TypedKey typed = typedKey(key->text(), key->modifiers(), key->isAutoRepeat());
    if (typed.character)
        judge(*typed.character);
    // A character the window has taken: a focused button must not also react to it (a space
    // would otherwise click Stop in the middle of a run).
    return typed.taken;
}

void MainWindow::runCommand(DrillModes::Command command)
{
    switch (command) {
    case DrillModes::Command::None:
        break;
    case DrillModes::Command::StartStop:
        toggleDrillRun();
        break;
    case DrillModes::Command::TutorialBack:
        stepTutorialBack();
        break;
    case DrillModes::Command::TutorialForward:
        stepTutorialForward();
        break;
    case DrillModes::Command::TutorialEnd:
        endTutorial();
        break;
    case DrillModes::Command::ClosePanel:
        if (openPanel() == romajiPanel_)
            romajiPanel_->rollUp();
        else
            recordTable_->rollUp();
        break;
    }
}

// The panel that keys go to: the open one that holds the focus, else the open one on top.
QWidget *MainWindow::openPanel() const
{
    QWidget *focus = QApplication::focusWidget();
    QWidget *top = nullptr;
    for (QWidget *panel :
         {static_cast<QWidget *>(romajiPanel_), static_cast<QWidget *>(recordTable_)}) {
        if (!panel || !panel->isVisible())
            continue;
        if (focus && panel->isAncestorOf(focus))
            return panel;
        // Unrolling raises a panel: the later child is the one on top.
        if (!top || drillArea_->children().indexOf(panel) > drillArea_->children().indexOf(top))
            top = panel;
    }
    return top;
}

// ---- Options -------------------------------------------------------------------------

void MainWindow::openProgressWindow()
{
    QString error;
    ProgressWindowFactory *factory = loadProgressWindowFactory(progressPluginFolders(), &error);
    if (!factory) {
        platform_.messageBox(this, QMessageBox::Warning, tr("成績グラフ"),
                             tr("成績グラフを開けませんでした。\n%1").arg(error), QMessageBox::Ok);
        return;
    }
    // The history is read at every opening, so the window shows the runs made meanwhile.
    const QString text = session_.level() == ownTextLevel ? textMenu_->text().name : QString();
    if (progressWindow_) {
        factory->refreshProgressWindow(progressWindow_, session_.level(), text);
    } else {
        progressWindow_ = factory->createProgressWindow(history(), session_.level(), text, this);
        factory->setPractiseHandler(progressWindow_, [this](int level, const QStringList &marked) {
            practiseSelection(level, marked);
        });
        // It grows with what it shows, after it was placed.
        keepOnScreenWhenGrowing(progressWindow_);
    }
    // Opened during a run (or in demo mode), it leaves the keyboard to the drill.
    const bool keysRouted = modes_.keysRouted();
    progressWindow_->setAttribute(Qt::WA_ShowWithoutActivating, keysRouted);
    progressWindow_->show();
    progressWindow_->raise();
    if (!keysRouted)
        progressWindow_->activateWindow();
}

void MainWindow::waitForHistory()
{
    QEventLoop loop;
    history().whenReady(&loop, [&loop] { loop.quit(); });
    if (!history().ready())
        loop.exec();
}

bool MainWindow::drawWeakRun(WeakKind kind)
{
    weakPlan_ = weakSpots().plan(kind, weakMarked_, [this](int n) { return platform_.random(n); });
    session_.setWeakItems(weakPlan_.items);
    return !refuseWeakDrill(kind, weakPlan_.items);
}

bool MainWindow::chooseWeakDrill(WeakKind kind, const QStringList &marked, bool start)
{
    if (!history().ready()) {
        // The window goes on answering while the history is read; the drill is chosen, or
        // refused, as soon as it is.
        const bool waiting = weakChoice_.has_value();
        const int before = waiting ? weakChoice_->levelBefore : session_.level();
        weakChoice_ = WeakChoice{kind, marked, start, before};
        if (!session_.running()) {
            session_.setWeakItems({});
            weakPlan_ = {};
            selectLevel(weakDrillLevel(kind));
        } else {
            for (QAction *item : weakItems_)
                item->setChecked(item == weakItems_[std::size_t(kind)]);
        }
        showDrill();
        if (!waiting)
            history().whenReady(this, [this] { takeWeakChoice(); });
        return true;
    }
    // Nothing to drill: no runs of its kind, or marks none of which can be drilled (っ).
    if (refuseWeakDrill(kind, weakSpots().plan(kind, marked, [](int) { return 0; }).items)) {
        selectLevel(session_.level()); // the ticks as they were
        return false;
    }
    weakMarked_ = marked;
    // Drawn before the level is made current: a run under way goes on with it.
    drawWeakRun(kind);
    selectLevel(weakDrillLevel(kind));
    return true;
}

void MainWindow::takeWeakChoice()
{
    const std::optional<WeakChoice> choice = std::exchange(weakChoice_, std::nullopt);
    // Another level chosen meanwhile, or the tutorial begun: the choice is dropped.
    if (!choice || !weakItems_[std::size_t(choice->kind)]->isChecked() ||
        !modes_.levelItemsUsable()) {
        showDrill();
        return;
    }
    if (!session_.running())
        session_.selectLevel(choice->levelBefore); // refused, the level is as it was
    if (choice->start)
        practiseSelection(weakDrillLevel(choice->kind), choice->marked);
    else
        chooseWeakDrill(choice->kind, choice->marked);
    showDrill();
}

bool MainWindow::refuseWeakDrill(WeakKind kind, const QStringList &plannedItems)
{
    const std::optional<WeakDrillRefusal> refusal =
        weakDrillRefusal(weakDrillLevel(kind), plannedItems);
    if (refusal)
        platform_.messageBox(this, QMessageBox::Information, refusal->caption, refusal->text,
                             QMessageBox::Ok);
    return refusal.has_value();
}

void MainWindow::practiseSelection(int level, const QStringList &marked)
{
    // The tutorial holds the drill area until it ends.
    if (!modes_.practiseUsable(level))
        return;
    if (session_.running())
        toggleDrillRun();
    if (!chooseWeakDrill(weakKindOf(level), marked, true) || weakChoice_)
        return;
    // The run is typed in the drill area: the panels over it close first.
    if (romajiPanel_ && romajiPanel_->isVisible())
        romajiPanel_->rollUp();
    if (recordTable_ && recordTable_->isVisible())
        recordTable_->rollUp();
    raise();
    activateWindow();
    if (modes_.startUsable())
        toggleDrillRun();
}

void MainWindow::toggleFingerColours()
{
    fingerColours_ = !fingerColours_;
    keyboard_->showFingerColours(fingerColours_);
    keyColourItem_->setChecked(fingerColours_);
}

void MainWindow::offerDemoMode()
{
    const auto answer = platform_.messageBox(this, QMessageBox::Question, tr("デモ・モード"),
                                             tr("デモ・モードに移行しますか？"),
                                             QMessageBox::Yes | QMessageBox::No);
    modes_.demoAnswered(answer == QMessageBox::Yes);
    showModes();
    if (!modes_.demo())
        keyboard_->lightKey(QString());
}

void MainWindow::toggleFreeRomaji()
{
    const bool on = !session_.freeRomaji();
    freeRomajiItem_->setChecked(on);
    session_.setFreeRomaji(on);
    // Saved at once, so that the choice survives a copy that never closes politely.
    records_.saveInputOptions(inputOptions());
    if (session_.running())
        showDrill();
}

void MainWindow::chooseLanguage(LanguageChoice choice)
{
    const bool changed = choice != languageChoice_;
    languageChoice_ = choice;
    showLanguageChoice();
    if (!changed)
        return;
    // The translations are installed once, at start: the windows' captions are not rebuilt.
    records_.saveLanguageChoice(choice);
    const char *note = QT_TR_NOOP("表示の言語は、次に起動したときから切り替わります。");
    QString text = tr(note);
    const Language next = interfaceLanguage(choice, QLocale::system().uiLanguages());
    if (next != currentLanguage())
        text += QStringLiteral("\n") + translatedIn(next, staticMetaObject.className(), note);
    platform_.messageBox(this, QMessageBox::Information, QStringLiteral("Language / 言語"), text,
                         QMessageBox::Ok);
}

void MainWindow::showLanguageChoice()
{
    for (std::size_t k = 0; k < languageItems_.size(); ++k)
        languageItems_[k]->setChecked(LanguageChoice(k) == languageChoice_);
}

void MainWindow::toggleFavourWeak()
{
    favourWeakItem_->setChecked(!favourWeakItem_->isChecked());
    records_.saveInputOptions(inputOptions());
}

InputOptions MainWindow::inputOptions() const
{
    InputOptions options;
    options.freeRomaji = session_.freeRomaji();
    options.favourWeak = favourWeakItem_->isChecked();
    return options;
}

void MainWindow::favourWeakItems()
{
    const int level = session_.level();
    std::vector<double> weights;
    // Favoured once the history is read: a run never waits for it.
    if (favourWeakItem_->isChecked() && isLevel(level) && session_.randomOrder() &&
        history().ready()) {
        const WeakKind kind = weakKindOf(level);
        QStringList weakest;
        for (const WeakSpot &spot : weakSpots().ranked(kind)) {
            if (weakest.size() == weakFew)
                break;
            weakest << spot.name;
        }
        weights = favouredDraw(level, weakest);
    }
    session_.setFavoured(std::move(weights));
}

void MainWindow::applyRomajiChoices(const RomajiChoices &choices)
{
    session_.setRomaji(RomajiTable(choices));
    focusStartButton();
}

// ---- Tutorial ------------------------------------------------------------------------

void MainWindow::startTutorial()
{
    // The tutorial takes over the drill area: a run in progress ends without a result, and
    // the keys typed in demo mode are no longer echoed. Stopping shows the first item with
    // its hint, which would be left lit.
    const bool running = session_.running();
    if (running)
        toggleDrillRun();
    if (running || modes_.demo())
        keyboard_->lightKey(QString());
    if (modes_.tutorialStarted()) {
        // A run stopped before (F5) shows its first item again, with its key lit.
        keyboard_->lightKey(QString());
        applyLayout(layout_.startTutorial());
        textPanel_->setText(QCoreApplication::translate("Tutorial", "Tutorial"));
        keyboard_->setAccessibleDescription(
            tr("タイピングの方法。右矢印キーで次へ、左矢印キーで前へ、End キーで終了"));
    }
    showModes();
    keyboard_->showFingerColours(false);
}

void MainWindow::stepTutorialForward()
{
    showTutorial(modes_.tutorial().forward());
}

void MainWindow::stepTutorialBack()
{
    showTutorial(modes_.tutorial().back());
}

void MainWindow::showTutorial(TutorialState::Move move)
{
    if (move == TutorialState::Move::End) {
        endTutorial();
    } else if (move == TutorialState::Move::ShowLine) {
        const TutorialLook look = tutorialLook(modes_.tutorial().line());
        setTextPanelLook(look.fontPixels, colourFromBgr(look.fontColour));
        keyboard_->paintKeys(look.keyColours);
        textPanel_->setText(look.caption);
        keyboard_->setAccessibleDescription(look.description);
    }
}

void MainWindow::endTutorial()
{
    // Demo mode, if it was entered meanwhile, ends with the tutorial, its lit key too.
    if (modes_.demo())
        keyboard_->lightKey(QString());
    modes_.tutorialEnded();
    keyboard_->setAccessibleDescription(QString());
    applyLayout(layout_.endTutorial(session_.level()));
    keyboard_->showFingerColours(false);
    selectLevel(session_.level());
}

// ---- Text drills ---------------------------------------------------------------------

void MainWindow::chooseTextDrill(int level)
{
    const bool chosenBefore = session_.level() == level;
    selectLevel(level);
    if (!chosenBefore) {
        const TextDrillKind *kind = textDrillKind(level);
        TextDrill &drill = session_.textDrill();
        drill.setItems(builtInTextMaterial(level),
                       records_.drillPosition(QLatin1String(kind->name)));
        drill.setRunLength(kind->runItems, kind->runKana);
    }
    // Read while the learner types, for the dialog at the end of the run.
    history().load();
}

void MainWindow::keepTextPosition()
{
    if (session_.level() == ownTextLevel) {
        keepOwnTextPosition();
        return;
    }
    if (const TextDrillKind *kind = textDrillKind(session_.level()))
        records_.saveDrillPosition(QLatin1String(kind->name), session_.textDrill().position());
}

QString MainWindow::textRunReport(const RunResult &run)
{
    const TextRunFigures figures = textRunFigures(session_.tally(), run.seconds, run.errors);
    // Told against the history before this run; a learner's text against its own runs.
    const double best = history().bestTextSpeed(run.level);
    if (run.level == ownTextLevel) {
        const double textBest = textMenu_->bestSpeed();
        textMenu_->addSpeed(figures.kanaPerMinute);
        return textRunSummary(figures, textBest);
    }
    return textRunSummary(figures, best);
}

// ---- The learner's texts ---------------------------------------------------------------

void MainWindow::buildTextMenu(QMenu *levelMenu)
{
    textMenu_ = new TextMenu(levelMenu, platform_, this, records_);
    connect(textMenu_, &TextMenu::preparingChanged, this, &MainWindow::showTextPreparing);
    connect(textMenu_, &TextMenu::textReady, this, &MainWindow::chooseOwnText);
    connect(textMenu_, &TextMenu::textCorrected, this, &MainWindow::chooseOwnText);
}

void MainWindow::openTextFile(const QString &path)
{
    textMenu_->openFile(path);
}

void MainWindow::showTextPreparing(bool preparing)
{
    // The reading line, under the item: the window goes on answering meanwhile.
    readingPanel_->setText(preparing ? tr("テキストを準備しています…") : session_.readingText());
}

void MainWindow::chooseOwnText(const PreparedText &text)
{
    // A run under way goes on; the text is taken up when it ends (keepOwnTextPosition).
    if (modes_.tutorialShown() || session_.running() || text.sentences.empty())
        return;
    selectLevel(ownTextLevel);
    session_.setTextTitle(textTitle(text.name));
    const TextDrillKind *kind = textDrillKind(ownTextLevel);
    TextDrill &drill = session_.textDrill();
    drill.setItems(text.sentences, text.position);
    drill.setRunLength(kind->runItems, kind->runKana);
    // Read while the learner types, for the dialog at the end of the run.
    history().load();
    showDrill();
}

void MainWindow::keepOwnTextPosition()
{
    TextDrill &drill = session_.textDrill();
    textMenu_->setPosition(drill.position());
    // The rest of a long text, read while its beginning was typed, or a text opened meanwhile.
    const PreparedText &text = textMenu_->text();
    if (drill.itemCount() != int(text.sentences.size()))
        drill.setItems(text.sentences, text.position);
}

} // namespace rinkaro
