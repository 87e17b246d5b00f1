#pragma once

#include <vector>

// The bins of a histogram of money amounts. Their width is the Freedman-
// Diaconis width 2 IQR / cbrt(n) rounded up to a round step (1, 2, 2.5 or 5
// times a power of ten, at least a cent) and widened so that there are no
// more than maxBins; the edges are the multiples of the width, so 0 is
// always an edge and no bin holds both gains and losses. A bin holds the
// values from its low edge up to but not including its high one.
struct HistogramBin {
    double low = 0;
    double high = 0;
    int count = 0;
};

struct Histogram {
    double width = 0;
    std::vector<HistogramBin> bins; // ascending, adjacent; empty without values
    int largestCount = 0;
};

// Values that are not finite are left out.
Histogram histogramBins(std::vector<double> values, int maxBins = 40);
