#pragma once

#include <QWidget>

class Journal;
class Prompts;
class QTreeWidget;

// The page "Записная книжка трейдера": the notebook tree, editor and charts.
class NotebookPage : public QWidget {
    Q_OBJECT
public:
    NotebookPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // The notebook tree: folders and documents. Each item carries its icon
    // indexes in the roles of pictures/ui/tree_snapshot.h.
    QTreeWidget* TreeView1 = nullptr;

    // Fills the font list and sets the editor's default text attributes.
    void prepareEditor();
    // Adds the root folder "Главная" when the tree is empty.
    void ensureRootFolder();
    // The tree as it was at the last exit (txt/TreeView1.txt), and its saving.
    void restoreState();
    void saveState() const;

private:
    Journal& m_journal;
    Prompts& m_prompts;
};
