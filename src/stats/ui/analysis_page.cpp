#include "stats/ui/analysis_page.h"

#include "context/ui/page_scroll.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/settings.h"
#include "state/ui/control_states.h"
#include "pictures/ui/trade_pictures_panel.h"
#include "stats/core/analysis_model.h"
#include "stats/core/period_analysis.h"
#include "stats/ui/date_picker.h"
#include "stats/ui/grid_cell_delegate.h"
#include "stats/ui/page_state.h"
#include "stats/ui/stats_grid.h"

#include <QDateTimeEdit>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

AnalysisPage::AnalysisPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet6"));
    auto* layout = new QVBoxLayout(scrollingPageBody(this));
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(makeTopPanel());
    StringGrid_Analiz = makeGrid();
    Splitter1 = makeSplitter(makeLowerHalf());
    layout->addWidget(Splitter1, 1);
    PopupMenu6_Del1 = makeDeleteMenu();
    connectGrid();
}

// The table of the trades, at its design column widths; the trader's own
// widths come back from the state file.
QTableView* AnalysisPage::makeGrid()
{
    QTableView* grid = makeStatsGrid(QStringLiteral("StringGrid_Analiz"), this);
    m_model = new AnalysisModel(this);
    grid->setModel(m_model);
    grid->setItemDelegate(new GridCellDelegate(grid));
    const QFontMetrics metrics(grid->font());
    const int designWidths[kAnalysisColumns] = {32, 48, 80, metrics.horizontalAdvance(QStringLiteral("2013.07.05 23:59:59")) + 12,
                                                44, 48, 70, 72, 80, 100, 130, 130, 36, 130, 70, 36, 48};
    for (int c = 0; c < kAnalysisColumns; ++c)
        grid->horizontalHeader()->resizeSection(
            c, std::max(designWidths[c], metrics.horizontalAdvance(analysisHeaders()[c]) + 12));
    return grid;
}

// Under the table: the day's total line and the selected trade's pictures.
QWidget* AnalysisPage::makeLowerHalf()
{
    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    auto* strip = new QHBoxLayout;
    Label_Day = new QLabel(lower);
    Label_Day->setObjectName(QStringLiteral("Label_Day"));
    Label_Day->setFont(statsFont());
    setTextColour(Label_Day, QColor(0, 0, 128));
    auto* note = new QLabel(QStringLiteral("Удаление записи, правая кнопка мыши! Редактирование двойной клик"), lower);
    setTextColour(note, QColor(128, 128, 128));
    // On a narrow window both lines wrap instead of running past the edge.
    Label_Day->setWordWrap(true);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    strip->addWidget(Label_Day, 1);
    strip->addWidget(note);
    lowerLayout->addLayout(strip);
    PicturePanel = makePicturePanel(lower);
    lowerLayout->addWidget(PicturePanel, 1);
    return lower;
}

QWidget* AnalysisPage::makePicturePanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("PicturePanel"));
    auto* pictureLayout = new QVBoxLayout(panel);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    PageControl3 = new QTabWidget(panel);
    PageControl3->setObjectName(QStringLiteral("PageControl3"));
    TradePictures = new TradePicturesPanel(m_journal, m_prompts, PageControl3);
    TradePictures->setObjectName(QStringLiteral("TradePictures"));
    PageControl3->addTab(TradePictures, QStringLiteral("Рисунок сделки"));
    pictureLayout->addWidget(PageControl3);
    connect(this, &AnalysisPage::tradeSelected, TradePictures, [this](const QString& id) { TradePictures->chooseTrade(id); });
    connect(TradePictures, &TradePicturesPanel::penColourChosen, this, &AnalysisPage::penColourChosen);
    connect(TradePictures, &TradePicturesPanel::picturesChanged, m_model, &AnalysisModel::setPictureMark);
    connect(TradePictures, &TradePicturesPanel::editTradeRequested, this, [this] {
        const QString id = selectedTradeId();
        if (!id.isEmpty())
            emit editTradeRequested(id);
    });
    return panel;
}

QSplitter* AnalysisPage::makeSplitter(QWidget* lower)
{
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->addWidget(StringGrid_Analiz);
    splitter->addWidget(lower);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({206, 400});
    return splitter;
}

QMenu* AnalysisPage::makeDeleteMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu6_Del1"));
    connect(menu->addAction(QStringLiteral("Удалить сделку")), &QAction::triggered, this, [this] {
        const QString id = selectedTradeId();
        if (!id.isEmpty())
            emit deleteTradeRequested(id);
    });
    return menu;
}

void AnalysisPage::connectGrid()
{
    connect(StringGrid_Analiz, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // The menu acts on the row under the pointer, which becomes the selection.
        const QModelIndex index = StringGrid_Analiz->indexAt(pos);
        if (index.isValid())
            StringGrid_Analiz->selectRow(index.row());
        PopupMenu6_Del1->popup(StringGrid_Analiz->viewport()->mapToGlobal(pos));
    });
    connect(StringGrid_Analiz, &QAbstractItemView::doubleClicked, this, [this] {
        const QString id = selectedTradeId();
        if (!id.isEmpty())
            emit editTradeRequested(id);
    });
    connect(StringGrid_Analiz->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { StringGrid_AnalizClick(); });
}

QWidget* AnalysisPage::makeTopPanel()
{
    auto* panel = new QWidget(this);
    auto* top = new QHBoxLayout(panel);
    top->setContentsMargins(0, 0, 0, 0);
    Label_Data = new QLabel(panel);
    Label_Data->setObjectName(QStringLiteral("Label_Data"));
    QFont dataFont(QStringLiteral("Tahoma"));
    dataFont.setPixelSize(15);
    Label_Data->setFont(dataFont);
    setTextColour(Label_Data, Qt::black);
    Label_Data->setMinimumWidth(280);

    BitBtn19 = new QPushButton(QStringLiteral("Новая сделка"), panel);
    BitBtn19->setObjectName(QStringLiteral("BitBtn19"));
    BitBtn19->setToolTip(QStringLiteral("Для анализа текущей дважды кликните на таблицу"));
    BitBtn8 = new QPushButton(panel);
    BitBtn8->setObjectName(QStringLiteral("BitBtn8"));
    BitBtn8->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    BitBtn8->setToolTip(QStringLiteral("Назад"));
    BitBtn9 = new QPushButton(panel);
    BitBtn9->setObjectName(QStringLiteral("BitBtn9"));
    BitBtn9->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    BitBtn9->setToolTip(QStringLiteral("Вперед"));
    Button1 = new QPushButton(QStringLiteral("Сегодня"), panel);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
    DateTimePicker1 = makeDatePicker(QStringLiteral("DateTimePicker1"), panel);
    DateTimePicker2 = makeDatePicker(QStringLiteral("DateTimePicker2"), panel);
    Button_Analize = new QPushButton(QStringLiteral("Отфильтровать"), panel);
    Button_Analize->setObjectName(QStringLiteral("Button_Analize"));
    QFont bold = Button_Analize->font();
    bold.setBold(true);
    Button_Analize->setFont(bold);

    top->addWidget(Label_Data);
    top->addWidget(BitBtn19);
    top->addSpacing(12);
    top->addWidget(BitBtn8);
    top->addWidget(BitBtn9);
    top->addWidget(Button1);
    top->addSpacing(12);
    top->addWidget(DateTimePicker1);
    top->addWidget(DateTimePicker2);
    top->addWidget(Button_Analize);
    top->addStretch();

    connect(BitBtn19, &QPushButton::clicked, this, &AnalysisPage::newTradeRequested);
    connect(BitBtn8, &QPushButton::clicked, this, &AnalysisPage::BitBtn8Click);
    connect(BitBtn9, &QPushButton::clicked, this, &AnalysisPage::BitBtn9Click);
    connect(Button1, &QPushButton::clicked, this, &AnalysisPage::showToday);
    connect(Button_Analize, &QPushButton::clicked, this, &AnalysisPage::runPeriodAnalysis);
    return panel;
}

void AnalysisPage::runPeriodAnalysis()
{
    const QDate start = DateTimePicker1->date();
    const QDate end = DateTimePicker2->date();
    Label_Data->setText(analysisDateLabel(start));
    PeriodAnalysis analysis = buildPeriodAnalysis(m_journal.db(), m_journal.activeAccount, start, end);
    const QString problem = analysis.problem;
    Label_Day->setText(analysis.dayLabel());
    setTextColour(Label_Day, analysis.dayColour());
    const QString selected = selectedTradeId();
    m_model->setAnalysis(std::move(analysis));
    // The trade the trader was on stays selected when it is still listed;
    // otherwise its pictures leave the page.
    const int row = m_model->rowOfTrade(selected);
    if (row >= 0)
        StringGrid_Analiz->selectRow(row);
    else
        TradePictures->forgetTrade();
    if (!problem.isEmpty())
        reportUpdateProblem(m_journal, m_prompts, problem);
}

void AnalysisPage::showDay(const QDate& day) { showRange(day, day.addDays(1)); }

void AnalysisPage::showRange(const QDate& from, const QDate& to)
{
    DateTimePicker1->setDate(from);
    DateTimePicker2->setDate(to);
    runPeriodAnalysis();
}

void AnalysisPage::showToday()
{
    const QDateTime now = QDateTime::currentDateTime();
    DateTimePicker1->setDateTime(now);
    DateTimePicker2->setDateTime(now.addDays(1));
    runPeriodAnalysis();
}

void AnalysisPage::BitBtn8Click()
{
    DateTimePicker2->setDateTime(DateTimePicker2->dateTime().addDays(-1));
    DateTimePicker1->setDateTime(DateTimePicker2->dateTime().addDays(-1));
    runPeriodAnalysis();
}

void AnalysisPage::BitBtn9Click()
{
    DateTimePicker1->setDateTime(DateTimePicker1->dateTime().addDays(1));
    DateTimePicker2->setDateTime(DateTimePicker1->dateTime().addDays(1));
    runPeriodAnalysis();
}

QString AnalysisPage::selectedTradeId() const
{
    const QModelIndex current = StringGrid_Analiz->selectionModel()->currentIndex();
    if (!current.isValid() || !StringGrid_Analiz->selectionModel()->isRowSelected(current.row(), {}))
        return QString();
    return m_model->tradeId(current.row());
}

void AnalysisPage::reselectTrade()
{
    const QString id = selectedTradeId();
    if (!id.isEmpty())
        emit tradeSelected(id, StringGrid_Analiz->selectionModel()->currentIndex().row());
}

void AnalysisPage::writePendingPicture() { TradePictures->writePendingPicture(); }

void AnalysisPage::restoreGridLayout() { loadControlState(m_journal, m_prompts, StringGrid_Analiz); }

void AnalysisPage::saveGridLayout() const { saveControlState(m_journal, m_prompts, StringGrid_Analiz); }

void AnalysisPage::restoreDates(const DateState& state)
{
    if (state.dates[0])
        pagestate::setDateKeepingTime(DateTimePicker1, *state.dates[0]);
    if (state.dates[1])
        pagestate::setDateKeepingTime(DateTimePicker2, *state.dates[1]);
}

void AnalysisPage::saveDates(QDate (&dates)[4]) const
{
    dates[0] = DateTimePicker1->date();
    dates[1] = DateTimePicker2->date();
}
