// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runspeech.h"

#include <QCoreApplication>
#include <QStringList>

#include <utility>

namespace rinkaro
{

QString romajiLeft(const RunView &view)
{
    if (view.reading.isEmpty())
        return view.text;
    qsizetype typed = 0;
    while (typed < view.reading.size() && view.reading.at(typed) == QLatin1Char('_'))
        ++typed;
    return view.reading.mid(typed).simplified();
}

QString RunSpeech::next(const RunView &view)
{
    const RunView last = std::exchange(last_, view);
    QString words;
    if (view.item != last.item || view.text != last.text) {
        const QString reading = view.reading.simplified();
        words = reading.isEmpty()
                    ? view.text
                    //: An item and its reading, as a screen reader says them.
                    : QCoreApplication::translate("RunSpeech", "%1、%2").arg(view.text, reading);
    } else if (view.errors > last.errors) {
        // The first letter left is the one expected.
        words = QCoreApplication::translate("RunSpeech", "ミス %1、次は %2")
                    .arg(view.errors)
                    .arg(romajiLeft(view).left(1));
    } else {
        // A syllable of a phrase done: a syllable fewer is left, the first one whole.
        const QString left = romajiLeft(view);
        const qsizetype syllables = left.split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
        const qsizetype before =
            romajiLeft(last).split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
        if (syllables > 0 && syllables < before)
            words = QCoreApplication::translate("RunSpeech", "あと %1").arg(left);
    }
    return words;
}

} // namespace rinkaro
