#include "bench_journal.h"

#include "db/core/numbers.h"
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

namespace {

void makeJournal(const QString& folder)
{
    const QString file = folder + QStringLiteral("/datamoney.db");
    if (QFile::exists(file))
        return;
    QDir().mkpath(folder);
    QFile schema(QStringLiteral(TJ_SCHEMA_SQL));
    schema.open(QIODevice::ReadOnly);
    createDatabaseFromSchema(file + QStringLiteral(".part"), QString::fromUtf8(schema.readAll()));
    TSQLiteDatabase db(file + QStringLiteral(".part"));
    db.executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Основной', 10000)"));
    const QStringList items = {"eurusd", "gbpusd", "usdjpy", "audusd", "eurjpy", "gbpjpy", "usdchf", "xauusd"};
    const QStringList entries = {"", "", "Пробой уровня", "Отбой от тренда", "Обычная", "Низкая"};
    const QStringList comments = {"", "", "", "вход по сигналу, выход по стопу", "поторопился с входом"};
    QRandomGenerator rng(42);
    SqlTransaction transaction(db);
    QDateTime time(QDate(2009, 1, 5), QTime(9, 0));
    for (int i = 0; i < kBenchTrades; ++i) {
        time = time.addSecs(600 + rng.bounded(3000));
        const double profit = (rng.bounded(40000) - 18000) / 100.0;
        const double commission = -(rng.bounded(300)) / 100.0;
        const double swap = (rng.bounded(200) - 100) / 100.0;
        const double open = 1.2 + rng.bounded(5000) / 10000.0;
        db.executeStatement(
            QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, PriceOpen, sl, tp, "
                           "CloseTime, PriceClose, Commission, Taxes, Swap, Profit, Profit2, comment, taktika, "
                           "pravilo2, ocenka) VALUES ('1', ?, ?, ?, ?, ?, ?, '0', '0', ?, ?, ?, '0', ?, ?, ?, ?, ?, ?, ?)"),
            {QString::number(10000000 + i), time.toString(QStringLiteral("yyyy.MM.dd HH:mm")),
             rng.bounded(2) ? QStringLiteral("buy") : QStringLiteral("sell"),
             QString::number(0.01 * (1 + rng.bounded(100)), 'f', 2), items[rng.bounded(items.size())],
             QString::number(open, 'f', 5), time.addSecs(3600).toString(QStringLiteral("yyyy.MM.dd HH:mm")),
             QString::number(open + 0.001, 'f', 5), commission, num::formatGeneral(swap), num::formatGeneral(profit),
             profit, comments[rng.bounded(comments.size())], entries[rng.bounded(entries.size())],
             entries[rng.bounded(entries.size())], QString()});
    }
    transaction.commit();
    QFile::rename(file + QStringLiteral(".part"), file);
}

} // namespace

QString benchJournalFolder()
{
    const QString folder = QDir::tempPath() + QStringLiteral("/tj-bench-stats-100k");
    makeJournal(folder);
    return folder;
}
