#pragma once

#include "db/core/partial_result.h"
#include "import/core/regex.h"
#include "import/core/report_file.h"
#include "import/core/statement_row.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <string_view>
#include <vector>

// Told how far an extraction has come: start() sets the progress to 0 of a
// maximum (a negative maximum keeps the previous one), advance() adds one.
class ExtractionProgress {
public:
    virtual ~ExtractionProgress() = default;
    virtual void start(int maximum) = 0;
    virtual void advance() = 0;
};

// Incomplete when a search was abandoned at a limit: the problem says so
// and the rows are the trades found before it.
struct Extraction : PartialResult {
    std::vector<StatementRow> rows;
};

// One trade as the Windows-1251 bytes of its sixteen preview cells; the
// views are valid only during the call that receives them.
using TradeCells = std::array<std::string_view, StatementRow::ColumnCount>;
using TradeCellsSink = std::function<void(const TradeCells&)>;

// The trade as the preview grid holds it.
StatementRow statementRow(const TradeCells& cells);

// Finds the closed trades of a raw report text (readTextFile) of a
// recognised kind. A MetaTrader 4 statement gives its right-aligned table
// rows of fourteen cells that have a ticket and a close time; a MetaTrader 5
// report the rows of its Positions table, one per closed position, or, when
// it has none, its deals whose row mentions "out". Nothing for
// ReportKind::None.
// Every search is bounded by the limits; a search that reaches them ends the
// extraction with a problem instead of running on.
Extraction extractTrades(const QByteArray& text, ReportKind kind, ExtractionProgress* progress = nullptr,
                         const RegexLimits& limits = {});

// The same extraction handing each trade's bytes to a sink as it is found,
// for callers that write the trades out rather than keep them. Returns the
// problem, empty when the whole statement was read.
QString extractTradeCells(const QByteArray& text, ReportKind kind, const TradeCellsSink& sink,
                          ExtractionProgress* progress = nullptr, const RegexLimits& limits = {});
