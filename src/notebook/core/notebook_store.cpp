#include "notebook/core/notebook_store.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"

namespace {

QString whereName() { return QStringLiteral(" WHERE %1=?").arg(t_zametki::name(t_zametki::SName)); }

// A blob cell, or the bytes of a text cell in a column declared otherwise.
QByteArray cellBytes(const TSQLiteTable& table, int position)
{
    if (table.columnKind(position) == TSQLiteTable::Kind::Blob)
        return table.fieldBlob(position);
    return table.fieldBytesOf(position).value_or(QByteArrayView()).toByteArray();
}

} // namespace

QString nameTakenMessage() { return QStringLiteral("Имя уже занято, придумайте другое!"); }

NotebookStore::NotebookStore(TSQLiteDatabase& db)
    : m_db(db)
{
}

bool NotebookStore::exists(const QString& name)
{
    auto table = m_db.openResultTable(
        QStringLiteral("SELECT %1 FROM %2").arg(t_zametki::name(t_zametki::SName), t_zametki::table) + whereName(),
        {name});
    return table->rowCount() > 0;
}

void NotebookStore::addDocument(const QString& name)
{
    m_db.executeStatement(
        QStringLiteral("INSERT INTO %1 (%2) values(?)").arg(t_zametki::table, t_zametki::name(t_zametki::SName)),
        {name});
}

bool NotebookStore::renameDocument(const QString& from, const QString& to)
{
    const QLatin1StringView column = t_zametki::name(t_zametki::SName);
    m_db.executeStatement(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %2 = ?").arg(t_zametki::table, column), {to, from});
    return m_db.changes() > 0;
}

void NotebookStore::deleteDocument(const QString& name)
{
    m_db.executeStatement(QStringLiteral("DELETE FROM %1").arg(t_zametki::table) + whereName(), {name});
}

void NotebookStore::deleteAll() { m_db.executeStatement(QStringLiteral("DELETE FROM %1 ").arg(t_zametki::table)); }

std::optional<QByteArray> NotebookStore::blob(const QString& name, int column)
{
    auto table = m_db.openResultTable(
        QStringLiteral("SELECT %1 FROM %2").arg(t_zametki::name(t_zametki::Column(column)), t_zametki::table)
            + whereName(),
        {name});
    if (table->rowCount() == 0)
        return std::nullopt;
    return cellBytes(*table, 0);
}

bool NotebookStore::storeBlob(const QString& name, int column, const QByteArray& bytes)
{
    m_db.writeBlob(QStringLiteral("UPDATE %1 SET %2 = ?").arg(t_zametki::table, t_zametki::name(t_zametki::Column(column)))
                       + whereName(),
                   bytes, {name});
    return m_db.changes() > 0;
}

std::optional<QByteArray> NotebookStore::text(const QString& name) { return blob(name, t_zametki::BZametka); }

bool NotebookStore::storeText(const QString& name, const QByteArray& rtf)
{
    return storeBlob(name, t_zametki::BZametka, rtf);
}

std::optional<QStringList> NotebookStore::chartNames(const QString& name)
{
    const std::optional<QByteArray> bytes = blob(name, t_zametki::BImg);
    if (!bytes)
        return std::nullopt;
    return decodeChartList(*bytes);
}

bool NotebookStore::storeChartNames(const QString& name, const QStringList& charts)
{
    return storeBlob(name, t_zametki::BImg, encodeChartList(charts));
}

std::vector<std::pair<QString, QByteArray>> NotebookStore::allTexts()
{
    using namespace t_zametki;
    auto table = m_db.openResultTable(
        QStringLiteral("SELECT %1, %2 FROM %3").arg(t_zametki::name(SName), t_zametki::name(BZametka), t_zametki::table));
    std::vector<std::pair<QString, QByteArray>> out;
    out.reserve(size_t(table->rowCount()));
    for (; !table->atEnd(); table->moveNext()) {
        out.emplace_back(table->fieldTextOf(0), cellBytes(*table, 1));
    }
    return out;
}

QByteArray encodeChartList(const QStringList& charts)
{
    TreeSnapshotState state;
    state.bounds = QRect(1, 25, 176, 300);
    for (const QString& c : charts)
        state.entries.push_back(TreeEntry{c, 0, 0, -1, -1, {}});
    return writeTreeSnapshot("TreeView2", state);
}

QStringList decodeChartList(const QByteArray& blob)
{
    QStringList out;
    if (blob.isEmpty())
        return out;
    TreeSnapshotState state;
    applyTreeSnapshot(blob, state);
    for (const TreeEntry& e : state.entries)
        out << e.text;
    return out;
}

QString chartFileName(const QString& document, const QString& chart)
{
    return QStringLiteral("img/") + document + u'_' + chart + QStringLiteral(".paz");
}
