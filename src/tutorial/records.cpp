#include "app/fonts.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/widgets.h"
#include "core/scorebook.h"
#include "tutorial/form2.h"

#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <array>

namespace
{

constexpr int panelWidth = 521;
constexpr int panelHeight = 240;
constexpr int rolledHeight = 20;

const std::array<QString, 9> levelCaptions{
    QStringLiteral("Level 1 ホーム"),       QStringLiteral("Level 2 ホーム＋上段"),
    QStringLiteral("Level 3 ホーム＋下段"), QStringLiteral("Level 4 A to Z"),
    QStringLiteral("Level 5 ローマ字１"),   QStringLiteral("Level 6 ローマ字２"),
    QStringLiteral("Level 7 ひらがな１"),   QStringLiteral("Level 8 ひらがな２"),
    QStringLiteral("Level 9 ひらがな３"),
};

// Only the level names can be edited in place, as in a report list; the editor stays
// out of the input method like every other control of the window.
class CaptionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        if (index.column() != 0)
            return nullptr;
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->setAttribute(Qt::WA_InputMethodEnabled, false);
        return editor;
    }
    // Rows only as high as the font, so that the header and all nine levels fit the list.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(option.fontMetrics.height());
        return size;
    }
};

class ScoreHeader : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;
    QSize sizeHint() const override
    {
        QSize size = QHeaderView::sizeHint();
        size.setHeight(fontMetrics().height() + 4);
        return size;
    }
};

// An item view turns input methods back on by itself whenever its current row becomes
// an editable one and when an in-place editor closes; keys typed in a run would then be
// composed instead of judged. The list turns them off again after each of these.
class ScoreList : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        QTreeWidget::currentChanged(current, previous);
        setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        QTreeWidget::closeEditor(editor, hint);
        setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    void focusInEvent(QFocusEvent *event) override
    {
        QTreeWidget::focusInEvent(event);
        setAttribute(Qt::WA_InputMethodEnabled, false);
    }
};

} // namespace

void TForm1::buildScorePanel()
{
    scorePanel = new QFrame(drillArea);
    scorePanel->setObjectName(QStringLiteral("scorePanel"));
    scorePanel->setGeometry(140, 0, panelWidth, panelHeight);
    setUnrollingPanelFrame(scorePanel);
    scorePanel->setAutoFillBackground(true);

    Button3 = new QPushButton(QStringLiteral("OK"), scorePanel);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(424, 192, 81, 25);
    Button3->setAutoDefault(false);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);

    scoreList = new ScoreList(scorePanel);
    scoreList->setObjectName(QStringLiteral("scoreList"));
    scoreList->setGeometry(10, 12, 501, 165);
    scoreList->setFrameShape(QFrame::NoFrame);
    // The font first, so that the header is measured once, in its own font.
    scoreList->setFont(pixelFont(gothicFamily, 15));
    scoreList->setHeader(new ScoreHeader(Qt::Horizontal, scoreList));
    // The four columns fill the list's width exactly.
    scoreList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setColour(scoreList, QPalette::Text, Qt::black);
    scoreList->setRootIsDecorated(false);
    scoreList->setItemsExpandable(false);
    scoreList->setSortingEnabled(false);
    scoreList->setUniformRowHeights(true);
    scoreList->setEditTriggers(QAbstractItemView::SelectedClicked |
                               QAbstractItemView::EditKeyPressed);
    scoreList->setItemDelegate(new CaptionDelegate(scoreList));

    scoreList->setColumnCount(4);
    scoreList->setHeaderLabels({QStringLiteral("レベル"), QStringLiteral("標準スコア"),
                                QStringLiteral("ハイ・スコア"), QStringLiteral("ランダム")});
    QHeaderView *header = scoreList->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    const int widths[4] = {170, 110, 110, 110};
    for (int column = 0; column < 4; ++column) {
        header->resizeSection(column, widths[column]);
        scoreList->headerItem()->setTextAlignment(
            column, (column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }

    for (const QString &caption : levelCaptions) {
        auto *row = new QTreeWidgetItem(scoreList, QStringList{caption});
        row->setFlags(row->flags() | Qt::ItemIsEditable);
        for (int column = 1; column < 4; ++column)
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }

    setTabOrder(Button3, scoreList);
    scorePanel->hide();
}

void TForm1::showScoreClick()
{
    for (int row = 0; row < 9; ++row) {
        QTreeWidgetItem *item = scoreList->topLevelItem(row);
        const int level = row + 1;
        item->setText(1, QString::number(standardScores[level]));
        item->setText(2, formatTenths(highScores[level]));
        item->setText(3, formatTenths(randomScores[level]));
    }

    scorePanel->raise(); // above the text panel and whatever else shares the drill area
    scorePanel->show();
    Button3->setFocus();

    int step = 0;
    for (int height = rolledHeight; height <= panelHeight; ++height) {
        scorePanel->resize(panelWidth, height);
        platform_.animationStep(scorePanel, ++step);
    }
}

void TForm1::Button3Click()
{
    scorePanel->resize(panelWidth, rolledHeight);
    scorePanel->hide();
    Button1->setFocus();
}

void TForm1::aboutMenu1Click()
{
    platform_.showModal(Form2);
}
