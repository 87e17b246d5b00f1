// The account page: how it is built. The commands are in
// accounts_page_commands.cpp.
#include "accounts/ui/accounts_page.h"

#include "accounts/core/account_fields.h"

#include "accounts/core/account_list_model.h"
#include "accounts/ui/account_dialog.h"
#include "accounts/ui/caption_group_box.h"
#include "context/ui/page_scroll.h"
#include "context/core/journal.h"
#include "context/core/settings.h"
#include "context/core/web_links.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

const QString kVideoLessonCreateAccount = QStringLiteral("Видеоурок 1 - Как создать счет");

// The lines of an account's description shown beside the list.
constexpr int kDescriptionLines = 4;

const int kColumnWidths[AccountListModel::ColumnCount] = {55, 120, 60, 100, 70, 85};

// The row icons: a hollow grey ring for an account at rest, a green disc with
// a tick for the active one.
QIcon markIcon(bool active)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (active) {
        p.setPen(QPen(QColor(0, 110, 0), 1));
        p.setBrush(QColor(40, 170, 40));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5.5)}));
    } else {
        p.setPen(QPen(QColor(150, 150, 150), 1.5));
        p.setBrush(QColor(235, 235, 235));
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    }
    return QIcon(pixmap);
}

QLabel* captionLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: rgb(90,90,90);"));
    return label;
}

} // namespace

AccountsPage::AccountsPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet1"));
    m_model = new AccountListModel(this);
    m_model->setMarkIcons(markIcon(false), markIcon(true));

    buildBalanceGroup();
    buildAccountGroup();

    m_layout = new QVBoxLayout(scrollingPageBody(this));
    m_layout->setContentsMargins(6, 6, 6, 6);
    // The account group and the import area share the height; the starting
    // balance between them keeps its own.
    m_layout->addWidget(GroupBox7, 1);
    m_layout->addWidget(GroupBox_Balance, 0);

    m_dialog = new TFm_Add_Schet(this);
    connect(m_dialog, &TFm_Add_Schet::saveRequested, this, &AccountsPage::saveAccount);
}

AccountsPage::~AccountsPage() = default;

void AccountsPage::buildBalanceGroup()
{
    GroupBox_Balance = new CaptionGroupBox(this);
    GroupBox_Balance->setCaption(QStringLiteral("3. Начальный баланс"), QColor(0, 0, 0));
    GroupBox_Balance->setObjectName(QStringLiteral("GroupBox_Balance"));
    Edit_Balance = new QLineEdit(GroupBox_Balance);
    Edit_Balance->setObjectName(QStringLiteral("Edit_Balance"));
    Edit_Balance->setFixedWidth(120);
    Edit_Balance->setToolTip(QStringLiteral("Начальный баланс для статистики и графиков"));
    auto* balanceLayout = new QHBoxLayout(GroupBox_Balance);
    balanceLayout->addWidget(Edit_Balance);
    Label_Valuta = new QLabel(currencyMark(QString()), GroupBox_Balance);
    Label_Valuta->setObjectName(QStringLiteral("Label_Valuta"));
    balanceLayout->addWidget(Label_Valuta);
    balanceLayout->addStretch();
    GroupBox_Balance->setFixedWidth(220);
    // The statistics read the starting balance from the shared context.
    connect(Edit_Balance, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_journal.initialBalance = text; });
}

void AccountsPage::buildAccountGroup()
{
    GroupBox7 = new CaptionGroupBox(this);
    GroupBox7->setObjectName(QStringLiteral("GroupBox7"));
    setGroupCaption(QStringLiteral("Управление счетами"), QColor(255, 0, 0));

    Label22 = new QLabel(QStringLiteral("Видеоурок 1 - Как создать счет"), GroupBox7);
    Label22->setObjectName(QStringLiteral("Label22"));
    Label22->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    Label22->setCursor(Qt::PointingHandCursor);
    Label22->setToolTip(QStringLiteral("Посмотреть видеоурок"));
    Label22->installEventFilter(this);

    Label_Hint = new QLabel(QStringLiteral("Управление счетами, правая кнопка мыши на таблице снизу"), GroupBox7);
    Label_Hint->setObjectName(QStringLiteral("Label_Hint"));
    setHintColor(QColor(128, 128, 128));

    CheckBox_OpenLast = new QCheckBox(QStringLiteral("Открывать этот счет при запуске"), GroupBox7);
    CheckBox_OpenLast->setObjectName(QStringLiteral("CheckBox_OpenLast"));
    CheckBox_OpenLast->setToolTip(QStringLiteral("При запуске программы активировать счет, выбранный в таблице при "
                                                 "закрытии, и открыть страницу, на которой работа закончилась"));

    ListView1 = new QTableView(GroupBox7);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setModel(m_model);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setShowGrid(true);
    ListView1->setWordWrap(false);
    ListView1->setAlternatingRowColors(false);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 6);
    // Sorted by a click on a header; until then in the order the accounts were added.
    ListView1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ListView1->setSortingEnabled(true);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    int listWidth = 0;
    for (int c = 0; c < AccountListModel::ColumnCount; ++c) {
        ListView1->setColumnWidth(c, kColumnWidths[c]);
        listWidth += kColumnWidths[c];
    }
    ListView1->setFixedWidth(listWidth + 2 * ListView1->frameWidth() + 18);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    buildMenu();
    connect(ListView1, &QTableView::clicked, this, [this] { activateAccount(); });
    connect(ListView1, &QTableView::doubleClicked, this, [this] { editAccount(); });
    connect(ListView1, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu5->popup(ListView1->viewport()->mapToGlobal(pos)); });

    buildChart();
    auto* right = new QVBoxLayout;
    right->addWidget(buildDetailsPanel(), 0);
    right->addWidget(Chart2, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(Label22);
    top->addSpacing(24);
    top->addWidget(Label_Hint);
    top->addStretch();
    top->addWidget(CheckBox_OpenLast);

    auto* body = new QHBoxLayout;
    body->addWidget(ListView1);
    body->addLayout(right, 1);

    auto* layout = new QVBoxLayout(GroupBox7);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    GroupBox7->setMinimumHeight(330);
}

QWidget* AccountsPage::buildDetailsPanel()
{
    auto* panel = new QWidget(GroupBox7);
    panel->setObjectName(QStringLiteral("Panel_Details"));
    Label_Chet = new QLabel(panel);
    Label_Chet->setObjectName(QStringLiteral("Label_Chet"));
    QFont big = Label_Chet->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 3);
    Label_Chet->setFont(big);
    Label_Type = new QLabel(panel);
    Label_Type->setObjectName(QStringLiteral("Label_Type"));
    QFont bold = Label_Type->font();
    bold.setBold(true);
    Label_Type->setFont(bold);
    Label_Kapital = new QLabel(panel);
    Label_Kapital->setObjectName(QStringLiteral("Label_Kapital"));
    Label_Opis = new QLabel(panel);
    Label_Opis->setObjectName(QStringLiteral("Label_Opis"));
    Label_Opis->setWordWrap(true);
    Label_Opis->setMinimumWidth(160); // wraps on a narrow screen
    Label_Opis->setMaximumWidth(430);
    Label_Opis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label_Broker = new QLabel(panel);
    Label_Broker->setObjectName(QStringLiteral("Label_Broker"));
    Label_Sdelki = new QLabel(panel);
    Label_Sdelki->setObjectName(QStringLiteral("Label_Sdelki"));
    Label_Sdelki->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_Sdelki->setFont(bold);

    // Every line of the panel keeps its height whatever the account holds
    // (an empty broker, a long description), so that activating another
    // account never moves the page under the trader's mouse. A description
    // longer than its lines is read whole in its tooltip.
    for (QLabel* line : {Label_Chet, Label_Type, Label_Kapital, Label_Broker, Label_Sdelki})
        line->setFixedHeight(QFontMetrics(line->font()).height() + 2);
    Label_Opis->setFixedHeight(kDescriptionLines * Label_Opis->fontMetrics().lineSpacing() + 2);
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 0, 4, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    grid->addWidget(Label_Chet, 0, 0, 1, 2);
    grid->addWidget(Label_Sdelki, 0, 2);
    grid->addWidget(captionLabel(QStringLiteral("Вид:"), panel), 1, 0);
    grid->addWidget(Label_Type, 1, 1);
    grid->addWidget(captionLabel(QStringLiteral("Начальный капитал:"), panel), 2, 0);
    grid->addWidget(Label_Kapital, 2, 1);
    grid->addWidget(captionLabel(QStringLiteral("Брокер:"), panel), 3, 0);
    grid->addWidget(Label_Broker, 3, 1);
    grid->addWidget(captionLabel(QStringLiteral("Описание:"), panel), 4, 0, Qt::AlignTop);
    grid->addWidget(Label_Opis, 4, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    return panel;
}

void AccountsPage::buildChart()
{
    m_series = new QLineSeries;
    m_series->setName(QStringLiteral("График счета"));
    m_series->setPen(QPen(QColor(255, 0, 0), 2));
    m_series->setPointsVisible(false);

    m_chart = new QChart;
    m_chart->addSeries(m_series);
    m_chart->legend()->hide();
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setBackgroundRoundness(0);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_chart->setPlotAreaBackgroundBrush(QColor(250, 250, 250));
    m_chart->setPlotAreaBackgroundVisible(true);

    // Ranges, ticks and label formats come from fitCurveAxes.
    m_axisX = new QValueAxis;
    m_axisY = new QValueAxis;
    for (QValueAxis* axis : {m_axisX, m_axisY}) {
        QFont f = axis->labelsFont();
        f.setPointSize(8);
        axis->setLabelsFont(f);
        axis->setGridLineColor(QColor(225, 225, 225));
    }
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    m_series->attachAxis(m_axisX);
    m_series->attachAxis(m_axisY);

    fitCurveAxes({});

    Chart2 = new QChartView(m_chart, GroupBox7);
    Chart2->setObjectName(QStringLiteral("Chart2"));
    Chart2->setRenderHint(QPainter::Antialiasing);
    // The chart's own size wish grows with its data; the page decides.
    Chart2->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    Chart2->setMinimumHeight(150);
}

void AccountsPage::buildMenu()
{
    PopupMenu5 = new QMenu(ListView1);
    PopupMenu5->setObjectName(QStringLiteral("PopupMenu5"));
    N_Activate = PopupMenu5->addAction(QStringLiteral("Активировать счет"), this, &AccountsPage::activateAccount);
    N_Activate->setObjectName(QStringLiteral("N_Activate"));
    N_Activate->setVisible(false);
    N_Add = PopupMenu5->addAction(QStringLiteral("Добавить счет"), this, &AccountsPage::addAccount);
    N_Add->setObjectName(QStringLiteral("N_Add"));
    N_Edit = PopupMenu5->addAction(QStringLiteral("Изменить счет (Двойной клик)"), this, &AccountsPage::editAccount);
    N_Edit->setObjectName(QStringLiteral("N_Edit"));
    PopupMenu5->addSeparator();
    N_Delete = PopupMenu5->addAction(QStringLiteral("Удалить счет"), this, &AccountsPage::deleteAccount);
    N_Delete->setObjectName(QStringLiteral("N_Delete"));
}

void AccountsPage::setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void AccountsPage::setGroupCaption(const QString& caption, const QColor& color)
{
    GroupBox7->setCaption(caption, color);
}

QColor AccountsPage::groupCaptionColor() const
{
    return GroupBox7->captionColor();
}

void AccountsPage::setHintColor(const QColor& color)
{
    setTextColor(Label_Hint, color);
}

bool AccountsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label22 && event->type() == QEvent::MouseButtonRelease) {
        QDesktopServices::openUrl(weblinks::videoTutorial(kVideoLessonCreateAccount));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QGroupBox* AccountsPage::importArea()
{
    if (!m_importArea) {
        // Until the import builds its own area, an empty one keeps the page whole.
        auto* placeholder = new QGroupBox(this);
        placeholder->setObjectName(QStringLiteral("GroupBox8"));
        setImportArea(placeholder);
        m_importAreaIsPlaceholder = true;
    }
    return m_importArea;
}

void AccountsPage::showImportArea()
{
    // Once the page has its size: during start-up it may not have it yet.
    QTimer::singleShot(0, this, [this] {
        for (QWidget* w = m_importArea; w; w = w->parentWidget()) {
            if (auto* scroll = qobject_cast<QScrollArea*>(w)) {
                scroll->ensureWidgetVisible(m_importArea, 0, 0);
                return;
            }
        }
    });
}

void AccountsPage::setImportArea(QGroupBox* area)
{
    if (m_importArea && m_importAreaIsPlaceholder) {
        m_layout->removeWidget(m_importArea);
        delete m_importArea;
    }
    m_importArea = area;
    m_importAreaIsPlaceholder = false;
    area->setParent(this);
    area->setTitle(QStringLiteral("Загрузить сделки на счет"));
    m_layout->addWidget(area, 1);
}
