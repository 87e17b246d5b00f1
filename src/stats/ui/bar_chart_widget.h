#pragma once

#include <QStringList>
#include <QWidget>

#include <vector>

// A small bar chart of one figure per group (hours, weekdays, symbols):
// bars up in green for values above 0, down in red below, the value axis's
// ends and 0 written at the left, the labels under the bars (every other
// one when they would crowd). Drawn by hand: a few dozen bars need no chart
// library and never make more ticks than fit.
class BarChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit BarChartWidget(const QString& name, QWidget* parent = nullptr);

    // decimals: of the values written at the axis (0 for counts).
    void setBars(const QStringList& labels, const std::vector<double>& values, int decimals);
    const QStringList& labels() const { return m_labels; }
    const std::vector<double>& values() const { return m_values; }

    QSize sizeHint() const override { return {360, 180}; }
    QSize minimumSizeHint() const override { return {200, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_labels;
    std::vector<double> m_values;
    int m_decimals = 2;
};
