#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TSQLiteDatabase;
class TSQLiteTable;

// The trades of one account as the category reports and the trading
// metrics read them: one query over the columns they need, in the order the
// database returns the rows. Both builders of one rebuild share a reading.
class ReportTrades {
public:
    // Positions in the query's select list.
    enum Column : int {
        OpenTime, Type, Item, Profit, Nedobral, Verno, Strategia, Taktika, Psixo, Pravilo, Pravilo2, ColumnCount
    };

    // Reads every trade of the account; throws ESQLiteException.
    ReportTrades(TSQLiteDatabase& db, const QString& account);
    ~ReportTrades();
    ReportTrades(ReportTrades&&) noexcept;

    int count() const { return static_cast<int>(m_profit.size()); }

    // The stored Windows-1251 bytes of a text cell; empty for NULL.
    QByteArrayView bytes(int row, Column column) const;
    // The same for several cells of one row at once: out[i] for columns[i].
    void rowBytes(int row, const Column* columns, int count, QByteArrayView* out) const;
    bool isNull(int row, Column column) const;
    QString text(int row, Column column) const;

    // The trade's profit, read with the decimal comma; nothing when the
    // stored text is not a number (an empty one included).
    std::optional<double> profit(int row) const;
    // Why the profit of a row does not read, in words for the trader;
    // throws ESQLiteException.
    QString profitProblem(int row) const;
    // Points left on the table: a whole number; never set or not a number
    // reads 0.
    qint64 nedobral(int row) const;

    // The rows by open time (compared as texts, as the journal orders
    // trades by date), equal times in stored order.
    const std::vector<int>& timeOrder() const { return m_timeOrder; }

private:
    TSQLiteDatabase& m_db;
    QString m_account;
    std::unique_ptr<TSQLiteTable> m_rows;
    // The trades' ids, read only to name a trade whose profit does not read:
    // a column less in the reading of every rebuild.
    mutable std::vector<qint64> m_ids;
    std::vector<double> m_profit;
    std::vector<bool> m_profitRead;
    std::vector<int> m_timeOrder;
};
