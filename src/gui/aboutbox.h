// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

namespace rinkaro
{

// The about box: product name and version, two credit lines and a picture of keys.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

    // A few keyboard keys seen close up at a slant, 64 x 64 in 24-bit colour.
    static QImage keysPicture();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *picture_ = nullptr; // Image1
};

} // namespace rinkaro
