#pragma once

#include "core/progressstats.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <map>

class KeyboardView;
class QLabel;

// The colour of a miss rate scaled to 0..1 (0: never missed, 1: the most missed key).
QColor heatColour(double scaled);
// "F: 4.2 %、ミス 12 回、よく押す誤キー D"; "F: 記録なし" for a key never typed.
QString keyMissText(const QString &caption, const MissCount *count);
// How a typed character is named in the window: letters as the capitals on the keys.
QString typedKeyName(char typed);
// A rate as "4.2 %".
QString percentText(double rate);

// The 30 keys in the on-screen keyboard's layout at about half its size, each coloured by
// how often it was missed, above a colour bar from 0 % to the highest rate.
class KeyHeatMap : public QWidget
{
    Q_OBJECT
public:
    explicit KeyHeatMap(QWidget *parent = nullptr);

    // Colours the keys by their counts, per expected character ('f', ';').
    void showMisses(const std::map<char, MissCount> &keys);

private:
    KeyboardView *keyboard = nullptr;
    QWidget *colourBar = nullptr;
    QLabel *maximumLabel = nullptr;
};
