#include "stats/ui/calendar_tab.h"

#include "db/core/numbers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>


CalendarTab::CalendarTab(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet_Calendar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* head = new QHBoxLayout;
    Button_PrevMonth = new QPushButton(QStringLiteral("◀"), this);
    Button_PrevMonth->setObjectName(QStringLiteral("Button_PrevMonth"));
    Button_PrevMonth->setToolTip(QStringLiteral("Предыдущий месяц"));
    Button_NextMonth = new QPushButton(QStringLiteral("▶"), this);
    Button_NextMonth->setObjectName(QStringLiteral("Button_NextMonth"));
    Button_NextMonth->setToolTip(QStringLiteral("Следующий месяц"));
    Label_CalendarMonth = new QLabel(this);
    Label_CalendarMonth->setObjectName(QStringLiteral("Label_CalendarMonth"));
    QFont bold = Label_CalendarMonth->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    Label_CalendarMonth->setFont(bold);
    Label_CalendarMonth->setMinimumWidth(160);
    Label_CalendarMonth->setAlignment(Qt::AlignCenter);
    Label_CalendarTotal = new QLabel(this);
    Label_CalendarTotal->setObjectName(QStringLiteral("Label_CalendarTotal"));
    head->addWidget(Button_PrevMonth);
    head->addWidget(Label_CalendarMonth);
    head->addWidget(Button_NextMonth);
    head->addSpacing(16);
    head->addWidget(Label_CalendarTotal, 1);
    layout->addLayout(head);

    Grid_Calendar = new QTableWidget(0, 8, this);
    Grid_Calendar->setObjectName(QStringLiteral("Grid_Calendar"));
    Grid_Calendar->setHorizontalHeaderLabels({QStringLiteral("Пн"), QStringLiteral("Вт"), QStringLiteral("Ср"),
                                              QStringLiteral("Чт"), QStringLiteral("Пт"), QStringLiteral("Сб"),
                                              QStringLiteral("Вс"), QStringLiteral("Неделя")});
    Grid_Calendar->verticalHeader()->setVisible(false);
    Grid_Calendar->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Weeks of three lines each, whatever the height of the tabs beside:
    // a month stays in sight on a small screen.
    Grid_Calendar->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid_Calendar->verticalHeader()->setMinimumSectionSize(46);
    Grid_Calendar->verticalHeader()->setDefaultSectionSize(std::max(46, 3 * fontMetrics().lineSpacing() + 10));
    Grid_Calendar->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_Calendar->setSelectionMode(QAbstractItemView::NoSelection);
    Grid_Calendar->setWordWrap(true);
    fitGridHeight(6);
    Grid_Calendar->setToolTip(QStringLiteral("Щелчок по дню открывает его на странице \"Анализ\""));
    layout->addWidget(Grid_Calendar);
    layout->addStretch(1);

    connect(Button_PrevMonth, &QPushButton::clicked, this, [this] { emit monthStepRequested(-1); });
    connect(Button_NextMonth, &QPushButton::clicked, this, [this] { emit monthStepRequested(1); });
    connect(Grid_Calendar, &QTableWidget::cellClicked, this, [this](int row, int column) {
        const QTableWidgetItem* item = Grid_Calendar->item(row, column);
        const QDate day = item ? item->data(Qt::UserRole).toDate() : QDate();
        if (day.isValid())
            emit dayClicked(day);
    });
}

void CalendarTab::fitGridHeight(int weeks)
{
    const int rows = std::max(weeks, 4) * Grid_Calendar->verticalHeader()->defaultSectionSize();
    Grid_Calendar->setFixedHeight(rows + Grid_Calendar->horizontalHeader()->sizeHint().height() +
                                  2 * Grid_Calendar->frameWidth());
}

void CalendarTab::showMonth(const CalendarMonth& month)
{
    m_month = month;
    Grid_Calendar->clearContents();
    if (!month.first.isValid()) {
        Grid_Calendar->setRowCount(0);
        Label_CalendarMonth->clear();
        Label_CalendarTotal->clear();
        return;
    }
    Label_CalendarMonth->setText(calendarMonthTitle(month.first));
    Label_CalendarTotal->setText(QStringLiteral("Итого за месяц: %1, сделок: %2")
                                     .arg(num::money(month.total.net))
                                     .arg(month.total.trades));
    Grid_Calendar->setRowCount(static_cast<int>(month.weeks.size()));
    fitGridHeight(Grid_Calendar->rowCount());
    for (int d = 1; d <= static_cast<int>(month.days.size()); ++d) {
        const QDate date = month.first.addDays(d - 1);
        const CalendarCell& cell = month.days[static_cast<size_t>(d - 1)];
        auto* item = new QTableWidgetItem(calendarCellText(QString::number(d), cell));
        item->setTextAlignment(Qt::AlignCenter);
        item->setBackground(calendarShade(cell.trades > 0 ? cell.net : 0, month.largest));
        item->setForeground(Qt::black);
        item->setData(Qt::UserRole, date);
        Grid_Calendar->setItem(month.rowOf(d), CalendarMonth::columnOf(date), item);
    }
    for (int w = 0; w < static_cast<int>(month.weeks.size()); ++w) {
        const CalendarCell& week = month.weeks[static_cast<size_t>(w)];
        auto* item = new QTableWidgetItem(calendarCellText(QStringLiteral("Неделя"), week));
        item->setTextAlignment(Qt::AlignCenter);
        item->setBackground(QColor(235, 235, 235));
        item->setForeground(week.net < 0 ? QColor(200, 0, 0) : week.net > 0 ? QColor(0, 128, 0) : QColor(0, 0, 0));
        Grid_Calendar->setItem(w, 7, item);
    }
}
