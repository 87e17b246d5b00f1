#pragma once

#include <QList>
#include <QPointF>

#include <span>
#include <utility>
#include <vector>

// The points of a curve that a chart needs for the x range it shows: those
// inside it and one more on each side, so that the line runs on to the
// edge. Point k is (xs[k], ys[k]), or (k, ys[k]) when xs is empty; the x
// values ascend (equal ones allowed).
//
// When there are more points than the plot has pixel columns, each column
// keeps its first, lowest, highest and last point: the line is drawn as
// with every point, at a fraction of the cost, which keeps a curve of
// 100 000 trades instant.
QList<QPointF> shownPoints(std::span<const double> ys, std::span<const double> xs, double fromX, double toX,
                           int columns);

// The positions of the first and the last point shownPoints takes for the
// range (first > last when there are none).
std::pair<qsizetype, qsizetype> shownIndexRange(std::span<const double> ys, std::span<const double> xs,
                                                double fromX, double toX);
