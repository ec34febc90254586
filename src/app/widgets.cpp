#include "app/widgets.h"

#include <QScreen>
#include <QWidget>

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void centreOnScreen(QWidget *window, const QSize &size)
{
    if (const QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() -
                     QPoint(size.width() / 2, size.height() / 2));
}
