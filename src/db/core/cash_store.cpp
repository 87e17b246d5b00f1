#include "db/core/cash_store.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"

namespace {

using namespace t_kassa;
constexpr Column kRead[] = {Ticket, Time, Type, Comment, Amount};
constexpr Column kWritten[] = {Chet, Ticket, Time, Type, Comment, Amount};
constexpr Column kUpdated[] = {Time, Type, Comment, Amount};

} // namespace

std::vector<CashMovement> CashStore::list(const QString& account)
{
    auto rows = m_db.openResultTable(QStringLiteral("SELECT %1 FROM %2 WHERE %3=? ORDER BY %4, %5")
                                         .arg(sql::columnList(kRead), t_kassa::table, name(Chet), name(Time), name(Id)),
                                     {account});
    std::vector<CashMovement> movements;
    movements.reserve(static_cast<size_t>(rows->rowCount()));
    for (; !rows->atEnd(); rows->moveNext()) {
        CashMovement m;
        m.ticket = rows->fieldTextOf(sql::position(kRead, Ticket));
        m.time = rows->fieldTextOf(sql::position(kRead, Time));
        m.type = rows->fieldTextOf(sql::position(kRead, Type));
        m.comment = rows->fieldTextOf(sql::position(kRead, Comment));
        m.amount = rows->fieldNumber(sql::position(kRead, Amount));
        movements.push_back(std::move(m));
    }
    return movements;
}

bool CashStore::save(const QString& account, const CashMovement& m)
{
    if (!m.ticket.isEmpty()) {
        static const QString update = QStringLiteral("UPDATE %1 SET %2 WHERE %3=? AND %4=?")
                                          .arg(t_kassa::table, sql::assignments(kUpdated), name(Chet), name(Ticket));
        m_db.executeStatement(update, {m.time, m.type, m.comment, m.amount, account, m.ticket});
        if (m_db.changes() > 0)
            return false;
    }
    static const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(t_kassa::table, sql::columnList(kWritten),
                                           sql::placeholders(std::size(kWritten)));
    m_db.executeStatement(insert, {account, m.ticket, m.time, m.type, m.comment, m.amount});
    return true;
}

double CashStore::balanceBefore(const QString& account, const QString& timeBound)
{
    QString query = QStringLiteral("SELECT TOTAL(%1) FROM %2 WHERE %3=? AND %4<>'credit'")
                        .arg(name(Amount), t_kassa::table, name(Chet), name(Type));
    SqlParams params{account};
    if (!timeBound.isEmpty()) {
        query += QStringLiteral(" AND %1<?").arg(name(Time));
        params.append(timeBound);
    }
    auto sum = m_db.openResultTable(query, params);
    return sum->atEnd() ? 0.0 : sum->fieldNumber(0);
}
