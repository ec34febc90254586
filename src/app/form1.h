#pragma once

#include <QFrame>
#include <QMainWindow>

#include "core/romaji.h"

#include <array>

class Platform;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class QTreeWidget;
class TForm2;
class TForm3;

// Button1's caption, which is also the run's on/off state.
inline const QString startCaption = QStringLiteral("スタート");
inline const QString stopCaption = QStringLiteral("ストップ");

// The keyboard picture's background; a double click on it (not on a key or the Start
// button) offers demo mode.
class KeyboardPanel : public QFrame
{
    Q_OBJECT
public:
    using QFrame::QFrame;
signals:
    void backgroundDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The main window: the drill area, the on-screen keyboard, the menus and the two panels
// that unroll over the drill area. Each subsystem defines its members in its own folder.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(Platform &platform, QWidget *parent = nullptr);
    ~TForm1() override;

    Platform &platform() { return platform_; }

    // ---- Controls -------------------------------------------------------------------
    QWidget *drillArea = nullptr; // the client area below the menu bar

    QMenu *set = nullptr;
    QAction *Level1 = nullptr, *Level2 = nullptr, *Level3 = nullptr, *Level4 = nullptr,
            *N2 = nullptr, *Level5 = nullptr, *Level6 = nullptr, *Level7 = nullptr,
            *Level8 = nullptr, *Level9 = nullptr;
    QMenu *Option1 = nullptr;
    QAction *KeyColor = nullptr, *setSpelling = nullptr, *N3 = nullptr, *showScore = nullptr;
    QMenu *Help1 = nullptr;
    QAction *Tutorial = nullptr, *N1 = nullptr, *aboutMenu1 = nullptr;

    KeyboardPanel *KBPanel = nullptr;
    QPushButton *Button1 = nullptr;
    std::array<QLabel *, 31> Panel{}; // Panel[1] .. Panel[30]
    QLabel *TextPanel = nullptr;
    QLabel *yomiPanel = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr;

    // Romaji settings panel.
    QFrame *settingPanel = nullptr;
    QPushButton *Button2 = nullptr;
    QFrame *Bevel1 = nullptr, *Bevel2 = nullptr;
    QGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr, *GroupBox3 = nullptr,
              *GroupBox4 = nullptr, *GroupBox5 = nullptr, *GroupBox6 = nullptr,
              *GroupBox7 = nullptr, *GroupBox8 = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton_shi = nullptr;
    QRadioButton *RadioButton15 = nullptr, *RadioButton_tsi = nullptr;
    QRadioButton *RadioButton3 = nullptr, *RadioButton_tsu = nullptr;
    QRadioButton *RadioButton5 = nullptr, *RadioButton_fu = nullptr;
    QRadioButton *RadioButton7 = nullptr, *RadioButton_ji = nullptr;
    QRadioButton *RadioButton9 = nullptr, *RadioButton_sya = nullptr;
    QRadioButton *RadioButton2 = nullptr, *RadioButton_jya = nullptr;
    QRadioButton *RadioButton13 = nullptr, *RadioButton_tya = nullptr;

    // Record table.
    QFrame *scorePanel = nullptr;
    QTreeWidget *scoreList = nullptr;
    QPushButton *Button3 = nullptr;

    TForm2 *Form2 = nullptr; // about box
    TForm3 *Form3 = nullptr; // typing-time dialog

    // ---- State ----------------------------------------------------------------------
    int currentLevel = 1;
    QString drillText;
    int rangeFirst = 0;
    int rangeLast = 0;

    // Run state.
    int itemCounter = 0;
    int startTick = 0;
    int errorCount = 0;
    QString workText;
    int itemIndex = 0;
    int letterPos = 0;
    int syllableNo = 0;
    int typedLetters = 0;
    // The counter's milliseconds at Start, beside startTick, so that a run across the
    // counter's wrap-around still gets its true time.
    quint32 startTickMs = 0;

    RomajiTable romaji; // with the choices of the romaji panel applied

    // What decoding a phrase leaves for the display and the judge.
    QString romajiLine;
    std::array<QString, 16> syllableRomaji{}; // slots 1..15
    int syllableCount = 0;

    // Best scores per level (index 1..9); 0 means no record.
    std::array<double, 10> highScores{};
    std::array<double, 10> randomScores{};

    bool demoMode = false;
    bool tutorialShown = false; // from the tutorial's start to its end
    int tutorialStep = 0;

    // ---- Handlers ---------------------------------------------------------------------
    void FormCreate();
    void WhenClosed();
    void FromKeyPress(QObject *Sender, char &Key);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Level1Click();
    void Level2Click();
    void Level3Click();
    void Level4Click();
    void Level5Click();
    void Level6Click();
    void Level7Click();
    void Level8Click();
    void Level9Click();
    void KeyColorClick();
    void KBPanelClick();
    void setSpellingClick();
    void showScoreClick();
    void TutorialClick();
    void aboutMenu1Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    // Enabling the Start button also gives it the focus; disabling it parks the focus on
    // the keyboard picture, where typed keys change nothing.
    void setStartButtonEnabled(bool enabled);

    // ---- Key routing ------------------------------------------------------------------
    // While on, every character typed anywhere in this window goes to FromKeyPress first.
    void setKeyRouting(bool on);
    bool keyRouting() const { return keyRouting_; }

    // ---- On-screen keyboard -------------------------------------------------------------
    void showKeyHint(const QString &text);
    void resetKeyHints();
    void applyFingerColours();
    void colourLittleFingerKeys(quint32 colour);
    void colourRingFingerKeys(quint32 colour);
    void colourMiddleFingerKeys(quint32 colour);
    void colourIndexFingerKeys(quint32 colour);
    void clearFingerColours();
    QLabel *keyPanel(const QString &caption) const; // by caption: "A", ";" ...

    // ---- Level selection and layout -----------------------------------------------------
    void selectLevel(unsigned level);
    void layoutForLevel();
    void widenTextPanel();
    void narrowTextPanel();
    void setTallWindow();
    void setShortWindow();
    // The window's outer height as the layout rules see it: the drill area plus a nominal
    // frame, caption and menu bar of 46 pixels, whatever the desktop really draws.
    int outerHeight() const;
    static constexpr int frameAllowance = 46;
    QAction *levelItem(int level) const;

    // ---- Drill run and judging ---------------------------------------------------------
    void toggleDrillRun();
    void showFirstItem();
    int itemCount() const;
    int nextPosition();  // key levels: the next position in workText
    int nextItemIndex(); // syllable and phrase levels
    void judgeKeyDrill(const QString &ch);
    void judgeSyllable(const QString &ch);
    void judgePhrase(const QString &ch);
    void showDemoKey(const QString &ch);
    void endDrillRun();
    void finishDrillRun();
    void wrongKey();

    // ---- Romanization ---------------------------------------------------------------------
    void decodePhrase(int slot);
    void applyRomajiChoices();

    // ---- Tutorial ---------------------------------------------------------------------
    void showTutorialStep();
    void endTutorial();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildDrillArea();
    void buildKeyboard();
    void buildTutorialButtons();
    void buildSettingPanel();
    void buildScorePanel();
    void setDrillAreaHeight(int height);

    Platform &platform_;
    bool keyRouting_ = false;
    bool formCreated_ = false;
};

// Windows colour values (0x00BBGGRR) as used throughout the program's tables.
QColor colorFromWin(quint32 value);
