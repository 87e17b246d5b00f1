#include "stats/ui/analysis_page.h"

#include "stats/ui/date_picker.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AnalysisPage::AnalysisPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet6"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    DateTimePicker1 = makeDatePicker(QStringLiteral("DateTimePicker1"), this);
    DateTimePicker2 = makeDatePicker(QStringLiteral("DateTimePicker2"), this);
    top->addWidget(new QLabel(QStringLiteral("С"), this));
    top->addWidget(DateTimePicker1);
    top->addWidget(new QLabel(QStringLiteral("по"), this));
    top->addWidget(DateTimePicker2);
    top->addStretch();
    layout->addLayout(top);
    layout->addStretch();
}

void AnalysisPage::runPeriodAnalysis() {}

void AnalysisPage::StringGrid_AnalizClick() {}
