#pragma once

#include <QWidget>

class BalanceChartView;
class Journal;
class Prompts;
class QCheckBox;
class QLabel;
class QPushButton;
class AccountTrades;

// The chart panel under the trade table: Chart1 and, at its right, the
// panel with the hide button, the display options and the totals.
class BalanceChartPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kOpenHeight = 230;
    static constexpr int kClosedHeight = 30;

    BalanceChartPanel(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // Rebuilds the curves and the totals from the database and reports a
    // failure to the trader.
    void buildBalanceChart();
    // The same without the report: returns why the chart left trades out
    // (empty when it holds them all). Given the account's trades already
    // read, it does not read them again; without them (nullptr) it reads
    // them itself.
    QString rebuildChart(AccountTrades* trades = nullptr);

    // Hides the panel down to its button, or opens it again.
    void Button10Click();

private:
    QWidget* makeSidePanel();
    QWidget* makeOptions(QWidget* parent);

    BalanceChartView* Chart1 = nullptr;
    QPushButton* Button10 = nullptr;
    QPushButton* Button_Graf = nullptr; // never shown
    QCheckBox* CheckBox1 = nullptr;     // "3D график"
    QCheckBox* CheckBox3 = nullptr;     // "Точки"
    QCheckBox* CheckBox4 = nullptr;     // "Проценты"
    QCheckBox* CheckBox_Komis = nullptr; // "Показать комиссию"
    QCheckBox* CheckBox_Dates = nullptr; // "Даты по оси X"
    QLabel* kom1 = nullptr;
    QLabel* kom2 = nullptr;
    QLabel* kom3 = nullptr;
    QLabel* capswap = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    QWidget* m_options = nullptr;
};
