#include "stats/ui/reports_page.h"

#include "stats/ui/page_state.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

ReportsPage::ReportsPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TabSheet9"));
    auto* layout = new QVBoxLayout(this);
    PageControl2 = new QTabWidget(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    layout->addWidget(PageControl2);

    auto* simple = new QWidget;
    auto* grid = new QGridLayout(simple);
    auto addMemo = [&](const char* name, const QString& caption, int row, int col) {
        auto* memo = new QPlainTextEdit(simple);
        memo->setObjectName(QString::fromLatin1(name));
        grid->addWidget(new QLabel(caption, simple), row * 2, col);
        grid->addWidget(memo, row * 2 + 1, col);
        return memo;
    };
    Memo_Valuta = addMemo("Memo_Valuta", QStringLiteral("Валютные пары"), 0, 0);
    Memo_BS = addMemo("Memo_BS", QStringLiteral("BUY и SELL"), 0, 1);
    Memo_Trend = addMemo("Memo_Trend", QStringLiteral("Тип рынка"), 1, 0);
    Memo_Time = addMemo("Memo_Time", QStringLiteral("Таймфрэйм"), 1, 1);
    PageControl2->addTab(simple, QStringLiteral("Простые"));
    PageControl2->addTab(new QWidget, QStringLiteral("Входы и выходы"));
    PageControl2->addTab(new QWidget, QStringLiteral("Психология"));
}

void ReportsPage::selectFirstTab() { PageControl2->setCurrentIndex(0); }

void ReportsPage::Button_StratClick() {} // placeholder until the category reports are built

void ReportsPage::restoreNotes(const Settings& s)
{
    pagestate::setMemoText(Memo_Valuta, s.currency);
    pagestate::setMemoText(Memo_Time, s.timeframe);
    pagestate::setMemoText(Memo_Trend, s.trend);
    pagestate::setMemoText(Memo_BS, s.buySell);
}

void ReportsPage::saveNotes(Settings& s) const
{
    s.currency = pagestate::memoText(Memo_Valuta);
    s.timeframe = pagestate::memoText(Memo_Time);
    s.trend = pagestate::memoText(Memo_Trend);
    s.buySell = pagestate::memoText(Memo_BS);
}
