#include "accounts/ui/accounts_page.h"

#include "app/core/journal.h"
#include "app/core/prompts.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

AccountsPage::AccountsPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet1"));
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(new QLabel(QStringLiteral("Счета и импорт сделок"), this));
    m_layout->addStretch();
}

void AccountsPage::loadAccountList() {}

int AccountsPage::accountCount() const { return 0; }

void AccountsPage::startupAccountChoice(int position) { m_rememberedPosition = position; }

int AccountsPage::listPosition() const
{
    return m_rememberedPosition >= 0 ? m_rememberedPosition : static_cast<int>(m_journal.settings.activeAccountPosition);
}

void AccountsPage::drawAccountCurve() {}

void AccountsPage::setImportArea(QGroupBox* area)
{
    m_importArea = area;
    m_layout->addWidget(area);
}
