#pragma once

#include "context/core/gathering_prompts.h"

#include <QDate>
#include <QMainWindow>
#include <QSet>

class AboutPage;
class AccountReadAhead;
class QLabel;
class AccountsPage;
class AnalysisPage;
class DaysPage;
class ImportPanel;
class TForm_Add;
class Journal;
class NotebookPage;
class Prompts;
class QTabWidget;
class QTimer;
class ReportsPage;
class TradeTablePage;

// The main window: a frame of pages. It composes the pages, runs start-up
// and shutdown in their order and wires the pages' signals; the pages do the
// work.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Page indexes of PageControl1, also the index kept in date.txt.
    enum Page { PageAbout = 0, PageAccounts, PageTrades, PageAnalysis, PageDays, PageReports, PageNotebook };

    TForm1(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);
    ~TForm1() override;

    AboutPage* aboutPage() const { return m_about; }
    AccountsPage* accountsPage() const { return m_accounts; }
    TradeTablePage* tradeTablePage() const { return m_trades; }
    AnalysisPage* analysisPage() const { return m_analysis; }
    DaysPage* daysPage() const { return m_days; }
    ReportsPage* reportsPage() const { return m_reports; }
    NotebookPage* notebookPage() const { return m_notebook; }
    ImportPanel* importPanel() const { return m_import; }
    TForm_Add* tradeDialog() const { return m_tradeDialog; }

    // Selects a page without running its page-change actions.
    void setPage(int index);
    // Shows or hides "База данных", "Анализ", "По дням" and "Отчеты".
    void setAccountPagesVisible(bool visible);

    // Shows the window as it was left: maximized at the screen's room, or
    // at the size it had, by the keys of config.ini (maximized without them).
    void showAtStart();
    // Run once, when the window is first shown and when it closes.
    void runStartup();
    void runShutdown();
    // A statement given on the command line ("Открыть с помощью"): start-up
    // ends on the account page with its trades in the import preview, to be
    // copied into the account the trader chooses. Set before the window is shown.
    void openStatementAtStart(const QString& path) { m_statementAtStart = path; }

    // Looks whether another program (tradejournal-cli, a second copy)
    // changed the journal since the last look, and if so shows the change:
    // run when the window is activated and every few seconds while idle.
    void checkOutsideChanges();
    static constexpr int kOutsideCheckMs = 3000;
    // An account of at least this many trades is read on a thread of its
    // own when a page over its trades is built: the page shows
    // "Загрузка сделок…" meanwhile instead of a window that does not answer.
    static constexpr int kReadAheadTrades = 150000;
    void setReadAheadTrades(int trades) { m_readAheadTrades = trades; }

signals:
    // The page-change actions of a page the trader selected have run.
    void pageActionsRun(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The events after which the views of the active account are rebuilt.
    enum class Rebuild { AccountActivated, TradesCopied, TradeSaved, NewTradeSaved, TradeDeleted, AccountDeleted, OutsideChange };
    void rebuildAccountViews(Rebuild reason);
    // The pages are marked out of date; the one on screen is built now, the
    // others when the trader next turns to them.
    void markStale(std::initializer_list<int> pages);
    // Builds the page on screen when it is out of date.
    void buildShownPageIfStale();
    void buildPage(int page);
    // Starts or goes on reading the active account's trades on their thread
    // when the page reads them and they are many and not kept; true when the
    // page waits for that reading.
    bool readAheadFor(int page);
    void onAccountRead(const QString& account, bool kept);
    void showLoadingCover(int page, bool shown);
    void PageControl1Change(int index);
    // Start-up fills no page before the window is on screen: a page turned
    // to during start-up (the saved page) is built here, queued after it.
    bool startingUp() const { return m_started && !m_startupDone; }
    void buildAfterStartup();
    void onAccountActivated();
    void onAccountClosed();
    void onAccountDeleted();
    void showAnalysisOfDay(QDate day);
    void showAnalysisOfRange(QDate from, QDate to);
    QTabWidget* makePages();
    void wirePageChange();
    void wireAccountEvents();
    void wireImport();
    void wireTradeDialog();
    void wirePenColours();
    void onTradeSaved(bool newTrade);
    void onDeleteTradeRequested(const QString& id);
    void restoreDates();
    void showSavedPage();
    void readSettings();
    void writeDates();
    void writeSettings();
    void startDailyBackup();
    void startOutsideWatch();
    // PRAGMA data_version of the window's connection: it changes when
    // another connection commits. -1 when it cannot be read.
    qint64 journalDataVersion();
    void reportShutdownProblems(const QString& problems);

    QTabWidget* PageControl1 = nullptr;
    Journal& m_journal;
    // Every page's prompts: passed on, and gathered into one at shutdown.
    GatheringPrompts m_gathering;
    Prompts& m_prompts;
    AboutPage* m_about = nullptr;
    AccountsPage* m_accounts = nullptr;
    TradeTablePage* m_trades = nullptr;
    AnalysisPage* m_analysis = nullptr;
    DaysPage* m_days = nullptr;
    ReportsPage* m_reports = nullptr;
    NotebookPage* m_notebook = nullptr;
    ImportPanel* m_import = nullptr;
    TForm_Add* m_tradeDialog = nullptr;
    QString m_copyResultAccount; // the account that the copy result shown on "База данных" is about
    bool m_settingPage = false;
    int m_shownPage = PageAbout;
    int m_savedPage = PageAbout; // the page of date.txt
    QSet<int> m_stalePages; // account pages whose contents are out of date
    AccountReadAhead* m_readAhead = nullptr;
    int m_readAheadTrades = kReadAheadTrades;
    QString m_readAheadFailed; // the account whose reading ahead failed: read the usual way
    QLabel* m_loadingCover = nullptr;
    bool m_started = false;
    bool m_startupDone = false;
    bool m_closeAfterStartup = false;
    // What start-up left for buildAfterStartup: the page turned to, or the
    // page on screen whose build waits (-1: none).
    int m_pageChangedAtStartup = -1;
    int m_buildLeftAtStartup = -1;
    bool m_shutDown = false;
    qint64 m_dataVersion = -1;
    QTimer* m_outsideWatch = nullptr;
    QString m_statementAtStart;
};
