#include "gui/progress/progresswindow.h"

#include "core/levels.h"
#include "core/runlog.h"
#include "gui/fonts.h"
#include "gui/progress/keyheatmap.h"
#include "gui/progress/progresschart.h"
#include "gui/widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QStackedWidget>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

constexpr int kanaShown = 10;

QString levelName(int level)
{
    return QStringLiteral("Level %1 %2")
        .arg(level)
        .arg(QString::fromUtf8(levelInfo(level)->menuCaption));
}

QLabel *makeNote(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

} // namespace

ProgressWindow::ProgressWindow(const QString &logPath, QWidget *parent)
    : QWidget(parent, Qt::Window), logPath_(logPath)
{
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("成績グラフ"));
    const QFont font = pixelFont(pGothicFamily, 12);
    setFont(font);

    levelChooser = new QComboBox(this);
    levelChooser->setObjectName(QStringLiteral("levelChooser"));
    for (int level = 1; level <= 9; ++level)
        levelChooser->addItem(levelName(level), level);
    runCountLabel = new QLabel(this);
    runCountLabel->setObjectName(QStringLiteral("runCount"));
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("レベル"), this));
    top->addWidget(levelChooser);
    top->addStretch(1);
    top->addWidget(runCountLabel);

    chart = new ProgressChart(font, this);
    emptyLabel = makeNote(QStringLiteral("emptyLabel"), this);
    emptyLabel->setFont(pixelFont(pGothicFamily, 16));
    chartArea = new QStackedWidget(this);
    chartArea->addWidget(chart);
    chartArea->addWidget(emptyLabel);
    chartArea->setMinimumHeight(320);

    missScope = new QComboBox(this);
    missScope->setObjectName(QStringLiteral("missScope"));
    missScope->setSizeAdjustPolicy(
        QComboBox::AdjustToContents); // its second item follows the level
    missScope->addItem(QStringLiteral("すべてのレベル"));
    missScope->addItem(QString());
    auto *scopeRow = new QHBoxLayout;
    scopeRow->addWidget(new QLabel(QStringLiteral("ミスの集計"), this));
    scopeRow->addWidget(missScope);
    scopeRow->addStretch(1);

    heatMap = new KeyHeatMap(this);
    auto *keyBox = new QGroupBox(QStringLiteral("キーごとのミス率"), this);
    auto *keyLayout = new QVBoxLayout(keyBox);
    keyLayout->addWidget(heatMap);
    keyLayout->addStretch(1);

    kanaList = new QTreeWidget(this);
    kanaList->setObjectName(QStringLiteral("kanaList"));
    // Larger than the rest, so that ぱ and ば, ぽ and ぼ stay apart.
    kanaList->setFont(pixelFont(pGothicFamily, 14));
    kanaList->setHeaderLabels({QStringLiteral("かな"), QStringLiteral("ミス率"),
                               QStringLiteral("ミス"), QStringLiteral("よく押す誤キー")});
    kanaList->setRootIsDecorated(false);
    kanaList->setSelectionMode(QAbstractItemView::NoSelection);
    kanaList->setFocusPolicy(Qt::NoFocus);
    kanaList->header()->setSectionsMovable(false);
    kanaList->header()->setDefaultAlignment(Qt::AlignCenter);
    kanaList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    kanaEmptyLabel = makeNote(QStringLiteral("kanaEmptyLabel"), this);
    kanaArea = new QStackedWidget(this);
    kanaArea->addWidget(kanaList);
    kanaArea->addWidget(kanaEmptyLabel);
    auto *kanaBox = new QGroupBox(QStringLiteral("ミスの多いかな"), this);
    auto *kanaLayout = new QVBoxLayout(kanaBox);
    kanaLayout->addWidget(kanaArea);

    auto *missRow = new QHBoxLayout;
    missRow->addWidget(keyBox);
    missRow->addWidget(kanaBox, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(chartArea, 1);
    layout->addLayout(scopeRow);
    layout->addLayout(missRow);

    connect(levelChooser, &QComboBox::currentIndexChanged, this, [this] {
        showLevel();
        showMisses();
    });
    connect(missScope, &QComboBox::currentIndexChanged, this, [this] { showMisses(); });
    resize(900, 720);
}

// One reading of the history: what the thread fills in, and what the window asked for.
struct ProgressWindow::HistoryRead {
    QString path;
    int level = 1;
    std::atomic<bool> cancelled = false;
    ProgressStats stats;
    RunLogRead outcome;
};

ProgressWindow::~ProgressWindow()
{
    stopReading();
}

void ProgressWindow::reload(int level)
{
    stopReading();
    auto read = std::make_shared<HistoryRead>();
    read->path = logPath_;
    read->level = level;
    read_ = read;
    reader_ = QThread::create([read] {
        read->outcome = readRunLogFile(
            read->path, [&stats = read->stats](const RunLogEntry &entry) { stats.add(entry); },
            &read->cancelled);
    });
    connect(reader_, &QThread::finished, this, [this, read] {
        if (read != read_)
            return; // given up for a newer one
        reader_->deleteLater();
        reader_ = nullptr;
        read_.reset();
        showHistory(*read);
    });
    showReading();
    reader_->start();
}

void ProgressWindow::stopReading()
{
    if (!reader_)
        return;
    read_->cancelled = true;
    // The reader looks at the flag between blocks, so this is short.
    reader_->wait();
    delete reader_;
    reader_ = nullptr;
    read_.reset();
}

void ProgressWindow::showReading()
{
    runCountLabel->setText(QStringLiteral("記録を読み込んでいます…"));
    emptyLabel->setText(QStringLiteral("記録を読み込んでいます…"));
    chartArea->setCurrentWidget(emptyLabel);
}

void ProgressWindow::showHistory(HistoryRead &read)
{
    stats_ = std::move(read.stats);
    QString problem;
    switch (read.outcome.status) {
    case RunLogRead::Status::Read:
    case RunLogRead::Status::Cancelled:
        break;
    case RunLogRead::Status::NotAFile:
        problem =
            QStringLiteral("記録ファイル RK.log が通常のファイルではないため、読み込めません。");
        break;
    case RunLogRead::Status::Unreadable:
        problem = QStringLiteral("記録ファイル RK.log を開けません。");
        break;
    case RunLogRead::Status::TooLarge:
        problem =
            QStringLiteral("記録ファイル RK.log が %1 MB を超えているため、読み込みを止めました。")
                .arg(largestRunLog / (1024 * 1024));
        break;
    }
    QString count =
        QStringLiteral("記録 %1 回").arg(QLocale(QLocale::Japanese).toString(stats_.runs()));
    // With runs to show, the problem stands beside their count; without, in their place.
    runCountLabel->setText(
        problem.isEmpty() || stats_.runs() == 0 ? count : problem + QLatin1Char(' ') + count);
    const int index = levelChooser->findData(read.level);
    if (index >= 0 && index != levelChooser->currentIndex()) {
        levelChooser->setCurrentIndex(index); // shows it
    } else {
        showLevel();
        showMisses();
    }
    if (!problem.isEmpty() && stats_.runs() == 0) {
        emptyLabel->setText(problem);
        chartArea->setCurrentWidget(emptyLabel);
    }
    emit historyShown();
}

void ProgressWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    if (const QScreen *screen = this->screen())
        resize(size().boundedTo(screen->availableGeometry().size() - QSize(16, 48)));
    centreOnScreen(this);
}

QList<QPointF> ProgressWindow::seriesPoints(const QString &name) const
{
    return chart->seriesPoints(name);
}

int ProgressWindow::chosenLevel() const
{
    return levelChooser->currentData().toInt();
}

void ProgressWindow::showLevel()
{
    const int level = chosenLevel();
    missScope->setItemText(1, levelName(level));
    if (chart->showLevel(stats_, level)) {
        chartArea->setCurrentWidget(chart);
        return;
    }
    emptyLabel->setText(
        stats_.runs() == 0
            ? QStringLiteral("まだ記録がありません。レベルを選んでスタートしてください。")
            : QStringLiteral("このレベルの記録はまだありません。"));
    chartArea->setCurrentWidget(emptyLabel);
}

void ProgressWindow::showMisses()
{
    const int scope = missScope->currentIndex() == 0 ? 0 : chosenLevel();
    heatMap->showMisses(stats_.keys(scope));

    kanaList->clear();
    const auto kana = stats_.mostMissedKana(scope, kanaShown);
    for (const auto &[text, count] : kana) {
        const char instead = count.mostOftenInstead();
        auto *row = new QTreeWidgetItem(kanaList, {text, percentText(count.rate()),
                                                   QString::number(count.misses),
                                                   instead ? typedKeyName(instead) : QString()});
        row->setTextAlignment(0, Qt::AlignCenter);
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(3, Qt::AlignCenter);
    }
    if (!kana.empty()) {
        kanaArea->setCurrentWidget(kanaList);
        return;
    }
    kanaEmptyLabel->setText(scope != 0 && levelGroup(scope) == LevelGroup::Key
                                ? QStringLiteral("キーのレベルにはかなの集計がありません。")
                                : QStringLiteral("かなのミスはまだありません。"));
    kanaArea->setCurrentWidget(kanaEmptyLabel);
}
