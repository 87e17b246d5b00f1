#pragma once

// The two controls whose state lives from one run to the next in the txt
// folder, each in a snapshot file named after the control: the notebook
// tree (txt/TreeView1.txt) and the analysis grid's layout
// (txt/StringGrid_Analiz.txt).

#include <QString>

class Journal;
class Prompts;
class QTableView;
class QTreeWidget;

// The state file of a control: txt/<objectName>.txt in the program folder.
QString controlStateFile(const Journal& journal, const QString& controlName);

// One control's state. Loading applies the file when it exists: a file that
// cannot be opened leaves the control as designed, a broken one is reported
// and what was read before the fault stays applied. Saving replaces the file
// whole; a failure is reported. Each page calls these for its own control.
void loadControlState(const Journal& journal, Prompts& prompts, QTreeWidget* tree);
void loadControlState(const Journal& journal, Prompts& prompts, QTableView* grid);
void saveControlState(const Journal& journal, Prompts& prompts, const QTreeWidget* tree);
void saveControlState(const Journal& journal, Prompts& prompts, const QTableView* grid);

// At start-up: applies each file that exists. A file that cannot be opened
// leaves its control as designed; a broken one is reported and what was read
// before the fault stays applied. Start-up goes on in every case.
void loadControlStates(const Journal& journal, Prompts& prompts, QTreeWidget* tree, QTableView* grid);

// At exit: writes both files, each replacing the earlier one whole. The txt
// folder is not created. A file that cannot be written is reported and the
// other one is still written.
void saveControlStates(const Journal& journal, Prompts& prompts, const QTreeWidget* tree, const QTableView* grid);
