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

QByteArray filledMt5Template(const QString& templateName, const QList<Deal>& deals)
{
    const QString path = fixture(templateName);
    if (path.isEmpty())
        return {};
    const QByteArray raw = readBytes(path);
    QString html = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData() + 2), (raw.size() - 2) / 2);
    // The deal row of the template, between its table markers.
    const QRegularExpression dealRow(QStringLiteral("(<!--MQTABLE=TRADE_DEALS_HST-->)(.*?)(<!--MQTABLE-->)"),
                                     QRegularExpression::DotMatchesEverythingOption);
    const auto m = dealRow.match(html);
    if (!m.hasMatch())
        return {};
    const QString rowTemplate = m.captured(2);
    QString rows;
    for (const Deal& deal : deals) {
        QString row = rowTemplate;
        for (auto it = deal.begin(); it != deal.end(); ++it)
            row.replace(QStringLiteral("<!--DEAL_%1-->").arg(it.key()), it.value());
        row.replace(QRegularExpression(QStringLiteral("<!--DEAL_[A-Z]+-->")), QString());
        row.replace(QStringLiteral("<!--BGCOLOR-->"), QStringLiteral("#FFFFFF"));
        row.replace(QStringLiteral("<!--DEAL_COST_CLASS-->"), QStringLiteral("hidden"));
        rows += row;
    }
    html.replace(m.capturedStart(2), m.capturedLength(2), rows);
    html.replace(QStringLiteral("<!--CONTENT_GENERATOR-->"), QStringLiteral("MetaTrader 5"));
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(html.utf16()), html.size() * 2);
    return bytes;
}

} // namespace importtest
