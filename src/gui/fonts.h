// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace rinkaro
{

// The faces the windows are designed in. Linux desktops have none of them, so start-up
// maps each name onto a Debian font of the same metrics or character.
inline const QString gothicFamily = QStringLiteral("ＭＳ ゴシック");    // fixed-width
inline const QString pGothicFamily = QStringLiteral("ＭＳ Ｐゴシック"); // proportional
inline const QString impactFamily = QStringLiteral("Impact");
inline const QString timesFamily = QStringLiteral("Times New Roman");
inline const QString courierFamily = QStringLiteral("Courier New");

// Also lifts the size limit of Qt's faked bold (see emboldenLargeText): call it before any
// text is drawn.
void registerFontSubstitutions();

// Pop-up menus and message boxes are windows of their own and take the application's font,
// not the main window's. Making that the proportional Gothic keeps their kana and kanji in
// the Japanese face instead of a fallback, which may be a Chinese face with other glyph shapes.
// Call after registerFontSubstitutions().
void setJapaneseApplicationFont();

// IPAGothic has no bold face, and Qt's FreeType engine fakes one only below 64 pixels unless
// QT_NO_SYNTHESIZED_BOLD_LIMIT is set, as registerFontSubstitutions() does. Where the limit
// still holds, the widget's one-line text is drawn emboldened by itself when its font asks for
// bold at those sizes and the face has none.
void emboldenLargeText(QWidget *widget);

// A font of the installed face that stands for the design's `family`, at the given pixel
// height (sizes are in pixels so that they do not depend on the screen's resolution).
QFont pixelFont(const QString &family, int pixels, bool bold = false, bool italic = false);

} // namespace rinkaro
