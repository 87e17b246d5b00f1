#pragma once

#include "stats/core/period_tables.h"
#include "stats/core/text_table_model.h"

#include <QColor>
#include <QDate>

#include <optional>
#include <vector>

// The fill of a day or week row by its band; none for the grid's own colour.
std::optional<QColor> periodBandColour(PeriodBand band);

// The day or the week grid over a built table: the texts, the rows' fill by
// the band of column 5, bold "Итого %"/"Итого", "Минус"/"Пр" and "НЛ"/"Макс.
// минус" columns (header included), and the empty row the grid always ends
// with. The row of today (the week that holds today) shows its date in bold.
class PeriodTableModel : public TextTableModel {
    Q_OBJECT
public:
    enum class Kind { Days, Weeks };
    explicit PeriodTableModel(Kind kind, QObject* parent = nullptr);

    // today: the day whose row is set off (the current date in the window).
    void setPeriodTable(PeriodTable table, QDate today = QDate::currentDate());
    // The day, or the Monday of the week, of a listed row; none for the
    // empty last row.
    std::optional<QDate> rowDate(int row) const;
    int listedRows() const { return static_cast<int>(m_rows.size()); }
    bool isToday(int row) const;
    // Tooltips with the text of the cell under the pointer (the day grid).
    void setCellToolTips(bool on) { m_toolTips = on; }

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    QVariant cellData(int row, int column, int role) const override;

private:
    Kind m_kind;
    std::vector<PeriodRowInfo> m_rows;
    QDate m_today;
    bool m_toolTips = false;
};
