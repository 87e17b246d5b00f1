#include "stats/core/period_table_model.h"

#include <QFont>

namespace {

bool isBoldColumn(int column) { return column == 5 || column == 11 || column == 15; }

QFont boldFont()
{
    QFont font;
    font.setBold(true);
    return font;
}

} // namespace

std::optional<QColor> periodBandColour(PeriodBand band)
{
    switch (band) {
    case PeriodBand::LargeGain: return QColor(179, 238, 58);
    case PeriodBand::Gain: return QColor(204, 255, 204);
    case PeriodBand::Loss: return QColor(255, 228, 225);
    case PeriodBand::LargeLoss: return QColor(255, 182, 193);
    case PeriodBand::None: break;
    }
    return std::nullopt;
}

PeriodTableModel::PeriodTableModel(Kind kind, QObject* parent)
    : TextTableModel(parent)
    , m_kind(kind)
{
    setTable(TextTable(kind == Kind::Days ? dayTableHeaders().size() : weekTableHeaders().size(),
                       kind == Kind::Days ? dayTableHeaders() : weekTableHeaders()));
}

void PeriodTableModel::setPeriodTable(PeriodTable table, QDate today)
{
    beginResetModel();
    table.texts.endRow(); // the grid's empty last row
    m_rows = std::move(table.rows);
    m_today = today;
    replaceTable(std::move(table.texts), {});
    endResetModel();
}

std::optional<QDate> PeriodTableModel::rowDate(int row) const
{
    const int listed = tableRow(row);
    if (row < 0 || listed < 0 || listed >= listedRows())
        return std::nullopt;
    return m_rows[listed].date;
}

bool PeriodTableModel::isToday(int row) const
{
    const std::optional<QDate> date = rowDate(row);
    if (!date || !m_today.isValid())
        return false;
    if (m_kind == Kind::Days)
        return *date == m_today;
    return *date <= m_today && m_today < date->addDays(7);
}

QVariant PeriodTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::FontRole && isBoldColumn(section))
        return boldFont();
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QString(); // the row header is only the handle that resizes a row
    return TextTableModel::headerData(section, orientation, role);
}

QVariant PeriodTableModel::cellData(int row, int column, int role) const
{
    const int listed = tableRow(row);
    switch (role) {
    case Qt::BackgroundRole:
        if (listed < listedRows() && m_rows[listed].band) {
            if (const auto colour = periodBandColour(periodBand(*m_rows[listed].band)))
                return *colour;
        }
        break;
    case Qt::FontRole:
        if (isBoldColumn(column) || (column == 1 && isToday(row)))
            return boldFont();
        break;
    case Qt::ToolTipRole:
        if (m_toolTips && listed < listedRows()) {
            const QString text = cell(row, column).toString();
            if (!text.isEmpty())
                return text;
        }
        break;
    default: break;
    }
    return {};
}
