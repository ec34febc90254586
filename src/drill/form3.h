#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The typing-time dialog shown at the end of a run: the run's time and errors beside the
// level's standard time and best time.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    QFrame *Bevel1 = nullptr;
    QPushButton *Button1 = nullptr;

    // Shows a run's figures, each value label sized to its whole text. Long values push
    // the right half (and, if they must, the dialog's edge) outwards, never across the
    // divider or the O K button.
    void setResult(const QString &seconds, const QString &errors, const QString &standard,
                   const QString &best);

    void Button1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void layOutValues();
};
