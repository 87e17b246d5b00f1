#pragma once

#include "stats/core/category_reports.h"

#include <QWidget>

#include <array>

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
// three inner tabs, and its trading metrics with the result of every month
// in a fourth.
class ReportsPage : public QWidget {
    Q_OBJECT
public:
    ReportsPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    void selectFirstTab();
    // The four notes beside the reports, kept in config.ini.
    void restoreNotes(const Settings& settings);
    void saveNotes(Settings& settings) const;
    // Rebuilds the eight reports, the metrics and the month chart from one
    // reading of the active account's trades.
    void rebuild();
    void Button_StratClick() { rebuild(); } // "Сформировать заново"

    QTableView* grid(CategoryReportKind kind) const { return m_grids[static_cast<int>(kind)]; }
    const CategoryReportModel& model(CategoryReportKind kind) const { return *m_models[static_cast<int>(kind)]; }
    const TextTableModel& metricsModel() const { return *m_metricsModel; }

private:
    QTableView* makeReportGrid(CategoryReportKind kind, bool wholeRows);
    QGroupBox* makeGroup(const QString& name, CategoryReportKind kind, QWidget* below);
    QWidget* makeSimpleTab();
    QWidget* makeEntriesTab();
    QWidget* makePsychologyTab();
    QWidget* makeMetricsTab();
    // The drawdown and the spread of the results under the metrics.
    QWidget* makeResultCharts(QWidget* parent);

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
};
