#pragma once

#include "import/core/statement_row.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

// Small statement texts for the import tests.
namespace importtest {

// An MT4 statement around the given table rows (the generator line and the
// header of the closed trades).
QByteArray mt4Statement(const QByteArray& rows);
// An MT4 table row: <tr align=right> with the cells joined as given.
QByteArray mt4Row(const QStringList& cells);
// An MT5 report (as 8-bit text, after reading) around the given rows.
QByteArray mt5Report(const QByteArray& rows);
// An MT5 deal row of <td nowrap> cells.
QByteArray mt5Row(const QStringList& cells, int hiddenCell = -1);
// An MT5 Positions row as the terminal writes it from thirteen texts (time,
// position, symbol, type, volume, price, S / L, T / P, time, price,
// commission, swap, profit): one cell a line, a hidden comment cell spanning
// eight columns after the type.
QByteArray mt5PositionRow(const QStringList& cells, const QString& comment = {});

// The sixteen texts of a row, for compact expectations.
QStringList texts(const StatementRow& row);
std::vector<QString> column(const std::vector<StatementRow>& rows, int column);

// Real statements kept outside the project; empty when absent.
QString fixture(const QString& name);
// A terminal's MT5 history template with its deal rows and its closed
// positions filled in: each maps placeholder names (TIME, DEAL, ..., COMMENT
// of a deal; TIME, POSITION, ..., PROFIT of a position) to texts.
using Deal = QMap<QString, QString>;
using Position = QMap<QString, QString>;
// fields: the other placeholders (NAME, CURRENCY, BALANCE_STR, REPORT_NETPROFIT, ...)
// by name; those not given stay as they are.
QByteArray filledMt5Template(const QString& templateName, const QList<Deal>& deals,
                             const QList<Position>& positions = {}, const QMap<QString, QString>& fields = {});

} // namespace importtest
