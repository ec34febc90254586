// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCache>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QSize>

#include <functional>
#include <optional>
#include <vector>

class QFrame;
class QPainter;
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

// A one-line label of plain text that changes at every key: the drill line, its reading, the
// key captions. showText() repaints only the characters that changed when the others keep
// their places, and a label that keeps pictures draws each text (in each colour) once into
// a picture and copies it from then on: the texts of a drill recur, and Qt keeps no glyph
// images of the drill line's size. The pixels are a QLabel's own; anything but a centred
// plain line on a whole device pixel ratio is left to QLabel.
class LineLabel : public QLabel
{
    Q_OBJECT
public:
    enum class Pictures {
        None,   // every paint draws the text (a line that seldom comes back)
        OfText, // the text's column inside the frame (a wide panel)
        Whole,  // the whole label, frame and background included (a key)
    };
    explicit LineLabel(QWidget *parent = nullptr);

    void setPictures(Pictures kept);
    // setText(), repainting only what changed.
    void showText(const QString &text);
    // The pictures held, for the tests.
    int picturesKept() const { return int(pictures_.count()); }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct PictureKey {
        QString text;
        QRgb ink, face, light, shade;
        int font, frame;
        friend bool operator==(const PictureKey &, const PictureKey &) = default;
        friend size_t qHash(const PictureKey &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.ink, key.face, key.light, key.shade, key.font,
                              key.frame);
        }
    };

    bool drawsPlainLine(const QString &line) const;
    QRect textRect() const; // where the line is laid out, as QLabel lays it out
    qreal advance(QChar c);
    bool placesByAdvances();
    // The line's width as the sum of its characters' advances, where they place its glyphs
    // (no pair positioning, no characters past U+FFFF).
    std::optional<qreal> widthByAdvances(const QString &line);
    // Where a centred line of that width starts.
    qreal lineLeft(qreal width) const;
    qreal overhang() const;
    // The contents' height between `left` and `left + width`, with room for overhangs.
    QRect span(qreal left, qreal width) const;
    // The part of the contents that `line` is drawn in: its column, their height.
    QRect column(const QString &line);
    QRect changedArea(const QString &before, const QString &after);
    int fontIndex();
    // The line as QLabel draws it, its frame too unless `area` lies inside it.
    void drawLine(QPainter &painter, const QRect &area);
    // Only the characters that reach into `area` of a line that places them by their
    // advances, drawn where the whole line puts them (a line that changes at every key, whose
    // layout would cost more than its drawing); false when the whole line is to be drawn.
    bool drawPart(QPainter &painter, const QRect &area);
    const QPixmap *picture(const QRect &area);

    Pictures kept_ = Pictures::None;
    bool painted_ = false; // the first paint, part of the window's first frame, draws directly
    QCache<PictureKey, QPixmap> pictures_;
    qreal picturesRatio_ = 0;
    std::vector<QFont> fonts_; // those the pictures were drawn in, by index
    std::optional<int> fontIndex_;
    std::optional<QFontMetricsF> metrics_;
    QHash<char16_t, qreal> advances_;
    std::optional<bool> byAdvances_;
};

} // namespace rinkaro
