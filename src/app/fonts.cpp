#include "app/fonts.h"

#include <QStringList>

void registerFontSubstitutions()
{
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
    // The installed face is named first: looking up a family that does not exist costs a
    // search through every font on the system before the substitute is tried.
    QFont font;
    font.setFamilies(QFont::substitutes(family) + QStringList{family});
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
