#include "app/fonts.h"
#include "app/form1.h"
#include "app/widgets.h"
#include "core/keytable.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <vector>

namespace
{

const QString tutorialCaption = QStringLiteral("Tutorial");

// The tutorial text is shown only in the panel's full width.
constexpr int tutorialPanelWidth = 777;

constexpr quint32 red = 0x0000FF;
constexpr quint32 blue = 0xFF0000;
constexpr quint32 black = 0x000000;

// What a tutorial line does to the text panel and the keyboard picture.
struct Action {
    enum Kind {
        FontPoints, // value: the text panel's font size in points
        FontColour, // value: the text panel's font colour
        ClearColours,
        LittleKeys, // value: colour of the group
        RingKeys,
        MiddleKeys,
        IndexKeys,
        KeyColour // keys: captions of the keys, value: their background colour
    };
    Kind kind;
    quint32 value = 0;
    const char *keys = nullptr;
};

struct TutorialLine {
    const char *caption;
    std::vector<Action> before; // run before the caption is set
    std::vector<Action> after;  // run after it
};

// Stepping forward and the replay for stepping back both read this one table.
const std::vector<TutorialLine> &tutorialLines()
{
    static const std::vector<TutorialLine> lines{
        {"タイピングの方法を説明します",
         {{Action::FontPoints, 32}, {Action::FontColour, blue}},
         {}},
        {"タイピングのコツは２つあります", {}, {}},
        {"①ホームポジションを維持すること", {}, {}},
        {"②正しい指使いをすることです", {}, {}},
        {"まずホームポジションを説明します", {}, {}},
        {"人さし指をＦとＪにのせます", {}, {{Action::KeyColour, red, "FJ"}}},
        {"となりの指はとなりのキーにのせます", {}, {{Action::KeyColour, red, "DSAKL;"}}},
        {"これがホームポジションです", {}, {}},
        {"次に指使いを説明します", {{Action::ClearColours}}, {}},
        {"各指は３つのキーを担当します", {}, {}},
        {"小指は緑色のキーを担当します", {{Action::LittleKeys, littleFingerColour}}, {}},
        {"薬指は黄色のキーを担当します", {{Action::RingKeys, ringFingerColour}}, {}},
        {"中指は水色のキーを担当します", {{Action::MiddleKeys, middleFingerColour}}, {}},
        {"人さし指は桃色のキーを担当します", {{Action::IndexKeys, indexFingerColour}}, {}},
        {"人さし指だけ６つのキーを担当します", {{Action::IndexKeys, indexFingerColour}}, {}},
        {"たとえば、Ｒをタイプするときは", {{Action::KeyColour, red, "R"}}, {}},
        {"左手人さし指でＲをタイプします", {}, {}},
        {"その後すぐに人さし指をＦに戻します", {{Action::KeyColour, red, "F"}}, {}},
        {"このようにすることで", {}, {}},
        {"ホームポジションを維持できるのです", {}, {}},
        {"ＦとＪには小さな突起があるので",
         {{Action::ClearColours}},
         {{Action::KeyColour, red, "FJ"}}},
        {"触るだけで指の位置が確認できます", {}, {}},
        {"End Tutorial",
         {{Action::ClearColours}, {Action::FontPoints, 48}, {Action::FontColour, black}},
         {}},
    };
    return lines;
}

void runAction(TForm1 &form, const Action &action)
{
    switch (action.kind) {
    case Action::FontPoints: {
        QFont font = form.TextPanel->font();
        font.setPixelSize(pointsToPixels(int(action.value)));
        form.TextPanel->setFont(font);
        break;
    }
    case Action::FontColour: {
        setColour(form.TextPanel, QPalette::WindowText, colorFromWin(action.value));
        break;
    }
    case Action::ClearColours:
        form.clearFingerColours();
        break;
    case Action::LittleKeys:
        form.colourLittleFingerKeys(action.value);
        break;
    case Action::RingKeys:
        form.colourRingFingerKeys(action.value);
        break;
    case Action::MiddleKeys:
        form.colourMiddleFingerKeys(action.value);
        break;
    case Action::IndexKeys:
        form.colourIndexFingerKeys(action.value);
        break;
    case Action::KeyColour:
        for (const char *key = action.keys; *key; ++key)
            if (QLabel *panel = form.keyPanel(QString(QLatin1Char(*key))))
                setColour(panel, QPalette::Window, colorFromWin(action.value));
        break;
    }
}

void runActions(TForm1 &form, const std::vector<Action> &actions)
{
    for (const Action &action : actions)
        runAction(form, action);
}

void setStepButtonsVisible(TForm1 &form, bool visible)
{
    form.SpeedButton1->setVisible(visible);
    form.SpeedButton2->setVisible(visible);
    form.SpeedButton3->setVisible(visible);
}

void setLevelItemsEnabled(TForm1 &form, bool enabled)
{
    for (int level = 1; level <= 9; ++level)
        form.levelItem(level)->setEnabled(enabled);
}

} // namespace

void TForm1::TutorialClick()
{
    // The tutorial takes over the drill area: a run in progress ends without a result, and
    // the keys typed in demo mode are no longer echoed.
    // Stopping shows the first item with its hint, which would be left lit.
    const bool running = Button1->text() == stopCaption;
    if (running)
        toggleDrillRun();
    if (running || demoMode) {
        demoMode = false;
        resetKeyHints();
    }

    if (TextPanel->text() != tutorialCaption) {
        widenTextPanel();
        if (outerHeight() <= 400)
            setShortWindow();
        TextPanel->setText(tutorialCaption);
        tutorialShown = true;
        setStartButtonEnabled(false);
        setLevelItemsEnabled(*this, false);
        yomiPanel->hide();
        setStepButtonsVisible(*this, true);
        tutorialStep = 0;
    }
    setKeyRouting(false);
    clearFingerColours();
}

void TForm1::showTutorialStep()
{
    if (TextPanel->width() != tutorialPanelWidth)
        return;
    const auto &lines = tutorialLines();
    if (tutorialStep >= 0 && tutorialStep < int(lines.size())) {
        const TutorialLine &line = lines[std::size_t(tutorialStep)];
        runActions(*this, line.before);
        TextPanel->setText(QString::fromUtf8(line.caption));
        runActions(*this, line.after);
    } else {
        endTutorial();
    }
    ++tutorialStep;
}

void TForm1::SpeedButton1Click()
{
    endTutorial();
}

void TForm1::SpeedButton2Click()
{
    showTutorialStep();
}

void TForm1::SpeedButton3Click()
{
    // Nothing to go back to from "Tutorial" or the first line.
    if (tutorialStep <= 1 || TextPanel->width() != tutorialPanelWidth)
        return;
    tutorialStep -= 2;
    // The earlier line appears as it was first shown: the fonts and key colours of every
    // line before it are replayed, not only its own.
    clearFingerColours();
    const auto &lines = tutorialLines();
    for (int n = 0; n < tutorialStep && n < int(lines.size()); ++n) {
        runActions(*this, lines[std::size_t(n)].before);
        runActions(*this, lines[std::size_t(n)].after);
    }
    showTutorialStep();
}

void TForm1::endTutorial()
{
    tutorialShown = false;
    setStepButtonsVisible(*this, false);
    setLevelItemsEnabled(*this, true);
    if (currentLevel <= 6)
        narrowTextPanel();
    if (currentLevel >= 5)
        yomiPanel->show();
    clearFingerColours();
    selectLevel(unsigned(currentLevel));
    // Outside a drill run typed keys would reach the judges as wrong keys; demo mode, if it
    // was entered meanwhile, ends with the tutorial so that its flag and the routing agree.
    if (demoMode) {
        demoMode = false;
        resetKeyHints();
    }
    setKeyRouting(false);
}
