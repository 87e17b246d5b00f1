#pragma once

#include "db/core/partial_result.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class TSQLiteDatabase;
class AccountTrades;
class TextWidthMeasure;

// The trade table of the page "База данных": the trades of one account as
// the 19 columns of texts the grid and the CLI show, the colour band of each
// row and the counters of the summary line.

enum class TradeOrder { Profit = 0, Date = 1 }; // "по профиту", "по дате"

namespace tradecol {
enum : int { Number = 0, Id = 1, Ticket = 2, OpenTime = 3, Profit = 14, Count = 19 };
}

// The fill of a row by its profit p: above 4, between 3 and 4, between 0
// and 3, from -1,8 up to 0, below -1,8; exactly 0, 3 or 4 keep the grid's
// own colour.
// Unreadable: a trade whose money does not read, shown in grey and left out
// of the counts.
enum class ProfitBand : quint8 { None, LargeGain, Gain, SmallGain, SmallLoss, LargeLoss, Unreadable };
ProfitBand profitBand(double profit);
std::optional<QColor> bandColour(ProfitBand band);

// The text colour of a cell: grey when it mentions "Обычная", green when it
// mentions "Низкая" (green wins), otherwise the grid's own text colour.
std::optional<QColor> cellTextColour(QStringView text);

const QStringList& tradeTableHeaders();

// The rows are not copied into texts: a cell's text is read from the trades
// as read from the database when it is asked for (a view asks only for the
// rows it shows), and the column widths are measured on the stored bytes.
// A trade whose money does not read is shown marked and left out of the
// counts; the problem names the first such trade. A database error leaves
// the table empty.
class TradeTable : public PartialResult {
public:
    TradeTable() = default;
    TradeTable(std::shared_ptr<AccountTrades> trades, std::vector<int> order);

    int rowCount() const { return static_cast<int>(m_order.size()); }
    QString cell(int row, int column) const;
    // Appends cell(row, column) to out without a string of its own.
    void appendCell(int row, int column, QString& out) const;
    ProfitBand band(int row) const { return bands[row]; }
    // The widths of the column rule over the headers and every cell.
    std::vector<int> columnWidths(TextWidthMeasure& measure, int lineWidth) const;

    std::vector<ProfitBand> bands; // per shown row
    // Counters of the readable rows: N, wins (net result above 0), losses
    // (below 0). A trade that does not read is shown but not counted.
    int listed = 0;
    int wins = 0;
    int losses = 0;

    QString summary() const;

private:
    std::shared_ptr<AccountTrades> m_trades;
    std::vector<int> m_order; // shown row -> row of the trades
};

// "Кол-во сделок: N, прибыльных W (P%), проигравших L (P%)", percentages
// with one decimal, 0,0 for an empty account.
QString tradeSummary(int listed, int wins, int losses);

// The table of the account's trades in the chosen order. Trades whose money
// does not read are marked; a database failure leaves the table empty. Both
// are told in the result's problem.
TradeTable buildTradeTable(TSQLiteDatabase& db, const QString& account, TradeOrder order);
// The same over trades already read (which the table keeps).
TradeTable buildTradeTable(const std::shared_ptr<AccountTrades>& trades, TradeOrder order);
