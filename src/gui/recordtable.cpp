// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/recordtable.h"

#include "core/levels.h"
#include "core/scorebook.h"
#include "gui/fonts.h"
#include "gui/platform.h"
#include "gui/widgets.h"

#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace rinkaro
{

namespace
{

constexpr int panelWidth = 521;
constexpr int panelHeight = 240;
constexpr int rolledHeight = 20;

// The in-place editor of a level name. A line edit tells the input method that it takes
// composed text whatever its WA_InputMethodEnabled says; during a run an input method or a
// dead key would then take the keys the drill judges. It stays out, like every other control
// of the window, and a run's key routing gives its keys to the drill.
class CaptionEditor : public QLineEdit
{
    Q_OBJECT
public:
    explicit CaptionEditor(QWidget *parent) : QLineEdit(parent)
    {
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setFrame(style()->styleHint(QStyle::SH_ItemView_DrawDelegateFrame, nullptr, this));
    }
    // Asked through the query event (by the input contexts) ...
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override
    {
        return inputMethodQuery(query, QVariant());
    }
    // ... and by name (QInputMethod::queryFocusObject), which finds this one first.
    Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const
    {
        if (query == Qt::ImEnabled)
            return false;
        return QLineEdit::inputMethodQuery(query, argument);
    }
};

// Only the level names can be edited in place, as in a report list.
class CaptionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        return index.column() == 0 ? new CaptionEditor(parent) : nullptr;
    }
    // Rows only as high as the font, so that the header and all nine levels fit the list.
    // The columns' widths are fixed, so the texts are not measured.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), option.fontMetrics.height());
    }
};

// As high as its font, with the captions unmeasured: the columns' widths are fixed, and
// measuring the bold captions would load and hint a font's glyphs at start-up for a table
// that stays hidden until it is opened.
class ScoreHeader : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;
    QSize sizeHint() const override { return QSize(length(), fontMetrics().height() + 4); }
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

RecordTable::RecordTable(Platform &platform, QWidget *parent)
    : UnrollingPanel(platform, parent, QRect(140, 0, panelWidth, panelHeight), rolledHeight)
{
    setObjectName(QStringLiteral("scorePanel"));
    // What a screen reader says as the focus comes into the panel.
    setAccessibleName(tr("記録表示"));
    okButton()->setObjectName(QStringLiteral("Button3"));
    okButton()->setGeometry(424, 192, 81, 25);

    list_ = new ScoreList(this);
    list_->setObjectName(QStringLiteral("scoreList"));
    list_->setAccessibleName(tr("レベルごとの記録"));
    list_->setGeometry(10, 12, 501, 165);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setHeader(new ScoreHeader(Qt::Horizontal, list_));
    QHeaderView *header = list_->header();
    // The header is set up without telling the list, which lays itself out from the header
    // when it is first shown: a table that stays hidden never loads its font.
    const QSignalBlocker quiet(header);
    list_->setFont(pixelFont(gothicFamily, 15));
    // The four columns fill the list's width exactly.
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setColour(list_, QPalette::Text, Qt::black);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setSortingEnabled(false);
    list_->setUniformRowHeights(true);
    list_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    list_->setItemDelegate(new CaptionDelegate(list_));

    list_->setColumnCount(4);
    list_->setHeaderLabels({tr("レベル"), tr("標準スコア"), tr("ハイ・スコア"), tr("ランダム")});
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    const int widths[4] = {170, 110, 110, 110};
    // By default the least width is found from the font's widest character.
    header->setMinimumSectionSize(110);
    for (int column = 0; column < 4; ++column) {
        header->resizeSection(column, widths[column]);
        list_->headerItem()->setTextAlignment(
            column, (column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }

    for (int level = 1; level <= levelCount; ++level) {
        const QString caption = QStringLiteral("Level %1 %2").arg(level).arg(levelName(level));
        auto *row = new QTreeWidgetItem(list_, QStringList{caption});
        row->setFlags(row->flags() | Qt::ItemIsEditable);
        for (int column = 1; column < 4; ++column)
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }

    setTabOrder(okButton(), list_);
}

void RecordTable::unroll(const ScoreBook &scores)
{
    for (int row = 0; row < 9; ++row) {
        QTreeWidgetItem *item = list_->topLevelItem(row);
        const int level = row + 1;
        item->setText(1, QString::number(ScoreBook::standardScore(level)));
        item->setText(2, formatTenths(scores.best(level, false)));
        item->setText(3, formatTenths(scores.best(level, true)));
    }

    unrollFrom(rolledHeight, 1);
}

} // namespace rinkaro

#include "recordtable.moc"
