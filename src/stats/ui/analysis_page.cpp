#include "stats/ui/analysis_page.h"

#include "stats/ui/date_picker.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
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

    m_analysisModel = new QStandardItemModel(0, 16, this);
    m_analysisModel->setHorizontalHeaderLabels({
        QStringLiteral("№"), QStringLiteral("id"), QStringLiteral("Ticket"), QStringLiteral("OpenTime"),
        QStringLiteral("Type"), QStringLiteral("Size"), QStringLiteral("Item"), QStringLiteral("Profit"),
        QStringLiteral("Таймфрэйм"), QStringLiteral("Тренд"), QStringLiteral("Вошел"), QStringLiteral("Вышел"),
        QStringLiteral("НЛ"), QStringLiteral("Ошибка"), QStringLiteral("Оценка"), QStringLiteral("Рис")});
    StringGrid_Analiz = new QTableView(this);
    StringGrid_Analiz->setObjectName(QStringLiteral("StringGrid_Analiz"));
    StringGrid_Analiz->setModel(m_analysisModel);
    StringGrid_Analiz->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid_Analiz->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid_Analiz->verticalHeader()->hide();
    StringGrid_Analiz->setMinimumHeight(206);
    layout->addWidget(StringGrid_Analiz);
    layout->addStretch();
}

void AnalysisPage::runPeriodAnalysis() {}

void AnalysisPage::StringGrid_AnalizClick() {}
