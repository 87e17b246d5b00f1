#include "stats/ui/fit_column_widths.h"

#include "stats/core/column_widths.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace {

std::vector<int> widthsFromModel(const QAbstractItemModel& model, TextWidthMeasure& measure, int lineWidth)
{
    std::vector<int> widths(static_cast<size_t>(model.columnCount()));
    for (int col = 0; col < model.columnCount(); ++col) {
        int widest = measure.width(model.headerData(col, Qt::Horizontal).toString());
        for (int row = 0; row < model.rowCount(); ++row)
            widest = std::max(widest, measure.width(model.data(model.index(row, col)).toString()));
        widths[col] = columnWidthFor(widest, lineWidth);
    }
    return widths;
}

} // namespace

void fitColumnWidths(QTableView* grid)
{
    const QAbstractItemModel* model = grid->model();
    if (!model)
        return;
    TextWidthMeasure measure(grid->font());
    const int lineWidth = grid->showGrid() ? 1 : 0;
    const auto* source = dynamic_cast<const ColumnWidthSource*>(model);
    const std::vector<int> widths =
        source ? source->columnWidths(measure, lineWidth) : widthsFromModel(*model, measure, lineWidth);
    for (size_t col = 0; col < widths.size(); ++col)
        grid->horizontalHeader()->resizeSection(static_cast<int>(col), widths[col]);
}
