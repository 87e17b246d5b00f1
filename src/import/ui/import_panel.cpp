#include "import/ui/import_panel.h"

#include "accounts/core/account_store.h"
#include "context/core/data_safety.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "import/core/csv_mapping_memory.h"
#include "import/core/preview_model.h"
#include "import/core/trade_copy.h"
#include "import/core/trade_extraction.h"

#include "accounts/core/account_fields.h"
#include "db/core/safe_file.h"
#include "import/ui/csv_mapper_dialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Moves the progress bar during a long task and lets the window repaint
// now and then; clicks wait until the task is done, so nothing starts
// half-way through it.
class BarProgress : public ExtractionProgress {
public:
    explicit BarProgress(QProgressBar* bar)
        : m_bar(bar)
    {
        m_clock.start();
    }
    void start(int maximum) override
    {
        if (maximum >= 0)
            m_bar->setRange(0, std::max(maximum, 1));
        m_value = 0;
        m_bar->setValue(0);
    }
    void advance() override
    {
        ++m_value;
        if (m_clock.elapsed() < 40)
            return;
        m_bar->setValue(std::min(m_value, m_bar->maximum()));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_clock.restart();
    }

private:
    QProgressBar* m_bar;
    QElapsedTimer m_clock;
    int m_value = 0;
};

} // namespace

ImportPanel::ImportPanel(Journal& journal, Prompts& prompts, QWidget* parent)
    : QGroupBox(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("GroupBox8"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    Label_Target = makeTargetLabel();
    QHBoxLayout* buttons = makeButtonRow();
    ProgressBar1 = makeProgressBar();
    Label_Result = makeResultLabel();
    Label_Sverka = makeReconciliationLabel();
    StringGrid_Main = makePreviewGrid();

    buttons->addSpacing(12);
    buttons->addWidget(Label_Result);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_Target);
    layout->addLayout(buttons);
    layout->addWidget(Label_Sverka);
    layout->addWidget(ProgressBar1); // under the buttons
    layout->addWidget(StringGrid_Main, 1);

    connect(BitBtn2, &QPushButton::clicked, this, &ImportPanel::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &ImportPanel::BitBtn3Click);
    connect(Button_Raschet, &QPushButton::clicked, this, &ImportPanel::Button_RaschetClick);

    m_csvDialog = new CsvMapperDialog(this);
    connect(m_csvDialog, &QDialog::accepted, this, &ImportPanel::applyCsvMapping);
}

// The two steps and the hidden "Разобрать"; the result line joins them.
QHBoxLayout* ImportPanel::makeButtonRow()
{
    BitBtn2 = new QPushButton(QStringLiteral("1. Открыть файл сделок"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setEnabled(false);
    BitBtn3 = new QPushButton(QStringLiteral("2. Скопировать сделки на счет"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setEnabled(false);
    Button_Raschet = new QPushButton(QStringLiteral("Разобрать"), this);
    Button_Raschet->setObjectName(QStringLiteral("Button_Raschet"));
    Button_Raschet->setVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(Button_Raschet);
    return buttons;
}

QProgressBar* ImportPanel::makeProgressBar()
{
    auto* bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("ProgressBar1"));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setMaximumHeight(14);
    return bar;
}

QLabel* ImportPanel::makeResultLabel()
{
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label_Result"));
    return label;
}

// One line of fixed height whatever it says, so that the page below it
// never moves when another account is activated.
QLabel* ImportPanel::makeTargetLabel()
{
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label_Target"));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setWordWrap(false);
    label->setFixedHeight(label->fontMetrics().height() + 4);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Label_Target = label;
    setCopyTarget(QString());
    return label;
}

void ImportPanel::setCopyTarget(const QString& accountName)
{
    if (!Label_Target)
        return;
    Label_Target->setText(accountName.isEmpty()
                              ? QStringLiteral("Счет для копирования: не выбран (щелкните счет в таблице выше)")
                              : QStringLiteral("Счет для копирования: ") + accountName);
    Label_Target->setToolTip(Label_Target->text());
}

QLabel* ImportPanel::makeReconciliationLabel()
{
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label_Sverka"));
    label->setWordWrap(true);
    label->setVisible(false);
    return label;
}

QTableView* ImportPanel::makePreviewGrid()
{
    m_model = new PreviewModel(this);
    auto* grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("StringGrid_Main"));
    grid->setModel(m_model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setSectionsMovable(true);
    grid->verticalHeader()->setSectionsMovable(true);
    // Sorted by a click on a header; until then in the statement's order.
    grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grid->setSortingEnabled(true);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->verticalHeader()->setMinimumWidth(12);
    grid->horizontalHeader()->setDefaultSectionSize(72);
    grid->setColumnWidth(StatementRow::Id, 30);
    grid->setColumnWidth(StatementRow::Number, 40);
    grid->setColumnWidth(StatementRow::OpenTime, 120);
    grid->setColumnWidth(StatementRow::CloseTime, 120);
    return grid;
}

void ImportPanel::setImportAllowed(bool allowed)
{
    m_importAllowed = allowed;
    if (!m_busy)
        BitBtn2->setEnabled(allowed);
    // With no account active the copy would go to one the trader did not
    // choose: the preview waits until an account is activated and the
    // statement opened again.
    if (!allowed)
        BitBtn3->setEnabled(false);
}

void ImportPanel::setBusy(bool busy)
{
    m_busy = busy;
    BitBtn2->setEnabled(!busy && m_importAllowed);
    if (busy)
        BitBtn3->setEnabled(false);
}

void ImportPanel::BitBtn2Click()
{
    if (m_busy)
        return;
    m_kind = ReportKind::None;
    Prompts::FileRequest request;
    request.caption = QStringLiteral("Открыть файл сделок");
    request.filters = {QStringLiteral("Файл сделок MetaTrader 4 (*.htm)"),
                       QStringLiteral("Файл сделок MetaTrader 5 (*.html)"),
                       QStringLiteral("Таблица сделок CSV (*.csv *.txt)"), QStringLiteral("Все файлы (*)")};
    const auto file = m_prompts.chooseFile(request);
    if (file)
        loadReport(*file);
    else if (m_csvLoaded)
        fillCsvPreview(); // the table loaded before, with its mapping
    else
        recognizeAndExtract();
}

void ImportPanel::loadReport(const QString& path)
{
    m_kind = ReportKind::None;
    // What the last step did was about the file before: the line waits for
    // what this one gives (a refused file gives nothing).
    Label_Result->clear();
    emit copyResultChanged(QString());
    if (isCsvFileName(path)) {
        loadCsv(path);
        return;
    }
    QByteArray text;
    try {
        text = readTextFile(path);
    } catch (const ReportReadError& e) {
        reportError(m_prompts, e.message()); // the text loaded before stays
        return;
    }
    // A .txt file that is no statement may be a table of trades.
    if (isTxtFileName(path) && recognizeReport(text) == ReportKind::None) {
        loadCsv(path);
        return;
    }
    m_rawText = std::move(text);
    m_csvLoaded = false;
    recognizeAndExtract();
}

void ImportPanel::extractLastReport()
{
    if (m_csvLoaded)
        fillCsvPreview();
    else
        extractTrades(m_kind);
}

void ImportPanel::loadCsv(const QString& path)
{
    if (m_busy)
        return;
    CsvTable table;
    try {
        table = readCsvFile(path);
    } catch (const ReportReadError& e) {
        reportError(m_prompts, e.message()); // what was loaded before stays
        return;
    }
    if (table.isEmpty() || table.rows.empty()) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("В файле «%1» нет таблицы сделок: нужна строка заголовков и под ней "
                                             "строки сделок, ячейки через запятую, точку с запятой или табуляцию.")
                                  .arg(QFileInfo(path).fileName()));
        BitBtn3->setEnabled(false);
        return;
    }
    const CsvMappingMemory memory(m_journal.path(CsvMappingMemory::fileName()));
    const CsvMapping mapping = initialCsvMapping(table, memory);
    m_pendingCsvFile = path;
    m_pendingCsv = std::move(table);
    m_csvDialog->openFor(path, m_pendingCsv, mapping);
}

// The trader applied the mapping: it is remembered for the next file with
// this header, and the preview shows the trades.
void ImportPanel::applyCsvMapping()
{
    m_csvMapping = m_csvDialog->mapping();
    m_csvTable = std::move(m_pendingCsv);
    m_pendingCsv = {};
    m_csvLoaded = true;
    m_kind = ReportKind::None;
    try {
        CsvMappingMemory(m_journal.path(CsvMappingMemory::fileName())).remember(m_csvTable.header, m_csvMapping);
    } catch (const FileWriteError& e) {
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                              QStringLiteral("Не удалось запомнить столбцы файла: %1").arg(e.message()));
    }
    fillCsvPreview();
}

void ImportPanel::fillCsvPreview()
{
    if (m_busy || !m_csvLoaded)
        return;
    resetPreviewGrid();
    CsvTrades trades = readCsvTrades(m_csvTable, m_csvMapping);
    m_facts = {};
    m_reconciliation = {};
    m_csvProblems = trades.problems;
    const std::vector<int> problemRows = trades.problemRows();
    const auto found = static_cast<qsizetype>(trades.rows.size());
    m_model->setRows(std::move(trades.rows));
    m_model->setProblemRows(problemRows);
    Label_Result->setText(QStringLiteral("Сделок в файле CSV: %1").arg(found));
    const QString problems = CsvTrades{{}, m_csvProblems}.problemsLine();
    Label_Sverka->setText(problems.isEmpty() ? csvReconciliationLine() : csvReconciliationLine() + u'\n' + problems);
    Label_Sverka->setStyleSheet(problems.isEmpty() ? QStringLiteral("color: #404040") : QStringLiteral("color: #ff0000"));
    Label_Sverka->setVisible(true);
    StringGrid_Main->resizeColumnsToContents();
    BitBtn3->setEnabled(m_importAllowed);
}

void ImportPanel::recognizeAndExtract()
{
    m_kind = recognizeReport(m_rawText);
    m_csvLoaded = false;
    if (m_kind == ReportKind::None) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(), notAReportMessage());
        BitBtn3->setEnabled(false);
        return;
    }
    extractTrades(m_kind);
}

void ImportPanel::extractTrades(ReportKind kind)
{
    if (m_busy || kind == ReportKind::None)
        return;
    resetPreviewGrid();
    setBusy(true);
    BarProgress progress(ProgressBar1);
    Extraction result = ::extractTrades(m_rawText, kind, &progress);
    const auto found = static_cast<qsizetype>(result.rows.size());
    m_facts = readStatementFacts(m_rawText, kind);
    m_reconciliation = reconcile(m_facts, result.rows);
    m_problems = checkStatementRows(result.rows);
    m_model->setRows(std::move(result.rows));
    std::vector<int> problemRows;
    for (const RowProblem& p : m_problems)
        problemRows.push_back(p.row);
    m_model->setProblemRows(std::move(problemRows));
    Label_Result->setText(QStringLiteral("Закрытых сделок в отчете: %1").arg(found));
    showReconciliation();
    StringGrid_Main->resizeColumnsToContents();
    ProgressBar1->setValue(0);
    setBusy(false);
    if (!result.complete()) {
        // Copying a statement read in part would silently leave trades out.
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(), result.problem);
        return;
    }
    BitBtn3->setEnabled(true);
}

void ImportPanel::showReconciliation()
{
    const QString problems = problemsLine(m_problems);
    Label_Sverka->setText(problems.isEmpty() ? m_reconciliation.line() : m_reconciliation.line() + u'\n' + problems);
    const QColor colour = m_reconciliation.reconciled ? QColor(0, 128, 0) : QColor(255, 0, 0);
    Label_Sverka->setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
    Label_Sverka->setVisible(true);
}

void ImportPanel::resetPreviewGrid()
{
    m_model->clear();
    m_problems.clear();
    m_csvProblems.clear();
    Label_Sverka->setVisible(false);
}

// A statement whose totals are known but that holds no deposit (a
// statement of a later period) tells what the account had before its
// trades; an account still at capital 0 is offered that balance. Returns
// true when the capital was set.
bool ImportPanel::offerOpeningBalance()
{
    if (!m_reconciliation.reconciled || !m_reconciliation.openingBalance || *m_reconciliation.openingBalance <= 0
        || !m_facts.cash.empty())
        return false;
    AccountStore store(m_journal.db(), m_journal.path(QStringLiteral("img")));
    const std::optional<AccountRecord> account = store.findAccount(m_journal.activeAccount);
    if (!account || !(account->capital.isEmpty() || account->capital == QLatin1String("0")))
        return false;
    const qint64 cents = *m_reconciliation.openingBalance;
    const qint64 whole = (cents + 50) / 100; // the capital is a whole number
    const QString amount = QString::number(whole) + currencyMark(account->currency.isEmpty() ? m_facts.currency
                                                                                              : account->currency);
    const QString text = cents % 100 == 0
        ? QStringLiteral("В отчете нет пополнений счета, а начальный баланс по его итогам %1. "
                         "Записать его в капитал счета?").arg(amount)
        : QStringLiteral("В отчете нет пополнений счета, а начальный баланс по его итогам %1,%2. "
                         "Записать в капитал счета %3 (капитал - целое число)?")
              .arg(cents / 100).arg(std::abs(cents % 100), 2, 10, QLatin1Char('0')).arg(amount);
    if (!m_prompts.confirm(text))
        return false;
    return store.setCapital(m_journal.activeAccount, whole);
}

std::vector<StatementRow> ImportPanel::rowsInGridOrder() const
{
    // The trader may have dragged rows or sorted them by a column; the copy
    // follows what the grid shows.
    const QHeaderView* header = StringGrid_Main->verticalHeader();
    const auto& rows = m_model->rows();
    std::vector<StatementRow> ordered;
    ordered.reserve(rows.size());
    for (int visual = 0; visual < m_model->rowCount(); ++visual) {
        const int logical = m_model->baseRow(header->logicalIndex(visual));
        if (logical >= 0 && logical < static_cast<int>(rows.size()) && !m_model->isProblemRow(logical))
            ordered.push_back(rows[static_cast<std::size_t>(logical)]);
    }
    return ordered;
}

// A statement cut short or one whose trades do not add up to its own
// totals, or a table with rows that do not read, is copied only when the
// trader says so.
bool ImportPanel::confirmCopy()
{
    if (m_csvLoaded) {
        const QString problems = CsvTrades{{}, m_csvProblems}.problemsLine();
        return problems.isEmpty()
            || m_prompts.confirm(problems + QStringLiteral("\nКопировать остальные сделки?"));
    }
    return m_reconciliation.reconciled
        || m_prompts.confirm(m_problems.empty()
                                 ? QStringLiteral("Отчет не сверяется со своими итогами: %1\n"
                                                  "Копировать сделки всё равно?")
                                       .arg(m_reconciliation.reason())
                                 : QStringLiteral("Отчет не сверяется со своими итогами: %1\n%2\n"
                                                  "Копировать остальные сделки?")
                                       .arg(m_reconciliation.reason(), problemsLine(m_problems)));
}

void ImportPanel::BitBtn3Click()
{
    if (m_busy)
        return;
    bool copied = false;
    if (m_journal.activeAccount.isEmpty()) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("Выберите счет куда копировать сделки"));
    } else {
        if (!confirmCopy())
            return;
        // Trades that another account holds move here with the copy: the
        // trader is told from where, and asked.
        AccountStore accounts(m_journal.db(), m_journal.path(QStringLiteral("img")));
        const auto accountName = [&](const QString& id) {
            const std::optional<AccountRecord> a = accounts.findAccount(id);
            return a ? a->name : QString();
        };
        try {
            const std::map<QString, int> elsewhere =
                tradesInOtherAccounts(m_journal.db(), m_journal.activeAccount, rowsInGridOrder());
            if (!elsewhere.empty()
                && !m_prompts.confirm(QStringLiteral("Сделки отчета уже есть на другом счете: %1. Перенести их на счет «%2»?")
                                          .arg(otherAccountsText(elsewhere, accountName),
                                               accountName(m_journal.activeAccount))))
                return;
        } catch (const ESQLiteException&) {
            // the copy below meets the same fault and reports it
        }
        try {
            if (accountHoldsTrades(m_journal, m_journal.activeAccount))
                backupBeforeChange(m_journal, m_prompts);
        } catch (const ESQLiteException&) {
            // the copy below meets the same fault and reports it
        }
        setBusy(true);
        BarProgress progress(ProgressBar1);
        progress.start(m_model->gridRowCount() - 1);
        const CopyOutcome outcome =
            copyTrades(m_journal.db(), m_journal.activeAccount, rowsInGridOrder(), m_journal.path(QStringLiteral("img")),
                       [&] { progress.advance(); }, m_csvLoaded ? StatementMoney{} : statementMoney(m_facts));
        setBusy(false);
        QString result = QStringLiteral("Добавлено сделок: %1, обновлено: %2").arg(outcome.inserted).arg(outcome.updated);
        if (!outcome.movedFrom.empty())
            result += QStringLiteral(", перенесено ") + otherAccountsText(outcome.movedFrom, accountName);
        if (outcome.cashAdded > 0)
            result += QStringLiteral(", пополнений и снятий: %1").arg(outcome.cashAdded);
        if (!outcome.currencySet.isEmpty())
            result += QStringLiteral(", валюта счета: %1").arg(outcome.currencySet);
        Label_Result->setText(result);
        if (!outcome.complete())
            m_prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                                  QStringLiteral("Ошибка - Во время добавление данных\n") + outcome.problem);
        if (!outcome.pictureProblems.isEmpty())
            m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                                  QStringLiteral("Не удалось перенести на счет картинки сделок:\n%1")
                                      .arg(outcome.pictureProblems.join(u'\n')));
        bool detailsChanged = !outcome.currencySet.isEmpty();
        try {
            detailsChanged = (outcome.complete() && offerOpeningBalance()) || detailsChanged;
        } catch (const ESQLiteException& e) {
            reportError(m_prompts, e.message());
        }
        if (detailsChanged)
            emit accountDetailsChanged();
        copied = true;
        ProgressBar1->setValue(0);
    }
    resetPreviewGrid();
    BitBtn3->setEnabled(false);
    if (copied)
        emit copyResultChanged(Label_Result->text());
    emit copyFinished(copied);
}
