#include "app/form1.h"
#include "core/runmath.h"
#include "core/romaji.h"

#include <QCheckBox>
#include <QLabel>

void TForm1::FromKeyPress(QObject *, char &Key)
{
    const QString ch{QLatin1Char(Key)};
    if (demoMode)
        showDemoKey(ch);
    else if (currentLevel <= 4)
        judgeKeyDrill(ch);
    else if (currentLevel <= 6)
        judgeSyllable(ch);
    else
        judgePhrase(ch);
}

void TForm1::judgeKeyDrill(const QString &ch)
{
    if (ch != TextPanel->text().toLower()) {
        wrongKey();
        return;
    }
    ++itemCounter;
    const int position = nextPosition();
    if (itemCounter > int(workText.size())) {
        endDrillRun();
        return;
    }
    const QString next = workText.mid(position - 1, 1);
    TextPanel->setText(next.toUpper());
    resetKeyHints();
    if (CheckBox1->isChecked())
        showKeyHint(next.toLower());
}

void TForm1::judgeSyllable(const QString &ch)
{
    if (itemIndex >= rangeFirst && itemIndex <= rangeLast) {
        // Read at every key, so that a new romaji choice counts from the next letter on.
        const QString expected = romaji.romaji(itemIndex);
        // A choice that made the entry shorter than what was typed restarts the syllable
        // rather than expecting a letter that no longer exists.
        if (letterPos < 1 || letterPos > expected.size())
            letterPos = 1;
        if (ch == expectedLetter(expected, letterPos)) {
            if (letterPos < expected.size()) {
                ++letterPos;
            } else {
                letterPos = 1;
                ++itemCounter;
                itemIndex = nextItemIndex();
            }
        } else {
            wrongKey();
        }
    }
    if (itemCounter > itemCount()) {
        yomiPanel->setText(QString());
        endDrillRun();
        itemIndex = 0;
        return;
    }
    const QString expected = romaji.romaji(itemIndex);
    TextPanel->setText(kanaAt(itemIndex));
    yomiPanel->setText(maskTyped(expected, letterPos - 1));
    resetKeyHints();
    if (CheckBox1->isChecked())
        showKeyHint(expectedLetter(expected, letterPos));
}

void TForm1::judgePhrase(const QString &ch)
{
    if (itemIndex >= rangeFirst && itemIndex <= rangeLast) {
        const bool validSyllable = syllableNo >= 1 && syllableNo <= maxSyllables;
        const QString syllable = validSyllable ? syllableRomaji[syllableNo] : QString();
        if (ch != expectedLetter(syllable, letterPos)) {
            wrongKey();
        } else if (letterPos < syllable.size() || syllableNo < syllableCount) {
            if (letterPos < syllable.size()) {
                ++letterPos;
            } else {
                letterPos = 1;
                ++syllableNo;
            }
            ++typedLetters;
            // The letters typed and the spaces passed between the syllables.
            romajiLine = maskTyped(romajiLine, typedLetters + syllableNo - 1);
            yomiPanel->setText(romajiLine);
            resetKeyHints();
            if (CheckBox1->isChecked() && syllableNo <= maxSyllables)
                showKeyHint(expectedLetter(syllableRomaji[syllableNo], letterPos));
        } else {
            ++itemCounter;
            itemIndex = nextItemIndex();
            decodePhrase(itemIndex - 1);
            TextPanel->setText(drillText);
            yomiPanel->setText(romajiLine);
            resetKeyHints();
            if (CheckBox1->isChecked())
                showKeyHint(expectedLetter(syllableRomaji[1], 1));
        }
    }
    if (itemCounter > itemCount())
        endDrillRun();
}

void TForm1::showDemoKey(const QString &ch)
{
    resetKeyHints();
    showKeyHint(ch.toLower());
}
