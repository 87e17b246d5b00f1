#include "notebook/ui/notebook_page.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/safe_file.h"
#include "context/core/web_links.h"
#include "notebook/core/notebook_search.h"
#include "notebook/core/notebook_store.h"
#include "notebook/ui/chart_pane.h"
#include "notebook/ui/notebook_editor.h"
#include "notebook/ui/notebook_icons.h"
#include "state/ui/control_states.h"
#include "state/ui/tree_snapshot.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace {

const QString kRootFolder = QStringLiteral("Главная");
const QString kTutorial = QStringLiteral("Видеоурок 6 - Записная книжка трейдера");

TreeEntry folderEntry(const QString& name) { return TreeEntry{name, 1, 2, 1, -1, {}}; }

void expandAll(QTreeWidgetItem* item)
{
    item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i)
        expandAll(item->child(i));
}

} // namespace

NotebookPage::NotebookPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet11"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    QWidget* left = makeTreeColumn(splitter);
    QWidget* right = makeDocumentSide(splitter);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({209, 1000});
    layout->addWidget(splitter);

    buildMenu();
    connectTree();
    connectSearch();
}

// The search box, the tree and, in the tree's place while there is a
// query, the search results.
QWidget* NotebookPage::makeTreeColumn(QWidget* parent)
{
    auto* left = new QWidget(parent);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(2);
    Edit_Search = new QLineEdit(left);
    Edit_Search->setObjectName(QStringLiteral("Edit_Search"));
    Edit_Search->setPlaceholderText(QStringLiteral("Поиск в записной книжке"));
    Edit_Search->setClearButtonEnabled(true);
    leftLayout->addWidget(Edit_Search);
    TreeView1 = new QTreeWidget(left);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setMouseTracking(true); // the node under the pointer is highlighted
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    // The selection stays as visible when the tree loses focus.
    QPalette palette = TreeView1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    TreeView1->setPalette(palette);
    leftLayout->addWidget(TreeView1, 1);
    List_Search = new QListWidget(left);
    List_Search->setObjectName(QStringLiteral("List_Search"));
    List_Search->hide();
    leftLayout->addWidget(List_Search, 1);
    return left;
}

// The open document's name and the link to the video lesson.
QWidget* NotebookPage::makeTitleBar(QWidget* parent)
{
    Panel8 = new QWidget(parent);
    Panel8->setObjectName(QStringLiteral("Panel8"));
    Panel8->setAutoFillBackground(true);
    QPalette title = Panel8->palette();
    title.setColor(QPalette::Window, QColor(252, 221, 158));
    Panel8->setPalette(title);
    auto* titleLayout = new QHBoxLayout(Panel8);
    titleLayout->setContentsMargins(6, 4, 6, 4);
    Label_name = new QLabel(Panel8);
    Label_name->setObjectName(QStringLiteral("Label_name"));
    QFont bold = Label_name->font();
    bold.setBold(true);
    Label_name->setFont(bold);
    auto* video = new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(kTutorial), Panel8);
    video->setObjectName(QStringLiteral("Label_Video6"));
    connect(video, &QLabel::linkActivated, this, [] { QDesktopServices::openUrl(weblinks::videoTutorial(kTutorial)); });
    titleLayout->addWidget(Label_name, 1);
    titleLayout->addWidget(video);
    return Panel8;
}

// The title above the editor and, below it, the chart pane.
QWidget* NotebookPage::makeDocumentSide(QWidget* parent)
{
    auto* right = new QWidget(parent);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(makeTitleBar(right));

    auto* vertical = new QSplitter(Qt::Vertical, right);
    m_editor = new NotebookEditor(vertical);
    m_charts = new ChartPane(m_journal, m_prompts, vertical);
    vertical->addWidget(m_editor);
    vertical->addWidget(m_charts);
    vertical->setCollapsible(0, false);
    vertical->setCollapsible(1, false);
    vertical->setStretchFactor(0, 1);
    m_charts->setSplitter(vertical);
    rightLayout->addWidget(vertical, 1);
    return right;
}

void NotebookPage::connectTree()
{
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });
    connect(TreeView1, &QTreeWidget::itemActivated, this, [this] { TreeView1Click(); });
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [](QTreeWidgetItem* item) {
        if (item)
            item->setExpanded(true); // nodes open as they are selected
    });
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QTreeWidgetItem* item = TreeView1->itemAt(at))
            TreeView1->setCurrentItem(item);
        PopupMenu_TreePopup();
        PopupMenu_Tree->popup(TreeView1->viewport()->mapToGlobal(at));
    });
    connect(m_editor, &NotebookEditor::textToStore, this, &NotebookPage::storePendingText);
    connect(m_charts, &ChartPane::colourRequested, this, &NotebookPage::colourClick);
    connect(m_charts, &ChartPane::penColourChosen, this, &NotebookPage::applyPenColourToText);
    m_charts->setTreeSelection([this]() -> std::optional<bool> {
        const QTreeWidgetItem* node = selectedNode();
        if (!node)
            return std::nullopt;
        return isFolder(node);
    });
}

// The query runs once typing has paused, or at once on Enter.
void NotebookPage::connectSearch()
{
    auto* searchDelay = new QTimer(this);
    searchDelay->setSingleShot(true);
    searchDelay->setInterval(300);
    connect(searchDelay, &QTimer::timeout, this, &NotebookPage::runSearch);
    connect(Edit_Search, &QLineEdit::textChanged, searchDelay, qOverload<>(&QTimer::start));
    connect(Edit_Search, &QLineEdit::returnPressed, this, &NotebookPage::runSearch);
    connect(List_Search, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const QString name = item->data(Qt::UserRole).toString();
        if (!name.isEmpty())
            openDocumentByName(name);
    });
}

void NotebookPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // The splitter has its height only now: the pane starts collapsed.
        QTimer::singleShot(0, m_charts, &ChartPane::fitPane);
    }
}

void NotebookPage::buildMenu()
{
    PopupMenu_Tree = new QMenu(this);
    PopupMenu_Tree->setObjectName(QStringLiteral("PopupMenu_Tree"));
    Add_Tactik = PopupMenu_Tree->addAction(QStringLiteral("Добавить документ"), this, &NotebookPage::Add_TactikClick);
    Add_Strat = PopupMenu_Tree->addAction(QStringLiteral("Добавить папку"), this, &NotebookPage::Add_StratClick);
    N19 = PopupMenu_Tree->addAction(QStringLiteral("Переименовать"), this, &NotebookPage::N19Click);
    N9 = PopupMenu_Tree->addAction(QStringLiteral("Удалить"), this, &NotebookPage::N9Click);
    PopupMenu_Tree->addSeparator();
    N11 = PopupMenu_Tree->addAction(QStringLiteral("Переместить вверх"), this, &NotebookPage::N11Click);
    N12 = PopupMenu_Tree->addAction(QStringLiteral("Переместить вниз"), this, &NotebookPage::N12Click);
    PopupMenu_Tree->addSeparator();
    QMenu* colours = PopupMenu_Tree->addMenu(QStringLiteral("Покрасить"));
    N13 = colours->menuAction();
    colours->addAction(QStringLiteral("Красный"), this, [this] { colourClick(3); })->setObjectName("N14");
    colours->addAction(QStringLiteral("Зеленый"), this, [this] { colourClick(4); })->setObjectName("N15");
    colours->addAction(QStringLiteral("Черный"), this, [this] { colourClick(5); })->setObjectName("N16");
    colours->addSeparator();
    colours->addAction(QStringLiteral("Обычный"), this, [this] { colourClick(0); })->setObjectName("N17");
    PopupMenu_Tree->addSeparator();
    N31 = PopupMenu_Tree->addAction(QStringLiteral("Очистить записную книжку"), this, &NotebookPage::N31Click);
    const std::pair<QAction*, const char*> named[] = {{Add_Tactik, "Add_Tactik"}, {Add_Strat, "Add_Strat"}, {N19, "N19"},
                                                       {N9, "N9"}, {N11, "N11"}, {N12, "N12"}, {N13, "N13"}, {N31, "N31"}};
    for (const auto& [action, name] : named)
        action->setObjectName(QLatin1StringView(name));
}

void NotebookPage::prepareEditor()
{
    m_editor->fillFontList();
    m_editor->setStartupAttributes();
}

void NotebookPage::refreshIcons()
{
    QTreeWidgetItemIterator it(TreeView1);
    for (; *it; ++it)
        showNotebookIcon(*it);
}

void NotebookPage::restoreState()
{
    const QString path = controlStateFile(m_journal, TreeView1->objectName());
    QFile file(path);
    if (file.exists() && file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        file.close();
        try {
            applyTreeSnapshot(TreeView1, data);
        } catch (const SnapshotError& e) {
            // The damaged file is kept aside before the tree is ever written
            // over it, so that what it holds can still be recovered.
            keepDamagedCopy(path);
            reportError(m_prompts, QStringLiteral("Файл %1 повреждён: %2").arg(path, e.message()));
        }
    }
    refreshIcons();
}

void NotebookPage::saveTreeFile(bool atExit)
{
    try {
        writeFileAtomically(controlStateFile(m_journal, TreeView1->objectName()), takeTreeSnapshot(TreeView1));
        m_treeWriteFailed = false;
    } catch (const JournalError& e) {
        // Said once while the trader works (not after every command), and
        // always at exit.
        if (atExit || !m_treeWriteFailed)
            reportError(m_prompts, e.message());
        m_treeWriteFailed = true;
    }
}

void NotebookPage::saveState()
{
    storePendingText();
    m_charts->writePendingChart();
    saveTreeFile(true);
}

void NotebookPage::ensureRootFolder()
{
    if (TreeView1->topLevelItemCount() > 0)
        return;
    QTreeWidgetItem* root = makeTreeItem(folderEntry(kRootFolder));
    TreeView1->insertTopLevelItem(0, root);
    showNotebookIcon(root);
}

QTreeWidgetItem* NotebookPage::selectedNode() const
{
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool NotebookPage::isFolder(const QTreeWidgetItem* item) { return treeEntryOf(item).imageIndex == 1; }

QTreeWidgetItem* NotebookPage::newNodeParent() const
{
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return nullptr;
    return isFolder(node) ? node : node->parent();
}

void NotebookPage::addChildNode(QTreeWidgetItem* parent, QTreeWidgetItem* child)
{
    if (parent)
        parent->addChild(child);
    else
        TreeView1->addTopLevelItem(child);
    showNotebookIcon(child);
}

void NotebookPage::setOpenDocument(const QString& name)
{
    m_openDocument = name;
    Label_name->setText(name);
}

void NotebookPage::storePendingText()
{
    if (m_openDocument.isEmpty()) {
        m_editor->takePendingText(); // nothing open: the text belongs to no row
        return;
    }
    const std::optional<QByteArray> rtf = m_editor->takePendingText();
    if (!rtf)
        return;
    try {
        NotebookStore(m_journal.db()).storeText(m_openDocument, *rtf);
        ++m_textStores;
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
}

void NotebookPage::openDocument(const QString& name)
{
    storePendingText();
    setOpenDocument(name);
    std::optional<QByteArray> text;
    try {
        text = NotebookStore(m_journal.db()).text(name);
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
    if (text && !text->isEmpty())
        m_editor->loadText(*text);
    else
        m_editor->clearText();
    m_charts->loadCharts(name);
}

void NotebookPage::TreeView1Click()
{
    const QTreeWidgetItem* node = selectedNode();
    if (!node || isFolder(node))
        return;
    openDocument(node->text(0));
}

void NotebookPage::Add_StratClick()
{
    const QString name = m_prompts.askText(QStringLiteral("Добавить папку"), QStringLiteral("Введите название"), QString())
                             .value_or(QString());
    if (name.isEmpty())
        return;
    QTreeWidgetItem* folder = makeTreeItem(folderEntry(name));
    addChildNode(newNodeParent(), folder);
    TreeView1->setCurrentItem(folder);
    expandAll(folder);
    saveTreeFile();
}

void NotebookPage::Add_TactikClick()
{
    QTreeWidgetItem* selected = selectedNode();
    if (!selected)
        return;
    QTreeWidgetItem* parent = newNodeParent();
    const QString name =
        m_prompts.askText(QStringLiteral("Добавить документ"), QStringLiteral("Введите название"), QString())
            .value_or(QString());
    try {
        NotebookStore store(m_journal.db());
        if (store.exists(name)) {
            m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), nameTakenMessage());
            return;
        }
        if (name.isEmpty())
            return;
        storePendingText();
        QTreeWidgetItem* document = makeTreeItem(TreeEntry{name, 0, 0, -1, -1, {}});
        addChildNode(parent, document);
        expandAll(selected);
        TreeView1->setCurrentItem(document);
        setOpenDocument(name);
        m_editor->clearText();
        m_charts->emptyCharts(name);
        m_editor->setNewDocumentAttributes();
        if (!store.exists(name))
            store.addDocument(name);
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
    saveTreeFile();
}

void NotebookPage::N19Click()
{
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    const int icon = treeEntryOf(node).imageIndex;
    if (icon != 0 && icon != 3 && icon != 4 && icon != 5)
        return;
    const QString old = node->text(0);
    const QString name =
        m_prompts.askText(QStringLiteral("Введите новое название документа"), QStringLiteral("Введите название"), old)
            .value_or(old);
    if (name == old)
        return;
    try {
        NotebookStore store(m_journal.db());
        // Two rows of one name would overwrite each other's text.
        if (name.isEmpty() || store.exists(name)) {
            m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), nameTakenMessage());
            return;
        }
        storePendingText();
        m_charts->writePendingChart(); // under the old name, moved along below
        store.renameDocument(old, name);
        node->setText(0, name);
        if (m_openDocument == old) {
            setOpenDocument(name);
            m_charts->documentRenamed(name);
        }
        // The picture files of the document's own charts follow its name,
        // whichever document's charts are on screen.
        for (const QString& chart : store.chartNames(name).value_or(QStringList())) {
            const QString from = m_journal.path(chartFileName(old, chart));
            if (QFile::exists(from))
                QFile::rename(from, m_journal.path(chartFileName(name, chart)));
        }
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
    saveTreeFile();
}

void NotebookPage::N9Click()
{
    if (!m_prompts.confirm(QStringLiteral("Удалить объект")))
        return;
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    try {
        storePendingText();
        if (!isFolder(node))
            NotebookStore(m_journal.db()).deleteDocument(node->text(0));
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
        return;
    }
    delete node;
    if (TreeView1->topLevelItemCount() > 0)
        TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
    saveTreeFile();
}

void NotebookPage::N11Click()
{
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    QTreeWidgetItem* parent = node->parent();
    const int index = parent ? parent->indexOfChild(node) : TreeView1->indexOfTopLevelItem(node);
    if (index <= 0)
        return;
    const bool expanded = node->isExpanded();
    if (parent) {
        parent->takeChild(index);
        parent->insertChild(index - 1, node);
    } else {
        TreeView1->takeTopLevelItem(index);
        TreeView1->insertTopLevelItem(index - 1, node);
    }
    node->setExpanded(expanded);
    TreeView1->setCurrentItem(node);
    saveTreeFile();
}

void NotebookPage::N12Click()
{
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    QTreeWidgetItem* parent = node->parent();
    const int count = parent ? parent->childCount() : TreeView1->topLevelItemCount();
    const int index = parent ? parent->indexOfChild(node) : TreeView1->indexOfTopLevelItem(node);
    if (index + 1 >= count)
        return;
    const bool expanded = node->isExpanded();
    // In front of the sibling after next, or last when the next is last.
    if (parent) {
        parent->takeChild(index);
        parent->insertChild(index + 1, node);
    } else {
        TreeView1->takeTopLevelItem(index);
        TreeView1->insertTopLevelItem(index + 1, node);
    }
    node->setExpanded(expanded);
    TreeView1->setCurrentItem(node);
    saveTreeFile();
}

void NotebookPage::colourClick(int imageIndex)
{
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    node->setData(0, TreeRoles::ImageIndex, imageIndex);
    node->setData(0, TreeRoles::SelectedIndex, imageIndex);
    showNotebookIcon(node);
    saveTreeFile();
}

void NotebookPage::PopupMenu_TreePopup()
{
    const QTreeWidgetItem* node = selectedNode();
    const int icon = node ? treeEntryOf(node).imageIndex : 1;
    const bool document = node && icon != 1 && icon != 2;
    N19->setEnabled(document);
    N13->setEnabled(document);
}

void NotebookPage::N31Click()
{
    if (!m_prompts.confirm(QStringLiteral("Очистить записную книжку?")))
        return;
    try {
        m_charts->writePendingChart(); // so that nothing recreates a chart file afterwards
        NotebookStore(m_journal.db()).deleteAll();
        const QString treeFile = controlStateFile(m_journal, TreeView1->objectName());
        if (QFile::exists(treeFile) && !QFile::remove(treeFile))
            throw std::runtime_error("tree file");
        QDir img(m_journal.path(QStringLiteral("img")));
        for (const QString& chart : img.entryList({QStringLiteral("*.paz")}, QDir::Files)) {
            if (!img.remove(chart))
                throw std::runtime_error("chart file");
        }
        TreeView1->clear();
        ensureRootFolder();
    } catch (const std::exception&) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), QStringLiteral("Ошибка - Во время удаление данных!"));
    }
    saveTreeFile();
}

QTreeWidgetItem* NotebookPage::findDocumentNode(const QString& name) const
{
    QTreeWidgetItemIterator it(TreeView1);
    for (; *it; ++it) {
        if (!isFolder(*it) && (*it)->text(0) == name)
            return *it;
    }
    return nullptr;
}

void NotebookPage::openDocumentByName(const QString& name)
{
    if (QTreeWidgetItem* node = findDocumentNode(name)) {
        TreeView1->setCurrentItem(node);
        TreeView1->scrollToItem(node);
    }
    openDocument(name);
}

void NotebookPage::runSearch()
{
    const QString query = Edit_Search->text().trimmed();
    List_Search->clear();
    if (query.isEmpty()) {
        List_Search->hide();
        return;
    }
    storePendingText(); // the search sees what was just typed
    std::vector<SearchHit> hits;
    try {
        hits = searchNotebook(NotebookStore(m_journal.db()).allTexts(), query);
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
    for (const SearchHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.line.isEmpty() ? hit.document : hit.document + QStringLiteral(": ") + hit.line);
        item->setData(Qt::UserRole, hit.document);
        item->setToolTip(item->text());
        List_Search->addItem(item);
    }
    if (hits.empty())
        List_Search->addItem(QStringLiteral("Ничего не найдено"));
    List_Search->show();
}

void NotebookPage::applyPenColourToText() { m_editor->ColorBox3Select(); }

void NotebookPage::writePendingChart() { m_charts->writePendingChart(); }
