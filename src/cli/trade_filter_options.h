#pragma once

#include "stats/core/trade_filter.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class Journal;
class ReportTrades;

// What the analytics commands (breakdown, calendar, rstats, stats) share:
// the account, the period and the filter of the page's bar, the check that
// the account exists, and numbers with a decimal point.
namespace cli {

struct FilteredRequest {
    std::unique_ptr<Journal> journal;
    QString account;
    TradeFilter filter;
};

// Takes --account ID, --from and --to (YYYY-MM-DD; the period holds the
// days from --from up to, not including, --to, as every period of the
// journal), --data DIR, and with `bar` also --symbol S[,S...], --type
// buy|sell, --weekday N[,N...] (1 = Monday), --hour H[,H...] and the
// annotation filters --timeframe, --market, --entry, --exit, --errors,
// --rating. The command takes its own options first: anything left over
// is a wrong option.
// Returns the exit code of a failure: 2 for a wrong option (usage printed
// by the caller), 1 when the journal or the account is missing (said
// here); 0 when request is ready.
int takeFilteredRequest(QStringList& args, bool bar, FilteredRequest& request);

// A number with a decimal point and the given decimals, rounded as the
// pages round.
QString pointNumber(double value, int decimals);
inline QString pointNumber(const std::optional<double>& value, int decimals)
{
    return value ? pointNumber(*value, decimals) : QString();
}

} // namespace cli
