#include "app/fonts.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/widgets.h"
#include "core/romaji.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace
{

constexpr int panelWidth = 521;
constexpr int panelHeight = 330;
constexpr int rolledUpHeight = 20;

QPalette blackText(QPalette palette)
{
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    return palette;
}

} // namespace

void TForm1::buildSettingPanel()
{
    settingPanel = new QFrame(drillArea);
    settingPanel->setObjectName(QStringLiteral("settingPanel"));
    settingPanel->setGeometry(139, 0, panelWidth, panelHeight);
    setUnrollingPanelFrame(settingPanel);
    settingPanel->setAutoFillBackground(true);
    setColour(settingPanel, QPalette::Window, QApplication::palette().color(QPalette::Button));
    // The captions sit on the boxes' top edge, as the buttons' positions inside them assume
    // (by default the edge would run below the caption, through the first button).
    settingPanel->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 2px groove palette(mid); margin-top: 8px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));

    Button2 = new QPushButton(QStringLiteral("OK"), settingPanel);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(408, 288, 81, 25);
    Button2->setAutoDefault(false);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);

    auto makeBevel = [this](const char *name, int left) {
        auto *bevel = new QFrame(settingPanel);
        bevel->setObjectName(QLatin1String(name));
        bevel->setGeometry(left, 24, 2, 249);
        bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        bevel->setLineWidth(1);
        return bevel;
    };
    Bevel1 = makeBevel("Bevel1", 154);
    Bevel2 = makeBevel("Bevel2", 296);

    const QFont font = pixelFont(gothicFamily, 16, true);
    struct BoxRow {
        QGroupBox *&box;
        const char *boxName;
        const char *caption;
        QRect geometry;
        QRadioButton *&first;
        const char *firstName;
        const char *firstCaption;
        QRadioButton *&second;
        const char *secondName;
        const char *secondCaption;
        int buttonLeft;
        int firstWidth;
        int secondWidth;
    };
    // In tab order: the boxes by number.
    const BoxRow rows[] = {
        {GroupBox1, "GroupBox1", "し", QRect(32, 24, 105, 73), RadioButton1, "RadioButton1", "si",
         RadioButton_shi, "RadioButton_shi", "shi", 32, 41, 49},
        {GroupBox2, "GroupBox2", "ち", QRect(32, 104, 105, 73), RadioButton15, "RadioButton15",
         "ti", RadioButton_tsi, "RadioButton_tsi", "tsi", 32, 41, 49},
        {GroupBox3, "GroupBox3", "つ", QRect(32, 184, 105, 73), RadioButton3, "RadioButton3", "tu",
         RadioButton_tsu, "RadioButton_tsu", "tsu", 32, 41, 49},
        {GroupBox4, "GroupBox4", "ふ", QRect(168, 24, 105, 73), RadioButton5, "RadioButton5", "hu",
         RadioButton_fu, "RadioButton_fu", "fu", 32, 41, 49},
        {GroupBox5, "GroupBox5", "じ", QRect(168, 112, 105, 73), RadioButton7, "RadioButton7", "zi",
         RadioButton_ji, "RadioButton_ji", "ji", 32, 41, 49},
        {GroupBox6, "GroupBox6", "しゃ,しゅ,しょ", QRect(312, 24, 193, 73), RadioButton9,
         "RadioButton9", "sha,shu,sho", RadioButton_sya, "RadioButton_sya", "sya,syu,syo", 56, 121,
         121},
        {GroupBox7, "GroupBox7", "ちゃ,ちゅ,ちょ", QRect(312, 200, 193, 73), RadioButton13,
         "RadioButton13", "cha,chu,cho", RadioButton_tya, "RadioButton_tya", "tya,tyu,tyo", 48, 121,
         121},
        {GroupBox8, "GroupBox8", "じゃ,じゅ,じょ", QRect(312, 112, 193, 73), RadioButton2,
         "RadioButton2", "ja,ju,jo", RadioButton_jya, "RadioButton_jya", "jya,jyu,jyo", 48, 121,
         121},
    };
    QWidget *previous = Button2;
    for (const BoxRow &row : rows) {
        auto *box = new QGroupBox(QString::fromUtf8(row.caption), settingPanel);
        box->setObjectName(QLatin1String(row.boxName));
        box->setGeometry(row.geometry);
        box->setFont(font);
        box->setPalette(blackText(box->palette()));
        row.box = box;

        auto makeButton = [&](const char *name, const char *caption, int top, int width) {
            auto *button = new QRadioButton(QLatin1String(caption), box);
            button->setObjectName(QLatin1String(name));
            button->setGeometry(row.buttonLeft, top, width, 25);
            button->setFont(font);
            button->setPalette(blackText(button->palette()));
            setTabOrder(previous, button);
            previous = button;
            return button;
        };
        row.first = makeButton(row.firstName, row.firstCaption, 16, row.firstWidth);
        row.second = makeButton(row.secondName, row.secondCaption, 40, row.secondWidth);
        row.first->setChecked(true);
    }

    settingPanel->hide();
}

void TForm1::setSpellingClick()
{
    settingPanel->show();
    // Over the text panels and the record table, whichever was laid out last.
    settingPanel->raise();
    Button2->setFocus();
    int step = 0;
    for (int k = 20; k <= 110; ++k) {
        settingPanel->resize(panelWidth, 3 * k);
        platform_.animationStep(settingPanel, ++step);
    }
}

void TForm1::Button2Click()
{
    settingPanel->resize(panelWidth, rolledUpHeight);
    settingPanel->hide();
    applyRomajiChoices();
    Button1->setFocus();
}

void TForm1::applyRomajiChoices()
{
    // The settings file keeps the groups in this same order.
    const std::array<const QRadioButton *, romajiGroups> secondButtons{
        RadioButton_shi, RadioButton_tsi, RadioButton_tsu, RadioButton_fu,
        RadioButton_ji,  RadioButton_sya, RadioButton_jya, RadioButton_tya};
    RomajiChoices choices;
    for (int group = 0; group < romajiGroups; ++group)
        choices[group] = secondButtons[group]->isChecked();
    romaji = RomajiTable(choices);
}
