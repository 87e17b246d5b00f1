#pragma once

#include "db/core/journal_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Every failure of the database layer. The message is the layer's own fixed
// text (see the table of the layer's contract), optionally followed by the
// SQL text and SQLite's error.
class ESQLiteException : public JournalError {
public:
    using JournalError::JournalError;
};

// The failure of a statement (or of the opening) because another connection
// held its lock longer than the busy time-out: the file itself is fine.
class EDatabaseBusy : public ESQLiteException {
public:
    using ESQLiteException::ESQLiteException;
};

// Values bound to the '?' parameters of a statement, in order. A null
// QVariant binds NULL; QString binds text (as Windows-1251 bytes); integers
// bind 64-bit integers; double binds a double; QByteArray binds a blob.
using SqlParams = QVariantList;

class TSQLiteTable;
class TSQLiteDatabase;

// The row a query stands on while TSQLiteDatabase::readRows hands it over;
// what it returns is valid only until the handler returns.
class SqlRow {
public:
    // The cell as text in its stored Windows-1251 bytes; a null view for
    // NULL, an empty one that is not null for an empty text.
    QByteArrayView bytes(int column) const;
    // The cell as a 64-bit integer, as SQLite converts it (NULL reads 0).
    qint64 integer(int column) const;
    // The cell as a double, as SQLite converts it (NULL and a text without a
    // leading number read 0), which is how a REAL column is read anywhere.
    double number(int column) const;
    // The cell is NULL.
    bool isNull(int column) const;
    // The cell's bytes as a blob (a text's bytes too); empty for NULL.
    QByteArrayView blob(int column) const;
    // How openResultTable would keep the column, decided as it decides it on
    // the first row: by the declared type, or for a column without one by
    // the first row's value; nothing when that value is NULL (the column
    // then reads absent in every row). Ask on the first row.
    enum class Kind { Integer, Number, Text, Blob };
    std::optional<Kind> kind(int column) const;
    int columnCount() const;

private:
    friend class TSQLiteDatabase;
    SqlRow(sqlite3_stmt* stmt, TSQLiteDatabase* db)
        : m_stmt(stmt)
        , m_db(db)
    {
    }
    sqlite3_stmt* m_stmt;
    TSQLiteDatabase* m_db;
};

// What a connection reads is the same as at an earlier stamp when the stamps
// are equal: it names the connection, the database's data version (changed
// by a commit of any other connection), the rows changed through this
// connection, and the changes of its tables and the transactions rolled
// back through it.
struct DataStamp {
    quint64 connection = 0;
    qint64 dataVersion = -1;
    qint64 ownChanges = -1;
    qint64 ownEpoch = -1;
    bool operator==(const DataStamp&) const = default;
};

// The one connection to the journal database.
class TSQLiteDatabase {
public:
    // No connection: every operation fails with ESQLiteException. This is the
    // state of a run that found no datamoney.db.
    TSQLiteDatabase();
    // Opens the file (SQLite creates it when missing), sets the pragmas and
    // checks that the file is a database.
    explicit TSQLiteDatabase(const QString& path);
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    // How long a statement waits for another connection's lock before it
    // fails with SQLite's "database is locked".
    static constexpr int kBusyTimeoutMs = 5000;

    bool isOpen() const { return m_db != nullptr; }
    void setBusyTimeout(int milliseconds);
    // Stops the statement running on this connection (from another thread):
    // it fails with SQLite's "interrupted".
    void interrupt();
    const QString& path() const { return m_path; }
    // Whether a transaction is open on this connection (its changes are not
    // yet seen by other connections).
    bool inTransaction() const;

    // Runs a statement that yields no rows.
    void executeStatement(const QString& sql, const SqlParams& params = {});
    // Runs a query and returns all its rows, positioned on the first.
    std::unique_ptr<TSQLiteTable> openResultTable(const QString& sql, const SqlParams& params = {});
    // Runs a query and hands its rows to onRow one by one as they are read,
    // keeping none: for large readings that keep only a digest of each row.
    void readRows(const QString& sql, const SqlParams& params, const std::function<void(const SqlRow&)>& onRow);
    // Runs a statement with the whole stream bound as a blob to parameter 1;
    // further parameters (2, 3, ...) come from params.
    void writeBlob(const QString& sql, const QByteArray& stream, const SqlParams& params = {});
    qint64 lastInsertId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;
    // The stamp of the data as it reads now; throws ESQLiteException.
    DataStamp dataStamp();
    // A call made before a statement that writes is run, until it returns
    // once: it may wait (for a look at the whole file) or throw to keep the
    // file as it is; after a throw it is called again at the next write.
    // Reading statements never call it. An empty function removes it.
    void setWriteGate(std::function<void()> gate) { m_writeGate = std::move(gate); }

private:
    friend class SqlTransaction;
    friend class SqlRow;
    friend class SqlStatement;
    sqlite3_stmt* prepare(const QString& sql, const QByteArray& sqlBytes);
    [[noreturn]] void fail(const QString& fixedText, const QString& sql) const;
    void bindParams(sqlite3_stmt* stmt, const SqlParams& params, int firstIndex, const QString& sql);
    void requireOpen() const;
    // The column's declared type exactly as written in its CREATE TABLE.
    QByteArray declaredType(sqlite3_stmt* stmt, int column);
    // Sets the table's column names and kinds from the query's first row;
    // returns the columns that read absent in every row.
    std::vector<bool> describeColumns(sqlite3_stmt* stmt, TSQLiteTable& table);

    sqlite3* m_db = nullptr;
    QString m_path;
    std::function<void()> m_writeGate;
    quint64 m_serial = 0; // this connection among those of the run
    qint64 m_epoch = 0;   // tables changed or transactions rolled back through this connection
    QHash<QByteArray, QHash<QByteArray, QByteArray>> m_declaredTypes; // "main.TABLE" -> column -> type
    // Statements of executeStatement kept prepared by their text, so that a
    // statement run once per row of a large change is parsed only once.
    QHash<QString, sqlite3_stmt*> m_statements;
    sqlite3_stmt* preparedStatement(const QString& sql);
    void clearPreparedStatements();
};

// An in-memory snapshot of every row of one query. Cells are kept compactly:
// numbers inline, texts and blobs as slices of one byte arena (Windows-1251
// bytes, turned into QString when read).
class TSQLiteTable {
public:
    enum class Kind { Integer, Number, Text, Blob };

    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_columnCount; }
    int currentRow() const { return m_row; }
    const QStringList& columnNames() const { return m_names; }
    Kind columnKind(int column) const { return m_kinds[column]; }

    bool atEnd() const { return m_row >= m_rowCount; }
    bool moveNext();
    // Moves to a row directly (0 <= row <= rowCount()).
    void seek(int row);

    QString fieldText(const QString& name) const;
    QString fieldTextAt(int position) const;
    // The stream of a blob column, or none (a null QByteArray) when absent.
    QByteArray fieldBlob(int position) const;
    qint64 fieldInteger(int position) const;
    double fieldNumber(int position) const;

    // Position of a column by name (case-insensitive), or -1.
    int columnIndex(const QString& name) const;
    // fieldText of the column at a position (absent integer and number cells
    // read "0"), for loops that resolve the column once.
    QString fieldTextOf(int position) const;
    // Appends fieldTextOf(position) to out without a string of its own, for
    // loops that gather many cells into one buffer.
    void appendFieldTextOf(int position, QString& out) const;
    // The stored Windows-1251 bytes of a text cell (empty when absent), for
    // loops over many cells that need no QString; nothing for a number
    // cell, whose text is made by fieldTextOf.
    std::optional<QByteArrayView> fieldBytesOf(int position) const;
    bool isNull(int position) const;

private:
    friend class TSQLiteDatabase;
    struct Cell {
        union {
            qint64 i;
            double d;
            struct {
                quint32 offset;
                quint32 length;
            } s;
        };
        bool present = false;
    };
    const Cell& cell(int position) const;
    void appendToArena(Cell& cell, const void* data, int length);
    QString cellText(const Cell& c, Kind kind, bool absentAsZero) const;
    void checkReadable(int position) const;
    // Copies the row the query stands on; `absent` marks the columns left empty.
    void appendRow(sqlite3_stmt* stmt, const std::vector<bool>& absent);

    int m_rowCount = 0;
    int m_columnCount = 0;
    int m_row = 0;
    QStringList m_names; // upper-cased
    QHash<QString, int> m_index;
    std::vector<Kind> m_kinds;
    std::vector<Cell> m_cells;
    QByteArray m_arena;
};

// One statement prepared once and run many times (one row of a large copy
// after another), its parameters bound straight from the texts at hand: no
// list of values per run. Every run binds every parameter anew. Failures
// raise ESQLiteException with executeStatement's messages.
class SqlStatement {
public:
    SqlStatement(TSQLiteDatabase& db, const QString& sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Parameters count from 1. A text is stored in Windows-1251, as
    // executeStatement stores it (an empty text is '', not NULL).
    void bindText(int index, QStringView text);
    // Text bytes already in Windows-1251.
    void bindBytes(int index, QByteArrayView bytes);
    void bindInteger(int index, qint64 value);
    // Runs the statement (one that yields no rows) and readies it for the
    // next run.
    void execute();

private:
    void check(int rc);
    TSQLiteDatabase& m_db;
    QString m_sql;
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_text; // the encoded text of bindText, reused
};

// A transaction that rolls back unless committed.
class SqlTransaction {
public:
    explicit SqlTransaction(TSQLiteDatabase& db);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;
    void commit();

private:
    TSQLiteDatabase& m_db;
    bool m_done = false;
};
