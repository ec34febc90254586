// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a text drill's data file at build time and copies it to where the resource
// compiler takes it: a faulty line stops the build, named as a compiler names an error.
//   rinkaro_checkmaterial NAME INPUT OUTPUT
#include "core/textmaterial.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

using namespace rinkaro;

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s words|sentences INPUT OUTPUT\n", argv[0]);
        return 2;
    }
    const TextDrillKind *kind = textDrillKind(QString::fromLocal8Bit(argv[1]));
    QFile input(QString::fromLocal8Bit(argv[2]));
    if (!kind || !input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: error: cannot read this drill's material\n", argv[2]);
        return 1;
    }
    const QByteArray bytes = input.readAll();
    const TextMaterial material =
        readTextMaterial(QString::fromUtf8(bytes), kind->shortest, kind->longest);
    if (material.errorLine > 0) {
        std::fprintf(stderr, "%s:%d: error: %s\n", argv[2], material.errorLine,
                     material.error.toUtf8().constData());
        return 1;
    }
    if (material.items.empty()) {
        std::fprintf(stderr, "%s: error: no items\n", argv[2]);
        return 1;
    }
    QSaveFile output(QString::fromLocal8Bit(argv[3]));
    if (!output.open(QIODevice::WriteOnly) || output.write(bytes) != bytes.size() ||
        !output.commit()) {
        std::fprintf(stderr, "%s: error: cannot be written\n", argv[3]);
        return 1;
    }
    return 0;
}
