// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rubytext.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace rinkaro
{

// The text drills: Japanese as written (words, sentences, a learner's own text), shown with
// its reading and typed by that reading in free romaji. Their material is checked when the
// program is built, by a tool made of this file and the parsers it uses.

// What one text drill takes from its material and how long its runs are.
struct TextDrillKind {
    int level;
    const char *name; // of its data file (name.txt) and of its place in RK.ini
    int shortest;     // written characters of an item
    int longest;      // a longer one would not fit the text panel
    int runItems;     // items of a run
    int runKana;      // a run also ends once it holds this many kana; 0: no bound
};
// The kind of a text drill level; nullptr for any other level.
const TextDrillKind *textDrillKind(int level);
const TextDrillKind *textDrillKind(QStringView name);

// What is wrong with one item for drilling, in English; empty when nothing is.
QString textItemFault(const RubyLine &line, int shortest, int longest);

// The items of a data file: one per line in ruby notation; blank lines and lines starting
// with '#' are passed over.
struct TextMaterial {
    std::vector<RubyLine> items;
    int errorLine = 0; // 1-based line of the first faulty item; 0 when there is none
    QString error;
};
TextMaterial readTextMaterial(QStringView text, int shortest, int longest);

} // namespace rinkaro
