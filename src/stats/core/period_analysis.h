#pragma once

#include "db/core/partial_result.h"
#include "stats/core/trade_table.h"

#include <QColor>
#include <QDate>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class TSQLiteDatabase;

// The Russian name of the date's weekday ("Понедельник" ...).
QString weekdayName(const QDate& date);
// "05 июля 2013": a date as the pages show it, the month in the genitive.
QString longDateText(const QDate& date);
// "05 июля 2013 - Пятница": the start date of the analysis with its weekday.
QString analysisDateLabel(const QDate& start);

// The columns of the analysis grid: the row's number, the trade's columns
// from id to the rating, "+" when the trade has a picture, and the trade's
// R-multiple when it has a stop loss on the losing side (rMultiple).
namespace analysiscol {
enum : int {
    Number, Id, Ticket, OpenTime, Type, Size, Item, Profit, Timeframe, Trend, Entry, Exit, Nedobral, Error, Rating,
    Picture, R, Count
};
}
inline constexpr int kAnalysisColumns = analysiscol::Count;
const QStringList& analysisHeaders();

// The totals line below the rows of an analysis: the net results (profit,
// commission, taxes, swap), wins and losses by them. A trade whose money does
// not read is listed but left out of the totals, and the problem names it; a
// database failure keeps what was read before it.
struct AnalysisTotals : PartialResult {
    int count = 0;  // trades counted in the totals
    int wins = 0;
    int losses = 0;
    double sumPos = 0; // net results of the wins
    double sumNeg = 0; // net results of the losses

    QString dayLabel() const;
    QColor dayColour() const;
};

// One trade of the analysis as it is read: the text of every column in the
// journal's stored Windows-1251 bytes (numbers as their digits, "+" or
// nothing in "Рис", the R-multiple as "1,50" or nothing), and its profit
// read as a number (nothing when it does not read). The texts are valid only
// while the handler that receives them runs.
struct AnalysisTrade {
    std::array<QByteArrayView, kAnalysisColumns> cells;
    std::optional<double> profit;
};

// A period that holds every trade of a large account is read in parts at
// once, each on a thread of its own (see db/core/account_parts.h). A part's
// trades are kept by an AnalysisPart, fed on the part's thread in order,
// and the parts are handed over in order once every part is read and they
// are known to show one moment of the journal; otherwise they are dropped
// and the period is read in one.
class AnalysisPart {
public:
    virtual ~AnalysisPart() = default;
    // The part's next trade, its "№" left empty: the parts before it are
    // not through yet.
    virtual void take(const AnalysisTrade& trade) = 0;
};

struct AnalysisParts {
    // A keeper for a part expected to hold about partTrades of the period's
    // trades, made in the order of the parts.
    std::function<std::unique_ptr<AnalysisPart>(qint64 partTrades, qint64 periodTrades)> newPart;
    // Each part in order on the calling thread, with the number of trades
    // before it.
    std::function<void(AnalysisPart& part, qint64 before)> handOver;
    // The first part's trades go to onTrade as they are read, numbered,
    // when no change can come in between (the parts are then read while
    // other connections are held off from writing, as one reading holds them
    // off); the later parts still go to keepers.
    bool firstAsRead = false;
};

// The trades of an account opened on or after the start day and before the
// end day, with their annotations, in time order: each is handed to onTrade
// as it is read and none is kept, so the page and the command line share one
// reading and a printer needs no memory per trade. onCount, when given, first
// gets how many trades there are (from the index alone). With parts the
// period may be read in parts at once: its trades then go to the parts'
// keepers instead of onTrade.
AnalysisTotals readPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end,
                                  const std::function<void(const AnalysisTrade&)>& onTrade,
                                  const std::function<void(qint64)>& onCount = {}, const AnalysisParts* parts = nullptr);

// The rows of an analysis kept for the page: every row's texts in one byte
// buffer, as the journal stores them, made into a QString only when a cell is
// asked for (a view asks for the rows on screen), with the row's "Рис" mark
// and the fill band of its profit beside them.
class AnalysisRows {
public:
    using Row = std::array<QString, kAnalysisColumns>;

    size_t size() const { return m_starts.size(); }
    bool empty() const { return m_starts.size() == 0; }
    void reserve(size_t rows);
    void append(const AnalysisTrade& trade);
    // The rows of other after these, as if appended one by one.
    void append(const AnalysisRows& other);

    QString text(size_t row, int column) const;
    // The stored bytes of a cell other than "№" and "Рис".
    QByteArrayView bytes(size_t row, int column) const;
    Row operator[](size_t row) const;

    bool hasPicture(size_t row) const { return m_meta[row] & kPictureBit; }
    void setPicture(size_t row, bool hasPicture);
    // The band of the row's profit; None when the profit does not read.
    ProfitBand band(size_t row) const { return static_cast<ProfitBand>(m_meta[row] >> 1); }

private:
    // A growing array of plain values that is not cleared as it grows, in
    // large pages where the system offers them.
    template <class T> class Grown {
    public:
        Grown() = default;
        Grown(Grown&& other) noexcept { swap(other); }
        Grown& operator=(Grown&& other) noexcept
        {
            swap(other);
            return *this;
        }
        ~Grown() { releaseBlock(m_data, m_capacity * sizeof(T)); }
        size_t size() const { return m_size; }
        const T* data() const { return m_data; }
        T& operator[](size_t i) { return m_data[i]; }
        const T& operator[](size_t i) const { return m_data[i]; }
        void reserve(size_t capacity)
        {
            if (capacity > m_capacity)
                reallocate(capacity);
        }
        // Makes room for n more values at the end and returns where they go.
        T* grow(size_t n)
        {
            if (m_size + n > m_capacity)
                reallocate(std::max(2 * m_capacity, m_size + n));
            T* at = m_data + m_size;
            m_size += n;
            return at;
        }
        void push_back(T value) { *grow(1) = value; }
        void append(const T* values, size_t n)
        {
            if (n > 0)
                std::memcpy(grow(n), values, n * sizeof(T));
        }

    private:
        void reallocate(size_t capacity)
        {
            m_data = static_cast<T*>(reallocateBlock(m_data, m_size * sizeof(T), m_capacity * sizeof(T), capacity * sizeof(T)));
            m_capacity = capacity;
        }
        void swap(Grown& other) noexcept
        {
            std::swap(m_data, other.m_data);
            std::swap(m_size, other.m_size);
            std::swap(m_capacity, other.m_capacity);
        }
        T* m_data = nullptr;
        size_t m_size = 0;
        size_t m_capacity = 0;
    };
    // A block of `bytes` holding the first `used` bytes of data (a block of
    // `had` bytes, then given back); many megabytes come in large pages laid
    // in at once (db/core/large_pages.h).
    static void* reallocateBlock(void* data, size_t used, size_t had, size_t bytes);
    static void releaseBlock(void* data, size_t bytes) noexcept;

    static constexpr quint8 kPictureBit = 1;
    Grown<char> m_bytes;    // per row, each stored cell as its length, then its bytes
    Grown<size_t> m_starts; // where each row begins in m_bytes
    Grown<quint8> m_meta;   // per row: the picture bit, the band above it
};

// The analysis the page shows: its rows and the totals line.
struct PeriodAnalysis : AnalysisTotals {
    using Row = AnalysisRows::Row;
    AnalysisRows rows;
};

// The text of the column "Рис": "+" for a trade with pictures (its list
// names one, or a picture position is stored), empty otherwise.
QString pictureMark(bool hasPicture);

PeriodAnalysis buildPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end);
