#include "drill/form3.h"

#include "app/fonts.h"
#include "app/widgets.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace
{

constexpr int clientWidth = 289;
constexpr int clientHeight = 120;
// The divider between the two halves, and the room kept between a label and its neighbours.
constexpr int dividerLeft = 152;
constexpr int gap = 4;

// Each value label takes exactly the width of its text; Label1 grows to the left.
void fitToText(QLabel *label, const QRect &design)
{
    const int width = std::max(1, label->fontMetrics().horizontalAdvance(label->text()));
    if (label->alignment() & Qt::AlignRight)
        label->setGeometry(design.right() + 1 - width, design.y(), width, design.height());
    else
        label->setGeometry(design.x(), design.y(), width, design.height());
}

} // namespace

TForm3::TForm3(QWidget *parent)
    // A title bar without the system menu or a close box: the O K button is the way out.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("タイピング時間"));
    setFont(pixelFont(pGothicFamily, 12));
    setFixedSize(clientWidth, clientHeight);

    struct LabelRow {
        QLabel *&label;
        const char *name;
        QRect geometry;
        const char *caption;
        Qt::Alignment alignment;
    };
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    // Created in the order of their names, which is also the order a test double lists them in.
    const LabelRow labelRows[] = {
        {Label1, "Label1", QRect(176, 24, 57, 16), "0", Qt::AlignRight | Qt::AlignVCenter},
        {Label2, "Label2", QRect(248, 24, 16, 16), "秒", left},
        {Label3, "Label3", QRect(248, 56, 8, 16), "0", left},
        {Label4, "Label4", QRect(184, 56, 48, 16), "エラー", left},
        {Label5, "Label5", QRect(104, 24, 25, 16), "0", left},
        {Label6, "Label6", QRect(16, 24, 80, 16), "標準タイム", left},
        {Label7, "Label7", QRect(104, 56, 25, 16), "0", left},
        {Label8, "Label8", QRect(16, 56, 80, 16), "最高タイム", left},
    };
    const QFont labelFont = pixelFont(gothicFamily, 16);
    for (const LabelRow &entry : labelRows) {
        auto *label = new QLabel(QString::fromUtf8(entry.caption), this);
        label->setObjectName(QLatin1String(entry.name));
        label->setGeometry(entry.geometry);
        label->setAlignment(entry.alignment);
        label->setFont(labelFont);
        setColour(label, QPalette::WindowText, Qt::black);
        entry.label = label;
    }

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    Bevel1->setGeometry(152, 8, 2, 105);

    Button1 = new QPushButton(QStringLiteral("O K"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(208, 88, 73, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    Button1->setFocus();
}

void TForm3::setResult(const QString &seconds, const QString &errors, const QString &standard,
                       const QString &best)
{
    Label1->setText(seconds);
    Label3->setText(errors);
    Label5->setText(standard);
    Label7->setText(best);
    layOutValues();
}

void TForm3::layOutValues()
{
    // Design geometry first, so that a long value of an earlier run leaves nothing behind.
    const QRect label1(176, 24, 57, 16), label3(248, 56, 8, 16), label5(104, 24, 25, 16),
        label7(104, 56, 25, 16);
    fitToText(Label5, label5);
    fitToText(Label7, label7);
    // The left half's values end before the divider; if they cannot, the right half moves.
    const int leftEnd = std::max(Label5->geometry().right(), Label7->geometry().right());
    const int shift = std::max(0, leftEnd + 1 + gap - dividerLeft);
    struct Placed {
        QWidget *widget;
        QRect design;
    };
    const Placed rightHalf[] = {
        {Bevel1, QRect(152, 8, 2, 105)},    {Label1, label1},
        {Label2, QRect(248, 24, 16, 16)},   {Label3, label3},
        {Label4, QRect(184, 56, 48, 16)},   {Button1, QRect(208, 88, 73, 25)},
    };
    for (const Placed &placed : rightHalf)
        placed.widget->setGeometry(placed.design.translated(shift, 0));
    fitToText(Label1, label1.translated(shift, 0));
    fitToText(Label3, label3.translated(shift, 0));
    // The error count is the rightmost text; the dialog keeps its margin beside it.
    const int rightEnd = std::max(Label3->geometry().right(), Button1->geometry().right());
    setFixedSize(std::max(clientWidth + shift, rightEnd + 1 + 8), clientHeight);
}

void TForm3::Button1Click()
{
    close();
}

void TForm3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen rather than over the main window; Enter is for the O K button.
    centreOnScreen(this);
    Button1->setFocus();
}
