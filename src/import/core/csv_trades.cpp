#include "import/core/csv_trades.h"

#include <QCryptographicHash>
#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTime>

#include <algorithm>
#include <map>

namespace {

using C = StatementRow::Column;

// The usual names of each field's column, as normalizedHeaderName leaves
// them: MetaTrader, cTrader, brokers' cabinets, spreadsheets, in English
// and Russian.
const std::map<CsvField, QStringList>& knownNames()
{
    static const std::map<CsvField, QStringList> names = {
        {CsvField::Ticket,
         {"ticket", "order", "orderid", "ordernumber", "orderno", "position", "positionid", "deal", "dealid", "id",
          "tradeid", "tradeno", "no", "тикет", "ордер", "номерордера", "номер", "позиция", "номерпозиции",
          "сделка", "номерсделки"}},
        {CsvField::OpenTime,
         {"opentime", "timeopen", "opendate", "opendatetime", "openingtime", "entrytime", "entrydate", "timeopened",
          "opened", "time", "date", "datetime", "времяоткрытия", "датаоткрытия", "открытие", "времявхода",
          "время", "дата", "датавремя", "открыта"}},
        {CsvField::Type,
         {"type", "side", "direction", "openingdirection", "tradeside", "action", "buysell", "dealtype", "ordertype", "tradetype", "тип",
          "направление", "операция", "типсделки"}},
        {CsvField::Size,
         {"volume", "size", "lots", "lot", "qty", "quantity", "closingquantity", "volumelots", "units", "объем", "объём", "лоты", "лот", "размер",
          "количество"}},
        {CsvField::Symbol,
         {"symbol", "item", "instrument", "pair", "market", "ticker", "asset", "currencypair", "символ",
          "инструмент", "пара", "валютнаяпара", "актив"}},
        {CsvField::PriceOpen,
         {"openprice", "priceopen", "entryprice", "openingprice", "price", "open", "ценаоткрытия", "ценавхода",
          "цена"}},
        {CsvField::StopLoss, {"sl", "stoploss", "stop", "стоплосс", "стоп", "сл"}},
        {CsvField::TakeProfit, {"tp", "takeprofit", "take", "тейкпрофит", "тейк", "тп"}},
        {CsvField::CloseTime,
         {"closetime", "timeclose", "closedate", "closedatetime", "closingtime", "exittime", "exitdate",
          "timeclosed", "closed", "времязакрытия", "датазакрытия", "закрытие", "времявыхода", "закрыта"}},
        {CsvField::PriceClose,
         {"closeprice", "priceclose", "exitprice", "closingprice", "close", "ценазакрытия", "ценавыхода"}},
        {CsvField::Commission,
         {"commission", "commissions", "comission", "fee", "fees", "комиссия", "комиссии"}},
        {CsvField::Taxes, {"taxes", "tax", "налог", "налоги"}},
        {CsvField::Swap, {"swap", "swaps", "rollover", "financing", "своп", "свопы"}},
        {CsvField::Profit,
         {"profit", "grossprofit", "gross", "pl", "pnl", "realizedpnl", "profitloss", "result", "прибыль", "профит", "результат",
          "прибыльубыток", "доход"}},
    };
    return names;
}

// Names that say "time" or "price" without saying open or close: the first
// such column is the open one, the next the close one.
bool isGeneric(CsvField field, const QString& name)
{
    static const QSet<QString> generic = {"time", "date", "datetime", "время", "дата", "датавремя", "price", "цена"};
    return (field == CsvField::OpenTime || field == CsvField::PriceOpen) && generic.contains(name);
}

bool isKnown(const QString& name)
{
    for (const auto& [field, names] : knownNames())
        if (names.contains(name))
            return true;
    return false;
}

// A known name, also under a time zone or a currency that follows it
// ("Closing Time (UTC+2)", "Profit, USD"); empty when none is known.
QString knownName(const QString& name)
{
    if (isKnown(name))
        return name;
    static const QRegularExpression suffix(
        QStringLiteral("(utc|gmt)\\d*$|(usd|eur|gbp|jpy|chf|rub|руб|aud|cad|usdt|pips|пункты|lots)$"));
    QString stripped = name;
    stripped.remove(suffix);
    return stripped != name && isKnown(stripped) ? stripped : QString();
}

CsvField closeFieldOf(CsvField open) { return open == CsvField::OpenTime ? CsvField::CloseTime : CsvField::PriceClose; }

QString removeBlanks(QString text)
{
    text.remove(u' ');
    text.remove(QChar(0x00A0)); // no-break space
    text.remove(QChar(0x202F)); // narrow no-break space
    text.remove(QChar(0x2009)); // thin space
    text.remove(u'\t');
    return text;
}

} // namespace

const std::array<CsvFieldInfo, kCsvFieldCount>& csvFields()
{
    static const std::array<CsvFieldInfo, kCsvFieldCount> fields = {{
        {CsvField::Ticket, "ticket", u"Тикет", false, C::Ticket},
        {CsvField::OpenTime, "opentime", u"Время открытия", true, C::OpenTime},
        {CsvField::Type, "type", u"Тип", true, C::Type},
        {CsvField::Size, "size", u"Объем", true, C::Size},
        {CsvField::Symbol, "symbol", u"Символ", true, C::Item},
        {CsvField::PriceOpen, "openprice", u"Цена открытия", false, C::PriceOpen},
        {CsvField::StopLoss, "sl", u"S/L", false, C::StopLoss},
        {CsvField::TakeProfit, "tp", u"T/P", false, C::TakeProfit},
        {CsvField::CloseTime, "closetime", u"Время закрытия", false, C::CloseTime},
        {CsvField::PriceClose, "closeprice", u"Цена закрытия", false, C::PriceClose},
        {CsvField::Commission, "commission", u"Комиссия", false, C::Commission},
        {CsvField::Taxes, "taxes", u"Налоги", false, C::Taxes},
        {CsvField::Swap, "swap", u"Своп", false, C::Swap},
        {CsvField::Profit, "profit", u"Прибыль", true, C::Profit},
    }};
    return fields;
}

const CsvFieldInfo& csvField(CsvField field) { return csvFields()[static_cast<std::size_t>(field)]; }

std::optional<CsvField> csvFieldByKey(const QString& key)
{
    const QString k = normalizedHeaderName(key);
    for (const CsvFieldInfo& info : csvFields())
        if (k == QLatin1String(info.key))
            return info.field;
    return std::nullopt;
}

QStringList CsvMapping::missingRequired() const
{
    QStringList missing;
    for (const CsvFieldInfo& info : csvFields())
        if (info.required && (*this)[info.field] < 0)
            missing << QString::fromUtf16(info.label);
    return missing;
}

QString CsvMapping::toText() const
{
    QStringList parts;
    for (const CsvFieldInfo& info : csvFields())
        if ((*this)[info.field] >= 0)
            parts << QStringLiteral("%1=%2").arg(QLatin1String(info.key)).arg((*this)[info.field] + 1);
    return parts.join(u',');
}

std::optional<CsvMapping> CsvMapping::fromText(const QString& text, int columnCount)
{
    CsvMapping mapping;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            return std::nullopt;
        const std::optional<CsvField> field = csvFieldByKey(part.left(eq));
        bool ok = false;
        const int column = part.mid(eq + 1).toInt(&ok) - 1;
        if (!field || !ok || column < 0 || column >= columnCount)
            return std::nullopt;
        mapping[*field] = column;
    }
    return mapping;
}

QString normalizedHeaderName(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            out += c.toLower();
        else if (c == u'№' || c == u'#')
            out += QStringLiteral("no");
    }
    out.replace(u'ё', u'е');
    return out;
}

CsvMapping guessCsvMapping(const QStringList& header)
{
    CsvMapping mapping;
    for (int column = 0; column < header.size(); ++column) {
        const QString name = knownName(normalizedHeaderName(header[column]));
        if (name.isEmpty())
            continue;
        for (const auto& [field, names] : knownNames()) {
            if (!names.contains(name))
                continue;
            if (mapping[field] < 0) {
                mapping[field] = column;
            } else if (isGeneric(field, name) && mapping[closeFieldOf(field)] < 0) {
                mapping[closeFieldOf(field)] = column;
            }
            break;
        }
    }
    return mapping;
}

std::optional<QString> applyMapOption(CsvMapping& mapping, const QString& option, const QStringList& header)
{
    for (const QString& part : option.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            return QStringLiteral("«%1»: нужно ПОЛЕ=СТОЛБЕЦ").arg(part);
        const std::optional<CsvField> field = csvFieldByKey(part.left(eq));
        if (!field) {
            QStringList keys;
            for (const CsvFieldInfo& info : csvFields())
                keys << QLatin1String(info.key);
            return QStringLiteral("нет поля «%1»; поля: %2").arg(part.left(eq).trimmed(), keys.join(QStringLiteral(", ")));
        }
        const QString column = part.mid(eq + 1).trimmed();
        if (column.isEmpty() || column == QLatin1String("-")) {
            mapping[*field] = -1;
            continue;
        }
        bool number = false;
        const int n = column.toInt(&number);
        int found = -1;
        if (number && n >= 1 && n <= header.size()) {
            found = n - 1;
        } else {
            const QString wanted = normalizedHeaderName(column);
            for (int i = 0; i < header.size() && found < 0; ++i)
                if (normalizedHeaderName(header[i]) == wanted)
                    found = i;
        }
        if (found < 0)
            return QStringLiteral("в заголовке нет столбца «%1»").arg(column);
        mapping[*field] = found;
    }
    return std::nullopt;
}

std::optional<QString> csvNumber(const QString& cell)
{
    QString t = removeBlanks(cell);
    t.replace(QChar(0x2212), u'-'); // the typographic minus
    if (t.startsWith(u'+'))
        t.remove(0, 1);
    bool negative = false;
    if (t.startsWith(u'-')) {
        negative = true;
        t.remove(0, 1);
    }
    // With both a point and a comma the last one is the decimal mark and the
    // other separates thousands ("1,234.50", "1.234,50").
    const qsizetype point = t.lastIndexOf(u'.'), comma = t.lastIndexOf(u',');
    if (point >= 0 && comma >= 0) {
        const QChar thousands = point > comma ? u',' : u'.';
        t.remove(thousands);
    }
    t.replace(u',', u'.');
    if (t.count(u'.') > 1 || t.isEmpty())
        return std::nullopt;
    if (t.startsWith(u'.'))
        t.prepend(u'0');
    if (t.endsWith(u'.'))
        t.chop(1);
    for (const QChar c : t)
        if (!(c.isDigit() && c.unicode() < 128) && c != u'.')
            return std::nullopt;
    if (t.isEmpty() || t.size() > 26)
        return std::nullopt;
    return negative ? u'-' + t : t;
}

std::optional<QString> csvTime(const QString& cell)
{
    static const QRegularExpression ymd(QStringLiteral(
        R"(^(\d{4})[.\-/](\d{1,2})[.\-/](\d{1,2})(?:[ T]+(\d{1,2}):(\d{2})(?::(\d{2})(?:[.,]\d+)?)?)?(?:Z|[+\-]\d{2}:?\d{2})?$)"));
    static const QRegularExpression dmy(QStringLiteral(
        R"(^(\d{1,2})\.(\d{1,2})\.(\d{4})(?:[ T]+(\d{1,2}):(\d{2})(?::(\d{2})(?:[.,]\d+)?)?)?$)"));
    const QString t = cell.trimmed();
    int year = 0, month = 0, day = 0;
    QRegularExpressionMatch m = ymd.match(t);
    if (m.hasMatch()) {
        year = m.captured(1).toInt();
        month = m.captured(2).toInt();
        day = m.captured(3).toInt();
    } else {
        m = dmy.match(t);
        if (!m.hasMatch())
            return std::nullopt;
        day = m.captured(1).toInt();
        month = m.captured(2).toInt();
        year = m.captured(3).toInt();
    }
    // A trade has a time of day; a bare date is not taken for midnight.
    if (m.captured(4).isEmpty())
        return std::nullopt;
    const QDate date(year, month, day);
    const int hour = m.captured(4).toInt(), minute = m.captured(5).toInt();
    const bool seconds = !m.captured(6).isEmpty();
    const QTime time(hour, minute, seconds ? m.captured(6).toInt() : 0);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return date.toString(QStringLiteral("yyyy.MM.dd")) + u' '
        + time.toString(seconds ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm"));
}

std::optional<QString> csvTradeType(const QString& cell)
{
    static const QSet<QString> buy = {"buy", "long", "b", "покупка", "купить", "лонг", "buymarket"};
    static const QSet<QString> sell = {"sell", "short", "s", "продажа", "продать", "шорт", "sellmarket"};
    const QString t = normalizedHeaderName(cell);
    if (buy.contains(t))
        return QStringLiteral("buy");
    if (sell.contains(t))
        return QStringLiteral("sell");
    return std::nullopt;
}

QString derivedTicket(const QString& symbol, const QString& openTime, const QString& type, const QString& size,
                      int occurrence)
{
    // "0.1" and "0.10" are the same size.
    const std::optional<QString> number = csvNumber(size);
    const double lots = number ? number->toDouble() : 0.0;
    const QString sizeKey = number ? QString::number(lots, 'g', 15) : size.trimmed();
    QString key = symbol.trimmed().toUpper() + u'\n' + openTime + u'\n' + type.toLower() + u'\n' + sizeKey;
    if (occurrence > 1)
        key += u'\n' + QString::number(occurrence);
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("csv-") + QString::fromLatin1(hash.toHex().left(12));
}

QString CsvProblem::describe() const
{
    return text.isEmpty() ? QStringLiteral("Строка %1, столбец «%2»: %3").arg(line).arg(column, reason)
                          : QStringLiteral("Строка %1, столбец «%2»: «%3» %4").arg(line).arg(column, text, reason);
}

std::vector<int> CsvTrades::problemRows() const
{
    std::vector<int> rows;
    for (const CsvProblem& p : problems)
        rows.push_back(p.row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<StatementRow> CsvTrades::goodRows() const
{
    const std::vector<int> bad = problemRows();
    std::vector<StatementRow> good;
    good.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (!std::binary_search(bad.begin(), bad.end(), static_cast<int>(r)))
            good.push_back(rows[r]);
    return good;
}

QString CsvTrades::problemsLine() const
{
    if (problems.empty())
        return {};
    return QStringLiteral("Строк с ошибками: %1, они не будут скопированы. %2")
        .arg(badRowCount())
        .arg(problems.front().describe());
}

CsvTrades readCsvTrades(const CsvTable& table, const CsvMapping& mapping)
{
    CsvTrades out;
    out.rows.reserve(table.rows.size());
    QHash<QString, int> seen; // derived tickets given so far
    int number = 0;
    for (const CsvTable::Row& source : table.rows) {
        const int r = static_cast<int>(out.rows.size());
        StatementRow row;
        row[C::Number] = QString::number(++number);
        bool bad = false;
        const auto problem = [&](CsvField field, const QString& text, const QString& reason) {
            const int column = mapping[field];
            out.problems.push_back({r, source.line, table.header.value(column), text.trimmed(), reason});
            bad = true;
        };
        for (const CsvFieldInfo& info : csvFields()) {
            const int column = mapping[info.field];
            const QString cell = column >= 0 ? source.cells.value(column).trimmed() : QString();
            if (cell.isEmpty()) {
                if (info.required)
                    problem(info.field, QString(),
                            column < 0 ? QStringLiteral("столбец не выбран, а поле обязательно")
                            : column >= source.cells.size() ? QStringLiteral("нет ячейки в строке")
                                                            : QStringLiteral("пустая ячейка, а поле обязательно"));
                // What a statement writes for a value it does not have.
                const bool zero = info.field != CsvField::Ticket && info.field != CsvField::Symbol
                    && info.field != CsvField::OpenTime && info.field != CsvField::Type;
                row[info.column] = zero ? QStringLiteral("0") : QString();
                continue;
            }
            std::optional<QString> value;
            switch (info.field) {
            case CsvField::Ticket:
            case CsvField::Symbol:
                value = cell;
                break;
            case CsvField::OpenTime:
            case CsvField::CloseTime:
                value = csvTime(cell);
                if (!value)
                    problem(info.field, cell, QStringLiteral("не является датой и временем"));
                break;
            case CsvField::Type:
                value = csvTradeType(cell);
                if (!value)
                    problem(info.field, cell, QStringLiteral("не является типом сделки (buy, sell, long, short)"));
                break;
            default:
                value = csvNumber(cell);
                if (!value)
                    problem(info.field, cell, QStringLiteral("не является числом"));
                break;
            }
            row[info.column] = value.value_or(cell);
        }
        if (!bad && row[C::Ticket].isEmpty()) {
            const QString first = derivedTicket(row[C::Item], row[C::OpenTime], row[C::Type], row[C::Size]);
            const int occurrence = ++seen[first];
            row[C::Ticket] = occurrence == 1
                ? first
                : derivedTicket(row[C::Item], row[C::OpenTime], row[C::Type], row[C::Size], occurrence);
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

QString csvReconciliationLine()
{
    return QStringLiteral("Файл CSV: в нем нет итогов счета, сверка с итогами не выполняется");
}
