// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/romaji.h"
#include "core/romajimatch.h"
#include "core/runlog.h"
#include "core/textdrill.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <functional>
#include <vector>

namespace rinkaro
{

// What one typed character did to a run.
enum class KeyOutcome {
    Ignored,  // not judged: no run, or the run's item lies outside the level's items
    Wrong,    // counted as an error: the window beeps
    Advanced, // a right letter inside an item
    ItemDone, // a right key that finished an item; the next one is shown
    Finished, // a right key that finished the run: result() holds it
};

// What one typed character did, and whether it counted an error (the window beeps then).
// A wrong key can also end a run, when the level was changed to a shorter one meanwhile.
struct KeyResult {
    KeyOutcome outcome = KeyOutcome::Ignored;
    bool errorCounted = false;
};

// A finished run, as the typing-time dialog and the records take it.
struct RunResult {
    int level = 0;
    float seconds = 0; // single precision: 123 tenths are 12.300000190734863
    int errors = 0;
    // The order mode when the run ended, which decides the table of records it goes to.
    bool randomOrder = false;
};

// One drill run at a time: the level's material, the items in ordered or random order,
// the judging of every typed character, the error count and the time, and what the drill
// area shows (the item, its reading line with the typed romaji masked, the key to light).
// Clock values come in as arguments and random numbers from the source given.
class DrillSession
{
public:
    // Uniform in 0..n-1; 0 when n <= 0.
    using RandomSource = std::function<int(int n)>;
    explicit DrillSession(RandomSource random);

    // Makes a level current: its key string or its item range, or a weak-spot drill with the
    // items last set. Any other level falls back to level 1, drilled with the A-to-Z keys. A
    // run in progress is not stopped: it goes on with the new level's material (and its lit
    // key); but a run of a text drill, or a run when a text drill is chosen, ends. Shows "LevelN"
    // (or the weak drill's name) and an empty reading line.
    void selectLevel(int level);
    int level() const { return level_; }
    // The last of the nine levels made current, which the settings file keeps.
    int levelToStore() const { return levelToStore_; }
    // The material of the weak-spot drills, in order: keys ("f") for the weak keys, kana
    // ("し") for the weak kana. A run started after this takes it.
    void setWeakItems(const QStringList &items);

    // In force from the next typed character (a phrase already decoded keeps its pieces).
    void setRomaji(const RomajiTable &table);
    const RomajiTable &romaji() const { return romaji_; }
    // Free romaji: in the syllable and phrase levels every spelling an input method takes
    // is right, and the reading line follows the one typed. Off by default. Switched
    // during a run, the item shown goes on from its current syllable, typed afresh.
    void setFreeRomaji(bool on);
    bool freeRomaji() const { return freeRomaji_; }
    // Read whenever the display is refreshed.
    void setHintShown(bool shown) { hintShown_ = shown; }
    bool hintShown() const { return hintShown_; }
    // Read at every choice of a next item, and at the end of a run for its table of records.
    void setRandomOrder(bool random) { randomOrder_ = random; }
    bool randomOrder() const { return randomOrder_; }
    // The weights a random run of a level 1-9 draws its items by (see favouredDraw); empty,
    // or of another count than the level's items: all alike.
    void setFavoured(std::vector<double> weights) { favoured_ = std::move(weights); }

    // Start: the clock runs from nowMs, the error count starts at 0, the first item is
    // shown (items of a random run are drawn from the second on). A weak-spot drill without
    // items does not start: nothing could end its run. Stop: the first item is shown again
    // and nothing more is judged; no result.
    void start(quint32 nowMs);
    void stop();
    bool running() const { return running_; }

    // Judges one typed character (the text of a key press, one 8-bit character) typed at
    // the time nowMs.
    KeyResult keyTyped(char key, quint32 nowMs);
    // The last finished run.
    const RunResult &result() const { return result_; }
    // The misses, right keys and their times of the run since the last start(), kept after
    // its end.
    const RunTally &tally() const { return tally_; }

    // What the drill area shows.
    const QString &mainText() const { return mainText_; }
    const QString &readingText() const { return readingText_; }
    // The one lower-case character of the next key, for the keyboard to light (a character
    // without a key, such as "-", lights none), or "" for none.
    const QString &hintKey() const { return hintKey_; }

    // The text drills' items, run length and position: given by whoever chooses one, read
    // after a run for the position reached.
    // The name a learner's text is shown by outside a run (level 14), instead of the level's.
    void setTextTitle(const QString &title);
    TextDrill &textDrill() { return text_; }
    const TextDrill &textDrill() const { return text_; }

    // Progress of the run in progress.
    int errorCount() const { return errorCount_; }
    int itemNumber() const { return itemNumber_; } // 1-based: the run's nth item is shown
    int entryIndex() const { return entryIndex_; } // the syllable or phrase number shown
    int rangeFirst() const { return rangeFirst_; }
    const QString &levelKeys() const { return levelKeys_; } // key levels: the key string

private:
    QString levelTitle() const;
    void showFirstItem();
    int itemCount() const;
    bool inMaterial(int index) const; // syllable and phrase levels
    int drawItem(int count);
    int nextPosition();  // key levels: 1-based position in the key string
    int nextItemIndex(); // syllable and phrase levels
    void decode(int number);
    void finish(quint32 nowMs);
    void setHint(const QString &key);
    KeyOutcome wrongKey(const QString &kana, const QString &expected, char typed);
    KeyOutcome judge(char key, quint32 nowMs);
    qint64 countRightKey(char key, quint32 nowMs);
    void countKana(const QString &kana, qint64 &ms);
    KeyOutcome judgeKey(char key, quint32 nowMs);
    KeyOutcome judgeSyllable(char key, quint32 nowMs);
    KeyOutcome judgePhrase(char key, quint32 nowMs);

    // Every level of kana is judged as an item of syllables, whatever its level gives them
    // as: one kana, a decoded phrase, a split reading. setItem makes them the item typed in
    // the romaji in force, shown as `text` (`entry`: the syllable levels' entry, else -1);
    // typeItemKey judges, counts and times one key against it (Wrong, Advanced or ItemDone:
    // the caller moves on to the next item) and showItem shows it.
    void setItem(std::vector<FreeSyllable> syllables, const QString &text, int entry);
    void restartItem(int from);
    KeyOutcome typeItemKey(char key, quint32 nowMs);
    void countSyllable(int k);
    QString kanaMissed(int k, bool lead) const;
    void showItem();
    void setSyllableItem();
    void followRomaji();
    void setTextItem();
    KeyOutcome judgeText(char key, quint32 nowMs);
    void showTextItem();

    RandomSource random_;
    RomajiTable romaji_;
    bool hintShown_ = true;
    bool randomOrder_ = false;
    std::vector<double> favoured_;

    int level_ = 1;
    int levelToStore_ = 1;
    QString levelKeys_; // key levels: the level's key string
    QString weakKeys_;
    std::vector<int> weakKana_; // kana indices
    int rangeFirst_ = 0;
    int rangeLast_ = 0;

    bool running_ = false;
    quint32 startMs_ = 0;
    int errorCount_ = 0;
    int itemNumber_ = 0;
    QString runKeys_; // the key string the run was started with
    int entryIndex_ = 0;
    bool freeRomaji_ = false;

    std::vector<FreeSyllable> item_; // the syllables of the item shown, kana set
    QString itemText_;               // what the text panel shows of it
    RomajiChoices itemChoices_{};    // the romaji table they are typed in
    int itemEntry_ = -1;             // syllable levels: the entry they were set for; else -1
    FreeRomaji free_;
    bool leadDone_ = false; // the small tsu of the current doubled syllable is typed
    TextDrill text_;
    QString textTitle_;

    RunResult result_;
    RunTally tally_;
    quint32 lastRightMs_ = 0; // when the last right key (or Start) came
    qint64 kanaMs_ = 0;       // the time of the kana being typed so far
    qint64 smallTsuMs_ = 0;   // the time of the small tsu typed before its follower
    QString mainText_;
    QString readingText_;
    QString hintKey_;
};

} // namespace rinkaro
