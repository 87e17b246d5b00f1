#pragma once

#include "db/core/partial_result.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class TSQLiteDatabase;

// The Russian name of the date's weekday ("Понедельник" ...).
QString weekdayName(const QDate& date);
// "05 июля 2013": a date as the pages show it, the month in the genitive.
QString longDateText(const QDate& date);
// "05 июля 2013 - Пятница": the start date of the analysis with its weekday.
QString analysisDateLabel(const QDate& start);

// The columns of the analysis grid: the row's number, the trade's columns
// from id to the rating, "+" when the trade has a picture, and the trade's
// R-multiple when it has a stop loss on the losing side (rMultiple).
namespace analysiscol {
enum : int {
    Number, Id, Ticket, OpenTime, Type, Size, Item, Profit, Timeframe, Trend, Entry, Exit, Nedobral, Error, Rating,
    Picture, R, Count
};
}
inline constexpr int kAnalysisColumns = analysiscol::Count;
const QStringList& analysisHeaders();

// The trades of an account opened on or after the start day and before the
// end day, with their annotations, and the totals line below them: the net
// results (profit, commission, taxes, swap), wins and losses by them. A
// trade whose money does not read is listed but left out of the totals, and
// the problem names it; a database failure keeps the rows read before it.
struct PeriodAnalysis : PartialResult {
    using Row = std::array<QString, kAnalysisColumns>;
    std::vector<Row> rows;
    int count = 0;  // trades counted in the totals
    int wins = 0;
    int losses = 0;
    double sumPos = 0; // net results of the wins
    double sumNeg = 0; // net results of the losses

    QString dayLabel() const;
    QColor dayColour() const;
};

// The text of the column "Рис": "+" for a trade with pictures (its list
// names one, or a picture position is stored), empty otherwise.
QString pictureMark(bool hasPicture);

PeriodAnalysis buildPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end);
