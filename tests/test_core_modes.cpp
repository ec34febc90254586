// SPDX-License-Identifier: GPL-3.0-or-later
// The window's modes as a table: after a sequence of what the learner did, where keys go,
// what a key does, and whether Start and the level items can be used.
#include "core/drillmodes.h"
#include "core/levels.h"

#include <QTest>

using namespace rinkaro;

class CoreModesTest : public QObject
{
    Q_OBJECT
private slots:
    void modesAfterEachSequence_data();
    void modesAfterEachSequence();
    void commandKeys();
    void typedKeys();
    void weakDrillPractiseAndRefusal();
};

namespace
{

// The events of the tables below, applied in order: S Start (a run), E the run's end or
// Stop, Y / N the demo question answered, L a level chosen, T the tutorial chosen, X the
// tutorial's end.
DrillModes modesAfter(const QString &events)
{
    DrillModes modes;
    for (const QChar event : events) {
        switch (event.toLatin1()) {
        case 'S':
            modes.runStarted();
            break;
        case 'E':
            modes.runEnded();
            break;
        case 'Y':
            modes.demoAnswered(true);
            break;
        case 'N':
            modes.demoAnswered(false);
            break;
        case 'L':
            modes.levelChosen();
            break;
        case 'T':
            modes.tutorialStarted();
            break;
        case 'X':
            modes.tutorialEnded();
            break;
        }
    }
    return modes;
}

} // namespace

void CoreModesTest::modesAfterEachSequence_data()
{
    // Events: S Start (a run), E the run's end or Stop, Y / N the demo question answered,
    // L a level chosen, T the tutorial chosen, X the tutorial's end (which chooses the
    // level again, L). Keys: - to the controls, J judged, L lit.
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("startUsable");
    QTest::addColumn<bool>("levelItemsUsable");
    QTest::newRow("at start") << ""
                              << "-" << true << true;
    QTest::newRow("a run") << "S"
                           << "J" << true << true;
    QTest::newRow("a run ended") << "SE"
                                 << "-" << true << true;
    QTest::newRow("demo") << "Y"
                          << "L" << false << true;
    QTest::newRow("demo declined") << "N"
                                   << "-" << true << true;
    QTest::newRow("demo left") << "YN"
                               << "-" << true << true;
    QTest::newRow("demo asked again") << "YY"
                                      << "L" << false << true;
    // Choosing a level gives Start back; the keys still only light.
    QTest::newRow("level chosen in demo") << "YL"
                                          << "L" << true << true;
    QTest::newRow("run started from demo") << "YLS"
                                           << "J" << true << true;
    QTest::newRow("demo during a run") << "SY"
                                       << "L" << false << true;
    // Declined during a run: the run goes on, but its keys are no longer judged.
    QTest::newRow("demo declined during a run") << "SN"
                                                << "-" << true << true;
    QTest::newRow("tutorial") << "T"
                              << "-" << false << false;
    QTest::newRow("tutorial over a run") << "SET"
                                         << "-" << false << false;
    QTest::newRow("tutorial ends demo") << "YT"
                                        << "-" << false << false;
    QTest::newRow("demo in the tutorial") << "TY"
                                          << "L" << false << false;
    QTest::newRow("demo left in the tutorial") << "TYN"
                                               << "-" << false << false;
    QTest::newRow("tutorial chosen twice") << "TYT"
                                           << "-" << false << false;
    QTest::newRow("tutorial ended") << "TXL"
                                    << "-" << true << true;
    QTest::newRow("tutorial ended in demo") << "TYXL"
                                            << "-" << true << true;
    QTest::newRow("tutorial again after its end") << "TXLT"
                                                  << "-" << false << false;
}

void CoreModesTest::modesAfterEachSequence()
{
    QFETCH(QString, events);
    QFETCH(QString, keys);
    QFETCH(bool, startUsable);
    QFETCH(bool, levelItemsUsable);
    const DrillModes modes = modesAfter(events);
    const char action = "-JL"[int(modes.keyAction())];
    QCOMPARE(QString(QLatin1Char(action)), keys);
    QCOMPARE(modes.keysRouted(), keys != u'-');
    QCOMPARE(modes.demo(), keys == u'L');
    QCOMPARE(modes.startUsable(), startUsable);
    QCOMPARE(modes.levelItemsUsable(), levelItemsUsable);
    QCOMPARE(modes.tutorialShown(), !levelItemsUsable);
}

void CoreModesTest::commandKeys()
{
    // Commands: - none (the key goes on as keyAction() says), S Start/Stop, B back, F forward,
    // X the tutorial's end, P the open panel closes. Events as above.
    struct Row {
        const char *events;
        int key;
        Qt::KeyboardModifiers modifiers;
        bool panelOpen, repeated;
        char command;
    };
    const Row rows[] = {
        {"", Qt::Key_F5, {}, false, false, 'S'},
        {"S", Qt::Key_F5, {}, true, false, 'S'},
        {"S", Qt::Key_F5, {}, false, true, '-'},
        {"", Qt::Key_F5, Qt::ShiftModifier, false, false, '-'},
        {"Y", Qt::Key_F5, {}, false, false, '-'},
        {"T", Qt::Key_F5, {}, false, false, '-'},
        {"T", Qt::Key_Left, {}, false, false, 'B'},
        {"T", Qt::Key_Right, Qt::KeypadModifier, false, false, 'F'},
        {"TY", Qt::Key_End, {}, false, false, 'X'},
        {"T", Qt::Key_Right, {}, true, false, '-'},
        {"S", Qt::Key_Right, {}, false, false, '-'},
        {"TXL", Qt::Key_End, {}, false, false, '-'},
        {"", Qt::Key_Escape, {}, true, false, 'P'},
        {"", Qt::Key_Escape, {}, false, false, '-'},
        // Esc is a typed character in a run and in demo mode: judged, or lit.
        {"S", Qt::Key_Escape, {}, true, false, '-'},
        {"Y", Qt::Key_Escape, {}, true, false, '-'},
    };
    for (const Row &row : rows) {
        const DrillModes::Command found =
            modesAfter(QLatin1String(row.events))
                .command(row.key, row.modifiers, row.panelOpen, row.repeated);
        QVERIFY2("-SBFXP"[int(found)] == row.command,
                 qPrintable(QStringLiteral("%1 key %2").arg(row.events).arg(row.key, 0, 16)));
    }
}

// Faults caught: an Alt or logo letter judged (a menu command counted as an error); a Ctrl
// or Shift letter not judged; a held key judged at every repeat, or its repeats let through
// to a focused button; composed or several characters judged as their first; a modifier
// pressed alone taken from the focused control; a Latin-1 letter cut to 7 bits.
void CoreModesTest::typedKeys()
{
    // Result: - not taken, T taken without a character, or the character judged.
    struct Row {
        const char16_t *text;
        Qt::KeyboardModifiers modifiers;
        bool repeated;
        int judged; // -1: '-', -2: 'T'
    };
    const Row rows[] = {
        {u"f", {}, false, 'f'},
        {u"F", Qt::ShiftModifier, false, 'F'},
        {u"\x06", Qt::ControlModifier, false, 0x06},
        {u"5", Qt::KeypadModifier, false, '5'},
        {u" ", {}, false, ' '},
        {u"\x1b", {}, false, 0x1b},
        {u"\u00e9", {}, false, 0xE9},
        {u"f", {}, true, -2},
        {u"F", Qt::ShiftModifier, true, -2},
        {u"f", Qt::AltModifier, false, -1},
        {u"f", Qt::MetaModifier, false, -1},
        {u"f", Qt::AltModifier | Qt::ShiftModifier, true, -1},
        {u"", Qt::ShiftModifier, false, -1},
        {u"", {}, true, -1},
        {u"ab", {}, false, -1},
        {u"\u304b", {}, false, -1},
        {u"\u0100", {}, false, -1},
    };
    for (const Row &row : rows) {
        const TypedKey typed = typedKey(QStringView(row.text), row.modifiers, row.repeated);
        const int found = typed.character ? int(uchar(*typed.character)) : typed.taken ? -2 : -1;
        QVERIFY2(found == row.judged && (row.judged == -1) != typed.taken,
                 qPrintable(QStringLiteral("\"%1\" %2 %3 gives %4")
                                .arg(QStringView(row.text))
                                .arg(int(row.modifiers), 0, 16)
                                .arg(row.repeated)
                                .arg(found)));
    }
}

// Faults caught: marked items practised while the tutorial holds the drill area, or as a
// level that is no weak drill; a weak drill refused although its plan drew items, or let
// through with none; the advice of one kind given for the other.
void CoreModesTest::weakDrillPractiseAndRefusal()
{
    const struct {
        const char *events;
        int level;
        bool usable;
    } practise[] = {
        {"", weakKeysLevel, true},   {"S", weakKanaLevel, true},   {"Y", weakKanaLevel, true},
        {"T", weakKeysLevel, false}, {"TXL", weakKeysLevel, true}, {"", 5, false},
        {"", wordsLevel, false},
    };
    for (const auto &row : practise)
        QVERIFY2(modesAfter(QLatin1String(row.events)).practiseUsable(row.level) == row.usable,
                 row.events);

    const QStringList some{QStringLiteral("f")};
    QVERIFY(!weakDrillRefusal(weakKeysLevel, some));
    QVERIFY(!weakDrillRefusal(weakKanaLevel, {QStringLiteral("し")}));
    QVERIFY(!weakDrillRefusal(5, {}));
    const std::optional<WeakDrillRefusal> keys = weakDrillRefusal(weakKeysLevel, {});
    const std::optional<WeakDrillRefusal> kana = weakDrillRefusal(weakKanaLevel, {});
    QVERIFY(keys && kana);
    QCOMPARE(keys->caption, QStringLiteral("苦手なキー"));
    QCOMPARE(kana->caption, QStringLiteral("苦手なかな"));
    QVERIFY(
        keys->text.startsWith(QStringLiteral("苦手なキーを選ぶための記録がまだありません。\n")));
    QVERIFY(keys->text.contains(QStringLiteral("レベル1〜4を練習すると")));
    QVERIFY(
        kana->text.startsWith(QStringLiteral("苦手なかなを選ぶための記録がまだありません。\n")));
    QVERIFY(kana->text.contains(QStringLiteral("レベル5〜9を練習すると")));
}

QTEST_APPLESS_MAIN(CoreModesTest)
#include "test_core_modes.moc"
