#include "bench_journal.h"

#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>

namespace {

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// Straight through SQLite with one prepared statement: a million trades are
// made in seconds.
void fillTrades(sqlite3* db, const char* account, int count, quint32 seed)
{
    const QStringList items = {"eurusd", "gbpusd", "usdjpy", "audusd", "eurjpy", "gbpjpy", "usdchf", "xauusd"};
    const QStringList entries = {"", "", "Пробой уровня", "Отбой от тренда", "Обычная", "Низкая"};
    const QStringList comments = {"", "", "", "вход по сигналу, выход по стопу", "поторопился с входом"};
    std::vector<QByteArray> itemBytes, entryBytes, commentBytes;
    for (const QString& s : items)
        itemBytes.push_back(cp1251::encode(s));
    for (const QString& s : entries)
        entryBytes.push_back(cp1251::encode(s));
    for (const QString& s : comments)
        commentBytes.push_back(cp1251::encode(s));
    sqlite3_stmt* stmt = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, PriceOpen, sl, tp, "
                             "CloseTime, PriceClose, Commission, Taxes, Swap, Profit, Profit2, comment, taktika, "
                             "pravilo2, ocenka) VALUES (?, ?, ?, ?, ?, ?, ?, '0', '0', ?, ?, ?, '0', ?, ?, ?, ?, ?, ?, NULL)",
                             -1, &stmt, nullptr),
          db);
    auto text = [&](int index, const QByteArray& bytes) {
        check(sqlite3_bind_text(stmt, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT), db);
    };
    QRandomGenerator rng(seed);
    QDateTime time(QDate(2009, 1, 5), QTime(9, 0));
    const QString timeFormat = QStringLiteral("yyyy.MM.dd HH:mm");
    for (int i = 0; i < count; ++i) {
        // The draws in the order the journal has always been made with.
        time = time.addSecs(600 + rng.bounded(3000));
        const double profit = (rng.bounded(40000) - 18000) / 100.0;
        const double commission = -(rng.bounded(300)) / 100.0;
        const double swap = (rng.bounded(200) - 100) / 100.0;
        const double open = 1.2 + rng.bounded(5000) / 10000.0;
        const bool buy = rng.bounded(2) != 0;
        const QString size = QString::number(0.01 * (1 + rng.bounded(100)), 'f', 2);
        const QByteArray& item = itemBytes[rng.bounded(items.size())];
        const QByteArray& comment = commentBytes[rng.bounded(comments.size())];
        const QByteArray& taktika = entryBytes[rng.bounded(entries.size())];
        const QByteArray& pravilo2 = entryBytes[rng.bounded(entries.size())];
        text(1, account);
        text(2, QByteArray::number(10000000 + i));
        text(3, time.toString(timeFormat).toLatin1());
        text(4, buy ? QByteArray("buy") : QByteArray("sell"));
        text(5, size.toLatin1());
        text(6, item);
        text(7, QString::number(open, 'f', 5).toLatin1());
        text(8, time.addSecs(3600).toString(timeFormat).toLatin1());
        text(9, QString::number(open + 0.001, 'f', 5).toLatin1());
        check(sqlite3_bind_double(stmt, 10, commission), db);
        text(11, num::formatGeneral(swap).toLatin1());
        text(12, num::formatGeneral(profit).toLatin1());
        check(sqlite3_bind_double(stmt, 13, profit), db);
        text(14, comment);
        text(15, taktika);
        text(16, pravilo2);
        check(sqlite3_step(stmt), db);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

void makeJournal(const QString& folder, int trades)
{
    const QString file = folder + QStringLiteral("/datamoney.db");
    if (QFile::exists(file))
        return;
    QDir().mkpath(folder);
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    QFile schema(QStringLiteral(TJ_SCHEMA_SQL));
    if (!schema.open(QIODevice::ReadOnly))
        throw std::runtime_error("the schema does not read");
    createDatabaseFromSchema(part, QString::fromUtf8(schema.readAll()));
    sqlite3* db = nullptr;
    check(sqlite3_open(part.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; BEGIN", nullptr, nullptr, nullptr), db);
    check(sqlite3_exec(db,
                       cp1251::encode(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES "
                                                     "('Основной', 10000), ('Второй', 5000)"))
                           .constData(),
                       nullptr, nullptr, nullptr),
          db);
    fillTrades(db, "1", trades, 42);
    fillTrades(db, "2", 100, 7);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    QFile::rename(part, file);
}

} // namespace

bool benchMillionWanted() { return qEnvironmentVariableIntValue("TJ_BENCH_1M") != 0; }

QString benchJournalFolder(int trades)
{
    const QString folder = QStringLiteral(TJ_BENCH_DATA_DIR "/journal-%1").arg(trades);
    makeJournal(folder, trades);
    // As the program leaves a journal it opened: at the current version,
    // with its indexes (a journal made by an older build gains them here).
    TSQLiteDatabase db(folder + QStringLiteral("/datamoney.db"));
    upgradeJournalSchema(db);
    return folder;
}

void benchSizes(benchmark::internal::Benchmark* b)
{
    b->ArgName("trades");
    for (const int n : kBenchSizes) {
        if (n < 1000000 || benchMillionWanted())
            b->Arg(n);
    }
}
