#include "notebook/ui/chart_pane.h"

#include "app/core/journal.h"
#include "app/core/prompts.h"
#include "db/core/safe_file.h"
#include "notebook/core/notebook_store.h"
#include "pictures/ui/picture_snapshot.h"
#include "pictures/ui/tree_snapshot.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kCollapsedHeight = 35;

QToolButton* barButton(QToolBar* bar, const char* name, const QString& text, const QString& hint)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QLatin1StringView(name));
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

} // namespace

ChartPane::ChartPane(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("Panel9"));
    setMinimumHeight(kCollapsedHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel10 = new QWidget(this);
    Panel10->setObjectName(QStringLiteral("Panel10"));
    Panel10->setAutoFillBackground(true);
    QPalette silver = Panel10->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    Panel10->setPalette(silver);
    Panel10->setFixedHeight(kCollapsedHeight - 2);
    auto* header = new QHBoxLayout(Panel10);
    header->setContentsMargins(4, 2, 4, 2);
    Button6 = new QPushButton(QStringLiteral("+"), Panel10);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setToolTip(QStringLiteral("Спрятать / показать граффик"));
    Button6->setFixedWidth(28);
    auto* title = new QLabel(QStringLiteral("Рисунок"), Panel10);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    header->addWidget(Button6);
    header->addWidget(title);
    header->addStretch(1);
    layout->addWidget(Panel10);

    m_body = new QWidget(this);
    auto* body = new QHBoxLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(2);
    TreeView2 = new QTreeWidget(m_body);
    TreeView2->setObjectName(QStringLiteral("TreeView2"));
    TreeView2->setHeaderHidden(true);
    TreeView2->setRootIsDecorated(false);
    TreeView2->setFixedWidth(176);
    TreeView2->setToolTip(QStringLiteral("Добавить график, правая кнопка мыши"));
    TreeView2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView2->setContextMenuPolicy(Qt::CustomContextMenu);
    body->addWidget(TreeView2);

    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    ToolBar1 = new QToolBar(m_body);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolButton9 = barButton(ToolBar1, "ToolButton9", QStringLiteral("Вставить"), QStringLiteral("Вставить график"));
    ToolButton7 = barButton(ToolBar1, "ToolButton7", QStringLiteral("Копировать"), QStringLiteral("Скопировать в буфер"));
    ToolButton21 = barButton(ToolBar1, "ToolButton21", QStringLiteral("Отменить"),
                             QStringLiteral("Отменить последние изменения"));
    ToolButton12 = barButton(ToolBar1, "ToolButton12", QStringLiteral("Сохранить"), QString());
    right->addWidget(ToolBar1);

    Pan_Image = new QWidget(m_body);
    Pan_Image->setObjectName(QStringLiteral("Pan_Image"));
    Pan_Image->setAutoFillBackground(true);
    QPalette sky = Pan_Image->palette();
    sky.setColor(QPalette::Window, QColor(166, 202, 240));
    Pan_Image->setPalette(sky);
    auto* image = new QVBoxLayout(Pan_Image);
    image->setContentsMargins(0, 0, 0, 0);
    auto* hint = new QLabel(QStringLiteral("Развернуть изображение - двойной клик по графику"), Pan_Image);
    image->addWidget(hint);
    m_caption = new QLabel(QStringLiteral("Нет изображения (Скопируте в буфер и нажмите кнопку \"Вставить\")"), Pan_Image);
    m_caption->setAlignment(Qt::AlignCenter);
    image->addWidget(m_caption, 1);
    m_scroll = new QScrollArea(Pan_Image);
    m_scroll->setFrameShape(QFrame::NoFrame);
    ImgPic2 = new QLabel;
    ImgPic2->setObjectName(QStringLiteral("ImgPic2"));
    ImgPic2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setWidget(ImgPic2);
    m_scroll->hide();
    image->addWidget(m_scroll, 1);
    right->addWidget(Pan_Image, 1);
    body->addLayout(right, 1);
    layout->addWidget(m_body, 1);

    buildMenu();
    connect(TreeView2, &QTreeWidget::itemClicked, this, [this] { TreeView2Click(); });
    connect(TreeView2, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QTreeWidgetItem* item = TreeView2->itemAt(at))
            TreeView2->setCurrentItem(item);
        enableCommands();
        PopupMenu_Tree2->popup(TreeView2->viewport()->mapToGlobal(at));
    });
    connect(Button6, &QPushButton::clicked, this, &ChartPane::Button6Click);
    connect(ToolButton9, &QToolButton::clicked, this, &ChartPane::ToolButton9Click);
    connect(ToolButton7, &QToolButton::clicked, this, &ChartPane::ToolButton7Click);
    connect(ToolButton21, &QToolButton::clicked, this, &ChartPane::ToolButton21Click);
    connect(ToolButton12, &QToolButton::clicked, this, &ChartPane::ToolButton12Click);
    enableCommands();
}

void ChartPane::buildMenu()
{
    PopupMenu_Tree2 = new QMenu(this);
    PopupMenu_Tree2->setObjectName(QStringLiteral("PopupMenu_Tree2"));
    MenuItem2 = PopupMenu_Tree2->addAction(QStringLiteral("Добавить график"), this, &ChartPane::MenuItem2Click);
    N21 = PopupMenu_Tree2->addAction(QStringLiteral("Переименовать"), this, &ChartPane::N21Click);
    MenuItem3 = PopupMenu_Tree2->addAction(QStringLiteral("Удалить"), this, &ChartPane::MenuItem3Click);
    PopupMenu_Tree2->addSeparator();
    MenuItem5 = PopupMenu_Tree2->addAction(QStringLiteral("Переместить вверх"), this, &ChartPane::MenuItem5Click);
    MenuItem6 = PopupMenu_Tree2->addAction(QStringLiteral("Переместить вниз"), this, &ChartPane::MenuItem6Click);
    PopupMenu_Tree2->addSeparator();
    QMenu* colours = PopupMenu_Tree2->addMenu(QStringLiteral("Покрасить"));
    colours->addAction(QStringLiteral("Обычный"), this, [this] { emit colourRequested(0); });
    colours->addSeparator();
    colours->addAction(QStringLiteral("Красный"), this, [this] { emit colourRequested(3); });
    colours->addAction(QStringLiteral("Зеленый"), this, [this] { emit colourRequested(4); });
    colours->addAction(QStringLiteral("Черный"), this, [this] { emit colourRequested(5); });
}

void ChartPane::enableCommands()
{
    const bool any = TreeView2->topLevelItemCount() > 0;
    ToolButton7->setEnabled(any);
    MenuItem3->setEnabled(any);
    N21->setEnabled(any);
}

QStringList ChartPane::chartNames() const
{
    QStringList out;
    for (int i = 0; i < TreeView2->topLevelItemCount(); ++i)
        out << TreeView2->topLevelItem(i)->text(0);
    return out;
}

QString ChartPane::chartPath(const QString& chart) const { return m_journal.path(chartFileName(m_document, chart)); }

QTreeWidgetItem* ChartPane::selectedChart() const
{
    const QList<QTreeWidgetItem*> selected = TreeView2->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool ChartPane::isOpen() const
{
    return m_splitter ? m_splitter->sizes().value(1) > 40 + 5 : height() > 40;
}

void ChartPane::openPane()
{
    Button6->setText(QStringLiteral("_"));
    m_body->show();
    if (!m_splitter)
        return;
    const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    const int half = screen ? screen->geometry().height() / 2 : 400;
    const int total = m_splitter->height();
    m_splitter->setSizes({std::max(total - half, 60), half});
}

void ChartPane::collapsePane()
{
    Button6->setText(QStringLiteral("+"));
    m_body->hide();
    if (!m_splitter)
        return;
    const int total = m_splitter->height();
    m_splitter->setSizes({std::max(total - kCollapsedHeight, 1), kCollapsedHeight});
}

void ChartPane::fitPane()
{
    if (Button6->text() == QLatin1String("+"))
        collapsePane();
    else
        openPane();
}

void ChartPane::Button6Click()
{
    if (Button6->text() == QLatin1String("+"))
        openPane();
    else
        collapsePane();
}

void ChartPane::showPicture(const QImage& image, const QRect& bounds)
{
    m_image = image;
    m_bounds = bounds;
    if (m_image.isNull()) {
        ImgPic2->clear();
        m_scroll->hide();
        m_caption->show();
        return;
    }
    ImgPic2->setPixmap(QPixmap::fromImage(m_image));
    ImgPic2->resize(m_image.size());
    m_caption->hide();
    m_scroll->show();
}

void ChartPane::removePicture() { showPicture(QImage(), QRect()); }

bool ChartPane::readChart(const QString& chart)
{
    QImage image;
    QRect bounds;
    try {
        if (!readPictureFile(chartPath(chart), image, bounds))
            return false;
    } catch (const SnapshotError& e) {
        reportError(m_prompts, QStringLiteral("Файл %1 повреждён: %2").arg(chartPath(chart), e.message()));
        return false;
    }
    showPicture(image, bounds);
    return true;
}

void ChartPane::writeChart(const QString& chart)
{
    try {
        QDir().mkpath(m_journal.path(QStringLiteral("img")));
        const QRect bounds = m_bounds.isValid() ? m_bounds : QRect(QPoint(0, 0), m_image.size());
        writePictureFile(chartPath(chart), QStringLiteral("ImgPic2"), m_image, bounds);
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
}

void ChartPane::storeChartList()
{
    if (m_document.isEmpty())
        return;
    try {
        NotebookStore(m_journal.db()).storeChartNames(m_document, chartNames());
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
}

void ChartPane::loadCharts(const QString& document)
{
    m_document = document;
    TreeView2->clear();
    QStringList names;
    try {
        names = NotebookStore(m_journal.db()).chartNames(document).value_or(QStringList());
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
    for (const QString& name : names) {
        auto* item = new QTreeWidgetItem(TreeView2, {name});
        item->setData(0, TreeRoles::ImageIndex, 0);
    }
    enableCommands();
    if (names.isEmpty()) {
        removePicture();
        collapsePane();
        return;
    }
    openPane();
    TreeView2->setCurrentItem(TreeView2->topLevelItem(0));
    if (!readChart(names.first()))
        removePicture();
}

void ChartPane::emptyCharts(const QString& document)
{
    m_document = document;
    TreeView2->clear();
    enableCommands();
    removePicture();
    collapsePane();
}

void ChartPane::TreeView2Click()
{
    const QTreeWidgetItem* chart = selectedChart();
    if (!chart || chart->text(0).isEmpty())
        return;
    if (!readChart(chart->text(0)))
        removePicture();
}

void ChartPane::MenuItem2Click()
{
    const std::optional<bool> folder = m_selectedIsFolder ? m_selectedIsFolder() : std::nullopt;
    if (folder.value_or(false)) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("Графики нельзя добавлять в папки, создайте документ!"));
        return;
    }
    if (!folder || m_document.isEmpty())
        return;
    const QString name = m_prompts.askText(QStringLiteral("Добавить документ"), QStringLiteral("Введите название"), QString())
                             .value_or(QString());
    if (name.isEmpty())
        return;
    // Two charts of one name would share one picture file.
    if (chartNames().contains(name)) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), nameTakenMessage());
        return;
    }
    auto* item = new QTreeWidgetItem(TreeView2, {name});
    item->setData(0, TreeRoles::ImageIndex, 0);
    storeChartList();
    TreeView2->setCurrentItem(item);
    enableCommands();
    QImage blank(Pan_Image->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    blank.fill(Qt::white);
    showPicture(blank, QRect(QPoint(0, 0), blank.size()));
}

void ChartPane::N21Click()
{
    QTreeWidgetItem* chart = selectedChart();
    if (!chart || treeEntryOf(chart).imageIndex != 0)
        return;
    const QString old = chart->text(0);
    const QString name = m_prompts.askText(QStringLiteral("Введите новое название документа"),
                                           QStringLiteral("Введите название"), old)
                             .value_or(old);
    if (name.isEmpty() || name == old)
        return;
    if (chartNames().contains(name)) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), nameTakenMessage());
        return;
    }
    if (QFile::exists(chartPath(old)))
        QFile::rename(chartPath(old), chartPath(name));
    chart->setText(0, name);
    storeChartList();
}

void ChartPane::MenuItem3Click()
{
    if (!m_prompts.confirm(QStringLiteral("Удалить график")))
        return;
    QTreeWidgetItem* chart = selectedChart();
    if (!chart)
        return;
    QFile::remove(chartPath(chart->text(0)));
    delete chart;
    if (TreeView2->topLevelItemCount() > 0)
        TreeView2->setCurrentItem(TreeView2->topLevelItem(0));
    storeChartList();
    enableCommands();
}

void ChartPane::moveSelected(int step)
{
    QTreeWidgetItem* chart = selectedChart();
    if (!chart)
        return;
    const int from = TreeView2->indexOfTopLevelItem(chart);
    const int to = from + step;
    if (to < 0 || to >= TreeView2->topLevelItemCount())
        return;
    TreeView2->takeTopLevelItem(from);
    TreeView2->insertTopLevelItem(to, chart);
    TreeView2->setCurrentItem(chart);
    storeChartList(); // the order is kept at once, not only with the next addition
}

void ChartPane::MenuItem5Click() { moveSelected(-1); }
void ChartPane::MenuItem6Click() { moveSelected(+1); }

void ChartPane::ToolButton9Click()
{
    if (TreeView2->topLevelItemCount() == 0) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("Добавьте сначала график, в левом окне правая кнопка мыши!"));
        return;
    }
    const QTreeWidgetItem* chart = selectedChart();
    if (!chart || chart->text(0).isEmpty())
        return;
    if (treeEntryOf(chart).imageIndex != 0) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("Выберите документ, куда вставит граффик!"));
        return;
    }
    const QImage pasted = QApplication::clipboard()->image();
    if (pasted.isNull()) {
        // An empty clipboard must not wipe a chart that is already saved.
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("В буфере обмена нет изображения."));
        return;
    }
    const QPoint topLeft = m_bounds.isValid() ? m_bounds.topLeft() : QPoint(0, 0);
    showPicture(pasted.convertToFormat(QImage::Format_RGB32), QRect(topLeft, pasted.size()));
    writeChart(chart->text(0));
}

void ChartPane::ToolButton12Click()
{
    const QTreeWidgetItem* chart = selectedChart();
    if (!chart || chart->text(0).isEmpty())
        return;
    if (!QFile::exists(chartPath(chart->text(0))) || !m_image.isNull())
        writeChart(chart->text(0));
}

void ChartPane::ToolButton21Click()
{
    const QTreeWidgetItem* chart = selectedChart();
    if (chart && QFile::exists(chartPath(chart->text(0))))
        readChart(chart->text(0));
}

void ChartPane::ToolButton7Click()
{
    if (!m_image.isNull())
        QApplication::clipboard()->setImage(m_image);
}
