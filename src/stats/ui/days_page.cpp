#include "stats/ui/days_page.h"

#include "stats/ui/date_picker.h"
#include "stats/ui/page_state.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

DaysPage::DaysPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet3"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    DateTimePicker3 = makeDatePicker(QStringLiteral("DateTimePicker3"), this);
    DateTimePicker4 = makeDatePicker(QStringLiteral("DateTimePicker4"), this);
    top->addWidget(new QLabel(QStringLiteral("С"), this));
    top->addWidget(DateTimePicker3);
    top->addWidget(new QLabel(QStringLiteral("по"), this));
    top->addWidget(DateTimePicker4);
    top->addStretch();
    layout->addLayout(top);
    Memo_Optim = new QPlainTextEdit(this);
    Memo_Optim->setObjectName(QStringLiteral("Memo_Optim"));
    Memo_Optim->setVisible(false);
    layout->addWidget(Memo_Optim);
    layout->addStretch();
}

void DaysPage::Button_DayClick() {} // placeholder until the day and week tables are built

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
