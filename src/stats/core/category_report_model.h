#pragma once

#include "stats/core/category_reports.h"
#include "stats/core/text_table_model.h"

#include <QColor>

#include <optional>
#include <vector>

// The text colour of a report row by its net result: green above 0, red
// below, none (the grid's own) at 0 or for an empty row.
std::optional<QColor> categoryResultColour(std::optional<double> net);

// One report grid over a built report: the texts, the empty row the grid
// always ends with, and each row's text in the colour of its result unless
// the grid is drawn plainly.
class CategoryReportModel : public TextTableModel {
    Q_OBJECT
public:
    CategoryReportModel(CategoryReportKind kind, bool coloured, QObject* parent = nullptr);
    void setReport(CategoryReport report);
    // The colour's number of a data row; none for the empty rows.
    std::optional<double> net(int row) const;

protected:
    QVariant cellData(int row, int column, int role) const override;

private:
    bool m_coloured;
    std::vector<std::optional<double>> m_net;
};
