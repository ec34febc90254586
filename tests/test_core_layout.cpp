// SPDX-License-Identifier: GPL-3.0-or-later
// The drill area's layouts per level group, the text panel's animations, start-up and the
// tutorial's take-over, as frames without a window.
#include "core/drillarealayout.h"
#include "core/levels.h"
#include "core/textpanelsteps.h"

#include <QTest>

#include <cmath>

using namespace rinkaro;

using Frames = DrillAreaLayout::Frames;

namespace
{

const QString keyLook = QStringLiteral("400 text 250,24 300x73");
const QString syllableLook = QStringLiteral("460 text 250,24 300x73 reading 250,104 300x57");
const QString phraseLook = QStringLiteral("460 text 11,24 777x73 reading 11,104 777x57");

QString rect(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// What the user sees: a hidden reading line's place does not show.
QString look(const DrillAreaLayout::Geometry &g)
{
    QString text = QStringLiteral("%1 text ").arg(g.outerHeight) + rect(g.text);
    if (g.readingShown)
        text += " reading " + rect(g.reading);
    return text;
}

// The animations the frames play, as "widen narrow"; "bad" for steps out of sequence or an
// animation that does not end in its final move, "stale" for frames that do not end where the
// layout stands.
QString animations(const Frames &frames, const DrillAreaLayout &layout)
{
    QStringList played;
    for (size_t k = 0; k < frames.size(); ++k) {
        if (frames[k].animationStep != 1)
            continue;
        size_t last = k;
        while (last + 1 < frames.size() && frames[last + 1].animationStep == int(last + 2 - k))
            ++last;
        const int steps = int(last - k + 1);
        const QRect first = frames[k].geometry.text, end = frames[last].geometry.text;
        const QRect final = last + 1 < frames.size() ? frames[last + 1].geometry.text : QRect();
        if (steps == 478 && first.width() == 300 && end.width() == 777 && final.x() == 11)
            played << "widen";
        else if (steps == 477 && first.width() == 776 && end.width() == 300 && final.x() == 250)
            played << "narrow";
        else
            played << "bad";
        k = last;
    }
    if (!frames.empty() && !(frames.back().geometry == layout.geometry()))
        played << "stale";
    return played.join(' ');
}

QString groupLook(int level)
{
    // The weak kana are drilled as syllables, the weak keys as keys; the text drills take the
    // phrase levels' wide panel.
    if ((level >= 7 && level <= 9) || isTextDrill(level))
        return phraseLook;
    return (level >= 5 && level <= 6) || level == 11 ? syllableLook : keyLook;
}

} // namespace

class CoreLayoutTest : public QObject
{
    Q_OBJECT
private slots:
    void widenLeftMatchesTheTruncatedProduct();
    void widenLeftAtItsSamplePoints_data();
    void widenLeftAtItsSamplePoints();
    void animationsStepOnePixelAtATime();
    void everyLevelToEveryLevel_data();
    void everyLevelToEveryLevel();
    void startUp_data();
    void startUp();
    void tutorialTakesTheWidePanelAndGivesItBack_data();
    void tutorialTakesTheWidePanelAndGivesItBack();
    void tallKeyLevelLetsOnlyTheWidthRulesFire();
};

void CoreLayoutTest::widenLeftMatchesTheTruncatedProduct()
{
    // The left edge is 250 - i * 0.2941176470588235371 truncated: the factor lies just
    // above 5/17, which makes the multiples of 17 land one pixel lower.
    for (int i = widenFirstWidth; i <= widenLastWidth; ++i)
        QCOMPARE(widenStepLeft(i), int(std::trunc(250.0L - i * 0.2941176470588235371L)));
}

void CoreLayoutTest::widenLeftAtItsSamplePoints_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::newRow("300") << 300 << 161;
    QTest::newRow("306") << 306 << 159;
    QTest::newRow("400") << 400 << 132;
    QTest::newRow("777") << 777 << 21;
    for (int i = 306; i <= 777; i += 17)
        QTest::addRow("%d", i) << i << 250 - 5 * i / 17 - 1;
}

void CoreLayoutTest::widenLeftAtItsSamplePoints()
{
    QFETCH(int, width);
    QFETCH(int, left);
    QCOMPARE(widenStepLeft(width), left);
}

void CoreLayoutTest::animationsStepOnePixelAtATime()
{
    DrillAreaLayout layout; // already wide: the widening still plays from 300
    const Frames widen = layout.widenText();
    QCOMPARE(widen.size(), size_t(479));
    for (int k = 0; k < 478; ++k) {
        QCOMPARE(widen[k].animationStep, k + 1);
        QCOMPARE(widen[k].geometry.text, QRect(widenStepLeft(300 + k), 24, 300 + k, 73));
    }
    QCOMPARE(widen.back().animationStep, 0);
    QCOMPARE(layout.geometry().text, QRect(11, 24, 777, 73));

    const Frames narrow = layout.narrowText();
    QCOMPARE(narrow.size(), size_t(478));
    for (int i = 1; i <= 477; ++i) {
        QCOMPARE(narrow[i - 1].animationStep, i);
        QCOMPARE(narrow[i - 1].geometry.text, QRect(11 + i / 2, 24, 777 - i, 73));
    }
    QCOMPARE(narrow[476].geometry.text, QRect(249, 24, 300, 73));
    QCOMPARE(narrow.back().animationStep, 0);
    QCOMPARE(layout.geometry().text, QRect(250, 24, 300, 73));
    QCOMPARE(layout.geometry().outerHeight, 400);
}

void CoreLayoutTest::everyLevelToEveryLevel_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("played");
    auto group = [](int level) { return level <= 4 ? 0 : level <= 6 ? 1 : 2; };
    for (int from = 1; from <= 9; ++from)
        for (int to = 1; to <= 9; ++to) {
            const int f = group(from), g = group(to);
            const char *played = f == g ? "" : g == 2 ? "widen" : f == 2 ? "narrow" : "";
            QTest::addRow("%d to %d", from, to) << from << to << QString(played);
        }
}

void CoreLayoutTest::everyLevelToEveryLevel()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, played);
    DrillAreaLayout layout;
    // By way of a syllable level, which leaves the hidden reading line in its narrow place.
    layout.startUp(5);
    layout.layOutForLevel(from);
    const Frames frames = layout.layOutForLevel(to);
    QCOMPARE(look(layout.geometry()), groupLook(to));
    QCOMPARE(animations(frames, layout), played);
}

void CoreLayoutTest::startUp_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("played");
    for (int level = -1; level <= 15; ++level) {
        // The wide form is narrowed for every level but a phrase level (or a text drill),
        // whose widening then plays from 300 all the same.
        const bool wide = (level >= 7 && level <= 9) || isTextDrill(level);
        QTest::addRow("%d", level) << level << (wide ? "widen" : "narrow");
    }
}

void CoreLayoutTest::startUp()
{
    QFETCH(int, level);
    QFETCH(QString, played);
    DrillAreaLayout layout;
    const Frames frames = layout.startUp(level);
    QCOMPARE(look(layout.geometry()), groupLook(level));
    QCOMPARE(animations(frames, layout), played);
}

void CoreLayoutTest::tutorialTakesTheWidePanelAndGivesItBack_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("heightDuring");
    QTest::addColumn<QString>("playedAtEnd");
    // The tall window stays tall through the tutorial.
    QTest::newRow("1") << 1 << 400 << "narrow";
    QTest::newRow("5") << 5 << 460 << "narrow";
    QTest::newRow("8") << 8 << 460 << "";
}

void CoreLayoutTest::tutorialTakesTheWidePanelAndGivesItBack()
{
    QFETCH(int, level);
    QFETCH(int, heightDuring);
    QFETCH(QString, playedAtEnd);
    DrillAreaLayout layout;
    layout.startUp(level);
    const Frames start = layout.startTutorial();
    QCOMPARE(look(layout.geometry()), QStringLiteral("%1 text 11,24 777x73").arg(heightDuring));
    QCOMPARE(animations(start, layout), QStringLiteral("widen"));
    const Frames end = layout.endTutorial(level);
    QCOMPARE(look(layout.geometry()), groupLook(level));
    QCOMPARE(animations(end, layout), playedAtEnd);
}

void CoreLayoutTest::tallKeyLevelLetsOnlyTheWidthRulesFire()
{
    DrillAreaLayout::Geometry tallKeyLevel;
    tallKeyLevel.outerHeight = 460;
    tallKeyLevel.text = QRect(250, 24, 300, 73);
    DrillAreaLayout layout(tallKeyLevel);
    const struct {
        int level;
        const char *look;
        const char *played;
    } steps[] = {
        {7, "460 text 11,24 777x73", "widen"},   // widened, the reading line left hidden
        {5, "460 text 250,24 300x73", "narrow"}, // narrowed, still hidden
        {2, "400 text 250,24 300x73", ""},       // tall: the short window comes back
    };
    for (const auto &step : steps) {
        const Frames frames = layout.layOutForLevel(step.level);
        QCOMPARE(animations(frames, layout), QLatin1String(step.played));
        QCOMPARE(look(layout.geometry()), QLatin1String(step.look));
        if (step.level == 5)
            QCOMPARE(layout.geometry().reading, QRect(250, 104, 300, 57));
    }
}

QTEST_APPLESS_MAIN(CoreLayoutTest)
#include "test_core_layout.moc"
