#include "notebook/ui/notebook_page.h"

#include <QLabel>
#include <QVBoxLayout>

NotebookPage::NotebookPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet11"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Записная книжка трейдера"), this));
    layout->addStretch();
}

void NotebookPage::prepareEditor() {}

void NotebookPage::ensureRootFolder() {}
