#include "notebook/ui/notebook_page.h"

#include "db/core/safe_file.h"
#include "pictures/ui/control_states.h"
#include "pictures/ui/tree_snapshot.h"

#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

NotebookPage::NotebookPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet11"));
    auto* layout = new QVBoxLayout(this);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    TreeView1 = new QTreeWidget(splitter);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    auto* editorArea = new QLabel(QStringLiteral("Записная книжка трейдера"), splitter);
    editorArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    splitter->addWidget(TreeView1);
    splitter->addWidget(editorArea);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({209, 1000});
    layout->addWidget(splitter);
}

void NotebookPage::prepareEditor() {} // placeholder until the notebook editor is built

void NotebookPage::restoreState()
{
    // A tree file that does not read whole is kept aside before the exit
    // writes the tree over it.
    keepDamagedCopy(controlStateFile(m_journal, TreeView1->objectName()), [](QByteArrayView data) {
        TreeSnapshotState state;
        applyTreeSnapshot(data, state);
    });
    loadControlState(m_journal, m_prompts, TreeView1);
}

void NotebookPage::saveState() const { saveControlState(m_journal, m_prompts, TreeView1); }

void NotebookPage::ensureRootFolder()
{
    if (TreeView1->topLevelItemCount() > 0)
        return;
    TreeEntry root;
    root.text = QStringLiteral("Главная");
    root.imageIndex = 1;
    root.selectedIndex = 2;
    root.stateIndex = 1;
    TreeView1->insertTopLevelItem(0, makeTreeItem(root));
}
