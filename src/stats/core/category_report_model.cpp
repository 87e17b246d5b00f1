#include "stats/core/category_report_model.h"

std::optional<QColor> categoryResultColour(std::optional<double> net)
{
    if (!net || *net == 0)
        return std::nullopt;
    return *net > 0 ? QColor(0, 128, 0) : QColor(255, 0, 0);
}

CategoryReportModel::CategoryReportModel(CategoryReportKind kind, bool coloured, QObject* parent)
    : TextTableModel(parent)
    , m_coloured(coloured)
{
    setReport(emptyCategoryReport(kind));
}

void CategoryReportModel::setReport(CategoryReport report)
{
    beginResetModel();
    report.texts.endRow(); // the grid's empty last row
    m_net = std::move(report.net);
    replaceTable(std::move(report.texts), {});
    endResetModel();
}

QVariant CategoryReportModel::cellData(int row, int column, int role) const
{
    Q_UNUSED(column);
    if (role != Qt::ForegroundRole || !m_coloured)
        return {};
    if (const auto colour = categoryResultColour(net(row)))
        return *colour;
    return {};
}

std::optional<double> CategoryReportModel::net(int row) const
{
    const int built = tableRow(row);
    return row >= 0 && built >= 0 && built < static_cast<int>(m_net.size()) ? m_net[built] : std::nullopt;
}
