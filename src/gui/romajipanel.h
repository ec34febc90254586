// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/romaji.h"

#include "gui/unrollingpanel.h"

#include <array>

class QRadioButton;

namespace rinkaro
{

class Platform;

// The romaji settings: eight group boxes, each offering a syllable's usual romaji and its
// alternative. The panel unrolls over the drill area; its OK button rolls it away and
// hands over the choices ticked.
class RomajiPanel : public UnrollingPanel
{
    Q_OBJECT
public:
    RomajiPanel(Platform &platform, QWidget *parent);

    RomajiChoices choices() const;
    void setChoices(const RomajiChoices &choices);
    void unroll();

signals:
    // A button of a group chosen: what a close would save, whether OK follows or not.
    void choicesEdited(const RomajiChoices &choices);
    // Rolled away by OK, with the choices ticked.
    void accepted(const RomajiChoices &choices);

private:
    std::array<QRadioButton *, romajiGroups> usual_{};       // RadioButton1 "si" ...
    std::array<QRadioButton *, romajiGroups> alternative_{}; // RadioButton_shi ...
};

} // namespace rinkaro
