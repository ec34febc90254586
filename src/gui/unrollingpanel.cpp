// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/unrollingpanel.h"

#include "gui/platform.h"
#include "gui/widgets.h"

#include <QPushButton>

namespace rinkaro
{

UnrollingPanel::UnrollingPanel(Platform &platform, QWidget *parent, const QRect &geometry,
                               int rolledHeight)
    : QFrame(parent), platform_(platform), unrolledHeight_(geometry.height()),
      rolledHeight_(rolledHeight)
{
    setGeometry(geometry);
    setFrameStyle(QFrame::Box | QFrame::Raised);
    setLineWidth(2);
    setMidLineWidth(0);
    setAutoFillBackground(true);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    // Return and Enter press the focused OK as space does.
    okButton_->setAutoDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &UnrollingPanel::rollUp);
    hide();
}

void UnrollingPanel::unrollFrom(int fromHeight, int step)
{
    show();
    // Above the text panels and the other panel, whichever was laid out last.
    raise();
    okButton_->setFocus();
    int animationStep = 0;
    for (int height = fromHeight; height <= unrolledHeight_; height += step) {
        resize(width(), height);
        platform_.animationStep(this, ++animationStep);
    }
}

void UnrollingPanel::rollUp()
{
    resize(width(), rolledHeight_);
    // Hidden with the focus inside, the panel would hand it to the next control for a
    // moment, which a screen reader would say before the Start button.
    if (QWidget *focus = focusWidget())
        focus->clearFocus();
    hide();
    emit rolledUp();
}

bool UnrollingPanel::focusNextPrevChild(bool next)
{
    return focusNextInside(this, next);
}

} // namespace rinkaro
