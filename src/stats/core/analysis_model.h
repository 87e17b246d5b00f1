#pragma once

#include "stats/core/period_analysis.h"

#include <QAbstractTableModel>

// The period analysis grid's model: the 16 columns of texts, each row filled
// by the band of its profit and the "Обычная"/"Низкая" text
// colours, as the trade table draws them.
class AnalysisModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setAnalysis(PeriodAnalysis analysis);
    const PeriodAnalysis& analysis() const { return m_analysis; }
    // The trade id of a row, empty when there is none.
    QString tradeId(int row) const;
    // The trade's pictures changed: its "Рис" cell follows at once.
    void setPictureMark(const QString& tradeId, bool hasPicture);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    PeriodAnalysis m_analysis;
    std::vector<QVariant> m_fills; // per row, the band colour or nothing
};
