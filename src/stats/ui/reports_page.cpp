#include "stats/ui/reports_page.h"

#include "db/core/cash_store.h"
#include "context/ui/page_scroll.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/settings.h"
#include "db/core/safe_file.h"
#include "db/core/sqlite_database.h"
#include "stats/core/breakdown.h"
#include "stats/core/category_report_model.h"
#include "stats/core/trade_calendar.h"
#include "stats/core/report_trades.h"
#include "stats/core/trading_metrics.h"
#include "stats/ui/breakdown_tab.h"
#include "stats/ui/calendar_tab.h"
#include "stats/ui/fit_column_widths.h"
#include "stats/ui/trade_filter_bar.h"
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
constexpr int kMetricsTab = 3; // "Показатели", then the calendar and the breakdowns

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
    , m_filters(journal.path(QStringLiteral("filters.json")))
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
    m_calendar = new CalendarTab(this);
    PageControl2->addTab(m_calendar, QStringLiteral("Календарь"));
    m_breakdowns = new BreakdownTab(this);
    PageControl2->addTab(m_breakdowns, QStringLiteral("По часам и дням"));

    // The what-if bar above the tabs it applies to; the category reports
    // tally every trade.
    m_filterBar = new TradeFilterBar(this);
    layout->insertWidget(0, m_filterBar);
    m_filterBar->setVisible(false);
    connect(PageControl2, &QTabWidget::currentChanged, this,
            [this](int index) { m_filterBar->setVisible(index >= kMetricsTab); });
    connect(m_filterBar, &TradeFilterBar::filterChanged, this, &ReportsPage::filterChanged);
    connect(m_calendar, &CalendarTab::monthStepRequested, this,
            [this](int step) { showCalendarMonth(m_calendarMonth.addMonths(step)); });
    connect(m_calendar, &CalendarTab::dayClicked, this, &ReportsPage::tradeDayRequested);
    connect(m_breakdowns, &BreakdownTab::otherKeyChanged, this, [this] { showAnalytics(); });
}

ReportsPage::~ReportsPage() = default;

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
    std::unique_ptr<ReportTrades> trades;
    std::vector<CashMovement> cash;
    try {
        trades = std::make_unique<ReportTrades>(m_journal.db(), m_journal.activeAccount);
        cash = CashStore(m_journal.db()).list(m_journal.activeAccount);
        reports = buildCategoryReports(*trades, m_journal.lists);
        // The drawdown and the spread of results are of every trade, as the
        // "Все сделки" column.
        m_resultCharts->showTrades(*trades, m_journal.initialBalance, cash);
    } catch (const ESQLiteException& e) {
        // Nothing could be read: the grids keep what they showed.
        reportUpdateProblem(m_journal, m_prompts, e.message());
        return;
    }
    m_trades = std::move(trades);
    m_cash = std::move(cash);
    // One message for the page: the first trade that was left out.
    QString problem;
    for (CategoryReport& report : reports->reports) {
        if (problem.isEmpty() && !report.failures.isEmpty())
            problem = report.failures.front();
        const int i = static_cast<int>(report.kind);
        m_models[i]->setReport(std::move(report));
        fitColumnWidths(m_grids[i]);
    }
    if (m_filterAccount != m_journal.activeAccount) {
        // Another account: its own choices and filter, and its latest month.
        m_filterAccount = m_journal.activeAccount;
        m_filterBar->setFilter(TradeFilter());
        m_filterBar->setChoices(*m_trades);
        m_filterBar->setFilter(m_filters.load(m_filterAccount));
        const QString damaged = m_filters.takeProblem();
        if (!damaged.isEmpty())
            m_prompts.showMessage(Prompts::Icon::Warning, QStringLiteral("Ошибка"), damaged);
        m_calendarMonth = QDate();
    } else {
        m_filterBar->setChoices(*m_trades);
    }
    const QString metricsProblem = showAnalytics();
    if (problem.isEmpty())
        problem = metricsProblem;
    if (!problem.isEmpty())
        reportUpdateProblem(m_journal, m_prompts, problem);
}

TradeFilter ReportsPage::filter() const { return m_filterBar->filter(); }

void ReportsPage::setFilter(const TradeFilter& filter)
{
    m_filterBar->setFilter(filter);
    filterChanged();
}

void ReportsPage::filterChanged()
{
    if (m_journal.activeAccount.isEmpty())
        return; // no account, nothing shown
    try {
        m_filters.save(m_journal.activeAccount, m_filterBar->filter());
    } catch (const FileWriteError& e) {
        // The what-if still shows; only keeping it failed.
        m_prompts.showMessage(Prompts::Icon::Error, QStringLiteral("Ошибка"),
                              QStringLiteral("Фильтр не сохранен: ") + e.message());
    }
    showAnalytics();
}

void ReportsPage::showCalendarMonth(QDate month)
{
    m_calendarMonth = QDate(month.year(), month.month(), 1);
    showCalendar();
}

// Everything the filter applies to, from the last reading; returns why the
// figures of every trade stopped, if they did.
QString ReportsPage::showAnalytics()
{
    if (!m_trades)
        return QString();
    const TradeFilter filter = m_filterBar->filter();
    m_selected = selectTrades(*m_trades, filter);
    m_filterBar->setCounts(static_cast<int>(m_selected.size()), m_trades->count());

    const std::vector<CashMovement>& cash = m_cash;
    TradingMetrics all = buildTradingMetrics(*m_trades, m_journal.initialBalance, cash);
    // A trade whose money does not read is named whether the filter takes
    // it or not.
    Label_MetricsProblem->setText(all.problem);
    Label_MetricsProblem->setVisible(!all.complete());
    const bool whatIf = !filter.isEmpty();
    TradingMetrics filtered;
    if (whatIf)
        filtered = buildTradingMetrics(*m_trades, m_selected, m_journal.initialBalance, cash);
    const TradingMetrics& shown = whatIf ? filtered : all;
    const int monthsShown = Chart_Months->showMonths(shown.months);
    const int monthsAll = static_cast<int>(shown.months.size());
    QString title = kMonthsTitle;
    if (whatIf)
        title += QStringLiteral(" (с фильтром)");
    if (monthsShown < monthsAll)
        title += QStringLiteral(" (последние %1 из %2)").arg(monthsShown).arg(monthsAll);
    findChild<QGroupBox*>(QStringLiteral("GroupBox_Months"))->setTitle(title);
    const QString problem = all.problem;
    m_metricsModel->setTable(whatIf ? compareTradingMetrics(all, filtered) : std::move(all.texts));
    fitColumnWidths(StringGrid_Metrics);

    m_breakdowns->showBreakdowns(buildBreakdown(*m_trades, m_selected, BreakdownKey::Hour),
                                 buildBreakdown(*m_trades, m_selected, BreakdownKey::Weekday),
                                 buildBreakdown(*m_trades, m_selected, m_breakdowns->otherKey()));
    if (!m_calendarMonth.isValid()) {
        // The month of the latest trade taken, else of today.
        const std::vector<int>& rows = m_selected.empty() ? m_trades->timeOrder() : m_selected;
        int day = ReportTrades::kNoDay;
        for (auto it = rows.rbegin(); it != rows.rend() && day == ReportTrades::kNoDay; ++it)
            day = m_trades->openDay(*it);
        const QDate latest = day == ReportTrades::kNoDay ? QDate::currentDate() : QDate::fromJulianDay(day);
        m_calendarMonth = QDate(latest.year(), latest.month(), 1);
    }
    showCalendar();
    return problem;
}

void ReportsPage::showCalendar()
{
    if (!m_trades)
        return;
    m_calendar->showMonth(buildCalendarMonth(*m_trades, m_selected, m_calendarMonth.year(), m_calendarMonth.month()));
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
