#pragma once

#include <QAbstractTableModel>

#include <vector>

// A table model whose rows the trader can sort by a click on a column
// header. The rows stay where the subclass keeps them ("base rows", in the
// order it built them); the model shows them through an order of its own,
// so everything a subclass keeps beside a row (a colour, an id, a date)
// goes with it. A subclass reads its rows through baseRow(shownRow).
//
// sort(-1) (a view whose header shows no sort column yet) shows the rows in
// their built order. Rows that keptLast() names (the grids' empty last row,
// a summary row) stay at the bottom in their own order whatever the sort.
// Rows that tie keep the order they were shown in, so a click on a second
// column sorts within the first one's ties.
// Selections and other persistent indexes follow their rows.
class SortableTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The row of the subclass's own order shown at a row, and back.
    int baseRow(int shownRow) const
    {
        return m_shown.empty() || shownRow < 0 || shownRow >= static_cast<int>(m_shown.size()) ? shownRow
                                                                                               : m_shown[shownRow];
    }
    int shownRow(int baseRow) const;

protected:
    // The text a cell of a base row sorts by.
    virtual QString sortText(int baseRow, int column) const = 0;
    // Rows that stay at the bottom, in their built order.
    virtual bool keptLast(int baseRow) const;
    // After the rows were replaced, inside the subclass's model reset: the
    // new rows in the column and direction the trader chose last.
    void resortWithinReset();
    // After a base row was appended, removed or changed outside a reset.
    void resortKeepingSelection();
    // A base row removed (call between beginRemoveRows and endRemoveRows);
    // the later base rows move up by one.
    void forgetBaseRow(int baseRow);
    // A base row appended at the end of the built order, shown last until the
    // next sort.
    void appendBaseRow(int baseRow);

private:
    // The rows sorted from the order they are shown in, so rows that tie
    // keep the order an earlier click gave them.
    std::vector<int> orderFor(int column, Qt::SortOrder order) const;

    std::vector<int> m_shown; // shown row -> base row; empty: the built order
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
