#pragma once

#include "stats/core/text_table.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class ReferenceLists;
class ReportTrades;
class TSQLiteDatabase;

// The tally of one category of a report.
struct CategoryRow {
    QString category;
    int total = 0;
    int wins = 0;        // trades with a profit above 0
    int losses = 0;      // trades with a profit below 0
    double winSum = 0;   // sum of the wins
    double lossSum = 0;  // sum of the losses (0 or negative)

    void add(double profit)
    {
        ++total;
        if (profit > 0) {
            ++wins;
            winSum += profit;
        } else if (profit < 0) {
            ++losses;
            lossSum += profit;
        }
    }
};

// The eight reports, in the order one rebuild builds them.
enum class CategoryReportKind { Pairs, Direction, MarketType, Timeframe, Entries, PsychoErrors, TechErrors, Exits };
inline constexpr int kReportCount = 8;

// The columns of every report table.
namespace catcol {
enum : int { Number, Category, Total, WinPercent, Wins, WinSum, Losses, LossSum, Last, Count };
}

// One report: its texts under the nine headers (the grid's empty last row
// is the view's) and, per data row, the number its colour follows: the
// win sum less the absolute loss sum as the row shows them; none for a row
// left empty.
struct CategoryReport {
    CategoryReportKind kind = CategoryReportKind::Pairs;
    QString grid;  // the grid's name, StringGrid_Valuta ...
    QString title; // the title of the report's group box
    TextTable texts;
    std::vector<std::optional<double>> net;
    // One reason per trade left out (its profit does not read), in words
    // for the trader; every category is still listed from its other trades.
    QStringList failures;
};

struct CategoryReports {
    std::vector<CategoryReport> reports; // kReportCount, in CategoryReportKind order
    const CategoryReport& operator[](CategoryReportKind kind) const { return reports[static_cast<int>(kind)]; }
};

// The eight reports of the trades read, with the categories of the lists as
// they are in memory. Every comparison of a category with a trade's text
// is exact, letter case included.
CategoryReports buildCategoryReports(const ReportTrades& trades, const ReferenceLists& lists);
// The same from a reading of the account's trades; throws ESQLiteException.
CategoryReports buildCategoryReports(TSQLiteDatabase& db, const QString& account, const ReferenceLists& lists);

// A report without rows: its names and headers.
CategoryReport emptyCategoryReport(CategoryReportKind kind);

// The fixed market types, in the order of the annotation dialog's field.
const QStringList& marketTypes();
