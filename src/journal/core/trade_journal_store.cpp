#include "journal/core/trade_journal_store.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"
#include "journal/core/reference_lists.h"

#include <iterator>
#include <stdexcept>

using namespace t_sdelki;

namespace {

QString whereId() { return QStringLiteral(" WHERE %1=?").arg(name(Id)); }

// The annotation columns in the order of the update's assignments.
constexpr Column kAnnotated[] = {Comment, Pravilo, Pravilo2, Enter, Verno, Exit, Taktika,
                                 Strategia, Ocenka, Ticket, Psixo, Nedobral, Spas};
// The columns of a trade made by hand, in the order of the insert.
constexpr Column kNewTrade[] = {Psixo,   Nedobral, Chet,     Verno,     OpenTime, Ticket, Comment, Pravilo, Pravilo2,
                                Enter,   Exit,     Taktika,  Strategia, Ocenka,   Plan,   Commission, Swap, Profit};

// The columns of a trade entered by hand with its prices, in the order of
// the insert: the annotation's, then those a statement's trade fills.
constexpr Column kHandTrade[] = {Psixo,   Nedobral, Chet,      Verno,  Ticket,    Comment,    Pravilo,
                                 Pravilo2, Enter,   Exit,      Taktika, Strategia, Ocenka,     Plan,
                                 OpenTime, Type,    Size,      Item,    PriceOpen, Sl,         Tp,
                                 CloseTime, PriceClose, Commission, Taxes, Swap,    Profit,     Profit2};

QString withComma(QString number) { return number.replace(QLatin1Char('.'), QLatin1Char(',')); }
QString orZero(const QString& number) { return number.isEmpty() ? QStringLiteral("0") : number; }

} // namespace

QString newTradeOpenTime(const QDateTime& savingMoment)
{
    return savingMoment.addSecs(1).toString(QStringLiteral("yyyy.MM.dd hh:mm"));
}

std::optional<TradeAnnotation> TradeJournalStore::load(const QString& id)
{
    auto t = m_db.openResultTable(QStringLiteral("SELECT * FROM ") + table + whereId(), {id});
    if (t->rowCount() == 0)
        return std::nullopt;
    // By name, so that a file lacking a column fails here rather than
    // showing an empty field.
    auto f = [&](Column c) { return t->fieldText(name(c)); };
    TradeAnnotation a;
    a.ticket = f(Ticket);
    a.comment = f(Comment);
    a.pravilo = f(Pravilo);
    a.pravilo2 = f(Pravilo2);
    a.enter = f(Enter);
    a.exit = f(Exit);
    a.nedobral = f(Nedobral);
    a.spas = f(Spas);
    a.taktika = f(Taktika);
    a.strategia = f(Strategia);
    a.psixo = f(Psixo);
    a.ocenka = f(Ocenka);
    a.verno = f(Verno);
    return a;
}

void TradeJournalStore::update(const QString& id, const TradeAnnotation& a)
{
    static const QString update =
        QStringLiteral("UPDATE %1 SET %2").arg(table, sql::assignments(kAnnotated)) + whereId();
    m_db.executeStatement(update,
                          {a.comment, a.pravilo, a.pravilo2, a.enter, a.verno, a.exit, a.taktika, a.strategia, a.ocenka,
                           a.ticket, a.psixo, a.nedobral, a.spas, id});
}

qint64 TradeJournalStore::insertNew(const QString& account, const TradeAnnotation& a, const QDateTime& savingMoment)
{
    static const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table, sql::columnList(kNewTrade), sql::placeholders(std::size(kNewTrade)));
    m_db.executeStatement(
        insert,
        {a.psixo, a.nedobral, account, a.verno, newTradeOpenTime(savingMoment), a.ticket, a.comment, a.pravilo,
         a.pravilo2, a.enter, a.exit, a.taktika, a.strategia, a.ocenka, QString(), QStringLiteral("0,0"),
         QStringLiteral("0,0"), QStringLiteral("0,0")});
    return m_db.lastInsertId();
}

qint64 TradeJournalStore::insertHandTrade(const QString& account, const TradeAnnotation& a, const HandTrade& t,
                                          const QDateTime& savingMoment)
{
    static const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table, sql::columnList(kHandTrade), sql::placeholders(std::size(kHandTrade)));
    const QString profit = orZero(t.profit);
    m_db.executeStatement(
        insert,
        {a.psixo, a.nedobral, account, a.verno, a.ticket, a.comment, a.pravilo, a.pravilo2, a.enter, a.exit,
         a.taktika, a.strategia, a.ocenka, QString(),
         t.openTime.isEmpty() ? newTradeOpenTime(savingMoment) : t.openTime, t.type, orZero(t.size), t.symbol,
         orZero(t.priceOpen), orZero(t.sl), orZero(t.tp), t.closeTime.isEmpty() ? QVariant() : QVariant(t.closeTime),
         orZero(t.priceClose), orZero(t.commission), QStringLiteral("0"), withComma(orZero(t.swap)),
         withComma(profit), profit});
    return m_db.lastInsertId();
}

void TradeJournalStore::remove(const QString& id)
{
    m_db.executeStatement(QStringLiteral("DELETE FROM ") + table + whereId(), {id});
}

void TradeJournalStore::renameEntry(const QString& column, const QString& oldText, const QString& newText)
{
    // The column name is part of the statement text, so only the five list
    // columns are accepted.
    bool known = false;
    for (const ListInfo& info : listInfos())
        known = known || column == name(info.column);
    if (!known)
        throw std::invalid_argument("not a list column");
    m_db.executeStatement(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %2 = ?").arg(table, column), {newText, oldText});
}
