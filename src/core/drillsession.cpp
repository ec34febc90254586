#include "core/drillsession.h"

#include "core/levels.h"
#include "core/runmath.h"

#include <utility>

DrillSession::DrillSession(RandomSource random) : random_(std::move(random))
{
    selectLevel(level_);
}

void DrillSession::selectLevel(int level)
{
    level_ = level;
    if (const LevelInfo *info = levelInfo(level)) {
        if (info->keyString) {
            drillText_ = QString::fromLatin1(info->keyString);
        } else {
            rangeFirst_ = info->rangeFirst;
            rangeLast_ = info->rangeLast;
        }
    } else {
        level_ = 1;
        drillText_ = QString::fromLatin1(alphabetKeys);
    }
    mainText_ = QStringLiteral("Level%1").arg(level_);
    readingText_.clear();
    // Outside a run no item is shown, so no key is lit either; a run goes on with its hint.
    if (!running_)
        hintKey_.clear();
}

void DrillSession::start(quint32 nowMs)
{
    workText_ = drillText_;
    startMs_ = nowMs;
    errorCount_ = 0;
    tally_ = {};
    lastRightMs_ = nowMs;
    kanaMs_ = 0;
    running_ = true;
    // Key levels show no reading; the other levels show their item's below.
    readingText_.clear();
    showFirstItem();
    itemCounter_ = 1;
}

void DrillSession::stop()
{
    // The clock and the error count stay as they were until the next Start.
    workText_ = drillText_;
    running_ = false;
    showFirstItem();
    itemCounter_ = 1;
}

KeyOutcome DrillSession::type(char key, quint32 nowMs)
{
    if (!running_)
        return KeyOutcome::Ignored;
    switch (levelGroup(level_)) {
    case LevelGroup::Key:
        return judgeKey(key, nowMs);
    case LevelGroup::Syllable:
        return judgeSyllable(key, nowMs);
    case LevelGroup::Phrase:
        return judgePhrase(key, nowMs);
    }
    return KeyOutcome::Ignored;
}

void DrillSession::showFirstItem()
{
    switch (levelGroup(level_)) {
    case LevelGroup::Key: {
        const QString first = workText_.left(1);
        mainText_ = first.toUpper();
        setHint(first.toLower());
        break;
    }
    case LevelGroup::Syllable:
        mainText_ = kanaAt(rangeFirst_);
        readingText_ = romaji_.romaji(rangeFirst_);
        setHint(expectedLetter(readingText_, 1));
        letterPos_ = 1;
        itemIndex_ = rangeFirst_;
        break;
    case LevelGroup::Phrase:
        letterPos_ = 1;
        itemIndex_ = rangeFirst_;
        decode(rangeFirst_);
        mainText_ = drillText_;
        readingText_ = romajiLine_;
        setHint(expectedLetter(romajiLine_, 1));
        break;
    }
}

int DrillSession::itemCount() const
{
    // The current level decides, so a level changed during a run changes the run's length.
    if (levelGroup(level_) == LevelGroup::Key)
        return int(workText_.size());
    return rangeLast_ - rangeFirst_ + 1;
}

int DrillSession::nextPosition()
{
    if (randomOrder_)
        return 1 + random_(int(workText_.size()));
    return itemCounter_;
}

int DrillSession::nextItemIndex()
{
    if (randomOrder_)
        return rangeFirst_ + random_(rangeLast_ - rangeFirst_ + 1);
    return rangeFirst_ + itemCounter_ - 1;
}

void DrillSession::decode(int number)
{
    const DecodedPhrase decoded = decodePhrase(romaji_, number);
    drillText_ = decoded.kana;
    romajiLine_ = decoded.romajiLine;
    syllableCount_ = decoded.syllableCount;
    // Slots past the new count keep an earlier phrase's pieces; the judge never reads them.
    for (int k = 1; k <= syllableCount_; ++k) {
        syllableRomaji_[k] = decoded.pieces[k];
        syllableKana_[k] = decoded.kanaPieces[k];
        syllableDoubled_[k] = decoded.doubled[k];
    }
    syllableNo_ = 1;
    letterPos_ = 1;
    typedLetters_ = 0;
}

void DrillSession::finish(quint32 nowMs)
{
    result_ = {level_, secondsFromTenths(elapsedTenths(startMs_, nowMs)), errorCount_};
    startMs_ = 0;
    errorCount_ = 0;
    running_ = false;
    mainText_ = QStringLiteral("Level%1").arg(level_);
    readingText_.clear();
    hintKey_.clear();
}

void DrillSession::setHint(const QString &key)
{
    hintKey_ = hintShown_ ? key : QString();
}

KeyOutcome DrillSession::wrongKey(const QString &kana, const QString &expected, char typed)
{
    ++errorCount_;
    // "LevelN" or an exhausted syllable names no key that was missed.
    if (expected.size() == 1 && expected.front().unicode() < 0x80)
        tally_.misses.push_back({kana, char(expected.front().unicode()), typed});
    return KeyOutcome::Wrong;
}

// The kana that a letter of the current phrase syllable types: a doubled first letter
// types the small tsu, the rest its follower.
QString DrillSession::phraseKanaAt(int letter) const
{
    if (syllableNo_ < 1 || syllableNo_ > syllableCount_)
        return {};
    const QString &kana = syllableKana_[syllableNo_];
    if (!syllableDoubled_[syllableNo_])
        return kana;
    return letter == 1 ? kana.left(1) : kana.mid(1);
}

// A right key takes the time since the right key before it: a wrong key's time is part of
// the key that was being looked for.
void DrillSession::countRightKey(char key, quint32 nowMs)
{
    const qint64 ms = quint32(nowMs - lastRightMs_);
    lastRightMs_ = nowMs;
    ++tally_.rightKeys[key];
    tally_.keyMs[key] += ms;
    kanaMs_ += ms;
}

void DrillSession::countKana(const QString &kana, qint64 &ms)
{
    ++tally_.kanaTyped[kana];
    tally_.kanaMs[kana] += ms;
    ms = 0;
}

KeyOutcome DrillSession::judgeKey(char key, quint32 nowMs)
{
    // Compared with what is shown, so "LevelN" after a level change takes no key.
    const QString expected = mainText_.toLower();
    if (QString(QLatin1Char(key)) != expected)
        return wrongKey({}, expected, key);
    countRightKey(key, nowMs);
    ++itemCounter_;
    // Drawn before the end is known: the last key of a random run draws once more.
    const int position = nextPosition();
    if (itemCounter_ > int(workText_.size())) {
        finish(nowMs);
        return KeyOutcome::Finished;
    }
    const QString next = workText_.mid(position - 1, 1);
    mainText_ = next.toUpper();
    setHint(next.toLower());
    return KeyOutcome::ItemDone;
}

KeyOutcome DrillSession::judgeSyllable(char key, quint32 nowMs)
{
    const QString ch{QLatin1Char(key)};
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (itemIndex_ >= rangeFirst_ && itemIndex_ <= rangeLast_) {
        // Read at every key, so that a new romaji choice counts from the next letter on.
        const QString expected = romaji_.romaji(itemIndex_);
        // A choice that made the entry shorter than what was typed restarts the syllable
        // rather than expecting a letter that no longer exists.
        if (letterPos_ < 1 || letterPos_ > expected.size())
            letterPos_ = 1;
        const QString letter = expectedLetter(expected, letterPos_);
        if (ch == letter) {
            countRightKey(key, nowMs);
            if (letterPos_ < expected.size()) {
                ++letterPos_;
                outcome = KeyOutcome::Advanced;
            } else {
                countKana(kanaAt(itemIndex_), kanaMs_);
                letterPos_ = 1;
                ++itemCounter_;
                itemIndex_ = nextItemIndex();
                outcome = KeyOutcome::ItemDone;
            }
        } else {
            outcome = wrongKey(kanaAt(itemIndex_), letter, key);
        }
    }
    // Also reached with a key outside the range: a level changed to a shorter one ends here.
    if (itemCounter_ > itemCount()) {
        finish(nowMs);
        itemIndex_ = 0;
        return KeyOutcome::Finished;
    }
    const QString expected = romaji_.romaji(itemIndex_);
    mainText_ = kanaAt(itemIndex_);
    readingText_ = maskTyped(expected, letterPos_ - 1);
    setHint(expectedLetter(expected, letterPos_));
    return outcome;
}

void DrillSession::countPhraseLetter(char key, bool syllableDone, quint32 nowMs)
{
    countRightKey(key, nowMs);
    const bool doubled = syllableDoubled_[syllableNo_];
    if (doubled && letterPos_ == 1) {
        smallTsuMs_ = std::exchange(kanaMs_, 0);
        return;
    }
    if (!syllableDone)
        return;
    if (doubled) {
        countKana(phraseKanaAt(1), smallTsuMs_);
        countKana(phraseKanaAt(2), kanaMs_);
    } else {
        countKana(phraseKanaAt(1), kanaMs_);
    }
}

KeyOutcome DrillSession::judgePhrase(char key, quint32 nowMs)
{
    const QString ch{QLatin1Char(key)};
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (itemIndex_ >= rangeFirst_ && itemIndex_ <= rangeLast_) {
        const bool validSyllable = syllableNo_ >= 1 && syllableNo_ <= maxSyllables;
        const QString syllable = validSyllable ? syllableRomaji_[syllableNo_] : QString();
        const QString letter = expectedLetter(syllable, letterPos_);
        if (ch != letter) {
            // The display stays as it was, hint included.
            outcome = wrongKey(phraseKanaAt(letterPos_), letter, key);
        } else if (letterPos_ < syllable.size() || syllableNo_ < syllableCount_) {
            countPhraseLetter(key, letterPos_ == syllable.size(), nowMs);
            if (letterPos_ < syllable.size()) {
                ++letterPos_;
            } else {
                letterPos_ = 1;
                ++syllableNo_;
            }
            ++typedLetters_;
            // The letters typed and the spaces passed between the syllables.
            romajiLine_ = maskTyped(romajiLine_, typedLetters_ + syllableNo_ - 1);
            readingText_ = romajiLine_;
            setHint(syllableNo_ <= maxSyllables
                        ? expectedLetter(syllableRomaji_[syllableNo_], letterPos_)
                        : QString());
            outcome = KeyOutcome::Advanced;
        } else {
            countPhraseLetter(key, true, nowMs);
            // The next phrase is decoded and shown even after the last one, until the end
            // below replaces it.
            ++itemCounter_;
            itemIndex_ = nextItemIndex();
            decode(itemIndex_);
            mainText_ = drillText_;
            readingText_ = romajiLine_;
            setHint(expectedLetter(syllableRomaji_[1], 1));
            outcome = KeyOutcome::ItemDone;
        }
    }
    if (itemCounter_ > itemCount()) {
        finish(nowMs);
        return KeyOutcome::Finished;
    }
    return outcome;
}
