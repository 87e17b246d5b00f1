#pragma once

#include <utility>

// One axis's range after a zoom by a factor (above 1 in, below 1 out) that
// keeps the value at pivot where it is on the screen. The range never gets
// narrower than `narrowest` (nor than the full range) and stays within the
// full range; once it would reach the full span it is the full range.
std::pair<double, double> zoomedRange(std::pair<double, double> shown, double pivot, double factor, double narrowest,
                                      std::pair<double, double> full);
