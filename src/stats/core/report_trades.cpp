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
    t_sdelki::Id,     t_sdelki::OpenTime, t_sdelki::Type,      t_sdelki::Item,
    t_sdelki::Profit, t_sdelki::Nedobral, t_sdelki::Verno,     t_sdelki::Strategia,
    t_sdelki::Taktika, t_sdelki::Psixo,   t_sdelki::Pravilo,   t_sdelki::Pravilo2};
static_assert(std::size(kRead) == ReportTrades::ColumnCount);
using R = ReportTrades;
static_assert(sql::position(kRead, t_sdelki::Id) == R::Id && sql::position(kRead, t_sdelki::OpenTime) == R::OpenTime
              && sql::position(kRead, t_sdelki::Type) == R::Type && sql::position(kRead, t_sdelki::Item) == R::Item
              && sql::position(kRead, t_sdelki::Profit) == R::Profit
              && sql::position(kRead, t_sdelki::Nedobral) == R::Nedobral
              && sql::position(kRead, t_sdelki::Verno) == R::Verno
              && sql::position(kRead, t_sdelki::Strategia) == R::Strategia
              && sql::position(kRead, t_sdelki::Taktika) == R::Taktika
              && sql::position(kRead, t_sdelki::Psixo) == R::Psixo
              && sql::position(kRead, t_sdelki::Pravilo) == R::Pravilo
              && sql::position(kRead, t_sdelki::Pravilo2) == R::Pravilo2);

} // namespace

ReportTrades::ReportTrades(TSQLiteDatabase& db, const QString& account)
    : m_rows(db.openResultTable(QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                                    .arg(sql::columnList(kRead), t_sdelki::table, t_sdelki::name(t_sdelki::Chet)),
                                {account}))
{
    TSQLiteTable& rows = *m_rows;
    const size_t n = static_cast<size_t>(rows.rowCount());
    m_profit.assign(n, 0.0);
    m_profitRead.assign(n, false);
    QString buffer;
    for (rows.seek(0); !rows.atEnd(); rows.moveNext()) {
        buffer.clear();
        rows.appendFieldTextOf(Profit, buffer);
        if (const std::optional<double> p = num::parseComma(buffer)) {
            m_profit[rows.currentRow()] = *p;
            m_profitRead[rows.currentRow()] = true;
        }
    }
    rows.seek(0);
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
    return QStringLiteral("Прибыль сделки id %1 не читается как число: \"%2\"").arg(text(row, Id), text(row, Profit));
}

qint64 ReportTrades::nedobral(int row) const
{
    m_rows->seek(row);
    if (m_rows->columnKind(Nedobral) == TSQLiteTable::Kind::Integer)
        return m_rows->fieldInteger(Nedobral);
    return num::parseInteger(m_rows->fieldTextOf(Nedobral)).value_or(0);
}

const std::vector<int>& ReportTrades::timeOrder() const
{
    if (m_timeOrder)
        return *m_timeOrder;
    TSQLiteTable& rows = *m_rows;
    struct Key {
        std::string_view time;
        int row;
    };
    std::vector<Key> keys;
    keys.reserve(static_cast<size_t>(count()));
    for (rows.seek(0); !rows.atEnd(); rows.moveNext()) {
        const QByteArrayView t = rows.fieldBytesOf(OpenTime).value_or(QByteArrayView());
        keys.push_back({std::string_view(t.data(), static_cast<size_t>(t.size())), rows.currentRow()});
    }
    rows.seek(0);
    // Byte order is SQLite's order of texts; the row breaks ties.
    std::sort(keys.begin(), keys.end(),
              [](const Key& a, const Key& b) { return a.time != b.time ? a.time < b.time : a.row < b.row; });
    std::vector<int> order;
    order.reserve(keys.size());
    for (const Key& k : keys)
        order.push_back(k.row);
    m_timeOrder = std::move(order);
    return *m_timeOrder;
}
