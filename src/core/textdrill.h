// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/romajimatch.h"
#include "core/rubytext.h"
#include "core/runlogreader.h"
#include "core/textmaterial.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace rinkaro
{

// The material compiled into the program for a text drill level (checked when it was built).
std::vector<RubyLine> builtInTextMaterial(int level);

// How many written characters of an item its first `readingTyped` reading characters
// cover: a word with its reading given once that reading is typed whole, text read as
// written character by character.
int writtenDone(const RubyLine &line, int readingTyped);

// The key that types a character, as a caption, for the characters that the on-screen
// keyboard has no key for ("Shift + 1" for '!', "-" for '-'); empty for those it has.
QString offKeyboardCaption(char key);

// The figures of a finished text run: kana per minute and right keys in all keys pressed.
struct TextRunFigures {
    int kana = 0;
    double kanaPerMinute = 0;
    double accuracy = 0; // 0..1
};
TextRunFigures textRunFigures(const RunTally &tally, double seconds, int errors);
TextRunFigures textRunFigures(const RunLogLine &line);
// What the typing-time dialog says of a text run: its speed and accuracy and the drill's
// best speed before it ("—" for none), with a word when the run beats that.
QString textRunSummary(const TextRunFigures &run, double bestBefore);

// One run of a text drill at a time: the items in order or drawn at random, the item being
// typed with its reading split into syllables, and how much of it is typed. The keys are
// judged by whoever types the syllables; this marks what they say is done.
class TextDrill
{
public:
    using RandomSource = std::function<int(int n)>;

    // The items to drill, an ordered run starting from item `position` (0-based).
    void setItems(std::vector<RubyLine> items, int position = 0);
    void setRunLength(int items, int kana);
    int itemCount() const { return int(items_.size()); }
    // The item an ordered run starts from: after the last one typed whole.
    int position() const { return position_; }

    // Chooses the run's items and makes the first current; nothing when there are no items.
    void startRun(bool randomOrder, const RandomSource &random);
    bool running() const { return current_ >= 0; }
    void stop() { current_ = -1; }
    // The run's items and the one being typed (0-based).
    int runLength() const { return int(run_.size()); }
    int runIndex() const { return runIndex_; }

    // The current item's reading in the syllables it is typed by.
    const ReadingSplit &split() const { return split_; }
    // How many of those syllables are typed.
    void setSyllablesDone(int done);
    // The current item is typed whole: the run's next one becomes current. False when that
    // was the run's last.
    bool nextItem();

    // What is shown of the item being typed (empty outside a run).
    QString written() const;
    QString reading() const;
    int readingTyped() const;
    int writtenDone() const;

private:
    void makeCurrent();
    int itemNumber() const { return run_[std::size_t(runIndex_)]; }

    std::vector<RubyLine> items_;
    int position_ = 0;
    int runItems_ = 20;
    int runKana_ = 0;
    bool randomRun_ = false;
    std::vector<int> run_;
    int runIndex_ = 0;
    int current_ = -1; // the item being typed, -1 outside a run
    ReadingSplit split_;
    int syllablesDone_ = 0;
};

// The reading row of a text item: its syllables' romaji (`reading`, of which the first
// `typedCount` characters are typed) from a little before the syllable under way, cut
// between syllables to the row's 40 characters.
QString textRomajiRow(const QString &reading, int typedCount);

// Where an ordered run of a text drill goes on, kept in RK.ini ([drills] words=12): the item
// after the last one typed, 0 when the file has none. Read and written as the input options
// are: only a plain file, each drill's key alone, everything else in the file kept.
int readDrillPosition(const QString &path, const QString &drill);
bool saveDrillPosition(const QString &path, const QString &drill, int position);

} // namespace rinkaro
