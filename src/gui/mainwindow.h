// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/drillarealayout.h"
#include "core/drillmodes.h"
#include "core/drillsession.h"
#include "core/inputoptions.h"
#include "core/language.h"
#include "core/levels.h"
#include "core/practicehistory.h"
#include "core/recordkeeper.h"
#include "core/romaji.h"
#include "core/runspeech.h"
#include "core/textdrill.h"
#include "core/textlibrary.h"
#include "core/weakspots.h"

#include <QFontMetrics>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace rinkaro
{

class AboutBox;
class KeyboardView;
class Platform;
class RecordTable;
class ResultDialog;
class RomajiPanel;
class TextMenu;
class TextDrillView;

// The main window: the drill area (the item to type, its reading line, the two options),
// the on-screen keyboard with the Start button, the menus, and the panels and dialogs they
// open. It shows the drill session, the score book, the drill area's layout and the
// tutorial, and turns the user's clicks and keys into calls on them.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Platform &platform, QWidget *parent = nullptr);
    ~MainWindow() override;

public slots:
    // Writes RK.set with this copy's values and the better records of both this copy and
    // the file on disk. Done at the close, when a run sets a record, and when the session
    // ends.
    void saveSettings();
    // Opens the learner's text at `path` (the command line's): prepared in the background,
    // then chosen as the current drill.
    void openTextFile(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void selectLevel(int level);
    void toggleDrillRun();
    void toggleFingerColours();
    void offerDemoMode();
    void applyRomajiChoices(const RomajiChoices &choices);
    void toggleFreeRomaji();
    // Kept in RK.ini for the next start, which the learner is told.
    void chooseLanguage(LanguageChoice choice);
    void toggleFavourWeak();
    void startTutorial();
    void stepTutorialForward();
    void stepTutorialBack();
    void endTutorial();
    void openProgressWindow();
    // A weak-spot drill of `kind` made current, practising `marked` or, when none are, the
    // weakest; false, with the level as it was, when there is no history to draw it from.
    // While the history is read the choice is remembered (true) and made once it is; a run
    // is started then when `start` asks for one.
    bool chooseWeakDrill(WeakKind kind, const QStringList &marked = {}, bool start = false);
    // The progress window's marked keys or kana: their drill is started at once.
    void practiseSelection(int level, const QStringList &marked);
    // A text drill made current, its material loaded from the program and its ordered runs
    // going on from where the last one stopped.
    void chooseTextDrill(int level);

private:
    InputOptions inputOptions() const;
    // A random run of the nine levels with the weakest items favoured, when the learner
    // asked for it.
    void favourWeakItems();
    void buildMenus();
    void buildLanguageMenu(QMenu *helpMenu);
    void showLanguageChoice();
    void buildDrillArea();
    void buildTutorialButtons();
    void buildPanels();
    void buildTextMenu(QMenu *levelMenu);
    // The learner's text, prepared: what the text drill runs from now on.
    void chooseOwnText(const PreparedText &text);
    void showTextPreparing(bool preparing);
    void keepOwnTextPosition();

    void loadSettings();
    // What a save keeps besides the records: the level, both options, the romaji buttons.
    SettingsRecord choices() const;

    void judge(char key);
    void finishRun();
    void showModes();
    void showDrill();
    void describeItem();
    void runCommand(DrillModes::Command command);
    QWidget *openPanel() const;
    void showTutorial(TutorialState::Move move);
    void applyLayout(const DrillAreaLayout::Frames &frames);
    void setDrillAreaHeight(int height);
    void setTextPanelLook(int pixels, const QColor &colour);
    void setStartButtonEnabled(bool enabled);
    void focusStartButton();
    // Made at first use: its tables are large, and start-up does not need them.
    PracticeHistory &history() const;
    const WeakSpots &weakSpots() const { return history().weakSpots(); }
    // Runs the event loop until the history is read (it seldom is not, by the end of a run).
    void waitForHistory();
    // The weak drill chosen while the history was read, made now that it is.
    void takeWeakChoice();
    // Draws the next weak run; false, with the learner told, when there is nothing to drill.
    bool drawWeakRun(WeakKind kind);
    // Tells the learner why a weak drill whose plan drew `plannedItems` cannot be drilled;
    // false when it can.
    bool refuseWeakDrill(WeakKind kind, const QStringList &plannedItems);
    void keepTextPosition();
    QString textRunReport(const RunResult &run);

    Platform &platform_;
    DrillSession session_;
    DrillModes modes_;
    RecordKeeper records_;
    mutable std::unique_ptr<PracticeHistory> history_; // shared with the progress window
    struct WeakChoice {
        WeakKind kind;
        QStringList marked;
        bool start;
        int levelBefore; // ticked again when the drill is refused
    };
    std::optional<WeakChoice> weakChoice_; // made once the history is read
    QStringList weakMarked_;               // what the learner chose to practise; empty: the weakest
    WeakRunPlan weakPlan_;                 // the weak drill's material now
    bool fingerColours_ = false;
    // The romaji panel's buttons as they stand, applied or not: what a save keeps.
    RomajiChoices romajiEdited_{};
    DrillAreaLayout layout_;
    bool settingsLoaded_ = false;
    int textPanelPixels_ = 0; // the text panel's font size, unless its text must be smaller
    std::optional<QFontMetrics> textPanelMetrics_;            // of that size
    LanguageChoice languageChoice_ = LanguageChoice::Desktop; // as RK.ini keeps it
    RunSpeech runSpeech_; // what the Start button has told of the run

    QWidget *drillArea_ = nullptr;
    std::array<QAction *, levelCount> levelItems_{}; // Level1 .. Level9
    std::array<QAction *, 2> weakItems_{};           // weakKeysItem, weakKanaItem
    QAction *keyColourItem_ = nullptr;               // KeyColor
    QAction *freeRomajiItem_ = nullptr;              // freeRomajiItem
    std::array<QAction *, 3> languageItems_{};       // by LanguageChoice
    QAction *favourWeakItem_ = nullptr;              // favourWeakItem
    QLabel *textPanel_ = nullptr;                    // TextPanel: the item to type
    QLabel *offKeyLabel_ = nullptr;                  // offKeyLabel: a key the keyboard lacks, named
    QLabel *readingPanel_ = nullptr;                 // yomiPanel: its romaji
    QCheckBox *hintCheckBox_ = nullptr;              // CheckBox1
    QCheckBox *randomOrderCheckBox_ = nullptr;       // CheckBox2
    QLabel *errorCountLabel_ = nullptr;              // errorCountLabel: the run's misses
    KeyboardView *keyboard_ = nullptr;               // KBPanel
    QPushButton *startStopButton_ = nullptr;         // Button1
    QToolButton *tutorialEndButton_ = nullptr;       // SpeedButton1
    QToolButton *tutorialNextButton_ = nullptr;      // SpeedButton2
    QToolButton *tutorialBackButton_ = nullptr;      // SpeedButton3
    RomajiPanel *romajiPanel_ = nullptr;             // settingPanel
    RecordTable *recordTable_ = nullptr;             // scorePanel
    AboutBox *aboutBox_ = nullptr;                   // Form2, built when first shown
    ResultDialog *resultDialog_ = nullptr;           // Form3, built when first shown
    QPointer<QWidget> progressWindow_;               // progressWindow, made by its plugin

    // The text drills.
    std::array<QAction *, 2> textItems_{}; // wordsItem, sentencesItem
    TextDrillView *textView_ = nullptr;    // textDrillView, over TextPanel
    TextMenu *textMenu_ = nullptr;         // openTextItem, recentTextsMenu, fixReadingItem
};

} // namespace rinkaro
