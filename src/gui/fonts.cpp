// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/fonts.h"

#include "gui/widgets.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProxyStyle>
#include <QRawFont>
#include <QStringList>
#include <QWidget>

namespace rinkaro
{

namespace
{

// The installed face each design name stands for, found at its first use.
QHash<QString, QString> &installedFaces()
{
    static QHash<QString, QString> faces;
    return faces;
}

// The first substitute of `family` that is installed; the name itself when none is.
QString installedFace(const QString &family)
{
    QHash<QString, QString> &faces = installedFaces();
    const auto known = faces.constFind(family);
    if (known != faces.cend())
        return *known;
    QString face = family;
    for (const QString &substitute : QFont::substitutes(family)) {
        // styles() answers from the font list; hasFamily() would run fontconfig's
        // substitution rules for every name.
        if (!QFontDatabase::styles(substitute).isEmpty()) {
            face = substitute;
            break;
        }
    }
    faces.insert(family, face);
    return face;
}

} // namespace

void registerFontSubstitutions()
{
    // FreeType fakes the bold of the Gothic's large lines in its glyphs, the same weight the
    // program would otherwise stroke around their outlines at every paint, for a tenth of
    // the cost (it decides per font, when the font is first used).
    if (!qEnvironmentVariableIsSet("QT_NO_SYNTHESIZED_BOLD_LIMIT"))
        qputenv("QT_NO_SYNTHESIZED_BOLD_LIMIT", "1");
    installedFaces().clear();
    QFont::insertSubstitutions(gothicFamily, QStringList{QStringLiteral("IPAGothic")});
    QFont::insertSubstitutions(pGothicFamily, QStringList{QStringLiteral("IPAPGothic")});
    // A condensed heavy face for the key captions; fontconfig's own guess for "Impact"
    // can be a symbol font.
    QFont::insertSubstitutions(impactFamily, QStringList{QStringLiteral("Bebas Neue"),
                                                         QStringLiteral("Liberation Sans Narrow")});
    QFont::insertSubstitutions(timesFamily, QStringList{QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(courierFamily, QStringList{QStringLiteral("Liberation Mono")});
}

QFont pixelFont(const QString &family, int pixels, bool bold, bool italic)
{
    // The installed face alone: a design name that fontconfig does not know costs a search
    // through every font on the system, and a second family makes Qt sort every font on the
    // system into a fallback list at the font's first use, which this program's texts never
    // need. With one family that list is only made if a character is missing from the face.
    QFont font(installedFace(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void setJapaneseApplicationFont()
{
    QApplication::setFont(pixelFont(pGothicFamily, 12));
}

namespace
{

// Qt's FreeType engine fakes the bold of a face that has none only below this pixel size
// (seen: IPAGothic bold at 63 px, thin at 64), whatever else the font asks for.
constexpr int syntheticBoldLimit = 64;

// The weight class the face itself declares (its OS/2 table), whatever weight was asked for.
int faceWeight(const QFont &font)
{
    const QByteArray os2 = QRawFont::fromFont(font).fontTable("OS/2");
    if (os2.size() < 6)
        return QFont::Normal;
    return (uchar(os2[4]) << 8) | uchar(os2[5]);
}

bool needsPaintedBold(const QFont &font)
{
    if (font.weight() < QFont::Bold || (qEnvironmentVariableIsSet("QT_NO_SYNTHESIZED_BOLD_LIMIT") &&
                                        !qEnvironmentVariableIsSet("QT_NO_SYNTHESIZED_BOLD")))
        return false;
    // Asked at every repaint of the drill text: the font's tables are read once per font.
    static QHash<QString, bool> answers;
    const QString key = font.key();
    const auto known = answers.constFind(key);
    if (known != answers.cend())
        return *known;
    const bool needed =
        QFontInfo(font).pixelSize() >= syntheticBoldLimit && faceWeight(font) < QFont::Bold;
    answers.insert(key, needed);
    return needed;
}

class LargeBoldStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                      bool enabled, const QString &text, QPalette::ColorRole role) const override
    {
        const QFont font = painter->font();
        if (text.contains(QLatin1Char('\n')) ||
            (flags & (Qt::TextWordWrap | Qt::TextShowMnemonic)) || !needsPaintedBold(font)) {
            QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
            return;
        }
        // The outline is placed where drawText() would put the line, then filled and stroked
        // with the strength FreeType gives its own synthetic bold (a 24th of the em), so that
        // the text looks the same just above and just below the limit.
        const QFontMetricsF metrics(font);
        const QRectF line = metrics.boundingRect(QRectF(rect), flags, text);
        QPainterPath outline;
        outline.addText(line.left(), line.top() + metrics.ascent(), font, text);
        const QBrush ink = role == QPalette::NoRole ? painter->pen().brush() : palette.brush(role);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(ink, QFontInfo(font).pixelSize() / 24.0, Qt::SolidLine, Qt::RoundCap,
                             Qt::RoundJoin));
        painter->setBrush(ink);
        painter->drawPath(outline);
        painter->restore();
    }
};

} // namespace

void emboldenLargeText(QWidget *widget)
{
    // One style for every such widget; a widget does not own the style it is given.
    static QPointer<QStyle> style;
    if (!style) {
        // The panel that shows it is repainted at every key: its frame is drawn quickly too.
        style = new LargeBoldStyle(newQuickPanelStyle());
        style->setParent(QCoreApplication::instance());
    }
    widget->setStyle(style);
}

} // namespace rinkaro
