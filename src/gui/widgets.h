// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QSize>

#include <functional>

class QFrame;
class QStyle;
class QWidget;

namespace rinkaro
{

class Platform;

// A Windows colour value (0x00BBGGRR), as the program's colour tables hold them.
QColor colourFromBgr(quint32 value);

// Sets one colour of a control's palette, leaving the others as they are.
void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// Tab and Shift+Tab inside an open panel: the focus goes round its own controls and never to
// the window's controls behind it. For a panel's focusNextPrevChild(); always true.
bool focusNextInside(QWidget *panel, bool next);

// Screen readers take the panels that unroll over the drill area, and the keyboard, for
// panels (a bare frame is said as a window frame). Once, at the main window's making.
void installPanelAccessibility();

// Moves a window, frame included, to the middle of its screen. Until the window manager
// has framed a newly shown window its frame is unknown; until the window is hidden, it is
// centred again whenever its whole frame becomes known or changes.
void centreOnScreen(QWidget *window);

// A style over `base` (the application's style when null) that draws the shaded panel frames
// (QFrame::Panel, raised or sunken) as filled rectangles: the same pixels as the style's lines
// at a fraction of the cost. The caller owns it.
QStyle *newQuickPanelStyle(QStyle *base = nullptr);
// Gives `widget` one shared such style: for the framed controls repainted at every key.
void drawPanelFramesQuickly(QWidget *widget);

// Runs `work` once, just after `window` has first been painted (from the event loop, so that
// the paint is on the screen first): for what the first sight of the window does not need.
void afterFirstPaint(QWidget *window, std::function<void()> work);

// Moves a window back onto its screen whenever it grows past the screen's edge (its minimum
// size grown with what it shows, after it was placed), until it is destroyed. A window the user
// moves is left where it is put.
void keepOnScreenWhenGrowing(QWidget *window);

// A push button whose focus is seen from afar: a thick ring in a colour that stands out from
// its face, inside its edge, rather than the style's thin dotted line.
class FocusRingButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A menu bar that each tap of Alt puts into keyboard mode or takes out of it exactly once. Qt's
// bar arms itself on the shortcut check that comes before a lone Alt's press and toggles at the
// first release it sees, which is the window's own, before the focused control gets it. While a
// screen reader listens, the accessibility bridge takes every press and release there and posts
// a copy once the reader has answered, and the copied press is checked for shortcuts again. With
// the copies late (a busy machine, a slow reader), the real release toggled, the copied press
// armed the bar again and the copied release toggled it straight back, the focus with it. This
// bar looks only at the release that reaches the focused control: once a key, reader or not.
class MainMenuBar : public QMenuBar
{
    Q_OBJECT
public:
    using QMenuBar::QMenuBar;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace rinkaro
