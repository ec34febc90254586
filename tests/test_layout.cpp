// SPDX-License-Identifier: GPL-3.0-or-later
// Level choices in the window: the menu ticks, the Start button, and the drill area's
// widgets taking the layout of the level's group, its animations included. A level chosen
// during a run is test_drillkana's, in demo mode test_demo's.
#include "core/drillarealayout.h"
#include "testwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

using namespace rinkaro;

namespace
{

// The layout a window stands in once `level` has been chosen: it depends on the level's
// group alone, whatever was shown before.
DrillAreaLayout layoutAt(int level)
{
    DrillAreaLayout layout;
    layout.startUp(level);
    return layout;
}

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT
private slots:
    void choiceShowsTheLevelInItsGroupsLayout_data();
    void choiceShowsTheLevelInItsGroupsLayout();
    void fingerColoursFollowTheMenuTick_data();
    void fingerColoursFollowTheMenuTick();
};

void LayoutTest::choiceShowsTheLevelInItsGroupsLayout_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("steps"); // of the text panel's animation: 478 widen, 477 narrow
    QTest::newRow("key to key") << 1 << 4 << 0;
    QTest::newRow("key to key again") << 4 << 3 << 0;
    QTest::newRow("key to syllable") << 2 << 5 << 0;
    QTest::newRow("key to phrase") << 2 << 7 << 478;
    QTest::newRow("syllable to key") << 6 << 2 << 0;
    QTest::newRow("syllable to syllable") << 5 << 6 << 0;
    QTest::newRow("syllable to phrase") << 5 << 8 << 478;
    QTest::newRow("phrase to key") << 9 << 1 << 477;
    QTest::newRow("phrase to syllable") << 7 << 6 << 477;
    QTest::newRow("phrase to phrase") << 8 << 9 << 0;
}

void LayoutTest::choiceShowsTheLevelInItsGroupsLayout()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, steps);
    TestWindow w;
    w.chooseLevel(from);
    DrillAreaLayout expected = layoutAt(from);
    QList<QRect> expectedSteps;
    for (const DrillAreaLayout::Frame &frame : expected.layOutForLevel(to))
        if (frame.animationStep > 0)
            expectedSteps << frame.geometry.text;
    QCOMPARE(expectedSteps.size(), steps);
    // The choice gives the focus back to Start wherever it was.
    QTest::keyClick(w.keyTarget(), Qt::Key_Tab);
    QVERIFY(!w.startButton()->hasFocus());
    w.platform.recordSteps = true;

    w.chooseLevel(to);

    for (int level = 1; level <= 9; ++level)
        QCOMPARE(w.levelItem(level)->isChecked(), level == to);
    QVERIFY(w.startButton()->isEnabled());
    QVERIFY(w.startButton()->hasFocus());
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level%1").arg(to));
    QCOMPARE(w.readingPanel()->text(), QString());
    QCOMPARE(w.textPanel()->font().pixelSize(), 64);
    QCOMPARE(w.textPanel()->palette().color(QPalette::WindowText), QColor(Qt::black));

    const DrillAreaLayout::Geometry &geometry = expected.geometry();
    QCOMPARE(w.platform.stepsOf(w.textPanel()), expectedSteps);
    QCOMPARE(w.textPanel()->geometry(), geometry.text);
    QCOMPARE(w.readingPanel()->isVisible(), geometry.readingShown);
    if (geometry.readingShown)
        QCOMPARE(w.readingPanel()->geometry(), geometry.reading);
    QCOMPARE(w.outerHeight(), geometry.outerHeight);
    // The real window: the drill area's height below the menu bar, the keyboard at its
    // bottom edge.
    QWidget *drillArea = w.find(QStringLiteral("drillArea"));
    QCOMPARE(w->height(), drillArea->height() + w->menuBar()->height());
    QCOMPARE(w.keyboard()->height(), 236);
    QCOMPARE(w.keyboard()->geometry().bottom(), drillArea->height() - 1);
}

void LayoutTest::fingerColoursFollowTheMenuTick_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::newRow("ticked") << true;
    QTest::newRow("not ticked") << false;
}

void LayoutTest::fingerColoursFollowTheMenuTick()
{
    QFETCH(bool, ticked);
    TestWindow w;
    w.chooseLevel(2);
    if (ticked)
        w.action(QStringLiteral("KeyColor"))->trigger();
    w.chooseLevel(3);
    w.chooseLevel(6);
    QCOMPARE(w.action(QStringLiteral("KeyColor"))->isChecked(), ticked);
    const QColor face = QApplication::palette().color(QPalette::Button);
    QCOMPARE(w.key("A")->palette().color(QPalette::Window), ticked ? QColor(0, 128, 64) : face);
    QCOMPARE(w.key("F")->palette().color(QPalette::Window), ticked ? QColor(255, 128, 192) : face);
}

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
