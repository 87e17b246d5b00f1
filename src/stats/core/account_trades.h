#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TSQLiteDatabase;
class TSQLiteTable;

// The trades of one account as the trade table and the balance chart read
// them: one query over the columns they show, ordered here rather than by
// SQLite, whose sorter is the slowest part of reading a large account. The
// table and the chart of one refresh share one reading.
class AccountTrades {
public:
    // Positions in the query's select list (the columns of t_sdelki that
    // account_trades.cpp lists in this order).
    enum Column : int {
        Id, Ticket, OpenTime, Type, Size, Item, PriceOpen, Sl, Tp, CloseTime, PriceClose, Commission, Swap,
        Profit, Taktika, Pravilo2, Comment, Ocenka, Profit2, Taxes, ColumnCount
    };

    // Reads every trade of the account; throws ESQLiteException.
    AccountTrades(TSQLiteDatabase& db, const QString& account);
    ~AccountTrades();
    AccountTrades(AccountTrades&&) noexcept;

    TSQLiteTable& rows() { return *m_rows; }
    int count() const;
    // Row positions by profit, highest first, trades without a profit
    // (made by hand) last; or by open time, earliest first. Equal keys keep
    // their stored order.
    const std::vector<int>& byProfitDescending();
    const std::vector<int>& byOpenTime();

    // Profit, commission, swap and taxes of every row, read once, in row
    // order. A text that is not a number leaves 0 and sets its flag in bad.
    struct Numbers {
        enum Flag : quint8 { BadProfit = 1, BadCommission = 2, BadSwap = 4, BadTaxes = 8 };
        std::vector<double> profit, commission, swap, taxes;
        std::vector<quint8> bad;
        // What the trade added to the balance: MetaTrader's profit leaves
        // out the commission, the taxes and the swap.
        double net(int row) const { return profit[row] + commission[row] + taxes[row] + swap[row]; }
    };
    const Numbers& numbers();
    // The text of one cell, for messages.
    QString text(int row, Column column);
    // Why the money of a row does not read ("Прибыль «12abc» не является
    // числом"), or empty when its profit, commission, taxes and swap all read.
    QString badMoneyText(int row);

private:
    std::unique_ptr<TSQLiteTable> m_rows;
    std::optional<Numbers> m_numbers;
    std::optional<std::vector<int>> m_byProfit;
    std::optional<std::vector<int>> m_byOpenTime;
};
