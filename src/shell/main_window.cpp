#include "shell/main_window.h"

#include "stats/core/account_read_ahead.h"

#include "accounts/ui/accounts_page.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/version.h"
#include "about/ui/about_page.h"
#include "import/ui/import_panel.h"
#include "journal/ui/trade_dialog.h"
#include "notebook/ui/notebook_page.h"
#include "stats/ui/analysis_page.h"
#include "stats/ui/days_page.h"
#include "stats/ui/reports_page.h"
#include "stats/ui/trade_table_page.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QTabBar>
#include <QTabWidget>

#include <utility>

TForm1::TForm1(Journal& journal, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent)
    , m_journal(journal)
    , m_gathering(prompts)
    , m_prompts(m_gathering)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(applicationTitleWithVersion());
    resize(1262, 670);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(9);
    setFont(font);

    setCentralWidget(makePages());
    setAccountPagesVisible(false);
    wirePageChange();
    wireAccountEvents();
    wireImport();
    wireTradeDialog();
    wirePenColours();
}

// The tabs of the window, in the order of enum Page.
QTabWidget* TForm1::makePages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    QFont tabFont(QStringLiteral("Tahoma"));
    tabFont.setPixelSize(13);
    PageControl1->tabBar()->setFont(tabFont);

    m_about = new AboutPage(m_journal, m_prompts);
    m_accounts = new AccountsPage(m_journal, m_prompts);
    m_trades = new TradeTablePage(m_journal, m_prompts);
    m_analysis = new AnalysisPage(m_journal, m_prompts);
    m_days = new DaysPage(m_journal, m_prompts);
    m_reports = new ReportsPage(m_journal, m_prompts);
    m_notebook = new NotebookPage(m_journal, m_prompts);
    PageControl1->addTab(m_about, QStringLiteral("О программе"));
    PageControl1->addTab(m_accounts, QStringLiteral("Менеджер счетов"));
    PageControl1->addTab(m_trades, QStringLiteral("База данных"));
    PageControl1->addTab(m_analysis, QStringLiteral("Анализ"));
    PageControl1->addTab(m_days, QStringLiteral("По дням"));
    PageControl1->addTab(m_reports, QStringLiteral("Отчеты"));
    PageControl1->addTab(m_notebook, QStringLiteral("Записная книжка трейдера"));
    return PageControl1;
}

void TForm1::wirePageChange()
{
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        // Leaving the analysis page leaves its picture: what was drawn is written.
        if (m_shownPage == PageAnalysis && index != PageAnalysis)
            m_analysis->writePendingPicture();
        if (m_shownPage == PageNotebook && index != PageNotebook)
            m_notebook->writePendingChart();
        m_shownPage = index;
        if (!m_settingPage)
            PageControl1Change(index);
    });
}

void TForm1::wireAccountEvents()
{
    connect(m_accounts, &AccountsPage::accountActivated, this, &TForm1::onAccountActivated);
    connect(m_accounts, &AccountsPage::accountClosed, this, &TForm1::onAccountClosed);
    connect(m_accounts, &AccountsPage::accountDeleted, this, &TForm1::onAccountDeleted);
    connect(m_trades, &TradeTablePage::tradeDayRequested, this, &TForm1::showAnalysisOfDay);
    connect(m_days, &DaysPage::periodAnalysisRequested, this, &TForm1::showAnalysisOfRange);
    connect(m_reports, &ReportsPage::tradeDayRequested, this, &TForm1::showAnalysisOfDay);
}

// The import area lives on the account page.
void TForm1::wireImport()
{
    m_import = new ImportPanel(m_journal, m_prompts);
    m_accounts->setImportArea(m_import);
    connect(m_accounts, &AccountsPage::importAllowedChanged, m_import, &ImportPanel::setImportAllowed);
    connect(m_accounts, &AccountsPage::copyTargetChanged, m_import, &ImportPanel::setCopyTarget);
    // A copy that filled in the account's capital or currency shows them
    // before the views are rebuilt from that capital.
    connect(m_import, &ImportPanel::accountDetailsChanged, m_accounts, &AccountsPage::refreshActiveAccount);
    // The copy's result goes with the trader to "База данных"; another file
    // opened takes it away.
    connect(m_import, &ImportPanel::copyResultChanged, this, [this](const QString& text) {
        m_copyResultAccount = text.isEmpty() ? QString() : m_journal.activeAccount;
        m_trades->showCopyResult(text);
    });
    connect(m_import, &ImportPanel::copyFinished, this, [this](bool tradesCopied) {
        if (tradesCopied)
            rebuildAccountViews(Rebuild::TradesCopied);
    });
}

void TForm1::wirePenColours()
{
    // Choosing a pen colour on the trade picture also applies the editor's
    // own colour to the notebook's current text attributes (the notebook's
    // chart does the same within its page).
    connect(m_analysis, &AnalysisPage::penColourChosen, m_notebook, &NotebookPage::applyPenColourToText);
}

void TForm1::wireTradeDialog()
{
    m_tradeDialog = new TForm_Add(m_journal, m_prompts, this);
    connect(m_analysis, &AnalysisPage::editTradeRequested, this, [this](const QString& id) {
        // A trade deleted meanwhile does not open; the table is brought up to date.
        if (!m_tradeDialog->openForEdit(id))
            m_analysis->runPeriodAnalysis();
    });
    connect(m_analysis, &AnalysisPage::newTradeRequested, m_tradeDialog, &TForm_Add::openForNewTrade);
    connect(m_tradeDialog, &TForm_Add::saved, this, &TForm1::onTradeSaved);
    connect(m_analysis, &AnalysisPage::deleteTradeRequested, this, &TForm1::onDeleteTradeRequested);
    connect(m_trades, &TradeTablePage::deleteTradeRequested, this, &TForm1::onDeleteTradeRequested);
}

void TForm1::onTradeSaved(bool newTrade)
{
    rebuildAccountViews(newTrade ? Rebuild::NewTradeSaved : Rebuild::TradeSaved);
    // A trade entered with its prices and result: its money joins the
    // account's curve, and the analysis shows the day it opened on.
    if (newTrade && m_tradeDialog->savedTradeDay().isValid()) {
        m_accounts->drawAccountCurve();
        m_analysis->showDay(m_tradeDialog->savedTradeDay());
    }
}

void TForm1::onDeleteTradeRequested(const QString& id)
{
    if (deleteTrade(m_journal, m_prompts, id))
        rebuildAccountViews(Rebuild::TradeDeleted);
}

// What each event changes decides what is out of date. Only the page on
// screen is built at once; the others are built when the trader turns to
// them (PageControl1Change), so an account of a million trades opens
// without waiting for the pages nobody looks at. "По дням" and "Отчеты" are
// built every time they are shown anyway. A new page joins the cases here
// and in buildPage.
void TForm1::rebuildAccountViews(Rebuild reason)
{
    switch (reason) {
    case Rebuild::AccountActivated:
        // Another account's trades: its table, chart and analysis. The
        // account page draws the account's curve itself.
        markStale({PageTrades, PageAnalysis, PageDays, PageReports});
        break;
    case Rebuild::TradesCopied:
        // Trades added and changed: every view over them, the account's
        // curve (drawn when its page is shown again), and then the trade
        // table is shown.
        setPage(PageTrades);
        m_accounts->drawAccountCurve();
        markStale({PageTrades, PageAnalysis, PageDays, PageReports});
        break;
    case Rebuild::TradeSaved:
    case Rebuild::NewTradeSaved:
        // An annotation changes the categories, not the money.
        if (reason == Rebuild::NewTradeSaved) {
            m_analysis->showToday(); // where the new trade is
            markStale({PageTrades, PageReports});
        } else {
            markStale({PageTrades, PageAnalysis, PageReports});
        }
        break;
    case Rebuild::TradeDeleted:
        // The trade's money leaves the tables, and the loaded statement
        // offers it again in the preview.
        m_import->extractLastReport();
        markStale({PageTrades, PageAnalysis, PageDays, PageReports});
        break;
    case Rebuild::OutsideChange:
        // Another program wrote to the journal (an import from the command
        // line, most often): the account list and the views of the active
        // account.
        m_accounts->reloadAfterOutsideChange();
        if (m_journal.activeAccount.isEmpty())
            break;
        markStale({PageTrades, PageAnalysis, PageDays, PageReports});
        break;
    case Rebuild::AccountDeleted:
        // The active account may have gone: every account view.
        markStale({PageTrades, PageAnalysis, PageDays, PageReports});
        break;
    }
}

void TForm1::markStale(std::initializer_list<int> pages)
{
    for (const int page : pages)
        m_stalePages.insert(page);
    buildShownPageIfStale();
}

void TForm1::buildShownPageIfStale()
{
    const int page = PageControl1->currentIndex();
    if (startingUp()) {
        if (m_stalePages.contains(page))
            m_buildLeftAtStartup = page;
        return;
    }
    if (m_stalePages.contains(page))
        buildPage(page);
}

bool TForm1::readAheadFor(int page)
{
    if (page != PageTrades && page != PageDays && page != PageReports)
        return false; // the analysis reads its period itself
    const QString account = m_journal.activeAccount;
    if (account.isEmpty() || !m_journal.hasDatabase() || account == m_readAheadFailed)
        return false;
    if (!m_readAhead) {
        m_readAhead = new AccountReadAhead(m_journal.db(), this);
        connect(m_readAhead, &AccountReadAhead::finished, this, &TForm1::onAccountRead);
    }
    return m_readAhead->startIfLarge(account, m_readAheadTrades);
}

void TForm1::onAccountRead(const QString& account, bool kept)
{
    if (!kept)
        m_readAheadFailed = account; // changed meanwhile or failed: the next build reads as always
    showLoadingCover(PageControl1->currentIndex(), false);
    if (!m_shutDown)
        buildShownPageIfStale();
    m_readAheadFailed.clear();
}

void TForm1::showLoadingCover(int page, bool shown)
{
    if (!shown) {
        if (m_loadingCover)
            m_loadingCover->hide();
        return;
    }
    QWidget* under = PageControl1->widget(page);
    if (!m_loadingCover) {
        m_loadingCover = new QLabel(QStringLiteral("Загрузка сделок счета…"));
        m_loadingCover->setObjectName(QStringLiteral("Label_Loading"));
        m_loadingCover->setAlignment(Qt::AlignCenter);
        m_loadingCover->setAutoFillBackground(true);
        QFont font = m_loadingCover->font();
        font.setPointSize(12);
        m_loadingCover->setFont(font);
    }
    m_loadingCover->setParent(under);
    m_loadingCover->setGeometry(under->rect());
    m_loadingCover->raise();
    m_loadingCover->show();
}

void TForm1::buildPage(int page)
{
    if (readAheadFor(page)) {
        showLoadingCover(page, true);
        return; // built when the reading ends
    }
    showLoadingCover(page, false);
    m_stalePages.remove(page);
    switch (page) {
    case PageTrades: m_trades->refreshTradeTable(); break;
    case PageAnalysis: m_analysis->runPeriodAnalysis(); break;
    case PageDays: m_days->rebuild(); break;
    case PageReports: m_reports->rebuild(); break;
    default: break;
    }
}

TForm1::~TForm1() = default;

void TForm1::setPage(int index)
{
    m_settingPage = true;
    PageControl1->setCurrentIndex(index);
    m_settingPage = false;
}

void TForm1::setAccountPagesVisible(bool visible)
{
    for (int page : {PageTrades, PageAnalysis, PageDays, PageReports})
        PageControl1->setTabVisible(page, visible);
}

void TForm1::PageControl1Change(int index)
{
    if (startingUp()) {
        m_pageChangedAtStartup = index;
        return;
    }
    switch (index) {
    case PageTrades:
        // Built now when a change left it out of date.
        buildShownPageIfStale();
        return;
    case PageAnalysis:
        buildShownPageIfStale();
        m_analysis->reselectTrade();
        break;
    case PageReports:
    case PageDays: buildPage(index); break;
    default: return;
    }
    emit pageActionsRun(index);
}

void TForm1::onAccountActivated()
{
    setAccountPagesVisible(true);
    m_trades->setAccountCaption(m_accounts->activeAccountName());
    // The last copy's result was about the account it went into.
    if (m_journal.activeAccount != m_copyResultAccount) {
        m_copyResultAccount.clear();
        m_trades->showCopyResult(QString());
    }
    rebuildAccountViews(Rebuild::AccountActivated);
}

void TForm1::onAccountClosed()
{
    setAccountPagesVisible(false);
}

void TForm1::onAccountDeleted()
{
    rebuildAccountViews(Rebuild::AccountDeleted);
}

// A double-click in the trade table: the analysis of that trade's day, all
// of it (the range ends at the start of the next day).
void TForm1::showAnalysisOfDay(QDate day)
{
    setPage(PageAnalysis);
    m_stalePages.remove(PageAnalysis);
    m_analysis->showDay(day);
}

// A double-click in the day or week table: the analysis of that day or week.
void TForm1::showAnalysisOfRange(QDate from, QDate to)
{
    setPage(PageAnalysis);
    m_stalePages.remove(PageAnalysis);
    m_analysis->showRange(from, to);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_started) {
        m_started = true;
        runStartup();
        m_startupDone = true;
        QMetaObject::invokeMethod(this, &TForm1::buildAfterStartup, Qt::QueuedConnection);
        if (m_closeAfterStartup)
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TForm1::buildAfterStartup()
{
    // As if the trader had turned to the page now that the window is up;
    // nothing when another page has been chosen since.
    const int page = PageControl1->currentIndex();
    if (std::exchange(m_pageChangedAtStartup, -1) == page)
        PageControl1Change(page);
    else if (std::exchange(m_buildLeftAtStartup, -1) == page)
        buildShownPageIfStale();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // Shutdown writes back what start-up read. A close asked for while
    // start-up still runs (a stop signal while one of its messages is open)
    // waits for the end of start-up; a window never shown writes nothing.
    if (m_started && !m_startupDone) {
        m_closeAfterStartup = true;
        event->ignore();
        return;
    }
    if (m_started && !m_shutDown) {
        m_shutDown = true;
        runShutdown();
    }
    event->accept();
}

void TForm1::startOutsideWatch()
{
    if (!m_journal.hasDatabase())
        return;
    m_dataVersion = journalDataVersion();
    m_outsideWatch = new QTimer(this);
    m_outsideWatch->setInterval(kOutsideCheckMs);
    connect(m_outsideWatch, &QTimer::timeout, this, &TForm1::checkOutsideChanges);
    m_outsideWatch->start();
}

qint64 TForm1::journalDataVersion()
{
    // A journal that another program holds locked (the commit of a long
    // import) is looked at again next time: the window does not wait.
    qint64 version = -1;
    TSQLiteDatabase& db = m_journal.db();
    db.setBusyTimeout(0);
    try {
        db.readRows(QStringLiteral("PRAGMA data_version"), {}, [&](const SqlRow& row) { version = row.integer(0); });
    } catch (const ESQLiteException&) {
    }
    db.setBusyTimeout(TSQLiteDatabase::kBusyTimeoutMs);
    return version;
}

void TForm1::checkOutsideChanges()
{
    // Not while the trader is in a dialog or a message (the views under it
    // stay as they were until it closes), nor before start-up is done.
    if (!m_outsideWatch || m_shutDown || QApplication::activeModalWidget())
        return;
    const qint64 version = journalDataVersion();
    if (version < 0 || version == m_dataVersion)
        return;
    m_dataVersion = version;
    rebuildAccountViews(Rebuild::OutsideChange);
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        checkOutsideChanges();
}
