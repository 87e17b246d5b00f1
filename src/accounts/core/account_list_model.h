#pragma once

#include "db/core/records.h"

#include "db/core/sortable_table_model.h"

#include <QColor>
#include <QIcon>

#include <optional>
#include <vector>

// The text colour of an account's row: black for "демо", green for "реал",
// grey for "закрыт" whatever the type; none (the list's own) otherwise.
std::optional<QColor> accountRowColor(const QString& type, const QString& state);
// The colour of the type in the details: red for "демо", green otherwise.
QColor accountTypeColor(const QString& type);

// The rows of the account list: id, name, type, broker, capital, state.
// Each row carries a mark: none until an account is first activated, then
// inactive for every row but the active one. A click on a column header
// sorts the rows; every operation takes the row as shown, and
// listPosition() gives its place in the order the accounts were added.
class AccountListModel : public SortableTableModel {
    Q_OBJECT
public:
    enum Column { ColId, ColName, ColType, ColBroker, ColCapital, ColState, ColumnCount };
    enum class Mark { None, Inactive, Active };

    explicit AccountListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The icons shown in the id column for the inactive and the active mark.
    void setMarkIcons(const QIcon& inactive, const QIcon& active);

    void clear();
    void appendAccount(const AccountRecord& account);
    // Writes name, type, broker, capital and state of a row.
    void updateAccount(int row, const AccountRecord& account);
    void removeAccount(int row);
    const AccountRecord& account(int row) const { return m_rows[baseRow(row)].account; }
    Mark mark(int row) const { return m_rows[baseRow(row)].mark; }
    // The place of a shown row in the order the accounts were added (the
    // order of a fresh list), and the shown row of such a place.
    int listPosition(int row) const { return row < 0 ? row : baseRow(row); }
    int rowAtListPosition(int position) const { return position < 0 ? position : shownRow(position); }
    // The first row from the top whose name equals the text exactly, or -1.
    int findByName(const QString& name) const;
    // Every row becomes inactive and the given row active.
    void markActive(int row);

protected:
    QString sortText(int baseRow, int column) const override { return cellText(m_rows[baseRow].account, column); }

private:
    struct Row {
        AccountRecord account;
        Mark mark = Mark::None;
    };
    QString cellText(const AccountRecord& a, int column) const;

    std::vector<Row> m_rows;
    QIcon m_inactiveIcon;
    QIcon m_activeIcon;
};
