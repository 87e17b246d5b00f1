#pragma once

#include "db/core/cash_store.h"
#include "stats/core/category_reports.h"
#include "stats/core/filter_store.h"
#include "stats/core/trade_filter.h"

#include <QDate>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class BreakdownTab;
class CalendarTab;
class ReportTrades;
class TradeFilterBar;
class CategoryReportModel;
class Journal;
class MonthChartView;
class Prompts;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class ResultChartsBox;
struct Settings;
class TextTableModel;

// The page "Отчеты": the eight category reports of the active account in
// three inner tabs, its trading metrics with the result of every month in a
// fourth, a calendar of days and the results by hour, weekday and other
// keys. A what-if filter bar above the last three (kept per account in
// filters.json) narrows them to some trades; "Показатели" then shows every
// trade's figures beside the filtered ones.
class ReportsPage : public QWidget {
    Q_OBJECT
public:
    ReportsPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);
    ~ReportsPage() override;

    void selectFirstTab();
    // The four notes beside the reports, kept in config.ini.
    void restoreNotes(const Settings& settings);
    void saveNotes(Settings& settings) const;
    // Rebuilds the eight reports, the metrics and the month chart from one
    // reading of the active account's trades.
    void rebuild();
    void Button_StratClick() { rebuild(); } // "Сформировать заново"

    // The what-if filter of the active account: shown on the bar, applied
    // to the metrics, the calendar and the breakdowns, and kept.
    void setFilter(const TradeFilter& filter);
    TradeFilter filter() const;
    // The calendar shows the month of this day.
    void showCalendarMonth(QDate month);

    QTableView* grid(CategoryReportKind kind) const { return m_grids[static_cast<int>(kind)]; }
    const CategoryReportModel& model(CategoryReportKind kind) const { return *m_models[static_cast<int>(kind)]; }
    const TextTableModel& metricsModel() const { return *m_metricsModel; }

signals:
    // A day clicked in the calendar: the shell shows its analysis.
    void tradeDayRequested(QDate day);

private:
    QTableView* makeReportGrid(CategoryReportKind kind, bool wholeRows);
    QGroupBox* makeGroup(const QString& name, CategoryReportKind kind, QWidget* below);
    QWidget* makeSimpleTab();
    QWidget* makeEntriesTab();
    QWidget* makePsychologyTab();
    QWidget* makeMetricsTab();
    // The drawdown and the spread of the results under the metrics.
    QWidget* makeResultCharts(QWidget* parent);
    QString showAnalytics();
    void showCalendar();
    void filterChanged();

    QTabWidget* PageControl2 = nullptr;
    QPlainTextEdit* Memo_Valuta = nullptr;
    QPlainTextEdit* Memo_Time = nullptr;
    QPlainTextEdit* Memo_Trend = nullptr;
    QPlainTextEdit* Memo_BS = nullptr;
    QPushButton* Button_Strat = nullptr; // "Сформировать заново", never shown

    QTableView* StringGrid_Valuta = nullptr;
    QTableView* StringGrid_BuySell = nullptr;
    QTableView* StringGrid_Trend = nullptr;
    QTableView* StringGrid_St = nullptr;
    QTableView* StringGrid_Strat = nullptr;
    QTableView* StringGrid_Psixo = nullptr;
    QTableView* StringGrid_Erorr = nullptr;
    QTableView* StringGrid_Erorr2 = nullptr;
    QTableView* StringGrid_Metrics = nullptr;
    QLabel* Label_MetricsProblem = nullptr;
    MonthChartView* Chart_Months = nullptr;
    ResultChartsBox* m_resultCharts = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    std::array<QTableView*, kReportCount> m_grids{};
    std::array<CategoryReportModel*, kReportCount> m_models{};
    TextTableModel* m_metricsModel = nullptr;

    TradeFilterBar* m_filterBar = nullptr;
    CalendarTab* m_calendar = nullptr;
    BreakdownTab* m_breakdowns = nullptr;
    std::unique_ptr<ReportTrades> m_trades; // the last reading, for a filter changed without one
    std::vector<CashMovement> m_cash;       // the account's cash movements of the same reading
    std::vector<int> m_selected;            // the rows the filter takes
    FilterStore m_filters;
    QString m_filterAccount;                // the account whose filter the bar shows
    QDate m_calendarMonth;
};
