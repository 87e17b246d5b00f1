#include "stats/core/analysis_model.h"

#include "db/core/cp1251.h"
#include "stats/core/trade_table.h"

void AnalysisModel::setAnalysis(PeriodAnalysis analysis)
{
    beginResetModel();
    m_analysis = std::move(analysis);
    resortWithinReset();
    endResetModel();
}

QString AnalysisModel::tradeId(int row) const
{
    if (row < 0 || row >= rowCount())
        return QString();
    return m_analysis.rows.text(baseRow(row), analysiscol::Id);
}

int AnalysisModel::rowOfTrade(const QString& tradeId) const
{
    const QByteArray id = cp1251::encode(tradeId);
    for (size_t row = 0; !tradeId.isEmpty() && row < m_analysis.rows.size(); ++row) {
        if (m_analysis.rows.bytes(row, analysiscol::Id) == id)
            return shownRow(static_cast<int>(row));
    }
    return -1;
}

void AnalysisModel::setPictureMark(const QString& tradeId, bool hasPicture)
{
    const QByteArray id = cp1251::encode(tradeId);
    for (size_t row = 0; row < m_analysis.rows.size(); ++row) {
        if (m_analysis.rows.bytes(row, analysiscol::Id) != id || m_analysis.rows.hasPicture(row) == hasPicture)
            continue;
        m_analysis.rows.setPicture(row, hasPicture);
        const QModelIndex at = index(shownRow(static_cast<int>(row)), analysiscol::Picture);
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
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const QString text = m_analysis.rows.text(row, index.column());
        return text.isEmpty() && role == Qt::ToolTipRole ? QVariant() : QVariant(text);
    }
    case Qt::BackgroundRole:
        if (const auto colour = bandColour(m_analysis.rows.band(row)))
            return *colour;
        return {};
    case Qt::ForegroundRole:
        if (const auto colour = cellTextColour(m_analysis.rows.text(row, index.column())))
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
