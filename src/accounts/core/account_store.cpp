#include "accounts/core/account_store.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

// The texts an account is written from, in the order of the insert and of
// the update's assignments.
constexpr t_chet::Column kInserted[] = {t_chet::State, t_chet::Capital, t_chet::Type,       t_chet::Name,
                                        t_chet::Broker, t_chet::Description, t_chet::Currency};
constexpr t_chet::Column kUpdated[] = {t_chet::Name, t_chet::Broker, t_chet::Description,
                                       t_chet::Capital, t_chet::Type, t_chet::State, t_chet::Currency};

QString whereId() { return QStringLiteral(" WHERE %1=?").arg(t_chet::name(t_chet::Id)); }

} // namespace

AccountStore::AccountStore(TSQLiteDatabase& db, QString pictureDir)
    : m_db(db)
    , m_pictureDir(std::move(pictureDir))
{
}

std::vector<AccountRecord> AccountStore::listAccounts()
{
    std::vector<AccountRecord> accounts;
    auto table = m_db.openResultTable(QStringLiteral("SELECT * FROM %1 ").arg(t_chet::table));
    const AccountColumns columns(*table);
    accounts.reserve(table->rowCount());
    for (; !table->atEnd(); table->moveNext())
        accounts.push_back(columns.read(*table));
    return accounts;
}

std::optional<AccountRecord> AccountStore::findAccount(const QString& id)
{
    auto table = m_db.openResultTable(QStringLiteral("SELECT * FROM ") + t_chet::table + whereId(), {id});
    if (table->rowCount() == 0)
        return std::nullopt;
    return AccountColumns(*table).read(*table);
}

QString AccountStore::addAccount(const AccountRecord& a)
{
    static const QString insert = QStringLiteral("INSERT INTO %1 (%2) values(%3)")
                                      .arg(t_chet::table, sql::columnList(kInserted, QLatin1StringView(",")),
                                           sql::placeholders(std::size(kInserted), QLatin1StringView(",")));
    m_db.executeStatement(insert, {a.state, a.capital, a.type, a.name, a.broker, a.description, a.currency});
    return QString::number(m_db.lastInsertId());
}

bool AccountStore::updateAccount(const AccountRecord& a)
{
    static const QString update =
        QStringLiteral("UPDATE %1 SET %2").arg(t_chet::table, sql::assignments(kUpdated)) + whereId();
    m_db.executeStatement(update, {a.name, a.broker, a.description, a.capital, a.type, a.state, a.currency, a.id});
    return m_db.changes() > 0;
}

bool AccountStore::setCapital(const QString& id, qint64 capital)
{
    m_db.executeStatement(QStringLiteral("UPDATE %1 SET %2=?").arg(t_chet::table, t_chet::name(t_chet::Capital)) + whereId(),
                          {capital, id});
    return m_db.changes() > 0;
}

QStringList AccountStore::deleteAccount(const QString& id)
{
    {
        SqlTransaction transaction(m_db);
        const QString deleteWhere = QStringLiteral("DELETE FROM %1 WHERE %2 = ?");
        m_db.executeStatement(deleteWhere.arg(t_chet::table, t_chet::name(t_chet::Id)), {id});
        m_db.executeStatement(deleteWhere.arg(t_sdelki::table, t_sdelki::name(t_sdelki::Chet)), {id});
        m_db.executeStatement(deleteWhere.arg(t_days::table, t_days::name(t_days::Chet)), {id});
        m_db.executeStatement(deleteWhere.arg(t_kassa::table, t_kassa::name(t_kassa::Chet)), {id});
        transaction.commit();
    }
    // The rows are gone for good; a picture that cannot be removed is only a
    // stray file, since account ids are never reused.
    QStringList leftBehind;
    for (const QString& file : pictureFiles(id)) {
        if (!QFile::remove(file))
            leftBehind << file;
    }
    return leftBehind;
}

namespace {

// The money of an account's trades, oldest first, so that a balance curve
// reads left to right in time; trades of the same minute keep the order they
// were stored in. Read row by row: the index of an account's trades by open
// time gives this order without a sort, and no copy of the whole result is
// made.
void readMoney(TSQLiteDatabase& db, const QString& id, const std::function<void(const SqlRow&)>& onRow)
{
    using namespace t_sdelki;
    static constexpr Column kMoney[] = {OpenTime, Profit, Commission, Taxes, Swap};
    static const QString query = QStringLiteral("SELECT %1 FROM %2 WHERE %3=? ORDER BY %4, %5")
                                     .arg(sql::columnList(kMoney), t_sdelki::table, name(Chet), name(OpenTime), name(Id));
    db.readRows(query, {id}, onRow);
}

} // namespace

AccountStore::Curve AccountStore::balanceCurve(const QString& id, const QString& initialBalance,
                                               const std::vector<CashMovement>& cash)
{
    BalanceCurveBuilder builder(initialBalance, cash);
    // One buffer per text column, reused from trade to trade.
    QString texts[4];
    auto read = [&](const SqlRow& row, int column, QString& out) -> QStringView {
        out.resize(0);
        const QByteArrayView bytes = row.bytes(column);
        if (!bytes.isEmpty())
            cp1251::decodeAppend(bytes.data(), bytes.size(), out);
        return out;
    };
    readMoney(m_db, id, [&](const SqlRow& row) {
        const QStringView time = read(row, 0, texts[0]);
        const QStringView profit = read(row, 1, texts[1]);
        const QStringView taxes = read(row, 3, texts[2]);
        const QStringView swap = read(row, 4, texts[3]);
        builder.add(time, profit, row.isNull(2) ? 0.0 : row.number(2), taxes, swap);
    });
    Curve result;
    result.trades = builder.trades();
    result.curve = builder.finish();
    return result;
}

int AccountStore::tradeCount(const QString& id)
{
    // Counted in the index of an account's trades by open time.
    static const QString query = QStringLiteral("SELECT count(*) FROM %1 WHERE %2=?")
                                     .arg(t_sdelki::table, t_sdelki::name(t_sdelki::Chet));
    int count = 0;
    m_db.readRows(query, {id}, [&](const SqlRow& row) { count = static_cast<int>(row.integer(0)); });
    return count;
}

std::vector<BalanceStep> AccountStore::balanceSteps(const QString& id)
{
    std::vector<BalanceStep> steps;
    auto text = [](const SqlRow& row, int column) {
        const QByteArrayView bytes = row.bytes(column);
        return bytes.isEmpty() ? QString() : cp1251::decode(bytes.data(), bytes.size());
    };
    readMoney(m_db, id, [&](const SqlRow& row) {
                      BalanceStep step;
                      step.time = text(row, 0);
                      step.profit = text(row, 1);
                      step.commission = row.isNull(2) ? 0.0 : row.number(2);
                      step.taxes = text(row, 3);
                      step.swap = text(row, 4);
                      steps.push_back(std::move(step));
                  });
    return steps;
}

QStringList AccountStore::pictureFiles(const QString& id) const
{
    // An id is decimal digits; anything else must not become a wildcard.
    if (id.isEmpty() || !std::all_of(id.cbegin(), id.cend(), [](QChar c) { return c.isDigit(); }))
        return {};
    QDir dir(m_pictureDir);
    QStringList files;
    // Name filters match without regard to case, as the file system of the
    // original installations does (3_57_вход.PAT belongs to account 3 too).
    const QStringList names = dir.entryList({id + QStringLiteral("_*.pat")}, QDir::Files);
    for (const QString& name : names)
        files << dir.filePath(name);
    return files;
}
