#include "stats/ui/days_page.h"

#include "stats/ui/date_picker.h"

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

void DaysPage::Button_DayClick() {}
