// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a label shows on the screen (its window's backing store as last painted) and what a
// plain QLabel of the same look draws whole: the two differ where a repaint of only part of
// the label, or a picture of it kept from before, left something stale. Where other widgets
// cover the label (a neighbouring key's edge, a child) neither counts. At the scale of 1 the
// tests run at, where the backing store's pixels are the widgets'.
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QWidget>

namespace rinkaro
{

// The parts of `widget` that others cover, blacked out.
inline QImage uncovered(QImage image, const QWidget *widget)
{
    QRegion seen = widget->visibleRegion(); // less opaque siblings and children
    for (const QWidget *child : widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            seen -= child->geometry();
    QPainter painter(&image);
    painter.setClipRegion(QRegion(widget->rect()).subtracted(seen));
    painter.fillRect(image.rect(), Qt::black);
    return image;
}

inline QImage onScreen(const QWidget *widget)
{
    QWidget *window = widget->window();
    const QImage whole = window->screen()->grabWindow(window->winId()).toImage();
    return uncovered(whole.copy(QRect(widget->mapTo(window, QPoint()), widget->size()))
                         .convertToFormat(QImage::Format_RGB32),
                     widget);
}

inline QImage drawnByQLabel(const QLabel *label)
{
    QLabel plain;
    plain.setStyle(label->style());
    plain.setFont(label->font());
    plain.setPalette(label->palette());
    plain.setFrameStyle(label->frameStyle());
    plain.setLineWidth(label->lineWidth());
    plain.setMidLineWidth(label->midLineWidth());
    plain.setAlignment(label->alignment());
    plain.setAutoFillBackground(true);
    plain.setText(label->text());
    plain.resize(label->size());
    return uncovered(plain.grab().toImage().convertToFormat(QImage::Format_RGB32), label);
}

} // namespace rinkaro
