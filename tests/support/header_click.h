#pragma once

#include "mouse_input.h"

#include <QHeaderView>
#include <QTableView>

// A click on a grid's column header, as the trader sorts by it. The grid's
// window is shown first so the header has its sections laid out.
inline void clickHeader(QTableView* grid, int column)
{
    if (!grid->isVisible())
        grid->window()->show();
    QHeaderView* header = grid->horizontalHeader();
    header->resize(header->sizeHint().expandedTo(header->size()));
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    mouse(header->viewport(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    mouse(header->viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at);
}
