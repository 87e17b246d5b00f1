#include "stats/core/period_analysis.h"

#include "db/core/account_parts.h"
#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/large_pages.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "pictures/core/trade_pictures.h"
#include "stats/core/r_multiples.h"
#include "state/core/snapshot_stream.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <utility>

QString weekdayName(const QDate& date)
{
    static const char16_t* const names[7] = {u"Понедельник", u"Вторник", u"Среда", u"Четверг",
                                             u"Пятница", u"Суббота", u"Воскресенье"};
    return date.isValid() ? QString::fromUtf16(names[date.dayOfWeek() - 1]) : QString();
}

QString longDateText(const QDate& date)
{
    // The month name in the genitive, as Russian dates read: "05 июля 2013".
    static const char16_t* const months[12] = {u"января", u"февраля", u"марта",    u"апреля",  u"мая",     u"июня",
                                               u"июля",   u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1 %2 %3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(QString::fromUtf16(months[date.month() - 1]))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString analysisDateLabel(const QDate& start)
{
    return longDateText(start) + QStringLiteral(" - ") + weekdayName(start);
}

const QStringList& analysisHeaders()
{
    static const QStringList headers = {
        QStringLiteral("№"),     QStringLiteral("id"),        QStringLiteral("Ticket"), QStringLiteral("OpenTime"),
        QStringLiteral("Type"),  QStringLiteral("Size"),      QStringLiteral("Item"),   QStringLiteral("Profit"),
        QStringLiteral("Таймфрэйм"), QStringLiteral("Тренд"), QStringLiteral("Вошел"),  QStringLiteral("Вышел"),
        QStringLiteral("НЛ"),    QStringLiteral("Ошибка"),    QStringLiteral("Оценка"), QStringLiteral("Рис"),
        QStringLiteral("R")};
    return headers;
}

namespace {

// The trade's columns shown in the grid from analysiscol::Id on, in order.
constexpr t_sdelki::Column kShown[] = {
    t_sdelki::Id,     t_sdelki::Ticket,    t_sdelki::OpenTime, t_sdelki::Type,    t_sdelki::Size,
    t_sdelki::Item,   t_sdelki::Profit,    t_sdelki::Strategia, t_sdelki::Verno,  t_sdelki::Taktika,
    t_sdelki::Pravilo2, t_sdelki::Nedobral, t_sdelki::Pravilo,  t_sdelki::Ocenka};
static_assert(std::size(kShown) == analysiscol::Rating - analysiscol::Id + 1);
static_assert(kShown[analysiscol::Profit - analysiscol::Id] == t_sdelki::Profit);

// A trade has pictures when its list names at least one, or when a
// picture position is stored for it (the mark of the program's first
// versions, which read only the position).
bool hasPictures(QByteArrayView list, QStringView storedTop)
{
    if (!storedTop.isEmpty() && num::parseInteger(storedTop).value_or(0) != 0)
        return true;
    if (list.isEmpty())
        return false;
    try {
        return !pictureListNames(list.toByteArray()).isEmpty();
    } catch (const SnapshotError&) {
        return false; // the picture tab reports it when it is shown
    }
}

} // namespace

QString pictureMark(bool hasPicture) { return hasPicture ? QStringLiteral("+") : QString(); }

namespace {

// The columns read, in the order of the select list: the shown ones first.
constexpr int kImgTop = std::size(kShown), kList = kImgTop + 1, kCommission = kImgTop + 2, kTaxes = kImgTop + 3,
              kSwap = kImgTop + 4, kPriceOpen = kImgTop + 5, kPriceClose = kImgTop + 6, kSl = kImgTop + 7,
              kReadCount = kImgTop + 8;

QString selectList()
{
    QStringList names;
    for (const t_sdelki::Column c : kShown)
        names.append(t_sdelki::name(c));
    for (const t_sdelki::Column c : {t_sdelki::ImgTop, t_sdelki::TTree, t_sdelki::Commission, t_sdelki::Taxes, t_sdelki::Swap,
                                    t_sdelki::PriceOpen, t_sdelki::PriceClose, t_sdelki::Sl})
        names.append(t_sdelki::name(c));
    return names.join(QStringLiteral(", "));
}

// Reads the cells of the rows as the trade's texts, in the stored bytes: a
// whole number's digits, a REAL's number, a stored text; NULL reads "0" in a
// number column and empty in a text one. A column's kind is taken from the
// first row, as openResultTable takes it. The texts of numbers live in this
// reader's buffers until the next row.
class CellReader {
public:
    void learnKinds(const SqlRow& row)
    {
        for (int c = 0; c < kReadCount; ++c)
            m_kinds[c] = row.kind(c);
    }
    bool readsAbsent(int column) const { return !m_kinds[column]; }
    std::vector<std::optional<SqlRow::Kind>> kinds() const { return {std::begin(m_kinds), std::end(m_kinds)}; }
    // A whole-number cell that reads 0 (its text is "0"), told without its text.
    bool isZero(const SqlRow& row, int column) const
    {
        return m_kinds[column] == SqlRow::Kind::Integer && row.integer(column) == 0;
    }

    QByteArrayView cell(const SqlRow& row, int column)
    {
        if (!m_kinds[column])
            return {}; // NULL in the first row of a column without a type
        switch (*m_kinds[column]) {
        case SqlRow::Kind::Integer: return digits(row.integer(column), m_digits[column]); // NULL reads 0
        case SqlRow::Kind::Number:
            if (row.isNull(column))
                return "0";
            cp1251::encodeInto(num::formatGeneral(row.number(column)), m_numbers[column]);
            return m_numbers[column];
        case SqlRow::Kind::Text:
        case SqlRow::Kind::Blob: break;
        }
        return row.bytes(column);
    }

    // A cell's text as a QStringView for the number parsers, in a buffer
    // reused from row to row; valid until the next call.
    QStringView wide(QByteArrayView bytes)
    {
        // Most such texts are a few ASCII characters: widened in place.
        if (bytes.size() <= static_cast<qsizetype>(m_short.size())) {
            char16_t* out = m_short.data();
            unsigned char high = 0;
            for (const char c : bytes) {
                high |= static_cast<unsigned char>(c);
                *out++ = static_cast<unsigned char>(c);
            }
            if (high < 0x80)
                return QStringView(m_short.data(), bytes.size());
        }
        m_wide.resize(0);
        cp1251::decodeAppend(bytes.data(), bytes.size(), m_wide);
        return m_wide;
    }

    static QByteArrayView digits(qint64 value, std::array<char, 24>& buffer)
    {
        const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
        return QByteArrayView(buffer.data(), end - buffer.data());
    }

private:
    std::optional<SqlRow::Kind> m_kinds[kReadCount];
    std::array<char, 24> m_digits[kReadCount];
    QByteArray m_numbers[kReadCount];
    std::array<char16_t, 32> m_short;
    QString m_wide;
};

} // namespace

namespace {

// One trade of the analysis from its row: the texts of its cells (all but
// "№"), its picture mark and R-multiple, and whether its money reads and
// what it added to the balance. A column's kind is learnt from the first
// row read. What it hands out lives in this reader until the next row.
class TradeReader {
public:
    const AnalysisTrade& read(const SqlRow& t)
    {
        if (m_first) {
            m_first = false;
            m_cells.learnKinds(t);
        }
        auto& cells = m_trade.cells;
        for (size_t c = 0; c < std::size(kShown); ++c)
            cells[analysiscol::Id + c] = m_cells.cell(t, static_cast<int>(c));

        const QByteArrayView list = m_cells.readsAbsent(kList) ? QByteArrayView() : t.blob(kList);
        const bool picture = hasPictures(list, m_cells.isZero(t, kImgTop) ? QStringView() : m_cells.wide(m_cells.cell(t, kImgTop)));
        cells[analysiscol::Picture] = picture ? QByteArrayView("+") : QByteArrayView();

        // R: a stop loss that does not read, or of 0 (none), leaves the
        // prices unread.
        cells[analysiscol::R] = QByteArrayView();
        const QByteArrayView slText = m_cells.cell(t, kSl);
        if (!isPlainZero(slText)) {
            if (const auto sl = parsePrice(m_cells.wide(slText)); sl && *sl != 0) {
                const auto o = parsePrice(m_cells.wide(m_cells.cell(t, kPriceOpen)));
                const auto c = parsePrice(m_cells.wide(m_cells.cell(t, kPriceClose)));
                const auto r = o && c ? rMultiple(tradeSide(m_cells.wide(cells[analysiscol::Type])), *o, *c, *sl) : std::nullopt;
                if (r) {
                    cp1251::encodeInto(num::formatFixed(*r, 2), m_rText);
                    cells[analysiscol::R] = m_rText;
                }
            }
        }

        // The day's result is what its trades added to the balance: each
        // trade's profit with its commission, taxes and swap.
        m_taxesText = m_cells.cell(t, kTaxes);
        m_swapText = m_cells.cell(t, kSwap);
        m_trade.profit = num::parseCommaBytes(cells[analysiscol::Profit]);
        m_taxes = num::parseTaxesBytes(m_taxesText);
        m_swap = num::parseSwapBytes(m_swapText);
        m_commission = t.isNull(kCommission) ? 0.0 : t.number(kCommission);
        return m_trade;
    }

    // The trade's number ("№") in the last trade read.
    void setNumber(qint64 number) { m_trade.cells[analysiscol::Number] = CellReader::digits(number, m_number); }
    // Whether the last trade's money reads: a trade whose money does not
    // read is listed but left out of the sums.
    bool moneyReads() const { return m_trade.profit && m_taxes && m_swap; }
    double net() const { return *m_trade.profit + m_commission + *m_taxes + *m_swap; }
    // The problem of the last trade when its money does not read.
    QString unreadableText() const
    {
        const auto decode = [](QByteArrayView b) { return cp1251::decode(b.data(), b.size()); };
        const auto& cells = m_trade.cells;
        return unreadableTradeText(decode(cells[analysiscol::Id]),
                                   !m_trade.profit ? QStringLiteral("Прибыль") : !m_taxes ? QStringLiteral("Налог") : QStringLiteral("Своп"),
                                   decode(!m_trade.profit ? cells[analysiscol::Profit] : !m_taxes ? m_taxesText : m_swapText));
    }
    // The kinds learnt from the first row; none before it.
    std::optional<std::vector<std::optional<SqlRow::Kind>>> kinds() const
    {
        if (m_first)
            return std::nullopt;
        return m_cells.kinds();
    }

private:
    // "0", the stop loss of a trade without one, read without a parser.
    static bool isPlainZero(QByteArrayView text) { return text.size() == 1 && text[0] == '0'; }

    CellReader m_cells;
    AnalysisTrade m_trade;
    bool m_first = true;
    std::array<char, 24> m_number;
    QByteArray m_rText;
    QByteArrayView m_taxesText, m_swapText;
    std::optional<double> m_taxes, m_swap;
    double m_commission = 0;
};

// The totals of the trades whose money reads, summed in the order of the
// rows (the sums of a later part go on from those of the earlier ones, as
// one reading adds them), and the first trade whose money does not read.
class TotalsInOrder {
public:
    explicit TotalsInOrder(AnalysisTotals& totals)
        : m_totals(totals)
    {
    }
    void add(double net)
    {
        ++m_totals.count;
        if (net > 0) {
            ++m_totals.wins;
            m_totals.sumPos += net;
        } else if (net < 0) {
            ++m_totals.losses;
            m_totals.sumNeg += net;
        }
    }
    template <class Text> void addUnreadable(Text&& text)
    {
        if (m_unreadable++ == 0)
            m_firstBad = text();
    }
    void addUnreadable(int count, const QString& first)
    {
        if (count > 0 && m_unreadable == 0)
            m_firstBad = first;
        m_unreadable += count;
    }
    void finish()
    {
        if (m_unreadable > 0)
            m_totals.stop(unreadableTradesText(m_firstBad, m_unreadable));
    }
    // Nothing summed yet.
    void restart()
    {
        m_totals = AnalysisTotals();
        m_unreadable = 0;
        m_firstBad.clear();
    }

private:
    AnalysisTotals& m_totals;
    int m_unreadable = 0;
    QString m_firstBad;
};

SqlParams periodParams(const QString& account, const QDate& start, const QDate& end)
{
    const QString format = QStringLiteral("yyyy.MM.dd");
    return {start.toString(format), end.toString(format), account};
}

// A part of a reading in parts, read on its own thread: its trades go to
// the caller's keeper, their money is kept for the totals. On a cache line
// of its own, so that the parts' threads do not take lines from each other.
struct alignas(64) PartReading {
    TradeReader reader;
    std::unique_ptr<AnalysisPart> keeper;
    qint64 trades = 0;
    std::vector<double> nets; // of the trades counted in the totals, in order
    int unreadable = 0;
    QString firstBad;

    void take(const SqlRow& row)
    {
        keeper->take(reader.read(row));
        ++trades;
        if (reader.moneyReads())
            nets.push_back(reader.net());
        else if (unreadable++ == 0)
            firstBad = reader.unreadableText();
    }
};

// The trades of a reading in one: each handed over as it is read, with its
// number, and added to the totals.
struct HandedOver {
    TradeReader reader;
    qint64 number = 0;
    qint64 handedBefore = 0; // the first trades, handed over by an earlier reading

    void take(const SqlRow& row, TotalsInOrder& sums, const std::function<void(const AnalysisTrade&)>& onTrade)
    {
        const AnalysisTrade& trade = reader.read(row);
        reader.setNumber(++number);
        if (number > handedBefore)
            onTrade(trade);
        if (reader.moneyReads())
            sums.add(reader.net());
        else
            sums.addUnreadable([&] { return reader.unreadableText(); });
    }
};

// Whether every trade of the account was opened within the period: the
// first and the last of the account's index by open time lie in it (a trade
// without an open time comes first there and lies in no period).
bool periodHoldsAccount(TSQLiteDatabase& db, const SqlParams& params)
{
    using namespace t_sdelki;
    bool holds = false;
    db.readRows(QStringLiteral("SELECT (SELECT %1>?1 FROM %2 WHERE %3=?3 ORDER BY %1 ASC LIMIT 1), "
                               "(SELECT %1<?2 FROM %2 WHERE %3=?3 ORDER BY %1 DESC LIMIT 1)")
                    .arg(name(OpenTime), table, name(Chet)),
                params, [&](const SqlRow& row) { holds = row.integer(0) == 1 && row.integer(1) == 1; });
    return holds;
}

qint64 countInPeriod(TSQLiteDatabase& db, const SqlParams& params)
{
    using namespace t_sdelki;
    qint64 count = 0;
    db.readRows(QStringLiteral("SELECT count(*) FROM %1 WHERE %2>? and %2<? and %3=?").arg(table, name(OpenTime), name(Chet)),
                params, [&](const SqlRow& row) { count = std::max<qint64>(0, row.integer(0)); });
    return count;
}

// Keeps every other connection from committing a change until it is
// dropped: a read transaction of a connection of its own, which in a
// rollback journal holds off every writer (as one long reading does).
// Nothing in WAL mode, where readers do not hold off writers, or when it
// cannot be had.
std::unique_ptr<TSQLiteDatabase> holdJournal(TSQLiteDatabase& db)
{
    try {
        if (!QFileInfo(db.path()).isFile())
            return nullptr;
        auto hold = std::make_unique<TSQLiteDatabase>(db.path());
        // Asked of the new connection (WAL mode is the file's own): on db the
        // pragma would count as a write and wait for the write gate.
        QByteArray mode;
        hold->readRows(QStringLiteral("PRAGMA journal_mode"), {}, [&](const SqlRow& row) { mode = row.bytes(0).toByteArray().toLower(); });
        if (mode.startsWith("wal"))
            return nullptr;
        hold->executeStatement(QStringLiteral("BEGIN"));
        hold->readRows(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, [](const SqlRow&) {});
        return hold;
    } catch (const ESQLiteException&) {
        return nullptr;
    }
}

// The period read in parts at once when it holds every trade of a large
// account: true when its trades went to the parts' keepers and were handed
// over, false when it must be read in one. handed counts the first trades
// that went to onTrade as they were read (keepers.firstAsRead): a reading in
// one hands over only those after them.
bool readInParts(TSQLiteDatabase& db, const QString& account, const SqlParams& params, std::optional<qint64> count,
                 const AnalysisParts& keepers, const std::function<void(const AnalysisTrade&)>& onTrade,
                 TotalsInOrder& sums, qint64& handed)
{
    // A period of a few trades (the page's everyday one) costs no look at
    // the account's first and last trade.
    if ((count && account_parts::partsFor(*count) < 2))
        return false;
    const DataStamp looked = db.dataStamp();
    if (!periodHoldsAccount(db, params))
        return false;
    if (!count || keepers.firstAsRead)
        count = countInPeriod(db, params);
    const int parts = account_parts::partsFor(*count);
    if (parts < 2)
        return false;
    // The first part goes out as it is read only while no change can come
    // between the parts, and none came since the period was looked at (or
    // the count and the look would not be of the trades read). The hold is
    // taken last, so that a writer that comes meanwhile waits as short as it
    // can.
    std::unique_ptr<TSQLiteDatabase> hold = keepers.firstAsRead ? holdJournal(db) : nullptr;
    if (hold && db.dataStamp() != looked)
        hold.reset();
    const int firstKept = hold ? 1 : 0;
    std::vector<PartReading> reading(static_cast<size_t>(parts));
    for (int k = firstKept; k < parts; ++k)
        reading[static_cast<size_t>(k)].keeper = keepers.newPart(*count / parts + 1, *count);
    HandedOver first;
    try {
        if (!account_parts::read(db, selectList(), account, *count, parts, [&](int part, const SqlRow& row) {
                if (part < firstKept)
                    first.take(row, sums, onTrade);
                else
                    reading[static_cast<size_t>(part)].take(row);
            })) {
            handed = first.number;
            return false;
        }
    } catch (const ESQLiteException&) {
        handed = first.number;
        return false; // read again in one: it stops where the failure is, as it always did
    }
    handed = first.number;
    // Each part took the kinds of the columns from its own first row; one
    // reading takes them from the period's first.
    std::optional<std::vector<std::optional<SqlRow::Kind>>> kinds = hold ? first.reader.kinds() : std::nullopt;
    for (int k = firstKept; k < parts; ++k) {
        const PartReading& part = reading[static_cast<size_t>(k)];
        if (!kinds)
            kinds = part.reader.kinds();
        else if (const auto own = part.reader.kinds(); own && *own != *kinds)
            return false;
    }
    hold.reset();
    qint64 before = first.number;
    for (int k = firstKept; k < parts; ++k) {
        PartReading& part = reading[static_cast<size_t>(k)];
        keepers.handOver(*part.keeper, before);
        before += part.trades;
        for (const double net : part.nets)
            sums.add(net);
        sums.addUnreadable(part.unreadable, part.firstBad);
    }
    return true;
}

} // namespace

AnalysisTotals readPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end,
                                  const std::function<void(const AnalysisTrade&)>& onTrade,
                                  const std::function<void(qint64)>& onCount, const AnalysisParts* parts)
{
    AnalysisTotals totals;
    TotalsInOrder sums(totals);
    try {
        using namespace t_sdelki;
        const SqlParams params = periodParams(account, start, end);
        std::optional<qint64> count;
        if (onCount) {
            count = countInPeriod(db, params);
            onCount(*count);
        }
        qint64 handed = 0;
        if (!parts || !readInParts(db, account, params, count, *parts, onTrade, sums, handed)) {
            // Read row by row in time order (the index of the account's
            // trades by open time gives that order without a sort). What a
            // reading in parts handed over is not handed again, but summed
            // again from the start.
            sums.restart();
            HandedOver one;
            one.handedBefore = handed;
            db.readRows(QStringLiteral("SELECT %1 FROM %2 WHERE %3>? and %3<? and %4=? ORDER BY %3 ASC")
                            .arg(selectList(), table, name(OpenTime), name(Chet)),
                        params, [&](const SqlRow& row) { one.take(row, sums, onTrade); });
        }
    } catch (const ESQLiteException& e) {
        totals.stop(e.message());
    }
    sums.finish();
    return totals;
}

namespace {

// The rows of a part as the page keeps them, their room made at the first
// on the part's own thread (on cache lines of their own, as PartReading).
class alignas(64) RowsPart : public AnalysisPart {
public:
    explicit RowsPart(qint64 trades)
        : m_expected(trades)
    {
    }
    void take(const AnalysisTrade& trade) override
    {
        if (m_expected > 0)
            rows.reserve(static_cast<size_t>(std::exchange(m_expected, 0)));
        rows.append(trade);
    }
    AnalysisRows rows;

private:
    qint64 m_expected;
};

} // namespace

PeriodAnalysis buildPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end)
{
    PeriodAnalysis result;
    // Read in parts, the first part's rows become the page's, with room for
    // the later parts' rows, which are joined to them as they are.
    bool firstPart = true;
    const AnalysisParts parts{[&](qint64 partTrades, qint64 periodTrades) {
                                  return std::make_unique<RowsPart>(std::exchange(firstPart, false) ? periodTrades : partTrades);
                              },
                              [&](AnalysisPart& part, qint64) {
                                  AnalysisRows& rows = static_cast<RowsPart&>(part).rows;
                                  if (result.rows.empty())
                                      result.rows = std::move(rows);
                                  else
                                      result.rows.append(rows);
                              }};
    // Read in one, the rows get their room at the first (none when the
    // period is read in parts).
    qint64 expected = 0;
    static_cast<AnalysisTotals&>(result) = readPeriodAnalysis(
        db, account, start, end,
        [&](const AnalysisTrade& trade) {
            if (expected > 0)
                result.rows.reserve(static_cast<size_t>(std::exchange(expected, 0)));
            result.rows.append(trade);
        },
        [&](qint64 count) { expected = count; }, &parts);
    return result;
}

namespace {

// The columns a row keeps as bytes, in the order they are stored.
constexpr int kStored[] = {analysiscol::Id,     analysiscol::Ticket,    analysiscol::OpenTime, analysiscol::Type,
                           analysiscol::Size,   analysiscol::Item,      analysiscol::Profit,   analysiscol::Timeframe,
                           analysiscol::Trend,  analysiscol::Entry,     analysiscol::Exit,     analysiscol::Nedobral,
                           analysiscol::Error,  analysiscol::Rating,    analysiscol::R};
constexpr int kNotStored = -1;
constexpr std::array<int, kAnalysisColumns> storedIndex()
{
    std::array<int, kAnalysisColumns> at{};
    for (int& a : at)
        a = kNotStored;
    for (int i = 0; i < static_cast<int>(std::size(kStored)); ++i)
        at[kStored[i]] = i;
    return at;
}
constexpr std::array<int, kAnalysisColumns> kStoredAt = storedIndex();

// A cell's length: one byte below 255, else 255 and four bytes.
constexpr unsigned char kLongCell = 255;

} // namespace

void AnalysisRows::reserve(size_t rows)
{
    m_starts.reserve(rows);
    m_meta.reserve(rows);
    m_bytes.reserve(rows * 96); // about what a trade's texts take
}

void AnalysisRows::append(const AnalysisTrade& trade)
{
    const size_t start = m_bytes.size();
    m_starts.push_back(start);
    size_t length = 0;
    for (const int column : kStored) {
        const size_t size = static_cast<size_t>(trade.cells[column].size());
        length += size + (size < kLongCell ? 1 : 1 + sizeof(quint32));
    }
    char* at = m_bytes.grow(length);
    for (const int column : kStored) {
        const QByteArrayView cell = trade.cells[column];
        const auto size = static_cast<quint32>(cell.size());
        if (size < kLongCell) {
            *at++ = static_cast<char>(size);
        } else {
            *at++ = static_cast<char>(kLongCell);
            std::memcpy(at, &size, sizeof size);
            at += sizeof size;
        }
        if (size > 0)
            std::memcpy(at, cell.data(), size);
        at += size;
    }
    const ProfitBand band = trade.profit ? profitBand(*trade.profit) : ProfitBand::None;
    m_meta.push_back(static_cast<quint8>((static_cast<quint8>(band) << 1) | (trade.cells[analysiscol::Picture].isEmpty() ? 0 : kPictureBit)));
}

void AnalysisRows::append(const AnalysisRows& other)
{
    const size_t offset = m_bytes.size();
    m_bytes.append(other.m_bytes.data(), other.m_bytes.size());
    size_t* starts = m_starts.grow(other.m_starts.size());
    for (size_t row = 0; row < other.m_starts.size(); ++row)
        starts[row] = other.m_starts[row] + offset;
    m_meta.append(other.m_meta.data(), other.m_meta.size());
}

void* AnalysisRows::reallocateBlock(void* data, size_t used, size_t had, size_t bytes)
{
    void* block = allocateLarge(bytes);
    if (used > 0)
        std::memcpy(block, data, used);
    releaseBlock(data, had);
    return block;
}

void AnalysisRows::releaseBlock(void* data, size_t bytes) noexcept { freeLarge(data, bytes); }

QByteArrayView AnalysisRows::bytes(size_t row, int column) const
{
    const int stored = kStoredAt[column];
    if (stored == kNotStored)
        return {};
    const char* at = m_bytes.data() + m_starts[row];
    for (int i = 0;; ++i) {
        quint32 size = static_cast<unsigned char>(*at++);
        if (size == kLongCell) {
            std::memcpy(&size, at, sizeof size);
            at += sizeof size;
        }
        if (i == stored)
            return QByteArrayView(at, size);
        at += size;
    }
}

QString AnalysisRows::text(size_t row, int column) const
{
    switch (column) {
    case analysiscol::Number: return QString::number(row + 1);
    case analysiscol::Picture: return pictureMark(hasPicture(row));
    default: break;
    }
    const QByteArrayView cell = bytes(row, column);
    return cp1251::decode(cell.data(), cell.size());
}

AnalysisRows::Row AnalysisRows::operator[](size_t row) const
{
    Row texts;
    for (int column = 0; column < kAnalysisColumns; ++column)
        texts[column] = text(row, column);
    return texts;
}

void AnalysisRows::setPicture(size_t row, bool hasPicture)
{
    m_meta[row] = static_cast<quint8>((m_meta[row] & ~kPictureBit) | (hasPicture ? kPictureBit : 0));
}

QString AnalysisTotals::dayLabel() const
{
    if (count == 0)
        return QStringLiteral("Нет сделок");
    const QString total = num::money(sumPos + sumNeg);
    const QString percent = num::money(static_cast<double>(wins) / count * 100.0);
    const QString tail = QStringLiteral(" , всего сделок: %1, процент выйгрышных: %2%, Выйграл: %3, Проиграл %4")
                             .arg(count)
                             .arg(percent)
                             .arg(wins)
                             .arg(losses);
    if (wins == 0)
        return QStringLiteral("Итго дня: ") + total + tail;
    return QStringLiteral("Итог дня: ") + total + tail + QStringLiteral(", средняя прибыльная сделка: ")
        + num::money(sumPos / wins);
}

QColor AnalysisTotals::dayColour() const
{
    if (count == 0)
        return QColor(0, 0, 0);
    return wins == 0 ? QColor(255, 0, 0) : QColor(0, 128, 0);
}
