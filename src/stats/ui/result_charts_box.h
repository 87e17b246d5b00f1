#pragma once

#include "db/core/cash_store.h"

#include <QWidget>

#include <vector>

class DrawdownChartView;
class NetHistogramView;
class QGroupBox;
class ReportTrades;

// The charts under the trading metrics of "Показатели": the drawdown from
// the balance's peak, and beside it how the trades' net results spread.
class ResultChartsBox : public QWidget {
    Q_OBJECT
public:
    explicit ResultChartsBox(QWidget* parent = nullptr);

    // Draws both charts from a reading of the account's trades; the
    // balance counts as the metrics count it. A trade whose money does not
    // read is left out (the metrics above say which).
    void showTrades(const ReportTrades& trades, const QString& initialBalance, const std::vector<CashMovement>& cash);

    DrawdownChartView* drawdownChart() const { return Chart_Drawdown; }
    NetHistogramView* histogramChart() const { return Chart_Histogram; }

private:
    QGroupBox* makeGroup(const char* name, const QString& title, QWidget* chart);

    QGroupBox* GroupBox_Drawdown = nullptr;
    QGroupBox* GroupBox_Histogram = nullptr;
    DrawdownChartView* Chart_Drawdown = nullptr;
    NetHistogramView* Chart_Histogram = nullptr;
};
