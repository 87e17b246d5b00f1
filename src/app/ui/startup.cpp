// The start-up and shutdown sequences of the main window, in their order.
#include "accounts/ui/accounts_page.h"
#include "app/core/journal.h"
#include "app/core/prompts.h"
#include "app/core/safe_file.h"
#include "app/ui/main_window.h"
#include "journal/ui/trade_dialog.h"
#include "notebook/ui/notebook_page.h"
#include "pictures/ui/control_states.h"
#include "stats/ui/analysis_page.h"
#include "stats/ui/days_page.h"
#include "stats/ui/reports_page.h"

#include <QDateTimeEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

const QString kDateFile = QStringLiteral("date.txt");
const QString kConfigFile = QStringLiteral("config.ini");

// Memos hold LF line breaks; settings keep CR LF.
QString memoText(const QPlainTextEdit* memo)
{
    return memo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void setMemoText(QPlainTextEdit* memo, QString text)
{
    memo->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void setDateKeepingTime(QDateTimeEdit* picker, const QDate& date)
{
    picker->setDateTime(QDateTime(date, picker->time()));
}

} // namespace

void TForm1::runStartup()
{
    m_reports->selectFirstTab();
    m_notebook->prepareEditor();
    loadControlStates(m_journal, m_prompts, m_notebook->TreeView1, m_analysis->StringGrid_Analiz);
    m_notebook->ensureRootFolder();
    restoreDates();
    m_days->DateTimePicker4->setDateTime(QDateTime::currentDateTime().addDays(1));
    readSettings();
    if (!m_journal.lists.loadAll(m_journal.appDir()))
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                              QStringLiteral("Не удалось прочитать справочники из папки sprav."));
    m_tradeDialog->refillListFields();
    setPage(PageAbout);
    m_accounts->loadAccountList();
    if (m_accounts->accountCount() > 0)
        m_accounts->startupAccountChoice(static_cast<int>(m_journal.settings.activeAccountPosition));
}

void TForm1::restoreDates()
{
    const DateState state = loadDateFile(m_journal.path(kDateFile));
    QDateTimeEdit* pickers[4] = {m_analysis->DateTimePicker1, m_analysis->DateTimePicker2, m_days->DateTimePicker3,
                                 m_days->DateTimePicker4};
    for (int i = 0; i < 4; ++i) {
        if (state.dates[i])
            setDateKeepingTime(pickers[i], *state.dates[i]);
    }
    if (state.page && *state.page >= 0 && *state.page < PageControl1->count())
        setPage(*state.page);
}

void TForm1::readSettings()
{
    Settings& s = m_journal.settings;
    if (!loadSettings(m_journal.path(kConfigFile), s))
        m_prompts.showMessage(Prompts::Icon::Warning, QStringLiteral("Преудпреждение"),
                              QStringLiteral("Не найден файл конфигурации программмы config.ini!"));
    setMemoText(m_days->Memo_Optim, s.optimization);
    setMemoText(m_reports->Memo_Valuta, s.currency);
    setMemoText(m_reports->Memo_Time, s.timeframe);
    setMemoText(m_reports->Memo_Trend, s.trend);
    setMemoText(m_reports->Memo_BS, s.buySell);
}

void TForm1::runShutdown()
{
    saveControlStates(m_journal, m_prompts, m_notebook->TreeView1, m_analysis->StringGrid_Analiz);
    writeDates();
    writeSettings();
}

void TForm1::writeDates()
{
    const QDate dates[4] = {m_analysis->DateTimePicker1->date(), m_analysis->DateTimePicker2->date(),
                            m_days->DateTimePicker3->date(), m_days->DateTimePicker4->date()};
    try {
        saveDateFile(m_journal.path(kDateFile), dates, PageControl1->currentIndex());
    } catch (const FileWriteError& e) {
        reportError(m_prompts, e.message());
    }
}

void TForm1::writeSettings()
{
    Settings& s = m_journal.settings;
    s.activeAccountPosition = m_accounts->listPosition();
    s.optimization = memoText(m_days->Memo_Optim);
    s.currency = memoText(m_reports->Memo_Valuta);
    s.timeframe = memoText(m_reports->Memo_Time);
    s.trend = memoText(m_reports->Memo_Trend);
    s.buySell = memoText(m_reports->Memo_BS);
    try {
        saveSettings(m_journal.path(kConfigFile), s);
    } catch (const FileWriteError&) {
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                              QStringLiteral("Ошибка при записи файла конфигурации config.ini!"));
    }
}
