#include "import/core/trade_copy.h"

#include "db/core/sqlite_database.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace {

// Stored trades by ticket: the row id and the account of each.
struct StoredTrade {
    qint64 id;
    QString account;
};
using TradesByTicket = QHash<QString, QList<StoredTrade>>;

TradesByTicket loadTickets(TSQLiteDatabase& db)
{
    TradesByTicket byTicket;
    const auto table = db.openResultTable(QStringLiteral("SELECT id, chet, Ticket FROM t_sdelki"));
    for (; !table->atEnd(); table->moveNext()) {
        if (table->isNull(2))
            continue;
        byTicket[table->fieldTextAt(2)].append({table->fieldInteger(0), table->fieldTextAt(1)});
    }
    return byTicket;
}

QString withComma(QString number) { return number.replace(QLatin1Char('.'), QLatin1Char(',')); }

// The price and result values of a row, in the order of the assignments of
// the update and of the columns of the insert after chet and Ticket.
SqlParams tradeValues(const StatementRow& r)
{
    return {r[StatementRow::OpenTime],   r[StatementRow::Type],       r[StatementRow::Size],
            r[StatementRow::Item],       r[StatementRow::PriceOpen],  r[StatementRow::StopLoss],
            r[StatementRow::TakeProfit], r[StatementRow::CloseTime],  r[StatementRow::PriceClose],
            r[StatementRow::Commission], r[StatementRow::Taxes],      withComma(r[StatementRow::Swap]),
            withComma(r[StatementRow::Profit]), r[StatementRow::Profit]};
}

const QString kUpdate = QStringLiteral(
    "UPDATE t_sdelki SET chet=?, OpenTime=?, Type=?, Size=?, Item=?, PriceOpen=?, sl=?, tp=?, CloseTime=?, "
    "PriceClose=?, Commission=?, Taxes=?, Swap=?, Profit=?, Profit2=? WHERE id=?");
const QString kInsert = QStringLiteral(
    "INSERT INTO t_sdelki (chet,Ticket,OpenTime,Type,Size,Item,PriceOpen,sl,tp,CloseTime,PriceClose,Commission,"
    "Taxes,Swap,Profit,Profit2) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");

struct Move {
    qint64 id;
    QString from;
};

} // namespace

CopyOutcome copyTrades(TSQLiteDatabase& db, const QString& account, const std::vector<StatementRow>& rows,
                       const QString& imgDir, const std::function<void()>& advance)
{
    CopyOutcome outcome;
    std::vector<Move> moves;
    try {
        SqlTransaction transaction(db);
        TradesByTicket byTicket = loadTickets(db);
        try {
            for (const StatementRow& row : rows) {
                const QString& ticket = row[StatementRow::Ticket];
                if (ticket.isEmpty() || ticket == QLatin1String("Ticket"))
                    continue;
                if (advance)
                    advance();
                const SqlParams values = tradeValues(row);
                auto known = byTicket.find(ticket);
                if (known != byTicket.end()) {
                    for (StoredTrade& trade : *known) {
                        db.executeStatement(kUpdate, SqlParams{account} + values + SqlParams{trade.id});
                        if (trade.account != account) {
                            moves.push_back({trade.id, trade.account});
                            trade.account = account;
                        }
                    }
                    ++outcome.updated;
                } else {
                    db.executeStatement(kInsert, SqlParams{account, ticket} + values);
                    byTicket[ticket].append({db.lastInsertId(), account});
                    ++outcome.inserted;
                }
            }
        } catch (const ESQLiteException& e) {
            // The failing row stops the copy; the rows before it are kept.
            outcome.failure = e.message();
        }
        transaction.commit();
    } catch (const ESQLiteException& e) {
        // Nothing could be stored (no transaction, or the commit failed).
        if (outcome.failure.isEmpty())
            outcome.failure = e.message();
        outcome.inserted = outcome.updated = 0;
        return outcome;
    }
    // Files move only once the database says the trades moved.
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
