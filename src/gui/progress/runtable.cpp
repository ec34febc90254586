// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progress/runtable.h"

#include "core/levels.h"
#include "gui/translations.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QLocale>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace rinkaro
{

namespace
{

// A run's date and time, all in digits, so that one width fits every row; without the year,
// which its tooltip gives, so that the table keeps every column in view.
QString dateFormat()
{
    //: The date and time of a run in the table, in QDateTime's format, digits only.
    return RunTableModel::tr("MM/dd HH:mm");
}

QString fullDateFormat()
{
    //: A run's date and time with its year, in the table's tooltip, in QDateTime's format.
    return RunTableModel::tr("yyyy/MM/dd HH:mm");
}

QString decimal(double value, int decimals)
{
    return std::isfinite(value) ? interfaceLocale().toString(value, 'f', decimals)
                                : QStringLiteral("―");
}

// What a column sorts by; NaN (an unknown speed) sorts below every number.
double sortKey(const RunFigures &run, int column)
{
    switch (column) {
    case RunTableModel::Level:
        return run.level;
    case RunTableModel::Order:
        return run.randomOrder;
    case RunTableModel::Time:
        return run.seconds();
    case RunTableModel::Errors:
        return run.errors;
    case RunTableModel::Score:
        return run.score();
    case RunTableModel::Speed:
        return std::isfinite(run.speed()) ? run.speed() : -1;
    case RunTableModel::Accuracy:
        return std::isfinite(run.accuracy()) ? run.accuracy() : -1;
    case RunTableModel::Record:
        return run.newRecord;
    case RunTableModel::Counted:
        return !run.leftOut;
    default:
        return double(run.endedMs);
    }
}

// Room left and right of a cell's text: the style's margins with a little air.
constexpr int cellPadding = 8;

} // namespace

void RunTableModel::showRuns(const ProgressStats &stats, int level)
{
    beginResetModel();
    stats_ = &stats;
    if (level == 0) {
        rows_.resize(std::size_t(stats.runs()));
        for (std::size_t k = 0; k < rows_.size(); ++k)
            rows_[k] = int(k);
    } else {
        rows_ = stats.levelRuns(level);
    }
    sortRows();
    endResetModel();
}

int RunTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int RunTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

namespace
{

// What a cell of a run shows.
QVariant shownText(const RunFigures &run, int column)
{
    switch (column) {
    case RunTableModel::Date:
        return interfaceLocale().toString(run.ended(), dateFormat());
    case RunTableModel::Level: {
        // As the level menu names it.
        const QString caption = levelName(run.level);
        return caption.isEmpty() ? QString::number(run.level) : caption;
    }
    case RunTableModel::Order:
        return run.randomOrder ? RunTableModel::tr("ランダム") : RunTableModel::tr("順番");
    case RunTableModel::Time:
        return decimal(run.seconds(), 1);
    case RunTableModel::Errors:
        return run.errors;
    case RunTableModel::Score:
        return decimal(run.score(), 1);
    case RunTableModel::Speed:
        return QStringLiteral("%1 %2").arg(decimal(run.speed(), 1),
                                           levelGroup(run.level) == LevelGroup::Key
                                               ? RunTableModel::tr("キー")
                                               : RunTableModel::tr("かな"));
    case RunTableModel::Accuracy:
        return decimal(run.accuracy() * 100, 1) + QStringLiteral(" %");
    case RunTableModel::Record:
        return run.newRecord ? RunTableModel::tr("新記録") : QString();
    default:
        return {};
    }
}

// The tick of the last column, and how a left-out run reads in the others.
QVariant countedData(const RunFigures &run, int column, int role)
{
    if (column == RunTableModel::Counted) {
        if (role == Qt::CheckStateRole)
            return run.leftOut ? Qt::Unchecked : Qt::Checked;
        if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
            return run.leftOut ? RunTableModel::tr("集計から外しています")
                               : RunTableModel::tr("集計に入れています");
        return {};
    }
    if (role == Qt::ForegroundRole && run.leftOut)
        return QColor(0x59, 0x59, 0x59);
    if (role == Qt::FontRole && run.leftOut) {
        QFont font;
        font.setStrikeOut(true);
        return font;
    }
    return {};
}

} // namespace

QVariant RunTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= rows_.size())
        return {};
    const RunFigures &run = stats_->allRuns()[std::size_t(rows_[std::size_t(index.row())])];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return column == Date || column == Order || column == Record || column == Level
                   ? QVariant(Qt::AlignCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (column == Counted || role == Qt::ForegroundRole || role == Qt::FontRole)
        return countedData(run, column, role);
    if (column == Date && role == Qt::ToolTipRole)
        return interfaceLocale().toString(run.ended(), fullDateFormat());
    return role == Qt::DisplayRole ? shownText(run, column) : QVariant();
}

QVariant RunTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[Columns] = {
        QT_TR_NOOP("日時"), QT_TR_NOOP("レベル"), QT_TR_NOOP("順序"), QT_TR_NOOP("時間"),
        QT_TR_NOOP("ミス"), QT_TR_NOOP("スコア"), QT_TR_NOOP("速さ"), QT_TR_NOOP("正確さ"),
        QT_TR_NOOP("記録"), QT_TR_NOOP("集計")};
    static const char *const tips[Columns] = {
        nullptr,
        QT_TR_NOOP("レベル"),
        nullptr,
        QT_TR_NOOP("かかった時間（秒）"),
        QT_TR_NOOP("ミスの数"),
        QT_TR_NOOP("時間＋ミス（少ないほど良い）"),
        QT_TR_NOOP("1分あたりに打ったキー（キーのレベル）またはかな"),
        QT_TR_NOOP("正しく押したキーの割合"),
        nullptr,
        QT_TR_NOOP("外すと、その記録はグラフにも集計にも入りません（中断した記録など）")};
    if (orientation != Qt::Horizontal || section < 0 || section >= Columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return tr(titles[section]);
    if (role == Qt::ToolTipRole && tips[section])
        return tr(tips[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RunTableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == Counted ? flags | Qt::ItemIsUserCheckable : flags;
}

bool RunTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != Counted || role != Qt::CheckStateRole ||
        std::size_t(index.row()) >= rows_.size())
        return false;
    const RunFigures &run = stats_->allRuns()[std::size_t(rows_[std::size_t(index.row())])];
    const bool leftOut = value.value<Qt::CheckState>() == Qt::Unchecked;
    if (leftOut == run.leftOut)
        return false;
    // The history is read again with the run left out; the table follows it.
    emit leftOutToggled(run.endedMs, run.level, leftOut);
    return true;
}

void RunTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= Columns)
        return;
    emit layoutAboutToBeChanged();
    sortColumn_ = column;
    sortOrder_ = order;
    sortRows();
    emit layoutChanged();
}

void RunTableModel::sortRows()
{
    if (!stats_)
        return;
    const std::vector<RunFigures> &runs = stats_->allRuns();
    // Each key worked out once, not at every comparison: a million rows sort in a fraction
    // of the time. Rows with the same key keep the order of the history (reversed with the
    // rest).
    std::vector<std::pair<double, int>> keyed(rows_.size());
    for (std::size_t k = 0; k < rows_.size(); ++k)
        keyed[k] = {sortKey(runs[std::size_t(rows_[k])], sortColumn_), rows_[k]};
    // A history is kept in the order of its dates: most of the time nothing is to be sorted.
    if (!std::is_sorted(keyed.begin(), keyed.end())) {
        std::sort(keyed.begin(), keyed.end());
        for (std::size_t k = 0; k < rows_.size(); ++k)
            rows_[k] = keyed[k].second;
    }
    if (sortOrder_ == Qt::DescendingOrder)
        std::reverse(rows_.begin(), rows_.end());
}

RunTable::RunTable(QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("runTable"));
    model_ = new RunTableModel(this);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the table; the arrows move within it.
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setSortingEnabled(true);
    horizontalHeader()->setSortIndicator(RunTableModel::Date, Qt::DescendingOrder);
    // Sizes from the font, never from the rows: measuring a million rows takes seconds.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Each column as wide as its widest text or its title with the sort arrow, whichever is
    // wider.
    const QFontMetrics metrics = fontMetrics();
    const QFontMetrics titleMetrics(horizontalHeader()->font());
    // The dates are digits: the format with a 0 for every field is as wide as any of them.
    const QString dates =
        dateFormat().replace(QRegularExpression(QStringLiteral("[yMdHm]")), QStringLiteral("0"));
    QString level;
    for (int n = 1; n <= lastDrillLevel; ++n)
        if (metrics.horizontalAdvance(levelName(n)) > metrics.horizontalAdvance(level))
            level = levelName(n);
    const QString number = QStringLiteral("000.0");
    const QString widest[RunTableModel::Columns] = {dates,
                                                    level,
                                                    RunTableModel::tr("ランダム"),
                                                    number,
                                                    QStringLiteral("000"),
                                                    number,
                                                    number + QLatin1Char(' ') +
                                                        RunTableModel::tr("かな"),
                                                    QStringLiteral("100.0 %"),
                                                    RunTableModel::tr("新記録"),
                                                    QString()};
    const int arrow = style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this);
    for (int column = 0; column < RunTableModel::Columns; ++column) {
        const QString title =
            model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        widths_[std::size_t(column)] = std::max(metrics.horizontalAdvance(widest[column]),
                                                titleMetrics.horizontalAdvance(title) + arrow) +
                                       cellPadding;
        setColumnWidth(column, widths_[std::size_t(column)]);
    }
    horizontalHeader()->setStretchLastSection(true);
}

int RunTable::widthForAllColumns() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < model_->columnCount(); ++column)
        if (!isColumnHidden(column))
            width += widths_[std::size_t(column)];
    return width;
}

} // namespace rinkaro
