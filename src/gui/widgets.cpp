#include "gui/widgets.h"

#include <QEvent>
#include <QFrame>
#include <QScreen>
#include <QWidget>
#include <QWindow>

QColor colourFromBgr(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void setUnrollingPanelFrame(QFrame *panel)
{
    panel->setFrameStyle(QFrame::Box | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setMidLineWidth(0);
    panel->setAutoFillBackground(true);
}

namespace
{

QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void moveToCentre(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QMargins frame = frameMargins(window);
    const QSize outer = window->size().grownBy(frame);
    const QRect area = screen->availableGeometry();
    const QPoint frameCorner(area.x() + (area.width() - outer.width()) / 2,
                             area.y() + (area.height() - outer.height()) / 2);
    // Placing the client area itself: how a window manager applies a position that
    // includes the frame depends on when it arrives.
    window->setGeometry(QRect(frameCorner + QPoint(frame.left(), frame.top()), window->size()));
}

// Waits for the window manager's frame (known by the time the framed window is first
// painted) and centres the framed window once.
class FrameCentring : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        auto *window = static_cast<QWidget *>(watched);
        if (type == QEvent::Hide || !frameMargins(window).isNull()) {
            window->removeEventFilter(this);
            setObjectName(QString());
            deleteLater();
            if (type != QEvent::Hide)
                moveToCentre(window);
        }
        return false;
    }
};

} // namespace

void centreOnScreen(QWidget *window)
{
    moveToCentre(window);
    const QString name = QStringLiteral("frameCentring");
    if (frameMargins(window).isNull() &&
        !window->findChild<QObject *>(name, Qt::FindDirectChildrenOnly)) {
        auto *centring = new FrameCentring(window);
        centring->setObjectName(name);
        window->installEventFilter(centring);
    }
}
