#pragma once

#include "stats/core/text_table.h"

#include <QAbstractTableModel>

// A read-only grid over a TextTable: the cells are read from the table when
// a view asks, so a large table costs no item per cell. Subclasses add
// colours through cellData.
class TextTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(TextTable table);
    const TextTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    // Roles other than the text; called inside a model reset too.
    virtual QVariant cellData(int row, int column, int role) const;
    // Swaps the texts in without a reset, for subclasses that reset
    // themselves because they replace more than the texts.
    void replaceTable(TextTable table) { m_table = std::move(table); }

private:
    TextTable m_table;
};
