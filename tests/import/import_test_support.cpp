#include "import_test_support.h"

#include "db/core/cp1251.h"
#include "temp_journal.h"

#include <QFile>
#include <QRegularExpression>

namespace importtest {

QByteArray mt4Statement(const QByteArray& rows)
{
    return "<html><head><meta name=\"generator\" content=\"MetaQuotes Software Corp.\"></head><body><table>\r\n"
           "<tr align=center><td>Ticket</td><td>Open Time</td><td>Type</td><td>Size</td><td>Item</td><td>Price</td>"
           "<td>S / L</td><td>T / P</td><td>Close Time</td><td>Price</td><td>Commission</td><td>Taxes</td>"
           "<td>Swap</td><td>Profit</td></tr>\r\n"
        + rows + "</table></body></html>\r\n";
}

QByteArray mt4Row(const QStringList& cells)
{
    QByteArray row = "<tr align=right>";
    for (const QString& c : cells)
        row += "<td>" + cp1251::encode(c) + "</td>";
    return row + "</tr>\r\n";
}

QByteArray mt5Report(const QByteArray& rows)
{
    return "<html><head><meta name=\"generator\" content=\"MetaTrader 5\"></head><body><table>\r\n" + rows
        + "</table></body></html>\r\n";
}

QByteArray mt5Row(const QStringList& cells, int hiddenCell)
{
    QByteArray row = "<tr bgcolor=\"#FFFFFF\" align=\"right\">";
    for (int i = 0; i < cells.size(); ++i)
        row += (i == hiddenCell ? "<td nowrap class=\"hidden\">" : "<td nowrap>") + cells[i].toLatin1() + "</td>";
    return row + "</tr>\r\n";
}

QByteArray mt5PositionRow(const QStringList& cells, const QString& comment)
{
    QByteArray row = "        <tr bgcolor=\"#FFFFFF\" align=\"right\">\r\n";
    for (int i = 0; i < cells.size(); ++i) {
        if (i == 4)
            row += "            <td class=\"hidden\" colspan=\"8\">" + comment.toLatin1() + "</td>\r\n";
        const bool classed = i >= 4 && i < 12;
        row += QByteArray(classed ? "            <td class=\"\">" : "            <td>") + cells[i].toLatin1()
            + "</td>\r\n";
    }
    return row + "        </tr>\r\n";
}

QStringList texts(const StatementRow& row) { return QStringList(row.cells.begin(), row.cells.end()); }

std::vector<QString> column(const std::vector<StatementRow>& rows, int c)
{
    std::vector<QString> out;
    for (const StatementRow& r : rows)
        out.push_back(r[c]);
    return out;
}

QString fixture(const QString& name)
{
    const QString path = QStringLiteral(TJ_FIXTURES_DIR "/statements/") + name;
    return QFile::exists(path) ? path : QString();
}

namespace {

// Replaces the row template between a table's markers by one copy per entry
// with its placeholders filled; false when the template lacks the table.
bool fillTable(QString& html, const QString& table, const QString& prefix,
               const QList<QMap<QString, QString>>& entries)
{
    const QRegularExpression rows(QStringLiteral("<!--MQTABLE=%1-->(.*?)<!--MQTABLE-->").arg(table),
                                  QRegularExpression::DotMatchesEverythingOption);
    const auto m = rows.match(html);
    if (!m.hasMatch())
        return false;
    const QString rowTemplate = m.captured(1);
    QString filled;
    for (const auto& entry : entries) {
        QString row = rowTemplate;
        for (auto it = entry.begin(); it != entry.end(); ++it)
            row.replace(QStringLiteral("<!--%1_%2-->").arg(prefix, it.key()), it.value());
        row.replace(QStringLiteral("<!--BGCOLOR-->"), QStringLiteral("#FFFFFF"));
        // Hidden as the terminal hides them: the deal's cost, the position's comment.
        row.replace(QStringLiteral("<!--DEAL_COST_CLASS-->"), QStringLiteral("hidden"));
        row.replace(QStringLiteral("<!--POSITION_COMMENT_CLASS-->"), QStringLiteral("hidden"));
        row.replace(QStringLiteral("<!--POSITION_PROFIT_COLSPAN-->"), QStringLiteral("2"));
        row.replace(QRegularExpression(QStringLiteral("<!--%1_[A-Z_]+-->").arg(prefix)), QString());
        filled += row;
    }
    html.replace(m.capturedStart(1), m.capturedLength(1), filled);
    return true;
}

} // namespace

QByteArray filledMt5Template(const QString& templateName, const QList<Deal>& deals, const QList<Position>& positions,
                             const QMap<QString, QString>& fields)
{
    const QString path = fixture(templateName);
    if (path.isEmpty())
        return {};
    const QByteArray raw = readBytes(path);
    QString html = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData() + 2), (raw.size() - 2) / 2);
    if (!fillTable(html, QStringLiteral("TRADE_DEALS_HST"), QStringLiteral("DEAL"), deals))
        return {};
    if (!positions.isEmpty()
        && !fillTable(html, QStringLiteral("TRADE_POSITIONS_HST"), QStringLiteral("POSITION"), positions))
        return {};
    html.replace(QStringLiteral("<!--CONTENT_GENERATOR-->"), QStringLiteral("MetaTrader 5"));
    for (auto it = fields.begin(); it != fields.end(); ++it)
        html.replace(QStringLiteral("<!--%1-->").arg(it.key()), it.value());
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(html.utf16()), html.size() * 2);
    return bytes;
}

} // namespace importtest
