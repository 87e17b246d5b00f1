#include "stats/ui/breakdown_tab.h"

#include "stats/core/text_table_model.h"
#include "stats/ui/bar_chart_widget.h"
#include "stats/ui/fit_column_widths.h"
#include "stats/ui/stats_grid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr BreakdownKey kOtherKeys[] = {BreakdownKey::Symbol, BreakdownKey::Timeframe, BreakdownKey::Market,
                                       BreakdownKey::Entry,  BreakdownKey::Exit,      BreakdownKey::Errors,
                                       BreakdownKey::Rating};

// Hours and weekdays show every one, those without trades at 0, so that
// the gaps show where they are; other keys only those with trades.
void chartOf(BarChartWidget* chart, const Breakdown& b, int measure)
{
    const auto figure = [measure](const BreakdownRow& r) {
        return measure == 0 ? r.net : measure == 1 ? double(r.trades) : r.winPercent();
    };
    QStringList labels;
    std::vector<double> values;
    if (b.key == BreakdownKey::Hour || b.key == BreakdownKey::Weekday) {
        const int first = b.key == BreakdownKey::Hour ? 0 : 1, last = b.key == BreakdownKey::Hour ? 23 : 7;
        for (int k = first; k <= last; ++k) {
            const QString key = QString::number(k);
            labels.append(b.key == BreakdownKey::Hour ? key : breakdownKeyLabel(b.key, key));
            const auto it = std::find_if(b.rows.begin(), b.rows.end(), [&key](const BreakdownRow& r) { return r.key == key; });
            values.push_back(it == b.rows.end() ? 0.0 : figure(*it));
        }
    } else {
        for (const BreakdownRow& r : b.rows) {
            labels.append(breakdownKeyLabel(b.key, r.key));
            values.push_back(figure(r));
        }
    }
    chart->setBars(labels, values, measure == 1 ? 0 : 2);
}

} // namespace

BreakdownTab::BreakdownTab(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet_Breakdown"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("Столбцы:"), this));
    ComboBox_BreakdownMeasure = new QComboBox(this);
    ComboBox_BreakdownMeasure->setObjectName(QStringLiteral("ComboBox_BreakdownMeasure"));
    ComboBox_BreakdownMeasure->addItems(
        {QStringLiteral("Результат (чистый)"), QStringLiteral("Число сделок"), QStringLiteral("% выигрышных")});
    head->addWidget(ComboBox_BreakdownMeasure);
    head->addStretch(1);
    layout->addLayout(head);

    Chart_Hours = new BarChartWidget(QStringLiteral("Chart_Hours"), this);
    Chart_Weekdays = new BarChartWidget(QStringLiteral("Chart_Weekdays"), this);
    Chart_Other = new BarChartWidget(QStringLiteral("Chart_Other"), this);
    StringGrid_Hours = makeGrid(QStringLiteral("StringGrid_Hours"), m_hoursModel);
    StringGrid_Weekdays = makeGrid(QStringLiteral("StringGrid_Weekdays"), m_weekdaysModel);
    StringGrid_Other = makeGrid(QStringLiteral("StringGrid_Other"), m_otherModel);

    ComboBox_BreakdownKey = new QComboBox(this);
    ComboBox_BreakdownKey->setObjectName(QStringLiteral("ComboBox_BreakdownKey"));
    for (const BreakdownKey k : kOtherKeys)
        ComboBox_BreakdownKey->addItem(breakdownKeyTitle(k), static_cast<int>(k));

    auto* grid = new QGridLayout;
    grid->addWidget(makeGroup(QStringLiteral("GroupBox_Hours"), QStringLiteral("По часу открытия (время сервера)"),
                              Chart_Hours, StringGrid_Hours, nullptr),
                    0, 0);
    grid->addWidget(makeGroup(QStringLiteral("GroupBox_Weekdays"), QStringLiteral("По дню недели"), Chart_Weekdays,
                              StringGrid_Weekdays, nullptr),
                    0, 1);
    grid->addWidget(makeGroup(QStringLiteral("GroupBox_Other"), QStringLiteral("По выбору"), Chart_Other,
                              StringGrid_Other, ComboBox_BreakdownKey),
                    1, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    layout->addLayout(grid, 1);

    connect(ComboBox_BreakdownMeasure, &QComboBox::currentIndexChanged, this, &BreakdownTab::drawCharts);
    connect(ComboBox_BreakdownKey, &QComboBox::currentIndexChanged, this, &BreakdownTab::otherKeyChanged);
}

QTableView* BreakdownTab::makeGrid(const QString& name, TextTableModel*& model)
{
    model = new TextTableModel(this);
    QTableView* grid = makeStatsGrid(name, this);
    grid->setModel(model);
    grid->setContextMenuPolicy(Qt::NoContextMenu);
    grid->setMinimumHeight(130);
    return grid;
}

QWidget* BreakdownTab::makeGroup(const QString& name, const QString& title, BarChartWidget* chart, QTableView* grid,
                                 QWidget* top)
{
    auto* group = new QGroupBox(title, this);
    group->setObjectName(name);
    auto* box = new QVBoxLayout(group);
    box->setContentsMargins(4, 4, 4, 4);
    if (top) {
        auto* line = new QHBoxLayout;
        line->addWidget(top);
        line->addStretch(1);
        box->addLayout(line);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(chart, 1);
    row->addWidget(grid, 1);
    box->addLayout(row, 1);
    chart->setMinimumHeight(130);
    return group;
}

BreakdownKey BreakdownTab::otherKey() const
{
    return static_cast<BreakdownKey>(ComboBox_BreakdownKey->currentData().toInt());
}

void BreakdownTab::showBreakdowns(const Breakdown& hours, const Breakdown& weekdays, const Breakdown& other)
{
    m_hours = hours;
    m_weekdays = weekdays;
    m_other = other;
    m_hoursModel->setTable(breakdownTable(hours));
    m_weekdaysModel->setTable(breakdownTable(weekdays));
    m_otherModel->setTable(breakdownTable(other));
    for (QTableView* grid : {StringGrid_Hours, StringGrid_Weekdays, StringGrid_Other})
        fitColumnWidths(grid);
    drawCharts();
}

void BreakdownTab::drawCharts()
{
    const int measure = ComboBox_BreakdownMeasure->currentIndex();
    chartOf(Chart_Hours, m_hours, measure);
    chartOf(Chart_Weekdays, m_weekdays, measure);
    chartOf(Chart_Other, m_other, measure);
}
