// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace rinkaro
{

// What a run looks like at one moment, as the drill area shows it.
struct RunView {
    int item = 0;    // the run's nth item, 0 outside a run
    QString text;    // the item ("さくら", "F")
    QString reading; // its romaji with the typed letters masked ("___KU RA"), "" in the key levels
    int errors = 0;
};

// What a screen reader is told during a run, through the focused Start button's description:
// each new item with its reading ("さくら、SA KU RA"), what is left of a phrase when one of its
// syllables is done ("あと KU RA"), and each wrong key with the count and the key expected
// ("ミス 1、次は K"). A wrong key beeps, but a muted bell says nothing.
class RunSpeech
{
public:
    // The words for `view`, or "" when nothing new is to be said (a letter typed inside a
    // syllable). An item drawn twice in a row is said twice.
    QString next(const RunView &view);
    // Outside a run: the next item is new whatever it is.
    void reset() { last_ = RunView(); }

private:
    RunView last_;
};

// The romaji still to type ("KU RA" of "___KU RA"), or the item itself in the key levels.
QString romajiLeft(const RunView &view);

} // namespace rinkaro
