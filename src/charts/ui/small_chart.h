#pragma once

class QChart;

// Numbers on a chart's axes as the rest of the program writes them: a
// decimal comma and no group separator.
void useRussianNumbers(QChart& chart);

// The look of the small charts of the pages: square corners, thin
// margins, Russian numbers. The caller adds the series and axes.
QChart* makeSmallChart();
