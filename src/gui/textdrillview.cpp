// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/textdrillview.h"

#include "core/textdrill.h"
#include "gui/fonts.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace rinkaro
{

namespace
{

constexpr int margin = 8;
constexpr int largestWritten = 40;
constexpr int largestReading = 20;
const QColor ink(Qt::black);
const QColor typedInk(0xA0, 0xA0, 0xA0);
const QColor readingInk(0x00, 0x00, 0xA0);

} // namespace

TextDrillView::TextDrillView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("textDrillView"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

int TextDrillView::fittedPixels(const QString &text, int largest) const
{
    const int room = width() - 2 * margin;
    const QFontMetrics metrics(pixelFont(gothicFamily, largest));
    const int advance = metrics.horizontalAdvance(text);
    return advance > room ? std::max(1, largest * room / advance) : largest;
}

void TextDrillView::showItem(const TextDrill &drill)
{
    if (!drill.running()) {
        hide();
        return;
    }
    const QString written = drill.written();
    if (written != written_) {
        written_ = written;
        reading_ = drill.reading();
        writtenPixels_ = fittedPixels(written_, largestWritten);
        readingPixels_ = fittedPixels(reading_, largestReading);
    }
    writtenMarked_ = drill.writtenDone();
    readingMarked_ = drill.readingTyped();
    show();
    raise();
    update();
}

void TextDrillView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Each line centred, its typed part in the lighter ink, the rest after it.
    const auto drawLine = [&](const QString &text, int marked, int pixels, int baseline,
                              const QColor &rest) {
        const QFont font = pixelFont(gothicFamily, pixels);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const QString done = text.left(marked);
        int x = (width() - metrics.horizontalAdvance(text)) / 2;
        painter.setPen(typedInk);
        painter.drawText(x, baseline, done);
        x += metrics.horizontalAdvance(done);
        painter.setPen(rest);
        painter.drawText(x, baseline, text.mid(marked));
    };
    const int writtenBaseline = 4 + (height() - 8) * 3 / 5;
    drawLine(written_, writtenMarked_, writtenPixels_, writtenBaseline, ink);
    drawLine(reading_, readingMarked_, readingPixels_, height() - 6, readingInk);
}

} // namespace rinkaro
