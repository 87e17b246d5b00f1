#pragma once

#include "import/core/csv_table.h"
#include "import/core/statement_row.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// The fields of a trade that a table of trades may hold, in the order the
// column mapper shows them.
enum class CsvField {
    Ticket, OpenTime, Type, Size, Symbol, PriceOpen, StopLoss, TakeProfit, CloseTime, PriceClose,
    Commission, Taxes, Swap, Profit, Count
};
inline constexpr int kCsvFieldCount = static_cast<int>(CsvField::Count);

struct CsvFieldInfo {
    CsvField field;
    const char* key;     // the name in --map and in the remembered mappings: "opentime"
    const char16_t* label; // what the mapper shows: "Время открытия"
    bool required;
    int column; // the StatementRow column it fills
};
const std::array<CsvFieldInfo, kCsvFieldCount>& csvFields();
const CsvFieldInfo& csvField(CsvField field);
std::optional<CsvField> csvFieldByKey(const QString& key);

// Which column of the table each field is read from; -1 for none.
struct CsvMapping {
    std::array<int, kCsvFieldCount> columns;
    CsvMapping() { columns.fill(-1); }
    int& operator[](CsvField f) { return columns[static_cast<std::size_t>(f)]; }
    int operator[](CsvField f) const { return columns[static_cast<std::size_t>(f)]; }
    bool operator==(const CsvMapping&) const = default;
    // The labels of the required fields without a column.
    QStringList missingRequired() const;
    // "ticket=1,opentime=2,..." with columns counted from 1.
    QString toText() const;
    static std::optional<CsvMapping> fromText(const QString& text, int columnCount);
};

// A header name reduced to what guessing compares: lower case, letters and
// digits only ("S / L" -> "sl", "Время открытия" -> "времяоткрытия").
QString normalizedHeaderName(const QString& name);

// The fields guessed from the header's names (English and Russian usual
// names, letter case and punctuation ignored). A second "Time" or "Price"
// after the open one is the close one.
CsvMapping guessCsvMapping(const QStringList& header);

// Applies "FIELD=COLUMN,..." over a mapping: COLUMN is a header name (as
// guessing compares names) or a number from 1; an empty COLUMN or "-" drops
// the field. Returns the reason in Russian when a part does not read.
std::optional<QString> applyMapOption(CsvMapping& mapping, const QString& option, const QStringList& header);

// ---- the cells of a trade -------------------------------------------------

// A number with a decimal point or comma, blanks between groups of digits, an
// optional sign, as a statement writes it: "-1234.50". Nothing when the text
// is no number.
std::optional<QString> csvNumber(const QString& cell);
// A time in the journal's stored form "yyyy.MM.dd hh:mm[:ss]" from
// yyyy.MM.dd, yyyy-MM-dd, yyyy/MM/dd, ISO 8601 with T, or dd.MM.yyyy, and
// hh:mm or hh:mm:ss (fractions of a second and a zone are dropped).
std::optional<QString> csvTime(const QString& cell);
// "buy" or "sell" from buy/sell/long/short (any case, Russian too).
std::optional<QString> csvTradeType(const QString& cell);

// The ticket of a row that has none: the same symbol, open time, type and
// size give the same ticket on every import ("csv-" and twelve hex digits).
// `occurrence` counts equal trades in one file from 1, so that two equal
// trades stay two.
QString derivedTicket(const QString& symbol, const QString& openTime, const QString& type, const QString& size,
                      int occurrence = 1);

// A cell that did not read, or a required cell that is empty.
struct CsvProblem {
    int row = 0;  // position in the rows read
    int line = 0; // the file's line
    QString column; // the header's name of the column
    QString text;
    QString reason; // "не является числом", "не является датой и временем", "пустая ячейка", ...
    // "Строка 5, столбец «Profit»: «12abc» не является числом"
    QString describe() const;
};

// The rows of a table as preview rows in the statements' form, and the
// problems. A row with a problem is kept with its texts as written so the
// preview shows it; it is not copied.
struct CsvTrades {
    std::vector<StatementRow> rows;
    std::vector<CsvProblem> problems;
    std::vector<int> problemRows() const; // sorted, each once
    std::vector<StatementRow> goodRows() const;
    int badRowCount() const { return static_cast<int>(problemRows().size()); }
    // "Строк с ошибками: 2, они не будут скопированы. Строка 5, ..." ; empty without problems.
    QString problemsLine() const;
};
CsvTrades readCsvTrades(const CsvTable& table, const CsvMapping& mapping);

// The line of the preview where a statement shows its reconciliation.
QString csvReconciliationLine();
