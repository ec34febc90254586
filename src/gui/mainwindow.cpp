#include "gui/mainwindow.h"

#include "core/levels.h"
#include "core/runlog.h"
#include "core/settingsfile.h"
#include "gui/aboutbox.h"
#include "gui/fonts.h"
#include "gui/keyboardview.h"
#include "gui/platform.h"
#include "gui/progresswindowloader.h"
#include "gui/recordtable.h"
#include "gui/resultdialog.h"
#include "gui/romajipanel.h"
#include "gui/widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace
{

constexpr int clientWidth = 800;
// The nominal frame, caption and menu bar that the layout's outer heights include.
constexpr int frameAllowance = 46;
const QString settingsFileName = QStringLiteral("RK.set");
const QString historyFileName = QStringLiteral("RK.log");
const QString startCaption = QStringLiteral("スタート");
const QString stopCaption = QStringLiteral("ストップ");
const QString tutorialCaption = QStringLiteral("Tutorial");

// A panel of the drill area with a sunken bevel, drawn as a framed label.
QLabel *makePanel(QWidget *parent, const QString &name, const QRect &geometry,
                  const QColor &background)
{
    auto *panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
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
    keyboard = new KeyboardView(drillArea);
    keyboard->setGeometry(0, 118, clientWidth, 236);
    connect(keyboard, &KeyboardView::backgroundDoubleClicked, this, &MainWindow::offerDemoMode);
    startStopButton = new QPushButton(startCaption, keyboard);
    startStopButton->setObjectName(QStringLiteral("Button1"));
    startStopButton->setGeometry(696, 24, 89, 33);
    startStopButton->setAutoDefault(false);
    connect(startStopButton, &QPushButton::clicked, this, &MainWindow::toggleDrillRun);
    buildTutorialButtons();

    romajiPanel = new RomajiPanel(platform_, drillArea);
    connect(romajiPanel, &RomajiPanel::accepted, this, &MainWindow::applyRomajiChoices);
    recordTable = new RecordTable(platform_, drillArea);
    connect(recordTable, &RecordTable::closed, startStopButton, qOverload<>(&QWidget::setFocus));
    setDrillAreaHeight(layout_.geometry().outerHeight - frameAllowance);

    setTabOrder(startStopButton, hintCheckBox);
    setTabOrder(hintCheckBox, randomOrderCheckBox);
    startStopButton->setFocus();

    // Input methods compose text that the drills cannot judge; keep them out of the window.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    for (QWidget *child : findChildren<QWidget *>())
        child->setAttribute(Qt::WA_InputMethodEnabled, false);

    aboutBox = new AboutBox(this);
    resultDialog = new ResultDialog(this);

    qApp->installEventFilter(this);
    // A session manager ending the session asks first: the settings are saved then too.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::saveSettings);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
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

    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);

    QMenu *levelMenu = bar->addMenu(QStringLiteral("レベル"));
    levelMenu->setObjectName(QStringLiteral("set"));
    for (int level = 1; level <= 9; ++level) {
        if (level == 5)
            addSeparator(levelMenu, "N2");
        QAction *item = addItem(levelMenu, qPrintable(QStringLiteral("Level%1").arg(level)),
                                QString::fromUtf8(levelInfo(level)->menuCaption), true);
        connectItem(item, [this, level] { selectLevel(level); });
        levelItems[level - 1] = item;
    }
    levelItems[0]->setChecked(true);

    QMenu *optionMenu = bar->addMenu(QStringLiteral("オプション"));
    optionMenu->setObjectName(QStringLiteral("Option1"));
    keyColourItem = addItem(optionMenu, "KeyColor", QStringLiteral("キー色付け"), true);
    connectItem(keyColourItem, [this] { toggleFingerColours(); });
    QAction *romajiItem = addItem(optionMenu, "setSpelling", QStringLiteral("ローマ字設定"), false);
    connectItem(romajiItem, [this] { romajiPanel->unroll(); });
    addSeparator(optionMenu, "N3");
    QAction *recordItem = addItem(optionMenu, "showScore", QStringLiteral("記録表示"), false);
    connectItem(recordItem, [this] { recordTable->unroll(scores_); });
    QAction *progressItem =
        addItem(optionMenu, "progressItem", QStringLiteral("成績グラフ"), false);
    connectItem(progressItem, [this] { openProgressWindow(); });

    QMenu *helpMenu = bar->addMenu(QStringLiteral("ヘルプ"));
    helpMenu->setObjectName(QStringLiteral("Help1"));
    QAction *tutorialItem =
        addItem(helpMenu, "Tutorial", QStringLiteral("タイピングの方法"), false);
    connectItem(tutorialItem, [this] { startTutorial(); });
    addSeparator(helpMenu, "N1");
    QAction *aboutItem =
        addItem(helpMenu, "aboutMenu1", QStringLiteral("Rinkaro について..."), false);
    connectItem(aboutItem, [this] { platform_.showModal(aboutBox); });
}

void MainWindow::buildDrillArea()
{
    const DrillAreaLayout::Geometry &geometry = layout_.geometry();
    textPanel = makePanel(drillArea, QStringLiteral("TextPanel"), geometry.text, Qt::white);
    textPanel->setFont(pixelFont(gothicFamily, 64, true));
    emboldenLargeText(textPanel);
    setColour(textPanel, QPalette::WindowText, Qt::black);
    textPanel->setText(QStringLiteral("Level 20"));

    hintCheckBox = new QCheckBox(QStringLiteral("ヒントを表示"), drillArea);
    hintCheckBox->setObjectName(QStringLiteral("CheckBox1"));
    hintCheckBox->setGeometry(568, 0, 113, 17);
    hintCheckBox->setFont(pixelFont(gothicFamily, 13));
    setColour(hintCheckBox, QPalette::WindowText, Qt::black);
    hintCheckBox->setChecked(true);
    session_.setHintShown(true);
    connect(hintCheckBox, &QCheckBox::toggled, this,
            [this](bool checked) { session_.setHintShown(checked); });

    randomOrderCheckBox = new QCheckBox(QStringLiteral("ランダムに発生"), drillArea);
    randomOrderCheckBox->setObjectName(QStringLiteral("CheckBox2"));
    randomOrderCheckBox->setGeometry(688, 0, 97, 17);
    connect(randomOrderCheckBox, &QCheckBox::toggled, this,
            [this](bool checked) { session_.setRandomOrder(checked); });

    readingPanel = makePanel(drillArea, QStringLiteral("yomiPanel"), geometry.reading,
                             QColor(0xC0, 0xC0, 0xC0));
    readingPanel->setFont(pixelFont(gothicFamily, 37, true));
    setColour(readingPanel, QPalette::WindowText, Qt::red);
    readingPanel->setText(QStringLiteral("Level20"));
    readingPanel->setVisible(geometry.readingShown);
}

void MainWindow::buildTutorialButtons()
{
    struct ButtonRow {
        QToolButton *&button;
        const char *name;
        QRect geometry;
        Glyph glyph;
        const char *toolTip;
        void (MainWindow::*handler)();
    };
    const ButtonRow rows[] = {
        {tutorialEndButton, "SpeedButton1", QRect(760, 104, 25, 21), Glyph::Stop, "終了",
         &MainWindow::endTutorial},
        {tutorialNextButton, "SpeedButton2", QRect(736, 100, 25, 25), Glyph::Right, "次へ",
         &MainWindow::stepTutorialForward},
        {tutorialBackButton, "SpeedButton3", QRect(712, 100, 25, 25), Glyph::Left, "前へ",
         &MainWindow::stepTutorialBack},
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

// ---- Settings --------------------------------------------------------------------------

void MainWindow::loadSettings()
{
    const std::optional<SettingsRecord> stored = readSettingsFile(settingsFileName);
    if (!stored) {
        // No file is written here: the first close creates it.
        platform_.messageBox(this, QMessageBox::Information, QStringLiteral("ようこそ"),
                             QStringLiteral("設定ファイルを初期化します。"), QMessageBox::Ok);
    }
    const SettingsRecord values = stored.value_or(SettingsRecord());
    romajiPanel->setChoices(values.romaji);
    session_.setRomaji(RomajiTable(values.romaji));
    scores_.load(values);

    // The tick starts opposite to the stored flag so that toggling it below both restores
    // it and paints or clears the keyboard to match.
    keyColourItem->setChecked(!values.keyColour);
    hintCheckBox->setChecked(values.keyHint);
    applyLayout(layout_.startUp(values.level));
    selectLevel(values.level); // a level outside 1..9 falls back to level 1
    toggleFingerColours();
    platform_.seedRandom(platform_.timeOfDayMs());
}

void MainWindow::saveSettings()
{
    SettingsRecord values;
    values.level = session_.level();
    values.keyColour = keyColourItem->isChecked();
    values.keyHint = hintCheckBox->isChecked();
    values.romaji = romajiPanel->choices();
    scores_.store(values);
    // Another copy of the program may have saved better records meanwhile: both are kept.
    // A file that cannot be written is passed over in silence and the old one stays.
    scores_.load(saveSettingsKeepingRecords(settingsFileName, values).values);
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
    for (QAction *item : levelItems)
        item->setChecked(false);
    // Demo mode and the tutorial leave the button disabled.
    setStartButtonEnabled(true);
    setTextPanelLook(pointsToPixels(48), Qt::black);
    if (keyColourItem->isChecked())
        keyboard->showFingerColours(true);
    // A run in progress goes on with the new level's material.
    session_.selectLevel(level);
    levelItems[session_.level() - 1]->setChecked(true);
    readingPanel->setText(session_.readingText());
    applyLayout(layout_.layOutForLevel(session_.level()));
    showDrill();
}

void MainWindow::applyLayout(const DrillAreaLayout::Frames &frames)
{
    for (const DrillAreaLayout::Frame &frame : frames) {
        const DrillAreaLayout::Geometry &geometry = frame.geometry;
        if (drillArea->height() != geometry.outerHeight - frameAllowance)
            setDrillAreaHeight(geometry.outerHeight - frameAllowance);
        readingPanel->setGeometry(geometry.reading);
        readingPanel->setVisible(geometry.readingShown);
        textPanel->setGeometry(geometry.text);
        if (frame.animationStep > 0)
            platform_.animationStep(textPanel, frame.animationStep);
    }
}

void MainWindow::setDrillAreaHeight(int height)
{
    drillArea->setFixedSize(clientWidth, height);
    // The keyboard keeps its height at the bottom edge of the client area.
    keyboard->move(0, height - keyboard->height());
    // Size the window now rather than at the next layout pass: the start-up layout runs
    // while the window is being shown, and a pass left for later would leave the native
    // window at its default size where no window manager asks again.
    layout()->activate();
}

void MainWindow::setTextPanelLook(int pixels, const QColor &colour)
{
    QFont font = textPanel->font();
    font.setPixelSize(pixels);
    textPanel->setFont(font);
    setColour(textPanel, QPalette::WindowText, colour);
}

void MainWindow::setStartButtonEnabled(bool enabled)
{
    if (enabled) {
        startStopButton->setEnabled(true);
        startStopButton->setFocus();
        return;
    }
    // Qt would hand the focus of a disabled button to the next control in the tab chain,
    // a check box that a space would tick.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() == this)
        keyboard->setFocus();
    startStopButton->setEnabled(false);
}

void MainWindow::setLevelItemsEnabled(bool enabled)
{
    for (QAction *item : levelItems)
        item->setEnabled(enabled);
}

// ---- Drill runs ----------------------------------------------------------------------

void MainWindow::toggleDrillRun()
{
    if (!session_.running()) {
        // A run started in demo mode would only light keys and could never end.
        if (demoMode_) {
            demoMode_ = false;
            startStopButton->setEnabled(true);
        }
        session_.start(platform_.tickCount());
        startStopButton->setText(stopCaption);
        keyRouting_ = true;
        applyLayout(layout_.layOutForLevel(session_.level()));
    } else {
        session_.stop();
        startStopButton->setText(startCaption);
        keyRouting_ = false;
    }
    showDrill();
}

void MainWindow::showDrill()
{
    if (tutorial_.shown())
        return;
    textPanel->setText(session_.mainText());
    readingPanel->setText(session_.readingText());
    // In demo mode the keyboard shows the keys typed, not the drill's hint.
    if (!demoMode_)
        keyboard->lightKey(session_.hintKey());
}

void MainWindow::judge(char key)
{
    if (demoMode_) {
        keyboard->lightKey(QString(QLatin1Char(key)).toLower());
        return;
    }
    const int errorsBefore = session_.errorCount();
    const KeyOutcome outcome = session_.type(key, platform_.tickCount());
    // Every counted error beeps, the one of a wrong key that ended the run included.
    const bool counted = outcome == KeyOutcome::Wrong || (outcome == KeyOutcome::Finished &&
                                                          session_.result().errors > errorsBefore);
    if (counted)
        platform_.beep();
    if (outcome == KeyOutcome::Finished)
        finishRun();
    else
        showDrill();
}

void MainWindow::finishRun()
{
    showDrill();
    const RunResult &run = session_.result();
    // The order mode at the end of the run decides the table, whatever it was at Start.
    const RecordedRun recorded = scores_.record(run, randomOrderCheckBox->isChecked());
    // A record the learner has earned reaches the disk at once, not only at the close.
    if (recorded.newRecord)
        saveSettings();
    appendToHistory(run, recorded);
    showNewRunsIn(progressWindow);
    resultDialog->setResult(formatTenths(run.seconds), QString::number(run.errors),
                            QString::number(recorded.standard), formatTenths(recorded.bestBefore));
    platform_.showModal(resultDialog);
    applyLayout(layout_.layOutForLevel(session_.level()));
    startStopButton->setText(startCaption);
    keyRouting_ = false;
    showDrill();
}

void MainWindow::appendToHistory(const RunResult &run, const RecordedRun &recorded)
{
    RunLogEntry entry;
    entry.ended = QDateTime::currentDateTime();
    entry.level = run.level;
    entry.randomOrder = recorded.randomOrder;
    entry.seconds = run.seconds;
    entry.errors = run.errors;
    entry.score = recorded.score;
    entry.newRecord = recorded.newRecord;
    entry.tally = session_.tally();
    // A history that cannot be written is passed over in silence, as RK.set is.
    appendRunLog(historyFileName, entry);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
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
    judge(char(text.at(0).unicode()));
    // The window has taken the character: a focused button must not also react to it
    // (a space would otherwise click Stop in the middle of a run).
    return true;
}

// ---- Options -------------------------------------------------------------------------

void MainWindow::openProgressWindow()
{
    QString error;
    ProgressWindowFactory *factory = loadProgressWindowFactory(progressPluginFolders(), &error);
    if (!factory) {
        platform_.messageBox(this, QMessageBox::Warning, QStringLiteral("成績グラフ"),
                             QStringLiteral("成績グラフを開けませんでした。\n%1").arg(error),
                             QMessageBox::Ok);
        return;
    }
    // The history is read at every opening, so the window shows the runs made meanwhile.
    if (progressWindow)
        factory->refreshProgressWindow(progressWindow, session_.level());
    else
        progressWindow = factory->createProgressWindow(
            QDir::current().absoluteFilePath(historyFileName), session_.level(), this);
    // Opened during a run (or in demo mode), it leaves the keyboard to the drill.
    progressWindow->setAttribute(Qt::WA_ShowWithoutActivating, keyRouting_);
    progressWindow->show();
    progressWindow->raise();
    if (!keyRouting_)
        progressWindow->activateWindow();
}

void MainWindow::toggleFingerColours()
{
    const bool shown = !keyColourItem->isChecked();
    keyboard->showFingerColours(shown);
    keyColourItem->setChecked(shown);
}

void MainWindow::offerDemoMode()
{
    const auto answer = platform_.messageBox(
        this, QMessageBox::Question, QStringLiteral("デモ・モード"),
        QStringLiteral("デモ・モードに移行しますか？"), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        demoMode_ = true;
        setStartButtonEnabled(false);
        keyRouting_ = true;
    } else {
        demoMode_ = false;
        // The tutorial keeps Start unusable until it ends.
        if (!tutorial_.shown())
            setStartButtonEnabled(true);
        keyRouting_ = false;
        keyboard->lightKey(QString());
    }
}

void MainWindow::applyRomajiChoices(const RomajiChoices &choices)
{
    session_.setRomaji(RomajiTable(choices));
    startStopButton->setFocus();
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
    if (running || demoMode_) {
        demoMode_ = false;
        keyboard->lightKey(QString());
    }
    if (tutorial_.start()) {
        applyLayout(layout_.startTutorial());
        textPanel->setText(tutorialCaption);
        setStartButtonEnabled(false);
        setLevelItemsEnabled(false);
        setStepButtonsVisible(true);
    }
    keyRouting_ = false;
    keyboard->showFingerColours(false);
}

void MainWindow::stepTutorialForward()
{
    showTutorial(tutorial_.forward());
}

void MainWindow::stepTutorialBack()
{
    showTutorial(tutorial_.back());
}

void MainWindow::showTutorial(TutorialState::Move move)
{
    if (move == TutorialState::Move::End) {
        endTutorial();
    } else if (move == TutorialState::Move::ShowLine) {
        const TutorialLook look = tutorialLook(tutorial_.line());
        setTextPanelLook(look.fontPixels, colorFromWin(look.fontColour));
        keyboard->paintKeys(look.keyColours);
        textPanel->setText(look.caption);
    }
}

void MainWindow::endTutorial()
{
    tutorial_.end();
    setStepButtonsVisible(false);
    setLevelItemsEnabled(true);
    applyLayout(layout_.endTutorial(session_.level()));
    keyboard->showFingerColours(false);
    selectLevel(session_.level());
    // Outside a drill run typed keys would reach the judges as wrong keys; demo mode, if it
    // was entered meanwhile, ends with the tutorial so that its flag and the routing agree.
    if (demoMode_) {
        demoMode_ = false;
        keyboard->lightKey(QString());
    }
    keyRouting_ = false;
}

void MainWindow::setStepButtonsVisible(bool visible)
{
    tutorialEndButton->setVisible(visible);
    tutorialNextButton->setVisible(visible);
    tutorialBackButton->setVisible(visible);
}
