#pragma once

#include "db/core/large_pages.h"

#include "stats/core/r_multiples.h"

#include <QByteArrayView>
#include <QString>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class AccountTrades;
class TSQLiteDatabase;

// The trades of one account as the category reports, the trading metrics,
// the what-if filter, the breakdowns and the calendar read them: built from
// the account's digest (AccountTrades), the one reading the trade table,
// the balance chart and the tables of days and weeks share, with the rows
// in the order the trades were stored (the open time also as numbers, the
// R-multiple computed once). Every builder of one rebuild shares a reading.
class ReportTrades {
public:
    // The columns the reports group trades by (and the filters choose by).
    enum Column : int { Type, Item, Verno, Strategia, Taktika, Psixo, Pravilo, Pravilo2, Ocenka, ColumnCount };
    // A row whose open time has no date or no time of day.
    static constexpr int kNoDay = -2147483647 - 1;
    static constexpr int kNoTime = -1;

    // Reads every trade of the account (the kept digest while the data has
    // not changed); throws ESQLiteException.
    ReportTrades(TSQLiteDatabase& db, const QString& account);
    explicit ReportTrades(std::shared_ptr<AccountTrades> digest);
    ~ReportTrades();
    ReportTrades(const ReportTrades&) = delete;
    ReportTrades& operator=(const ReportTrades&) = delete;
    ReportTrades(ReportTrades&&) noexcept;

    int count() const { return static_cast<int>(m_net.size()); }

    // The text of a row's cell as a number into texts(): equal stored texts
    // have equal numbers; -1 for NULL.
    int category(int row, Column column) const { return m_categories[static_cast<size_t>(row) * ColumnCount + column]; }
    // Every distinct text of the grouped columns, in Windows-1251 bytes.
    const std::deque<std::string>& texts() const { return m_texts; }

    // The stored open time in Windows-1251 bytes; empty for NULL.
    QByteArrayView openTimeBytes(int row) const;
    QString openTime(int row) const;

    // The trade's profit, read with the decimal comma; nothing when the
    // stored text is not a number (an empty one included).
    std::optional<double> profit(int row) const;
    // Why the profit of a row does not read, in words for the trader.
    QString profitProblem(int row) const;
    // The trade's net result: profit, commission, taxes and swap; nothing
    // when one of them does not read (netProblem says which).
    std::optional<double> net(int row) const;
    QString netProblem(int row) const;
    // The trades of the whole account whose money does not read, the first
    // one named with their count; empty when every one reads. A filter
    // never hides them: what-if figures are shown with this beside them.
    QString moneyProblem() const;
    // Points left on the table: a whole number; never set reads 0.
    qint64 nedobral(int row) const;

    // The trade's id in t_sdelki.
    qint64 id(int row) const;
    // The open time as numbers, read once: the day as a Julian day number
    // (kNoDay when the stored text does not begin with a date) and the
    // second of that day as written, the statement's server time with no
    // conversion (kNoTime without a time of day).
    int openDay(int row) const { return m_days[static_cast<size_t>(row)]; }
    int openSecond(int row) const { return m_seconds[static_cast<size_t>(row)]; }
    // Monday = 1 ... Sunday = 7; 0 without a date.
    int openWeekday(int row) const;
    // 0 ... 23; -1 without a time of day.
    int openHour(int row) const { return m_seconds[static_cast<size_t>(row)] < 0 ? -1 : m_seconds[static_cast<size_t>(row)] / 3600; }
    TradeSide side(int row) const { return static_cast<TradeSide>(m_sides[static_cast<size_t>(row)]); }
    // The trade's R-multiple (see rMultiple) from its open price, close
    // price and stop loss; nothing without a stop loss on the losing side of
    // the open price or when a price does not read. Only the R is kept: a
    // reading of 100 000 trades costs its memory once per rebuild.
    std::optional<double> r(int row) const { return valueAt(m_r, static_cast<size_t>(row)); }

    // The rows by open time (compared as texts, as the journal orders
    // trades by date), equal times in stored order.
    const std::vector<int>& timeOrder() const { return m_timeOrder; }

private:
    int textIndex(int column, QByteArrayView bytes);
    // The digest's row of a row here.
    int at(int row) const { return m_rows.empty() ? row : m_rows[static_cast<size_t>(row)]; }
    static std::optional<double> valueAt(const LargeVector<double>& values, size_t i)
    {
        return values[i] == values[i] ? std::optional<double>(values[i]) : std::nullopt; // NaN: none
    }

    std::shared_ptr<AccountTrades> m_digest;
    // Per row, in buffers for many megabytes (large_pages.h).
    LargeVector<int> m_rows; // digest rows in stored order; empty when the digest has them so
    // Profit + commission + taxes + swap, NaN when one does not read.
    LargeVector<double> m_net;
    LargeVector<int> m_days;
    LargeVector<int> m_seconds;
    LargeVector<quint8> m_sides;
    LargeVector<double> m_r;      // NaN without one
    LargeVector<int> m_categories; // ColumnCount a row
    std::deque<std::string> m_texts; // a deque: the views below stay valid
    std::unordered_map<std::string_view, int> m_textIndex;
    // The first few texts of each column, looked through before m_textIndex:
    // a column holds few distinct texts.
    struct Known {
        std::string_view text;
        int index;
    };
    std::vector<Known> m_columnTexts[ColumnCount];
    std::vector<int> m_timeOrder;
};
