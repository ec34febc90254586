// The on-screen keyboard: the key table, key hints, finger colours and the demo-mode
// question.
#include "core/keytable.h"
#include "testwindow.h"

#include <QLabel>
#include <QPushButton>

namespace
{

QColor caption(QLabel *panel)
{
    return panel->palette().color(QPalette::WindowText);
}
QColor background(QLabel *panel)
{
    return panel->palette().color(QPalette::Window);
}
QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

// Panels whose caption is red.
QStringList litKeys(const TForm1 &form)
{
    QStringList lit;
    for (const KeyInfo &key : keyTable)
        if (caption(form.Panel[key.panel]) == QColor(255, 0, 0))
            lit << QString::fromLatin1(key.caption);
    return lit;
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT
private slots:
    void keysStandWhereDesigned_data();
    void keysStandWhereDesigned();
    void lettersArePanelsOneToTwentySix();
    void hintTextsLightTheirKeyOnly_data();
    void hintTextsLightTheirKeyOnly();
    void hintsAccumulateUntilReset();
    void hintAndFingerColourStayIndependent();
    void keyColourTogglesTheFourGroups();
    void demoQuestionDecidesTheMode_data();
    void demoQuestionDecidesTheMode();
    void onlyTheBackgroundAsksForDemoMode();
};

void KeyboardTest::keysStandWhereDesigned_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("panel");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QColor>("group");
    const QColor little(0, 128, 64), ring(255, 255, 30), middle(128, 128, 255),
        index(255, 128, 192);
    struct Row {
        const char *key;
        int panel, left, top;
        QColor group;
    };
    // clang-format off
    const Row rows[] = {
        {"Q", 17, 40, 24, little},   {"W", 23, 104, 24, ring},    {"E", 5, 168, 24, middle},
        {"R", 18, 232, 24, index},   {"T", 20, 296, 24, index},   {"Y", 25, 368, 24, index},
        {"U", 21, 432, 24, index},   {"I", 9, 496, 24, middle},   {"O", 15, 560, 24, ring},
        {"P", 16, 624, 24, little},  {"A", 1, 72, 88, little},    {"S", 19, 136, 88, ring},
        {"D", 4, 200, 88, middle},   {"F", 6, 264, 88, index},    {"G", 7, 328, 88, index},
        {"H", 8, 400, 88, index},    {"J", 10, 464, 88, index},   {"K", 11, 528, 88, middle},
        {"L", 12, 592, 88, ring},    {";", 29, 656, 88, little},  {"Z", 26, 104, 152, little},
        {"X", 24, 168, 152, ring},   {"C", 3, 232, 152, middle},  {"V", 22, 296, 152, index},
        {"B", 2, 360, 152, index},   {"N", 14, 432, 152, index},  {"M", 13, 496, 152, index},
        {",", 27, 560, 152, middle}, {".", 28, 624, 152, ring},   {"/", 30, 688, 152, little},
    };
    // clang-format on
    for (const Row &row : rows)
        QTest::newRow(row.key) << row.key << row.panel << QPoint(row.left, row.top) << row.group;
}

void KeyboardTest::keysStandWhereDesigned()
{
    QFETCH(QString, key);
    QFETCH(int, panel);
    QFETCH(QPoint, position);
    QFETCH(QColor, group);
    TestWindow w;
    QLabel *label = w->findChild<QLabel *>(QStringLiteral("Panel%1").arg(panel));
    QVERIFY(label);
    QCOMPARE(label, w->keyPanel(key));
    QCOMPARE(label->parentWidget(), w->KBPanel);
    QCOMPARE(label->geometry(), QRect(position, QSize(65, 65)));
    QCOMPARE(label->text(), key);
    const bool home = key == "F" || key == "J";
    QCOMPARE(label->font().underline(), home);
    QCOMPARE(caption(label), home ? QColor(0, 0, 255) : QColor(0, 0, 0));
    QCOMPARE(background(label), buttonFace());
    w->applyFingerColours();
    QCOMPARE(background(label), group);
}

void KeyboardTest::lettersArePanelsOneToTwentySix()
{
    TestWindow w;
    for (int n = 1; n <= 26; ++n)
        QCOMPARE(w->Panel[n]->text(), QString(QChar('A' + n - 1)));
    QCOMPARE(w->Panel[27]->text(), QStringLiteral(","));
    QCOMPARE(w->Panel[28]->text(), QStringLiteral("."));
    QCOMPARE(w->Panel[29]->text(), QStringLiteral(";"));
    QCOMPARE(w->Panel[30]->text(), QStringLiteral("/"));
}

void KeyboardTest::hintTextsLightTheirKeyOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lit");
    QTest::newRow("semicolon") << ";"
                               << ";";
    QTest::newRow("comma") << ","
                           << ",";
    QTest::newRow("full stop") << "."
                               << ".";
    QTest::newRow("slash") << "/"
                           << "/";
    QTest::newRow("a") << "a"
                       << "A";
    QTest::newRow("z") << "z"
                       << "Z";
    QTest::newRow("capital F") << "F"
                               << "";
    QTest::newRow("two letters") << "ka"
                                 << "";
    QTest::newRow("space") << " "
                           << "";
    QTest::newRow("minus") << "-"
                           << "";
    QTest::newRow("digit") << "1"
                           << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("kana") << "か"
                          << "";
}

void KeyboardTest::hintTextsLightTheirKeyOnly()
{
    QFETCH(QString, text);
    QFETCH(QString, lit);
    TestWindow w;
    w->showKeyHint(text);
    QCOMPARE(litKeys(*w.form), lit.isEmpty() ? QStringList() : QStringList{lit});
}

void KeyboardTest::hintsAccumulateUntilReset()
{
    TestWindow w;
    w->showKeyHint("f");
    w->showKeyHint("k");
    QCOMPARE(litKeys(*w.form), (QStringList{"F", "K"}));
    w->resetKeyHints();
    QVERIFY(litKeys(*w.form).isEmpty());
    QCOMPARE(caption(w->keyPanel("F")), QColor(0, 0, 255));
    QCOMPARE(caption(w->keyPanel("J")), QColor(0, 0, 255));
    QVERIFY(w->keyPanel("F")->font().underline());
}

void KeyboardTest::hintAndFingerColourStayIndependent()
{
    TestWindow w;
    w->KeyColorClick();
    w->showKeyHint("f");
    QCOMPARE(caption(w->keyPanel("F")), QColor(255, 0, 0));
    QCOMPARE(background(w->keyPanel("F")), QColor(255, 128, 192));
    w->resetKeyHints();
    QCOMPARE(caption(w->keyPanel("F")), QColor(0, 0, 255));
    QCOMPARE(background(w->keyPanel("F")), QColor(255, 128, 192));
    w->showKeyHint("a");
    w->KeyColorClick(); // clearing the colours keeps the hint
    QCOMPARE(caption(w->keyPanel("A")), QColor(255, 0, 0));
    QCOMPARE(background(w->keyPanel("A")), buttonFace());
}

void KeyboardTest::keyColourTogglesTheFourGroups()
{
    TestWindow w;
    QVERIFY(!w->KeyColor->isChecked());
    w->KeyColorClick();
    QVERIFY(w->KeyColor->isChecked());
    int painted = 0;
    for (const KeyInfo &key : keyTable)
        painted += background(w->Panel[key.panel]) != buttonFace();
    QCOMPARE(painted, 30);
    // Each group on its own paints its six or twelve keys and nothing else.
    w->clearFingerColours();
    w->colourIndexFingerKeys(0x0000FF);
    int red = 0;
    for (const KeyInfo &key : keyTable)
        red += background(w->Panel[key.panel]) == QColor(255, 0, 0);
    QCOMPARE(red, 12);
    QCOMPARE(background(w->keyPanel("A")), buttonFace());
    w->KeyColorClick();
    QVERIFY(!w->KeyColor->isChecked());
    for (const KeyInfo &key : keyTable)
        QCOMPARE(background(w->Panel[key.panel]), buttonFace());
    QVERIFY(litKeys(*w.form).isEmpty());
}

void KeyboardTest::demoQuestionDecidesTheMode_data()
{
    QTest::addColumn<bool>("wasOn");
    QTest::addColumn<bool>("yes");
    QTest::newRow("off, yes") << false << true;
    QTest::newRow("off, no") << false << false;
    QTest::newRow("on, yes") << true << true;
    QTest::newRow("on, no") << true << false;
}

void KeyboardTest::demoQuestionDecidesTheMode()
{
    QFETCH(bool, wasOn);
    QFETCH(bool, yes);
    TestWindow w;
    if (wasOn) {
        w.platform.answers = {QMessageBox::Yes};
        w->KBPanelClick();
    }
    w->showKeyHint("q");
    w.platform.messages.clear();
    w.platform.answers = {yes ? QMessageBox::Yes : QMessageBox::No};
    w->KBPanelClick();
    QCOMPARE(w.platform.messages.size(), size_t(1));
    const auto &question = w.platform.messages.front();
    QCOMPARE(question.icon, QMessageBox::Question);
    QCOMPARE(question.caption, QStringLiteral("デモ・モード"));
    QCOMPARE(question.text, QStringLiteral("デモ・モードに移行しますか？"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(w->demoMode, yes);
    QCOMPARE(w->keyRouting(), yes);
    QCOMPARE(w->Button1->isEnabled(), !yes);
    QCOMPARE(litKeys(*w.form), yes ? QStringList{"Q"} : QStringList());
}

void KeyboardTest::onlyTheBackgroundAsksForDemoMode()
{
    TestWindow w;
    w.platform.messages.clear();
    w.platform.answers = {QMessageBox::No, QMessageBox::No};
    QTest::mouseDClick(w->keyPanel("K"), Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseDClick(w->Button1, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(w.platform.messages.size(), size_t(0));
    QTest::mouseDClick(w->KBPanel, Qt::LeftButton, {}, QPoint(10, 200));
    QCOMPARE(w.platform.messages.size(), size_t(1));
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
