#include "stats/ui/balance_chart_panel.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "stats/core/account_trades.h"
#include "db/core/cash_store.h"
#include "db/core/sqlite_database.h"
#include "stats/core/balance_chart.h"
#include "stats/ui/balance_chart_view.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* totalLabel(const char* name, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true); // a large balance takes a second line
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QCheckBox* option(const char* name, const QString& text, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

BalanceChartPanel::BalanceChartPanel(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("Panel_Chart"));
    setFixedHeight(kOpenHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    Chart1 = new BalanceChartView(this);
    layout->addWidget(Chart1, 1);
    layout->addWidget(makeSidePanel());

    connect(Button10, &QPushButton::clicked, this, &BalanceChartPanel::Button10Click);
    connect(Button_Graf, &QPushButton::clicked, this, [this] { buildBalanceChart(); });
    connect(CheckBox_Komis, &QCheckBox::toggled, this, &BalanceChartPanel::buildBalanceChart);
    connect(CheckBox1, &QCheckBox::toggled, Chart1, &BalanceChartView::setDepth);
    connect(CheckBox3, &QCheckBox::toggled, Chart1, &BalanceChartView::setPointsShown);
    connect(CheckBox4, &QCheckBox::toggled, Chart1, &BalanceChartView::setPercentMarksShown);
    // The dates are read only while they are shown: a change reads the chart anew.
    connect(CheckBox_Dates, &QCheckBox::toggled, this, &BalanceChartPanel::buildBalanceChart);
}

// The column at the chart's right: the hide button over the options.
QWidget* BalanceChartPanel::makeSidePanel()
{
    auto* side = new QWidget(this);
    side->setFixedWidth(147);
    QFont sideFont(QStringLiteral("Tahoma"));
    sideFont.setPixelSize(11);
    side->setFont(sideFont);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(4, 2, 2, 2);
    column->setSpacing(3);
    Button10 = new QPushButton(QStringLiteral("Скрыть график"), side);
    Button10->setObjectName(QStringLiteral("Button10"));
    Button10->setToolTip(QStringLiteral("Спрятать / показать граффик"));
    column->addWidget(Button10);
    m_options = makeOptions(side);
    column->addWidget(m_options, 1);

    Button_Graf = new QPushButton(side);
    Button_Graf->setObjectName(QStringLiteral("Button_Graf"));
    Button_Graf->hide();
    return side;
}

// The display options and the totals, hidden with the chart.
QWidget* BalanceChartPanel::makeOptions(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* options = new QVBoxLayout(panel);
    options->setContentsMargins(0, 0, 0, 0);
    options->setSpacing(3);
    CheckBox1 = option("CheckBox1", QStringLiteral("3D график"), panel);
    CheckBox3 = option("CheckBox3", QStringLiteral("Точки"), panel);
    CheckBox4 = option("CheckBox4", QStringLiteral("Проценты"), panel);
    CheckBox_Komis = option("CheckBox_Komis", QStringLiteral("Показать комиссию"), panel);
    CheckBox_Komis->setToolTip(QStringLiteral("Показать график без комисии"));
    CheckBox_Dates = option("CheckBox_Dates", QStringLiteral("Даты по оси X"), panel);
    CheckBox_Dates->setToolTip(QStringLiteral("Сделки по времени открытия вместо номеров сделок"));
    kom1 = totalLabel("kom1", Qt::red, panel);
    kom2 = totalLabel("kom2", Qt::blue, panel);
    kom3 = totalLabel("kom3", Qt::black, panel);
    capswap = totalLabel("capswap", Qt::black, panel);
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox1, CheckBox3, CheckBox4, CheckBox_Komis, CheckBox_Dates})
        options->addWidget(w);
    options->addSpacing(6);
    for (QWidget* w : std::initializer_list<QWidget*>{kom1, kom2, kom3, capswap})
        options->addWidget(w);
    options->addStretch();
    return panel;
}

QString BalanceChartPanel::rebuildChart(AccountTrades* trades)
{
    BalanceChart data;
    const bool dates = CheckBox_Dates->isChecked();
    if (!trades) {
        data = buildBalanceChartData(m_journal.db(), m_journal.activeAccount, m_journal.initialBalance, dates);
    } else {
        try {
            data = buildBalanceChartData(*trades, m_journal.initialBalance,
                                         CashStore(m_journal.db()).list(m_journal.activeAccount), dates);
        } catch (const ESQLiteException& e) {
            data.stop(e.message());
        }
    }
    const QString problem = data.problem;
    kom1->setText(data.withCommissionText());
    kom2->setText(data.withoutCommissionText());
    kom3->setText(data.commissionText());
    capswap->setText(data.swapsText());
    Chart1->setDateAxis(dates);
    Chart1->showChart(std::move(data), CheckBox_Komis->isChecked());
    return problem;
}

void BalanceChartPanel::buildBalanceChart()
{
    if (const QString problem = rebuildChart(); !problem.isEmpty())
        reportUpdateProblem(m_journal, m_prompts, problem);
}

void BalanceChartPanel::Button10Click()
{
    const bool open = height() < kOpenHeight;
    setFixedHeight(open ? kOpenHeight : kClosedHeight);
    Button10->setText(open ? QStringLiteral("Скрыть график") : QStringLiteral("Показать график"));
    Chart1->setVisible(open);
    m_options->setVisible(open);
}
