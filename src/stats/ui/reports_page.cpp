#include "stats/ui/reports_page.h"

#include "db/core/cash_store.h"
#include "context/ui/page_scroll.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/settings.h"
#include "db/core/sqlite_database.h"
#include "stats/core/category_report_model.h"
#include "stats/core/report_trades.h"
#include "stats/core/trading_metrics.h"
#include "stats/ui/fit_column_widths.h"
#include "stats/ui/grid_cell_delegate.h"
#include "stats/ui/month_chart_view.h"
#include "stats/ui/page_state.h"
#include "stats/ui/result_charts_box.h"
#include "stats/ui/stats_grid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kEntriesTip =
    QStringLiteral("Совет: Прибыльную стратегию торгуем большим лотом,  в конце каждого года, удаляем худшую стратегию");
const QString kMonthsTitle = QStringLiteral("Результат по месяцам");
const QString kExitsTip = QStringLiteral("Совет: Самый лудший выход это по тэйкрофиту");

QFont plainFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    font.setBold(false); // not the bold of a group box title around it
    return font;
}

QFont boldFont()
{
    QFont font = plainFont();
    font.setBold(true);
    return font;
}

QPlainTextEdit* makeNoteMemo(const char* name, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setFont(plainFont());
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, QColor(254, 254, 214));
    palette.setColor(QPalette::Text, QColor(0, 0, 128));
    memo->setPalette(palette);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setMaximumHeight(90);
    return memo;
}

QLabel* makeTip(const QString& text, QWidget* parent)
{
    auto* tip = new QLabel(text, parent);
    tip->setFont(plainFont());
    tip->setWordWrap(true);
    tip->setFrameShape(QFrame::Panel);
    tip->setFrameShadow(QFrame::Sunken);
    tip->setMargin(4);
    return tip;
}

QSplitter* makeSplitter(const char* name, Qt::Orientation orientation, QWidget* parent)
{
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setObjectName(QString::fromLatin1(name));
    splitter->setChildrenCollapsible(false);
    return splitter;
}

} // namespace

ReportsPage::ReportsPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet9"));
    auto* layout = new QVBoxLayout(scrollingPageBody(this));
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl2 = new QTabWidget(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    layout->addWidget(PageControl2);

    PageControl2->addTab(makeSimpleTab(), QStringLiteral("Простые"));
    PageControl2->addTab(makeEntriesTab(), QStringLiteral("Входы и выходы"));
    PageControl2->addTab(makePsychologyTab(), QStringLiteral("Психология"));
    PageControl2->addTab(makeMetricsTab(), QStringLiteral("Показатели"));
}

QTableView* ReportsPage::makeReportGrid(CategoryReportKind kind, bool wholeRows)
{
    const int i = static_cast<int>(kind);
    const CategoryReport names = emptyCategoryReport(kind);
    // The timeframe report is drawn plainly; every other one in the colour
    // of each row's result, with the selected cell black on white.
    const bool plain = kind == CategoryReportKind::Timeframe;
    m_models[i] = new CategoryReportModel(kind, !plain, this);
    QTableView* grid = makeStatsGrid(names.grid, this);
    grid->setModel(m_models[i]);
    if (!plain) {
        auto* delegate = new GridCellDelegate(grid);
        delegate->setSelectionColours(Qt::white, Qt::black);
        grid->setItemDelegate(delegate);
    }
    grid->setSelectionBehavior(wholeRows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    grid->setContextMenuPolicy(Qt::NoContextMenu);
    grid->horizontalHeader()->setSectionsMovable(true);
    m_grids[i] = grid;
    fitColumnWidths(grid);
    return grid;
}

// A report's group box: the title in bold, the grid above what goes below it.
QGroupBox* ReportsPage::makeGroup(const QString& name, CategoryReportKind kind, QWidget* below)
{
    auto* group = new QGroupBox(emptyCategoryReport(kind).title, this);
    group->setObjectName(name);
    group->setFont(boldFont());
    // The categories are tallied by the statement's Profit, as the pips
    // beside it are; the net results are on "Показатели".
    group->setToolTip(QStringLiteral("Суммы по Profit сделок, без комиссии, налогов и свопов; "
                                     "чистый результат - на вкладке \"Показатели\""));
    auto* box = new QVBoxLayout(group);
    box->setContentsMargins(4, 4, 4, 4);
    box->addWidget(grid(kind), 1);
    if (below)
        box->addWidget(below);
    return group;
}

QWidget* ReportsPage::makeSimpleTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    StringGrid_Valuta = makeReportGrid(CategoryReportKind::Pairs, true);
    StringGrid_BuySell = makeReportGrid(CategoryReportKind::Direction, false);
    StringGrid_Trend = makeReportGrid(CategoryReportKind::MarketType, false);
    StringGrid_St = makeReportGrid(CategoryReportKind::Timeframe, false);
    Memo_BS = makeNoteMemo("Memo_BS", tab);
    Memo_Trend = makeNoteMemo("Memo_Trend", tab);
    Memo_Time = makeNoteMemo("Memo_Time", tab);
    Memo_Valuta = makeNoteMemo("Memo_Valuta", tab);
    Memo_Valuta->setMaximumHeight(120);

    auto* left = makeSplitter("Splitter_Simple_Left", Qt::Vertical, tab);
    left->addWidget(makeGroup(QStringLiteral("GroupBox_BuySell"), CategoryReportKind::Direction, Memo_BS));
    left->addWidget(makeGroup(QStringLiteral("GroupBox_Trend"), CategoryReportKind::MarketType, Memo_Trend));
    left->addWidget(makeGroup(QStringLiteral("GroupBox_St"), CategoryReportKind::Timeframe, Memo_Time));
    auto* right = makeGroup(QStringLiteral("GroupBox_Valuta"), CategoryReportKind::Pairs, nullptr);
    auto* rightBox = static_cast<QVBoxLayout*>(right->layout());
    rightBox->addWidget(Memo_Valuta, 0);

    auto* splitter = makeSplitter("Splitter_Simple", Qt::Horizontal, tab);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    // Rebuilt by the page; there is no visible command for it.
    Button_Strat = new QPushButton(QStringLiteral("Сформировать заново"), tab);
    Button_Strat->setObjectName(QStringLiteral("Button_Strat"));
    Button_Strat->setVisible(false);
    connect(Button_Strat, &QPushButton::clicked, this, &ReportsPage::rebuild);
    return tab;
}

QWidget* ReportsPage::makeEntriesTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    StringGrid_Strat = makeReportGrid(CategoryReportKind::Entries, false);
    StringGrid_Erorr2 = makeReportGrid(CategoryReportKind::Exits, true);
    auto* splitter = makeSplitter("Splitter_Entries", Qt::Vertical, tab);
    splitter->addWidget(makeGroup(QStringLiteral("GroupBox_Strat"), CategoryReportKind::Entries, makeTip(kEntriesTip, tab)));
    splitter->addWidget(makeGroup(QStringLiteral("GroupBox_Erorr2"), CategoryReportKind::Exits, makeTip(kExitsTip, tab)));
    layout->addWidget(splitter, 1);
    return tab;
}

QWidget* ReportsPage::makePsychologyTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    StringGrid_Psixo = makeReportGrid(CategoryReportKind::PsychoErrors, true);
    StringGrid_Erorr = makeReportGrid(CategoryReportKind::TechErrors, true);
    auto* splitter = makeSplitter("Splitter_Psychology", Qt::Vertical, tab);
    splitter->addWidget(makeGroup(QStringLiteral("GroupBox_Psixo"), CategoryReportKind::PsychoErrors, nullptr));
    splitter->addWidget(makeGroup(QStringLiteral("GroupBox_Erorr"), CategoryReportKind::TechErrors, nullptr));
    layout->addWidget(splitter, 1);
    return tab;
}

QWidget* ReportsPage::makeMetricsTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);

    m_metricsModel = new TextTableModel(this);
    m_metricsModel->setTable(
        TextTable(3, {QStringLiteral("Показатель"), QStringLiteral("Значение"), QStringLiteral("Пояснение")}));
    StringGrid_Metrics = makeStatsGrid(QStringLiteral("StringGrid_Metrics"), tab);
    StringGrid_Metrics->setModel(m_metricsModel);
    StringGrid_Metrics->setContextMenuPolicy(Qt::NoContextMenu);
    StringGrid_Metrics->horizontalHeader()->setStretchLastSection(true);

    Label_MetricsProblem = new QLabel(tab);
    Label_MetricsProblem->setObjectName(QStringLiteral("Label_MetricsProblem"));
    Label_MetricsProblem->setFont(boldFont());
    QPalette red = Label_MetricsProblem->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label_MetricsProblem->setPalette(red);
    Label_MetricsProblem->setWordWrap(true);
    Label_MetricsProblem->setVisible(false);

    auto* figures = new QGroupBox(QStringLiteral("Показатели счета (сделки по времени открытия)"), tab);
    figures->setObjectName(QStringLiteral("GroupBox_Metrics"));
    figures->setFont(boldFont());
    auto* figuresBox = new QVBoxLayout(figures);
    figuresBox->setContentsMargins(4, 4, 4, 4);
    figuresBox->addWidget(Label_MetricsProblem);
    figuresBox->addWidget(StringGrid_Metrics, 1);

    Chart_Months = new MonthChartView(tab);
    auto* months = new QGroupBox(kMonthsTitle, tab);
    months->setObjectName(QStringLiteral("GroupBox_Months"));
    months->setFont(boldFont());
    auto* monthsBox = new QVBoxLayout(months);
    monthsBox->setContentsMargins(4, 4, 4, 4);
    monthsBox->addWidget(Chart_Months, 1);

    auto* splitter = makeSplitter("Splitter_Metrics", Qt::Vertical, tab);
    splitter->addWidget(figures);
    splitter->addWidget(months);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    // With the charts below, every part keeps a height it can be read at:
    // a small screen scrolls the page.
    splitter->setMinimumHeight(780);
    splitter->addWidget(makeResultCharts(tab));
    splitter->setStretchFactor(2, 1);
    layout->addWidget(splitter, 1);
    return tab;
}

QWidget* ReportsPage::makeResultCharts(QWidget* parent)
{
    m_resultCharts = new ResultChartsBox(parent);
    return m_resultCharts;
}

void ReportsPage::selectFirstTab() { PageControl2->setCurrentIndex(0); }

void ReportsPage::rebuild()
{
    std::optional<CategoryReports> reports;
    TradingMetrics metrics;
    try {
        const ReportTrades trades(m_journal.db(), m_journal.activeAccount);
        reports = buildCategoryReports(trades, m_journal.lists);
        metrics = buildTradingMetrics(trades, m_journal.initialBalance, CashStore(m_journal.db()).list(m_journal.activeAccount));
        m_resultCharts->showTrades(trades, m_journal.initialBalance, CashStore(m_journal.db()).list(m_journal.activeAccount));
    } catch (const ESQLiteException& e) {
        // Nothing could be read: the grids keep what they showed.
        reportUpdateProblem(m_journal, m_prompts, e.message());
        return;
    }
    // One message for the page: the first trade that was left out.
    QString problem;
    for (CategoryReport& report : reports->reports) {
        if (problem.isEmpty() && !report.failures.isEmpty())
            problem = report.failures.front();
        const int i = static_cast<int>(report.kind);
        m_models[i]->setReport(std::move(report));
        fitColumnWidths(m_grids[i]);
    }
    if (problem.isEmpty())
        problem = metrics.problem;
    if (!problem.isEmpty())
        reportUpdateProblem(m_journal, m_prompts, problem);

    Label_MetricsProblem->setText(metrics.problem);
    Label_MetricsProblem->setVisible(!metrics.complete());
    const int shown = Chart_Months->showMonths(metrics.months);
    const int all = static_cast<int>(metrics.months.size());
    findChild<QGroupBox*>(QStringLiteral("GroupBox_Months"))
        ->setTitle(shown < all ? kMonthsTitle + QStringLiteral(" (последние %1 из %2)").arg(shown).arg(all)
                               : kMonthsTitle);
    m_metricsModel->setTable(std::move(metrics.texts));
    fitColumnWidths(StringGrid_Metrics);
}

void ReportsPage::restoreNotes(const Settings& s)
{
    pagestate::setMemoText(Memo_Valuta, s.currency);
    pagestate::setMemoText(Memo_Time, s.timeframe);
    pagestate::setMemoText(Memo_Trend, s.trend);
    pagestate::setMemoText(Memo_BS, s.buySell);
}

void ReportsPage::saveNotes(Settings& s) const
{
    s.currency = pagestate::memoText(Memo_Valuta);
    s.timeframe = pagestate::memoText(Memo_Time);
    s.trend = pagestate::memoText(Memo_Trend);
    s.buySell = pagestate::memoText(Memo_BS);
}
