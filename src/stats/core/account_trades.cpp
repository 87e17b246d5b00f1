#include "stats/core/account_trades.h"

#include "db/core/account_parts.h"
#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/large_pages.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "stats/core/two_halves.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <bit>
#include <utility>
#include <functional>
#include <cstring>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <type_traits>
#include <span>

namespace {

constexpr quint32 kNull = std::numeric_limits<quint32>::max();

// "yyyy.mm.dd hh:mm" or "yyyy.mm.dd hh:mm:ss" as a number that sorts like
// the text: the digits, then the length (a shorter text that is a prefix of
// a longer one comes first). Nothing for any other form.
std::optional<quint64> timeKey(QByteArrayView t)
{
    static constexpr char kShape[] = "0000.00.00 00:00:00";
    if (t.size() != 16 && t.size() != 19)
        return std::nullopt;
    quint64 key = 0;
    for (qsizetype i = 0; i < 19; ++i) {
        if (i >= t.size()) {
            if (kShape[i] == '0')
                key *= 10; // absent seconds count as 00 (the colon before them is no digit)
            continue;
        }
        const char c = t[i];
        if (kShape[i] == '0') {
            if (c < '0' || c > '9')
                return std::nullopt;
            key = key * 10 + static_cast<quint64>(c - '0');
        } else if (c != kShape[i]) {
            return std::nullopt;
        }
    }
    return key * 2 + (t.size() == 19 ? 1 : 0);
}

// The columns read, at the positions AccountTrades::Column names.
constexpr t_sdelki::Column kRead[] = {
    t_sdelki::Id,        t_sdelki::Ticket,     t_sdelki::OpenTime,   t_sdelki::Type,    t_sdelki::Size,
    t_sdelki::Item,      t_sdelki::PriceOpen,  t_sdelki::Sl,         t_sdelki::Tp,      t_sdelki::CloseTime,
    t_sdelki::PriceClose, t_sdelki::Commission, t_sdelki::Swap,      t_sdelki::Profit,  t_sdelki::Taktika,
    t_sdelki::Pravilo2,  t_sdelki::Comment,    t_sdelki::Ocenka,     t_sdelki::Profit2, t_sdelki::Taxes,
    t_sdelki::Nedobral,  t_sdelki::Verno,      t_sdelki::Strategia,  t_sdelki::Psixo,   t_sdelki::Pravilo};
static_assert(std::size(kRead) == AccountTrades::ColumnCount);
using C = AccountTrades;
static_assert(kRead[C::Id] == t_sdelki::Id && kRead[C::Ticket] == t_sdelki::Ticket
              && kRead[C::OpenTime] == t_sdelki::OpenTime && kRead[C::Type] == t_sdelki::Type
              && kRead[C::Size] == t_sdelki::Size && kRead[C::Item] == t_sdelki::Item
              && kRead[C::PriceOpen] == t_sdelki::PriceOpen && kRead[C::Sl] == t_sdelki::Sl
              && kRead[C::Tp] == t_sdelki::Tp && kRead[C::CloseTime] == t_sdelki::CloseTime
              && kRead[C::PriceClose] == t_sdelki::PriceClose && kRead[C::Commission] == t_sdelki::Commission
              && kRead[C::Swap] == t_sdelki::Swap && kRead[C::Profit] == t_sdelki::Profit
              && kRead[C::Taktika] == t_sdelki::Taktika && kRead[C::Pravilo2] == t_sdelki::Pravilo2
              && kRead[C::Comment] == t_sdelki::Comment && kRead[C::Ocenka] == t_sdelki::Ocenka
              && kRead[C::Profit2] == t_sdelki::Profit2 && kRead[C::Taxes] == t_sdelki::Taxes
              && kRead[C::Nedobral] == t_sdelki::Nedobral && kRead[C::Verno] == t_sdelki::Verno
              && kRead[C::Strategia] == t_sdelki::Strategia && kRead[C::Psixo] == t_sdelki::Psixo
              && kRead[C::Pravilo] == t_sdelki::Pravilo);

// A whole number as its decimal digits, without a string on the heap.
QByteArrayView decimalDigits(qint64 value, char (&buffer)[24])
{
    int start = 24;
    quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    do {
        buffer[--start] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (value < 0)
        buffer[--start] = '-';
    return QByteArrayView(buffer + start, 24 - start);
}

// A column remembers where its recent texts are stored, so that a text that
// repeats in it (the pair, the side, the size, the entry and exit, the
// rating) is stored once: a small table by the text's hash, each slot
// holding the last text that fell into it. A column of ever new texts
// (tickets, times, prices) stops looking once it finds few repeats.
constexpr int kSlots = 1024;
constexpr int kTrialRows = 2048;
constexpr int kSampleRows = 1024;

// A text of digits and the signs of numbers and times (. , - + : and the
// space) by how many of each it holds, a byte per count, which is all the
// widths of a font that sums its characters and draws every digit alike can
// tell apart; a text with any other byte has the top byte set.
constexpr quint64 kOtherText = quint64(1) << 56;
constexpr std::array<quint64, 256> kShapeOf = [] {
    std::array<quint64, 256> shape{};
    shape.fill(kOtherText);
    for (int d = '0'; d <= '9'; ++d)
        shape[d] = 1;
    const char signs[] = {'.', ',', '-', '+', ':', ' '};
    for (size_t i = 0; i < std::size(signs); ++i)
        shape[static_cast<unsigned char>(signs[i])] = quint64(1) << (8 * (i + 1));
    return shape;
}();
constexpr char kShapeSigns[] = {'0', '.', ',', '-', '+', ':', ' '};

// The distinct number shapes seen in a column: a handful, looked up by an
// open table that grows by doubling.
struct ShapeSet {
    quint64 last = 0;
    std::vector<quint64> table; // shape + 1; 0 is empty
    size_t used = 0;
    bool insert(quint64 shape)
    {
        if (used * 2 >= table.size()) {
            std::vector<quint64> old = std::exchange(table, std::vector<quint64>(std::max<size_t>(16, table.size() * 2)));
            used = 0;
            for (const quint64 s : old) {
                if (s)
                    insert(s - 1);
            }
        }
        const size_t mask = table.size() - 1;
        for (size_t i = (shape * 0x9E3779B97F4A7C15ull) >> 40;; ++i) {
            quint64& slot = table[i & mask];
            if (slot == shape + 1)
                return false;
            if (!slot) {
                slot = shape + 1;
                ++used;
                return true;
            }
        }
    }
};

struct ColumnReader {
    std::optional<SqlRow::Kind> kind;
    // The row's cell as stored (kNull for NULL) and, for a number, as read;
    // the money last parsed from a stored text, and where that text is.
    quint32 at = kNull;
    double number = 0;
    qint64 integer = 0;
    quint32 parsedAt = kNull;
    std::optional<double> parsed;
    ShapeSet shapes;
    bool shares = true;
    int looked = 0;
    int found = 0;
    // The text of the row before (a column never written, a run of the same
    // pair) and the number it was made from, found again without a look
    // into the table.
    quint32 last = kNull;
    quint64 lastNumber = 0;
    quint32 lastNumberAt = kNull;
    // The arena position of a recent text with its hash, which tells most
    // other texts apart without a look into the arena (far back, out of
    // the cache), and a short text itself (the pair, the side, a size), so
    // that finding it again needs no look there either; kNull when empty.
    struct Slot {
        static constexpr int kShort = 7;
        quint32 hash = 0;
        quint32 at = kNull;
        quint8 length = 0;
        char text[kShort] = {};
        bool holds(quint32 h, QByteArrayView bytes) const
        {
            return at != kNull && hash == h && bytes.size() <= kShort && length == bytes.size()
                && (bytes.isEmpty() || std::memcmp(text, bytes.data(), static_cast<size_t>(bytes.size())) == 0);
        }
    };
    std::vector<Slot> recent;
};

quint32 textHash(QByteArrayView bytes)
{
    quint32 h = 2166136261u;
    for (const char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// A sort key as an unsigned number in the same order: a floating-point
// key by its bits (the sign turned so that negatives come first, -0 read as
// 0, which it equals), highest first turned over.
constexpr quint64 kSignBit = quint64(1) << 63;

quint64 ascendingCode(double d)
{
    const quint64 bits = std::bit_cast<quint64>(d == 0 ? 0.0 : d);
    return (bits & kSignBit) ? ~bits : bits | kSignBit;
}
quint64 orderCode(double key, std::greater<double>) { return ~ascendingCode(key); }
quint64 orderCode(quint64 key, std::less<quint64>) { return key; }

struct OrderEntry {
    quint64 code;
    qint64 row;
};
quint64 codeOf(const OrderEntry& e) { return e.code; }
int rowOf(const OrderEntry& e) { return static_cast<int>(e.row); }
// The same in half the memory, for codes of 32 bits: the code above, the
// row below.
struct PackedEntry {
    quint64 bits;
};
quint64 codeOf(PackedEntry e) { return e.bits >> 32; }
int rowOf(PackedEntry e) { return static_cast<int>(e.bits & 0xFFFFFFFFu); }

// Sorts by code, keeping the order of equal codes: by 16-bit digits from the
// least significant on, each pass keeping the order of the one before, and
// only over the digits in which the entries differ (a million entries: a few
// passes, about a quarter of a comparison sort); a small list by comparison.
template <typename Entry>
void sortSpanByCode(std::span<Entry> entries)
{
    if (entries.size() < 2048) {
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return codeOf(a) < codeOf(b); });
        return;
    }
    quint64 codes = 0;
    for (const Entry& e : entries)
        codes |= codeOf(e) ^ codeOf(entries.front());
    LargeVector<Entry> other(entries.size());
    std::span<Entry> from = entries, to(other.data(), other.size());
    std::vector<quint32> starts(size_t(1) << 16);
    for (int shift = 0; shift < 64; shift += 16) {
        if (!((codes >> shift) & 0xFFFF))
            continue;
        std::fill(starts.begin(), starts.end(), 0);
        for (const Entry& e : from)
            ++starts[(codeOf(e) >> shift) & 0xFFFF];
        quint32 at = 0;
        for (quint32& start : starts)
            at += std::exchange(start, at);
        for (const Entry& e : from)
            to[starts[(codeOf(e) >> shift) & 0xFFFF]++] = e;
        std::swap(from, to);
    }
    if (from.data() != entries.data())
        std::copy(from.begin(), from.end(), entries.begin());
}

// The rows of the entries sorted by code (equal codes in the entries'
// order). A large list is sorted in two halves at once, then merged, the
// first half's rows first among equal codes.
constexpr int kHalvesFrom = 1 << 18;

template <typename Entry>
std::vector<int> rowsSortedByCode(LargeVector<Entry>& entries)
{
    std::vector<int> order(entries.size());
    const auto middle = static_cast<size_t>(inTwoHalves(static_cast<int>(entries.size()), kHalvesFrom, [&](int from, int to, int) {
        sortSpanByCode(std::span<Entry>(entries.data() + from, static_cast<size_t>(to - from)));
    }));
    const std::span<Entry> first(entries.data(), middle), second(entries.data() + middle, entries.size() - middle);
    auto a = first.begin(), b = second.begin();
    for (int& row : order) {
        if (b == second.end() || (a != first.end() && codeOf(*a) <= codeOf(*b)))
            row = rowOf(*a++);
        else
            row = rowOf(*b++);
    }
    return order;
}

// Profits are mostly whole cents: then they sort as cents, highest first,
// counted from the highest (two digits to sort by instead of four, and
// entries of half the size while they fit 32 bits). No profit (the lowest
// key) comes last.
struct CentCodes {
    qint64 highest = 0;
    quint64 none = 0; // the code of no profit, one past every profit's
    quint64 code(double key) const
    {
        return key == -std::numeric_limits<double>::infinity() ? none : static_cast<quint64>(highest - std::llround(key * 100));
    }
};

// Nothing when some profit is not whole cents.
std::optional<CentCodes> centCodes(const LargeVector<double>& keys, int count)
{
    constexpr qint64 kLimit = qint64(1) << 50;
    qint64 low = kLimit, high = -kLimit;
    for (int r = 0; r < count; ++r) {
        const double key = keys[r];
        if (key == -std::numeric_limits<double>::infinity())
            continue;
        const double scaled = key * 100;
        if (!(std::fabs(scaled) < double(kLimit)))
            return std::nullopt;
        const qint64 k = std::llround(scaled);
        if (static_cast<double>(k) / 100 != key)
            return std::nullopt;
        low = std::min(low, k);
        high = std::max(high, k);
    }
    return CentCodes{high, high >= low ? static_cast<quint64>(high - low) + 1 : 0};
}

// The rows in the order of their keys; equal keys in stored order (the id
// breaks the tie): the rows are taken in the order of their ids (usually
// the order they were read in, trades being stored in time order), then
// sorted by key keeping that order.
template <typename Keys, typename Before>
std::vector<int> rowsByKey(const Keys& keys, const LargeVector<qint64>& ids, int count, Before before)
{
    // Rows read by the index of open times usually come in that order already.
    bool inOrder = true;
    for (int r = 1; r < count && inOrder; ++r)
        inOrder = before(keys[r - 1], keys[r]) || (keys[r - 1] == keys[r] && ids[r - 1] < ids[r]);
    if (inOrder) {
        std::vector<int> order(static_cast<size_t>(count));
        for (int r = 0; r < count; ++r)
            order[static_cast<size_t>(r)] = r;
        return order;
    }
    bool idsRise = true;
    for (int r = 1; r < count && idsRise; ++r)
        idsRise = ids[r - 1] < ids[r];
    std::optional<CentCodes> cents;
    if constexpr (std::is_same_v<Before, std::greater<double>>)
        cents = centCodes(keys, count);
    auto code = [&](int r) { return cents ? cents->code(keys[r]) : orderCode(keys[r], before); };
    if (idsRise && cents && cents->none <= 0xFFFFFFFFu) {
        LargeVector<PackedEntry> entries(static_cast<size_t>(count));
        for (int r = 0; r < count; ++r)
            entries[static_cast<size_t>(r)] = {code(r) << 32 | static_cast<quint32>(r)};
        return rowsSortedByCode(entries);
    }
    LargeVector<OrderEntry> entries(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r)
        entries[static_cast<size_t>(r)] = {static_cast<quint64>(ids[r]) ^ kSignBit, r};
    if (!idsRise)
        sortSpanByCode(std::span<OrderEntry>(entries.data(), entries.size())); // ids are unique: the order of ids
    for (OrderEntry& e : entries)
        e.code = code(static_cast<int>(e.row));
    return rowsSortedByCode(entries);
}

} // namespace

// Fills a digest from the rows of the query, one at a time. On a cache line
// of its own: the builders of an account read in parts run side by side.
class alignas(64) AccountTradesBuilder {
public:
    // The digest is laid out for rows (its numbers) and textRows (its
    // texts) at the first row, on the thread that reads: the parts of an
    // account lay out their memory at once.
    AccountTradesBuilder(AccountTrades& t, size_t rows, size_t textRows)
        : m_t(t)
        , m_rows(rows)
        , m_textRows(textRows)
    {
    }

    bool empty() const { return m_first; }
    bool sameKinds(const AccountTradesBuilder& other) const
    {
        for (int c = 0; c < AccountTrades::ColumnCount; ++c) {
            if (m_columns[c].kind != other.m_columns[c].kind)
                return false;
        }
        return true;
    }

    void add(const SqlRow& row)
    {
        if (m_first) {
            m_first = false;
            m_t.reserve(m_rows, m_textRows);
            for (int c = 0; c < AccountTrades::ColumnCount; ++c)
                m_columns[c].kind = row.kind(c);
            m_numericProfit2 = isNumeric(AccountTrades::Profit2);
        }
        const int r = m_t.m_count++;
        for (int c = 0; c < AccountTrades::ColumnCount; ++c) {
            const quint32 at = store(row, c);
            m_columns[c].at = at;
            keep(c, r, at);
        }
        m_t.m_ids.push_back(row.integer(AccountTrades::Id));
        m_t.m_profitKey.push_back(!m_numericProfit2 || row.isNull(AccountTrades::Profit2)
                                      ? -std::numeric_limits<double>::infinity()
                                      : row.number(AccountTrades::Profit2));
        readNumbers(row, r);
        if (m_t.m_count == kSampleRows / 2)
            m_halfSample = m_t.m_arena.size();
        else if (m_t.m_count == kSampleRows)
            reserveArena();
    }

private:
    void keep(int c, int r, quint32 at)
    {
        AccountTrades::Cells& cells = m_t.m_cells[c];
        if (cells.varies) {
            cells.rows.push_back(at);
        } else if (r == 0) {
            cells.same = at;
        } else if (at != cells.same) {
            cells.varies = true;
            cells.rows.reserve(std::max(m_t.m_expected, static_cast<size_t>(r) + 1));
            cells.rows.assign(static_cast<size_t>(r), cells.same);
            cells.rows.push_back(at);
        }
    }

    // The texts of the first rows tell how much room the rest will take:
    // the arena is laid out once more at most instead of doubling as it
    // grows.
    // The second half of the sample tells it better: the texts that repeat
    // (the pairs, the sides, the annotations) are mostly stored in the first
    // rows already.
    void reserveArena()
    {
        const size_t expected = std::max(m_t.m_expected, static_cast<size_t>(kSampleRows));
        const size_t half = kSampleRows / 2;
        const size_t perRow = (m_t.m_arena.size() - m_halfSample + half - 1) / half;
        const size_t wanted = m_t.m_arena.size() + (expected - kSampleRows) * perRow + expected * perRow / 8;
        if (wanted > m_t.m_arena.capacity()) {
            m_t.m_arena.reserve(std::min<size_t>(wanted, kNull));
        }
    }

    bool isNumeric(int c) const
    {
        return m_columns[c].kind == SqlRow::Kind::Integer || m_columns[c].kind == SqlRow::Kind::Number;
    }

    quint32 append(int c, QByteArrayView bytes)
    {
        LargeVector<char>& arena = m_t.m_arena;
        if (arena.size() + static_cast<size_t>(bytes.size()) + 5 > kNull)
            throw ESQLiteException(QStringLiteral("Could not retrieve data"));
        const quint32 at = static_cast<quint32>(arena.size());
        const quint32 length = static_cast<quint32>(bytes.size());
        if (length < 255) {
            arena.push_back(static_cast<char>(length));
        } else {
            arena.push_back(static_cast<char>(255));
            char prefix[4];
            std::memcpy(prefix, &length, 4);
            arena.insert(arena.end(), prefix, prefix + 4);
        }
        arena.insert(arena.end(), bytes.data(), bytes.data() + bytes.size());
        noteShape(c, at, bytes);
        return at;
    }

    // Each text stored in a column either counts towards one of the
    // column's number shapes or is listed as it is (see textShapes()).
    void noteShape(int c, quint32 at, QByteArrayView bytes)
    {
        quint64 shape = 0;
        if (bytes.size() <= 255) {
            for (const char b : bytes)
                shape += kShapeOf[static_cast<unsigned char>(b)];
        } else {
            shape = kOtherText;
        }
        AccountTrades::Cells& cells = m_t.m_cells[c];
        if (shape >= kOtherText) {
            cells.otherTexts.push_back(at);
            return;
        }
        ShapeSet& set = m_columns[c].shapes;
        if (shape == set.last && !cells.numberShapes.empty())
            return;
        set.last = shape;
        if (set.insert(shape))
            cells.numberShapes.push_back(shape);
    }

    QByteArrayView storedAt(quint32 at) const
    {
        const char* p = m_t.m_arena.data() + at;
        quint32 length = static_cast<unsigned char>(*p++);
        if (length == 255) {
            std::memcpy(&length, p, 4);
            p += 4;
        }
        return QByteArrayView(p, length);
    }

    quint32 stored(int c, QByteArrayView bytes)
    {
        ColumnReader& column = m_columns[c];
        if (!column.shares)
            return append(c, bytes);
        if (column.last != kNull && storedAt(column.last) == bytes) {
            ++column.looked;
            ++column.found;
            return column.last;
        }
        if (column.recent.empty())
            column.recent.resize(kSlots);
        const quint32 hash = textHash(bytes);
        ColumnReader::Slot& slot = column.recent[hash % kSlots];
        ++column.looked;
        if (slot.holds(hash, bytes)
            || (bytes.size() > ColumnReader::Slot::kShort && slot.at != kNull && slot.hash == hash
                && storedAt(slot.at) == bytes)) {
            ++column.found;
            column.last = slot.at;
            return slot.at;
        }
        const quint32 at = append(c, bytes);
        slot.hash = hash;
        slot.at = at;
        slot.length = static_cast<quint8>(std::min<qsizetype>(bytes.size(), 255));
        if (!bytes.isEmpty() && bytes.size() <= ColumnReader::Slot::kShort)
            std::memcpy(slot.text, bytes.data(), static_cast<size_t>(bytes.size()));
        column.last = at;
        if (column.looked == kTrialRows && column.found < kTrialRows / 4) {
            column.shares = false;
            column.recent = {};
        }
        return at;
    }

    // The cell's text as the database layer reads it (see bytes()).
    quint32 store(const SqlRow& row, int c)
    {
        const std::optional<SqlRow::Kind> kind = m_columns[c].kind;
        if (!kind)
            return kNull; // NULL in the first row of a column without a type: absent throughout
        char digits[24];
        switch (*kind) {
        case SqlRow::Kind::Integer: {
            const qint64 value = row.isNull(c) ? 0 : row.integer(c);
            m_columns[c].integer = value;
            return stored(c, decimalDigits(value, digits));
        }
        case SqlRow::Kind::Number: {
            ColumnReader& column = m_columns[c];
            if (row.isNull(c)) {
                column.number = 0;
                return stored(c, QByteArrayView("0"));
            }
            const double value = row.number(c);
            column.number = value;
            const quint64 bits = std::bit_cast<quint64>(value);
            if (column.lastNumberAt != kNull && bits == column.lastNumber)
                return column.lastNumberAt; // the same number, the same text
            char text[48];
            const quint32 at = stored(c, QByteArrayView(text, num::formatGeneralInto(value, text)));
            column.lastNumber = bits;
            column.lastNumberAt = at;
            return at;
        }
        case SqlRow::Kind::Blob: {
            const QByteArrayView bytes = row.bytes(c);
            return bytes.isEmpty() ? kNull : stored(c, bytes);
        }
        case SqlRow::Kind::Text: {
            const QByteArrayView bytes = row.bytes(c);
            return bytes.isNull() ? kNull : stored(c, bytes);
        }
        }
        return kNull;
    }

    // The row's money in a column: a REAL as stored() read it, a text
    // parsed (once per run of the same stored text).
    std::optional<double> parsed(const SqlRow& row, int c, std::optional<double> (*parse)(QByteArrayView))
    {
        ColumnReader& column = m_columns[c];
        if (column.kind == SqlRow::Kind::Number)
            return column.number;
        if (isNumeric(c))
            return row.isNull(c) ? 0.0 : row.number(c);
        if (column.at != column.parsedAt || column.at == kNull) {
            column.parsed = parse(column.at == kNull ? QByteArrayView() : storedAt(column.at));
            column.parsedAt = column.at;
        }
        return column.parsed;
    }

    void readNumbers(const SqlRow& row, int r)
    {
        AccountTrades::Numbers& n = m_t.m_numbers;
        quint8 bad = 0;
        auto money = [&](int c, std::optional<double> (*parse)(QByteArrayView), quint8 flag) {
            const std::optional<double> value = parsed(row, c, parse);
            if (!value)
                bad |= flag;
            return value.value_or(0.0);
        };
        using N = AccountTrades::Numbers;
        n.profit.push_back(money(AccountTrades::Profit, num::parseCommaBytes, N::BadProfit));
        n.commission.push_back(money(AccountTrades::Commission, num::parseCommaBytes, N::BadCommission));
        n.swap.push_back(money(AccountTrades::Swap, num::parseSwapBytes, N::BadSwap));
        n.taxes.push_back(money(AccountTrades::Taxes, num::parseTaxesBytes, N::BadTaxes));
        n.bad.push_back(bad);
        std::optional<qint64> nedobral;
        if (m_columns[AccountTrades::Nedobral].kind == SqlRow::Kind::Integer) {
            nedobral = m_columns[AccountTrades::Nedobral].integer;
        } else {
            m_buffer.clear();
            m_t.appendText(r, AccountTrades::Nedobral, m_buffer);
            nedobral = num::parseInteger(m_buffer);
        }
        n.nedobral.push_back(nedobral.value_or(0));
        n.badNedobral.push_back(!nedobral);
    }

    AccountTrades& m_t;
    size_t m_rows = 0, m_textRows = 0;
    size_t m_halfSample = 0; // the arena's size after half the sample
    bool m_first = true;
    bool m_numericProfit2 = false;
    ColumnReader m_columns[AccountTrades::ColumnCount];
    QString m_buffer;
};

namespace {

// How many trades an account had when it was last counted or read, by file
// and account: a large account read again (after a change, or when the
// trader comes back to it) is laid out and shared into parts by that count
// instead of counting its index first.
struct LastCount {
    QString path;
    QString account;
    qint64 count = 0;
};
std::mutex g_lastCountsMutex;
std::vector<LastCount> g_lastCounts; // the latest last

std::optional<qint64> lastCountOf(const QString& path, const QString& account)
{
    const std::lock_guard lock(g_lastCountsMutex);
    for (const LastCount& c : g_lastCounts) {
        if (c.path == path && c.account == account)
            return c.count;
    }
    return std::nullopt;
}

void noteCount(const QString& path, const QString& account, qint64 count)
{
    if (path.isEmpty())
        return;
    const std::lock_guard lock(g_lastCountsMutex);
    std::erase_if(g_lastCounts, [&](const LastCount& c) { return c.path == path && c.account == account; });
    if (g_lastCounts.size() >= 16)
        g_lastCounts.erase(g_lastCounts.begin());
    g_lastCounts.push_back({path, account, count});
}

} // namespace

AccountTrades::AccountTrades(TSQLiteDatabase& db, const QString& account)
{
    // The count first (from the index alone), so that the digest is laid
    // out once instead of copied as it grows; for an account read in parts
    // before, the count it had then (the parts check that they hold every
    // trade).
    const std::optional<qint64> last = lastCountOf(db.path(), account);
    const qint64 expected = last && *last >= account_parts::from() ? *last : countOf(db, account);
    const size_t rows = static_cast<size_t>(std::clamp<qint64>(expected, 0, std::numeric_limits<int>::max()));
    const int parts = account_parts::partsFor(expected);
    if (parts > 1) {
        AccountTrades whole;
        if (whole.readInParts(db, account, rows, parts)) {
            *this = std::move(whole);
            noteCount(db.path(), account, m_count);
            return;
        }
    }
    AccountTradesBuilder builder(*this, rows, rows);
    db.readRows(QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                    .arg(sql::columnList(kRead), t_sdelki::table, t_sdelki::name(t_sdelki::Chet)),
                {account}, [&](const SqlRow& row) { builder.add(row); });
    fitArena();
    noteCount(db.path(), account, m_count);
}

bool AccountTrades::readInParts(TSQLiteDatabase& db, const QString& account, size_t rows, int parts)
{
    // Part 0 is read into this digest, whose numbers are laid out for the
    // whole account, the others into digests of their own, appended to it
    // in their order.
    const size_t share = rows / static_cast<size_t>(parts) + rows / 64;
    std::vector<std::unique_ptr<AccountTrades>> pieces;
    std::vector<std::unique_ptr<AccountTradesBuilder>> builders;
    builders.push_back(std::make_unique<AccountTradesBuilder>(*this, rows, share));
    for (int k = 1; k < parts; ++k) {
        pieces.push_back(std::unique_ptr<AccountTrades>(new AccountTrades));
        builders.push_back(std::make_unique<AccountTradesBuilder>(*pieces.back(), share, share));
    }
    const bool whole = account_parts::read(db, sql::columnList(kRead), account, static_cast<qint64>(rows), parts,
                                           [&](int part, const SqlRow& row) { builders[static_cast<size_t>(part)]->add(row); });
    if (!whole)
        return false;
    // One reading takes a column's kind from its first row: parts that
    // found different kinds (a column without a declared type) would not
    // give the same texts.
    const AccountTradesBuilder* first = nullptr;
    for (const auto& builder : builders) {
        if (builder->empty())
            continue;
        if (first && !first->sameKinds(*builder))
            return false;
        if (!first)
            first = builder.get();
    }
    builders.clear();
    for (auto& piece : pieces)
        append(std::move(*piece));
    fitArena();
    return true;
}

void AccountTrades::append(AccountTrades&& piece)
{
    // The piece keeps its texts (its cells and arena: copying them would
    // cost as much as a third of the reading); the numbers, which the views
    // read by row, join this digest's.
    auto join = [](auto& to, auto& from) {
        to.insert(to.end(), from.begin(), from.end());
        std::remove_reference_t<decltype(from)>().swap(from);
    };
    join(m_ids, piece.m_ids);
    join(m_profitKey, piece.m_profitKey);
    join(m_numbers.profit, piece.m_numbers.profit);
    join(m_numbers.commission, piece.m_numbers.commission);
    join(m_numbers.swap, piece.m_numbers.swap);
    join(m_numbers.taxes, piece.m_numbers.taxes);
    join(m_numbers.bad, piece.m_numbers.bad);
    join(m_numbers.nedobral, piece.m_numbers.nedobral);
    join(m_numbers.badNedobral, piece.m_numbers.badNedobral);
    const int start = m_count;
    m_count += piece.m_count;
    piece.fitArena();
    m_parts.push_back({start, std::make_unique<AccountTrades>(std::move(piece))});
}

void AccountTrades::fitArena()
{
    if (m_arena.capacity() > m_arena.size() + m_arena.size() / 2)
        m_arena.shrink_to_fit();
}

void AccountTrades::reserve(size_t rows, size_t textRows)
{
    // The texts' room is laid out once their first rows tell their size
    // (reserveArena).
    m_expected = textRows;
    m_arena.reserve(std::min<size_t>(textRows, kSampleRows) * 64);
    m_ids.reserve(rows);
    m_profitKey.reserve(rows);
    for (LargeVector<double>* v : {&m_numbers.profit, &m_numbers.commission, &m_numbers.swap, &m_numbers.taxes})
        v->reserve(rows);
    m_numbers.bad.reserve(rows);
    m_numbers.nedobral.reserve(rows);
    m_numbers.badNedobral.reserve(rows);
}

AccountTrades::~AccountTrades() = default;
AccountTrades::AccountTrades(AccountTrades&&) noexcept = default;
AccountTrades& AccountTrades::operator=(AccountTrades&&) noexcept = default;

namespace {

struct Kept {
    const TSQLiteDatabase* db = nullptr;
    DataStamp stamp;
    QString account;
    std::shared_ptr<AccountTrades> trades;
};

Kept& kept()
{
    static Kept k;
    return k;
}

} // namespace

std::shared_ptr<AccountTrades> AccountTrades::read(TSQLiteDatabase& db, const QString& account)
{
    const DataStamp stamp = db.dataStamp();
    Kept& k = kept();
    if (k.trades && k.db == &db && k.stamp == stamp && k.account == account)
        return k.trades;
    k = Kept(); // the old digest goes before the new one is read
    auto trades = std::make_shared<AccountTrades>(db, account);
    k.db = &db;
    k.stamp = stamp;
    k.account = account;
    k.trades = trades;
    return trades;
}

void AccountTrades::forgetKept() { kept() = Kept(); }

std::optional<qint64> AccountTrades::lastCount(TSQLiteDatabase& db, const QString& account)
{
    return lastCountOf(db.path(), account);
}

qint64 AccountTrades::countOf(TSQLiteDatabase& db, const QString& account)
{
    qint64 count = 0;
    db.readRows(QStringLiteral("SELECT count(*) FROM %1 WHERE %2=?").arg(t_sdelki::table, t_sdelki::name(t_sdelki::Chet)),
                {account}, [&](const SqlRow& row) { count = row.integer(0); });
    noteCount(db.path(), account, count);
    return count;
}

bool AccountTrades::isKept(TSQLiteDatabase& db, const QString& account)
{
    const Kept& k = kept();
    return k.trades && k.db == &db && k.account == account && k.stamp == db.dataStamp();
}

void AccountTrades::keep(TSQLiteDatabase& db, const QString& account, const DataStamp& stamp,
                         std::shared_ptr<AccountTrades> trades)
{
    Kept& k = kept();
    k.db = &db;
    k.stamp = stamp;
    k.account = account;
    k.trades = std::move(trades);
}

QByteArrayView AccountTrades::bytes(int row, Column column) const
{
    if (!m_parts.empty() && row >= m_parts.front().start) [[unlikely]] {
        size_t p = m_parts.size() - 1;
        while (p > 0 && row < m_parts[p].start)
            --p;
        return m_parts[p].trades->bytes(row - m_parts[p].start, column);
    }
    const Cells& cells = m_cells[column];
    const quint32 at = cells.varies ? cells.rows[static_cast<size_t>(row)] : cells.same;
    if (at == kNull)
        return QByteArrayView();
    const char* p = m_arena.data() + at;
    quint32 length = static_cast<unsigned char>(*p++);
    if (length == 255) {
        std::memcpy(&length, p, 4);
        p += 4;
    }
    return QByteArrayView(p, length);
}

void AccountTrades::forEachTextShape(Column column, const std::function<void(QByteArrayView)>& visit) const
{
    const Cells& cells = m_cells[column];
    for (const quint64 shape : cells.numberShapes) {
        char text[255 * std::size(kShapeSigns)];
        size_t length = 0;
        for (size_t i = 0; i < std::size(kShapeSigns); ++i) {
            const size_t n = (shape >> (8 * i)) & 0xFF;
            std::memset(text + length, kShapeSigns[i], n);
            length += n;
        }
        visit(QByteArrayView(text, static_cast<qsizetype>(length)));
    }
    for (const quint32 at : cells.otherTexts) {
        const char* p = m_arena.data() + at;
        quint32 length = static_cast<unsigned char>(*p++);
        if (length == 255) {
            std::memcpy(&length, p, 4);
            p += 4;
        }
        visit(QByteArrayView(p, length));
    }
    for (const Part& part : m_parts)
        part.trades->forEachTextShape(column, visit);
}

QString AccountTrades::text(int row, Column column) const
{
    const QByteArrayView b = bytes(row, column);
    return b.isNull() ? QString() : cp1251::decode(b.data(), b.size());
}

void AccountTrades::appendText(int row, Column column, QString& out) const
{
    const QByteArrayView b = bytes(row, column);
    if (!b.isEmpty())
        cp1251::decodeAppend(b.data(), b.size(), out);
}

std::optional<quint64> AccountTrades::openTimeKey(int row) const
{
    return timeKey(bytes(row, OpenTime));
}

const std::vector<int>& AccountTrades::byProfitDescending()
{
    if (m_byProfit)
        return *m_byProfit;
    // A trade without a profit has the lowest key, so it comes after every
    // real profit.
    m_byProfit = rowsByKey(m_profitKey, m_ids, m_count, std::greater<double>());
    return *m_byProfit;
}

const std::vector<int>& AccountTrades::byOpenTime()
{
    if (m_byOpenTime)
        return *m_byOpenTime;
    // Every time of the usual form makes a key; rows read by the index of
    // open times come in their order already. A large account is looked
    // at in two halves at once (the second from the last row of the first).
    struct Look {
        bool allKeyed = true, inOrder = true;
    };
    auto look = [this](int from, int to, Look& found) {
        const std::optional<quint64> before = from > 0 ? timeKey(bytes(from - 1, OpenTime)) : std::nullopt;
        bool hasPrevious = before.has_value();
        quint64 previous = before.value_or(0);
        for (int r = from; r < to && found.allKeyed; ++r) {
            const std::optional<quint64> key = timeKey(bytes(r, OpenTime));
            found.allKeyed = key.has_value();
            if (!found.allKeyed)
                break;
            if (hasPrevious && found.inOrder)
                found.inOrder = previous < *key || (previous == *key && m_ids[r - 1] < m_ids[r]);
            previous = *key;
            hasPrevious = true;
        }
    };
    Look halves[2];
    inTwoHalves(m_count, kHalvesFrom, [&](int from, int to, int half) { look(from, to, halves[half]); });
    const bool allKeyed = halves[0].allKeyed && halves[1].allKeyed;
    const bool inOrder = halves[0].inOrder && halves[1].inOrder;
    std::vector<int> order;
    if (allKeyed && inOrder) {
        order.resize(static_cast<size_t>(m_count));
        for (int r = 0; r < m_count; ++r)
            order[static_cast<size_t>(r)] = r;
    } else if (allKeyed) {
        std::vector<quint64> keys(static_cast<size_t>(m_count));
        for (int r = 0; r < m_count; ++r)
            keys[static_cast<size_t>(r)] = *timeKey(bytes(r, OpenTime));
        order = rowsByKey(keys, m_ids, m_count, std::less<quint64>());
    } else {
        order.reserve(static_cast<size_t>(m_count));
        // Times of other forms: compared as texts. Trade times are ASCII, so
        // comparing code units is SQLite's text order.
        std::vector<QString> times;
        times.reserve(static_cast<size_t>(m_count));
        for (int r = 0; r < m_count; ++r)
            times.push_back(text(r, OpenTime));
        for (int r = 0; r < m_count; ++r)
            order.push_back(r);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = QStringView(times[a]).compare(times[b]);
            return c != 0 ? c < 0 : m_ids[a] < m_ids[b];
        });
    }
    m_byOpenTime = std::move(order);
    return *m_byOpenTime;
}

QString AccountTrades::badMoneyText(int row) const
{
    const quint8 bad = m_numbers.bad[row];
    if (!bad)
        return {};
    static constexpr std::pair<quint8, Column> kChecks[] = {{Numbers::BadProfit, Profit},
                                                           {Numbers::BadCommission, Commission},
                                                           {Numbers::BadTaxes, Taxes},
                                                           {Numbers::BadSwap, Swap}};
    static const QString kWhat[] = {QStringLiteral("Прибыль"), QStringLiteral("Комиссия"), QStringLiteral("Налог"),
                                    QStringLiteral("Своп")};
    for (size_t i = 0; i < std::size(kChecks); ++i) {
        if (bad & kChecks[i].first)
            return unreadableTradeText(text(row, Id), kWhat[i], text(row, kChecks[i].second));
    }
    return {};
}
