#pragma once

#include "db/core/large_pages.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TSQLiteDatabase;
struct DataStamp;

// The trades of one account as the trade table, the balance chart, the
// tables of days and weeks and the reports (ReportTrades) read them: one
// streamed query over the columns they use, kept as a compact digest (texts
// in their stored Windows-1251 bytes, a text repeated in a column such as
// the pair or the entry stored once, a column never written kept once, the
// money parsed once from the bytes) and ordered here rather than by SQLite,
// whose sorter is the slowest part of reading a large account. The views of
// one refresh share one digest, and read() hands the same digest again
// while the account's data has not changed.
class AccountTrades {
public:
    // Positions in the query's select list (the columns of t_sdelki that
    // account_trades.cpp lists in this order): the trade table's columns,
    // then the annotations only the reports group by.
    enum Column : int {
        Id, Ticket, OpenTime, Type, Size, Item, PriceOpen, Sl, Tp, CloseTime, PriceClose, Commission, Swap,
        Profit, Taktika, Pravilo2, Comment, Ocenka, Profit2, Taxes, Nedobral, Verno, Strategia, Psixo, Pravilo,
        ColumnCount
    };

    // Reads every trade of the account; throws ESQLiteException.
    AccountTrades(TSQLiteDatabase& db, const QString& account);
    ~AccountTrades();
    AccountTrades(AccountTrades&&) noexcept;
    AccountTrades& operator=(AccountTrades&&) noexcept;

    // The digest of the account's trades: the one read last when neither
    // this connection nor another has changed the database since (and it
    // was read over this connection for the same account), otherwise read
    // now. Throws ESQLiteException.
    static std::shared_ptr<AccountTrades> read(TSQLiteDatabase& db, const QString& account);
    // Lets go of the kept digest (its memory), e.g. when the window closes
    // an account.
    static void forgetKept();
    // The number of the account's trades (from the index alone); throws
    // ESQLiteException.
    static qint64 countOf(TSQLiteDatabase& db, const QString& account);
    // The count the account had when it was last counted or read over this
    // file in this process, or nothing: an estimate, which changes since
    // may have made out of date.
    static std::optional<qint64> lastCount(TSQLiteDatabase& db, const QString& account);
    // Whether read() would hand the kept digest over without reading.
    static bool isKept(TSQLiteDatabase& db, const QString& account);
    // Keeps a digest read elsewhere (over another connection to the same
    // file) as read() would have kept it: stamp is db's dataStamp() taken
    // before that reading began and found unchanged after it ended.
    static void keep(TSQLiteDatabase& db, const QString& account, const DataStamp& stamp,
                     std::shared_ptr<AccountTrades> trades);

    int count() const { return m_count; }
    // Row positions by profit, highest first, trades without a profit
    // (made by hand) last; or by open time, earliest first. Equal keys keep
    // their stored order.
    const std::vector<int>& byProfitDescending();
    const std::vector<int>& byOpenTime();

    // Profit, commission, swap and taxes of every row, read once, in row
    // order. A text that is not a number leaves 0 and sets its flag in bad.
    // A REAL or INTEGER column is taken as stored. The points missed (НЛ,
    // Nedobral) likewise, with their own flag, which the money does not see.
    struct Numbers {
        enum Flag : quint8 { BadProfit = 1, BadCommission = 2, BadSwap = 4, BadTaxes = 8 };
        LargeVector<double> profit, commission, swap, taxes;
        LargeVector<quint8> bad;
        LargeVector<qint64> nedobral;
        std::vector<bool> badNedobral;
        // What the trade added to the balance: MetaTrader's profit leaves
        // out the commission, the taxes and the swap.
        double net(int row) const { return profit[row] + commission[row] + taxes[row] + swap[row]; }
    };
    const Numbers& numbers() const { return m_numbers; }
    // The cell as the database layer reads it as text, in its stored
    // Windows-1251 bytes: a whole number's digits, a REAL column's number
    // (0 for NULL), a text as stored; a null view for a NULL text.
    QByteArrayView bytes(int row, Column column) const;
    // Texts that between them have every width the column's texts can have
    // in a font that draws a text as the sum of its characters and every
    // digit alike: each stored text that is not a number as it is, and for
    // the numbers and times (digits with . , - + : and the space) one text
    // per mix of those characters, every digit written as 0. Each such text
    // comes at least once, some more than once; a NULL comes never.
    void forEachTextShape(Column column, const std::function<void(QByteArrayView)>& visit) const;
    // The same decoded, for what is shown.
    QString text(int row, Column column) const;
    // Appends the decoded text to out.
    void appendText(int row, Column column, QString& out) const;
    // The trade's id (the order in which trades were stored).
    qint64 id(int row) const { return m_ids[row]; }
    // The open time as a number that sorts like its text
    // ("yyyy.mm.dd hh:mm[:ss]"), or nothing for a text of another form.
    std::optional<quint64> openTimeKey(int row) const;
    // Why the money of a row does not read ("Прибыль «12abc» не является
    // числом"), or empty when its profit, commission, taxes and swap all read.
    QString badMoneyText(int row) const;

private:
    friend class AccountTradesBuilder;
    AccountTrades() = default;
    void reserve(size_t rows, size_t textRows);
    // Reads the account in parts at once (account_parts); false when it
    // must be read in one instead.
    bool readInParts(TSQLiteDatabase& db, const QString& account, size_t rows, int parts);
    // Appends the rows of a digest read after this one (taking it over).
    void append(AccountTrades&& piece);
    void fitArena();
    int m_count = 0;
    // Per column and row: where the cell's text starts in the arena (a
    // length byte, or 255 and four length bytes, then the bytes), or kNull.
    // A column whose cells are all the same (an annotation never written)
    // keeps that one position and no rows.
    struct Cells {
        LargeVector<quint32> rows;
        quint32 same = 0;
        bool varies = false;
        // The column's texts by shape (forEachTextShape): the number
        // shapes, and where the other texts are stored.
        std::vector<quint64> numberShapes;
        std::vector<quint32> otherTexts;
    };
    Cells m_cells[ColumnCount];
    // The texts of the rows read in further parts (account_parts) stay in
    // digests of their own, from row `start` on; this digest's own cells
    // hold the rows before the first part's start.
    struct Part {
        int start;
        std::unique_ptr<AccountTrades> trades;
    };
    std::vector<Part> m_parts;
    size_t m_expected = 0; // the rows the count query found
    LargeVector<char> m_arena;
    LargeVector<qint64> m_ids;
    LargeVector<double> m_profitKey; // Profit2, or the lowest key without one
    Numbers m_numbers;
    std::optional<std::vector<int>> m_byProfit;
    std::optional<std::vector<int>> m_byOpenTime;
};
