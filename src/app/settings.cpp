#include "app/form1.h"
#include "app/platform.h"
#include "core/settingsfile.h"
#include "core/levels.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QRadioButton>

namespace
{

const QString settingsFileName = QStringLiteral("RK.set");

// The second button of each romaji group, in the order of the file's lines 4 to 11.
std::array<QRadioButton *, SettingsRecord::romajiGroups> alternativeButtons(const TForm1 &form)
{
    return {form.RadioButton_shi, form.RadioButton_tsi, form.RadioButton_tsu, form.RadioButton_fu,
            form.RadioButton_ji,  form.RadioButton_sya, form.RadioButton_jya, form.RadioButton_tya};
}

void select(QRadioButton *button)
{
    if (button)
        button->setChecked(true);
}

} // namespace

void TForm1::FormCreate()
{
    SettingsRecord values;
    QFile file(settingsFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        platform_.messageBox(this, QMessageBox::Information, QStringLiteral("ようこそ"),
                             QStringLiteral("設定ファイルを初期化します。"), QMessageBox::Ok);
        currentLevel = values.level;
    } else {
        values = readSettings(file).values;
        file.close();
        currentLevel = values.level;
        const auto buttons = alternativeButtons(*this);
        for (int group = 0; group < 7; ++group)
            if (values.romaji[group])
                select(buttons[group]);
        applyRomajiChoices();
        if (values.romaji[7])
            select(buttons[7]);
        applyRomajiChoices();
        for (int level = 1; level <= 9; ++level) {
            highScores[level] = values.highScores[level - 1];
            randomScores[level] = values.randomScores[level - 1];
        }
    }

    // The tick starts opposite to the stored flag so that the one KeyColorClick below
    // both restores it and paints or clears the keyboard to match.
    KeyColor->setChecked(!values.keyColour);
    CheckBox1->setChecked(values.keyHint);
    // The window is built in the wide layout of levels 7-9. A stored level outside 1..9
    // is shown as level 1 (selectLevel falls back to it), so it needs the narrow panel too.
    if (currentLevel <= 6 || !levelInfo(currentLevel))
        narrowTextPanel();
    selectLevel(unsigned(currentLevel));
    KeyColorClick();
    platform_.seedRandom(platform_.timeOfDayMs());
}

void TForm1::WhenClosed()
{
    SettingsRecord values;
    values.level = currentLevel;
    values.keyColour = KeyColor->isChecked();
    values.keyHint = CheckBox1->isChecked();
    const auto buttons = alternativeButtons(*this);
    for (int group = 0; group < SettingsRecord::romajiGroups; ++group)
        values.romaji[group] = buttons[group] && buttons[group]->isChecked();
    for (int level = 1; level <= 9; ++level) {
        values.highScores[level - 1] = highScores[level];
        values.randomScores[level - 1] = randomScores[level];
    }
    // A file that cannot be written is passed over in silence; the window closes anyway.
    saveSettingsFile(settingsFileName, formatSettings(values));
}
