// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drillsession.h"

#include "core/levels.h"
#include "core/runrules.h"
#include "core/weakspots.h"

#include <QStringList>

#include <algorithm>

#include <utility>

DrillSession::DrillSession(RandomSource random) : random_(std::move(random))
{
    selectLevel(level_);
}

void DrillSession::selectLevel(int level)
{
    level_ = level;
    if (level == weakKeysLevel) {
        levelKeys_ = weakKeys_;
    } else if (const LevelInfo *info = levelInfo(level)) {
        levelToStore_ = level;
        if (info->keyString) {
            levelKeys_ = QString::fromLatin1(info->keyString);
        } else {
            rangeFirst_ = info->rangeFirst;
            rangeLast_ = info->rangeLast;
        }
    } else if (level != weakKanaLevel) { // whose items are the kana of weakKana_
        level_ = 1;
        levelToStore_ = 1;
        levelKeys_ = QString::fromLatin1(alphabetKeys);
    }
    mainText_ = levelTitle();
    readingText_.clear();
    // Outside a run no item is shown, so no key is lit either; a run goes on with its hint.
    if (!running_)
        hintKey_.clear();
}

void DrillSession::setWeakItems(const QStringList &items)
{
    weakKeys_.clear();
    weakKana_.clear();
    for (const QString &item : items) {
        if (weakDrillable(WeakKind::Keys, item))
            weakKeys_ += item;
        else if (weakDrillable(WeakKind::Kana, item))
            weakKana_.push_back(kanaIndex(item));
    }
    if (level_ == weakKeysLevel)
        levelKeys_ = weakKeys_;
}

QString DrillSession::levelTitle() const
{
    return isWeakDrill(level_) ? levelName(level_) : QStringLiteral("Level%1").arg(level_);
}

void DrillSession::start(quint32 nowMs)
{
    runKeys_ = levelKeys_;
    startMs_ = nowMs;
    errorCount_ = 0;
    tally_ = {};
    lastRightMs_ = nowMs;
    kanaMs_ = 0;
    running_ = true;
    // Key levels show no reading; the other levels show their item's below.
    readingText_.clear();
    showFirstItem();
    itemNumber_ = 1;
}

void DrillSession::stop()
{
    // The clock and the error count stay as they were until the next Start.
    runKeys_ = levelKeys_;
    running_ = false;
    showFirstItem();
    itemNumber_ = 1;
}

KeyResult DrillSession::keyTyped(char key, quint32 nowMs)
{
    const int errorsBefore = errorCount_;
    const KeyOutcome outcome = judge(key, nowMs);
    // The count is reset when a run finishes: its result holds the errors then.
    const int errorsAfter = outcome == KeyOutcome::Finished ? result_.errors : errorCount_;
    return {outcome, errorsAfter > errorsBefore};
}

KeyOutcome DrillSession::judge(char key, quint32 nowMs)
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
        const QString first = runKeys_.left(1);
        mainText_ = first.toUpper();
        setHint(first.toLower());
        break;
    }
    case LevelGroup::Syllable:
        entryIndex_ = level_ == weakKanaLevel ? (weakKana_.empty() ? 0 : weakKana_.front())
                                              : rangeFirst_;
        mainText_ = kanaAt(entryIndex_);
        readingText_ = romaji_.romaji(entryIndex_);
        setHint(expectedLetter(readingText_, 1));
        letterPos_ = 1;
        if (freeRomaji_)
            startFreeItem();
        break;
    case LevelGroup::Phrase:
        letterPos_ = 1;
        entryIndex_ = rangeFirst_;
        decode(rangeFirst_);
        mainText_ = phraseKana_;
        readingText_ = romajiLine_;
        setHint(expectedLetter(romajiLine_, 1));
        break;
    }
}

int DrillSession::itemCount() const
{
    // The current level decides, so a level changed during a run changes the run's length.
    if (levelGroup(level_) == LevelGroup::Key)
        return int(runKeys_.size());
    if (level_ == weakKanaLevel)
        return int(weakKana_.size());
    return rangeLast_ - rangeFirst_ + 1;
}

bool DrillSession::inMaterial(int index) const
{
    if (level_ == weakKanaLevel)
        return index > 0 && std::find(weakKana_.begin(), weakKana_.end(), index) != weakKana_.end();
    return index >= rangeFirst_ && index <= rangeLast_;
}

int DrillSession::nextPosition()
{
    if (randomOrder_)
        return 1 + random_(int(runKeys_.size()));
    return itemNumber_;
}

int DrillSession::nextItemIndex()
{
    if (level_ == weakKanaLevel) {
        const int count = int(weakKana_.size());
        const int at = randomOrder_ ? random_(count) : itemNumber_ - 1;
        return at >= 0 && at < count ? weakKana_[std::size_t(at)] : 0;
    }
    if (randomOrder_)
        return rangeFirst_ + random_(rangeLast_ - rangeFirst_ + 1);
    return rangeFirst_ + itemNumber_ - 1;
}

void DrillSession::decode(int number)
{
    const DecodedPhrase decoded = decodePhrase(romaji_, number);
    phraseKana_ = decoded.kana;
    romajiLine_ = decoded.romajiLine;
    syllableCount_ = decoded.syllableCount;
    // Slots past the new count keep an earlier phrase's pieces; the judge never reads them.
    for (int k = 1; k <= syllableCount_; ++k) {
        syllableRomaji_[k] = decoded.pieces[k];
        syllableKana_[k] = decoded.kanaPieces[k];
        syllableDoubled_[k] = decoded.doubled[k];
        syllableCode_[k] = decoded.codes[k];
    }
    syllableNo_ = 1;
    letterPos_ = 1;
    typedLetters_ = 0;
    if (freeRomaji_)
        startFreeItem();
}

void DrillSession::finish(quint32 nowMs)
{
    result_ = {level_, secondsFromTenths(elapsedTenths(startMs_, nowMs)), errorCount_,
               randomOrder_};
    startMs_ = 0;
    errorCount_ = 0;
    running_ = false;
    mainText_ = levelTitle();
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
    ++itemNumber_;
    // Drawn before the end is known: the last key of a random run draws once more.
    const int position = nextPosition();
    if (itemNumber_ > int(runKeys_.size())) {
        finish(nowMs);
        return KeyOutcome::Finished;
    }
    const QString next = runKeys_.mid(position - 1, 1);
    mainText_ = next.toUpper();
    setHint(next.toLower());
    return KeyOutcome::ItemDone;
}

KeyOutcome DrillSession::judgeSyllable(char key, quint32 nowMs)
{
    if (freeRomaji_)
        return judgeSyllableFree(key, nowMs);
    const QString ch{QLatin1Char(key)};
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (inMaterial(entryIndex_)) {
        // Read at every key, so that a new romaji choice counts from the next letter on.
        const QString expected = romaji_.romaji(entryIndex_);
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
                countKana(kanaAt(entryIndex_), kanaMs_);
                letterPos_ = 1;
                ++itemNumber_;
                entryIndex_ = nextItemIndex();
                outcome = KeyOutcome::ItemDone;
            }
        } else {
            outcome = wrongKey(kanaAt(entryIndex_), letter, key);
        }
    }
    // Also reached with a key outside the range: a level changed to a shorter one ends here.
    if (itemNumber_ > itemCount()) {
        finish(nowMs);
        entryIndex_ = 0;
        return KeyOutcome::Finished;
    }
    const QString expected = romaji_.romaji(entryIndex_);
    mainText_ = kanaAt(entryIndex_);
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
    if (freeRomaji_)
        return judgePhraseFree(key, nowMs);
    const QString ch{QLatin1Char(key)};
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (inMaterial(entryIndex_)) {
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
            ++itemNumber_;
            entryIndex_ = nextItemIndex();
            decode(entryIndex_);
            mainText_ = phraseKana_;
            readingText_ = romajiLine_;
            setHint(expectedLetter(syllableRomaji_[1], 1));
            outcome = KeyOutcome::ItemDone;
        }
    }
    if (itemNumber_ > itemCount()) {
        finish(nowMs);
        return KeyOutcome::Finished;
    }
    return outcome;
}

// ---- Free romaji -----------------------------------------------------------------------

void DrillSession::setFreeRomaji(bool on)
{
    if (on == freeRomaji_)
        return;
    freeRomaji_ = on;
    const LevelGroup group = levelGroup(level_);
    if (!running_ || group == LevelGroup::Key)
        return;
    // The item shown goes on from its current syllable, typed afresh.
    letterPos_ = 1;
    if (on) {
        startFreeItem();
        showFreeItem();
    } else if (group == LevelGroup::Syllable) {
        readingText_ = romaji_.romaji(entryIndex_);
        setHint(expectedLetter(readingText_, 1));
    } else {
        QStringList pieces;
        typedLetters_ = 0;
        for (int k = 1; k <= syllableCount_; ++k) {
            pieces << syllableRomaji_[k];
            if (k < syllableNo_)
                typedLetters_ += int(syllableRomaji_[k].size());
        }
        romajiLine_ = maskTyped(pieces.join(u' '), typedLetters_ + syllableNo_ - 1);
        readingText_ = romajiLine_;
        setHint(syllableNo_ <= syllableCount_ ? expectedLetter(syllableRomaji_[syllableNo_], 1)
                                              : QString());
    }
}

void DrillSession::startFreeItem()
{
    std::vector<FreeSyllable> syllables;
    if (levelGroup(level_) == LevelGroup::Syllable) {
        syllables.push_back({entryIndex_, false});
        free_.setItem(romaji_, syllables);
        freeEntry_ = entryIndex_;
        return;
    }
    for (int k = 1; k <= syllableCount_; ++k)
        syllables.push_back({syllableCode_[k], syllableDoubled_[k]});
    free_.setItem(romaji_, syllables, syllableNo_ - 1);
    freeEntry_ = 0;
}

void DrillSession::showFreeItem()
{
    mainText_ = levelGroup(level_) == LevelGroup::Syllable ? kanaAt(entryIndex_) : phraseKana_;
    readingText_ = free_.reading();
    if (levelGroup(level_) == LevelGroup::Phrase)
        romajiLine_ = readingText_;
    const char next = free_.expected();
    setHint(next ? QString(QLatin1Char(next)) : QString());
}

KeyOutcome DrillSession::judgeSyllableFree(char key, quint32 nowMs)
{
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (inMaterial(entryIndex_)) {
        // A new romaji choice counts from the next syllable begun; a level changed from a
        // phrase level leaves a phrase's item behind.
        if (free_.typed().empty() || freeEntry_ != entryIndex_)
            startFreeItem();
        const char expected = free_.expected();
        const FreeRomaji::Step step = free_.type(key);
        if (!step.right) {
            outcome = wrongKey(kanaAt(entryIndex_),
                               expected ? QString(QLatin1Char(expected)) : QString(), key);
        } else if (!step.itemDone) {
            countRightKey(key, nowMs);
            outcome = KeyOutcome::Advanced;
        } else {
            countRightKey(key, nowMs);
            countKana(kanaAt(entryIndex_), kanaMs_);
            ++itemNumber_;
            entryIndex_ = nextItemIndex();
            startFreeItem();
            outcome = KeyOutcome::ItemDone;
        }
    }
    if (itemNumber_ > itemCount()) {
        finish(nowMs);
        entryIndex_ = 0;
        return KeyOutcome::Finished;
    }
    showFreeItem();
    return outcome;
}

KeyOutcome DrillSession::judgePhraseFree(char key, quint32 nowMs)
{
    // The kana a letter of syllable k (1-based) types: the small tsu of a doubled one while
    // its lead letters are typed.
    const auto kanaOf = [this](int k, bool lead) {
        if (k < 1 || k > syllableCount_)
            return QString();
        const QString &kana = syllableKana_[k];
        return syllableDoubled_[k] ? (lead ? kana.left(1) : kana.mid(1)) : kana;
    };
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (inMaterial(entryIndex_)) {
        const char expected = free_.expected();
        const int before = free_.syllable() + 1;
        const QString missed = kanaOf(before, free_.typingLead());
        const FreeRomaji::Step step = free_.type(key);
        if (!step.right) {
            // The display stays as it was, hint included.
            outcome = wrongKey(missed, expected ? QString(QLatin1Char(expected)) : QString(), key);
        } else {
            countRightKey(key, nowMs);
            // One key can end more than one kana (a single-n ん and what follows it): their
            // time is shared out evenly.
            QStringList done;
            for (int k = before; k < before + step.syllablesDone; ++k) {
                done << kanaOf(k, true);
                if (syllableDoubled_[k])
                    done << kanaOf(k, false);
            }
            const qint64 total = kanaMs_;
            for (qsizetype n = 0; n < done.size(); ++n) {
                qint64 share = total / done.size() + (n == 0 ? total % done.size() : 0);
                countKana(done[n], share);
            }
            if (!done.isEmpty())
                kanaMs_ = 0;
            syllableNo_ = free_.syllable() + 1;
            if (step.itemDone) {
                ++itemNumber_;
                entryIndex_ = nextItemIndex();
                decode(entryIndex_);
                outcome = KeyOutcome::ItemDone;
            } else {
                outcome = KeyOutcome::Advanced;
            }
            showFreeItem();
        }
    }
    if (itemNumber_ > itemCount()) {
        finish(nowMs);
        return KeyOutcome::Finished;
    }
    return outcome;
}
