// SPDX-License-Identifier: GPL-3.0-or-later
// The tutorial's 23 lines as they look and as a screen reader hears them, and how its step
// buttons move through them.
#include "core/keytable.h"
#include "core/tutorialscript.h"

#include <QTest>

#include <cstring>

using namespace rinkaro;

namespace
{

constexpr quint32 red = 0x0000FF;
constexpr quint32 blue = 0xFF0000;
constexpr quint32 black = 0x000000;

// A tutorial line as the user first meets it.
struct Line {
    const char *caption;
    int fontPixels;
    quint32 fontColour;
    const char *groups;  // finger groups painted: l, r, m, i
    const char *redKeys; // key captions painted red over them
    // The keys named after the caption for a screen reader, where the caption names them
    // only by colour or finger.
    const char *named;
};

// clang-format off
const Line lines[tutorialLineCount] = {
    {"タイピングの方法を説明します",         43, blue,  "",     "", ""},
    {"タイピングのコツは２つあります",       43, blue,  "",     "", ""},
    {"①ホームポジションを維持すること",     43, blue,  "",     "", ""},
    {"②正しい指使いをすることです",         43, blue,  "",     "", ""},
    {"まずホームポジションを説明します",     43, blue,  "",     "", ""},
    {"人さし指をＦとＪにのせます",           43, blue,  "",     "FJ", ""},
    {"となりの指はとなりのキーにのせます",   43, blue,  "",     "FJDSAKL;", "A、S、D、K、L、セミコロン"},
    {"これがホームポジションです",           43, blue,  "",     "FJDSAKL;", ""},
    {"次に指使いを説明します",               43, blue,  "",     "", ""},
    {"各指は３つのキーを担当します",         43, blue,  "",     "", ""},
    {"小指は緑色のキーを担当します",         43, blue,  "l",    "", "Q、P、A、セミコロン、Z、スラッシュ"},
    {"薬指は黄色のキーを担当します",         43, blue,  "lr",   "", "W、O、S、L、X、ピリオド"},
    {"中指は水色のキーを担当します",         43, blue,  "lrm",  "", "E、I、D、K、C、カンマ"},
    {"人さし指は桃色のキーを担当します",     43, blue,  "lrmi", "", "R、T、Y、U、F、G、H、J、V、B、N、M"},
    {"人さし指だけ６つのキーを担当します",   43, blue,  "lrmi", "", "R、T、Y、U、F、G、H、J、V、B、N、M"},
    {"たとえば、Ｒをタイプするときは",       43, blue,  "lrmi", "R", ""},
    {"左手人さし指でＲをタイプします",       43, blue,  "lrmi", "R", ""},
    {"その後すぐに人さし指をＦに戻します",   43, blue,  "lrmi", "RF", ""},
    {"このようにすることで",                 43, blue,  "lrmi", "RF", ""},
    {"ホームポジションを維持できるのです",   43, blue,  "lrmi", "RF", ""},
    {"ＦとＪには小さな突起があるので",       43, blue,  "",     "FJ", ""},
    {"触るだけで指の位置が確認できます",     43, blue,  "",     "FJ", ""},
    {"End Tutorial",                         64, black, "",     "", ""},
};
// clang-format on

// Each key's background as "F:ff0000", "F:face", in key-table order.
QStringList backgrounds(const std::array<std::optional<quint32>, 30> &colours)
{
    QStringList keys;
    for (size_t k = 0; k < keyTable.size(); ++k)
        keys << QLatin1String(keyTable[k].caption) + ':' +
                    (colours[k] ? QString::number(*colours[k], 16) : QStringLiteral("face"));
    return keys;
}

std::array<std::optional<quint32>, 30> expectedColours(const Line &line)
{
    const std::pair<char, quint32> groups[] = {
        {'l', 0x408000}, {'r', 0x1EFFFF}, {'m', 0xFF8080}, {'i', 0xC080FF}};
    const Finger fingers[] = {Finger::Little, Finger::Ring, Finger::Middle, Finger::Index};
    std::array<std::optional<quint32>, 30> colours{};
    for (size_t k = 0; k < keyTable.size(); ++k) {
        for (int g = 0; g < 4; ++g)
            if (keyTable[k].finger == fingers[g] && std::strchr(line.groups, groups[g].first))
                colours[k] = groups[g].second;
        if (std::strstr(line.redKeys, keyTable[k].caption))
            colours[k] = red;
    }
    return colours;
}

} // namespace

class CoreTutorialTest : public QObject
{
    Q_OBJECT
private slots:
    void everyLineLooksAsFirstShown_data();
    void everyLineLooksAsFirstShown();
    void stepButtonsMoveTheCounter_data();
    void stepButtonsMoveTheCounter();
};

void CoreTutorialTest::everyLineLooksAsFirstShown_data()
{
    QTest::addColumn<int>("line");
    for (int line = 0; line < tutorialLineCount; ++line)
        QTest::addRow("line %d", line) << line;
}

void CoreTutorialTest::everyLineLooksAsFirstShown()
{
    QFETCH(int, line);
    const Line &expected = lines[line];
    const TutorialLook look = tutorialLook(line);
    QCOMPARE(look.caption, QString::fromUtf8(expected.caption));
    QCOMPARE(look.fontPixels, expected.fontPixels);
    QCOMPARE(look.fontColour, expected.fontColour);
    QCOMPARE(backgrounds(look.keyColours), backgrounds(expectedColours(expected)));
    const QString named = QString::fromUtf8(expected.named);
    QCOMPARE(look.description, named.isEmpty() ? look.caption : look.caption + "（" + named + "）");
}

void CoreTutorialTest::stepButtonsMoveTheCounter_data()
{
    // Each press with its answer: s start (T/F), f forward, b back (N, S or E for Nothing,
    // ShowLine and End), e the end button (-).
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("shown");
    const QString allLines = QStringLiteral("fS").repeated(23);
    QTest::newRow("walk to the end") << "sT" + allLines + "fE" << 24 << false;
    QTest::newRow("back on the caption") << "sTbN" << 0 << true;
    QTest::newRow("back on line 0") << "sTfSbN" << 1 << true;
    QTest::newRow("back from line 8")
        << "sT" + QStringLiteral("fS").repeated(9) + "bS" << 8 << true;
    QTest::newRow("back from the last line") << "sT" + allLines + "bS" << 22 << true;
    QTest::newRow("start on the caption") << "sTsF" << 0 << true;
    QTest::newRow("start on a line") << "sTfSfSfSsT" << 0 << true;
    QTest::newRow("restart after the end") << "sT" + allLines + "fEsTfS" << 1 << true;
    QTest::newRow("restart after the end button") << "sTfSfSe-sTfS" << 1 << true;
    QTest::newRow("nothing while hidden") << "fNbN" << 0 << false;
}

void CoreTutorialTest::stepButtonsMoveTheCounter()
{
    QFETCH(QString, script);
    QFETCH(int, step);
    QFETCH(bool, shown);
    const auto letter = [](TutorialState::Move move) {
        return move == TutorialState::Move::ShowLine ? 'S'
               : move == TutorialState::Move::End    ? 'E'
                                                     : 'N';
    };
    TutorialState state;
    QString played;
    for (qsizetype k = 0; k < script.size(); k += 2) {
        const QChar press = script[k];
        played += press;
        if (press == 's')
            played += state.start() ? 'T' : 'F';
        else if (press == 'f')
            played += letter(state.forward());
        else if (press == 'b')
            played += letter(state.back());
        else
            state.end(), played += '-';
    }
    QCOMPARE(played, script);
    QCOMPARE(state.step(), step);
    QCOMPARE(state.line(), step - 1);
    QCOMPARE(state.shown(), shown);
    QCOMPARE(state.atCaption(), shown && step == 0);
}

QTEST_APPLESS_MAIN(CoreTutorialTest)
#include "test_core_tutorial.moc"
