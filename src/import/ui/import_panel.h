#pragma once

#include "import/core/csv_table.h"
#include "import/core/csv_trades.h"
#include "import/core/report_file.h"
#include "import/core/row_check.h"
#include "import/core/statement_facts.h"
#include "import/core/statement_row.h"

#include <QByteArray>
#include <QGroupBox>

#include <vector>

class CsvMapperDialog;
class Journal;
class PreviewModel;
class Prompts;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

// The import area GroupBox8 of the account page: open a statement, preview
// its closed trades in StringGrid_Main, copy them into the active account.
// The account page places it and sets its caption; the main window connects
// its signals to the views that the copy changes.
class ImportPanel : public QGroupBox {
    Q_OBJECT
public:
    ImportPanel(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    PreviewModel* previewModel() const { return m_model; }

    // Opening a statement is possible only while an account is active; while
    // none is, a loaded preview is not copied either.
    void setImportAllowed(bool allowed);
    // The line over the buttons that names the account a copy goes into;
    // an empty name says that no account is active.
    void setCopyTarget(const QString& accountName);

    // "1. Открыть файл сделок": choose a file, read and recognise it, extract.
    // Cancelling the dialog examines the text loaded before once more.
    void BitBtn2Click();
    // The same after the dialog, for a chosen file.
    void loadReport(const QString& path);
    // "2. Скопировать сделки на счет".
    void BitBtn3Click();
    // "Разобрать": extracts the loaded statement with the last recognised kind.
    void Button_RaschetClick() { extractLastReport(); }
    // A table of trades (CSV): read, then shown in the column mapper; the
    // preview fills when the trader applies the mapping.
    void loadCsv(const QString& path);
    // Fills the preview from the loaded table with the applied mapping.
    void fillCsvPreview();
    bool csvLoaded() const { return m_csvLoaded; }
    const CsvMapping& csvMapping() const { return m_csvMapping; }

    // Fills the preview with the trades of the loaded statement; nothing for
    // ReportKind::None. Enables the copy unless the statement could not be
    // read whole.
    void extractTrades(ReportKind kind);
    // Extracts again with the kind of the last recognition (after a trade
    // was deleted, the preview shows what the statement still adds).
    void extractLastReport();
    void resetPreviewGrid();

    ReportKind reportKind() const { return m_kind; }
    const QByteArray& rawReportText() const { return m_rawText; }

    const StatementFacts& statementFacts() const { return m_facts; }
    const Reconciliation& reconciliation() const { return m_reconciliation; }

signals:
    // The copy filled in the active account's currency or capital: its
    // details are shown again before the views are rebuilt.
    void accountDetailsChanged();
    // The copy command ended. tradesCopied: trades were written to the
    // database, and the views over them need rebuilding.
    void copyFinished(bool tradesCopied);
    // The line that tells what the copy did ("Добавлено сделок: …"), sent
    // before copyFinished for the page the trader lands on; empty when
    // another file is opened and the line no longer holds.
    void copyResultChanged(const QString& text);

private:
    QHBoxLayout* makeButtonRow();
    QProgressBar* makeProgressBar();
    QLabel* makeResultLabel();
    QLabel* makeTargetLabel();
    QLabel* makeReconciliationLabel();
    QTableView* makePreviewGrid();
    void recognizeAndExtract();
    // The trades to copy: in the order the grid shows, without those whose
    // cells do not read.
    std::vector<StatementRow> rowsInGridOrder() const;
    void setBusy(bool busy);
    void showReconciliation();
    bool offerOpeningBalance();
    void applyCsvMapping();
    bool confirmCopy();

    QPushButton* BitBtn2 = nullptr;        // "1. Открыть файл сделок"
    QPushButton* BitBtn3 = nullptr;        // "2. Скопировать сделки на счет"
    QPushButton* Button_Raschet = nullptr; // "Разобрать", hidden
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label_Target = nullptr; // "Счет для копирования: ..."
    // What the last step did: the closed trades found, or the trades added
    // and updated by the copy.
    QLabel* Label_Result = nullptr;
    // The statement held against its own totals: one line under the buttons.
    QLabel* Label_Sverka = nullptr;
    QTableView* StringGrid_Main = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    PreviewModel* m_model = nullptr;
    QByteArray m_rawText;
    ReportKind m_kind = ReportKind::None;
    StatementFacts m_facts;
    Reconciliation m_reconciliation;
    std::vector<RowProblem> m_problems; // trades whose cells do not read: not copied
    // A table of trades: the one shown in the mapper, the one applied, its
    // mapping and the rows that do not read.
    CsvMapperDialog* m_csvDialog = nullptr;
    QString m_pendingCsvFile;
    CsvTable m_pendingCsv;
    CsvTable m_csvTable;
    CsvMapping m_csvMapping;
    std::vector<CsvProblem> m_csvProblems;
    bool m_csvLoaded = false; // the preview comes from m_csvTable, not from a statement
    bool m_importAllowed = false;
    bool m_busy = false;
};
