#pragma once

#include "stats/core/period_analysis.h"

#include "db/core/sortable_table_model.h"

// The period analysis grid's model: the columns of texts, each row filled
// by the band of its profit and the "Обычная"/"Низкая" text
// colours, as the trade table draws them. A cell's text is made when a view
// asks for it, so a large period costs no string per cell. Sorted by a column header, each
// row keeps its trade id and fill.
class AnalysisModel : public SortableTableModel {
    Q_OBJECT
public:
    using SortableTableModel::SortableTableModel;

    void setAnalysis(PeriodAnalysis analysis);
    const PeriodAnalysis& analysis() const { return m_analysis; }
    // The trade id of a shown row, empty when there is none.
    QString tradeId(int row) const;
    // The shown row of a trade, -1 when it is not listed.
    int rowOfTrade(const QString& tradeId) const;
    // The trade's pictures changed: its "Рис" cell follows at once.
    void setPictureMark(const QString& tradeId, bool hasPicture);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    QString sortText(int baseRow, int column) const override { return m_analysis.rows.text(baseRow, column); }

private:
    PeriodAnalysis m_analysis;
};
