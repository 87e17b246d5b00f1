#include "stats/core/analysis_model.h"

#include "db/core/numbers.h"
#include "stats/core/trade_table.h"

void AnalysisModel::setAnalysis(PeriodAnalysis analysis)
{
    beginResetModel();
    m_analysis = std::move(analysis);
    m_fills.clear();
    m_fills.reserve(m_analysis.rows.size());
    for (const PeriodAnalysis::Row& row : m_analysis.rows) {
        const auto profit = num::parseComma(row[analysiscol::Profit]);
        const auto colour = profit ? bandColour(profitBand(*profit)) : std::nullopt;
        m_fills.push_back(colour ? QVariant(*colour) : QVariant());
    }
    resortWithinReset();
    endResetModel();
}

QString AnalysisModel::tradeId(int row) const
{
    if (row < 0 || row >= rowCount())
        return QString();
    return m_analysis.rows[baseRow(row)][analysiscol::Id];
}

void AnalysisModel::setPictureMark(const QString& tradeId, bool hasPicture)
{
    for (size_t row = 0; row < m_analysis.rows.size(); ++row) {
        QString& cell = m_analysis.rows[row][analysiscol::Picture];
        if (m_analysis.rows[row][analysiscol::Id] != tradeId || cell == pictureMark(hasPicture))
            continue;
        cell = pictureMark(hasPicture);
        const QModelIndex at = index(static_cast<int>(row), analysiscol::Picture);
        emit dataChanged(at, at);
    }
}

int AnalysisModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_analysis.rows.size());
}

int AnalysisModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kAnalysisColumns;
}

QVariant AnalysisModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = baseRow(index.row());
    const QString& text = m_analysis.rows[row][index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text.isEmpty() && role == Qt::ToolTipRole ? QVariant() : QVariant(text);
    case Qt::BackgroundRole:
        return m_fills[row];
    case Qt::ForegroundRole:
        if (const auto colour = cellTextColour(text))
            return *colour;
        return {};
    default:
        return {};
    }
}

QVariant AnalysisModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kAnalysisColumns)
        return analysisHeaders()[section];
    return {};
}
