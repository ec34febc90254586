// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/progressstats.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>
#include <set>

class QFrame;
class QLabel;

namespace rinkaro
{

// What the heat map and the kana list show of each key and kana.
enum class HeatMeasure { Misses, Time };

// The colour of a value scaled to 0..1 (0: the best key shown, 1: the worst).
QColor heatColour(double scaled);
// How a typed character is named in the window: letters as the capitals on the keys, and
// the keys that type no character by their names (BS, Enter, Space, Tab).
QString typedKeyName(char typed);
// A rate as "4.2 %"; a time as "0.32 秒".
QString percentText(double rate);
QString secondsText(double ms);
// The ink of figures from too few presses to go by: told apart from the others, and still
// easily read on a light background (over 7:1 on white).
QColor fewPressesInk();
// Black or white, whichever stands out more on `background`.
QColor inkOn(const QColor &background);

// The 30 keys of the on-screen keyboard and the "-" of the long vowel mark above them, each
// coloured by how often it was missed or how long it took (smoothed toward the learner's
// overall figure), faded when it was pressed only a few times, above a colour bar. It grows
// and shrinks with the room it is given. From the keyboard it is one stop of the Tab chain:
// the arrows walk its keys, each saying its figures, and Space marks one.
class KeyHeatMap : public QWidget
{
    Q_OBJECT
public:
    explicit KeyHeatMap(QWidget *parent = nullptr);

    void showKeys(const ProgressStats &stats, int level, HeatMeasure measure);
    // The keys the learner marked by clicking them ('f'), shown framed. "-" has no key in a
    // drill, so it cannot be marked.
    const std::set<char> &marked() const { return marked_; }
    void clearMarks();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void marksChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showLegend(HeatMeasure measure, double lowest, double highest);
    void toggleMark(std::size_t k);
    void moveTo(std::size_t k);
    void layOutKeys();
    void showMarks();
    // The height the keyboard and its legend take at a width.
    int heightAt(int width) const;

    QFrame *board_ = nullptr;
    std::array<QLabel *, 31> keys_{}; // the key table's order, then "-"
    QWidget *legend_ = nullptr;
    QLabel *legendTitle_ = nullptr;
    QLabel *lowLabel_ = nullptr;
    QLabel *highLabel_ = nullptr;
    std::array<QString, 31> tips_{};
    std::set<char> marked_;
    std::size_t current_ = 0; // the key the keyboard is on
    QWidget *marks_ = nullptr;
};

} // namespace rinkaro
