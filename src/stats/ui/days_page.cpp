#include "stats/ui/days_page.h"

#include "context/ui/page_scroll.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/settings.h"
#include "db/core/sqlite_database.h"
#include "stats/core/period_table_model.h"
#include "stats/core/period_tables.h"
#include "stats/core/day_notes.h"
#include "stats/ui/date_picker.h"
#include "stats/ui/fit_column_widths.h"
#include "stats/ui/grid_cell_delegate.h"
#include "stats/ui/page_state.h"
#include "stats/ui/stats_grid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kSaveFailed = QStringLiteral("Ошибка - Во время сохранения измененных данных (Комментарий)");
const QString kNoDaySelected =
    QStringLiteral("Выберите день в таблице «По дням»: комментарий и оптимизация сохраняются для выбранного дня.");
const QString kOptimisationHint = QStringLiteral("Оптимизация - очень важный раздел,  это анализ торгового дня в целом.  Например, что если сегодня у меня был бы стоп лосс 20 пунктов, либо тэйк 60 пунктов. Благодаря оптимизации Вы сможете посмотреть на свою стратегию в целом. Как записывать данные, я обозначаю Т - тэйкпрофит, С - стоплос, Б - безубыток.");

QFont boldFont(const QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(true);
    return font;
}

QTableView* makePeriodGrid(const QString& name, PeriodTableModel* model, QWidget* parent)
{
    QTableView* grid = makeStatsGrid(name, parent);
    grid->setModel(model);
    auto* delegate = new GridCellDelegate(grid);
    delegate->setSelectionColours(QColor(255, 255, 0), Qt::black);
    grid->setItemDelegate(delegate);
    // A narrow row header, only there so that the trader can drag a row taller.
    grid->verticalHeader()->show();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->verticalHeader()->setFixedWidth(8);
    return grid;
}

QPlainTextEdit* makeNoteMemo(const QString& name, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    memo->setFont(font);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, QColor(254, 254, 214));
    palette.setColor(QPalette::Text, QColor(0, 0, 128));
    memo->setPalette(palette);
    return memo;
}

QGroupBox* wrapInGroup(const QString& name, const QString& title, QWidget* content, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(content);
    return group;
}

// The middle row at the top, as far as the grid scrolls: the trader sees
// the later half of the range first.
void scrollToMiddle(QTableView* grid)
{
    const int rows = grid->model()->rowCount();
    const int middle = (rows + 1) / 2 - 1; // of the rows under the header
    if (middle > 0)
        grid->scrollTo(grid->model()->index(middle, 0), QAbstractItemView::PositionAtTop);
    else
        grid->scrollToTop();
}

} // namespace

DaysPage::DaysPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet3"));
    auto* layout = new QVBoxLayout(scrollingPageBody(this));
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(makeTopBar());
    Splitter_Days = makeTables();
    layout->addWidget(Splitter_Days, 1);

    Memo_Optim = new QPlainTextEdit(this);
    Memo_Optim->setObjectName(QStringLiteral("Memo_Optim"));
    Memo_Optim->setVisible(false);
    layout->addWidget(Memo_Optim);

    connect(StringGrid_Day->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_building)
            showDayNote();
    });
    connect(StringGrid_Day, &QAbstractItemView::doubleClicked, this,
            [this] { requestAnalysis(StringGrid_Day, *m_dayModel, 1); });
    connect(StringGrid_Ned, &QAbstractItemView::doubleClicked, this,
            [this] { requestAnalysis(StringGrid_Ned, *m_weekModel, 7); });
}

QWidget* DaysPage::makeTopBar()
{
    auto* bar = new QWidget(this);
    auto* top = new QHBoxLayout(bar);
    top->setContentsMargins(0, 0, 0, 0);
    DateTimePicker3 = makeDatePicker(QStringLiteral("DateTimePicker3"), bar);
    DateTimePicker4 = makeDatePicker(QStringLiteral("DateTimePicker4"), bar);
    Button_Day = new QPushButton(QStringLiteral("Сформировать"), bar);
    Button_Day->setObjectName(QStringLiteral("Button_Day"));
    Button_Day->setFont(boldFont(Button_Day));
    top->addWidget(DateTimePicker3);
    top->addWidget(DateTimePicker4);
    top->addWidget(Button_Day);
    top->addStretch();
    connect(Button_Day, &QPushButton::clicked, this, &DaysPage::rebuild);
    return bar;
}

// The week table over the day table over the day's note, one above the
// other in a splitter.
QSplitter* DaysPage::makeTables()
{
    m_weekModel = new PeriodTableModel(PeriodTableModel::Kind::Weeks, this);
    StringGrid_Ned = makePeriodGrid(QStringLiteral("StringGrid_Ned"), m_weekModel, this);
    m_dayModel = new PeriodTableModel(PeriodTableModel::Kind::Days, this);
    m_dayModel->setCellToolTips(true);
    StringGrid_Day = makePeriodGrid(QStringLiteral("StringGrid_Day"), m_dayModel, this);

    GroupBox_Ned = wrapInGroup(QStringLiteral("GroupBox_Ned"), QStringLiteral("По неделям"), StringGrid_Ned, this);
    GroupBox_Day = wrapInGroup(QStringLiteral("GroupBox_Day"), QStringLiteral("По дням"), StringGrid_Day, this);
    GroupBox_Comment = wrapInGroup(QStringLiteral("GroupBox_Comment"), QStringLiteral("Комментарий к торговму дню"),
                                   makeNotePanel(), this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter_Days"));
    splitter->addWidget(GroupBox_Ned);
    splitter->addWidget(GroupBox_Day);
    splitter->addWidget(GroupBox_Comment);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setSizes({171, 400, 181});
    return splitter;
}

QWidget* DaysPage::makeNotePanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* memos = new QHBoxLayout;
    Memo_Day = makeNoteMemo(QStringLiteral("Memo_Day"), panel);
    Memo_Analize = makeNoteMemo(QStringLiteral("Memo_Analize"), panel);
    auto* optimisation = new QVBoxLayout;
    optimisation->addWidget(new QLabel(QStringLiteral("Оптимизация:"), panel));
    optimisation->addWidget(Memo_Analize, 1);
    memos->addWidget(Memo_Day, 1);
    memos->addLayout(optimisation, 1);
    layout->addLayout(memos, 1);

    auto* bottom = new QHBoxLayout;
    But_Save = new QPushButton(QStringLiteral("Сохранить комментарий и оптимизацию"), panel);
    But_Save->setObjectName(QStringLiteral("But_Save"));
    But_Save->setFont(boldFont(But_Save));
    auto* hint = new QLabel(kOptimisationHint, panel);
    hint->setObjectName(QStringLiteral("Label_Optim"));
    hint->setWordWrap(true);
    QPalette grey = hint->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    hint->setPalette(grey);
    bottom->addWidget(But_Save, 0, Qt::AlignTop);
    bottom->addWidget(hint, 1);
    layout->addLayout(bottom);
    connect(But_Save, &QPushButton::clicked, this, &DaysPage::saveDayNote);
    return panel;
}

void DaysPage::rebuild()
{
    const QDateTime from = DateTimePicker3->dateTime();
    const QDateTime to = DateTimePicker4->dateTime();
    // The day the trader was on stays selected, its note fields untouched.
    const int selected = selectedListedRow(StringGrid_Day, *m_dayModel);
    const std::optional<QDate> selectedDay = m_dayModel->rowDate(selected);
    m_building = true;
    // Both tables from one reading of the range's trades.
    PeriodTables tables;
    try {
        tables = buildPeriodTables(m_journal.db(), m_journal.activeAccount, from, to, m_journal.initialBalance);
    } catch (const ESQLiteException& e) {
        tables.weeks.stop(e.message());
        tables.days.stop(e.message());
    }
    const QString problem = !tables.weeks.complete() ? tables.weeks.problem : tables.days.problem;
    m_weekModel->setPeriodTable(std::move(tables.weeks));
    m_dayModel->setPeriodTable(std::move(tables.days));
    if (!problem.isEmpty())
        reportUpdateProblem(m_journal, m_prompts, problem);
    for (QTableView* grid : {StringGrid_Ned, StringGrid_Day}) {
        scrollToMiddle(grid);
        fitColumnWidths(grid);
    }
    for (int row = 0; selectedDay && row < m_dayModel->listedRows(); ++row) {
        if (m_dayModel->rowDate(row) == selectedDay) {
            StringGrid_Day->selectRow(row);
            break;
        }
    }
    m_building = false;
}

int DaysPage::selectedListedRow(QTableView* grid, const PeriodTableModel& model) const
{
    const QModelIndexList rows = grid->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    return rows.first().row() < model.listedRows() ? rows.first().row() : -1;
}

void DaysPage::showDayNote()
{
    const int row = selectedListedRow(StringGrid_Day, *m_dayModel);
    std::optional<DayNote> note;
    if (row >= 0) {
        try {
            note = DayNoteStore(m_journal.db())
                       .find(m_journal.activeAccount, m_dayModel->cell(row, kDayDateColumn).toString());
        } catch (const ESQLiteException& e) {
            reportError(m_prompts, e);
        }
    }
    Memo_Day->setPlainText(note ? note->comment : QString());
    Memo_Analize->setPlainText(note ? note->analize : QString());
}

void DaysPage::saveDayNote()
{
    const int row = selectedListedRow(StringGrid_Day, *m_dayModel);
    if (row < 0) {
        // A note belongs to a day: without one there is nothing to store it under.
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(), kNoDaySelected);
        return;
    }
    const DayNote note{m_dayModel->cell(row, kDayDateColumn).toString(), Memo_Day->toPlainText(),
                       Memo_Analize->toPlainText()};
    try {
        DayNoteStore(m_journal.db()).save(m_journal.activeAccount, note);
    } catch (const ESQLiteException&) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), kSaveFailed);
    }
    rebuild();
}

void DaysPage::requestAnalysis(QTableView* grid, const PeriodTableModel& model, int days)
{
    const std::optional<QDate> from = model.rowDate(selectedListedRow(grid, model));
    if (from)
        emit periodAnalysisRequested(*from, from->addDays(days));
}

void DaysPage::restoreDates(const DateState& state)
{
    if (state.dates[2])
        pagestate::setDateKeepingTime(DateTimePicker3, *state.dates[2]);
    DateTimePicker4->setDateTime(QDateTime::currentDateTime().addDays(1));
}

void DaysPage::saveDates(QDate (&dates)[4]) const
{
    dates[2] = DateTimePicker3->date();
    dates[3] = DateTimePicker4->date();
}

void DaysPage::restoreNotes(const Settings& settings) { pagestate::setMemoText(Memo_Optim, settings.optimization); }

void DaysPage::saveNotes(Settings& settings) const { settings.optimization = pagestate::memoText(Memo_Optim); }
