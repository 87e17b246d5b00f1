#include "accounts/core/account_store.h"

#include "db/core/sqlite_database.h"

#include <QDir>
#include <QFile>

#include <algorithm>

AccountStore::AccountStore(TSQLiteDatabase& db, QString pictureDir)
    : m_db(db)
    , m_pictureDir(std::move(pictureDir))
{
}

std::vector<AccountRecord> AccountStore::listAccounts()
{
    std::vector<AccountRecord> accounts;
    auto table = m_db.openResultTable(QStringLiteral("SELECT * FROM t_chet "));
    const AccountColumns columns(*table);
    accounts.reserve(table->rowCount());
    for (; !table->atEnd(); table->moveNext())
        accounts.push_back(columns.read(*table));
    return accounts;
}

std::optional<AccountRecord> AccountStore::findAccount(const QString& id)
{
    auto table = m_db.openResultTable(QStringLiteral("SELECT * FROM t_chet WHERE id=?"), {id});
    if (table->rowCount() == 0)
        return std::nullopt;
    return AccountColumns(*table).read(*table);
}

QString AccountStore::addAccount(const AccountRecord& a)
{
    m_db.executeStatement(QStringLiteral("INSERT INTO t_chet"
                                         " (chet_sost,chet_kapital,chet_type,chet_name,chet_broker,chet_opis)"
                                         " values(?,?,?,?,?,?)"),
                          {a.state, a.capital, a.type, a.name, a.broker, a.description});
    return QString::number(m_db.lastInsertId());
}

bool AccountStore::updateAccount(const AccountRecord& a)
{
    m_db.executeStatement(QStringLiteral("UPDATE t_chet SET chet_name=?, chet_broker=?, chet_opis=?,"
                                         " chet_kapital=?, chet_type=?, chet_sost=? WHERE id=?"),
                          {a.name, a.broker, a.description, a.capital, a.type, a.state, a.id});
    return m_db.changes() > 0;
}

QStringList AccountStore::deleteAccount(const QString& id)
{
    {
        SqlTransaction transaction(m_db);
        m_db.executeStatement(QStringLiteral("DELETE FROM t_chet WHERE id = ?"), {id});
        m_db.executeStatement(QStringLiteral("DELETE FROM t_sdelki WHERE  chet = ?"), {id});
        m_db.executeStatement(QStringLiteral("DELETE FROM t_days WHERE chet = ?"), {id});
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

QStringList AccountStore::tradeProfits(const QString& id)
{
    // Oldest first, so that a balance curve reads left to right in time;
    // trades of the same minute keep the order they were stored in.
    auto table = m_db.openResultTable(QStringLiteral("SELECT Profit FROM t_sdelki WHERE chet=? ORDER BY OpenTime, id"),
                                      {id});
    QStringList profits;
    profits.reserve(table->rowCount());
    const int column = table->columnIndex(QStringLiteral("Profit"));
    for (; !table->atEnd(); table->moveNext())
        profits << table->fieldTextOf(column);
    return profits;
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
