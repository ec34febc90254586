// The window's modes as a table: after a sequence of what the learner did, where keys go,
// what a key does, and whether Start and the level items can be used.
#include "core/drillmodes.h"

#include <QTest>

class CoreModesTest : public QObject
{
    Q_OBJECT
private slots:
    void modesAfterEachSequence_data();
    void modesAfterEachSequence();
    void commandKeys_data();
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

void CoreModesTest::commandKeys_data()
{
    // Commands: - none (the key goes on as keyAction() says), S Start/Stop, B back, F forward,
    // X end of the tutorial, P the open panel closes. Events as above.
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("panelOpen");
    QTest::addColumn<bool>("repeated");
    QTest::addColumn<QString>("command");
    const int none = Qt::NoModifier;
    QTest::newRow("F5 starts") << "" << int(Qt::Key_F5) << none << false << false << "S";
    QTest::newRow("F5 stops") << "S" << int(Qt::Key_F5) << none << false << false << "S";
    QTest::newRow("F5 over a panel") << "" << int(Qt::Key_F5) << none << true << false << "S";
    QTest::newRow("F5 held") << "S" << int(Qt::Key_F5) << none << false << true << "-";
    QTest::newRow("Shift+F5") << "" << int(Qt::Key_F5) << int(Qt::ShiftModifier) << false << false
                              << "-";
    QTest::newRow("F5 in demo") << "Y" << int(Qt::Key_F5) << none << false << false << "-";
    QTest::newRow("F5 in the tutorial") << "T" << int(Qt::Key_F5) << none << false << false << "-";
    QTest::newRow("left in the tutorial")
        << "T" << int(Qt::Key_Left) << none << false << false << "B";
    QTest::newRow("keypad right in the tutorial")
        << "T" << int(Qt::Key_Right) << int(Qt::KeypadModifier) << false << false << "F";
    QTest::newRow("end in the tutorial")
        << "T" << int(Qt::Key_End) << none << false << false << "X";
    QTest::newRow("end in demo in the tutorial")
        << "TY" << int(Qt::Key_End) << none << false << false << "X";
    QTest::newRow("right over a panel")
        << "T" << int(Qt::Key_Right) << none << true << false << "-";
    QTest::newRow("right in a run") << "S" << int(Qt::Key_Right) << none << false << false << "-";
    QTest::newRow("right after the tutorial")
        << "TXL" << int(Qt::Key_Right) << none << false << false << "-";
    QTest::newRow("Esc in a panel") << "" << int(Qt::Key_Escape) << none << true << false << "P";
    QTest::newRow("Esc with no panel")
        << "" << int(Qt::Key_Escape) << none << false << false << "-";
    // A typed character there: judged, or lit.
    QTest::newRow("Esc in a panel in a run")
        << "S" << int(Qt::Key_Escape) << none << true << false << "-";
    QTest::newRow("Esc in a panel in demo")
        << "Y" << int(Qt::Key_Escape) << none << true << false << "-";
    QTest::newRow("a letter") << "T" << int(Qt::Key_A) << none << false << false << "-";
}

void CoreModesTest::commandKeys()
{
    QFETCH(QString, events);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, panelOpen);
    QFETCH(bool, repeated);
    QFETCH(QString, command);
    const DrillModes::Command found =
        modesAfter(events).command(key, Qt::KeyboardModifiers(modifiers), panelOpen, repeated);
    QCOMPARE(QString(QLatin1Char("-SBFXP"[int(found)])), command);
}

QTEST_APPLESS_MAIN(CoreModesTest)
#include "test_core_modes.moc"
