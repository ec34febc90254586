#include "app/form1.h"
#include "app/platform.h"
#include "app/widgets.h"
#include "core/keytable.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

QLabel *TForm1::keyPanel(const QString &caption) const
{
    for (const KeyInfo &key : keyTable)
        if (caption == QLatin1String(key.caption))
            return Panel[key.panel];
    return nullptr;
}

void TForm1::showKeyHint(const QString &text)
{
    if (const KeyInfo *key = keyLitBy(text))
        setColour(Panel[key->panel], QPalette::WindowText, colorFromWin(hintCaptionColour));
}

void TForm1::resetKeyHints()
{
    for (const KeyInfo &key : keyTable)
        setColour(Panel[key.panel], QPalette::WindowText,
                  colorFromWin(isHomeKey(key) ? homeCaptionColour : captionColour));
}

namespace
{

void colourGroup(const std::array<QLabel *, 31> &panels, Finger finger, const QColor &colour)
{
    for (const KeyInfo &key : keyTable)
        if (key.finger == finger)
            setColour(panels[key.panel], QPalette::Window, colour);
}

} // namespace

void TForm1::colourLittleFingerKeys(quint32 colour)
{
    colourGroup(Panel, Finger::Little, colorFromWin(colour));
}

void TForm1::colourRingFingerKeys(quint32 colour)
{
    colourGroup(Panel, Finger::Ring, colorFromWin(colour));
}

void TForm1::colourMiddleFingerKeys(quint32 colour)
{
    colourGroup(Panel, Finger::Middle, colorFromWin(colour));
}

void TForm1::colourIndexFingerKeys(quint32 colour)
{
    colourGroup(Panel, Finger::Index, colorFromWin(colour));
}

void TForm1::applyFingerColours()
{
    colourLittleFingerKeys(littleFingerColour);
    colourRingFingerKeys(ringFingerColour);
    colourMiddleFingerKeys(middleFingerColour);
    colourIndexFingerKeys(indexFingerColour);
}

void TForm1::clearFingerColours()
{
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (const KeyInfo &key : keyTable)
        setColour(Panel[key.panel], QPalette::Window, buttonFace);
}

void TForm1::KeyColorClick()
{
    if (!KeyColor->isChecked()) {
        applyFingerColours();
        KeyColor->setChecked(true);
    } else {
        clearFingerColours();
        KeyColor->setChecked(false);
    }
}

void TForm1::KBPanelClick()
{
    const auto answer = platform_.messageBox(
        this, QMessageBox::Question, QStringLiteral("デモ・モード"),
        QStringLiteral("デモ・モードに移行しますか？"), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        demoMode = true;
        setStartButtonEnabled(false);
        setKeyRouting(true);
    } else {
        demoMode = false;
        // The tutorial keeps Start unusable until it ends.
        if (!tutorialShown)
            setStartButtonEnabled(true);
        setKeyRouting(false);
        resetKeyHints();
    }
}
