#include "stats/ui/trade_table_page.h"

#include <QLabel>
#include <QVBoxLayout>

TradeTablePage::TradeTablePage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Сделки счета"), this));
    layout->addStretch();
}

void TradeTablePage::refreshTradeTable() {}
