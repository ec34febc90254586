// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/romaji.h"

#include <QFrame>

#include <array>

class Platform;
class QPushButton;
class QRadioButton;

// The romaji settings: eight group boxes, each offering a syllable's usual romaji and its
// alternative. The panel unrolls over the drill area; its OK button rolls it away and
// hands over the choices ticked.
class RomajiPanel : public QFrame
{
    Q_OBJECT
public:
    RomajiPanel(Platform &platform, QWidget *parent);

    RomajiChoices choices() const;
    void setChoices(const RomajiChoices &choices);
    void unroll();
    // What OK does: the panel rolls away and hands over the choices.
    void rollUp();

signals:
    // A button of a group chosen: what a close would save, whether OK follows or not.
    void choicesEdited(const RomajiChoices &choices);
    void accepted(const RomajiChoices &choices);

protected:
    bool focusNextPrevChild(bool next) override;

private:
    Platform &platform_;
    QPushButton *okButton_ = nullptr;                        // Button2
    std::array<QRadioButton *, romajiGroups> usual_{};       // RadioButton1 "si" ...
    std::array<QRadioButton *, romajiGroups> alternative_{}; // RadioButton_shi ...
};
