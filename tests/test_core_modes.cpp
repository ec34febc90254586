// SPDX-License-Identifier: GPL-3.0-or-later
// The window's modes as a table: after a sequence of what the learner did, where keys go,
// what a key does, and whether Start and the level items can be used.
#include "core/drillmodes.h"

#include <QTest>

using namespace rinkaro;

class CoreModesTest : public QObject
{
    Q_OBJECT
private slots:
    void modesAfterEachSequence_data();
    void modesAfterEachSequence();
    void commandKeys();
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

QTEST_APPLESS_MAIN(CoreModesTest)
#include "test_core_modes.moc"
