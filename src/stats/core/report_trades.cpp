#include "stats/core/report_trades.h"

#include "db/core/columns.h"
#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

// The columns read, at the positions ReportTrades::Column names.
constexpr t_sdelki::Column kRead[] = {
    t_sdelki::OpenTime, t_sdelki::Type,      t_sdelki::Item,
    t_sdelki::Profit, t_sdelki::Nedobral, t_sdelki::Verno,     t_sdelki::Strategia,
    t_sdelki::Taktika, t_sdelki::Psixo,   t_sdelki::Pravilo,   t_sdelki::Pravilo2};
static_assert(std::size(kRead) == ReportTrades::ColumnCount);
using R = ReportTrades;
static_assert(sql::position(kRead, t_sdelki::OpenTime) == R::OpenTime
              && sql::position(kRead, t_sdelki::Type) == R::Type && sql::position(kRead, t_sdelki::Item) == R::Item
              && sql::position(kRead, t_sdelki::Profit) == R::Profit
              && sql::position(kRead, t_sdelki::Nedobral) == R::Nedobral
              && sql::position(kRead, t_sdelki::Verno) == R::Verno
              && sql::position(kRead, t_sdelki::Strategia) == R::Strategia
              && sql::position(kRead, t_sdelki::Taktika) == R::Taktika
              && sql::position(kRead, t_sdelki::Psixo) == R::Psixo
              && sql::position(kRead, t_sdelki::Pravilo) == R::Pravilo
              && sql::position(kRead, t_sdelki::Pravilo2) == R::Pravilo2);

// A profit as stored: short ASCII texts are widened on the stack rather
// than decoded into a string of their own; anything else takes the long way.
std::optional<double> readProfit(const TSQLiteTable& rows, QString& buffer)
{
    constexpr qsizetype kShort = 32;
    if (const std::optional<QByteArrayView> bytes = rows.fieldBytesOf(ReportTrades::Profit);
        bytes && bytes->size() <= kShort) {
        char16_t wide[kShort];
        bool ascii = true;
        for (qsizetype i = 0; i < bytes->size(); ++i) {
            const auto c = static_cast<unsigned char>((*bytes)[i]);
            ascii = ascii && c < 0x80;
            wide[i] = c;
        }
        if (ascii)
            return num::parseComma(QStringView(wide, bytes->size()));
    }
    buffer.clear();
    rows.appendFieldTextOf(ReportTrades::Profit, buffer);
    return num::parseComma(buffer);
}

struct TimeKey {
    std::string_view time;
    int row;
    bool operator<(const TimeKey& other) const
    {
        return time != other.time ? time < other.time : row < other.row;
    }
};

// Byte order is SQLite's order of texts; the row breaks ties. Statements
// are usually imported oldest first, so the rows often come in order.
std::vector<int> timeOrderOf(std::vector<TimeKey> keys)
{
    if (!std::is_sorted(keys.begin(), keys.end()))
        std::sort(keys.begin(), keys.end());
    std::vector<int> order;
    order.reserve(keys.size());
    for (const TimeKey& k : keys)
        order.push_back(k.row);
    return order;
}

} // namespace

ReportTrades::ReportTrades(TSQLiteDatabase& db, const QString& account)
    : m_db(db)
    , m_account(account)
    , m_rows(db.openResultTable(QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                                    .arg(sql::columnList(kRead), t_sdelki::table, t_sdelki::name(t_sdelki::Chet)),
                                {account}))
{
    TSQLiteTable& rows = *m_rows;
    const size_t n = static_cast<size_t>(rows.rowCount());
    m_profit.assign(n, 0.0);
    m_profitRead.assign(n, false);
    std::vector<TimeKey> times;
    times.reserve(n);
    QString buffer;
    for (rows.seek(0); !rows.atEnd(); rows.moveNext()) {
        const int row = rows.currentRow();
        if (const std::optional<double> p = readProfit(rows, buffer)) {
            m_profit[row] = *p;
            m_profitRead[row] = true;
        }
        const QByteArrayView t = rows.fieldBytesOf(OpenTime).value_or(QByteArrayView());
        times.push_back({std::string_view(t.data(), static_cast<size_t>(t.size())), row});
    }
    rows.seek(0);
    m_timeOrder = timeOrderOf(std::move(times));
}

ReportTrades::~ReportTrades() = default;
ReportTrades::ReportTrades(ReportTrades&&) noexcept = default;

QByteArrayView ReportTrades::bytes(int row, Column column) const
{
    m_rows->seek(row);
    return m_rows->fieldBytesOf(column).value_or(QByteArrayView());
}

bool ReportTrades::isNull(int row, Column column) const
{
    m_rows->seek(row);
    return m_rows->isNull(column);
}

void ReportTrades::rowBytes(int row, const Column* columns, int count, QByteArrayView* out) const
{
    m_rows->seek(row);
    for (int i = 0; i < count; ++i)
        out[i] = m_rows->fieldBytesOf(columns[i]).value_or(QByteArrayView());
}

QString ReportTrades::text(int row, Column column) const
{
    m_rows->seek(row);
    return m_rows->fieldTextOf(column);
}

std::optional<double> ReportTrades::profit(int row) const
{
    if (!m_profitRead[row])
        return std::nullopt;
    return m_profit[row];
}

QString ReportTrades::profitProblem(int row) const
{
    if (m_ids.empty()) {
        // The same rows in the same order: the same table read under the
        // same condition.
        const auto ids = m_db.openResultTable(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                .arg(t_sdelki::name(t_sdelki::Id), t_sdelki::table, t_sdelki::name(t_sdelki::Chet)),
            {m_account});
        for (; !ids->atEnd(); ids->moveNext())
            m_ids.push_back(ids->fieldInteger(0));
    }
    const QString id = row < static_cast<int>(m_ids.size()) ? QString::number(m_ids[row]) : QString();
    return QStringLiteral("Прибыль сделки id %1 не читается как число: \"%2\"").arg(id, text(row, Profit));
}

qint64 ReportTrades::nedobral(int row) const
{
    m_rows->seek(row);
    if (m_rows->columnKind(Nedobral) == TSQLiteTable::Kind::Integer)
        return m_rows->fieldInteger(Nedobral);
    return num::parseInteger(m_rows->fieldTextOf(Nedobral)).value_or(0);
}
