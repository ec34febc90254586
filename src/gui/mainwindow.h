#pragma once

#include "core/drillarealayout.h"
#include "core/drillsession.h"
#include "core/romaji.h"
#include "core/scorebook.h"
#include "core/tutorialscript.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class AboutBox;
class KeyboardView;
class Platform;
class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class RecordTable;
class ResultDialog;
class RomajiPanel;

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

    // What the window shows, for reading only.
    const DrillSession &session() const { return session_; }
    const ScoreBook &scores() const { return scores_; }
    const TutorialState &tutorial() const { return tutorial_; }
    bool demoMode() const { return demoMode_; }
    // Whether typed characters go to the drill (during a run and in demo mode), whatever
    // control has the focus.
    bool keyRouting() const { return keyRouting_; }
    // The window's outer height as the layout sees it: the drill area plus a nominal frame,
    // caption and menu bar of 46 pixels, whatever the desktop really draws.
    int outerHeight() const { return layout_.geometry().outerHeight; }

public slots:
    // Writes RK.set with this copy's values and the better records of both this copy and
    // the file on disk. Done at the close, when a run sets a record, and when the session
    // ends.
    void saveSettings();

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
    void startTutorial();
    void stepTutorialForward();
    void stepTutorialBack();
    void endTutorial();
    void openProgressWindow();

private:
    void buildMenus();
    void buildDrillArea();
    void buildTutorialButtons();

    void loadSettings();

    void judge(char key);
    void finishRun();
    void appendToHistory(const RunResult &run, const RecordedRun &recorded);
    void showDrill();
    void showTutorial(TutorialState::Move move);
    void applyLayout(const DrillAreaLayout::Frames &frames);
    void setDrillAreaHeight(int height);
    void setTextPanelLook(int pixels, const QColor &colour);
    void setStartButtonEnabled(bool enabled);
    void setLevelItemsEnabled(bool enabled);
    void setStepButtonsVisible(bool visible);

    Platform &platform_;
    DrillSession session_;
    ScoreBook scores_;
    DrillAreaLayout layout_;
    TutorialState tutorial_;
    bool demoMode_ = false;
    bool keyRouting_ = false;
    bool settingsLoaded_ = false;

    QWidget *drillArea = nullptr;
    std::array<QAction *, 9> levelItems{};     // Level1 .. Level9
    QAction *keyColourItem = nullptr;          // KeyColor
    QLabel *textPanel = nullptr;               // TextPanel: the item to type
    QLabel *readingPanel = nullptr;            // yomiPanel: its romaji
    QCheckBox *hintCheckBox = nullptr;         // CheckBox1
    QCheckBox *randomOrderCheckBox = nullptr;  // CheckBox2
    KeyboardView *keyboard = nullptr;          // KBPanel
    QPushButton *startStopButton = nullptr;    // Button1
    QToolButton *tutorialEndButton = nullptr;  // SpeedButton1
    QToolButton *tutorialNextButton = nullptr; // SpeedButton2
    QToolButton *tutorialBackButton = nullptr; // SpeedButton3
    RomajiPanel *romajiPanel = nullptr;        // settingPanel
    RecordTable *recordTable = nullptr;        // scorePanel
    AboutBox *aboutBox = nullptr;              // Form2, built when first shown
    ResultDialog *resultDialog = nullptr;      // Form3, built when first shown
    QPointer<QWidget> progressWindow;          // progressWindow, made by its plugin
};
