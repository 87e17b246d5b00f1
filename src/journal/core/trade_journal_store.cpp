#include "journal/core/trade_journal_store.h"

#include "db/core/sqlite_database.h"
#include "journal/core/reference_lists.h"

#include <stdexcept>

QString newTradeOpenTime(const QDateTime& savingMoment)
{
    return savingMoment.addSecs(1).toString(QStringLiteral("yyyy.MM.dd hh:mm"));
}

std::optional<TradeAnnotation> TradeJournalStore::load(const QString& id)
{
    auto t = m_db.openResultTable(QStringLiteral("SELECT * FROM t_sdelki WHERE id=?"), {id});
    if (t->rowCount() == 0)
        return std::nullopt;
    auto f = [&](const char* name) { return t->fieldText(QLatin1String(name)); };
    TradeAnnotation a;
    a.ticket = f("ticket");
    a.comment = f("comment");
    a.pravilo = f("pravilo");
    a.pravilo2 = f("pravilo2");
    a.enter = f("enter");
    a.exit = f("exit");
    a.nedobral = f("nedobral");
    a.spas = f("spas");
    a.taktika = f("taktika");
    a.strategia = f("strategia");
    a.psixo = f("psixo");
    a.ocenka = f("ocenka");
    a.verno = f("verno");
    return a;
}

void TradeJournalStore::update(const QString& id, const TradeAnnotation& a)
{
    m_db.executeStatement(QStringLiteral("UPDATE t_sdelki SET comment=?, pravilo=?, pravilo2=?, enter=?, verno=?, "
                                         "exit=?, taktika=?, strategia=?, ocenka=?, Ticket=?, Psixo=?, Nedobral=?, "
                                         "Spas=? WHERE id=?"),
                          {a.comment, a.pravilo, a.pravilo2, a.enter, a.verno, a.exit, a.taktika, a.strategia, a.ocenka,
                           a.ticket, a.psixo, a.nedobral, a.spas, id});
}

qint64 TradeJournalStore::insertNew(const QString& account, const TradeAnnotation& a, const QDateTime& savingMoment)
{
    m_db.executeStatement(
        QStringLiteral("INSERT INTO t_sdelki (Psixo, Nedobral, chet, verno, OpenTime, Ticket, comment, pravilo, "
                       "pravilo2, enter, exit, taktika, strategia, ocenka, plan, Commission, Swap, Profit) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {a.psixo, a.nedobral, account, a.verno, newTradeOpenTime(savingMoment), a.ticket, a.comment, a.pravilo,
         a.pravilo2, a.enter, a.exit, a.taktika, a.strategia, a.ocenka, QString(), QStringLiteral("0,0"),
         QStringLiteral("0,0"), QStringLiteral("0,0")});
    return m_db.lastInsertId();
}

void TradeJournalStore::remove(const QString& id)
{
    m_db.executeStatement(QStringLiteral("DELETE FROM t_sdelki WHERE id=?"), {id});
}

void TradeJournalStore::renameEntry(const QString& column, const QString& oldText, const QString& newText)
{
    // The column name is part of the statement text, so only the five list
    // columns are accepted.
    bool known = false;
    for (const ListInfo& info : listInfos())
        known = known || column == QLatin1String(info.column);
    if (!known)
        throw std::invalid_argument("not a list column");
    m_db.executeStatement(QStringLiteral("UPDATE t_sdelki SET %1 = ? WHERE %1 = ?").arg(column), {newText, oldText});
}
