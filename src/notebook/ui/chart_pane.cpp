#include "notebook/ui/chart_pane.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "pictures/core/drawing_tool.h"
#include "pictures/ui/color_box.h"
#include "pictures/ui/picture_scroll_bars.h"
#include "pictures/ui/picture_surface.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
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

// While the chart shows no picture, its surface covers the whole panel, so
// that a stroke there starts a white picture of the panel's size.
class EmptySurfaceFollower : public QObject {
public:
    EmptySurfaceFollower(QWidget* panel, PictureSurface* surface)
        : QObject(panel)
        , m_panel(panel)
        , m_surface(surface)
    {
        panel->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_panel && event->type() == QEvent::Resize && !m_surface->hasPicture())
            m_surface->setBounds(m_panel->rect());
        return false;
    }

private:
    QWidget* m_panel;
    PictureSurface* m_surface;
};

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
    layout->addWidget(makeHeader());
    layout->addWidget(makeBody(), 1);

    buildMenu();
    connectList();
    connect(Button6, &QPushButton::clicked, this, &ChartPane::Button6Click);
    connect(ImgPic2, &PictureSurface::doubleClicked, this, &ChartPane::ImgPic2DblClick);
    connect(ImgPic2, &PictureSurface::imageDropped, this, &ChartPane::pasteChart);
    auto* paste = new QShortcut(QKeySequence::Paste, this);
    paste->setContext(Qt::WidgetWithChildrenShortcut);
    connect(paste, &QShortcut::activated, this, &ChartPane::ToolButton9Click);
    connect(&journal.drawingTool, &DrawingTool::changed, this, &ChartPane::syncModeButtons);
    syncModeButtons();
    enableCommands();
}

// The header that stays while the pane is collapsed: its button and title.
QWidget* ChartPane::makeHeader()
{
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
    return Panel10;
}

// The chart list on the left, the toolbar and the picture on the right.
QWidget* ChartPane::makeBody()
{
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
    right->addWidget(makeToolBar(m_body));
    right->addWidget(makeImagePanel(m_body), 1);
    body->addLayout(right, 1);
    return m_body;
}

void ChartPane::connectList()
{
    // Every change of the chosen chart, by click, keys or the menu's
    // right click, shows that chart.
    connect(TreeView2, &QTreeWidget::currentItemChanged, this, [this] {
        if (!m_quiet)
            TreeView2Click();
    });
    connect(TreeView2, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QTreeWidgetItem* item = TreeView2->itemAt(at))
            TreeView2->setCurrentItem(item);
        enableCommands();
        PopupMenu_Tree2->popup(TreeView2->viewport()->mapToGlobal(at));
    });
}

QToolBar* ChartPane::makeToolBar(QWidget* parent)
{
    ToolBar1 = new QToolBar(parent);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolButton9 = barButton(ToolBar1, "ToolButton9", QStringLiteral("Вставить"), QStringLiteral("Вставить график"));
    ToolButton12 = barButton(ToolBar1, "ToolButton12", QStringLiteral("Сохранить"), QString());
    ToolButton21 = barButton(ToolBar1, "ToolButton21", QStringLiteral("Отменить"),
                             QStringLiteral("Отменить последние изменения"));
    ToolBar1->addSeparator();
    ToolButton5 = barButton(ToolBar1, "ToolButton5", QStringLiteral("Рисовать"), QStringLiteral("Рисовать"));
    ToolButton5->setCheckable(true);
    ToolButton6 = barButton(ToolBar1, "ToolButton6", QStringLiteral("Текст"), QStringLiteral("Вывести текст"));
    ToolButton6->setCheckable(true);
    ColorBox2 = new ColorBox(QStringLiteral("ColorBox2"), ToolBar1);
    ToolBar1->addWidget(ColorBox2);
    connect(ColorBox2, &QComboBox::activated, this, &ChartPane::penColourChosen);
    ToolButton7 = barButton(ToolBar1, "ToolButton7", QStringLiteral("В буфер"), QStringLiteral("Скопировать в буфер"));
    ToolButton10 = barButton(ToolBar1, "ToolButton10", QStringLiteral("Очистить"), QStringLiteral("Очистить"));
    ToolButton10->setCheckable(true);
    ToolBar1->addSeparator();
    ChartZoomIn = barButton(ToolBar1, "ChartZoomIn", QStringLiteral("+"), QStringLiteral("Увеличить"));
    ChartZoomOut = barButton(ToolBar1, "ChartZoomOut", QStringLiteral("−"), QStringLiteral("Уменьшить"));
    SaveChartAsPng = barButton(ToolBar1, "SaveChartAsPng", QStringLiteral("PNG…"), QStringLiteral("Сохранить как PNG…"));

    DrawingTool& tool = m_journal.drawingTool;
    connect(ToolButton9, &QToolButton::clicked, this, &ChartPane::ToolButton9Click);
    connect(ToolButton12, &QToolButton::clicked, this, &ChartPane::ToolButton12Click);
    connect(ToolButton21, &QToolButton::clicked, this, &ChartPane::ToolButton21Click);
    connect(ToolButton5, &QToolButton::clicked, &tool, &DrawingTool::toggleDraw);
    connect(ToolButton6, &QToolButton::clicked, &tool, &DrawingTool::toggleText);
    connect(ToolButton7, &QToolButton::clicked, this, &ChartPane::ToolButton7Click);
    connect(ToolButton10, &QToolButton::clicked, this, &ChartPane::ToolButton10Click);
    // A zoom is written with the chart when the trader leaves it, as a pan is.
    connect(ChartZoomIn, &QToolButton::clicked, this, [this] { ImgPic2->zoomIn(); });
    connect(ChartZoomOut, &QToolButton::clicked, this, [this] { ImgPic2->zoomOut(); });
    connect(SaveChartAsPng, &QToolButton::clicked, this, [this] { ImgPic2->savePngAs(); });
    return ToolBar1;
}

// The chart over its panel, with scroll bars for a chart larger than the panel.
QWidget* ChartPane::makeImagePanel(QWidget* parent)
{
    Pan_Image = new QWidget(parent);
    Pan_Image->setObjectName(QStringLiteral("Pan_Image"));
    Pan_Image->setAutoFillBackground(true);
    QPalette sky = Pan_Image->palette();
    sky.setColor(QPalette::Window, QColor(166, 202, 240));
    Pan_Image->setPalette(sky);
    auto* image = new QVBoxLayout(Pan_Image);
    image->setContentsMargins(0, 0, 0, 0);
    m_hint = new QLabel(QStringLiteral("Развернуть изображение - двойной клик по графику"), Pan_Image);
    image->addWidget(m_hint);
    m_caption = new QLabel(QStringLiteral("Нет изображения (Скопируте в буфер и нажмите кнопку \"Вставить\")"), Pan_Image);
    m_caption->setAlignment(Qt::AlignCenter);
    image->addWidget(m_caption, 1);
    // The picture lies over the panel at its bounds, outside the layout:
    // panning moves it and the panel clips it.
    ImgPic2 = new PictureSurface(PictureSurface::Kind::ChartPicture, QStringLiteral("ImgPic2"), m_journal.drawingTool,
                                 m_prompts, Pan_Image);
    ImgPic2->setColourBox(ColorBox2);
    ImgPic2->setToolTip(m_hint->text());
    ImgPic2->raise();
    new EmptySurfaceFollower(Pan_Image, ImgPic2);
    // The hints are for an empty panel: they never show beside a chart
    // (the chart's own tooltip tells about the double-click).
    connect(ImgPic2, &PictureSurface::pictureChanged, this, [this] {
        m_caption->setVisible(!ImgPic2->hasPicture());
        m_hint->setVisible(!ImgPic2->hasPicture());
    });
    return PictureScrollBars::wrap(Pan_Image, ImgPic2, parent);
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
    const std::pair<QAction*, const char*> named[] = {
        {MenuItem2, "MenuItem2"}, {N21, "N21"}, {MenuItem3, "MenuItem3"}, {MenuItem5, "MenuItem5"}, {MenuItem6, "MenuItem6"}};
    for (const auto& [action, name] : named)
        action->setObjectName(QLatin1StringView(name));
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
    ToolButton5->setEnabled(any);
    ToolButton6->setEnabled(any);
    ToolButton7->setEnabled(any);
    MenuItem3->setEnabled(any);
    N21->setEnabled(any);
}

void ChartPane::syncModeButtons()
{
    ToolButton5->setChecked(m_journal.drawingTool.drawButtonDown());
    ToolButton6->setChecked(m_journal.drawingTool.textButtonDown());
}

QStringList ChartPane::chartNames() const
{
    QStringList out;
    for (int i = 0; i < TreeView2->topLevelItemCount(); ++i)
        out << TreeView2->topLevelItem(i)->text(0);
    return out;
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

