#pragma once

#include "stats/core/trade_filter.h"

#include <QString>

// The what-if filter of each account on "Отчеты", kept between runs in one
// small file of the data folder (filters.json: an object by account id).
// The file is the program's own addition: the Windows program never reads
// it, and a journal without it has no filters.
class FilterStore {
public:
    explicit FilterStore(QString path);

    // The account's filter; none kept is the empty filter. A file that does
    // not read is kept beside itself as filters.json.damaged (and then
    // counts as empty), and problem() says so once.
    TradeFilter load(const QString& account);
    // Replaces the account's filter (the empty one removes it), written
    // through a temporary file; throws FileWriteError.
    void save(const QString& account, const TradeFilter& filter);
    QString takeProblem();

private:
    QJsonObject readAll();

    QString m_path;
    QString m_problem;
    bool m_damagedKept = false;
};
