#include "db/core/sqlite_database.h"

#include "db/core/cp1251.h"
#include "db/core/declared_types.h"
#include "db/core/numbers.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// The layer's text for a query step that neither gave a row nor finished.
QString stepFailure(int rc)
{
    return rc == SQLITE_BUSY ? QStringLiteral("Could not prepare SQL statement")
                             : QStringLiteral("Could not retrieve data");
}

struct StmtDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

QString sqliteMessage(sqlite3* db)
{
    const char* msg = sqlite3_errmsg(db);
    return cp1251::decode(msg, static_cast<qsizetype>(std::strlen(msg)));
}

bool isBusy(sqlite3* db) { return (sqlite3_errcode(db) & 0xff) == SQLITE_BUSY; }

bool hasPendingError(sqlite3* db)
{
    const int code = sqlite3_errcode(db);
    return code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE;
}

} // namespace

// ---------------------------------------------------------------------------
// TSQLiteDatabase

TSQLiteDatabase::TSQLiteDatabase() = default;

namespace {
quint64 nextConnectionSerial()
{
    static quint64 serial = 0;
    return ++serial;
}
} // namespace

TSQLiteDatabase::TSQLiteDatabase(const QString& path)
    : m_path(path)
    , m_serial(nextConnectionSerial())
{
    const QByteArray file = path.toUtf8(); // file names go to the OS as UTF-8
    sqlite3* db = nullptr;
    // One connection used by one thread at a time: SQLite's own locking of
    // every call is pure cost (a tenth of reading a large account).
    const int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = db ? sqliteMessage(db) : QStringLiteral("unknown error");
        if (db)
            sqlite3_close(db);
        throw ESQLiteException(QStringLiteral("Failed to open database \"%1\" : %2").arg(path, reason));
    }
    m_db = db;
    try {
        // Another writer (the command-line tool, a backup) holds the file
        // only briefly: wait for it instead of failing at once.
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        // In rollback-journal mode NORMAL may leave a damaged file after a
        // power cut; FULL syncs the journal before the database is touched.
        executeStatement(QStringLiteral("PRAGMA SYNCHRONOUS=FULL;"));
        executeStatement(QStringLiteral("PRAGMA temp_store = MEMORY;"));
        // Opening is lazy in SQLite; reading the schema tells at once whether
        // the file is a database at all.
        openResultTable(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const ESQLiteException&) {
        const QString reason = sqliteMessage(m_db);
        const bool busy = isBusy(m_db);
        clearPreparedStatements(); // a connection with live statements would not close
        sqlite3_close(m_db);
        m_db = nullptr;
        const QString message = QStringLiteral("Failed to open database \"%1\" : %2").arg(path, reason);
        if (busy)
            throw EDatabaseBusy(message);
        throw ESQLiteException(message);
    }
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    clearPreparedStatements();
    if (m_db)
        sqlite3_close_v2(m_db);
}

void TSQLiteDatabase::setBusyTimeout(int milliseconds)
{
    requireOpen();
    sqlite3_busy_timeout(m_db, milliseconds);
}

void TSQLiteDatabase::interrupt()
{
    if (m_db)
        sqlite3_interrupt(m_db);
}

void TSQLiteDatabase::requireOpen() const
{
    if (!m_db)
        throw ESQLiteException(QStringLiteral("Database is not open"));
}

void TSQLiteDatabase::fail(const QString& fixedText, const QString& sql) const
{
    if (m_db && hasPendingError(m_db)) {
        const QString message = QStringLiteral("%1 \"%2\" : %3").arg(fixedText, sql, sqliteMessage(m_db));
        if (isBusy(m_db))
            throw EDatabaseBusy(message);
        throw ESQLiteException(message);
    }
    throw ESQLiteException(fixedText);
}

sqlite3_stmt* TSQLiteDatabase::prepare(const QString& sql, const QByteArray& sqlBytes)
{
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sqlBytes.constData(), static_cast<int>(sqlBytes.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(QStringLiteral("Error executing SQL"), sql);
    }
    if (!stmt)
        fail(QStringLiteral("Could not prepare SQL statement"), sql);
    if (m_writeGate && !sqlite3_stmt_readonly(stmt)) {
        // Taken out while it runs: it may remove itself or throw.
        std::function<void()> gate = std::move(m_writeGate);
        m_writeGate = nullptr;
        try {
            gate();
        } catch (...) {
            sqlite3_finalize(stmt);
            if (!m_writeGate)
                m_writeGate = std::move(gate);
            throw;
        }
    }
    return stmt;
}

void TSQLiteDatabase::bindParams(sqlite3_stmt* stmt, const SqlParams& params, int firstIndex, const QString& sql)
{
    int index = firstIndex;
    for (const QVariant& v : params) {
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, index);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::Long:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt, index, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = v.toByteArray();
                rc = sqlite3_bind_blob64(stmt, index, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                                         SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = cp1251::encode(v.toString());
                rc = sqlite3_bind_text64(stmt, index, text.constData(), static_cast<sqlite3_uint64>(text.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            fail(QStringLiteral("Error executing SQL"), sql);
        ++index;
    }
}

SqlStatement::SqlStatement(TSQLiteDatabase& db, const QString& sql)
    : m_db(db)
    , m_sql(sql)
{
    m_db.requireOpen();
    m_stmt = m_db.prepare(sql, cp1251::encode(sql));
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqlStatement::check(int rc)
{
    if (rc != SQLITE_OK)
        m_db.fail(QStringLiteral("Error executing SQL"), m_sql);
}

void SqlStatement::bindText(int index, QStringView text)
{
    cp1251::encodeInto(text, m_text);
    bindBytes(index, m_text);
}

void SqlStatement::bindBytes(int index, QByteArrayView bytes)
{
    // An empty text is bound as '' rather than NULL: SQLite takes a null
    // pointer for NULL.
    static const char kEmpty[] = "";
    check(sqlite3_bind_text64(m_stmt, index, bytes.isEmpty() ? kEmpty : bytes.data(),
                              static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void SqlStatement::bindInteger(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_stmt, index, value));
}

void SqlStatement::execute()
{
    // Reset when done (or failed, after the message is read), so the
    // statement holds no lock between runs.
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> resetOnExit(m_stmt, sqlite3_reset);
    if (sqlite3_step(m_stmt) != SQLITE_DONE)
        m_db.fail(QStringLiteral("Error executing SQL statement"), m_sql);
}

void TSQLiteDatabase::clearPreparedStatements()
{
    for (sqlite3_stmt* stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
}

sqlite3_stmt* TSQLiteDatabase::preparedStatement(const QString& sql)
{
    if (sqlite3_stmt* stmt = m_statements.value(sql)) {
        sqlite3_clear_bindings(stmt);
        return stmt;
    }
    if (m_statements.size() >= 32)
        clearPreparedStatements();
    sqlite3_stmt* stmt = prepare(sql, cp1251::encode(sql));
    m_statements.insert(sql, stmt);
    return stmt;
}

void TSQLiteDatabase::executeStatement(const QString& sql, const SqlParams& params)
{
    requireOpen();
    sqlite3_stmt* stmt = preparedStatement(sql);
    // Reset when done (or failed), so the kept statement holds no lock.
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> resetOnExit(stmt, sqlite3_reset);
    bindParams(stmt, params, 1, sql);
    const int rc = sqlite3_step(stmt);
    const QString head = sql.trimmed().left(6).toUpper();
    if (head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("ALTER")) || head.startsWith(QLatin1String("DROP"))) {
        m_declaredTypes.clear(); // the schema changed
        ++m_epoch;
    } else if (head.startsWith(QLatin1String("ROLLBA"))) {
        ++m_epoch;
    }
    if (rc != SQLITE_DONE)
        fail(QStringLiteral("Error executing SQL statement"), sql);
}

QByteArray TSQLiteDatabase::declaredType(sqlite3_stmt* stmt, int column)
{
    const char* reported = sqlite3_column_decltype(stmt, column);
    if (!reported)
        return QByteArray();
    const char* table = sqlite3_column_table_name(stmt, column);
    const char* origin = sqlite3_column_origin_name(stmt, column);
    const char* schema = sqlite3_column_database_name(stmt, column);
    if (!table || !origin || !schema)
        return QByteArray(reported);
    const QByteArray key = QByteArray(schema) + '.' + QByteArray(table).toUpper();
    auto it = m_declaredTypes.find(key);
    if (it == m_declaredTypes.end()) {
        QHash<QByteArray, QByteArray> types;
        sqlite3_stmt* lookup = nullptr;
        const QByteArray sql = "SELECT sql FROM \"" + QByteArray(schema) + "\".sqlite_master WHERE type = 'table' AND name = ?";
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &lookup, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(lookup, 1, table, -1, SQLITE_TRANSIENT);
            if (sqlite3_step(lookup) == SQLITE_ROW) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
                if (text)
                    types = parseDeclaredTypes(QByteArray(text));
            }
        }
        sqlite3_finalize(lookup);
        it = m_declaredTypes.insert(key, types);
    }
    const auto found = it->find(QByteArray(origin).toUpper());
    return found != it->end() ? *found : QByteArray(reported);
}

namespace {

// The kind of a column with a declared type; types are compared exactly,
// case-sensitively.
TSQLiteTable::Kind kindOfDeclaredType(const char* decl)
{
    if (!std::strcmp(decl, "INTEGER") || !std::strcmp(decl, "BOOLEAN"))
        return TSQLiteTable::Kind::Integer;
    if (!std::strcmp(decl, "NUMERIC") || !std::strcmp(decl, "FLOAT") || !std::strcmp(decl, "DOUBLE")
        || !std::strcmp(decl, "REAL"))
        return TSQLiteTable::Kind::Number;
    if (!std::strcmp(decl, "BLOB"))
        return TSQLiteTable::Kind::Blob;
    return TSQLiteTable::Kind::Text;
}

} // namespace

std::vector<bool> TSQLiteDatabase::describeColumns(sqlite3_stmt* s, TSQLiteTable& table)
{
    const int n = sqlite3_column_count(s);
    table.m_columnCount = n;
    std::vector<bool> forceAbsent(n, false);
    for (int c = 0; c < n; ++c) {
        const char* raw = sqlite3_column_name(s, c);
        const QString name = cp1251::decode(raw, static_cast<qsizetype>(std::strlen(raw))).toUpper();
        table.m_names.append(name);
        table.m_index.insert(name, c);
        const QByteArray declared = declaredType(s, c);
        TSQLiteTable::Kind kind = TSQLiteTable::Kind::Text;
        if (!declared.isNull()) {
            kind = kindOfDeclaredType(declared.constData());
        } else {
            // No declared type: the type of the first row's value.
            switch (sqlite3_column_type(s, c)) {
            case SQLITE_INTEGER: kind = TSQLiteTable::Kind::Integer; break;
            case SQLITE_FLOAT: kind = TSQLiteTable::Kind::Number; break;
            case SQLITE_BLOB: kind = TSQLiteTable::Kind::Blob; break;
            case SQLITE_NULL: forceAbsent[c] = true; break;
            default: break;
            }
        }
        table.m_kinds.push_back(kind);
    }
    return forceAbsent;
}

void TSQLiteTable::appendRow(sqlite3_stmt* s, const std::vector<bool>& absent)
{
    for (int c = 0; c < m_columnCount; ++c) {
        Cell cell;
        cell.i = 0;
        const Kind kind = m_kinds[c];
        if (absent[c]) {
            // a column whose first value was NULL reads empty throughout
        } else if (kind == Kind::Text) {
            // The text pointer is null exactly for NULL, which saves
            // asking for the type of every text cell of a large result.
            if (const auto* text = sqlite3_column_text(s, c))
                appendToArena(cell, text, sqlite3_column_bytes(s, c));
        } else if (sqlite3_column_type(s, c) != SQLITE_NULL) {
            switch (kind) {
            case Kind::Integer:
                cell.i = sqlite3_column_int64(s, c);
                cell.present = true;
                break;
            case Kind::Number:
                cell.d = sqlite3_column_double(s, c);
                cell.present = true;
                break;
            case Kind::Blob: {
                const void* data = sqlite3_column_blob(s, c);
                const int len = sqlite3_column_bytes(s, c);
                if (len > 0) // a zero-length blob is absent
                    appendToArena(cell, data, len);
                break;
            }
            case Kind::Text: break;
            }
        }
        m_cells.push_back(cell);
    }
    ++m_rowCount;
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::openResultTable(const QString& sql, const SqlParams& params)
{
    requireOpen();
    StmtPtr stmt(prepare(sql, cp1251::encode(sql)));
    bindParams(stmt.get(), params, 1, sql);
    auto table = std::unique_ptr<TSQLiteTable>(new TSQLiteTable);
    sqlite3_stmt* s = stmt.get();
    std::vector<bool> forceAbsent;
    for (int rc; (rc = sqlite3_step(s)) != SQLITE_DONE;) {
        if (rc != SQLITE_ROW)
            fail(stepFailure(rc), sql);
        if (table->m_rowCount == 0) {
            forceAbsent = describeColumns(s, *table);
            table->m_cells.reserve(static_cast<size_t>(table->m_columnCount) * 64);
        } else if (table->m_cells.size() == table->m_cells.capacity()) {
            // Grown in large steps: a result of a million rows is copied a
            // handful of times, not twenty.
            table->m_cells.reserve(table->m_cells.capacity() * 4);
            table->m_arena.reserve(table->m_arena.size() * 4);
        }
        table->appendRow(s, forceAbsent);
    }
    table->m_row = 0;
    return table;
}

void TSQLiteDatabase::readRows(const QString& sql, const SqlParams& params,
                               const std::function<void(const SqlRow&)>& onRow)
{
    requireOpen();
    StmtPtr stmt(prepare(sql, cp1251::encode(sql)));
    bindParams(stmt.get(), params, 1, sql);
    const SqlRow row(stmt.get(), this);
    for (int rc; (rc = sqlite3_step(stmt.get())) != SQLITE_DONE;) {
        if (rc != SQLITE_ROW)
            fail(stepFailure(rc), sql);
        onRow(row);
    }
}

QByteArrayView SqlRow::bytes(int column) const
{
    // Text and length from one look-up of the cell: the statement is
    // stepped by this connection's one thread only. The text pointer is null
    // exactly for NULL.
    sqlite3_value* value = sqlite3_column_value(m_stmt, column);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? QByteArrayView(text, sqlite3_value_bytes(value)) : QByteArrayView();
}

qint64 SqlRow::integer(int column) const { return sqlite3_column_int64(m_stmt, column); }

QByteArrayView SqlRow::blob(int column) const
{
    const void* data = sqlite3_column_blob(m_stmt, column);
    return data ? QByteArrayView(static_cast<const char*>(data), sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

bool SqlRow::isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }

int SqlRow::columnCount() const { return sqlite3_column_count(m_stmt); }

std::optional<SqlRow::Kind> SqlRow::kind(int column) const
{
    const QByteArray declared = m_db->declaredType(m_stmt, column);
    if (!declared.isNull()) {
        switch (kindOfDeclaredType(declared.constData())) {
        case TSQLiteTable::Kind::Integer: return Kind::Integer;
        case TSQLiteTable::Kind::Number: return Kind::Number;
        case TSQLiteTable::Kind::Blob: return Kind::Blob;
        case TSQLiteTable::Kind::Text: return Kind::Text;
        }
    }
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER: return Kind::Integer;
    case SQLITE_FLOAT: return Kind::Number;
    case SQLITE_BLOB: return Kind::Blob;
    case SQLITE_NULL: return std::nullopt;
    default: return Kind::Text;
    }
}

double SqlRow::number(int column) const { return sqlite3_column_double(m_stmt, column); }

void TSQLiteDatabase::writeBlob(const QString& sql, const QByteArray& stream, const SqlParams& params)
{
    if (!sql.contains(QLatin1Char('?')))
        throw ESQLiteException(QStringLiteral("SQL must include a ? parameter"));
    requireOpen();
    StmtPtr stmt(prepare(sql, cp1251::encode(sql)));
    if (stream.isEmpty())
        throw ESQLiteException(QStringLiteral("Error getting memory to save blob"));
    if (sqlite3_bind_blob64(stmt.get(), 1, stream.constData(), static_cast<sqlite3_uint64>(stream.size()),
                            SQLITE_TRANSIENT)
        != SQLITE_OK)
        fail(QStringLiteral("Error binding blob to database"), sql);
    bindParams(stmt.get(), params, 2, sql);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        fail(QStringLiteral("Error executing SQL statement"), sql);
}

qint64 TSQLiteDatabase::lastInsertId() const
{
    requireOpen();
    return sqlite3_last_insert_rowid(m_db);
}

int TSQLiteDatabase::changes() const
{
    requireOpen();
    return sqlite3_changes(m_db);
}

bool TSQLiteDatabase::inTransaction() const { return m_db && !sqlite3_get_autocommit(m_db); }

DataStamp TSQLiteDatabase::dataStamp()
{
    requireOpen();
    DataStamp stamp;
    stamp.connection = m_serial;
    readRows(QStringLiteral("PRAGMA data_version"), {}, [&](const SqlRow& row) { stamp.dataVersion = row.integer(0); });
    stamp.ownChanges = sqlite3_total_changes64(m_db);
    stamp.ownEpoch = m_epoch;
    return stamp;
}

// ---------------------------------------------------------------------------
// TSQLiteTable

bool TSQLiteTable::moveNext()
{
    if (atEnd())
        return false;
    ++m_row;
    return true;
}

void TSQLiteTable::seek(int row)
{
    m_row = std::clamp(row, 0, m_rowCount);
}

int TSQLiteTable::columnIndex(const QString& name) const
{
    return m_index.value(name.toUpper(), -1);
}

void TSQLiteTable::checkReadable(int position) const
{
    if (atEnd())
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
    if (position < 0 || position >= m_columnCount)
        throw ESQLiteException(QStringLiteral("Field not found in dataset: %1").arg(position));
}

void TSQLiteTable::appendToArena(Cell& cell, const void* data, int length)
{
    if (static_cast<quint64>(m_arena.size()) + static_cast<quint64>(length) > std::numeric_limits<quint32>::max())
        throw ESQLiteException(QStringLiteral("Could not retrieve data"));
    cell.s.offset = static_cast<quint32>(m_arena.size());
    cell.s.length = static_cast<quint32>(length);
    if (length > 0)
        m_arena.append(static_cast<const char*>(data), length);
    cell.present = true;
}

const TSQLiteTable::Cell& TSQLiteTable::cell(int position) const
{
    return m_cells[static_cast<size_t>(m_row) * m_columnCount + position];
}

QString TSQLiteTable::cellText(const Cell& c, Kind kind, bool absentAsZero) const
{
    if (!c.present) {
        const bool numeric = kind == Kind::Integer || kind == Kind::Number;
        return absentAsZero && numeric ? QStringLiteral("0") : QString();
    }
    switch (kind) {
    case Kind::Integer: return QString::number(c.i);
    case Kind::Number: return num::formatGeneral(c.d);
    case Kind::Text:
    case Kind::Blob: break;
    }
    return cp1251::decode(m_arena.constData() + c.s.offset, c.s.length);
}

QString TSQLiteTable::fieldText(const QString& name) const
{
    if (m_rowCount == 0)
        throw ESQLiteException(QStringLiteral("Field %1 Not found. Empty dataset").arg(name));
    if (atEnd())
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
    const int position = columnIndex(name);
    if (position < 0)
        throw ESQLiteException(QStringLiteral("Field not found in dataset: %1").arg(name));
    return cellText(cell(position), m_kinds[position], true);
}

QString TSQLiteTable::fieldTextOf(int position) const
{
    checkReadable(position);
    return cellText(cell(position), m_kinds[position], true);
}

void TSQLiteTable::appendFieldTextOf(int position, QString& out) const
{
    checkReadable(position);
    const Cell& c = cell(position);
    if (c.present && (m_kinds[position] == Kind::Text || m_kinds[position] == Kind::Blob))
        cp1251::decodeAppend(m_arena.constData() + c.s.offset, c.s.length, out);
    else
        out += cellText(c, m_kinds[position], true);
}

std::optional<QByteArrayView> TSQLiteTable::fieldBytesOf(int position) const
{
    checkReadable(position);
    if (m_kinds[position] != Kind::Text)
        return std::nullopt;
    const Cell& c = cell(position);
    if (!c.present)
        return QByteArrayView();
    return QByteArrayView(m_arena.constData() + c.s.offset, c.s.length);
}

QString TSQLiteTable::fieldTextAt(int position) const
{
    checkReadable(position);
    return cellText(cell(position), m_kinds[position], false);
}

bool TSQLiteTable::isNull(int position) const
{
    checkReadable(position);
    return !cell(position).present;
}

QByteArray TSQLiteTable::fieldBlob(int position) const
{
    checkReadable(position);
    if (m_kinds[position] != Kind::Blob)
        throw ESQLiteException(QStringLiteral("Not a Blob field"));
    const Cell& c = cell(position);
    if (!c.present)
        return QByteArray();
    return QByteArray(m_arena.constData() + c.s.offset, c.s.length);
}

qint64 TSQLiteTable::fieldInteger(int position) const
{
    checkReadable(position);
    const Cell& c = cell(position);
    switch (m_kinds[position]) {
    case Kind::Integer: return c.present ? c.i : 0;
    case Kind::Number: return c.present ? static_cast<qint64>(c.d) : 0;
    default: throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
    }
}

double TSQLiteTable::fieldNumber(int position) const
{
    checkReadable(position);
    const Cell& c = cell(position);
    switch (m_kinds[position]) {
    case Kind::Integer: return c.present ? static_cast<double>(c.i) : 0.0;
    case Kind::Number: return c.present ? c.d : 0.0;
    default: throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
    }
}

// ---------------------------------------------------------------------------
// SqlTransaction

SqlTransaction::SqlTransaction(TSQLiteDatabase& db)
    : m_db(db)
{
    m_db.executeStatement(QStringLiteral("BEGIN IMMEDIATE"));
}

SqlTransaction::~SqlTransaction()
{
    if (!m_done && m_db.isOpen()) {
        sqlite3_exec(m_db.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        ++m_db.m_epoch;
    }
}

void SqlTransaction::commit()
{
    m_db.executeStatement(QStringLiteral("COMMIT"));
    m_done = true;
}
