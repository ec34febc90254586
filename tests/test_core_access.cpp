// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told during a run, how far apart two colours are to the eye, and
// how windows are made to fit the screen.
#include "core/contrast.h"
#include "core/runspeech.h"
#include "core/windowplacement.h"

#include <QTest>

using namespace rinkaro;

Q_DECLARE_METATYPE(RunView)

class CoreAccessTest : public QObject
{
    Q_OBJECT
private slots:
    void runSpeech_data();
    void runSpeech();
    void contrast_data();
    void contrast();
    void scaleToFit_data();
    void scaleToFit();
    void roomBelow_data();
    void roomBelow();
    void keptOnScreen_data();
    void keptOnScreen();
    void runPanes_data();
    void runPanes();
};

void CoreAccessTest::runSpeech_data()
{
    // Views one after another, "item|text|reading|errors", and what each one says ("-": nothing).
    QTest::addColumn<QStringList>("views");
    QTest::addColumn<QStringList>("said");
    // Faults: a letter inside a syllable said as progress; the rest of a phrase counted by
    // letters rather than syllables; a wrong key naming the key typed rather than the one
    // expected, or said as a new item.
    QTest::newRow("phrase") << QStringList{"1|さくら|SA KU RA|0", "1|さくら|_A KU RA|0",
                                           "1|さくら|___KU RA|0", "1|さくら|___KU RA|1",
                                           "1|さくら|____U RA|1", "1|さくら|______RA|1",
                                           "2|すし|SU SHI|1"}
                            << QStringList{"さくら、SA KU RA", "-", "あと KU RA",
                                           "ミス 1、次は K",   "-", "あと RA",
                                           "すし、SU SHI"};
    // A single syllable has no progress to tell; the errors count on across items.
    QTest::newRow("syllables") << QStringList{"1|か|KA|0", "1|か|_A|0", "1|か|_A|1", "1|か|_A|2",
                                              "2|き|KI|2"}
                               << QStringList{"か、KA", "-", "ミス 1、次は A", "ミス 2、次は A",
                                              "き、KI"};
    // The key levels have no reading: the item is the key.
    QTest::newRow("keys") << QStringList{"1|F|", "1|F||1", "2|J||1"}
                          << QStringList{"F", "ミス 1、次は F", "J"};
    // The same item drawn twice in a row is a new item all the same.
    QTest::newRow("same item again") << QStringList{"3|F||0", "4|F||0"} << QStringList{"F", "F"};
}

void CoreAccessTest::runSpeech()
{
    QFETCH(QStringList, views);
    QFETCH(QStringList, said);
    RunSpeech speech;
    QStringList heard;
    for (const QString &row : views) {
        const QStringList fields = row.split('|');
        const RunView view{fields[0].toInt(), fields[1], fields.value(2), fields.value(3).toInt()};
        const QString words = speech.next(view);
        heard << (words.isEmpty() ? QStringLiteral("-") : words);
    }
    QCOMPARE(heard, said);
}

void CoreAccessTest::contrast_data()
{
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("second");
    QTest::addColumn<double>("ratio");
    // Faults: the channels taken in the wrong order (blue for red), the sRGB curve left out
    // (mid grey far too light), the ratio taken the wrong way round (below 1).
    QTest::newRow("black on white") << 0x000000u << 0xFFFFFFu << 21.0;
    QTest::newRow("white on black") << 0xFFFFFFu << 0x000000u << 21.0;
    QTest::newRow("same") << 0x808080u << 0x808080u << 1.0;
    QTest::newRow("white on orange-red") << 0xFFFFFFu << 0xF1562Du << 3.44;
    QTest::newRow("grey on white") << 0xBEBEBEu << 0xFFFFFFu << 1.86;
    QTest::newRow("pure red on white") << 0xFF0000u << 0xFFFFFFu << 4.0;
    QTest::newRow("pure blue on white") << 0x0000FFu << 0xFFFFFFu << 8.59;
    QTest::newRow("focus ring on the button face") << focusRingColour << 0xEFEFEFu << 10.59;
}

void CoreAccessTest::contrast()
{
    QFETCH(quint32, first);
    QFETCH(quint32, second);
    QFETCH(double, ratio);
    QCOMPARE(qRound(contrastRatio(first, second) * 100), qRound(ratio * 100));
}

void CoreAccessTest::scaleToFit_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<double>("scale");
    // Faults: one side only looked at; a window that fits made smaller (or larger); a scale
    // rounded up that leaves it a pixel over the edge; nothing left of a tiny screen.
    QTest::newRow("fits") << QRect(0, 0, 1280, 1024) << QSize(808, 470) << 1.0;
    QTest::newRow("exactly") << QRect(0, 0, 808, 470) << QSize(808, 470) << 1.0;
    // Twice the size on 1280 x 1024: the screen is 640 x 512 at that scale.
    QTest::newRow("too wide") << QRect(0, 0, 640, 512) << QSize(808, 470) << 0.79;
    QTest::newRow("too tall") << QRect(0, 24, 1024, 400) << QSize(808, 470) << 0.85;
    QTest::newRow("both, height the tighter") << QRect(0, 0, 700, 300) << QSize(808, 470) << 0.63;
    QTest::newRow("a sliver") << QRect(0, 0, 100, 50) << QSize(808, 470) << 0.25;
    QTest::newRow("no screen") << QRect() << QSize(808, 470) << 1.0;
}

void CoreAccessTest::scaleToFit()
{
    QFETCH(QRect, screen);
    QFETCH(QSize, outer);
    QFETCH(double, scale);
    const double found = ::scaleToFit(screen, outer);
    QCOMPARE(qRound(found * 100), qRound(scale * 100));
    if (found > 0.25 && !screen.isEmpty()) {
        QVERIFY(outer.width() * found <= screen.width());
        QVERIFY(outer.height() * found <= screen.height());
    }
}

void CoreAccessTest::roomBelow_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("moved");
    // The window beside needs 520 x 380. Faults: the main window moved when a side has room
    // (the window goes there), moved off the screen's top, or moved down.
    QTest::newRow("1.5 on 1920 x 1080")
        << QRect(0, 0, 1280, 720) << QRect(239, 167, 802, 386) << QRect(239, 0, 802, 386);
    QTest::newRow("a panel at the top")
        << QRect(0, 30, 1280, 690) << QRect(239, 167, 802, 386) << QRect(239, 30, 802, 386);
    QTest::newRow("room on the right")
        << QRect(0, 0, 1920, 1080) << QRect(100, 300, 802, 386) << QRect(100, 300, 802, 386);
    QTest::newRow("room on the left")
        << QRect(0, 0, 1920, 1080) << QRect(1000, 300, 802, 386) << QRect(1000, 300, 802, 386);
    QTest::newRow("at the top already")
        << QRect(0, 0, 1280, 720) << QRect(239, 0, 802, 386) << QRect(239, 0, 802, 386);
    QTest::newRow("above the top")
        << QRect(0, 0, 810, 648) << QRect(0, -10, 802, 700) << QRect(0, -10, 802, 700);
}

void CoreAccessTest::roomBelow()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, main);
    QFETCH(QRect, moved);
    QCOMPARE(makeRoomBelow(screen, main, QSize(520, 380)), moved);
}

void CoreAccessTest::keptOnScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("kept");
    // On a screen at 0, 24 of 1280 x 1000. Faults: a window on the screen moved; one off an
    // edge moved too far or the wrong way; one larger than the screen pushed off its top-left.
    QTest::newRow("on the screen") << QRect(100, 100, 800, 600) << QRect(100, 100, 800, 600);
    QTest::newRow("grown past the bottom") << QRect(2, 256, 1276, 900) << QRect(2, 124, 1276, 900);
    QTest::newRow("past the right") << QRect(900, 100, 600, 400) << QRect(680, 100, 600, 400);
    QTest::newRow("past both") << QRect(900, 800, 600, 400) << QRect(680, 624, 600, 400);
    QTest::newRow("above the top") << QRect(10, 0, 600, 400) << QRect(10, 24, 600, 400);
    QTest::newRow("larger than the screen")
        << QRect(50, 50, 1400, 1100) << QRect(0, 24, 1400, 1100);
}

void CoreAccessTest::keptOnScreen()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, kept);
    QCOMPARE(::keptOnScreen(QRect(0, 24, 1280, 1000), frame), kept);
}

void CoreAccessTest::runPanes_data()
{
    QTest::addColumn<QSize>("room");
    QTest::addColumn<bool>("beside");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("share");
    // The table needs 520 for all its columns, the chart 340. Faults: a wide window that cuts
    // the table's columns; the table folded away in a short window that has room beside the
    // chart (twice the size on 1280 x 1024 gives about 796 x 480); a chart squeezed below its
    // least; a table too narrow to read shown instead of folded.
    QTest::newRow("default") << QSize(988, 780) << true << true << 520;
    QTest::newRow("wide, chart at its least") << QSize(968, 400) << true << true << 520;
    QTest::newRow("twice the size") << QSize(796, 480) << true << true << 456;
    QTest::newRow("narrow and tall") << QSize(796, 700) << false << true << 0;
    QTest::newRow("table too narrow") << QSize(520, 400) << false << false << 0;
    QTest::newRow("just room") << QSize(540, 400) << true << true << 200;
    QTest::newRow("nothing") << QSize(0, 0) << false << false << 0;
}

void CoreAccessTest::runPanes()
{
    QFETCH(QSize, room);
    QFETCH(bool, beside);
    QFETCH(bool, shown);
    QFETCH(int, share);
    const RunPanes panes = ::runPanes(room.width(), room.height(), 520, 340);
    QCOMPARE(panes.beside, beside);
    QCOMPARE(panes.tableShown, shown);
    QCOMPARE(panes.tableShare, share);
}

QTEST_APPLESS_MAIN(CoreAccessTest)
#include "test_core_access.moc"
