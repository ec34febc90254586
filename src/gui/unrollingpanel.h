// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QRect>

class QPushButton;

namespace rinkaro
{

class Platform;

// A panel that unrolls over the drill area (the romaji settings, the record table): opaque,
// with a raised rim around a sunken one, an OK button that rolls it away, and Tab going
// round its own controls, never to the window's controls behind it.
class UnrollingPanel : public QFrame
{
    Q_OBJECT
public:
    // What OK does: the panel rolls away, then says so.
    void rollUp();

signals:
    void rolledUp();

protected:
    // The panel at `geometry` when unrolled, `rolledHeight` high when rolled up, hidden.
    UnrollingPanel(Platform &platform, QWidget *parent, const QRect &geometry, int rolledHeight);
    // Shows the panel on top, with OK focused, and unrolls it downwards from `fromHeight` in
    // steps of `step` pixels, one animation step of the platform each.
    void unrollFrom(int fromHeight, int step);
    QPushButton *okButton() const { return okButton_; }
    bool focusNextPrevChild(bool next) override;

private:
    Platform &platform_;
    QPushButton *okButton_ = nullptr;
    int unrolledHeight_;
    int rolledHeight_;
};

} // namespace rinkaro
