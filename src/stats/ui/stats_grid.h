#pragma once

#include <QFont>
#include <QString>

class QTableView;
class QWidget;

// The look shared by the statistics grids: Tahoma 13 px in black on white,
// whole-row selection, hand cursor, resizable columns, right-click menu,
// rows sorted by a click on a column header.
QFont statsFont(bool bold = false);
QTableView* makeStatsGrid(const QString& objectName, QWidget* parent);
// A click on a column header sorts the rows by that column, a second click
// the other way; until then the model's own order, without an arrow.
void enableHeaderSorting(QTableView* grid);
