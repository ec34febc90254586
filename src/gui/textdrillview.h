// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

namespace rinkaro
{

class TextDrill;

// The item of a text drill, drawn over the text panel: the text as written, large and whole,
// and its reading in hiragana under it. The written words whose reading is typed and the
// typed part of the reading are drawn in a lighter ink.
class TextDrillView : public QWidget
{
    Q_OBJECT
public:
    explicit TextDrillView(QWidget *parent);

    // Shown while the drill runs, hidden otherwise.
    void showItem(const TextDrill &drill);

    // What is drawn, for the tests and the screen readers.
    const QString &written() const { return written_; }
    const QString &reading() const { return reading_; }
    int writtenMarked() const { return writtenMarked_; }
    int readingMarked() const { return readingMarked_; }
    // The faces' pixel sizes: as large as the panel's width allows, up to a limit.
    int writtenPixels() const { return writtenPixels_; }
    int readingPixels() const { return readingPixels_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int fittedPixels(const QString &text, int largest) const;

    QString written_;
    QString reading_;
    int writtenMarked_ = 0;
    int readingMarked_ = 0;
    int writtenPixels_ = 0;
    int readingPixels_ = 0;
};

} // namespace rinkaro
