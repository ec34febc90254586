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
#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QRawFont>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QTextDocument>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

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

LineLabel::LineLabel(QWidget *parent) : QLabel(parent)
{
    // A few megabytes: a level's keys or kana, or the phrases of a run or two.
    pictures_.setMaxCost(8 * 1024);
}

void LineLabel::setPictures(Pictures kept)
{
    kept_ = kept;
    pictures_.clear();
    // What a picture covers is painted whole from it, background included.
    setAttribute(Qt::WA_OpaquePaintEvent, kept != Pictures::None);
}

bool LineLabel::drawsPlainLine(const QString &line) const
{
    return alignment() == Qt::AlignCenter && margin() == 0 && !wordWrap() && !buddy() &&
           !(textInteractionFlags() &
             (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable)) &&
           (textFormat() == Qt::PlainText ||
            (textFormat() == Qt::AutoText && !Qt::mightBeRichText(line))) &&
           !line.contains(QLatin1Char('\n')) && !line.isRightToLeft();
}

QRect LineLabel::textRect() const
{
    // Centred, the label's indent does not apply.
    return contentsRect();
}

qreal LineLabel::advance(QChar c)
{
    const auto known = advances_.constFind(c.unicode());
    if (known != advances_.cend())
        return *known;
    if (!metrics_)
        metrics_.emplace(font());
    // Shaped as a line is (advances rounded as the line's are), not the bare glyph's.
    const qreal width = metrics_->horizontalAdvance(QString(c));
    advances_.insert(c.unicode(), width);
    return width;
}

bool LineLabel::placesByAdvances()
{
    // Without pair positioning (kerning) each glyph stands at the sum of the advances before
    // it, so that a character replaced by one as wide moves nothing else.
    if (!byAdvances_) {
        const QRawFont face = QRawFont::fromFont(font());
        byAdvances_ =
            face.isValid() && face.fontTable("GPOS").isEmpty() && face.fontTable("kern").isEmpty();
    }
    return *byAdvances_;
}

qreal LineLabel::overhang() const
{
    // Glyphs reach past their advances (the faked bold, a wide underscore): a margin that
    // holds any of them.
    const int pixels = font().pixelSize() > 0 ? font().pixelSize() : QFontInfo(font()).pixelSize();
    return pixels / 8.0 + 2;
}

QRect LineLabel::span(qreal left, qreal width) const
{
    const qreal pad = overhang();
    const QRect inside = contentsRect();
    const QRect cells(QPoint(int(std::floor(left - pad)), inside.top()),
                      QPoint(int(std::ceil(left + width + pad)), inside.bottom()));
    return cells & inside;
}

std::optional<qreal> LineLabel::widthByAdvances(const QString &line)
{
    if (!placesByAdvances())
        return std::nullopt;
    qreal width = 0;
    for (const QChar c : line) {
        if (c.isSurrogate())
            return std::nullopt;
        width += advance(c);
    }
    return width;
}

qreal LineLabel::lineLeft(qreal width) const
{
    const QRect lines = textRect();
    return lines.x() + (lines.width() - width) / 2;
}

QRect LineLabel::column(const QString &line)
{
    const std::optional<qreal> summed = widthByAdvances(line);
    const qreal width = summed ? *summed : QFontMetricsF(font()).horizontalAdvance(line);
    if (width >= textRect().width())
        return contentsRect();
    return span(lineLeft(width), width);
}

QRect LineLabel::changedArea(const QString &before, const QString &after)
{
    const qsizetype size = after.size();
    if (before.size() != size || !placesByAdvances())
        return column(before) | column(after);
    qsizetype first = 0, last = size;
    while (first < size && before[first] == after[first])
        ++first;
    while (last > first && before[last - 1] == after[last - 1])
        --last;
    // The changed characters, each as wide as the one it replaces: the rest stays put.
    qreal left = 0, changed = 0, width = 0;
    for (qsizetype k = 0; k < size; ++k) {
        const QChar c = after[k];
        if (c.isSurrogate() || before[k].isSurrogate())
            return column(before) | column(after);
        const qreal a = advance(c);
        if (k >= first && k < last) {
            if (advance(before[k]) != a)
                return column(before) | column(after);
            changed += a;
        } else if (k < first) {
            left += a;
        }
        width += a;
    }
    if (width >= textRect().width())
        return contentsRect();
    return span(lineLeft(width) + left, changed);
}

int LineLabel::fontIndex()
{
    if (fontIndex_)
        return *fontIndex_;
    const QFont current = font();
    auto known = std::find(fonts_.begin(), fonts_.end(), current);
    if (known == fonts_.end()) {
        // The drill line shrinks its font for a long item now and then: a few sizes are kept.
        if (fonts_.size() >= 8) {
            fonts_.clear();
            pictures_.clear();
        }
        fonts_.push_back(current);
        known = fonts_.end() - 1;
    }
    fontIndex_ = int(known - fonts_.begin());
    return *fontIndex_;
}

void LineLabel::showText(const QString &shown)
{
    const QString before = text();
    if (shown == before)
        return;
    if (!isVisible() || testAttribute(Qt::WA_UpdatesDisabled) || !drawsPlainLine(before) ||
        !drawsPlainLine(shown)) {
        setText(shown);
        return;
    }
    const QRect changed = changedArea(before, shown);
    // QLabel repaints its whole contents for any new text; only the changed cells are.
    setAttribute(Qt::WA_UpdatesDisabled);
    setText(shown);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    update(changed);
}

bool LineLabel::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
        metrics_.reset();
        advances_.clear();
        byAdvances_.reset();
        fontIndex_.reset();
        break;
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ContentsRectChange:
    case QEvent::Resize:
    case QEvent::LayoutDirectionChange:
        pictures_.clear();
        break;
    default:
        break;
    }
    return QLabel::event(event);
}

void LineLabel::drawLine(QPainter &painter, const QRect &area)
{
    // What QLabel::paintEvent draws for a centred plain line.
    if (!contentsRect().contains(area))
        drawFrame(&painter);
    if (kept_ == Pictures::None && drawPart(painter, area))
        return;
    style()->drawItemText(&painter, textRect(), Qt::AlignCenter | Qt::TextForceLeftToRight,
                          palette(), isEnabled(), text(), foregroundRole());
}

bool LineLabel::drawPart(QPainter &painter, const QRect &area)
{
    const QString line = text();
    const QRect lines = textRect();
    // At a fractional scale the part's glyphs could round to other device pixels than the
    // whole line's.
    const qreal ratio = devicePixelRatioF();
    if (!isEnabled() || ratio != std::floor(ratio) || !contentsRect().contains(area))
        return false;
    const std::optional<qreal> width = widthByAdvances(line);
    if (!width || *width >= lines.width())
        return false;
    // The characters whose glyphs reach into the area, laid out where the whole line puts
    // them: to the left from where the centred line starts, plus the advances before them.
    const qreal pad = overhang();
    qsizetype first = -1, last = -1;
    qreal x = lineLeft(*width), from = 0;
    for (qsizetype k = 0; k < line.size(); ++k) {
        const qreal a = advance(line[k]);
        if (x + a + pad > area.left() && x - pad < area.right() + 1) {
            if (first < 0) {
                first = k;
                from = x;
            }
            last = k + 1;
        }
        x += a;
    }
    if (first == 0 && last == line.size())
        return false; // the whole line, as QLabel draws it
    if (first < 0)
        return true;
    // As the common styles draw an enabled label's text.
    const QPen pen = painter.pen();
    painter.setPen(QPen(palette().brush(foregroundRole()), pen.widthF()));
    painter.drawText(QRectF(from, lines.y(), lines.right() + 1 - from, lines.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextForceLeftToRight,
                     line.mid(first, last - first));
    painter.setPen(pen);
    return true;
}

const QPixmap *LineLabel::picture(const QRect &area)
{
    const qreal ratio = devicePixelRatioF();
    // Copied at whole device pixels only, and drawn in a font whatever the device's dpi.
    if (ratio != std::floor(ratio) || font().pixelSize() <= 0)
        return nullptr;
    if (ratio != picturesRatio_) {
        pictures_.clear();
        picturesRatio_ = ratio;
    }
    const QPalette &colours = palette();
    const PictureKey key{text(),
                         colours.color(foregroundRole()).rgba(),
                         colours.color(backgroundRole()).rgba(),
                         colours.color(QPalette::Light).rgba(),
                         colours.color(QPalette::Dark).rgba(),
                         fontIndex(),
                         frameStyle() | lineWidth() << 16 | midLineWidth() << 24};
    if (const QPixmap *known = pictures_.object(key))
        return known;
    auto *drawn = new QPixmap(area.size() * ratio);
    drawn->setDevicePixelRatio(ratio);
    {
        QPainter painter(drawn);
        painter.setFont(font());
        painter.translate(-area.topLeft());
        painter.fillRect(area, colours.brush(backgroundRole()));
        drawLine(painter, area);
    }
    const int kilobytes = int(qint64(drawn->width()) * drawn->height() * 4 / 1024) + 1;
    if (!pictures_.insert(key, drawn, kilobytes))
        return nullptr; // larger than all the pictures kept: deleted
    return drawn;
}

void LineLabel::paintEvent(QPaintEvent *event)
{
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    const QRect dirty = event->rect();
    if (!drawsPlainLine(text())) {
        if (opaque) {
            QPainter background(this);
            background.fillRect(dirty, palette().brush(backgroundRole()));
        }
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    // An empty line is only its background and frame: no picture of it is kept. Nor is one
    // made at the first paint, which start-up waits for.
    if (kept_ != Pictures::None && !text().isEmpty() && std::exchange(painted_, true)) {
        const QRect area = kept_ == Pictures::Whole ? rect() : column(text());
        if (const QPixmap *drawn = picture(area)) {
            if (!area.contains(dirty)) {
                painter.fillRect(dirty, palette().brush(backgroundRole()));
                if (!contentsRect().contains(dirty))
                    drawFrame(&painter);
            }
            painter.drawPixmap(area.topLeft(), *drawn);
            return;
        }
    }
    if (opaque)
        painter.fillRect(dirty, palette().brush(backgroundRole()));
    drawLine(painter, dirty);
}

} // namespace rinkaro
