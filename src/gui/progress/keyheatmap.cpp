// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progress/keyheatmap.h"

#include "core/keytable.h"
#include "gui/fonts.h"
#include "gui/widgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <optional>

namespace rinkaro
{

namespace
{

// Light yellow to dark red: the misses stand out, and the key captions stay readable in
// black on the light end and in white on the dark end.
const std::array<QColor, 5> heatStops{QColor(0xff, 0xff, 0xcc), QColor(0xfe, 0xd9, 0x76),
                                      QColor(0xfd, 0x8d, 0x3c), QColor(0xe3, 0x1a, 0x1c),
                                      QColor(0x80, 0x00, 0x26)};

// The main window's keyboard (800 x 236) with a row above it for the "-" of the long vowel
// mark, which sits above and right of P as on the keyboard.
constexpr QSize boardSize(800, 300);
constexpr int rowAbove = 64;
constexpr QPoint minusKey(656, 24);
constexpr int captionPixels = 48;
constexpr qreal smallestScale = 0.28;
constexpr qreal largestScale = 1.25;
constexpr int legendGap = 4;

class ColourBar : public QWidget
{
public:
    explicit ColourBar(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("heatLegend"));
        setFixedHeight(12);
        setMinimumWidth(40);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, width(), 0);
        for (std::size_t k = 0; k < heatStops.size(); ++k)
            gradient.setColorAt(double(k) / (heatStops.size() - 1), heatStops[k]);
        painter.fillRect(rect(), gradient);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// Rims drawn over the keys the learner marked, in a colour the heat scale never takes.
class MarkLayer : public QWidget
{
public:
    explicit MarkLayer(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QList<QRect> rims;
    QRect focusRim; // the key the keyboard is on, while the map has the focus

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const int width = std::max(2, height() / 40);
        painter.setPen(QPen(QColor(0x00, 0xE0, 0xFF), width));
        for (const QRect &rim : rims)
            painter.drawRoundedRect(
                QRectF(rim).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0), width,
                width);
        if (!focusRim.isNull()) {
            painter.setPen(QPen(Qt::white, width + 1, Qt::DashLine));
            painter.drawRect(QRectF(focusRim).adjusted(-1, -1, 1, 1));
        }
    }
};

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QString keyText(const QString &caption, const PressFigures &figures, double rate, double ms)
{
    if (figures.presses() == 0)
        return KeyHeatMap::tr("%1: 記録なし").arg(caption);
    QString text = KeyHeatMap::tr("%1: ミス率 %2（%3 回中 %4 回ミス）")
                       .arg(caption, percentText(rate))
                       .arg(figures.presses())
                       .arg(figures.misses);
    if (const char instead = figures.mostOftenInstead())
        text += KeyHeatMap::tr("、よく押す誤キー %1").arg(typedKeyName(instead));
    text += figures.timed > 0 ? KeyHeatMap::tr("\n1打の時間 %1").arg(secondsText(ms))
                              : KeyHeatMap::tr("\n1打の時間: 記録なし");
    if (fewToGoBy(figures.presses()))
        text += KeyHeatMap::tr("\n押した回数が少ないため、色は薄く表示しています");
    return text;
}

} // namespace

QColor heatColour(double scaled)
{
    const double position = std::clamp(scaled, 0.0, 1.0) * (heatStops.size() - 1);
    const std::size_t low = std::min(std::size_t(position), heatStops.size() - 2);
    return mix(heatStops[low], heatStops[low + 1], position - double(low));
}

QColor fewPressesInk()
{
    return QColor(0x50, 0x50, 0x50);
}

QColor inkOn(const QColor &background)
{
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(background.redF()) +
                             0.7152 * linear(background.greenF()) +
                             0.0722 * linear(background.blueF());
    // Contrast with white (1.05 / (L + 0.05)) against with black ((L + 0.05) / 0.05).
    return 1.05 / (luminance + 0.05) > (luminance + 0.05) / 0.05 ? Qt::white : Qt::black;
}

QString percentText(double rate)
{
    return QString::number(rate * 100, 'f', 1) + QStringLiteral(" %");
}

QString secondsText(double ms)
{
    return KeyHeatMap::tr("%1 秒").arg(QString::number(ms / 1000, 'f', 2));
}

QString typedKeyName(char typed)
{
    switch (typed) {
    case '\b':
    case '\x7f':
        return QStringLiteral("BS");
    case '\r':
    case '\n':
        return QStringLiteral("Enter");
    case ' ':
        return QStringLiteral("Space");
    case '\t':
        return QStringLiteral("Tab");
    case '\x1b':
        return QStringLiteral("Esc");
    default:
        break;
    }
    if (typed > ' ' && typed < 0x7f)
        return QString(QLatin1Char(typed)).toUpper();
    return QStringLiteral("0x%1").arg(uchar(typed), 2, 16, QLatin1Char('0'));
}

KeyHeatMap::KeyHeatMap(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("keyHeatMap"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    board_ = new QFrame(this);
    board_->setObjectName(QStringLiteral("heatKeyboard"));
    board_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    board_->setAutoFillBackground(true);
    setColour(board_, QPalette::Window, QColor(0, 0, 0x80));
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const bool minus = k == keyTable.size();
        auto *key = new QLabel(
            minus ? QStringLiteral("-") : QString::fromLatin1(keyTable[k].caption), board_);
        key->setObjectName(minus ? QStringLiteral("PanelMinus")
                                 : QStringLiteral("Panel%1").arg(keyTable[k].panel));
        key->setFrameStyle(QFrame::Panel | QFrame::Raised);
        key->setAlignment(Qt::AlignCenter);
        key->setAutoFillBackground(true);
        QFont font = pixelFont(impactFamily, captionPixels, true);
        font.setUnderline(!minus && isHomeKey(keyTable[k]));
        key->setFont(font);
        // One key at a time is in the Tab chain: the arrows move it.
        key->setFocusPolicy(k == 0 ? Qt::TabFocus : Qt::NoFocus);
        key->installEventFilter(this);
        keys_[k] = key;
    }

    marks_ = new MarkLayer(board_);

    legend_ = new QWidget(this);
    legendTitle_ = new QLabel(legend_);
    lowLabel_ = new QLabel(legend_);
    lowLabel_->setObjectName(QStringLiteral("heatLegendLow"));
    highLabel_ = new QLabel(legend_);
    highLabel_->setObjectName(QStringLiteral("heatLegendHigh"));
    auto *row = new QHBoxLayout(legend_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(legendTitle_);
    row->addWidget(lowLabel_);
    row->addWidget(new ColourBar(legend_), 1);
    row->addWidget(highLabel_);
    layOutKeys();
}

QSize KeyHeatMap::sizeHint() const
{
    const int width = qRound(boardSize.width() * 0.55);
    return {width, heightAt(width)};
}

QSize KeyHeatMap::minimumSizeHint() const
{
    const int width = qRound(boardSize.width() * smallestScale);
    return {width, heightAt(width)};
}

int KeyHeatMap::heightAt(int width) const
{
    const qreal scale = std::clamp(qreal(width) / boardSize.width(), smallestScale, largestScale);
    return qRound(boardSize.height() * scale) + legendGap + legend_->sizeHint().height();
}

void KeyHeatMap::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutKeys();
}

void KeyHeatMap::layOutKeys()
{
    const int legendHeight = legend_->sizeHint().height();
    const qreal scale =
        std::clamp(std::min(qreal(width()) / boardSize.width(),
                            qreal(height() - legendHeight - legendGap) / boardSize.height()),
                   smallestScale, largestScale);
    const QSize size = (QSizeF(boardSize) * scale).toSize();
    board_->setGeometry((width() - size.width()) / 2, 0, size.width(), size.height());
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const QPoint at =
            k < keyTable.size() ? QPoint(keyTable[k].left, keyTable[k].top + rowAbove) : minusKey;
        QLabel *key = keys_[k];
        key->setGeometry(qRound(at.x() * scale), qRound(at.y() * scale), qRound(keySize * scale),
                         qRound(keySize * scale));
        key->setLineWidth(scale < 0.75 ? 1 : 2);
        QFont font = key->font();
        font.setPixelSize(std::max(1, qRound(captionPixels * scale)));
        key->setFont(font);
    }
    marks_->setGeometry(board_->rect());
    showMarks();
    legend_->setGeometry(board_->x(), size.height() + legendGap, size.width(), legendHeight);
}

namespace
{

char keyAt(std::size_t k)
{
    return k < keyTable.size() ? keyTable[k].litBy[0] : '-';
}

} // namespace

void KeyHeatMap::showMarks()
{
    auto *layer = static_cast<MarkLayer *>(marks_);
    layer->rims.clear();
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const bool marked = marked_.count(keyAt(k)) > 0;
        if (marked)
            layer->rims << keys_[k]->geometry();
        const QString how = keyAt(k) == '-' ? QString()
                            : marked
                                ? tr("\n練習に選んでいます（もう一度クリックかスペースで外します）")
                                : tr("\nクリックかスペースで練習に選べます");
        keys_[k]->setToolTip(tips_[k] + how);
        QString name = tips_[k];
        name.replace(QLatin1Char('\n'), tr("、"));
        keys_[k]->setAccessibleName(marked ? name + tr("、練習に選択") : name);
    }
    layer->focusRim = keys_[current_]->hasFocus() ? keys_[current_]->geometry() : QRect();
    layer->raise();
    layer->update();
}

void KeyHeatMap::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = board_->mapFrom(this, event->position().toPoint());
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        if (!keys_[k]->geometry().contains(at))
            continue;
        toggleMark(k);
        return;
    }
}

void KeyHeatMap::toggleMark(std::size_t k)
{
    const char key = keyAt(k);
    if (key == '-')
        return;
    if (!marked_.erase(key))
        marked_.insert(key);
    showMarks();
    emit marksChanged();
}

void KeyHeatMap::moveTo(std::size_t k)
{
    keys_[current_]->setFocusPolicy(Qt::NoFocus);
    current_ = k;
    keys_[current_]->setFocusPolicy(Qt::TabFocus);
    keys_[current_]->setFocus(Qt::OtherFocusReason);
}

bool KeyHeatMap::eventFilter(QObject *watched, QEvent *event)
{
    const auto found = std::find(keys_.begin(), keys_.end(), watched);
    if (found == keys_.end())
        return QWidget::eventFilter(watched, event);
    const std::size_t k = std::size_t(found - keys_.begin());
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        showMarks();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    // The keys of a row are ten apart in the key table; "-" sits after them.
    const int last = int(keys_.size()) - 1;
    int to = -1;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
        to = std::max(0, int(k) - 1);
        break;
    case Qt::Key_Right:
        to = std::min(last, int(k) + 1);
        break;
    case Qt::Key_Up:
        to = int(k) == last ? last : int(k) >= 10 ? int(k) - 10 : last;
        break;
    case Qt::Key_Down:
        to = int(k) == last ? 0 : std::min(last - 1, int(k) + 10);
        break;
    case Qt::Key_Space:
        toggleMark(k);
        return true;
    default:
        return false;
    }
    moveTo(std::size_t(to));
    return true;
}

void KeyHeatMap::clearMarks()
{
    if (marked_.empty())
        return;
    marked_.clear();
    showMarks();
    emit marksChanged();
}

void KeyHeatMap::showKeys(const ProgressStats &stats, int level, HeatMeasure measure)
{
    const PressFigures total = stats.keyTotal(level);
    const double overallRate = total.rate();
    const double overallMs = total.meanMs();
    std::array<std::optional<double>, 31> values;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const char key = keyAt(k);
        const PressFigures &figures = stats.key(level, key);
        const bool shown =
            measure == HeatMeasure::Misses ? figures.presses() > 0 : figures.timed > 0;
        if (!shown)
            continue;
        const double value = measure == HeatMeasure::Misses ? smoothedRate(figures, overallRate)
                                                            : smoothedMs(figures, overallMs);
        values[k] = value;
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    // Misses from none at all; times from the fastest key to the slowest.
    if (measure == HeatMeasure::Misses)
        lowest = 0;

    const QColor face = palette().color(QPalette::Button);
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const char key = keyAt(k);
        const PressFigures &figures = stats.key(level, key);
        const QString caption = k < keyTable.size() ? keys_[k]->text() : QStringLiteral("ー（-）");
        const QString tip = keyText(caption, figures, smoothedRate(figures, overallRate),
                                    smoothedMs(figures, overallMs));
        tips_[k] = tip;
        if (!values[k]) {
            setColour(keys_[k], QPalette::Window, face);
            setColour(keys_[k], QPalette::WindowText, Qt::black);
            continue;
        }
        const double scaled = highest > lowest ? (*values[k] - lowest) / (highest - lowest) : 0;
        QColor background = heatColour(scaled);
        QColor ink = inkOn(background);
        // A few presses say little: their colour is only hinted at.
        if (fewToGoBy(figures.presses())) {
            background = mix(background, face, 0.65);
            ink = fewPressesInk();
        }
        setColour(keys_[k], QPalette::Window, background);
        setColour(keys_[k], QPalette::WindowText, ink);
    }
    showMarks();
    showLegend(measure, lowest, highest);
}

void KeyHeatMap::showLegend(HeatMeasure measure, double lowest, double highest)
{
    const bool any = highest >= lowest && std::isfinite(highest);
    if (measure == HeatMeasure::Misses) {
        legendTitle_->setText(tr("ミス率"));
        lowLabel_->setText(percentText(0));
        highLabel_->setText(any ? percentText(highest) : QStringLiteral("―"));
    } else {
        legendTitle_->setText(tr("1打の時間"));
        lowLabel_->setText(any ? secondsText(lowest) : QStringLiteral("―"));
        highLabel_->setText(any ? secondsText(highest) : QStringLiteral("―"));
    }
}

} // namespace rinkaro
