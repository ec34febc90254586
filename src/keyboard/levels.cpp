#include "core/levels.h"

#include "app/fonts.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/widgets.h"
#include "core/layoutplan.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include <array>

namespace
{

constexpr int tallClientHeight = tallWindowHeight - TForm1::frameAllowance;
constexpr int shortClientHeight = shortWindowHeight - TForm1::frameAllowance;

} // namespace

QAction *TForm1::levelItem(int level) const
{
    const std::array<QAction *, 9> items{Level1, Level2, Level3, Level4, Level5,
                                         Level6, Level7, Level8, Level9};
    return level >= 1 && level <= 9 ? items[level - 1] : nullptr;
}

// clang-format off
void TForm1::Level1Click() { currentLevel = 1; selectLevel(currentLevel); }
void TForm1::Level2Click() { currentLevel = 2; selectLevel(currentLevel); }
void TForm1::Level3Click() { currentLevel = 3; selectLevel(currentLevel); }
void TForm1::Level4Click() { currentLevel = 4; selectLevel(currentLevel); }
void TForm1::Level5Click() { currentLevel = 5; selectLevel(currentLevel); }
void TForm1::Level6Click() { currentLevel = 6; selectLevel(currentLevel); }
void TForm1::Level7Click() { currentLevel = 7; selectLevel(currentLevel); }
void TForm1::Level8Click() { currentLevel = 8; selectLevel(currentLevel); }
void TForm1::Level9Click() { currentLevel = 9; selectLevel(currentLevel); }
// clang-format on

void TForm1::selectLevel(unsigned level)
{
    for (int n = 1; n <= 9; ++n)
        levelItem(n)->setChecked(false);
    // Demo mode and the tutorial leave the button disabled.
    setStartButtonEnabled(true);

    QFont font = TextPanel->font();
    font.setPixelSize(pointsToPixels(48));
    TextPanel->setFont(font);
    setColour(TextPanel, QPalette::WindowText, Qt::black);

    if (KeyColor->isChecked())
        applyFingerColours();

    // The argument is unsigned: 0 and negative levels both land outside 1..9.
    if (const LevelInfo *info = level <= 9 ? levelInfo(int(level)) : nullptr) {
        levelItem(int(level))->setChecked(true);
        if (info->keyString) {
            drillText = QString::fromLatin1(info->keyString);
        } else {
            rangeFirst = info->rangeFirst;
            rangeLast = info->rangeLast;
        }
    } else {
        currentLevel = 1;
        Level1->setChecked(true);
        drillText = QString::fromLatin1(alphabetKeys);
    }
    layoutForLevel();
}

void TForm1::layoutForLevel()
{
    const int level = currentLevel;
    yomiPanel->setText(QString());
    if (level >= 7 && outerHeight() <= shortWindowHeight) {
        setTallWindow();
        yomiPanel->setGeometry(11, yomiPanel->y(), 777, yomiPanel->height());
        yomiPanel->show();
        widenTextPanel();
    } else if (level >= 7 && TextPanel->width() <= 300) {
        yomiPanel->setGeometry(11, yomiPanel->y(), 777, yomiPanel->height());
        widenTextPanel();
    } else if ((level == 5 || level == 6) && outerHeight() <= shortWindowHeight) {
        setTallWindow();
        yomiPanel->setGeometry(250, yomiPanel->y(), 300, yomiPanel->height());
        yomiPanel->show();
    } else if ((level == 5 || level == 6) && TextPanel->width() == 777) {
        yomiPanel->setGeometry(250, yomiPanel->y(), 300, yomiPanel->height());
        narrowTextPanel();
    } else if (level <= 4 && outerHeight() == tallWindowHeight) {
        yomiPanel->hide();
        setShortWindow();
        if (TextPanel->width() == 777)
            narrowTextPanel();
    }
    TextPanel->setText(QStringLiteral("Level%1").arg(level));
}

void TForm1::widenTextPanel()
{
    int step = 0;
    for (int width = widenFirstWidth; width <= widenLastWidth; ++width) {
        TextPanel->resize(width, TextPanel->height());
        TextPanel->move(widenStepLeft(width), TextPanel->y());
        platform_.animationStep(TextPanel, ++step);
    }
    TextPanel->move(widenFinalLeft, TextPanel->y());
}

void TForm1::narrowTextPanel()
{
    for (int step = 1; step <= narrowSteps; ++step) {
        TextPanel->resize(narrowStepWidth(step), TextPanel->height());
        TextPanel->move(narrowStepLeft(step), TextPanel->y());
        platform_.animationStep(TextPanel, step);
    }
    TextPanel->move(narrowFinalLeft, TextPanel->y());
}

void TForm1::setTallWindow()
{
    setDrillAreaHeight(tallClientHeight);
}

void TForm1::setShortWindow()
{
    setDrillAreaHeight(shortClientHeight);
}
