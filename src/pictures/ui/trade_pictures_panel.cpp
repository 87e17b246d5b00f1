// The tab's widgets and how they are wired; its commands are in
// trade_pictures_commands.cpp.
#include "pictures/ui/trade_pictures_panel.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "pictures/core/drawing_tool.h"
#include "pictures/ui/color_box.h"
#include "pictures/ui/picture_scroll_bars.h"
#include "pictures/ui/picture_surface.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QToolButton* makeButton(QToolBar* bar, const char* name, const QString& text, const QString& hint, bool checkable = false)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setCheckable(checkable);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

// Keeps the caption over the whole panel and, while the picture shows
// nothing, the picture surface too.
class PanelFollower : public QObject {
public:
    PanelFollower(QFrame* panel, QLabel* caption, PictureSurface* surface)
        : QObject(panel)
        , m_panel(panel)
        , m_caption(caption)
        , m_surface(surface)
    {
        panel->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_panel && event->type() == QEvent::Resize) {
            m_caption->setGeometry(m_panel->rect().adjusted(20, 20, -20, -20));
            if (!m_surface->hasPicture())
                m_surface->setBounds(m_panel->rect());
        }
        return false;
    }

private:
    QFrame* m_panel;
    QLabel* m_caption;
    PictureSurface* m_surface;
};

} // namespace

TradePicturesPanel::TradePicturesPanel(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TradePicturesPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(makeToolBar());
    auto* body = new QHBoxLayout;
    body->addWidget(makeList());
    body->addWidget(makePicturePanel(), 1);
    layout->addLayout(body, 1);

    connect(ImPict, &PictureSurface::released, this, &TradePicturesPanel::storePosition);
    connect(ImPict, &PictureSurface::imageDropped, this, &TradePicturesPanel::pasteImage);
    connect(ImPict, &PictureSurface::doubleClicked, this, &TradePicturesPanel::editTradeRequested);
    auto* paste = new QShortcut(QKeySequence::Paste, this);
    paste->setContext(Qt::WidgetWithChildrenShortcut);
    connect(paste, &QShortcut::activated, this, &TradePicturesPanel::ToolButton13Click);
    connect(&journal.drawingTool, &DrawingTool::changed, this, &TradePicturesPanel::syncModeButtons);
    syncModeButtons();
}

QWidget* TradePicturesPanel::makeToolBar()
{
    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolButton13 = makeButton(ToolBar2, "ToolButton13", QStringLiteral("Вставить"), QStringLiteral("Вставить график"));
    ToolButton14 = makeButton(ToolBar2, "ToolButton14", QStringLiteral("Сохранить"), QStringLiteral("Сохранить"));
    ToolButton22 = makeButton(ToolBar2, "ToolButton22", QStringLiteral("Удалить"), QStringLiteral("Удалить график"), true);
    ToolButton24 = makeButton(ToolBar2, "ToolButton24", QStringLiteral("Отменить"),
                              QStringLiteral("Отменить последние изменения"));
    ToolBar2->addSeparator();
    ToolButton17 = makeButton(ToolBar2, "ToolButton17", QStringLiteral("Рисовать"), QStringLiteral("Рисовать"), true);
    ToolButton18 = makeButton(ToolBar2, "ToolButton18", QStringLiteral("Текст"), QStringLiteral("Вывести текст"), true);
    cbb_Width = new QSpinBox(ToolBar2);
    cbb_Width->setObjectName(QStringLiteral("cbb_Width"));
    cbb_Width->setRange(1, 50);
    cbb_Width->setValue(2);
    cbb_Width->setToolTip(QStringLiteral("Толщина линии"));
    ToolBar2->addWidget(cbb_Width);
    ColorBox1 = new ColorBox(QStringLiteral("ColorBox1"), ToolBar2);
    ToolBar2->addWidget(ColorBox1);
    connect(ColorBox1, &QComboBox::activated, this, &TradePicturesPanel::penColourChosen);
    ToolButton19 = makeButton(ToolBar2, "ToolButton19", QStringLiteral("В буфер"), QStringLiteral("Скопировать в буфер"));
    ToolBar2->addSeparator();
    ToolButton25 = makeButton(ToolBar2, "ToolButton25", QStringLiteral("+"), QStringLiteral("Увеличить"));
    ToolButton26 = makeButton(ToolBar2, "ToolButton26", QStringLiteral("−"), QStringLiteral("Уменьшить"));
    ToolBar2->addSeparator();
    SavePictureAsPng = makeButton(ToolBar2, "SavePictureAsPng", QStringLiteral("PNG…"),
                                  QStringLiteral("Сохранить как PNG…"));

    DrawingTool& tool = m_journal.drawingTool;
    connect(ToolButton13, &QToolButton::clicked, this, &TradePicturesPanel::ToolButton13Click);
    connect(ToolButton14, &QToolButton::clicked, this, &TradePicturesPanel::ToolButton14Click);
    connect(ToolButton22, &QToolButton::clicked, this, &TradePicturesPanel::ToolButton22Click);
    connect(ToolButton24, &QToolButton::clicked, this, &TradePicturesPanel::ToolButton24Click);
    connect(ToolButton17, &QToolButton::clicked, &tool, &DrawingTool::toggleDraw);
    connect(ToolButton18, &QToolButton::clicked, &tool, &DrawingTool::toggleText);
    connect(cbb_Width, &QSpinBox::valueChanged, &tool, [&tool](int width) { tool.setPenWidthText(QString::number(width)); });
    connect(ToolButton19, &QToolButton::clicked, this, [this] { ImPict->copyToClipboard(); });
    connect(ToolButton25, &QToolButton::clicked, this, &TradePicturesPanel::ToolButton25Click);
    connect(ToolButton26, &QToolButton::clicked, this, &TradePicturesPanel::ToolButton26Click);
    connect(SavePictureAsPng, &QToolButton::clicked, this, [this] { ImPict->savePngAs(); });
    return ToolBar2;
}

// The picture over its panel, with the hint shown while there is none, and
// scroll bars for a picture larger than the panel.
QWidget* TradePicturesPanel::makePicturePanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setAutoFillBackground(true);
    QPalette sky = Panel1->palette();
    sky.setColor(QPalette::Window, QColor(166, 202, 240));
    Panel1->setPalette(sky);
    Panel1->setMinimumSize(200, 120);
    Panel1Caption = new QLabel(
        QStringLiteral("Чтобы скопировать график в буфер MetaTrader нажмите кнопку PrtScr (PrintScreen) возле клавиши "
                       "F12 на клавиатуре. А потом тут, вставить график!"),
        Panel1);
    Panel1Caption->setObjectName(QStringLiteral("Panel1Caption"));
    Panel1Caption->setWordWrap(true);
    Panel1Caption->setAlignment(Qt::AlignCenter);
    ImPict = new PictureSurface(PictureSurface::Kind::TradePicture, QStringLiteral("ImPict"), m_journal.drawingTool,
                                m_prompts, Panel1);
    ImPict->setToolTip(QStringLiteral("Чтобы перемещать изображение зажмите правую кнопку мыши"));
    ImPict->setColourBox(ColorBox1);
    ImPict->raise();
    new PanelFollower(Panel1, Panel1Caption, ImPict);
    // The hint is for an empty panel: it never shows beside a picture.
    connect(ImPict, &PictureSurface::pictureChanged, Panel1Caption,
            [this] { Panel1Caption->setVisible(!ImPict->hasPicture()); });
    QWidget* framed = PictureScrollBars::wrap(Panel1, ImPict, this);
    // A zoom or a scroll is written with the picture when the trader leaves it.
    connect(ImPict, &PictureSurface::zoomed, this, [this] { m_zoomPending = true; });
    connect(framed->findChild<PictureScrollBars*>(), &PictureScrollBars::scrolled, this,
            [this] { m_zoomPending = true; });
    return framed;
}

QWidget* TradePicturesPanel::makeList()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* note = new QLabel(QStringLiteral("Удаление записи, правая кнопка мыши!"), column);
    note->setWordWrap(true);
    setTextColour(note, Qt::red);
    auto* title = new QLabel(QStringLiteral("Список рисунков"), column);
    TreeView3 = new QTreeWidget(column);
    TreeView3->setObjectName(QStringLiteral("TreeView3"));
    TreeView3->setHeaderHidden(true);
    TreeView3->setRootIsDecorated(false);
    TreeView3->setToolTip(QStringLiteral("Добавить график, правая кнопка мыши"));
    TreeView3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView3->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(note);
    layout->addWidget(title);
    layout->addWidget(TreeView3, 1);
    column->setFixedWidth(210);

    PopupMenu4 = new QMenu(this);
    PopupMenu4->setObjectName(QStringLiteral("PopupMenu4"));
    N22 = PopupMenu4->addAction(QStringLiteral("Добавить рисунок"));
    PopupMenu4->addSeparator();
    N24 = PopupMenu4->addAction(QStringLiteral("Удалить рисунок"));
    N22->setObjectName(QStringLiteral("N22"));
    N24->setObjectName(QStringLiteral("N24"));
    connect(N22, &QAction::triggered, this, &TradePicturesPanel::N22Click);
    connect(N24, &QAction::triggered, this, &TradePicturesPanel::N24Click);
    connect(TreeView3, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QTreeWidgetItem* item = TreeView3->itemAt(pos))
            TreeView3->setCurrentItem(item);
        PopupMenu4->popup(TreeView3->viewport()->mapToGlobal(pos));
    });
    connect(TreeView3, &QTreeWidget::currentItemChanged, this, [this] {
        if (!m_quiet)
            TreeView3Click();
    });
    return column;
}

void TradePicturesPanel::syncModeButtons()
{
    const DrawingTool& tool = m_journal.drawingTool;
    ToolButton17->setChecked(tool.drawButtonDown());
    ToolButton18->setChecked(tool.textButtonDown());
    if (const std::optional<int> width = tool.penWidth(); width && *width != cbb_Width->value())
        cbb_Width->setValue(*width);
}
