// The start-up and shutdown sequences of the main window, in their order.
// Each page restores and saves its own state; this file only says when.
#include "accounts/ui/accounts_page.h"
#include "context/core/data_safety.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/safe_file.h"
#include "about/ui/about_page.h"
#include "import/ui/import_panel.h"
#include "shell/main_window.h"
#include "shell/unix_signals.h"
#include "journal/ui/trade_dialog.h"
#include "notebook/ui/notebook_page.h"
#include "stats/ui/analysis_page.h"
#include "stats/ui/days_page.h"
#include "stats/ui/reports_page.h"

#include <QScreen>
#include <QTabWidget>

#include <cstdio>

namespace {

const QString kDateFile = QStringLiteral("date.txt");
const QString kConfigFile = QStringLiteral("config.ini");

} // namespace

void TForm1::showAtStart()
{
    // Only the window's keys are used here; the start-up reads the file
    // again with the rest and tells a file that does not read.
    Settings kept;
    loadSettings(m_journal.path(kConfigFile), kept);
    const QScreen* shownOn = screen();
    const QSize room = shownOn ? shownOn->availableGeometry().size() : QSize();
    const WindowPlacement placement = windowPlacementAtStart(kept, room, QSize(1262, 670));
    // Without a window manager a maximized window keeps its size; at the
    // screen's size the pages always have room.
    if (placement.size.isValid())
        resize(placement.size);
    if (placement.maximized)
        showMaximized();
    else
        showNormal();
}

void TForm1::runStartup()
{
    m_reports->selectFirstTab();
    m_notebook->prepareEditor();
    m_notebook->restoreState();
    m_analysis->restoreGridLayout();
    m_notebook->ensureRootFolder();
    restoreDates();
    readSettings();
    if (!m_journal.lists.loadAll(m_journal.appDir()))
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                              QStringLiteral("Не удалось прочитать справочники из папки sprav."));
    m_tradeDialog->refillListFields();
    setPage(PageAbout);
    m_accounts->loadAccountList();
    const int position = static_cast<int>(m_journal.settings.activeAccountPosition);
    if (m_journal.settings.openLastAccount && m_accounts->openRememberedAccount(position)) {
        // The account's views are built by its activation; its pages are
        // shown now, so the page of the last run can be too.
        showSavedPage();
    } else if (m_accounts->accountCount() > 0) {
        m_accounts->startupAccountChoice(position);
    }
    if (!m_statementAtStart.isEmpty()) {
        setPage(PageAccounts);
        m_import->loadReport(m_statementAtStart);
        m_accounts->showImportArea();
    }
    m_about->startUpdateCheck(); // in the background: start-up does not wait for it
    startDailyBackup();
    startOutsideWatch();
}

void TForm1::startDailyBackup()
{
    if (!m_journal.hasDatabase())
        return;
    auto* backup = new DailyBackup(this); // its end waits for a copy in progress
    connect(backup, &DailyBackup::finished, this, [this](const QString&, const QString& problem) {
        if (!problem.isEmpty())
            reportBackupProblem(m_journal, m_prompts, problem);
    });
    backup->start(m_journal.db().path(), QDateTime::currentDateTime(), m_journal.integrityCheck.get());
}

void TForm1::restoreDates()
{
    const DateState state = loadDateFile(m_journal.path(kDateFile));
    m_analysis->restoreDates(state);
    m_days->restoreDates(state);
    if (state.page && *state.page >= 0 && *state.page < PageControl1->count()) {
        setPage(*state.page);
        m_savedPage = *state.page;
    }
}

// The page of the last run, built as when the trader turns to it; a page
// that is not offered (an account page without an account) leaves
// "О программе".
void TForm1::showSavedPage()
{
    if (m_savedPage == PageAbout || !PageControl1->isTabVisible(m_savedPage))
        return;
    PageControl1->setCurrentIndex(m_savedPage);
}

void TForm1::readSettings()
{
    Settings& s = m_journal.settings;
    if (!loadSettings(m_journal.path(kConfigFile), s))
        m_prompts.showMessage(Prompts::Icon::Warning, QStringLiteral("Преудпреждение"),
                              QStringLiteral("Не найден файл конфигурации программмы config.ini!"));
    m_days->restoreNotes(s);
    m_reports->restoreNotes(s);
    m_accounts->restoreStartupOption(s);
}

void TForm1::runShutdown()
{
    // What fails here is said once, after everything was tried.
    m_gathering.startGathering();
    m_analysis->writePendingPicture();
    m_notebook->saveState();
    m_analysis->saveGridLayout();
    writeDates();
    writeSettings();
    // A copy when the journal changed since the newest one; a failure is
    // told with the rest and the window still closes.
    if (const QString problem = backupAtClose(m_journal); !problem.isEmpty())
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(), problem);
    reportShutdownProblems(m_gathering.takeGathered());
}

void TForm1::reportShutdownProblems(const QString& problems)
{
    if (problems.isEmpty())
        return;
    const QString text = QStringLiteral("При закрытии программы не всё удалось сохранить.\n\n") + problems;
    // Asked to stop by a signal (the session ends, the terminal closed):
    // nobody may be there to answer a box, and the process must end.
    if (terminationSignalReceived()) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    m_gathering.shown().showMessage(Prompts::Icon::Warning, errorCaption(), text);
}

void TForm1::writeDates()
{
    QDate dates[4];
    m_analysis->saveDates(dates);
    m_days->saveDates(dates);
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
    // The size to come back to when not maximized: a maximized window's
    // normal size, when the window system knows one.
    const QSize normal = isMaximized() ? normalGeometry().size() : size();
    if (normal.width() > 0 && normal.height() > 0) {
        s.windowWidth = normal.width();
        s.windowHeight = normal.height();
    }
    s.windowMaximized = isMaximized();
    m_days->saveNotes(s);
    m_reports->saveNotes(s);
    m_accounts->saveStartupOption(s);
    try {
        saveSettings(m_journal.path(kConfigFile), s);
    } catch (const FileWriteError& e) {
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                              QStringLiteral("Ошибка при записи файла конфигурации config.ini!\n%1").arg(e.message()));
    }
}
