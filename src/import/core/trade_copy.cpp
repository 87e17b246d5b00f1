#include "import/core/trade_copy.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"
#include "import/core/statement_facts.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMultiHash>
#include <QSet>

#include <iterator>
#include <optional>

namespace {

using namespace t_sdelki;

struct StoredTrade {
    qint64 id;
    QString account;
    QString item, openTime;
};

// A trade that an older import stored from a MetaTrader 5 report's closing
// deal: its Ticket is the deal's number, its OpenTime the time the position
// closed, its CloseTime "0".
struct DealTrade {
    qint64 id;
    QString ticket, size;
};

bool sameSize(const QString& a, const QString& b)
{
    const auto x = num::parsePoint(a), y = num::parsePoint(b);
    return x && y ? *x == *y : a == b;
}

// What the copy knows of the stored trades that the statement's rows can
// name: the trades with one of its tickets, and the account's trades read
// from closing deals with the symbol and close time of one of its rows. The
// trades are read row by row and only those are kept, so the memory follows
// the statement, not the journal.
class StoredTrades {
public:
    StoredTrades(TSQLiteDatabase& db, const QString& account, const std::vector<StatementRow>& rows)
    {
        // What the statement names: the stored bytes of each ticket and the
        // text a stored trade's ticket reads as: the row's own text, shared rather than decoded
        // again for every stored trade, unless the encoding changes it.
        QHash<QByteArray, QString> tickets;
        tickets.reserve(static_cast<qsizetype>(rows.size()));
        for (const StatementRow& row : rows) {
            const QString& ticket = row[StatementRow::Ticket];
            QByteArray bytes = cp1251::encode(ticket);
            QString stored = cp1251::canEncode(ticket) ? ticket : cp1251::decode(bytes);
            tickets.insert(std::move(bytes), std::move(stored));
        }
        // Most accounts hold no trade read from a closing deal: the keys of
        // the statement's positions are gathered at the first one.
        std::optional<QSet<QByteArray>> dealKeys;
        const auto isDealKey = [&](const QByteArray& key) {
            if (!dealKeys) {
                dealKeys.emplace();
                dealKeys->reserve(static_cast<qsizetype>(rows.size()));
                for (const StatementRow& row : rows) {
                    const QString& closed = row[StatementRow::CloseTime];
                    if (!closed.isEmpty() && closed != QLatin1String("0"))
                        dealKeys->insert(cp1251::encode(dealKey(row[StatementRow::Item], closed)));
                }
            }
            return dealKeys->contains(key);
        };
        // Every row of the statement may add its trade under its ticket.
        m_byTicket.reserve(static_cast<qsizetype>(rows.size()));
        const QByteArray chetBytes = cp1251::encode(account);
        static constexpr Column kRead[] = {Id, Chet, Ticket, Item, OpenTime, CloseTime, Size};
        const auto at = [](Column c) { return sql::position(kRead, c); };
        const auto text = [](QByteArrayView bytes) { return cp1251::decode(bytes.data(), bytes.size()); };
        QByteArray key;
        db.readRows(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(sql::columnList(kRead), table, name(Id)), {},
                    [&](const SqlRow& row) {
                        if (row.isNull(at(Ticket)))
                            return;
                        const QByteArrayView ticket = row.bytes(at(Ticket));
                        const auto namedBy = tickets.constFind(QByteArray::fromRawData(ticket.data(), ticket.size()));
                        const bool named = namedBy != tickets.cend();
                        const QByteArrayView chet = row.bytes(at(Chet));
                        bool deal = false;
                        if (chet == chetBytes && row.bytes(at(CloseTime)) == QByteArrayView("0")) {
                            key.resize(0);
                            key.append(row.bytes(at(Item))).append('\n').append(row.bytes(at(OpenTime)));
                            deal = isDealKey(key);
                        }
                        if (!named && !deal)
                            return;
                        const qint64 id = row.integer(at(Id));
                        const QString ticketText = named ? namedBy.value() : text(ticket);
                        const auto item = [&] { return text(row.bytes(at(Item))); };
                        const auto openTime = [&] { return text(row.bytes(at(OpenTime))); };
                        if (named) {
                            // The symbol and open time of the account's own
                            // trades are never compared: only another
                            // account's trade must be the same trade.
                            if (chet == chetBytes)
                                m_byTicket[ticketText].append({id, account, {}, {}});
                            else
                                m_byTicket[ticketText].append({id, text(chet), item(), openTime()});
                        }
                        if (deal)
                            m_dealTrades.insert(dealKey(item(), openTime()), {id, ticketText, text(row.bytes(at(Size)))});
                    });
    }

    QList<StoredTrade>* withTicket(const QString& ticket)
    {
        const auto it = m_byTicket.find(ticket);
        return it == m_byTicket.end() ? nullptr : &*it;
    }
    void add(const QString& ticket, const StoredTrade& trade) { m_byTicket[ticket].append(trade); }
    // A trade updated once is not taken for another position.
    void markUpdated(qint64 id) { m_updated.insert(id); }

    // The first trade, not yet updated, that the closing deal of this
    // position was stored as; it leaves the index under its deal number.
    std::optional<qint64> takeDealTrade(const StatementRow& row)
    {
        const QString& closed = row[StatementRow::CloseTime];
        if (closed.isEmpty() || closed == QLatin1String("0"))
            return std::nullopt;
        const QString key = dealKey(row[StatementRow::Item], closed);
        for (auto it = m_dealTrades.find(key); it != m_dealTrades.end() && it.key() == key; ++it) {
            if (m_updated.contains(it->id) || !sameSize(it->size, row[StatementRow::Size]))
                continue;
            const DealTrade found = *it;
            m_dealTrades.erase(it);
            m_updated.insert(found.id);
            if (QList<StoredTrade>* old = withTicket(found.ticket))
                old->removeIf([&](const StoredTrade& t) { return t.id == found.id; });
            return found.id;
        }
        return std::nullopt;
    }

private:
    static QString dealKey(const QString& item, const QString& time) { return item + u'\n' + time; }

    QHash<QString, QList<StoredTrade>> m_byTicket;
    QMultiHash<QString, DealTrade> m_dealTrades;
    QSet<qint64> m_updated;
};

// A ticket stored in another account names this statement's trade only when
// the symbol and the open time agree too: brokers reuse ticket numbers. A
// trade made by hand there (no symbol) stays where it is.
bool sameTrade(const StoredTrade& trade, const StatementRow& row)
{
    const QString& item = row[StatementRow::Item];
    const QString& openTime = row[StatementRow::OpenTime];
    return !item.isEmpty() && !openTime.isEmpty() && trade.item == item && trade.openTime == openTime;
}

// The columns a statement row writes: the account and the ticket, then the
// prices and results of the row, in this order in the update's assignments
// and in the insert.
constexpr Column kCopied[] = {Chet,      Ticket,     OpenTime,   Type,  Size, Item,   PriceOpen, Sl,
                              Tp,        CloseTime,  PriceClose, Commission, Taxes, Swap, Profit, Profit2};

const QString kUpdate =
    QStringLiteral("UPDATE %1 SET %2 WHERE %3=?").arg(table, sql::assignments(kCopied), name(Id));
const QString kInsert = QStringLiteral("INSERT INTO %1 (%2) values(%3)")
                            .arg(table, sql::columnList(kCopied, QLatin1StringView(",")),
                                 sql::placeholders(std::size(kCopied), QLatin1StringView(",")));

// The insert and the update of the copy, prepared once for all its rows;
// a row's cells are bound from its texts as they are.
class TradeWriter {
public:
    TradeWriter(TSQLiteDatabase& db, const QString& account)
        : m_insert(db, kInsert)
        , m_update(db, kUpdate)
        , m_account(account)
    {
    }
    void insert(const StatementRow& row)
    {
        bindRow(m_insert, row);
        m_insert.execute();
    }
    void update(qint64 id, const StatementRow& row)
    {
        bindRow(m_update, row);
        m_update.bindInteger(static_cast<int>(std::size(kCopied)) + 1, id);
        m_update.execute();
    }

private:
    // The row's values in the order of kCopied; the swap and the profit are
    // stored with a decimal comma, Profit2 as the statement wrote it.
    void bindRow(SqlStatement& statement, const StatementRow& r)
    {
        static constexpr StatementRow::Column kTexts[] = {
            StatementRow::Ticket,     StatementRow::OpenTime,   StatementRow::Type,      StatementRow::Size,
            StatementRow::Item,       StatementRow::PriceOpen,  StatementRow::StopLoss,  StatementRow::TakeProfit,
            StatementRow::CloseTime,  StatementRow::PriceClose, StatementRow::Commission, StatementRow::Taxes};
        int index = 1;
        statement.bindText(index++, m_account);
        for (const StatementRow::Column column : kTexts)
            statement.bindText(index++, r[column]);
        bindWithComma(statement, index++, r[StatementRow::Swap]);
        bindWithComma(statement, index++, r[StatementRow::Profit]);
        statement.bindText(index++, r[StatementRow::Profit]);
    }
    void bindWithComma(SqlStatement& statement, int index, const QString& number)
    {
        cp1251::encodeInto(number, m_comma);
        m_comma.replace('.', ',');
        statement.bindBytes(index, m_comma);
    }

    SqlStatement m_insert, m_update;
    QString m_account;
    QByteArray m_comma;
};

struct Move {
    qint64 id;
    QString from;
};

// Updates the stored trades a statement row stands for: those with its
// ticket in the account, or in another account when they are the same trade
// (those move to the account); failing that, the trade an older import read
// from the position's closing deal. False when there is none.
bool updateKnownTrades(TradeWriter& writer, StoredTrades& stored, const QString& account, const StatementRow& row,
                       std::vector<Move>& moves)
{
    const QString& ticket = row[StatementRow::Ticket];
    const auto update = [&](qint64 id) { writer.update(id, row); };
    bool updated = false;
    if (QList<StoredTrade>* known = stored.withTicket(ticket)) {
        for (StoredTrade& trade : *known) {
            if (trade.account != account && !sameTrade(trade, row))
                continue;
            update(trade.id);
            stored.markUpdated(trade.id);
            if (trade.account != account)
                moves.push_back({trade.id, trade.account});
            trade = {trade.id, account, row[StatementRow::Item], row[StatementRow::OpenTime]};
            updated = true;
        }
    }
    if (updated)
        return true;
    // The trade keeps its id, so its annotations and picture files stay its own.
    const auto id = stored.takeDealTrade(row);
    if (!id)
        return false;
    update(*id);
    stored.add(ticket, {*id, account, row[StatementRow::Item], row[StatementRow::OpenTime]});
    return true;
}

// The account takes the statement's currency when it has none yet.
QString fillCurrency(TSQLiteDatabase& db, const QString& account, const QString& currency)
{
    if (currency.isEmpty())
        return {};
    db.executeStatement(QStringLiteral("UPDATE %1 SET %2=? WHERE %3=? AND (%2 IS NULL OR %2='')")
                            .arg(t_chet::table, t_chet::name(t_chet::Currency), t_chet::name(t_chet::Id)),
                        {currency, account});
    return db.changes() > 0 ? currency : QString();
}

} // namespace

CopyOutcome copyTrades(TSQLiteDatabase& db, const QString& account, const std::vector<StatementRow>& rows,
                       const QString& imgDir, const std::function<void()>& advance, const StatementMoney& money)
{
    CopyOutcome outcome;
    std::vector<Move> moves;
    try {
        SqlTransaction transaction(db);
        StoredTrades stored(db, account, rows);
        try {
            TradeWriter writer(db, account);
            for (const StatementRow& row : rows) {
                const QString& ticket = row[StatementRow::Ticket];
                if (ticket.isEmpty() || ticket == QLatin1String("Ticket"))
                    continue;
                if (advance)
                    advance();
                if (updateKnownTrades(writer, stored, account, row, moves)) {
                    ++outcome.updated;
                } else {
                    writer.insert(row);
                    stored.add(ticket,
                               {db.lastInsertId(), account, row[StatementRow::Item], row[StatementRow::OpenTime]});
                    ++outcome.inserted;
                }
            }
            CashStore cash(db);
            for (const CashMovement& m : money.cash)
                outcome.cashAdded += cash.save(account, m) ? 1 : 0;
            outcome.currencySet = fillCurrency(db, account, money.currency);
        } catch (const ESQLiteException& e) {
            // The failing row stops the copy; the rows before it are kept.
            outcome.stop(e.message());
        }
        transaction.commit();
    } catch (const ESQLiteException& e) {
        // Nothing could be stored (no transaction, or the commit failed).
        outcome.stop(e.message());
        outcome.inserted = outcome.updated = outcome.cashAdded = 0;
        outcome.currencySet.clear();
        return outcome;
    }
    // Files move only once the database says the trades moved.
    for (const Move& move : moves)
        ++outcome.movedFrom[move.from];
    for (const Move& move : moves)
        outcome.pictureProblems += movePictureFiles(imgDir, QString::number(move.id), move.from, account);
    return outcome;
}

QStringList movePictureFiles(const QString& imgDir, const QString& tradeId, const QString& fromAccount,
                             const QString& toAccount)
{
    QStringList problems;
    if (fromAccount == toAccount)
        return problems;
    const QString oldPrefix = fromAccount + u'_' + tradeId + u'_';
    const QString newPrefix = toAccount + u'_' + tradeId + u'_';
    QDir dir(imgDir);
    const QStringList files = dir.entryList({oldPrefix + QStringLiteral("*.pat")}, QDir::Files);
    for (const QString& name : files) {
        const QString target = newPrefix + name.mid(oldPrefix.size());
        if (dir.exists(target) || !dir.rename(name, target))
            problems.append(dir.filePath(name));
    }
    return problems;
}

std::map<QString, int> tradesInOtherAccounts(TSQLiteDatabase& db, const QString& account,
                                             const std::vector<StatementRow>& rows)
{
    StoredTrades stored(db, account, rows);
    std::map<QString, int> elsewhere;
    QSet<qint64> counted;
    for (const StatementRow& row : rows) {
        const QList<StoredTrade>* known = stored.withTicket(row[StatementRow::Ticket]);
        if (!known)
            continue;
        for (const StoredTrade& trade : *known) {
            if (trade.account != account && sameTrade(trade, row) && !counted.contains(trade.id)) {
                counted.insert(trade.id);
                ++elsewhere[trade.account];
            }
        }
    }
    return elsewhere;
}

QString otherAccountsText(const std::map<QString, int>& counts,
                          const std::function<QString(const QString&)>& accountName)
{
    QStringList parts;
    for (const auto& [id, count] : counts) {
        const QString name = accountName(id);
        parts << (name.isEmpty() ? QStringLiteral("из счета id %1: %2").arg(id).arg(count)
                                 : QStringLiteral("из счета «%1»: %2").arg(name).arg(count));
    }
    return parts.join(QStringLiteral(", "));
}

StatementMoney statementMoney(const StatementFacts& facts)
{
    StatementMoney money;
    money.currency = facts.currency;
    money.cash.reserve(facts.cash.size());
    for (const CashRow& row : facts.cash)
        money.cash.push_back({row.ticket, row.time, row.kind, row.comment, static_cast<double>(row.cents) / 100.0});
    return money;
}
