// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/romajipanel.h"

#include "gui/fonts.h"
#include "gui/platform.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace rinkaro
{

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

struct BoxRow {
    int group; // in the order of the settings file
    const char *boxName;
    const char *caption;
    QRect geometry;
    const char *usualName;
    const char *usualCaption;
    const char *alternativeName;
    const char *alternativeCaption;
    int buttonLeft;
    int usualWidth;
    int alternativeWidth;
};

// In tab order, the boxes as the screen shows them, column by column from the top (the
// じゃ box, GroupBox8, stands above the ちゃ box, GroupBox7); `group` is the settings file's
// order.
// clang-format off
const BoxRow boxRows[] = {
    {0, "GroupBox1", "し", {32, 24, 105, 73}, "RadioButton1", "si", "RadioButton_shi", "shi", 32, 41, 49},
    {1, "GroupBox2", "ち", {32, 104, 105, 73}, "RadioButton15", "ti", "RadioButton_tsi", "tsi", 32, 41, 49},
    {2, "GroupBox3", "つ", {32, 184, 105, 73}, "RadioButton3", "tu", "RadioButton_tsu", "tsu", 32, 41, 49},
    {3, "GroupBox4", "ふ", {168, 24, 105, 73}, "RadioButton5", "hu", "RadioButton_fu", "fu", 32, 41, 49},
    {4, "GroupBox5", "じ", {168, 112, 105, 73}, "RadioButton7", "zi", "RadioButton_ji", "ji", 32, 41, 49},
    {5, "GroupBox6", "しゃ,しゅ,しょ", {312, 24, 193, 73}, "RadioButton9", "sha,shu,sho", "RadioButton_sya", "sya,syu,syo", 56, 121, 121},
    {6, "GroupBox8", "じゃ,じゅ,じょ", {312, 112, 193, 73}, "RadioButton2", "ja,ju,jo", "RadioButton_jya", "jya,jyu,jyo", 48, 121, 121},
    {7, "GroupBox7", "ちゃ,ちゅ,ちょ", {312, 200, 193, 73}, "RadioButton13", "cha,chu,cho", "RadioButton_tya", "tya,tyu,tyo", 48, 121, 121},
};
// clang-format on

} // namespace

RomajiPanel::RomajiPanel(Platform &platform, QWidget *parent)
    : UnrollingPanel(platform, parent, QRect(139, 0, panelWidth, panelHeight), rolledUpHeight)
{
    setObjectName(QStringLiteral("settingPanel"));
    // What a screen reader says as the focus comes into the panel.
    setAccessibleName(tr("ローマ字設定"));
    setColour(this, QPalette::Window, QApplication::palette().color(QPalette::Button));
    // The captions sit on the boxes' top edge, as the buttons' positions inside them assume
    // (by default the edge would run below the caption, through the first button).
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 2px groove palette(mid); margin-top: 8px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));

    okButton()->setObjectName(QStringLiteral("Button2"));
    okButton()->setGeometry(408, 288, 81, 25);
    connect(this, &UnrollingPanel::rolledUp, this, [this] { emit accepted(choices()); });

    for (const auto &[name, left] : {std::pair{"Bevel1", 154}, std::pair{"Bevel2", 296}}) {
        auto *bevel = new QFrame(this);
        bevel->setObjectName(QLatin1String(name));
        bevel->setGeometry(left, 24, 2, 249);
        bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        bevel->setLineWidth(1);
    }

    const QFont font = pixelFont(gothicFamily, 16, true);
    QWidget *previous = okButton();
    for (const BoxRow &row : boxRows) {
        auto *box = new QGroupBox(QString::fromUtf8(row.caption), this);
        box->setObjectName(QLatin1String(row.boxName));
        box->setGeometry(row.geometry);
        box->setFont(font);
        box->setPalette(blackText(box->palette()));

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
        usual_[row.group] = makeButton(row.usualName, row.usualCaption, 16, row.usualWidth);
        alternative_[row.group] =
            makeButton(row.alternativeName, row.alternativeCaption, 40, row.alternativeWidth);
        usual_[row.group]->setChecked(true);
        connect(alternative_[row.group], &QRadioButton::toggled, this,
                [this] { emit choicesEdited(choices()); });
    }
}

RomajiChoices RomajiPanel::choices() const
{
    RomajiChoices choices{};
    for (int group = 0; group < romajiGroups; ++group)
        choices[group] = alternative_[group]->isChecked();
    return choices;
}

void RomajiPanel::setChoices(const RomajiChoices &choices)
{
    for (int group = 0; group < romajiGroups; ++group)
        (choices[group] ? alternative_ : usual_)[group]->setChecked(true);
}

void RomajiPanel::unroll()
{
    unrollFrom(60, 3);
}

} // namespace rinkaro
