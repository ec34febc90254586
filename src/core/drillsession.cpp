// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drillsession.h"

#include "core/levels.h"
#include "core/presstimes.h"
#include "core/runrules.h"
#include "core/weakspots.h"

#include <QStringList>

#include <algorithm>

#include <utility>

namespace rinkaro
{

DrillSession::DrillSession(RandomSource random) : random_(std::move(random))
{
    selectLevel(level_);
}

void DrillSession::selectLevel(int level)
{
    // A text run cannot go on with other material, nor another drill's run with a text: it
    // ends without a result.
    if (running_ && level != level_ && (isTextDrill(level) || isTextDrill(level_)))
        stop();
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
    } else if (isTextDrill(level)) {
        // Its items come from whoever chose it (textDrill()).
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

void DrillSession::setRomaji(const RomajiTable &table)
{
    romaji_ = table;
    // A text item goes on in the new spelling from its current syllable, typed afresh.
    if (!running_ || !isTextDrill(level_) || !text_.running())
        return;
    itemChoices_ = romaji_.choices();
    restartItem(free_.syllable());
    showTextItem();
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

void DrillSession::setTextTitle(const QString &title)
{
    textTitle_ = title;
    if (!running_)
        mainText_ = levelTitle();
}

QString DrillSession::levelTitle() const
{
    if (level_ == ownTextLevel && !textTitle_.isEmpty())
        return textTitle_;
    return isWeakDrill(level_) || isTextDrill(level_) ? levelName(level_)
                                                      : QStringLiteral("Level%1").arg(level_);
}

void DrillSession::start(quint32 nowMs)
{
    if ((level_ == weakKeysLevel && weakKeys_.isEmpty()) ||
        (level_ == weakKanaLevel && weakKana_.empty()))
        return;
    runKeys_ = levelKeys_;
    startMs_ = nowMs;
    errorCount_ = 0;
    tally_ = {};
    lastRightMs_ = nowMs;
    kanaMs_ = 0;
    smallTsuMs_ = 0;
    running_ = true;
    // Key levels show no reading; the other levels show their item's below.
    readingText_.clear();
    if (isTextDrill(level_))
        text_.startRun(randomOrder_, random_);
    showFirstItem();
    itemNumber_ = 1;
}

void DrillSession::stop()
{
    // The clock and the error count stay as they were until the next Start.
    runKeys_ = levelKeys_;
    running_ = false;
    text_.stop();
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
    if (isTextDrill(level_))
        return judgeText(key, nowMs);
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
    if (isTextDrill(level_)) {
        if (text_.running())
            setTextItem();
        showTextItem();
        return;
    }
    switch (levelGroup(level_)) {
    case LevelGroup::Key: {
        const QString first = runKeys_.left(1);
        mainText_ = first.toUpper();
        setHint(first.toLower());
        break;
    }
    case LevelGroup::Syllable:
        entryIndex_ =
            level_ == weakKanaLevel ? (weakKana_.empty() ? 0 : weakKana_.front()) : rangeFirst_;
        setSyllableItem();
        showItem();
        break;
    case LevelGroup::Phrase:
        entryIndex_ = rangeFirst_;
        decode(rangeFirst_);
        showItem();
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
    if (isTextDrill(level_))
        return text_.runLength();
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
        return 1 + drawItem(int(runKeys_.size()));
    return itemNumber_;
}

int DrillSession::drawItem(int count)
{
    // The weak-spot drills draw their own material.
    if (isLevel(level_) && favoured_.size() == std::size_t(count))
        return int(drawWeighted(favoured_, random_));
    return random_(count);
}

int DrillSession::nextItemIndex()
{
    if (level_ == weakKanaLevel) {
        const int count = int(weakKana_.size());
        const int at = randomOrder_ ? random_(count) : itemNumber_ - 1;
        return at >= 0 && at < count ? weakKana_[std::size_t(at)] : 0;
    }
    if (randomOrder_)
        return rangeFirst_ + drawItem(rangeLast_ - rangeFirst_ + 1);
    return rangeFirst_ + itemNumber_ - 1;
}

void DrillSession::decode(int number)
{
    const DecodedPhrase decoded = decodePhrase(romaji_, number);
    std::vector<FreeSyllable> syllables;
    syllables.reserve(std::size_t(decoded.syllableCount));
    for (int k = 1; k <= decoded.syllableCount; ++k)
        syllables.push_back({decoded.codes[k], decoded.doubled[k], decoded.kanaPieces[k]});
    // A choice made later counts from the next phrase.
    setItem(std::move(syllables), decoded.kana, -1);
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

// A right key takes the time since the right key before it: a wrong key's time is part of
// the key that was being looked for.
qint64 DrillSession::countRightKey(char key, quint32 nowMs)
{
    const qint64 ms = cappedPressMs(quint32(nowMs - lastRightMs_));
    lastRightMs_ = nowMs;
    ++tally_.rightKeys[key];
    tally_.keyMs[key] += ms;
    return ms;
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
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (inMaterial(entryIndex_)) {
        followRomaji();
        outcome = typeItemKey(key, nowMs);
        if (outcome == KeyOutcome::ItemDone) {
            ++itemNumber_;
            entryIndex_ = nextItemIndex();
            setSyllableItem();
        }
    }
    // Also reached with a key outside the range: a level changed to a shorter one ends here.
    if (itemNumber_ > itemCount()) {
        finish(nowMs);
        entryIndex_ = 0;
        return KeyOutcome::Finished;
    }
    // A wrong key refreshes the display too.
    showItem();
    return outcome;
}

KeyOutcome DrillSession::judgePhrase(char key, quint32 nowMs)
{
    KeyOutcome outcome = KeyOutcome::Ignored;
    if (inMaterial(entryIndex_)) {
        outcome = typeItemKey(key, nowMs);
        if (outcome == KeyOutcome::ItemDone) {
            // The next phrase is decoded and shown even after the last one, until the end
            // below replaces it.
            ++itemNumber_;
            entryIndex_ = nextItemIndex();
            decode(entryIndex_);
        }
        // After a wrong key the display stays as it was, hint included.
        if (outcome != KeyOutcome::Wrong)
            showItem();
    }
    if (itemNumber_ > itemCount()) {
        finish(nowMs);
        return KeyOutcome::Finished;
    }
    return outcome;
}

// ---- The item of syllables -------------------------------------------------------------

void DrillSession::setFreeRomaji(bool on)
{
    if (on == freeRomaji_)
        return;
    freeRomaji_ = on;
    // The text drills are always typed in free romaji.
    if (!running_ || levelGroup(level_) == LevelGroup::Key || isTextDrill(level_))
        return;
    // The item shown goes on from its current syllable, typed afresh.
    restartItem(free_.syllable());
    showItem();
}

void DrillSession::setItem(std::vector<FreeSyllable> syllables, const QString &text, int entry)
{
    item_ = std::move(syllables);
    itemText_ = text;
    itemChoices_ = romaji_.choices();
    itemEntry_ = entry;
    restartItem(0);
}

void DrillSession::restartItem(int from)
{
    // The text drills are always typed in free romaji.
    const auto spellings = freeRomaji_ || isTextDrill(level_) ? FreeRomaji::Spellings::Free
                                                              : FreeRomaji::Spellings::Table;
    // A table is built only when the choices changed after the item was set.
    if (itemChoices_ == romaji_.choices())
        free_.setItem(romaji_, item_, from, spellings);
    else
        free_.setItem(RomajiTable(itemChoices_), item_, from, spellings);
    leadDone_ = false;
}

void DrillSession::setSyllableItem()
{
    const QString kana = kanaAt(entryIndex_);
    setItem({{entryIndex_, false, kana}}, kana, entryIndex_);
}

// Syllable levels take a new romaji choice from the next key on, even in the middle of a
// syllable (where the letters typed stand, unless the new spelling is no longer than they
// are); free romaji from the next syllable begun.
void DrillSession::followRomaji()
{
    // A level changed from a phrase level leaves a phrase behind.
    if (itemEntry_ != entryIndex_) {
        setSyllableItem();
        return;
    }
    if (itemChoices_ == romaji_.choices())
        return;
    const int typed = int(free_.typed().size());
    if (freeRomaji_ && typed > 0)
        return;
    setSyllableItem();
    if (typed < int(free_.shown().size()))
        free_.resumeAt(typed);
}

// The kana a key of syllable k types: the small tsu of a doubled one while its lead
// letters are typed, else its follower.
QString DrillSession::kanaMissed(int k, bool lead) const
{
    if (k < 0 || k >= int(item_.size()))
        return {};
    const QString &kana = item_[std::size_t(k)].kana;
    if (!item_[std::size_t(k)].doubled)
        return kana;
    return lead ? kana.left(1) : kana.mid(1);
}

// A doubled syllable counts its small tsu with the time of the letters that typed it, the
// follower with the rest.
void DrillSession::countSyllable(int k)
{
    if (item_[std::size_t(k)].doubled) {
        countKana(kanaMissed(k, true), smallTsuMs_);
        countKana(kanaMissed(k, false), kanaMs_);
    } else {
        countKana(kanaMissed(k, false), kanaMs_);
    }
    leadDone_ = false;
}

KeyOutcome DrillSession::typeItemKey(char key, quint32 nowMs)
{
    const int at = free_.syllable();
    const bool lead = free_.typingLead();
    const char expected = free_.expected();
    const FreeRomaji::Step step = free_.type(key);
    if (!step.right)
        return wrongKey(kanaMissed(at, lead), expected ? QString(QLatin1Char(expected)) : QString(),
                        key);
    const qint64 ms = countRightKey(key, nowMs);
    int k = at;
    int closed = step.syllablesDone;
    if (step.carried) {
        // ん ended with its "n"; this key began the next syllable.
        countSyllable(k++);
        --closed;
    }
    kanaMs_ += ms;
    if (closed > 0) {
        countSyllable(k);
    } else if (item_[std::size_t(k)].doubled && !leadDone_ && !free_.typingLead()) {
        smallTsuMs_ = std::exchange(kanaMs_, 0);
        leadDone_ = true;
    }
    return step.itemDone ? KeyOutcome::ItemDone : KeyOutcome::Advanced;
}

void DrillSession::showItem()
{
    mainText_ = itemText_;
    readingText_ = free_.reading();
    const char next = free_.expected();
    setHint(next ? QString(QLatin1Char(next)) : QString());
}

// ---- Text drills -----------------------------------------------------------------------

void DrillSession::setTextItem()
{
    setItem(text_.split().syllables, text_.written(), -1);
}

void DrillSession::showTextItem()
{
    if (!text_.running()) {
        mainText_ = levelTitle();
        readingText_.clear();
        hintKey_.clear();
        return;
    }
    mainText_ = itemText_;
    readingText_ = textRomajiRow(free_.reading(), free_.typedCount());
    const char next = free_.expected();
    setHint(next ? QString(QLatin1Char(next)) : QString());
}

KeyOutcome DrillSession::judgeText(char key, quint32 nowMs)
{
    if (!text_.running())
        return KeyOutcome::Ignored;
    const KeyOutcome outcome = typeItemKey(key, nowMs);
    if (outcome == KeyOutcome::Wrong)
        return outcome;
    text_.setSyllablesDone(free_.syllable());
    if (outcome == KeyOutcome::ItemDone) {
        ++itemNumber_;
        if (!text_.nextItem()) {
            finish(nowMs);
            return KeyOutcome::Finished;
        }
        setTextItem();
    }
    showTextItem();
    return outcome;
}

} // namespace rinkaro
