#pragma once

#include <QFont>
#include <QString>

class QTableView;
class QWidget;

// The look shared by the statistics grids: Tahoma 13 px in black on white,
// whole-row selection, hand cursor, resizable columns, right-click menu.
QFont statsFont(bool bold = false);
QTableView* makeStatsGrid(const QString& objectName, QWidget* parent);
