#include "stats/ui/trade_table_page.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "stats/core/account_trades.h"
#include "stats/core/column_widths.h"
#include "stats/core/trade_table_model.h"
#include "stats/core/trade_time.h"
#include "stats/ui/balance_chart_panel.h"
#include "stats/ui/fit_column_widths.h"
#include "stats/ui/grid_cell_delegate.h"
#include "stats/ui/stats_grid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

TradeTablePage::TradeTablePage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(makeTopBar());

    StringGrid_All = makeStatsGrid(QStringLiteral("StringGrid_All"), this);
    m_model = new TradeTableModel(this);
    StringGrid_All->setModel(m_model);
    StringGrid_All->setItemDelegate(new GridCellDelegate(StringGrid_All));
    layout->addWidget(StringGrid_All, 1);

    m_chart = new BalanceChartPanel(journal, prompts, this);
    layout->addWidget(m_chart);

    PopupMenu6_Del1 = makeDeleteMenu();
    connect(StringGrid_All, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu6_Del1->popup(StringGrid_All->viewport()->mapToGlobal(pos));
    });
    connect(StringGrid_All, &QAbstractItemView::doubleClicked, this, &TradeTablePage::StringGrid_AllDblClick);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        // The chosen order replaces a header's sort.
        StringGrid_All->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        refreshTradeTable();
    });
}

// The account's name, the summary and the choice of order over the table.
QHBoxLayout* TradeTablePage::makeTopBar()
{
    auto* top = new QHBoxLayout;
    Active_Chet_Cap = new QLabel(this);
    Active_Chet_Cap->setObjectName(QStringLiteral("Active_Chet_Cap"));
    Active_Chet_Cap->setFont(statsFont(true));
    QPalette captionPalette = Active_Chet_Cap->palette();
    captionPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Active_Chet_Cap->setPalette(captionPalette);
    Label_All2 = new QLabel(this);
    Label_All2->setObjectName(QStringLiteral("Label_All2"));
    Label_All2->setFont(statsFont(true));
    QPalette summaryPalette = Label_All2->palette();
    summaryPalette.setColor(QPalette::WindowText, Qt::black);
    Label_All2->setPalette(summaryPalette);
    Label_CopyResult = new QLabel(this);
    Label_CopyResult->setObjectName(QStringLiteral("Label_CopyResult"));
    Label_CopyResult->setFont(statsFont(false));
    Label_CopyResult->setVisible(false);
    // A long line takes the room there is rather than widening the page;
    // its tooltip holds all of it.
    Label_CopyResult->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("по профиту"), QStringLiteral("по дате")});
    ComboBox1->setCurrentIndex(0);
    top->addWidget(Active_Chet_Cap);
    top->addSpacing(24);
    top->addWidget(Label_All2);
    top->addSpacing(24);
    top->addWidget(Label_CopyResult, 1);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Сортировать"), this));
    top->addWidget(ComboBox1);
    return top;
}

QMenu* TradeTablePage::makeDeleteMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu6_Del1"));
    QAction* deleteTrade = menu->addAction(QStringLiteral("Удалить сделку"));
    deleteTrade->setObjectName(QStringLiteral("Del1"));
    connect(deleteTrade, &QAction::triggered, this, [this] {
        const int row = selectedRow();
        if (row >= 0)
            emit deleteTradeRequested(m_model->cell(row, tradecol::Id));
    });
    return menu;
}

TradeTablePage::~TradeTablePage() = default;

void TradeTablePage::refreshTradeTable()
{
    const auto order = ComboBox1->currentIndex() == 1 ? TradeOrder::Date : TradeOrder::Profit;
    // The trade the trader had selected stays selected where it now stands.
    const int selected = selectedRow();
    const QString selectedId = selected >= 0 ? m_model->cell(selected, tradecol::Id) : QString();
    // The table and the chart are built from one reading of the trades.
    // A reading from disk is laid out in the memory the shown trades held:
    // they go first, and the view is put back where it stood.
    const int top = StringGrid_All->verticalScrollBar()->value();
    const int left = StringGrid_All->horizontalScrollBar()->value();
    bool released = false;
    std::shared_ptr<AccountTrades> stored;
    TradeTable trades;
    try {
        if (m_model->rowCount() > 0 && !AccountTrades::isKept(m_journal.db(), m_journal.activeAccount)) {
            m_model->setTrades(TradeTable());
            released = true;
        }
        stored = AccountTrades::read(m_journal.db(), m_journal.activeAccount);
        trades = buildTradeTable(stored, order);
    } catch (const ESQLiteException& e) {
        trades.stop(e.message());
    }
    const bool tableFailed = !trades.complete();
    if (tableFailed)
        reportUpdateProblem(m_journal, m_prompts, trades.problem);
    Label_All2->setText(trades.summary());
    m_model->setTrades(std::move(trades));
    if (released) {
        StringGrid_All->doItemsLayout();
        StringGrid_All->verticalScrollBar()->setValue(top);
    }
    if (!selectedId.isEmpty())
        selectTrade(selectedId);
    // A refresh that already reported its failure does not report the
    // chart's failure over the same trades a second time.
    if (const QString problem = m_chart->rebuildChart(stored.get()); !problem.isEmpty() && !tableFailed)
        reportUpdateProblem(m_journal, m_prompts, problem);
    fitColumnWidths(StringGrid_All);
    if (released)
        StringGrid_All->horizontalScrollBar()->setValue(left);
}

void TradeTablePage::setAccountCaption(const QString& name) { Active_Chet_Cap->setText(name); }

void TradeTablePage::showCopyResult(const QString& text)
{
    Label_CopyResult->setText(text);
    Label_CopyResult->setToolTip(text);
    Label_CopyResult->setVisible(!text.isEmpty());
}

void TradeTablePage::selectTrade(const QString& id)
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->cell(row, tradecol::Id) == id) {
            StringGrid_All->selectRow(row);
            return;
        }
    }
}

int TradeTablePage::selectedRow() const
{
    const QModelIndexList rows = StringGrid_All->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TradeTablePage::StringGrid_AllDblClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString openTime = m_model->cell(row, tradecol::OpenTime);
    const std::optional<QDateTime> time = parseTradeTime(openTime);
    if (!time) {
        reportError(m_prompts, QStringLiteral("«%1» - неверная дата и время").arg(openTime));
        return;
    }
    emit tradeDayRequested(time->date());
}
