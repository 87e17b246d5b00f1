#include "statement_generator.h"

#include "db/core/cp1251.h"

#include <QDateTime>
#include <QString>


#include <cstdlib>
#include <random>

namespace statementgen {
namespace {

struct Symbol {
    const char* name;
    int digits;
    double price;
};

constexpr Symbol kSymbols[] = {
    {"eurusd", 5, 1.0850}, {"gbpusd", 5, 1.2640}, {"usdjpy", 3, 148.20}, {"audusd", 5, 0.6610},
    {"usdcad", 5, 1.3520}, {"eurjpy", 3, 160.80}, {"xauusd", 2, 2030.0}, {"usdchf", 5, 0.8790},
};

class Random {
public:
    explicit Random(unsigned seed)
        : m_engine(seed)
    {
    }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_engine); }
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_engine); }
    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    std::mt19937 m_engine;
};

// Money as the terminals write it: two decimals, blanks between groups of
// three digits.
QString money(qint64 cents)
{
    const bool negative = cents < 0;
    const qint64 a = std::llabs(cents);
    QString whole = QString::number(a / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char(' '));
    return (negative ? QStringLiteral("-") : QString()) + whole + QLatin1Char('.')
        + QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString price(double value, int digits) { return QString::number(value, 'f', digits); }

QString timeText(qint64 secs)
{
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC).toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
}

// One closed trade, shared by both writers.
struct Trade {
    qint64 ticket;
    qint64 open, close;
    bool buy;
    const Symbol* symbol;
    int lots100; // volume in hundredths of a lot
    double openPrice, closePrice, sl, tp;
    qint64 commission, swap, fee, profit; // cents
    const char* reason;                   // "[tp]", "[sl]" or ""
};

Trade makeTrade(Random& rnd, qint64 ticket, qint64& clock)
{
    Trade t{};
    t.ticket = ticket;
    t.symbol = &kSymbols[rnd.between(0, std::size(kSymbols) - 1)];
    t.buy = rnd.chance(50);
    t.lots100 = rnd.chance(80) ? rnd.between(1, 50) : rnd.between(100, 500);
    clock += rnd.between(60, 6 * 3600);
    t.open = clock;
    t.close = clock + rnd.between(30, 3 * 24 * 3600);
    const double pip = t.symbol->digits >= 4 ? 0.0001 : (t.symbol->digits == 3 ? 0.01 : 0.1);
    t.openPrice = t.symbol->price * rnd.uniform(0.97, 1.03);
    const int pips = rnd.between(-120, 150);
    t.closePrice = t.openPrice + (t.buy ? 1 : -1) * pips * pip;
    t.sl = rnd.chance(70) ? t.openPrice - (t.buy ? 1 : -1) * 50 * pip : 0.0;
    t.tp = rnd.chance(60) ? t.openPrice + (t.buy ? 1 : -1) * 80 * pip : 0.0;
    t.reason = pips > 70 && t.tp != 0.0 ? "[tp]" : (pips < -40 && t.sl != 0.0 ? "[sl]" : "");
    t.profit = static_cast<qint64>(pips) * t.lots100 * 10 + rnd.between(-99, 99);
    if (t.lots100 >= 300 && rnd.chance(50))
        t.profit *= 7; // a large trade: profits in the thousands
    t.commission = -static_cast<qint64>(t.lots100) * 7 / 10;
    t.swap = (t.close - t.open) > 24 * 3600 ? -rnd.between(1, 40) * t.lots100 / 10 : 0;
    t.fee = rnd.chance(10) ? -rnd.between(1, 30) : 0;
    return t;
}

// ---------------------------------------------------------------------------
// MetaTrader 4

QString mt4PriceCell(double value, int digits)
{
    return QStringLiteral("<td style=\"mso-number-format:0\\.%1;\">%2</td>")
        .arg(QString(digits, QLatin1Char('0')), price(value, digits));
}

QString mt4Head(const QString& currency)
{
    QString head = QStringLiteral(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\r\n"
        "<html>\r\n  <head>\r\n    <title>Statement: 5012345 - Иван Петров</title>\r\n"
        "    <meta name=\"generator\" content=\"MetaQuotes Software Corp.\">\r\n"
        "    <link rel=\"help\" href=\"http://www.metaquotes.net\">\r\n"
        "    <style type=\"text/css\">\r\n    <!--\r\n    td { font: 8pt Tahoma,Arial; }\r\n"
        "    .msdate { mso-number-format:\"General Date\"; }\r\n"
        "    .mspt   { mso-number-format:\\#\\,\\#\\#0\\.00;  }\r\n    //-->\r\n    </style>\r\n  </head>\r\n"
        "<body topmargin=1 marginheight=1>\r\n<div align=center>\r\n"
        "<div style=\"font: 20pt Times New Roman\"><b>Example Markets Ltd.</b></div><br>\r\n\r\n"
        "<table cellspacing=1 cellpadding=3 border=0>\r\n<tr align=left>\r\n"
        "    <td colspan=2><b>Account: 5012345</b></td>\r\n    <td colspan=5><b>Name: Иван Петров</b></td>\r\n"
        "    <td colspan=2><b>Currency: USD</b></td>\r\n    <td colspan=2><b>Leverage: 1:100</b></td>\r\n"
        "    <td colspan=3 align=right><b>2024 March 29, 23:59</b></td></tr>\r\n\r\n");
    return head.replace(QStringLiteral("Currency: USD"), QStringLiteral("Currency: ") + currency);
}

// Gross profit, gross loss and the profit factor of the closed trades'
// net results, as the terminals sum them.
struct Totals {
    qint64 net = 0, grossProfit = 0, grossLoss = 0;
    void add(qint64 result)
    {
        net += result;
        (result > 0 ? grossProfit : grossLoss) += result;
    }
    QString profitFactor() const
    {
        return grossLoss == 0 ? QStringLiteral("0.00")
                              : QString::number(static_cast<double>(grossProfit) / static_cast<double>(-grossLoss), 'f', 2);
    }
    QString expectedPayoff(int trades) const
    {
        return trades == 0 ? QStringLiteral("0.00") : QString::number(static_cast<double>(net) / trades / 100.0, 'f', 2);
    }
};

// The summary and details of a detailed statement, laid out as the
// terminal writes them.
QString mt4Summary(qint64 deposits, const Totals& closed, qint64 floating, qint64 balance, int trades)
{
    const QString pair4 = QStringLiteral("    <td colspan=2><b>%1:</b></td>\r\n    <td colspan=2 class=mspt><b>%2</b></td>\r\n"
                                         "    <td colspan=4><b>%3:</b></td>\r\n    <td class=mspt><b>%4</b></td>\r\n");
    const QString third = QStringLiteral("    <td colspan=3><b>%1:</b></td>\r\n    <td colspan=2 class=mspt><b>%2</b></td></tr>\r\n");
    const QString blank = QStringLiteral("    <td colspan=5>&nbsp;</td></tr>\r\n");
    return QStringLiteral("<tr align=left><td colspan=13><b>Summary:</b></td></tr>\r\n<tr align=right>\r\n")
        + pair4.arg(QStringLiteral("Deposit/Withdrawal"), money(deposits), QStringLiteral("Credit Facility"), money(0)) + blank
        + QStringLiteral("<tr align=right>\r\n")
        + pair4.arg(QStringLiteral("Closed Trade P/L"), money(closed.net), QStringLiteral("Floating P/L"), money(floating))
        + third.arg(QStringLiteral("Margin"), money(0)) + QStringLiteral("<tr align=right>\r\n")
        + pair4.arg(QStringLiteral("Balance"), money(balance), QStringLiteral("Equity"), money(balance + floating))
        + third.arg(QStringLiteral("Free Margin"), money(balance + floating))
        + QStringLiteral("<tr align=left><td colspan=13><b>Details:</b></td></tr>\r\n<tr align=right>\r\n")
        + pair4.arg(QStringLiteral("Gross Profit"), money(closed.grossProfit), QStringLiteral("Gross Loss"),
                    money(-closed.grossLoss))
        + third.arg(QStringLiteral("Total Net Profit"), money(closed.net)) + QStringLiteral("<tr align=right>\r\n")
        + pair4.arg(QStringLiteral("Profit Factor"), closed.profitFactor(), QStringLiteral("Expected Payoff"),
                    closed.expectedPayoff(trades))
        + blank;
}

QString mt4TableHeader(const QString& title, bool closeTime)
{
    return QStringLiteral("<tr align=left><td colspan=13><b>%1</b></td></tr>\r\n"
                          "<tr align=center bgcolor=\"#C0C0C0\">\r\n"
                          "   <td>Ticket</td><td nowrap>Open Time</td><td>Type</td><td>Size</td><td>Item</td>\r\n"
                          "   <td>Price</td><td>S / L</td><td>T / P</td><td nowrap>%2</td>\r\n"
                          "   <td>Price</td><td>Commission</td><td>Taxes</td><td>Swap</td><td>Profit</td></tr>\r\n")
        .arg(title, closeTime ? QStringLiteral("Close Time") : QStringLiteral("&nbsp;"));
}

QString mt4Row(int index, const QString& cells, const QString& title = {})
{
    const QString colour = index % 2 ? QStringLiteral(" bgcolor=#E0E0E0") : QString();
    const QString titled = title.isEmpty() ? QString() : QStringLiteral(" title=\"%1\"").arg(title);
    return QStringLiteral("<tr%1 align=right><td%2>").arg(colour, titled) + cells + QStringLiteral("</tr>\r\n");
}

QString mt4TradeCells(const Trade& t, bool open)
{
    const int d = t.symbol->digits;
    const QString lots = price(t.lots100 / 100.0, 2);
    return QStringLiteral("%1</td><td class=msdate nowrap>%2</td><td>%3</td><td class=mspt>%4</td><td>%5</td>")
               .arg(t.ticket)
               .arg(timeText(t.open), t.buy ? QStringLiteral("buy") : QStringLiteral("sell"), lots,
                    QString::fromLatin1(t.symbol->name))
        + mt4PriceCell(t.openPrice, d) + mt4PriceCell(t.sl, d) + mt4PriceCell(t.tp, d)
        + QStringLiteral("<td class=msdate nowrap>%1</td>").arg(open ? QStringLiteral("&nbsp;") : timeText(t.close))
        + mt4PriceCell(t.closePrice, d)
        + QStringLiteral("<td class=mspt>%1</td><td class=mspt>0.00</td><td class=mspt>%2</td><td class=mspt>%3</td>")
              .arg(money(t.commission), money(t.swap), money(t.profit));
}

} // namespace

Generated mt4Statement(int closedTrades, unsigned seed, const QString& currency)
{
    Random rnd(seed);
    Generated out;
    QString html = mt4Head(currency) + mt4TableHeader(QStringLiteral("Closed Transactions:"), true);
    qint64 clock = QDateTime(QDate(2023, 1, 2), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    qint64 ticket = 40000000;
    qint64 balance = 0, deposits = 0;
    Totals closed;
    int row = 0;
    const auto deposit = [&](qint64 cents, const QString& comment) {
        clock += rnd.between(60, 3600);
        balance += cents;
        deposits += cents;
        html += mt4Row(row++, QStringLiteral("%1</td><td class=msdate nowrap>%2</td><td>balance</td>"
                                             "<td colspan=10 align=left>%3</td><td class=mspt>%4</td>")
                                  .arg(++ticket)
                                  .arg(timeText(clock), comment, money(cents)),
                       comment);
    };
    deposit(1000000, QStringLiteral("Deposit"));
    for (int i = 0; i < closedTrades; ++i) {
        if (i > 0 && i % 97 == 0)
            deposit(rnd.chance(50) ? 250000 : -150000, rnd.chance(50) ? QStringLiteral("Deposit") : QStringLiteral("Withdrawal"));
        if (i % 23 == 11) { // a pending order that never filled
            const Trade t = makeTrade(rnd, ++ticket, clock);
            const int d = t.symbol->digits;
            html += mt4Row(row++,
                           QStringLiteral("%1</td><td class=msdate nowrap>%2</td><td>%3</td><td class=mspt>%4</td><td>%5</td>")
                                   .arg(t.ticket)
                                   .arg(timeText(t.open), t.buy ? QStringLiteral("buy limit") : QStringLiteral("sell stop"),
                                        price(t.lots100 / 100.0, 2), QString::fromLatin1(t.symbol->name))
                               + mt4PriceCell(t.openPrice, d) + mt4PriceCell(0, d) + mt4PriceCell(0, d)
                               + QStringLiteral("<td class=msdate nowrap>%1</td>").arg(timeText(t.close))
                               + mt4PriceCell(t.closePrice, d) + QStringLiteral("<td colspan=4>cancelled</td>"),
                           QStringLiteral("cancelled"));
        }
        const Trade t = makeTrade(rnd, ++ticket, clock);
        balance += t.profit + t.commission + t.swap;
        closed.add(t.profit + t.commission + t.swap);
        html += mt4Row(row++, mt4TradeCells(t, false), QString::fromLatin1(t.reason));
        out.closedTickets.append(QString::number(t.ticket));
    }
    html += QStringLiteral("<tr align=right>\r\n    <td colspan=12 align=right><b>Closed P/L:</b></td>\r\n"
                           "    <td colspan=2 align=right class=mspt><b>%1</b></td></tr>\r\n")
                .arg(money(closed.net));
    html += mt4TableHeader(QStringLiteral("Open Trades:"), false);
    qint64 floating = 0;
    for (int i = 0; i < 3; ++i) {
        const Trade open = makeTrade(rnd, ++ticket, clock);
        floating += open.profit + open.commission + open.swap;
        html += mt4Row(i, mt4TradeCells(open, true));
    }
    html += QStringLiteral("<tr align=left><td colspan=13><b>Working Orders:</b></td></tr>\r\n"
                           "<tr align=right><td colspan=13 align=center>No transactions</td></tr>\r\n")
        + mt4Summary(deposits, closed, floating, balance, closedTrades)
        + QStringLiteral("</table>\r\n</div></body></html>\r\n");
    out.bytes = cp1251::encode(html);
    return out;
}

// ---------------------------------------------------------------------------
// MetaTrader 5

namespace {

QString mt5Cells(const QStringList& cells, int hiddenIndex)
{
    QString s;
    for (int i = 0; i < cells.size(); ++i) {
        s += i == hiddenIndex ? QStringLiteral("<td nowrap class=\"hidden\">") : QStringLiteral("<td nowrap>");
        s += cells[i];
        s += QStringLiteral("</td>");
    }
    return s;
}

QString mt5Row(int index, const QString& cells)
{
    return QStringLiteral("        <tr bgcolor=\"%1\" align=\"right\">")
               .arg(index % 2 ? QStringLiteral("#F7F7F7") : QStringLiteral("#FFFFFF"))
        + cells + QStringLiteral("</tr>\r\n");
}

QString mt5Head(const QString& currency)
{
    QString head = QStringLiteral(
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" \"http://www.w3.org/TR/html4/loose.dtd\">\r\n"
        "<html>\r\n  <head>\r\n    <title>5012345: Иван Петров - Trade History Report</title>\r\n"
        "    <meta name=\"generator\" content=\"MetaTrader 5 client terminal\">\r\n"
        "    <style type=\"text/css\">\r\n    <!--\r\n    td { font: 8pt  Tahoma,Arial; }\r\n"
        "    .hidden { display: none; }\r\n    //-->\r\n    </style>\r\n  </head>\r\n<body>\r\n<div align=\"center\">\r\n"
        "    <table cellspacing=\"1\" cellpadding=\"3\" border=\"0\">\r\n"
        "        <tr align=\"center\"><td colspan=\"14\"><div style=\"font: 14pt Tahoma\"><b>Trade History Report</b></div></td></tr>\r\n"
        "        <tr align=\"left\"><th colspan=\"4\" nowrap align=\"right\">Name:</th><th colspan=\"10\" nowrap align=\"left\"><b>Иван Петров</b></th></tr>\r\n"
        "        <tr align=\"left\"><th colspan=\"4\" nowrap align=\"right\">Account:</th><th colspan=\"10\" nowrap align=\"left\"><b>5012345&nbsp;(USD,&nbsp;Example-Server,&nbsp;real,&nbsp;Hedge)</b></th></tr>\r\n"
        "        <tr align=\"left\"><th colspan=\"4\" nowrap align=\"right\">Company:</th><th colspan=\"10\" nowrap align=\"left\"><b>Example Markets Ltd.</b></th></tr>\r\n");
    return head.replace(QStringLiteral("(USD,"), QStringLiteral("(") + currency + u',');
}

// The account's state and the results under the deals, as the terminal's
// template lays them out.
QString mt5Summary(qint64 balance, const Totals& closed, int trades)
{
    const QString state = QStringLiteral("        <tr align=\"right\"><td colspan=\"3\" style=\"height: 20px\">%1:</td>"
                                         "<td colspan=\"2\"><b>%2</b></td><td></td><td colspan=\"3\">%3:</td>"
                                         "<td colspan=\"2\"><b>%4</b></td></tr>\r\n");
    return state.arg(QStringLiteral("Balance"), money(balance), QStringLiteral("Free Margin"), money(balance))
        + state.arg(QStringLiteral("Credit Facility"), money(0), QStringLiteral("Margin"), money(0))
        + state.arg(QStringLiteral("Floating P/L"), money(0), QStringLiteral("Margin Level"), QStringLiteral("0.00%"))
        + QStringLiteral("        <tr align=\"right\"><td colspan=\"3\" style=\"height: 20px\">Equity:</td>"
                         "<td colspan=\"2\"><b>%1</b></td></tr>\r\n").arg(money(balance))
        + QStringLiteral("        <tr><td colspan=\"13\" align=\"center\"><div style=\"font: 10pt Tahoma\"><b>Results</b></div></td></tr>\r\n"
                         "        <tr align=\"right\"><td nowrap colspan=\"3\">Total Net Profit:</td><td nowrap><b>%1</b></td>"
                         "<td nowrap colspan=\"3\">Gross Profit:</td><td nowrap><b>%2</b></td>"
                         "<td nowrap colspan=\"3\">Gross Loss:</td><td nowrap colspan=\"2\"><b>%3</b></td></tr>\r\n"
                         "        <tr align=\"right\"><td nowrap colspan=\"3\">Profit Factor:</td><td nowrap><b>%4</b></td>"
                         "<td nowrap colspan=\"3\">Expected Payoff:</td><td nowrap><b>%5</b></td></tr>\r\n")
              .arg(money(closed.net), money(closed.grossProfit), money(closed.grossLoss), closed.profitFactor(),
                   closed.expectedPayoff(trades));
}

// A row of the Positions table laid out as the terminal's template does:
// one cell a line, the comment hidden across eight columns, the profit
// spanning two columns in the newer template.
QString mt5PositionRow(int index, const Trade& t, const QString& volume, bool newer)
{
    const int d = t.symbol->digits;
    const QString td = QStringLiteral("\r\n            <td>%1</td>");
    const QString classed = QStringLiteral("\r\n            <td class=\"\">%1</td>");
    QString s = QStringLiteral("        <tr bgcolor=\"%1\" align=\"right\">")
                    .arg(index % 2 ? QStringLiteral("#F7F7F7") : QStringLiteral("#FFFFFF"));
    s += td.arg(timeText(t.open)) + td.arg(t.ticket) + td.arg(QString::fromLatin1(t.symbol->name).toUpper())
        + td.arg(t.buy ? QStringLiteral("buy") : QStringLiteral("sell"));
    s += QStringLiteral("\r\n            <td class=\"hidden\" colspan=\"8\">%1</td>").arg(QString::fromLatin1(t.reason));
    // The position's commission holds every fee of its deals.
    for (const QString& cell : {volume, price(t.openPrice, d), price(t.sl, d), price(t.tp, d), timeText(t.close),
                                price(t.closePrice, d), money(t.commission + t.fee), money(t.swap)})
        s += classed.arg(cell);
    s += newer ? QStringLiteral("\r\n            <td colspan=\"2\">%1</td>").arg(money(t.profit)) : td.arg(money(t.profit));
    return s + QStringLiteral("\r\n        </tr>\r\n");
}

QString mt5SectionHeader(const QString& title, const QStringList& columns)
{
    QString s = QStringLiteral("        <tr align=\"center\"><th colspan=\"14\" style=\"height: 25px\"><div style=\"font: 10pt Tahoma\"><b>%1</b></div></th></tr>\r\n"
                               "        <tr align=\"center\" bgcolor=\"#E5F0FC\">")
                    .arg(title);
    for (const QString& c : columns)
        s += QStringLiteral("<td nowrap><b>%1</b></td>").arg(c);
    return s + QStringLiteral("</tr>\r\n");
}

} // namespace

Generated mt5Report(int closedTrades, unsigned seed, Mt5Layout layout, const QString& currency)
{
    const bool withCostAndFee = layout != Mt5Layout::Older;
    const bool withPositions = layout != Mt5Layout::DealsOnly;
    Random rnd(seed);
    Generated out;
    qint64 clock = QDateTime(QDate(2023, 1, 2), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    std::vector<Trade> trades;
    trades.reserve(static_cast<size_t>(closedTrades));
    qint64 position = 7000000;
    for (int i = 0; i < closedTrades; ++i)
        trades.push_back(makeTrade(rnd, ++position, clock));

    QString positions, orders, deals;
    qint64 deal = 9000000, order = 8000000;
    qint64 balance = 0;
    int row = 0;
    QStringList dealColumns = {QStringLiteral("Time"), QStringLiteral("Deal"), QStringLiteral("Symbol"),
                               QStringLiteral("Type"), QStringLiteral("Direction"), QStringLiteral("Volume"),
                               QStringLiteral("Price"), QStringLiteral("Order")};
    if (withCostAndFee)
        dealColumns += {QStringLiteral("Cost"), QStringLiteral("Commission"), QStringLiteral("Fee")};
    else
        dealColumns += QStringLiteral("Commission");
    dealColumns += {QStringLiteral("Swap"), QStringLiteral("Profit"), QStringLiteral("Balance"), QStringLiteral("Comment")};

    const auto dealRow = [&](qint64 time, const QString& symbol, const QString& type, const QString& direction,
                             const QString& volume, const QString& dealPrice, qint64 commission, qint64 fee,
                             qint64 swap, qint64 profit, const QString& comment) {
        balance += commission + fee + swap + profit;
        QStringList cells = {timeText(time), QString::number(++deal), symbol, type, direction, volume, dealPrice,
                             direction.isEmpty() ? QString() : QString::number(++order)};
        if (withCostAndFee)
            cells += {QString(), money(commission), money(fee)};
        else
            cells += money(commission + fee);
        cells += {money(swap), money(profit), money(balance), comment};
        deals += mt5Row(row++, mt5Cells(cells, withCostAndFee ? 8 : -1));
    };
    dealRow(clock - 365 * 24 * 3600, {}, QStringLiteral("balance"), {}, {}, {}, 0, 0, 0, 1000000,
            QStringLiteral("Deposit"));

    bool reversed = false; // the position was opened by the previous deal's "in/out"
    for (int i = 0; i < closedTrades; ++i) {
        const Trade& t = trades[static_cast<size_t>(i)];
        const int d = t.symbol->digits;
        const QString symbol = QString::fromLatin1(t.symbol->name).toUpper();
        const QString lots = price(t.lots100 / 100.0, 2);
        const QString side = t.buy ? QStringLiteral("buy") : QStringLiteral("sell");
        const QString closeSide = t.buy ? QStringLiteral("sell") : QStringLiteral("buy");
        if (!reversed)
            dealRow(t.open, symbol, side, QStringLiteral("in"), lots, price(t.openPrice, d), t.commission / 2, 0, 0,
                    0, {});
        // Now and then a reversal closes the position and opens the next.
        const bool next = i + 1 < closedTrades;
        const Trade* following = next ? &trades[static_cast<size_t>(i) + 1] : nullptr;
        reversed = following && i % 31 == 30 && following->buy != t.buy && following->symbol == t.symbol;
        // Now and then a position is closed in two parts: half, then the rest.
        const int firstPart = !reversed && i % 17 == 8 && t.lots100 >= 2 ? t.lots100 / 2 : 0;
        qint64 commission = t.commission - t.commission / 2, profit = t.profit;
        if (firstPart) {
            const qint64 partCommission = commission / 2, partProfit = profit / 2;
            dealRow((t.open + t.close) / 2, symbol, closeSide, QStringLiteral("out"), price(firstPart / 100.0, 2),
                    price((t.openPrice + t.closePrice) / 2, d), partCommission, 0, 0, partProfit, {});
            if (!withPositions)
                out.closedTickets.append(QString::number(deal));
            commission -= partCommission;
            profit -= partProfit;
        }
        // A reversal's deal also pays the opening half of the next position's commission.
        const qint64 opening = reversed ? following->commission / 2 : 0;
        dealRow(t.close, symbol, closeSide, reversed ? QStringLiteral("in/out") : QStringLiteral("out"),
                price((t.lots100 - firstPart) / 100.0, 2), price(t.closePrice, d), commission + opening, t.fee, t.swap,
                profit, QString::fromLatin1(t.reason));
        out.closedTickets.append(withPositions ? QString::number(t.ticket) : QString::number(deal));
        positions += mt5PositionRow(i, t, firstPart ? lots + QStringLiteral(" / ") + lots : lots, withCostAndFee);
        orders += mt5Row(i, QStringLiteral("<td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5 / %5</td>"
                                           "<td>market</td><td>%6</td><td>%7</td><td>%8</td>"
                                           "<td colspan=\"2\">filled</td><td colspan=\"3\"></td>")
                                .arg(timeText(t.open), QString::number(t.ticket), symbol, side, lots,
                                     price(t.sl, d), price(t.tp, d), timeText(t.open)));
    }

    Totals closed;
    for (const Trade& t : trades)
        closed.add(t.commission + t.fee + t.swap + t.profit);
    QString html = mt5Head(currency);
    if (withPositions) {
        html += mt5SectionHeader(QStringLiteral("Positions"),
                                 {QStringLiteral("Time"), QStringLiteral("Position"), QStringLiteral("Symbol"),
                                  QStringLiteral("Type"), QStringLiteral("Volume"), QStringLiteral("Price"),
                                  QStringLiteral("S / L"), QStringLiteral("T / P"), QStringLiteral("Time"),
                                  QStringLiteral("Price"), QStringLiteral("Commission"), QStringLiteral("Swap"),
                                  QStringLiteral("Profit")});
        html += positions;
    }
    html += mt5SectionHeader(QStringLiteral("Orders"),
                             {QStringLiteral("Open Time"), QStringLiteral("Order"), QStringLiteral("Symbol"),
                              QStringLiteral("Type"), QStringLiteral("Volume"), QStringLiteral("Price"),
                              QStringLiteral("S / L"), QStringLiteral("T / P"), QStringLiteral("Time"),
                              QStringLiteral("State"), QStringLiteral("Comment")});
    html += orders;
    html += mt5SectionHeader(QStringLiteral("Deals"), dealColumns);
    html += deals;
    html += mt5Summary(balance, closed, closedTrades)
        + QStringLiteral("    </table>\r\n</div>\r\n</body>\r\n</html>\r\n");

    out.bytes = QByteArray("\xFF\xFE", 2);
    out.bytes.append(reinterpret_cast<const char*>(html.utf16()), html.size() * 2);
    return out;
}

} // namespace statementgen
