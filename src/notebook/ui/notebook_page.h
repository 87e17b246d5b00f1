#pragma once

// The page "Записная книжка трейдера": the notebook tree `TreeView1` on the
// left with its menu `PopupMenu_Tree`, and on the right the open document's
// title `Panel8`, its text (NotebookEditor) and its charts (ChartPane).
// Folders exist only in the tree; a document is also a t_zametki row of its
// name. The tree is written to txt/TreeView1.txt after every change of its
// shape and at exit, so that the file never lags behind the rows.

#include <QWidget>

class ChartPane;
class Journal;
class NotebookEditor;
class Prompts;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

class NotebookPage : public QWidget {
    Q_OBJECT
public:
    NotebookPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    NotebookEditor* editor() const { return m_editor; }
    ChartPane* chartPane() const { return m_charts; }
    // The document shown on the right (OpenDocumentName); empty before any.
    const QString& openDocumentName() const { return m_openDocument; }
    // How many times the text went to the database (for the store-on-pause
    // guarantee).
    int textStoreCount() const { return m_textStores; }

    // Fills the font list and sets the editor's default text attributes.
    void prepareEditor();
    // A pen colour chosen on a picture (here or on another page) also
    // becomes the colour of the text typed next.
    void applyPenColourToText();
    // Writes the strokes of the chart not yet written (when the trader
    // leaves the page).
    void writePendingChart();
    // Adds the root folder "Главная" when the tree is empty.
    void ensureRootFolder();
    // The tree as it was at the last exit (txt/TreeView1.txt), and its
    // saving; saving also stores the text still waiting to be stored and
    // writes the chart's strokes not yet written.
    void restoreState();
    void saveState();

    // The tree's commands, as its menu and clicks run them.
    void TreeView1Click();
    void Add_StratClick();
    void Add_TactikClick();
    void N19Click();
    void N9Click();
    void N11Click();
    void N12Click();
    void colourClick(int imageIndex); // N14Click .. N17Click
    void PopupMenu_TreePopup();
    void N31Click();
    // Stores the open document's text now if it changed.
    void storePendingText();
    // Opens a document by name (a search result), selecting its node.
    void openDocumentByName(const QString& name);
    void runSearch();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeTreeColumn(QWidget* parent);
    QWidget* makeTitleBar(QWidget* parent);
    QWidget* makeDocumentSide(QWidget* parent);
    void buildMenu();
    void connectTree();
    void connectSearch();
    QTreeWidgetItem* selectedNode() const;
    static bool isFolder(const QTreeWidgetItem* item);
    QTreeWidgetItem* newNodeParent() const;
    void addChildNode(QTreeWidgetItem* parent, QTreeWidgetItem* child);
    void setOpenDocument(const QString& name);
    void openDocument(const QString& name);
    void saveTreeFile(bool atExit = false);
    void refreshIcons();
    QTreeWidgetItem* findDocumentNode(const QString& name) const;

    // The notebook tree: folders and documents. Each item carries its icon
    // indexes in the roles of state/ui/tree_snapshot.h.
    QTreeWidget* TreeView1 = nullptr;
    QMenu* PopupMenu_Tree = nullptr;
    QAction* Add_Tactik = nullptr; // "Добавить документ"
    QAction* Add_Strat = nullptr;  // "Добавить папку"
    QAction* N19 = nullptr;        // "Переименовать"
    QAction* N9 = nullptr;         // "Удалить"
    QAction* N11 = nullptr;        // "Переместить вверх"
    QAction* N12 = nullptr;        // "Переместить вниз"
    QAction* N13 = nullptr;        // "Покрасить"
    QAction* N31 = nullptr;        // "Очистить записную книжку"
    QWidget* Panel8 = nullptr;
    QLabel* Label_name = nullptr;
    QLineEdit* Edit_Search = nullptr;
    QListWidget* List_Search = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    NotebookEditor* m_editor = nullptr;
    ChartPane* m_charts = nullptr;
    QString m_openDocument;
    int m_textStores = 0;
    bool m_shown = false;
    bool m_treeWriteFailed = false;
};
