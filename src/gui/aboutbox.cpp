// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/aboutbox.h"

#include "gui/fonts.h"
#include "gui/widgets.h"
#include "version.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace rinkaro
{

namespace
{

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
                  const QFont &font, const QColor &colour, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    setColour(label, QPalette::WindowText, colour);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("About Rinkaro..."));
    setFixedSize(360, 111);
    setFont(pixelFont(pGothicFamily, 12));
    setModal(true);

    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    makeLabel(this, "Label1", QStringLiteral("Rinkaro ver." RINKARO_VERSION), QRect(80, 8, 263, 31),
              pixelFont(timesFamily, 27, true, true), Qt::red, Qt::AlignRight | Qt::AlignTop);
    const QFont credit = pixelFont(courierFamily, 21, true, true);
    const QColor green(0, 0x80, 0);
    makeLabel(this, "Label2", QStringLiteral("By Rinkaro team"), QRect(144, 48, 208, 23), credit,
              green, topLeft);
    makeLabel(this, "Label3", QStringLiteral("Happy typing!"), QRect(155, 80, 195, 23), credit,
              green, topLeft);

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setGeometry(8, 16, 65, 65);
    picture_->setAlignment(topLeft);

    // Something to hold the focus, so that a screen reader has the box to read and Return or
    // Space closes it; under the picture, where the credits leave room.
    auto *close = new QPushButton(QStringLiteral("OK"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setGeometry(8, 86, 65, 22);
    close->setDefault(true);
    close->setAccessibleDescription(
        tr("Rinkaro ver.%1、By Rinkaro team、Happy typing!").arg(QStringLiteral(RINKARO_VERSION)));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    close->setFocus();
}

QImage AboutBox::keysPicture()
{
    QImage picture(64, 64, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The keyboard's dark body, lit from the top left.
    QLinearGradient body(0, 0, 64, 64);
    body.setColorAt(0, QColor(70, 72, 80));
    body.setColorAt(1, QColor(20, 20, 26));
    painter.fillRect(picture.rect(), body);

    // Two rows of keys, turned and sheared so that they recede to the top right.
    QTransform slant;
    slant.translate(-6, 30);
    slant.rotate(-24);
    slant.shear(0.35, 0);
    painter.setTransform(slant);

    const char *const rows[2] = {"FGH", "VBN"};
    painter.setFont(pixelFont(impactFamily, 15, true));
    constexpr double pitch = 25;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF cap(column * pitch + row * 9, row * pitch, 21, 21);
            // The key's side shows below and to the right of its top.
            QPainterPath side;
            side.addRoundedRect(cap.translated(2.5, 4), 4, 4);
            painter.fillPath(side, QColor(120, 120, 116));
            QPainterPath top;
            top.addRoundedRect(cap, 4, 4);
            QLinearGradient face(cap.topLeft(), cap.bottomRight());
            face.setColorAt(0, QColor(252, 252, 246));
            face.setColorAt(1, QColor(196, 196, 188));
            painter.fillPath(top, face);
            painter.setPen(QColor(40, 40, 48));
            painter.drawText(cap, Qt::AlignCenter, QString(QLatin1Char(rows[row][column])));
        }
    }
    painter.end();
    return picture.convertToFormat(QImage::Format_RGB888);
}

void AboutBox::showEvent(QShowEvent *event)
{
    // Drawn when first asked for: its lettering would otherwise load a font at start-up.
    if (picture_->pixmap().isNull())
        picture_->setPixmap(QPixmap::fromImage(keysPicture()));
    QDialog::showEvent(event);
    // Centred on the screen rather than on the main window.
    centreOnScreen(this);
}

} // namespace rinkaro
