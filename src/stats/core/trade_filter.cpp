#include "stats/core/trade_filter.h"

#include "db/core/cp1251.h"
#include "stats/core/report_trades.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr ReportTrades::Column kFieldColumns[kAnnotationFieldCount] = {
    ReportTrades::Strategia, ReportTrades::Verno, ReportTrades::Taktika,
    ReportTrades::Pravilo2,  ReportTrades::Psixo, ReportTrades::Ocenka};

const char* const kFieldKeys[kAnnotationFieldCount] = {"timeframe", "market", "entry", "exit", "errors", "rating"};

// For one grouped column: per text number of ReportTrades::texts(), whether
// the filter takes it; the last slot is for NULL, which reads as empty.
std::vector<char> takenTexts(const ReportTrades& trades, const QStringList& wanted)
{
    const auto& texts = trades.texts();
    std::vector<char> taken(texts.size() + 1, 0);
    for (const QString& w : wanted) {
        if (w.isEmpty())
            taken.back() = 1;
        if (!cp1251::canEncode(w))
            continue;
        const QByteArray bytes = cp1251::encode(w);
        const std::string_view key(bytes.constData(), static_cast<size_t>(bytes.size()));
        for (size_t i = 0; i < texts.size(); ++i) {
            if (texts[i] == key)
                taken[i] = 1;
        }
    }
    return taken;
}

bool takes(const std::vector<char>& taken, int text) { return taken[text < 0 ? taken.size() - 1 : static_cast<size_t>(text)] != 0; }

QJsonArray toArray(const QStringList& list)
{
    QJsonArray a;
    for (const QString& s : list)
        a.append(s);
    return a;
}

QStringList fromArray(const QJsonValue& v)
{
    QStringList list;
    for (const QJsonValue& s : v.toArray())
        list.append(s.toString());
    return list;
}

bool isEmptyText(const ReportTrades& trades, int text)
{
    return text < 0 || trades.texts()[static_cast<size_t>(text)].empty();
}

// Errors: a trade has each error that one of its two fields names, and is
// one "without" (the empty text) when neither names one.
bool takesAnnotation(const ReportTrades& trades, int row, AnnotationField field, const std::vector<char>& taken)
{
    int texts[2], n = 0;
    annotationTexts(trades, row, field, texts, n);
    if (field != AnnotationField::Errors)
        return takes(taken, texts[0]);
    bool none = true;
    for (int k = 0; k < n; ++k) {
        if (isEmptyText(trades, texts[k]))
            continue;
        none = false;
        if (takes(taken, texts[k]))
            return true;
    }
    return none && taken.back();
}

} // namespace

void annotationTexts(const ReportTrades& trades, int row, AnnotationField field, int out[2], int& count)
{
    count = 0;
    out[count++] = trades.category(row, kFieldColumns[static_cast<int>(field)]);
    if (field == AnnotationField::Errors)
        out[count++] = trades.category(row, ReportTrades::Pravilo);
}

bool TradeFilter::isEmpty() const { return *this == TradeFilter(); }

std::vector<int> selectTrades(const ReportTrades& trades, const TradeFilter& f)
{
    std::vector<int> rows;
    if (f.isEmpty()) {
        rows = trades.timeOrder();
        return rows;
    }
    rows.reserve(trades.timeOrder().size());
    const int from = f.from.isValid() ? static_cast<int>(f.from.toJulianDay()) : ReportTrades::kNoDay;
    const int to = f.to.isValid() ? static_cast<int>(f.to.toJulianDay()) : 0;
    const bool byDay = f.from.isValid() || f.to.isValid() || (f.weekdays & TradeFilter::kAllWeekdays) != TradeFilter::kAllWeekdays;
    const bool byHour = (f.hours & TradeFilter::kAllHours) != TradeFilter::kAllHours;

    std::vector<char> symbols;
    if (!f.symbols.isEmpty())
        symbols = takenTexts(trades, f.symbols);
    std::vector<char> fields[kAnnotationFieldCount];
    for (int i = 0; i < kAnnotationFieldCount; ++i) {
        if (!f.annotations[i].isEmpty())
            fields[i] = takenTexts(trades, f.annotations[i]);
    }

    for (const int row : trades.timeOrder()) {
        if (byDay) {
            const int day = trades.openDay(row);
            if (day == ReportTrades::kNoDay)
                continue;
            if ((f.from.isValid() && day < from) || (f.to.isValid() && day >= to))
                continue;
            if (!(f.weekdays & (1u << (trades.openWeekday(row) - 1))))
                continue;
        }
        if (byHour) {
            const int hour = trades.openHour(row);
            if (hour < 0 || !(f.hours & (1u << hour)))
                continue;
        }
        if (f.direction != TradeFilter::Direction::Any
            && trades.side(row) != (f.direction == TradeFilter::Direction::Buy ? TradeSide::Buy : TradeSide::Sell))
            continue;
        if (!symbols.empty() && !takes(symbols, trades.category(row, ReportTrades::Item)))
            continue;
        bool passes = true;
        for (int i = 0; i < kAnnotationFieldCount && passes; ++i) {
            if (!fields[i].empty())
                passes = takesAnnotation(trades, row, static_cast<AnnotationField>(i), fields[i]);
        }
        if (passes)
            rows.push_back(row);
    }
    return rows;
}

QByteArray TradeFilter::toJson() const { return QJsonDocument(toJsonObject()).toJson(QJsonDocument::Compact); }

QJsonObject TradeFilter::toJsonObject() const
{
    QJsonObject o;
    if (from.isValid())
        o[QStringLiteral("from")] = from.toString(Qt::ISODate);
    if (to.isValid())
        o[QStringLiteral("to")] = to.toString(Qt::ISODate);
    if (!symbols.isEmpty())
        o[QStringLiteral("symbols")] = toArray(symbols);
    if (direction != Direction::Any)
        o[QStringLiteral("direction")] = direction == Direction::Buy ? QStringLiteral("buy") : QStringLiteral("sell");
    if (weekdays != kAllWeekdays)
        o[QStringLiteral("weekdays")] = static_cast<int>(weekdays);
    if (hours != kAllHours)
        o[QStringLiteral("hours")] = static_cast<int>(hours);
    for (int i = 0; i < kAnnotationFieldCount; ++i) {
        if (!annotations[i].isEmpty())
            o[QLatin1String(kFieldKeys[i])] = toArray(annotations[i]);
    }
    return o;
}

std::optional<TradeFilter> TradeFilter::fromJson(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return fromJsonObject(doc.object());
}

std::optional<TradeFilter> TradeFilter::fromJsonObject(const QJsonObject& o)
{
    TradeFilter f;
    const auto date = [&o](const char* key, QDate& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        out = QDate::fromString(v.toString(), Qt::ISODate);
        return out.isValid();
    };
    const auto mask = [&o](const char* key, quint32 all, quint32& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        const qint64 m = v.toInteger(-1);
        if (m < 0 || (static_cast<quint64>(m) & ~static_cast<quint64>(all)) != 0)
            return false;
        out = static_cast<quint32>(m);
        return true;
    };
    if (!date("from", f.from) || !date("to", f.to) || !mask("weekdays", kAllWeekdays, f.weekdays)
        || !mask("hours", kAllHours, f.hours))
        return std::nullopt;
    f.symbols = fromArray(o.value(QStringLiteral("symbols")));
    const QString direction = o.value(QStringLiteral("direction")).toString();
    if (direction == QLatin1String("buy"))
        f.direction = Direction::Buy;
    else if (direction == QLatin1String("sell"))
        f.direction = Direction::Sell;
    else if (!direction.isEmpty())
        return std::nullopt;
    for (int i = 0; i < kAnnotationFieldCount; ++i)
        f.annotations[i] = fromArray(o.value(QLatin1String(kFieldKeys[i])));
    return f;
}
