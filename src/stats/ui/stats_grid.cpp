#include "stats/ui/stats_grid.h"

#include "stats/core/column_widths.h"

#include <QHeaderView>
#include <QTableView>

QFont statsFont(bool bold)
{
    QFont font = gridFont(QStringLiteral("Tahoma"), 13);
    font.setBold(bold);
    return font;
}

QTableView* makeStatsGrid(const QString& objectName, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(objectName);
    grid->setFont(statsFont());
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    grid->setPalette(palette);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->viewport()->setCursor(Qt::PointingHandCursor);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(grid->font()).height() + 6);
    grid->horizontalHeader()->setFont(grid->font());
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    enableHeaderSorting(grid);
    return grid;
}

void enableHeaderSorting(QTableView* grid)
{
    // No column chosen yet: the rows stay in the order they were built in
    // and no arrow shows until the trader clicks a header.
    grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grid->setSortingEnabled(true);
}
