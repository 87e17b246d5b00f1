// The import area: file dialog, preview grid, copy button and signals.
#include "import/ui/import_panel.h"

#include "accounts/core/account_store.h"
#include "db/core/backup.h"
#include "db/core/cash_store.h"
#include "import/core/preview_model.h"
#include "import/core/report_file.h"

#include "header_click.h"
#include "import_test_support.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include "import/ui/csv_mapper_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QTest>

#include <QProgressBar>
#include <QPushButton>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

#include <gtest/gtest.h>

using namespace importtest;

namespace {

// Counts the emissions of a signal; of copyFinished, the copies that
// ended or only those that wrote trades.
enum class Copies { Finished, WithTrades };
struct SignalCount {
    int n = 0;
    template <typename Signal>
    SignalCount(ImportPanel* panel, Signal signal)
    {
        QObject::connect(panel, signal, [this] { ++n; });
    }
    SignalCount(ImportPanel* panel, Copies which)
    {
        QObject::connect(panel, &ImportPanel::copyFinished, [this, which](bool tradesCopied) {
            if (tradesCopied || which == Copies::Finished)
                ++n;
        });
    }
    int count() const { return n; }
};

QByteArray trades(int n, int firstTicket = 1001)
{
    QByteArray rows;
    for (int i = 0; i < n; ++i)
        rows += mt4Row({QString::number(firstTicket + i), "2024.03.01 10:00:00", "buy", "0.10", "eurusd", "1.08000",
                        "0", "0", "2024.03.01 12:00:00", "1.08500", "-0.70", "0.00", "0.00", "-12.50"});
    return mt4Statement(rows);
}

class ImportPanelTest : public ::testing::Test {
protected:
    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    ScriptedPrompts prompts;
    ImportPanel panel{*journal, prompts};

    void SetUp() override
    {
        journal->activeAccount = QStringLiteral("3");
        panel.setImportAllowed(true);
    }
    QPushButton* button(const char* name) { return widgetByName<QPushButton>(&panel, name); }
    QLabel* label(const char* name) { return widgetByName<QLabel>(&panel, name); }
    QString statement(const QByteArray& bytes, const QString& name = QStringLiteral("s.htm"))
    {
        writeBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    void open(const std::optional<QString>& file)
    {
        prompts.answerFile(file);
        button("BitBtn2")->click();
    }
    // "2. Скопировать сделки на счет" for the small statements of these
    // tests, which have no totals: the trader says yes to copying anyway.
    void copyUnreconciled()
    {
        prompts.answerConfirm(true);
        button("BitBtn3")->click();
    }
    int storedTrades()
    {
        return journal->db().openResultTable("SELECT id FROM t_sdelki")->rowCount();
    }
};

TEST_F(ImportPanelTest, ControlsCarryTheirNames)
{
    EXPECT_EQ(panel.objectName(), "GroupBox8");
    for (const char* name : {"BitBtn2", "BitBtn3", "ProgressBar1", "StringGrid_Main", "Button_Raschet"})
        EXPECT_NE(panel.findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(button("BitBtn2")->text(), "1. Открыть файл сделок");
    EXPECT_EQ(button("BitBtn3")->text(), "2. Скопировать сделки на счет");
    EXPECT_EQ(button("BitBtn3")->isEnabled(), false);
    panel.setImportAllowed(false);
    EXPECT_EQ(button("BitBtn2")->isEnabled(), false);
}

// The line over the buttons names the account a copy goes into; while no
// account is active it says so, and a preview already loaded is not copied.
TEST_F(ImportPanelTest, TargetLineNamesTheAccountAndNoAccountMeansNoCopy)
{
    EXPECT_EQ(label("Label_Target")->text(), "Счет для копирования: не выбран (щелкните счет в таблице выше)");
    panel.setCopyTarget(QStringLiteral("Реальный ECN"));
    EXPECT_EQ(label("Label_Target")->text(), "Счет для копирования: Реальный ECN");
    const int height = label("Label_Target")->height();

    open(statement(trades(2)));
    EXPECT_TRUE(button("BitBtn3")->isEnabled());
    panel.setImportAllowed(false);
    panel.setCopyTarget(QString());
    EXPECT_FALSE(button("BitBtn3")->isEnabled());
    EXPECT_FALSE(button("BitBtn2")->isEnabled());
    EXPECT_EQ(label("Label_Target")->text(), "Счет для копирования: не выбран (щелкните счет в таблице выше)");
    EXPECT_EQ(label("Label_Target")->height(), height);
    EXPECT_EQ(storedTrades(), 0);
}

TEST_F(ImportPanelTest, OpeningAStatementFillsThePreviewAndEnablesTheCopy)
{
    open(statement(trades(3)));
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].request.caption, "Открыть файл сделок");
    EXPECT_EQ(prompts.questions[0].request.filters,
              (QStringList{"Файл сделок MetaTrader 4 (*.htm)", "Файл сделок MetaTrader 5 (*.html)",
                           "Таблица сделок CSV (*.csv *.txt)", "Все файлы (*)"}));
    const PreviewModel* grid = panel.previewModel();
    EXPECT_EQ(grid->gridRowCount(), 3 + 2);
    EXPECT_EQ(grid->cell(0, 12), "Comission");
    EXPECT_EQ(grid->cell(3, 2), "1003");
    EXPECT_EQ(grid->cell(4, 2), ""); // the empty last row
    EXPECT_EQ(widgetByName<QTableView>(&panel, "StringGrid_Main")->model()->rowCount(), 3 + 1);
    EXPECT_EQ(button("BitBtn3")->isEnabled(), true);
    EXPECT_EQ(panel.reportKind(), ReportKind::MetaTrader4);
    EXPECT_EQ(prompts.messages.size(), 0u);
}

TEST_F(ImportPanelTest, ASecondSmallerStatementLeavesNothingOfTheFirst)
{
    open(statement(trades(5)));
    open(statement(trades(2, 2001), "t.htm"));
    EXPECT_EQ(panel.previewModel()->gridRowCount(), 2 + 2);
    EXPECT_EQ(panel.previewModel()->cell(1, 2), "2001");
    EXPECT_EQ(panel.previewModel()->cell(3, 2), "");
}

TEST_F(ImportPanelTest, CancellingExaminesTheTextLoadedBefore)
{
    open(std::nullopt); // nothing loaded yet
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!"});
    EXPECT_EQ(button("BitBtn3")->isEnabled(), false);

    open(statement(trades(2)));
    panel.resetPreviewGrid();
    open(std::nullopt);
    EXPECT_EQ(panel.previewModel()->gridRowCount(), 4);
    EXPECT_EQ(button("BitBtn3")->isEnabled(), true);
}

TEST_F(ImportPanelTest, ARefusedFileKeepsThePreviewAndDisablesTheCopy)
{
    open(statement(trades(2)));
    prompts.messages.clear();
    open(statement("<html>just a page</html>", "page.htm"));
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!"});
    EXPECT_EQ(panel.previewModel()->gridRowCount(), 4);
    EXPECT_EQ(button("BitBtn3")->isEnabled(), false);
    EXPECT_EQ(panel.reportKind(), ReportKind::None);
}

TEST_F(ImportPanelTest, AnUnreadableFileIsReportedAndNothingIsExtracted)
{
    open(statement(trades(2)));
    prompts.messages.clear();
    open(dir.file("missing.htm"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    EXPECT_TRUE(prompts.messages[0].text.contains("missing.htm"));
    EXPECT_EQ(panel.reportKind(), ReportKind::None);
    EXPECT_EQ(panel.rawReportText(), decodeReportBytes(trades(2))); // the statement before stays loaded
}

TEST_F(ImportPanelTest, CopyingStoresTheTradesEmptiesThePreviewAndSignals)
{
    SignalCount copied(&panel, Copies::WithTrades);
    SignalCount finished(&panel, Copies::Finished);
    open(statement(trades(3)));
    copyUnreconciled();
    EXPECT_EQ(storedTrades(), 3);
    EXPECT_EQ(copied.count(), 1);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(panel.previewModel()->gridRowCount(), 2);
    EXPECT_EQ(button("BitBtn3")->isEnabled(), false);
    EXPECT_EQ(widgetByName<QProgressBar>(&panel, "ProgressBar1")->value(), 0);

    panel.extractLastReport(); // e.g. after a trade was deleted
    EXPECT_EQ(panel.previewModel()->gridRowCount(), 5);
    copyUnreconciled();
    EXPECT_EQ(storedTrades(), 3); // all updated
    EXPECT_EQ(prompts.messages.size(), 0u);
}

TEST_F(ImportPanelTest, CopyingWithoutAnAccountStoresNothing)
{
    SignalCount copied(&panel, Copies::WithTrades);
    SignalCount finished(&panel, Copies::Finished);
    open(statement(trades(2)));
    journal->activeAccount.clear();
    button("BitBtn3")->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Выберите счет куда копировать сделки"});
    EXPECT_EQ(storedTrades(), 0);
    EXPECT_EQ(copied.count(), 0);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(panel.previewModel()->gridRowCount(), 2);
}

// A copy into an account that already holds trades changes what the trader
// had: the database is copied to backup/ first (at most once an hour).
TEST_F(ImportPanelTest, ACopyIntoAnAccountWithTradesIsPrecededByABackup)
{
    const QString folder = dir.file(QStringLiteral("backup"));
    open(statement(trades(3)));
    copyUnreconciled();
    EXPECT_EQ(QDir(folder).entryList({"*.db"}, QDir::Files).size(), 0) << "the account was empty";
    for (int i = 0; i < 2; ++i) {
        open(statement(trades(3, 2001)));
        copyUnreconciled();
        if (i == 0) {
            // The copy's change lands within the second of the backup made
            // before it (copies are told apart by the second), whatever the
            // load on the machine: that backup still holds the last change.
            const QList<BackupEntry> made = listBackups(folder);
            ASSERT_EQ(made.size(), 1);
            QFile database(journal->db().path());
            ASSERT_TRUE(database.open(QIODevice::ReadWrite));
            ASSERT_TRUE(database.setFileTime(made.front().time, QFileDevice::FileModificationTime));
        }
    }
    EXPECT_EQ(QDir(folder).entryList({"*.db"}, QDir::Files).size(), 1);
    EXPECT_EQ(storedTrades(), 6);
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messageTexts().join(u'|').toStdString();
}

TEST_F(ImportPanelTest, ADatabaseFailureIsShownAndTheViewsAreStillRebuilt)
{
    SignalCount copied(&panel, Copies::WithTrades);
    journal->db().executeStatement("CREATE TRIGGER refuse BEFORE INSERT ON t_sdelki WHEN NEW.Ticket = '1002' "
                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    open(statement(trades(3)));
    copyUnreconciled();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, "Ошибка");
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Ошибка - Во время добавление данных\n"));
    EXPECT_TRUE(prompts.messages[0].text.contains("refused")) << prompts.messages[0].text.toStdString();
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(storedTrades(), 1);
    EXPECT_EQ(copied.count(), 1);
}

TEST_F(ImportPanelTest, CopyFollowsTheRowOrderTheGridShows)
{
    const QString t = "2024.03.01 10:00:00";
    QByteArray rows = mt4Row({"1001", t, "buy", "0.1", "x", "1", "0", "0", t, "1", "0", "0", "0", "1.00"})
        + mt4Row({"1001", t, "buy", "0.1", "x", "1", "0", "0", t, "1", "0", "0", "0", "2.00"});
    open(statement(mt4Statement(rows)));
    widgetByName<QTableView>(&panel, "StringGrid_Main")->verticalHeader()->moveSection(1, 0);
    copyUnreconciled();
    EXPECT_EQ(journal->db().openResultTable("SELECT Profit FROM t_sdelki")->fieldTextAt(0), "1,00");
}

// Sorted by a click on "Profit", the copy goes in the sorted order (the
// later of two rows of one ticket is the one that stays), the empty row
// stays last.
TEST_F(ImportPanelTest, CopyFollowsTheOrderOfAHeaderSort)
{
    const QString t = "2024.03.01 10:00:00";
    const QByteArray rows = mt4Row({"1001", t, "buy", "0.1", "x", "1", "0", "0", t, "1", "0", "0", "0", "10.00"})
        + mt4Row({"1001", t, "buy", "0.1", "x", "1", "0", "0", t, "1", "0", "0", "0", "9.50"});
    // Each statement opened takes the grid's sort; each click turns it round.
    const std::pair<const char*, const char*> cases[] = {{"9,50", "10,00"}, {"10,00", "9,50"}};
    for (const auto& [top, kept] : cases) {
        open(statement(mt4Statement(rows)));
        clickHeader(widgetByName<QTableView>(&panel, "StringGrid_Main"), StatementRow::Profit);
        const PreviewModel* preview = panel.previewModel();
        EXPECT_EQ(preview->cell(1, StatementRow::Profit).replace(u'.', u','), top);
        EXPECT_EQ(preview->cell(3, StatementRow::Profit), "") << "the empty row stays last";
        copyUnreconciled();
        EXPECT_EQ(journal->db().openResultTable("SELECT Profit FROM t_sdelki")->fieldTextAt(0), kept) << top;
        journal->db().executeStatement("DELETE FROM t_sdelki");
    }
}

} // namespace

namespace {

const QString kExample = QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm");

class StatementMoneyTest : public ImportPanelTest {
protected:
    void SetUp() override
    {
        AccountRecord account;
        account.name = QStringLiteral("Демо");
        account.capital = QStringLiteral("0");
        journal->activeAccount = AccountStore(journal->db(), dir.file("img")).addAccount(account);
        panel.setImportAllowed(true);
    }
    AccountRecord account() { return *AccountStore(journal->db(), dir.file("img")).findAccount(journal->activeAccount); }
    QByteArray example() { return readBytes(kExample); }
};

// A statement that adds up to its own totals is copied without a question,
// with its deposits and withdrawals, and gives the account its currency.
TEST_F(StatementMoneyTest, AReconciledStatementBringsItsCashAndCurrency)
{
    SignalCount details(&panel, &ImportPanel::accountDetailsChanged);
    open(kExample);
    EXPECT_EQ(label("Label_Sverka")->text(), "Сверка с отчетом: сходится до цента (закрытые сделки 87076,76, "
                                             "пополнения 15000,00, начальный баланс 0,00)");
    button("BitBtn3")->click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(label("Label_Result")->text(), "Добавлено сделок: 200, обновлено: 0, пополнений и снятий: 3, валюта счета: USD");
    EXPECT_EQ(account().currency, "USD");
    EXPECT_EQ(details.count(), 1);
    EXPECT_EQ(CashStore(journal->db()).balanceBefore(journal->activeAccount), 15000);

    // The same statement again: nothing counts twice.
    open(kExample);
    button("BitBtn3")->click();
    EXPECT_EQ(label("Label_Result")->text(), "Добавлено сделок: 0, обновлено: 200");
    EXPECT_EQ(CashStore(journal->db()).list(journal->activeAccount).size(), 3u);
}

// A statement cut short (a download that stopped) has lost its totals: the
// preview says so and the copy asks; No copies nothing and keeps the preview.
TEST_F(StatementMoneyTest, AStatementCutShortIsCopiedOnlyWhenTheTraderSaysSo)
{
    const QByteArray whole = example();
    open(statement(whole.left(whole.size() / 2), "cut.htm"));
    EXPECT_EQ(label("Label_Sverka")->text(), "Сверка с отчетом: итогов в отчете нет (файл может быть обрезан), сверить нельзя");
    prompts.answerConfirm(false);
    button("BitBtn3")->click();
    ASSERT_EQ(prompts.confirmations().size(), 1);
    EXPECT_TRUE(prompts.confirmations()[0].startsWith("Отчет не сверяется со своими итогами: итогов в отчете нет"));
    EXPECT_EQ(storedTrades(), 0);
    EXPECT_GT(panel.previewModel()->gridRowCount(), 2);
    EXPECT_TRUE(button("BitBtn3")->isEnabled());

    copyUnreconciled();
    EXPECT_GT(storedTrades(), 0);
}

// A statement of a later period holds no deposit; what the account had
// before it is the balance less its trades, offered as the capital of an
// account still at 0.
TEST_F(StatementMoneyTest, AStatementWithoutDepositsOffersItsOpeningBalanceAsTheCapital)
{
    QByteArray text = example();
    QByteArray kept;
    for (const QByteArray& line : text.split('\n'))
        if (!line.contains("<td>balance</td>"))
            kept += line + '\n';
    kept.chop(1);
    kept.replace("<b>15 000.00</b>", "<b>0.00</b>"); // Deposit/Withdrawal
    SignalCount details(&panel, &ImportPanel::accountDetailsChanged);
    open(statement(kept, "later.htm"));
    EXPECT_EQ(label("Label_Sverka")->text(), "Сверка с отчетом: сходится до цента (закрытые сделки 87076,76, "
                                             "пополнения 0,00, начальный баланс 15000,00)");
    prompts.answerConfirm(true);
    button("BitBtn3")->click();
    ASSERT_EQ(prompts.confirmations().size(), 1);
    EXPECT_EQ(prompts.confirmations()[0], "В отчете нет пополнений счета, а начальный баланс по его итогам 15000$. "
                                        "Записать его в капитал счета?");
    EXPECT_EQ(account().capital, "15000");
    EXPECT_EQ(details.count(), 1);
}

// A trade with a cell that does not read is marked in the preview, named
// under it, and left out of the copy; the other trades are stored.
TEST_F(StatementMoneyTest, ATradeThatDoesNotReadIsNamedAndLeftOut)
{
    QByteArray text = example();
    text.replace("<td class=mspt>-0.70</td><td class=mspt>-0.88</td>", "<td class=mspt>-0.70</td><td class=mspt>12abc</td>");
    open(statement(text, "bad.htm"));
    EXPECT_TRUE(label("Label_Sverka")->text().endsWith(
        "Сделок с ошибками: 1, они не будут скопированы. Сделка 40000002: Profit «12abc» не является числом"))
        << label("Label_Sverka")->text().toStdString();
    const QModelIndex bad = panel.previewModel()->index(0, 0), good = panel.previewModel()->index(1, 0);
    EXPECT_EQ(bad.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 182, 193));
    EXPECT_FALSE(good.data(Qt::BackgroundRole).isValid());
    prompts.answerConfirm(true);
    button("BitBtn3")->click();
    ASSERT_EQ(prompts.confirmations().size(), 1);
    EXPECT_TRUE(prompts.confirmations()[0].endsWith("Копировать остальные сделки?"));
    EXPECT_EQ(storedTrades(), 199);
    EXPECT_EQ(journal->db().openResultTable("SELECT id FROM t_sdelki WHERE Ticket='40000002'")->rowCount(), 0);
}

// A statement already copied into another account: the copy says from
// where its trades would move and asks; No leaves them where they are.
TEST_F(StatementMoneyTest, TradesOfAnotherAccountMoveOnlyWhenTheTraderSaysSo)
{
    const QString first = journal->activeAccount;
    open(kExample);
    button("BitBtn3")->click();
    AccountRecord second;
    second.name = QStringLiteral("Второй");
    journal->activeAccount = AccountStore(journal->db(), dir.file("img")).addAccount(second);
    const auto countIn = [&](const QString& account) {
        return journal->db().openResultTable("SELECT id FROM t_sdelki WHERE chet=?", {account})->rowCount();
    };
    open(kExample);
    prompts.answerConfirm(false);
    button("BitBtn3")->click();
    ASSERT_EQ(prompts.confirmations().size(), 1);
    EXPECT_EQ(prompts.confirmations()[0],
              "Сделки отчета уже есть на другом счете: из счета «Демо»: 200. Перенести их на счет «Второй»?");
    EXPECT_EQ(countIn(first), 200);

    prompts.answerConfirm(true);
    button("BitBtn3")->click();
    EXPECT_EQ(countIn(first), 0);
    EXPECT_EQ(countIn(journal->activeAccount), 200);
    EXPECT_TRUE(label("Label_Result")->text().startsWith(
        "Добавлено сделок: 0, обновлено: 200, перенесено из счета «Демо»: 200"))
        << label("Label_Result")->text().toStdString();
}

} // namespace

// A table of trades: the columns guessed and shown in the mapper, corrected
// there, the rows that do not read named and left out, the mapping
// remembered for the next file of the same header, a second copy updating.
TEST_F(ImportPanelTest, ACsvFileIsMappedPreviewedAndCopied)
{
    const QString file = dir.file(QStringLiteral("trades.csv"));
    writeBytes(file, "Deal;When;Side;Lots;Pair;Price;Result\r\n"
                     "1;2024.03.01 10:15;buy;0,10;EURUSD;1,085;12,5\r\n"
                     "2;2024.03.01 11:00;sell;1;GBPUSD;1,27;oops\r\n"
                     "3;2024.03.01 12:00;short;0,5;USDJPY;150,1;-4,25\r\n");
    open(file);
    auto* mapper = widgetByName<CsvMapperDialog>(&panel, "TFm_Csv");
    ASSERT_TRUE(mapper->isVisible());
    auto* apply = widgetByName<QPushButton>(mapper, "BitBtn_CsvOk");
    auto* check = widgetByName<QLabel>(mapper, "Label_CsvCheck");
    auto* openTime = widgetByName<QComboBox>(mapper, "ComboBox_Csv_opentime");
    EXPECT_EQ(widgetByName<QComboBox>(mapper, "ComboBox_Csv_profit")->currentText(), "7: Result");
    EXPECT_EQ(openTime->currentText(), "(нет)");
    EXPECT_EQ(apply->isEnabled(), false);
    EXPECT_EQ(check->text(), "Выберите столбцы для полей: Время открытия");

    openTime->setCurrentIndex(openTime->findData(1));
    EXPECT_EQ(apply->isEnabled(), true);
    EXPECT_EQ(check->text(), "Строк с ошибками: 1 из 3, они не будут скопированы:\n"
                             "Строка 3, столбец «Result»: «oops» не является числом");
    QTest::keyClick(mapper, Qt::Key_Return); // Enter applies
    EXPECT_FALSE(mapper->isVisible());

    const PreviewModel* grid = panel.previewModel();
    ASSERT_EQ(grid->gridRowCount(), 3 + 2);
    EXPECT_EQ(grid->cell(1, 3), "2024.03.01 10:15");
    EXPECT_EQ(grid->cell(1, 5), "0.10");
    EXPECT_EQ(grid->cell(3, 4), "sell");
    EXPECT_EQ(grid->cell(3, 15), "-4.25");
    EXPECT_TRUE(panel.previewModel()->isProblemRow(1));
    EXPECT_EQ(label("Label_Result")->text(), "Сделок в файле CSV: 3");
    EXPECT_EQ(label("Label_Sverka")->text(),
              "Файл CSV: в нем нет итогов счета, сверка с итогами не выполняется\n"
              "Строк с ошибками: 1, они не будут скопированы. Строка 3, столбец «Result»: «oops» не является числом");
    EXPECT_EQ(button("BitBtn3")->isEnabled(), true);

    prompts.answerConfirm(true);
    button("BitBtn3")->click();
    EXPECT_EQ(prompts.confirmations(),
              QStringList{"Строк с ошибками: 1, они не будут скопированы. Строка 3, столбец «Result»: «oops» не "
                          "является числом\nКопировать остальные сделки?"});
    EXPECT_EQ(storedTrades(), 2);
    EXPECT_EQ(label("Label_Result")->text(), "Добавлено сделок: 2, обновлено: 0");

    // The same header again: the mapping applied before. Esc leaves all as it was.
    open(file);
    ASSERT_TRUE(mapper->isVisible());
    EXPECT_EQ(openTime->currentText(), "2: When");
    QTest::keyClick(mapper, Qt::Key_Escape);
    EXPECT_FALSE(mapper->isVisible());
    EXPECT_EQ(grid->gridRowCount(), 2);
    EXPECT_EQ(button("BitBtn3")->isEnabled(), false);

    open(file);
    apply->click();
    prompts.answerConfirm(true);
    button("BitBtn3")->click();
    EXPECT_EQ(storedTrades(), 2);
    EXPECT_EQ(label("Label_Result")->text(), "Добавлено сделок: 0, обновлено: 2");
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messageTexts().join(u'|').toStdString();
}

// A file that holds no table is refused with a message and loads nothing.
TEST_F(ImportPanelTest, ACsvFileWithoutATableIsRefused)
{
    const QString file = dir.file(QStringLiteral("notes.csv"));
    writeBytes(file, "just a line of text\n");
    open(file);
    EXPECT_FALSE(widgetByName<CsvMapperDialog>(&panel, "TFm_Csv")->isVisible());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "В файле «notes.csv» нет таблицы сделок: нужна строка заголовков и под ней "
                                        "строки сделок, ячейки через запятую, точку с запятой или табуляцию.");
    EXPECT_EQ(button("BitBtn3")->isEnabled(), false);
}
