// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace rinkaro
{

// The typing-time dialog shown at the end of a run: the run's time and errors beside the
// level's standard time and best time.
class ResultDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ResultDialog(QWidget *parent = nullptr);

    // What stands for a standard or best time that a run cannot have; read out as none.
    static QString noTime() { return QStringLiteral("—"); }

    // Shows a run's figures, each value label sized to its whole text. Long values push
    // the right half (and, if they must, the dialog's edge) outwards, never across the
    // divider or the O K button. A weak-spot run's report takes one more line below them.
    void setResult(const QString &seconds, const QString &errors, const QString &standard,
                   const QString &best, const QString &weakSpots = QString());

    // After a run of the nine levels: a line naming the learner's weakest keys or kana
    // ("苦手: F J ;") with a button to practise them; none when empty.
    void setAdvice(const QString &weakest);
    // Whether the dialog was closed by asking to practise the weakest.
    bool practiseChosen() const { return practiseChosen_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void layOutValues();

    QLabel *timeLabel_ = nullptr;           // Label1
    QLabel *secondsCaption_ = nullptr;      // Label2
    QLabel *errorsLabel_ = nullptr;         // Label3
    QLabel *errorsCaption_ = nullptr;       // Label4
    QLabel *standardLabel_ = nullptr;       // Label5
    QLabel *bestLabel_ = nullptr;           // Label7
    QFrame *divider_ = nullptr;             // Bevel1
    QPushButton *okButton_ = nullptr;       // Button1
    QLabel *weakSpotsCaption_ = nullptr;    // weakSpotsCaption
    QLabel *weakSpotsLabel_ = nullptr;      // weakSpotsLabel
    QLabel *adviceLabel_ = nullptr;         // weakestLabel
    QPushButton *practiseButton_ = nullptr; // practiseWeakButton
    bool practiseChosen_ = false;
};

} // namespace rinkaro
