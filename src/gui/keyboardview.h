// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QPalette>

#include <array>
#include <optional>

namespace rinkaro
{

class LineLabel;

// The picture of the keyboard: the 30 character keys on a navy panel. It lights one key
// (its caption turns red), colours the keys by finger or as the tutorial asks, and reports
// a double click on its background (not on a key or a button on it).
class KeyboardView : public QFrame
{
    Q_OBJECT
public:
    explicit KeyboardView(QWidget *parent = nullptr);

    // Lights the key of a one-character text ("f", ";"); the key lit before goes out. A
    // text that names no key (a digit, a space, "") only puts it out.
    void lightKey(const QString &character);
    // The four finger groups in their colours, or every key in the button-face colour.
    void showFingerColours(bool shown);
    // Each key's background in key-table order, nullopt for the button face.
    void paintKeys(const std::array<std::optional<quint32>, 30> &colours);

signals:
    void backgroundDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void setCaptionColour(std::size_t key, bool lit);
    void setKeyFace(std::size_t key, const QColor &colour);

    std::array<LineLabel *, 30> keyCaps_{}; // Panel1 .. Panel30, in key-table order
    // Each key's palette out and lit, made when its face changes rather than at every key.
    std::array<std::array<QPalette, 2>, 30> captionPalettes_{};
    int litKey_ = -1; // index of the lit key, -1 for none
};

} // namespace rinkaro
