#include "stats/ui/bar_chart_widget.h"

#include "db/core/numbers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

BarChartWidget::BarChartWidget(const QString& name, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(name);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void BarChartWidget::setBars(const QStringList& labels, const std::vector<double>& values, int decimals)
{
    m_labels = labels;
    m_values = values;
    m_decimals = decimals;
    update();
}

void BarChartWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QFontMetrics fm = p.fontMetrics();
    if (m_values.empty()) {
        p.setPen(Qt::gray);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Нет сделок"));
        return;
    }
    double low = 0, high = 0;
    for (const double v : m_values) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (high == low)
        high = low + 1;
    const auto text = [this](double v) { return num::formatFixed(v, m_decimals); };
    const int axisWidth = std::max({fm.horizontalAdvance(text(high)), fm.horizontalAdvance(text(low)),
                                    fm.horizontalAdvance(QStringLiteral("0"))}) + 8;
    const QRect plot = rect().adjusted(axisWidth, fm.height() / 2 + 2, -6, -(fm.height() + 6));
    if (plot.width() < 10 || plot.height() < 10)
        return;
    const auto yOf = [&](double v) { return plot.bottom() - (v - low) / (high - low) * plot.height(); };
    const double zero = yOf(0);

    p.setPen(QColor(200, 200, 200));
    p.drawRect(plot);
    p.setPen(Qt::black);
    p.drawLine(QPointF(plot.left(), zero), QPointF(plot.right(), zero));
    p.drawText(QRect(0, int(yOf(high)) - fm.height() / 2, axisWidth - 4, fm.height()), Qt::AlignRight, text(high));
    if (low < 0)
        p.drawText(QRect(0, int(yOf(low)) - fm.height() / 2, axisWidth - 4, fm.height()), Qt::AlignRight, text(low));
    if (std::abs(zero - yOf(high)) > fm.height() && std::abs(zero - yOf(low)) > fm.height())
        p.drawText(QRect(0, int(zero) - fm.height() / 2, axisWidth - 4, fm.height()), Qt::AlignRight,
                   QStringLiteral("0"));

    const int n = static_cast<int>(m_values.size());
    const double slot = double(plot.width()) / n;
    const double barWidth = std::max(1.0, slot * 0.7);
    int widest = 1;
    for (const QString& l : m_labels)
        widest = std::max(widest, fm.horizontalAdvance(l));
    const int every = std::max(1, int(std::ceil((widest + 4) / slot)));
    for (int i = 0; i < n; ++i) {
        const double v = m_values[static_cast<size_t>(i)];
        const double x = plot.left() + slot * i + (slot - barWidth) / 2;
        const double y = yOf(v);
        const QRectF bar(x, std::min(y, zero), barWidth, std::abs(zero - y));
        p.fillRect(bar, v >= 0 ? QColor(60, 170, 60) : QColor(220, 60, 60));
        if (i % every == 0 && i < m_labels.size())
            p.drawText(QRectF(plot.left() + slot * i - (every - 1) * slot / 2, plot.bottom() + 3, slot * every,
                              fm.height()),
                       Qt::AlignHCenter, m_labels[i]);
    }
}
