// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/textdrill.h"

#include "core/inputoptions.h"
#include "core/keytable.h"
#include "core/levels.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>

namespace rinkaro
{

std::vector<RubyLine> builtInTextMaterial(int level)
{
    const TextDrillKind *kind = textDrillKind(level);
    if (!kind)
        return {};
    QFile file(QStringLiteral(":/drills/%1.txt").arg(QLatin1String(kind->name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readTextMaterial(QString::fromUtf8(file.readAll()), kind->shortest, kind->longest).items;
}

int writtenDone(const RubyLine &line, int readingTyped)
{
    int written = 0;
    int readingStart = 0;
    for (const RubySegment &segment : line) {
        const int readingEnd = readingStart + int(segment.reading.size());
        if (readingTyped >= readingEnd) {
            written += int(segment.written.size());
        } else {
            // Text read as written is marked as far as it is typed; a word only when whole.
            if (!segment.annotated && segment.reading.size() == segment.written.size())
                written += std::max(0, readingTyped - readingStart);
            break;
        }
        readingStart = readingEnd;
    }
    return written;
}

QString offKeyboardCaption(char key)
{
    if (keyForCharacter(QString(QLatin1Char(key))))
        return {};
    switch (key) {
    case '!':
        return QStringLiteral("Shift + 1");
    case '?':
        return QStringLiteral("Shift + /");
    case 0:
        return {};
    default:
        return QString(QLatin1Char(key)).toUpper();
    }
}

namespace
{

TextRunFigures figures(int kana, int rightKeys, double seconds, int errors)
{
    TextRunFigures result;
    result.kana = kana;
    result.kanaPerMinute = seconds > 0 ? kana * 60.0 / seconds : 0;
    const int pressed = rightKeys + errors;
    result.accuracy = pressed > 0 ? double(rightKeys) / pressed : 0;
    return result;
}

} // namespace

TextRunFigures textRunFigures(const RunTally &tally, double seconds, int errors)
{
    int kana = 0;
    for (const auto &[name, n] : tally.kanaTyped)
        kana += n;
    int keys = 0;
    for (const auto &[key, n] : tally.rightKeys)
        keys += n;
    return figures(kana, keys, seconds, errors);
}

TextRunFigures textRunFigures(const RunLogLine &line)
{
    int kana = 0;
    for (const RunLogLine::Count &count : line.kana)
        kana += count.n;
    int keys = 0;
    for (const RunLogLine::Count &count : line.keys)
        keys += count.n;
    return figures(kana, keys, line.seconds, line.errors);
}

QString textRunSummary(const TextRunFigures &run, double bestBefore)
{
    const QLocale c = QLocale::c();
    const auto speed = [&c](double kanaPerMinute) {
        return QCoreApplication::translate("TextDrill", "%1 かな/分")
            .arg(c.toString(kanaPerMinute, 'f', 0));
    };
    QString summary =
        QCoreApplication::translate("TextDrill", "速さ %1　正確さ %2%　これまでの最高 %3")
            .arg(speed(run.kanaPerMinute), c.toString(run.accuracy * 100, 'f', 1),
                 bestBefore > 0 ? speed(bestBefore) : QStringLiteral("—"));
    // Rounded as shown, so that "120" never beats "120".
    if (bestBefore > 0 && std::round(run.kanaPerMinute) > std::round(bestBefore))
        summary += QCoreApplication::translate("TextDrill", "　最高記録！");
    return summary;
}

// ---- Runs ------------------------------------------------------------------------------

void TextDrill::setItems(std::vector<RubyLine> items, int position)
{
    items_ = std::move(items);
    position_ = position >= 0 && position < int(items_.size()) ? position : 0;
    current_ = -1;
}

void TextDrill::setRunLength(int items, int kana)
{
    runItems_ = std::max(1, items);
    runKana_ = std::max(0, kana);
}

void TextDrill::startRun(bool randomOrder, const RandomSource &random)
{
    run_.clear();
    current_ = -1;
    const int count = int(items_.size());
    if (count == 0)
        return;
    randomRun_ = randomOrder;
    int kana = 0;
    // An ordered run that reaches the end goes on from the first item; no run is longer than
    // the material.
    const int length = std::min(runItems_, count);
    for (int next = position_; int(run_.size()) < length && (runKana_ == 0 || kana < runKana_);
         next = (next + 1) % count) {
        const int item = randomOrder ? std::clamp(random(count), 0, count - 1) : next;
        run_.push_back(item);
        kana += int(readingText(items_[std::size_t(item)]).size());
    }
    runIndex_ = 0;
    makeCurrent();
}

void TextDrill::makeCurrent()
{
    current_ = itemNumber();
    split_ = splitReading(readingText(items_[std::size_t(current_)]));
    syllablesDone_ = 0;
}

void TextDrill::setSyllablesDone(int done)
{
    syllablesDone_ = std::clamp(done, 0, int(split_.ends.size()));
}

bool TextDrill::nextItem()
{
    if (!running())
        return false;
    if (!randomRun_)
        position_ = (current_ + 1) % int(items_.size());
    if (++runIndex_ >= int(run_.size())) {
        current_ = -1;
        return false;
    }
    makeCurrent();
    return true;
}

QString TextDrill::written() const
{
    return running() ? writtenText(items_[std::size_t(current_)]) : QString();
}

QString TextDrill::reading() const
{
    return running() ? readingText(items_[std::size_t(current_)]) : QString();
}

int TextDrill::readingTyped() const
{
    if (!running())
        return 0;
    return syllablesDone_ > 0 ? split_.ends[std::size_t(syllablesDone_ - 1)] : 0;
}

int TextDrill::writtenDone() const
{
    return running() ? rinkaro::writtenDone(items_[std::size_t(current_)], readingTyped()) : 0;
}

QString textRomajiRow(const QString &reading, int typedCount)
{
    // A sentence's romaji is longer than the row: from a little of what was typed (so that
    // the learner sees the syllable under way) as far as fits, cut between syllables.
    constexpr qsizetype room = 40;
    constexpr int typedShown = 6;
    QString row = reading.mid(std::max(0, typedCount - typedShown));
    if (row.size() > room) {
        const qsizetype cut = row.lastIndexOf(u' ', room);
        row.truncate(cut > 0 ? cut : room);
    }
    return row;
}

// ---- Positions -------------------------------------------------------------------------

namespace
{

const QString positionGroup = QStringLiteral("drills");

} // namespace

int readDrillPosition(const QString &path, const QString &drill)
{
    const std::optional<IniText> ini = readIniFile(path);
    if (!ini)
        return 0;
    bool ok = false;
    const int position = ini->value(positionGroup, drill).value_or(QString()).toInt(&ok);
    return ok && position >= 0 ? position : 0;
}

bool saveDrillPosition(const QString &path, const QString &drill, int position)
{
    return saveIniValues(path, {{positionGroup, drill, QString::number(position)}});
}

} // namespace rinkaro
