#include "import/core/statement_facts.h"

#include "db/core/cp1251.h"
#include "import/core/statement_table.h"

#include <QStringList>

#include <cmath>
#include <cstdlib>

namespace {

using statement_table::Cell;
using statement_table::findCi;
using statement_table::Row;

// The text a cell shows: tags and comments left out, &nbsp; and the
// common entities as characters, runs of blanks as one, trimmed.
std::string plainText(std::string_view markup)
{
    std::string out;
    for (size_t i = 0; i < markup.size();) {
        const char c = markup[i];
        if (c == '<') {
            const bool comment = markup.substr(i, 4) == "<!--";
            const size_t end = comment ? markup.find("-->", i) : markup.find('>', i);
            i = end == std::string_view::npos ? markup.size() : end + (comment ? 3 : 1);
            out += ' ';
            continue;
        }
        if (c == '&') {
            static constexpr std::pair<std::string_view, char> kEntities[] = {
                {"&nbsp;", ' '}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
            bool replaced = false;
            for (const auto& [entity, ch] : kEntities) {
                if (findCi(markup.substr(i, entity.size()), entity) == 0) {
                    out += ch;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
        }
        out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
        ++i;
    }
    std::string collapsed;
    for (const char c : out) {
        if (c == ' ' && (collapsed.empty() || collapsed.back() == ' '))
            continue;
        collapsed += c;
    }
    while (!collapsed.empty() && collapsed.back() == ' ')
        collapsed.pop_back();
    return collapsed;
}

QString qtext(std::string_view markup)
{
    const std::string t = plainText(markup);
    return cp1251::decode(t.data(), static_cast<qsizetype>(t.size()));
}

// The value of an attribute ("colspan=2", colspan="2"), or empty.
std::string_view attribute(std::string_view attrs, std::string_view name)
{
    const size_t at = findCi(attrs, name);
    if (at == std::string_view::npos)
        return {};
    size_t i = at + name.size();
    while (i < attrs.size() && attrs[i] == ' ')
        ++i;
    if (i >= attrs.size() || attrs[i] != '=')
        return {};
    ++i;
    while (i < attrs.size() && attrs[i] == ' ')
        ++i;
    if (i < attrs.size() && (attrs[i] == '"' || attrs[i] == '\'')) {
        const char quote = attrs[i];
        const size_t end = attrs.find(quote, i + 1);
        return attrs.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
    }
    size_t end = i;
    while (end < attrs.size() && attrs[end] != ' ' && attrs[end] != '>')
        ++end;
    return attrs.substr(i, end - i);
}

bool isTime(const std::string& t)
{
    // yyyy.mm.dd, then a time or nothing
    if (t.size() < 10)
        return false;
    for (size_t i = 0; i < 10; ++i) {
        const bool digit = t[i] >= '0' && t[i] <= '9';
        if ((i == 4 || i == 7) ? t[i] != '.' : !digit)
            return false;
    }
    return true;
}

bool isDigits(const std::string& t)
{
    return !t.empty() && t.find_first_not_of("0123456789") == std::string::npos;
}

// A label and the value beside it in a block of totals: the label's text
// ends in ':' and the value is written bold.
struct Pair {
    std::optional<qint64> cents;
    std::string text;
    bool valueSpans = false; // the value cell spans columns
};

std::vector<Pair> pairsOf(const Row& row, bool valueMustBeMspt)
{
    std::vector<Pair> pairs;
    for (size_t i = 0; i + 1 < row.cells.size(); ++i) {
        const Cell& label = row.cells[i];
        const Cell& value = row.cells[i + 1];
        if (label.header || value.header)
            continue;
        // The cheap tests first: most rows are trades, with no bold values.
        if (findCi(value.inner, "<b") == std::string_view::npos)
            continue;
        if (valueMustBeMspt && findCi(value.attrs, "mspt") == std::string_view::npos)
            continue;
        const std::string labelText = plainText(label.inner);
        if (labelText.empty() || labelText.back() != ':')
            continue;
        Pair p;
        p.text = plainText(value.inner);
        p.cents = parseStatementCents(p.text);
        p.valueSpans = !attribute(value.attrs, "colspan").empty();
        pairs.push_back(std::move(p));
        ++i;
    }
    return pairs;
}

std::optional<double> ratioOf(const std::string& text)
{
    const std::optional<qint64> cents = parseStatementCents(text);
    return cents ? std::optional<double>(static_cast<double>(*cents) / 100.0) : std::nullopt;
}

// ---------------------------------------------------------------------------
// MetaTrader 4

// The company's name stands large above the table.
QString mt4Company(std::string_view text)
{
    if (const size_t big = findCi(text, "20pt"); big != std::string_view::npos) {
        const size_t start = text.find('>', big);
        const size_t end = findCi(text, "</div", start);
        if (start != std::string_view::npos && end != std::string_view::npos)
            return qtext(text.substr(start + 1, end - start - 1));
    }
    return {};
}

// Reads the facts row by row, in one pass over the statement.
class Mt4Reader {
public:
    explicit Mt4Reader(StatementFacts& f)
        : f(f)
    {
        f.hasCashTable = true;
    }
    void read(const Row& row)
    {
        if (!m_headerRead)
            readHeader(row);
        readCash(row);
        readTotals(row);
    }
    void finish();

private:
    // The header: the first row of three or more "Label: value" cells,
    // account, name and currency first (the leverage is not always there).
    void readHeader(const Row& row)
    {
        if (row.cells.size() < 3)
            return;
        QStringList values;
        for (size_t i = 0; i < 3; ++i) {
            const QString cell = qtext(row.cells[i].inner);
            const qsizetype colon = cell.indexOf(u':');
            if (colon < 0)
                break;
            values << cell.mid(colon + 1).trimmed();
        }
        if (values.size() < 3)
            return;
        f.account = values[0];
        f.name = values[1];
        f.currency = values[2];
        m_headerRead = true;
    }

    // Cash rows among the closed transactions: ticket, time, type, one wide
    // comment cell, the amount.
    void readCash(const Row& row)
    {
        if (row.cells.size() != 5 || attribute(row.cells[3].attrs, "colspan") != "10")
            return;
        const std::string ticket = plainText(row.cells[0].inner), time = plainText(row.cells[1].inner);
        const std::optional<qint64> amount = parseStatementCents(plainText(row.cells[4].inner));
        if (!isDigits(ticket) || !isTime(time) || !amount)
            return;
        CashRow cash;
        cash.ticket = QString::fromLatin1(ticket);
        cash.time = QString::fromLatin1(time);
        cash.kind = qtext(row.cells[2].inner).toLower() == QLatin1String("credit") ? QStringLiteral("credit")
                                                                                  : QStringLiteral("balance");
        cash.comment = qtext(row.cells[3].inner);
        if (cash.comment.isEmpty())
            cash.comment = qtext(attribute(row.cells[0].attrs, "title"));
        cash.cents = *amount;
        f.cash.push_back(std::move(cash));
    }

    // The totals: rows of two or more labels each followed by a bold amount.
    void readTotals(const Row& row)
    {
        std::vector<Pair> pairs = pairsOf(row, true);
        if (pairs.size() >= 2)
            m_blocks.push_back(std::move(pairs));
    }

    StatementFacts& f;
    bool m_headerRead = false;
    std::vector<std::vector<Pair>> m_blocks;
};

// The summary comes first (deposit and credit; closed trade P/L; the
// balance), then the details (gross profit, gross loss and net profit; the
// profit factor).
void Mt4Reader::finish()
{
    const auto& blocks = m_blocks;
    if (blocks.size() < 3)
        return;
    f.deposits = blocks[0][0].cents;
    f.credit = blocks[0][1].cents;
    f.closedPl = blocks[1][0].cents;
    f.balance = blocks[2][0].cents;
    if (blocks.size() >= 4 && blocks[3].size() >= 3) {
        f.grossProfit = blocks[3][0].cents;
        f.grossLoss = blocks[3][1].cents;
        if (blocks.size() >= 5)
            f.profitFactor = ratioOf(blocks[4][0].text);
    }
}

// ---------------------------------------------------------------------------
// MetaTrader 5

// Deal rows of 13, 14 or 15 cells: the positions of the cells read here.
struct DealCells {
    int type = 3, direction = 4, profit, comment;
};

std::optional<DealCells> dealCells(const Row& row)
{
    const size_t n = row.cells.size();
    if (n < 13 || n > 15)
        return std::nullopt;
    for (const Cell& c : row.cells)
        if (c.header || findCi(c.attrs, "nowrap") == std::string_view::npos)
            return std::nullopt;
    DealCells d;
    d.profit = static_cast<int>(n) - 3;
    d.comment = static_cast<int>(n) - 1;
    return d;
}

// Reads the facts row by row, in one pass over the report.
class Mt5Reader {
public:
    explicit Mt5Reader(StatementFacts& f)
        : f(f)
    {
    }
    void read(const Row& row)
    {
        readHeader(row);
        readCash(row);
        readTotals(row);
    }
    void finish();

private:
    // The header: rows of a label and a bold value in <th> cells. The
    // account's value is "number (currency, server, ...)"; the name stands
    // above it and the company below.
    void readHeader(const Row& row)
    {
        if (row.cells.size() != 2 || !row.cells[0].header || !row.cells[1].header)
            return;
        const QString value = qtext(row.cells[1].inner);
        if (m_accountAt < 0) {
            const qsizetype open = value.indexOf(u'(');
            const QString number = value.left(open).trimmed();
            if (open > 0 && !number.isEmpty() && std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); })) {
                m_accountAt = static_cast<int>(m_headerValues.size());
                f.account = number;
                f.currency = value.mid(open + 1).section(u',', 0, 0).section(u')', 0, 0).trimmed();
            }
        }
        m_headerValues.push_back(value);
    }

    // Deals without a symbol and a direction move cash.
    void readCash(const Row& row)
    {
        const std::optional<DealCells> d = dealCells(row);
        if (!d)
            return;
        const std::string time = plainText(row.cells[0].inner), deal = plainText(row.cells[1].inner);
        if (!isTime(time) || !isDigits(deal))
            return;
        f.hasCashTable = true;
        if (!plainText(row.cells[2].inner).empty() || !plainText(row.cells[static_cast<size_t>(d->direction)].inner).empty())
            return;
        const std::optional<qint64> amount = parseStatementCents(plainText(row.cells[static_cast<size_t>(d->profit)].inner));
        if (!amount)
            return;
        CashRow cash;
        cash.ticket = QString::fromLatin1(deal);
        cash.time = QString::fromLatin1(time);
        cash.kind = qtext(row.cells[static_cast<size_t>(d->type)].inner).toLower() == QLatin1String("credit")
                        ? QStringLiteral("credit")
                        : QStringLiteral("balance");
        cash.comment = qtext(row.cells[static_cast<size_t>(d->comment)].inner);
        cash.cents = *amount;
        f.cash.push_back(std::move(cash));
    }

    // The totals: first the account's state, each value spanning two
    // columns (balance, then credit facility), then the results, whose
    // values stand in single cells (net profit, gross profit, gross loss;
    // then the profit factor).
    void readTotals(const Row& row)
    {
        std::vector<Pair> pairs = pairsOf(row, false);
        if (pairs.empty())
            return;
        if (pairs[0].valueSpans) {
            if (m_results.empty())
                m_state.push_back(std::move(pairs));
        } else if (!m_state.empty()) {
            m_results.push_back(std::move(pairs));
        }
    }

    StatementFacts& f;
    std::vector<QString> m_headerValues;
    int m_accountAt = -1;
    std::vector<std::vector<Pair>> m_state, m_results;
};

void Mt5Reader::finish()
{
    if (m_accountAt > 0)
        f.name = m_headerValues[static_cast<size_t>(m_accountAt) - 1];
    if (m_accountAt >= 0 && static_cast<size_t>(m_accountAt) + 1 < m_headerValues.size())
        f.company = m_headerValues[static_cast<size_t>(m_accountAt) + 1];
    if (!m_state.empty())
        f.balance = m_state[0][0].cents;
    if (m_state.size() >= 2)
        f.credit = m_state[1][0].cents;
    if (!m_results.empty() && m_results[0].size() >= 3) {
        f.closedPl = m_results[0][0].cents;
        f.grossProfit = m_results[0][1].cents;
        f.grossLoss = m_results[0][2].cents;
        if (m_results.size() >= 2)
            f.profitFactor = ratioOf(m_results[1][0].text);
    }
}

bool isCurrencyCode(const QString& c)
{
    return c.size() == 3 && std::all_of(c.begin(), c.end(), [](QChar ch) { return ch >= u'A' && ch <= u'Z'; });
}

} // namespace

std::optional<qint64> parseStatementCents(std::string_view cell)
{
    std::string digits;
    bool negative = false, point = false;
    int decimals = 0;
    size_t i = 0;
    while (i < cell.size() && cell[i] == ' ')
        ++i;
    if (i < cell.size() && cell[i] == '-') {
        negative = true;
        ++i;
    }
    for (; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            if (point)
                ++decimals;
        } else if (c == '.' && !point && !digits.empty()) {
            point = true;
        } else if (c == ' ' || static_cast<unsigned char>(c) == 0xA0) {
            if (point)
                break; // blanks only between groups of the whole part
        } else if (c == '&' && cell.substr(i, 6) == "&nbsp;") {
            i += 5;
        } else {
            return std::nullopt;
        }
    }
    for (; i < cell.size(); ++i)
        if (cell[i] != ' ')
            return std::nullopt;
    if (digits.empty() || decimals > 8 || digits.size() > 17)
        return std::nullopt;
    // Hundredths, rounding a third decimal and beyond half away from zero.
    qint64 value = 0;
    const size_t whole = digits.size() - static_cast<size_t>(decimals);
    for (size_t k = 0; k < whole; ++k)
        value = value * 10 + (digits[k] - '0');
    int hundredths = 0;
    for (int k = 0; k < 2; ++k)
        hundredths = hundredths * 10 + (k < decimals ? digits[whole + static_cast<size_t>(k)] - '0' : 0);
    value = value * 100 + hundredths;
    if (decimals > 2 && digits[whole + 2] >= '5')
        ++value;
    return negative ? -value : value;
}

StatementFacts readStatementFacts(const QByteArray& text, ReportKind kind)
{
    StatementFacts f;
    const std::string_view all(text.constData(), static_cast<size_t>(text.size()));
    const auto readRows = [&](auto& reader) {
        statement_table::forEachRow(all, [&](const Row& row) { reader.read(row); });
        reader.finish();
    };
    if (kind == ReportKind::MetaTrader4) {
        f.company = mt4Company(all);
        Mt4Reader reader(f);
        readRows(reader);
    } else if (kind == ReportKind::MetaTrader5) {
        Mt5Reader reader(f);
        readRows(reader);
    }
    if (!isCurrencyCode(f.currency))
        f.currency.clear();
    return f;
}

QString centsPlain(qint64 cents)
{
    const qint64 a = std::llabs(cents);
    return (cents < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 100) + u'.'
        + QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString centsText(qint64 cents) { return centsPlain(cents).replace(u'.', u','); }

Reconciliation reconcile(const StatementFacts& facts, const std::vector<StatementRow>& trades)
{
    Reconciliation r;
    r.trades = static_cast<int>(trades.size());
    qint64 net = 0;
    bool readable = true;
    static constexpr std::pair<int, const char*> kMoney[] = {{StatementRow::Profit, "Profit"},
                                                             {StatementRow::Commission, "Commission"},
                                                             {StatementRow::Taxes, "Taxes"},
                                                             {StatementRow::Swap, "Swap"}};
    QByteArray cell; // reused from cell to cell
    for (const StatementRow& t : trades) {
        for (const auto& [column, name] : kMoney) {
            cp1251::encodeInto(t[column], cell);
            const std::optional<qint64> cents =
                parseStatementCents(std::string_view(cell.constData(), static_cast<size_t>(cell.size())));
            if (cents) {
                net += *cents;
            } else if (readable) {
                readable = false;
                r.unreadable = QStringLiteral("сделка %1, %2 «%3»").arg(t[StatementRow::Ticket], QLatin1String(name), t[column]);
            }
        }
    }
    if (readable)
        r.tradesNet = net;
    if (facts.hasCashTable) {
        qint64 cash = 0;
        for (const CashRow& c : facts.cash)
            if (c.kind != QLatin1String("credit"))
                cash += c.cents;
        r.cashTotal = cash;
    }
    r.deposits = facts.deposits ? facts.deposits : r.cashTotal;
    r.closedPl = facts.closedPl;
    if (facts.balance && r.deposits && facts.closedPl)
        r.openingBalance = *facts.balance - *r.deposits - *facts.closedPl;
    const bool cashMatches = !facts.deposits || !r.cashTotal || *facts.deposits == *r.cashTotal;
    r.summary = facts.hasSummary();
    r.statementDeposits = facts.deposits;
    r.reconciled = r.summary && r.tradesNet && *r.tradesNet == *facts.closedPl && cashMatches;
    return r;
}

namespace {

// What differs, each part a phrase; empty when nothing does.
QStringList differences(const Reconciliation& r)
{
    QStringList parts;
    if (!r.summary) {
        parts << QStringLiteral("итогов в отчете нет (файл может быть обрезан при сохранении или загрузке)");
        return parts;
    }
    if (!r.tradesNet) {
        parts << QStringLiteral("не читается %1").arg(r.unreadable);
    } else if (*r.tradesNet != *r.closedPl) {
        parts << QStringLiteral("сделки дают %1, в отчете %2 (разница %3)")
                     .arg(centsText(*r.tradesNet), centsText(*r.closedPl), centsText(*r.tradesNet - *r.closedPl));
    }
    if (r.statementDeposits && r.cashTotal && *r.statementDeposits != *r.cashTotal)
        parts << QStringLiteral("пополнения и снятия дают %1, в отчете %2")
                     .arg(centsText(*r.cashTotal), centsText(*r.statementDeposits));
    return parts;
}

} // namespace

QString Reconciliation::line() const
{
    if (reconciled) {
        QStringList parts{QStringLiteral("закрытые сделки %1").arg(centsText(*closedPl))};
        if (deposits)
            parts << QStringLiteral("пополнения %1").arg(centsText(*deposits));
        if (openingBalance)
            parts << QStringLiteral("начальный баланс %1").arg(centsText(*openingBalance));
        return QStringLiteral("Сверка с отчетом: сходится до цента (%1)").arg(parts.join(QStringLiteral(", ")));
    }
    if (!summary)
        return QStringLiteral("Сверка с отчетом: итогов в отчете нет (файл может быть обрезан), сверить нельзя");
    return QStringLiteral("Сверка с отчетом: не сходится: %1").arg(differences(*this).join(QStringLiteral("; ")));
}

QString Reconciliation::reason() const
{
    if (reconciled)
        return {};
    return differences(*this).join(QStringLiteral("; "));
}
