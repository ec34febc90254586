// SPDX-License-Identifier: GPL-3.0-or-later
// Free romaji input through the window: the menu item, RK.ini written when it changes and
// read at the next start, and runs typed with real key events in spellings the romaji
// settings did not choose. Which spellings are right is the session's (test_core_romajimatch).
#include "hepburn.h"
#include "testwindow.h"

#include <QMenu>
#include <QSettings>

using namespace rinkaro;

namespace
{

bool storedFreeRomaji(const TestWindow &w)
{
    const QSettings ini(w.dir.filePath(QStringLiteral("RK.ini")), QSettings::IniFormat);
    return ini.value(QStringLiteral("input/freeRomaji")).toBool();
}

// Types a whole ordered run of `level` in Hepburn; returns the beeps it cost.
int typeHepburnRun(TestWindow &w, int level)
{
    const int beeps = w.platform.beeps;
    w.chooseLevel(level);
    w.clickStart();
    const LevelInfo *info = levelInfo(level);
    for (int index = info->rangeFirst; index <= info->rangeLast; ++index)
        w.type(hepburnKeys(level, index));
    return w.platform.beeps - beeps;
}

} // namespace

class FreeRomajiTest : public QObject
{
    Q_OBJECT
private slots:
    void menuItemKeptInTheIniFileAndRunsTypedInHepburn();
};

// Faults caught: the item missing, misplaced or not saved; RK.ini not read at start; the
// session not told, or a spelling of the tables' kana missing, so that Hepburn keys beep;
// the reading line not following the keys.
void FreeRomajiTest::menuItemKeptInTheIniFileAndRunsTypedInHepburn()
{
    TestWindow w;
    QAction *item = w.action(QStringLiteral("freeRomajiItem"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("ローマ字を自由に入力"));
    const QList<QAction *> options = w.find<QMenu>(QStringLiteral("Option1"))->actions();
    QCOMPARE(options[options.indexOf(item) + 1], w.action(QStringLiteral("favourWeakItem")));
    QVERIFY(item->isCheckable() && !item->isChecked());
    QVERIFY(!QFile::exists(w.dir.filePath(QStringLiteral("RK.ini"))));

    item->trigger();
    QVERIFY(item->isChecked());
    QVERIFY(storedFreeRomaji(w));
    w.restart();
    item = w.action(QStringLiteral("freeRomajiItem"));
    QVERIFY(item->isChecked());

    // し is the 12th syllable of level 5: "sh" leaves the table's SI for SHI.
    w.chooseLevel(5);
    w.clickStart();
    for (int index = 1; index < 12; ++index)
        w.type(hepburnKeys(5, index));
    w.type("sh");
    QCOMPARE(w.readingPanel()->text(), QStringLiteral("__I"));
    QCOMPARE(w.litKey(), QStringLiteral("I"));
    w.clickStart(); // stop

    const int dialogs = int(w.platform.modals.size());
    for (int level = 5; level <= 9; ++level)
        QCOMPARE(typeHepburnRun(w, level), 0);
    QCOMPARE(int(w.platform.modals.size()), dialogs + 5);
    QVERIFY(!w.running());

    item->trigger();
    QVERIFY(!storedFreeRomaji(w));
    QVERIFY(typeHepburnRun(w, 5) > 0);
}

QTEST_MAIN(FreeRomajiTest)
#include "test_freeromaji.moc"
