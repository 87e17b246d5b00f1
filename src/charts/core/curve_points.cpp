#include "charts/core/curve_points.h"

#include <algorithm>
#include <cmath>

std::pair<qsizetype, qsizetype> shownIndexRange(std::span<const double> ys, std::span<const double> xs,
                                                double fromX, double toX)
{
    const qsizetype n = static_cast<qsizetype>(ys.size());
    if (n == 0)
        return {0, -1};
    if (xs.empty()) {
        const qsizetype first = std::clamp<qsizetype>(static_cast<qsizetype>(std::floor(fromX)) - 1, 0, n - 1);
        const qsizetype last = std::clamp<qsizetype>(static_cast<qsizetype>(std::ceil(toX)) + 1, 0, n - 1);
        return {first, last};
    }
    const auto begin = xs.begin(), end = xs.begin() + n;
    const qsizetype first = std::max<qsizetype>(0, std::lower_bound(begin, end, fromX) - begin - 1);
    const qsizetype last = std::min<qsizetype>(n - 1, std::upper_bound(begin, end, toX) - begin);
    return {first, last};
}

QList<QPointF> shownPoints(std::span<const double> ys, std::span<const double> xs, double fromX, double toX,
                           int columns)
{
    QList<QPointF> points;
    const auto [first, last] = shownIndexRange(ys, xs, fromX, toX);
    if (first > last)
        return points;
    const qsizetype count = last - first + 1;
    auto xAt = [&](qsizetype k) { return xs.empty() ? static_cast<double>(k) : xs[k]; };
    auto at = [&](qsizetype k) { return QPointF(xAt(k), ys[k]); };
    if (columns <= 0 || count <= 4 * qsizetype(columns) || !(toX > fromX)) {
        points.reserve(count);
        for (qsizetype k = first; k <= last; ++k)
            points.append(at(k));
        return points;
    }
    points.reserve(4 * qsizetype(columns) + 8);
    // The column of a point by its x: the points outside the range take the
    // columns at the ends.
    const double perColumn = (toX - fromX) / columns;
    auto columnOf = [&](qsizetype k) {
        return static_cast<qint64>(std::clamp(std::floor((xAt(k) - fromX) / perColumn), -1.0, double(columns)));
    };
    qsizetype lastAdded = -1;
    auto add = [&](qsizetype k) {
        if (k != lastAdded) {
            points.append(at(k));
            lastAdded = k;
        }
    };
    for (qsizetype begin = first; begin <= last;) {
        const qint64 column = columnOf(begin);
        qsizetype end = begin + 1, lo = begin, hi = begin;
        for (; end <= last && columnOf(end) == column; ++end) {
            if (ys[end] < ys[lo])
                lo = end;
            if (ys[end] > ys[hi])
                hi = end;
        }
        add(begin);
        add(std::min(lo, hi));
        add(std::max(lo, hi));
        add(end - 1);
        begin = end;
    }
    return points;
}
