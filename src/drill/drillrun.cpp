#include "app/form1.h"
#include "app/platform.h"
#include "drill/form3.h"
#include "core/runmath.h"
#include "core/scorebook.h"
#include "core/levels.h"
#include "core/romaji.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace
{

// Whether a level has a standard score and records (the level numbers 1 to 9).
bool isLevel(int level)
{
    return levelInfo(level) != nullptr;
}

} // namespace

void TForm1::toggleDrillRun()
{
    workText = drillText;
    if (Button1->text() == startCaption) {
        // A run started in demo mode would only light keys and could never end.
        if (demoMode) {
            demoMode = false;
            Button1->setEnabled(true);
            resetKeyHints();
        }
        startTickMs = platform().tickCount();
        startTick = int(startTickMs / 100u);
        errorCount = 0;
        Button1->setText(stopCaption);
        setKeyRouting(true);
        layoutForLevel();
    } else {
        Button1->setText(startCaption);
        setKeyRouting(false);
        resetKeyHints();
    }
    showFirstItem();
    itemCounter = 1;
}

void TForm1::showFirstItem()
{
    // A hint left from an earlier run, the tutorial or demo mode would point at a second key.
    resetKeyHints();
    switch (levelGroup(currentLevel)) {
    case LevelGroup::Key: {
        const QString first = workText.left(1);
        TextPanel->setText(first.toUpper());
        if (CheckBox1->isChecked())
            showKeyHint(first.toLower());
        break;
    }
    case LevelGroup::Syllable:
        TextPanel->setText(kanaAt(rangeFirst));
        yomiPanel->setText(romaji.romaji(rangeFirst));
        if (CheckBox1->isChecked())
            showKeyHint(expectedLetter(romaji.romaji(rangeFirst), 1));
        letterPos = 1;
        itemIndex = rangeFirst;
        break;
    case LevelGroup::Phrase:
        letterPos = 1;
        itemIndex = rangeFirst;
        decodePhrase(rangeFirst - 1);
        TextPanel->setText(drillText);
        yomiPanel->setText(romajiLine);
        if (CheckBox1->isChecked())
            showKeyHint(expectedLetter(romajiLine, 1));
        break;
    }
}

int TForm1::itemCount() const
{
    if (levelGroup(currentLevel) == LevelGroup::Key)
        return int(workText.size());
    return rangeLast - rangeFirst + 1;
}

int TForm1::nextPosition()
{
    if (CheckBox2->isChecked())
        return 1 + platform().random(int(workText.size()));
    return itemCounter;
}

int TForm1::nextItemIndex()
{
    if (CheckBox2->isChecked())
        return rangeFirst + platform().random(rangeLast - rangeFirst + 1);
    return rangeFirst + itemCounter - 1;
}

void TForm1::wrongKey()
{
    ++errorCount;
    platform().beep();
}

void TForm1::endDrillRun()
{
    finishDrillRun();
    startTick = 0;
    startTickMs = 0;
    errorCount = 0;
    layoutForLevel();
    Button1->setText(startCaption);
    setKeyRouting(false);
    resetKeyHints();
}

void TForm1::finishDrillRun()
{
    const int level = currentLevel;
    TextPanel->setText(QStringLiteral("Level%1").arg(level));
    yomiPanel->setText(QString());

    const float seconds = secondsFromTenths(elapsedTenths(startTickMs, platform().tickCount()));
    // The order mode at the end of the run decides the table, whatever it was at Start.
    std::array<double, 10> &table = CheckBox2->isChecked() ? randomScores : highScores;
    const double record = isLevel(level) ? table[level] : 0.0;
    Form3->setResult(formatTenths(seconds), QString::number(errorCount),
                     QString::number(isLevel(level) ? standardScores[level] : 0),
                     formatTenths(record));
    const double score = runScore(errorCount, seconds);
    if (isLevel(level) && beatsRecord(score, record))
        table[level] = score;

    platform().showModal(Form3);
}
