// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/resultdialog.h"

#include "core/weakspots.h"
#include "gui/fonts.h"
#include "gui/widgets.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace rinkaro
{

namespace
{

constexpr int clientWidth = 289;
constexpr int clientHeight = 120;
// Where the design puts each control.
constexpr QRect timeRect(176, 24, 57, 16), secondsRect(248, 24, 16, 16), errorsRect(248, 56, 8, 16),
    errorsCaptionRect(184, 56, 48, 16), standardRect(104, 24, 25, 16),
    standardCaptionRect(16, 24, 80, 16), bestRect(104, 56, 25, 16), bestCaptionRect(16, 56, 80, 16),
    dividerRect(152, 8, 2, 105), okRect(208, 88, 73, 25);
// The lines below the rest: the weak-spot report under its caption, and the advice with its
// button; each this high.
constexpr int lineHeight = 18;
constexpr int buttonHeight = 25;
// The room kept between a label and its neighbours.
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

ResultDialog::ResultDialog(QWidget *parent)
    // A title bar without the system menu or a close box: the O K button is the way out.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("タイピング時間"));
    setFont(pixelFont(pGothicFamily, 12));
    setFixedSize(clientWidth, clientHeight);

    struct LabelRow {
        QLabel **label; // the member that keeps it, if any
        const char *name;
        QRect geometry;
        const char *caption;
        Qt::Alignment alignment;
    };
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    // Created in the order of their names, which is also the order a test double lists them in.
    const LabelRow labelRows[] = {
        {&timeLabel_, "Label1", timeRect, "0", Qt::AlignRight | Qt::AlignVCenter},
        {&secondsCaption_, "Label2", secondsRect, QT_TR_NOOP("秒"), left},
        {&errorsLabel_, "Label3", errorsRect, "0", left},
        {&errorsCaption_, "Label4", errorsCaptionRect, QT_TR_NOOP("エラー"), left},
        {&standardLabel_, "Label5", standardRect, "0", left},
        {nullptr, "Label6", standardCaptionRect, QT_TR_NOOP("標準タイム"), left},
        {&bestLabel_, "Label7", bestRect, "0", left},
        {nullptr, "Label8", bestCaptionRect, QT_TR_NOOP("最高タイム"), left},
    };
    const QFont labelFont = pixelFont(gothicFamily, 16);
    std::array<QLabel *, std::size(labelRows)> labels{};
    for (const LabelRow &entry : labelRows) {
        auto *label = new QLabel(tr(entry.caption), this);
        label->setObjectName(QLatin1String(entry.name));
        label->setGeometry(entry.geometry);
        label->setAlignment(entry.alignment);
        label->setFont(labelFont);
        setColour(label, QPalette::WindowText, Qt::black);
        if (entry.label)
            *entry.label = label;
        labels[std::size_t(&entry - labelRows)] = label;
    }
    // Each caption labels its value, so that a screen reader reads them as pairs and not as
    // "12.7, 秒, 0, エラー ..." (the values' names carry their captions too, see setResult).
    for (const auto &[caption, value] :
         {std::pair{5, 4}, std::pair{7, 6}, std::pair{1, 0}, std::pair{3, 2}})
        labels[std::size_t(caption)]->setBuddy(labels[std::size_t(value)]);

    divider_ = new QFrame(this);
    divider_->setObjectName(QStringLiteral("Bevel1"));
    divider_->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    divider_->setGeometry(dividerRect);

    okButton_ = new QPushButton(QStringLiteral("O K"), this);
    okButton_->setObjectName(QStringLiteral("Button1"));
    // Spoken as a word, not as two letters.
    okButton_->setAccessibleName(QStringLiteral("OK"));
    okButton_->setGeometry(okRect);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::close);
    okButton_->setFocus();

    weakSpotsCaption_ = new QLabel(weakSpotsReportCaption(), this);
    weakSpotsCaption_->setObjectName(QStringLiteral("weakSpotsCaption"));
    weakSpotsLabel_ = new QLabel(this);
    weakSpotsLabel_->setObjectName(QStringLiteral("weakSpotsLabel"));
    weakSpotsCaption_->setBuddy(weakSpotsLabel_);
    adviceLabel_ = new QLabel(this);
    adviceLabel_->setObjectName(QStringLiteral("weakestLabel"));
    practiseButton_ = new QPushButton(tr("苦手を練習"), this);
    practiseButton_->setObjectName(QStringLiteral("practiseWeakButton"));
    practiseButton_->setAutoDefault(false);
    connect(practiseButton_, &QPushButton::clicked, this, [this] {
        practiseChosen_ = true;
        close();
    });
    for (QLabel *label : {weakSpotsCaption_, weakSpotsLabel_, adviceLabel_}) {
        setColour(label, QPalette::WindowText, Qt::black);
        label->hide();
    }
    practiseButton_->hide();
}

void ResultDialog::setAdvice(const QString &weakest)
{
    adviceLabel_->setText(weakest);
    adviceLabel_->setVisible(!weakest.isEmpty());
    practiseButton_->setVisible(!weakest.isEmpty());
    practiseButton_->setAccessibleDescription(weakest);
    layOutValues();
}

void ResultDialog::setResult(const QString &seconds, const QString &errors, const QString &standard,
                             const QString &best, const QString &weakSpots)
{
    weakSpotsLabel_->setText(weakSpots);
    weakSpotsLabel_->setVisible(!weakSpots.isEmpty());
    weakSpotsCaption_->setVisible(!weakSpots.isEmpty());
    timeLabel_->setText(seconds);
    errorsLabel_->setText(errors);
    standardLabel_->setText(standard);
    bestLabel_->setText(best);
    const auto timeName = [](const QString &caption, const QString &value) {
        return value == noTime() ? tr("%1 なし").arg(caption) : tr("%1 %2 秒").arg(caption, value);
    };
    standardLabel_->setAccessibleName(timeName(tr("標準タイム"), standard));
    bestLabel_->setAccessibleName(timeName(tr("最高タイム"), best));
    weakSpotsLabel_->setAccessibleName(weakSpotsReportCaption() + QLatin1Char(' ') + weakSpots);
    timeLabel_->setAccessibleName(tr("タイピング時間 %1 秒").arg(seconds));
    errorsLabel_->setAccessibleName(tr("エラー %1").arg(errors));
    layOutValues();
}

void ResultDialog::layOutValues()
{
    // Design geometry first, so that a long value of an earlier run leaves nothing behind.
    fitToText(standardLabel_, standardRect);
    fitToText(bestLabel_, bestRect);
    // The left half's values end before the divider; if they cannot, the right half moves.
    const int leftEnd =
        std::max(standardLabel_->geometry().right(), bestLabel_->geometry().right());
    const int shift = std::max(0, leftEnd + 1 + gap - dividerRect.x());
    struct Placed {
        QWidget *widget;
        QRect design;
    };
    const Placed rightHalf[] = {
        {divider_, dividerRect},
        {timeLabel_, timeRect},
        {secondsCaption_, secondsRect},
        {errorsLabel_, errorsRect},
        {errorsCaption_, errorsCaptionRect},
        {okButton_, okRect},
    };
    for (const Placed &placed : rightHalf)
        placed.widget->setGeometry(placed.design.translated(shift, 0));
    fitToText(timeLabel_, timeRect.translated(shift, 0));
    fitToText(errorsLabel_, errorsRect.translated(shift, 0));
    // The error count is the rightmost text; the dialog keeps its margin beside it.
    int rightEnd = std::max(errorsLabel_->geometry().right(), okButton_->geometry().right());
    int height = clientHeight;
    const auto addLine = [&](QLabel *label) {
        fitToText(label, QRect(16, height, 1, lineHeight));
        rightEnd = std::max(rightEnd, label->geometry().right() + 8); // margins alike
        height += lineHeight;
    };
    if (!weakSpotsLabel_->isHidden()) {
        addLine(weakSpotsCaption_);
        addLine(weakSpotsLabel_);
        height += 6;
    }
    if (!adviceLabel_->isHidden()) {
        const int button = practiseButton_->sizeHint().width();
        adviceLabel_->setGeometry(16, height + (buttonHeight - lineHeight) / 2, 1, lineHeight);
        fitToText(adviceLabel_, adviceLabel_->geometry());
        const int x = std::max(adviceLabel_->geometry().right() + 1 + 2 * gap,
                               okButton_->geometry().right() + 1 - button);
        practiseButton_->setGeometry(x, height, button, buttonHeight);
        rightEnd = std::max(rightEnd, practiseButton_->geometry().right());
        height += buttonHeight + 8;
    }
    setFixedSize(std::max(clientWidth + shift, rightEnd + 1 + 8), height);
}

void ResultDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    practiseChosen_ = false;
    // Centred on the screen rather than over the main window; Enter is for the O K button.
    centreOnScreen(this);
    okButton_->setFocus();
}

} // namespace rinkaro
