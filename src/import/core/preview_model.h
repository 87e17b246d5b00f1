#pragma once

#include "import/core/statement_row.h"

#include "db/core/sortable_table_model.h"

#include <vector>

// The preview grid StringGrid_Main as a model: sixteen columns under the
// header texts, one row per extracted trade and one empty row at the end.
// In grid terms (cell(), gridRowCount()) row 0 is the header row, so a grid
// of n trades has n + 2 rows. A click on a column header sorts the trades
// (the empty row stays last); rows() keeps the statement's order and
// baseRow() says which of them a shown row is.
class PreviewModel : public SortableTableModel {
    Q_OBJECT
public:
    explicit PreviewModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Header row, the trades as shown, the empty last row.
    int gridRowCount() const { return static_cast<int>(m_rows.size()) + 2; }
    QString cell(int gridRow, int column) const;

    const std::vector<StatementRow>& rows() const { return m_rows; }
    void setRows(std::vector<StatementRow> rows);
    // Rows (positions in rows()) whose cells do not read: drawn in the colour
    // of a loss band so the trader sees which trades stay behind.
    void setProblemRows(std::vector<int> rows);
    bool isProblemRow(int row) const;
    // The header and one empty row.
    void clear();

protected:
    QString sortText(int baseRow, int column) const override;
    bool keptLast(int baseRow) const override { return baseRow >= static_cast<int>(m_rows.size()); }

private:
    std::vector<StatementRow> m_rows;
    std::vector<int> m_problemRows; // sorted
};
