// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/keyboardview.h"

#include "core/keytable.h"
#include "gui/fonts.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QMouseEvent>

namespace rinkaro
{

namespace
{

// The key captions' height.
constexpr int captionPixels = 48;

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

quint32 fingerColour(Finger finger)
{
    switch (finger) {
    case Finger::Little:
        return littleFingerColour;
    case Finger::Ring:
        return ringFingerColour;
    case Finger::Middle:
        return middleFingerColour;
    case Finger::Index:
        break;
    }
    return indexFingerColour;
}

QColor captionColourOf(const KeyInfo &key, bool lit)
{
    return colourFromBgr(lit              ? hintCaptionColour
                         : isHomeKey(key) ? homeCaptionColour
                                          : captionColour);
}

} // namespace

KeyboardView::KeyboardView(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("KBPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, QColor(0, 0, 0x80));

    // The stand-in faces for Impact are drawn thin unless asked for their heavy cut.
    const QFont captionFont = pixelFont(impactFamily, captionPixels, true);
    for (std::size_t k = 0; k < keyTable.size(); ++k) {
        const KeyInfo &key = keyTable[k];
        auto *cap = new LineLabel(this);
        cap->setText(QString::fromLatin1(key.caption));
        cap->setObjectName(QStringLiteral("Panel%1").arg(key.panel));
        cap->setGeometry(key.left, key.top, keySize, keySize);
        cap->setFrameStyle(QFrame::Panel | QFrame::Raised);
        cap->setLineWidth(2);
        cap->setAlignment(Qt::AlignCenter);
        cap->setAutoFillBackground(true);
        QFont font = captionFont;
        font.setUnderline(isHomeKey(key));
        cap->setFont(font);
        drawPanelFramesQuickly(cap);
        // A key takes a few looks (out, lit, a finger's colour): each is drawn once.
        cap->setPictures(LineLabel::Pictures::Whole);
        keyCaps_[k] = cap;
        setKeyFace(k, buttonFace()); // its palettes, and the one out
    }
}

void KeyboardView::lightKey(const QString &character)
{
    const KeyInfo *key = keyForCharacter(character);
    const int lit = key ? int(key - keyTable.data()) : -1;
    // Only the two keys that change are repainted: this runs at every typed key.
    if (lit == litKey_)
        return;
    if (litKey_ >= 0)
        setCaptionColour(std::size_t(litKey_), false);
    if (lit >= 0)
        setCaptionColour(std::size_t(lit), true);
    litKey_ = lit;
}

void KeyboardView::setCaptionColour(std::size_t key, bool lit)
{
    keyCaps_[key]->setPalette(captionPalettes_[key][lit]);
}

void KeyboardView::setKeyFace(std::size_t key, const QColor &colour)
{
    auto &palettes = captionPalettes_[key];
    // Setting a palette is passed on and handled anew even when nothing changes in it.
    if (palettes[0].resolveMask() && palettes[0].color(QPalette::Window) == colour)
        return;
    for (const bool lit : {false, true}) {
        palettes[lit] = keyCaps_[key]->palette();
        palettes[lit].setColor(QPalette::Window, colour);
        palettes[lit].setColor(QPalette::WindowText, captionColourOf(keyTable[key], lit));
    }
    // Both colours at once, as the key stands.
    setCaptionColour(key, int(key) == litKey_);
}

void KeyboardView::showFingerColours(bool shown)
{
    for (std::size_t k = 0; k < keyTable.size(); ++k)
        setKeyFace(k, shown ? colourFromBgr(fingerColour(keyTable[k].finger)) : buttonFace());
}

void KeyboardView::paintKeys(const std::array<std::optional<quint32>, 30> &colours)
{
    for (std::size_t k = 0; k < keyTable.size(); ++k)
        setKeyFace(k, colours[k] ? colourFromBgr(*colours[k]) : buttonFace());
}

void KeyboardView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Keys and the Start button take their own mouse input: only the background counts.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint()))
        emit backgroundDoubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}

} // namespace rinkaro
