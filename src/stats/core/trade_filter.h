#pragma once

#include <QDate>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class ReportTrades;

// The annotation fields a trader filters and breaks results down by. Errors
// are the psychological and the technical one together: a trade has the
// error when either field names it.
enum class AnnotationField { Timeframe, Market, Entry, Exit, Errors, Rating };
inline constexpr int kAnnotationFieldCount = 6;

// Which trades a what-if looks at. Every part left at its default takes
// every trade; the parts together take a trade that passes each of them.
struct TradeFilter {
    enum class Direction { Any, Buy, Sell };
    static constexpr quint32 kAllWeekdays = 0x7f;     // bit d - 1 for weekday d, Monday = 1
    static constexpr quint32 kAllHours = 0xffffff;    // bit h for hour h of the open time

    QDate from;  // the first day, open when invalid
    QDate to;    // the day the period ends before (not included), open when invalid
    QStringList symbols; // empty: every symbol
    Direction direction = Direction::Any;
    quint32 weekdays = kAllWeekdays;
    quint32 hours = kAllHours;
    // Per field, the texts taken (an empty text: trades without the field
    // filled in); an empty list takes every trade.
    std::array<QStringList, kAnnotationFieldCount> annotations;

    bool isEmpty() const;
    bool operator==(const TradeFilter&) const = default;

    // The filter as a JSON object's text and back, for keeping it between
    // runs; a text that does not read gives nothing.
    QByteArray toJson() const;
    static std::optional<TradeFilter> fromJson(const QByteArray& json);
    QJsonObject toJsonObject() const;
    static std::optional<TradeFilter> fromJsonObject(const QJsonObject& object);
};

// The rows of the trades the filter takes, in the time order of
// ReportTrades::timeOrder(). A trade whose open time does not read passes
// only a filter that does not ask for a period, a weekday or an hour.
std::vector<int> selectTrades(const ReportTrades& trades, const TradeFilter& filter);

// The stored texts of a field, in Windows-1251, that a row's trade has: one
// for every field but errors, which has up to two. -1 for a NULL.
void annotationTexts(const ReportTrades& trades, int row, AnnotationField field, int out[2], int& count);
