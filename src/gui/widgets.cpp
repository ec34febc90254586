// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets.h"

#include "core/contrast.h"
#include "core/windowplacement.h"
#include "gui/keyboardview.h"
#include "gui/platform.h"
#include "gui/unrollingpanel.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace rinkaro
{

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

bool focusNextInside(QWidget *panel, bool next)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || !panel->isAncestorOf(focus))
        focus = panel;
    // The window's whole focus chain is a ring: go round it once from the focus.
    for (QWidget *candidate = focus;;) {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (candidate == focus)
            return true;
        if (panel->isAncestorOf(candidate) && !candidate->focusProxy() &&
            (candidate->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            candidate->isVisibleTo(panel) && candidate->isEnabled()) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

namespace
{

QAccessibleInterface *panelAccessible(const QString &className, QObject *object)
{
    if (object->isWidgetType() &&
        (className == QLatin1String(UnrollingPanel::staticMetaObject.className()) ||
         className == QLatin1String(KeyboardView::staticMetaObject.className())))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grouping);
    return nullptr;
}

} // namespace

void installPanelAccessibility()
{
    QAccessible::installFactory(panelAccessible); // a second install is ignored
}

namespace
{

// The window manager's frame around a window, when it is known and whole. Openbox puts a
// window into its frame and lets other clients run before it sizes the frame; Qt, finding no
// frame extents yet, measures the frame window itself, still 1 x 1 pixel, and gets negative
// right and bottom margins: centring that tiny frame leaves the window's corner in the middle
// of the screen. Such a frame, like none, counts as not known yet.
QMargins wholeFrame(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    const QMargins frame = handle ? handle->frameMargins() : QMargins();
    if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0)
        return QMargins();
    return frame;
}

void moveToCentre(QWidget *window, const QMargins &frame)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QSize outer = window->size().grownBy(frame);
    const QPoint frameCorner = centredOn(screen->availableGeometry(), outer);
    // Placing the client area itself: how a window manager applies a position that
    // includes the frame depends on when it arrives.
    window->setGeometry(QRect(frameCorner + QPoint(frame.left(), frame.top()), window->size()));
}

// Centres a shown window again whenever its frame becomes known or changes, until it is
// hidden: the frame is unknown when the window is first shown, and may be read half made
// before it is whole.
class FrameCentring : public QObject
{
public:
    FrameCentring(QWidget *window, const QMargins &centredWith)
        : QObject(window), centredWith_(centredWith)
    {
        setObjectName(QStringLiteral("frameCentring"));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Hide) {
            window->removeEventFilter(this);
            setObjectName(QString());
            deleteLater();
            return false;
        }
        const QMargins frame = wholeFrame(window);
        if (!frame.isNull() && frame != centredWith_) {
            centredWith_ = frame;
            moveToCentre(window, frame);
        }
        return false;
    }

private:
    QMargins centredWith_;
};

} // namespace

namespace
{

class QuickPanelStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
        // The general line drawing costs most of a key's repaint; the rims are rows and
        // columns of whole pixels, as long as nothing scales them.
        if (element != CE_ShapedFrame || !frame || frame->frameShape != QFrame::Panel ||
            !(frame->state & (State_Sunken | State_Raised)) ||
            painter->transform().type() > QTransform::TxTranslate ||
            painter->device()->devicePixelRatio() != 1) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const bool sunken = frame->state & State_Sunken;
        const QColor light = frame->palette.light().color();
        const QColor shade = frame->palette.dark().color();
        const QColor &upperLeft = sunken ? shade : light, &lowerRight = sunken ? light : shade;
        const QRect &r = frame->rect;
        const int width = frame->lineWidth;
        for (int i = 0; i < width; ++i) {
            painter->fillRect(QRect(r.x(), r.y() + i, r.width() - 1 - i, 1), upperLeft);
            painter->fillRect(QRect(r.x() + i, r.y() + width - i, 1, r.height() - 1 - width + i),
                              upperLeft);
        }
        for (int i = 0; i < width; ++i) {
            painter->fillRect(QRect(r.x() + i, r.bottom() - i, r.width() - i, 1), lowerRight);
            painter->fillRect(QRect(r.right() - i, r.y() + i, 1, r.height() - width - i),
                              lowerRight);
        }
    }
};

class FirstPaintWatcher : public QObject
{
public:
    FirstPaintWatcher(QWidget *window, std::function<void()> work)
        : QObject(window), work_(std::move(work))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The window's children are painted and the whole flushed before the loop
            // comes round to the timer.
            QTimer::singleShot(0, watched, std::move(work_));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> work_;
};

} // namespace

QStyle *newQuickPanelStyle(QStyle *base)
{
    return new QuickPanelStyle(base);
}

void drawPanelFramesQuickly(QWidget *widget)
{
    // One style for every such widget; a widget does not own the style it is given.
    static QPointer<QStyle> style;
    if (!style) {
        style = newQuickPanelStyle();
        style->setParent(QCoreApplication::instance());
    }
    widget->setStyle(style);
}

void afterFirstPaint(QWidget *window, std::function<void()> work)
{
    new FirstPaintWatcher(window, std::move(work));
}

void centreOnScreen(QWidget *window)
{
    const QMargins frame = wholeFrame(window);
    moveToCentre(window, frame);
    if (!window->findChild<QObject *>(QStringLiteral("frameCentring"), Qt::FindDirectChildrenOnly))
        new FrameCentring(window, frame);
}

namespace
{

class GrowthOnScreen : public QObject
{
public:
    explicit GrowthOnScreen(QWidget *window) : QObject(window)
    {
        setObjectName(QStringLiteral("growthOnScreen"));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() != QEvent::Resize || !window->isVisible() || !window->screen())
            return false;
        const QRect frame = window->frameGeometry();
        const QRect kept = keptOnScreen(window->screen()->availableGeometry(), frame);
        if (kept != frame)
            window->setGeometry(window->geometry().translated(kept.topLeft() - frame.topLeft()));
        return false;
    }
};

} // namespace

void keepOnScreenWhenGrowing(QWidget *window)
{
    if (!window->findChild<QObject *>(QStringLiteral("growthOnScreen"), Qt::FindDirectChildrenOnly))
        new GrowthOnScreen(window);
}

void FocusRingButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    const qreal half = focusRingWidth / 2.0;
    painter.setPen(QPen(QColor::fromRgb(focusRingColour), focusRingWidth));
    painter.setBrush(Qt::NoBrush);
    // Inside the bevel, on the face, where the ring's colour is chosen against.
    painter.drawRect(QRectF(rect()).adjusted(2 + half, 2 + half, -2 - half, -2 - half));
}

bool MainMenuBar::eventFilter(QObject *watched, QEvent *event)
{
    // A key as the window first gets it, before it hands it to the focused control: where the
    // accessibility bridge may hold it back and post a copy later.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        !watched->isWidgetType())
        return false;
    return QMenuBar::eventFilter(watched, event);
}

} // namespace rinkaro
