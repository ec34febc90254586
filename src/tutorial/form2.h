#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

// The about box: product name and version, two credit lines and a picture of keys.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QLabel *Image1 = nullptr;

    // A few keyboard keys seen close up at a slant, 64 x 64 in 24-bit colour.
    static QImage keysPicture();

protected:
    void showEvent(QShowEvent *event) override;
};
