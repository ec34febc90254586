#include "gui/progress/keyheatmap.h"

#include "core/keytable.h"
#include "gui/keyboardview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace
{

// Light yellow to dark red: the misses stand out, and the key captions stay readable in
// black on the light end and in white on the dark end.
const std::array<QColor, 5> heatStops{QColor(0xff, 0xff, 0xcc), QColor(0xfe, 0xd9, 0x76),
                                      QColor(0xfd, 0x8d, 0x3c), QColor(0xe3, 0x1a, 0x1c),
                                      QColor(0x80, 0x00, 0x26)};

// Half the main window's keyboard: big enough for its captions, small enough to sit beside
// the kana list.
constexpr qreal keyboardScale = 0.55;

class ColourBar : public QWidget
{
public:
    explicit ColourBar(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("missLegend"));
        setFixedHeight(12);
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

} // namespace

QColor heatColour(double scaled)
{
    const double position = std::clamp(scaled, 0.0, 1.0) * (heatStops.size() - 1);
    const std::size_t low = std::min(std::size_t(position), heatStops.size() - 2);
    const double t = position - double(low);
    const QColor &a = heatStops[low];
    const QColor &b = heatStops[low + 1];
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QString percentText(double rate)
{
    return QString::number(rate * 100, 'f', 1) + QStringLiteral(" %");
}

QString typedKeyName(char typed)
{
    if (typed == ' ')
        return QStringLiteral("スペース");
    if (typed > ' ' && typed < 0x7f)
        return QString(QLatin1Char(typed)).toUpper();
    return QStringLiteral("0x%1").arg(uchar(typed), 2, 16, QLatin1Char('0'));
}

QString keyMissText(const QString &caption, const MissCount *count)
{
    if (!count || count->misses + count->right == 0)
        return QStringLiteral("%1: 記録なし").arg(caption);
    QString text = QStringLiteral("%1: %2、ミス %3 回")
                       .arg(caption, percentText(count->rate()))
                       .arg(count->misses);
    if (const char instead = count->mostOftenInstead())
        text += QStringLiteral("、よく押す誤キー %1").arg(typedKeyName(instead));
    return text;
}

KeyHeatMap::KeyHeatMap(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("keyHeatMap"));
    keyboard = new KeyboardView(this);
    keyboard->setScale(keyboardScale);
    colourBar = new ColourBar(this);
    auto *minimumLabel = new QLabel(QStringLiteral("0 %"), this);
    maximumLabel = new QLabel(this);
    maximumLabel->setObjectName(QStringLiteral("missLegendMaximum"));

    auto *legend = new QHBoxLayout;
    legend->addWidget(new QLabel(QStringLiteral("ミス率"), this));
    legend->addWidget(minimumLabel);
    legend->addWidget(colourBar, 1);
    legend->addWidget(maximumLabel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(keyboard);
    layout->addLayout(legend);
}

void KeyHeatMap::showMisses(const std::map<char, MissCount> &keys)
{
    double highest = 0;
    for (const KeyInfo &key : keyTable)
        if (const auto found = keys.find(key.litBy[0]); found != keys.end())
            highest = std::max(highest, found->second.rate());

    const QColor face = palette().color(QPalette::Button);
    for (std::size_t k = 0; k < keyTable.size(); ++k) {
        const KeyInfo &key = keyTable[k];
        const auto found = keys.find(key.litBy[0]);
        const MissCount *count = found != keys.end() ? &found->second : nullptr;
        const QString caption = QString::fromLatin1(key.caption);
        if (!count || count->misses + count->right == 0) {
            keyboard->paintKey(k, face, Qt::black, keyMissText(caption, nullptr));
            continue;
        }
        const QColor background = heatColour(highest > 0 ? count->rate() / highest : 0);
        const double luminance =
            0.299 * background.redF() + 0.587 * background.greenF() + 0.114 * background.blueF();
        const QColor ink = luminance < 0.5 ? Qt::white : Qt::black;
        keyboard->paintKey(k, background, ink, keyMissText(caption, count));
    }
    maximumLabel->setText(percentText(highest));
}
