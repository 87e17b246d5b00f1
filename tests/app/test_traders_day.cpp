// A trader's day with the real main window (shown and laid out, offscreen),
// driven through its widgets: an account made with the dialog's defaults, a
// real statement opened and copied, every page visited, a trade annotated,
// a day's note written, a notebook document written, then the window closed on each page in turn and started again.
#include "accounts/ui/account_dialog.h"
#include "accounts/ui/accounts_page.h"
#include "context/core/journal.h"
#include "shell/main_window.h"
#include "db/core/account_parts.h"
#include "db/core/sqlite_database.h"
#include "import/core/preview_model.h"
#include "import/ui/import_panel.h"
#include "journal/ui/trade_dialog.h"
#include "pictures/ui/picture_surface.h"
#include "pictures/ui/trade_pictures_panel.h"
#include "notebook/core/text_shape.h"
#include "notebook/ui/chart_pane.h"
#include "notebook/ui/notebook_editor.h"
#include "pictures/ui/color_box.h"
#include "notebook/ui/notebook_page.h"
#include "stats/ui/analysis_page.h"
#include "stats/core/category_report_model.h"
#include "stats/ui/days_page.h"
#include "stats/ui/month_chart_view.h"
#include "stats/ui/reports_page.h"
#include "stats/ui/trade_table_page.h"

#include "mouse_input.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QAction>
#include <QBarSet>
#include <QCheckBox>
#include <QClipboard>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QToolButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineSeries>
#include <QLineEdit>
#include <QTableWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QKeyEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kStatement = QStringLiteral(TJ_FIXTURES_DIR "/statements/mt4_reuniware_DetailedStatement.htm");
constexpr int kStatementTrades = 130;

// The window answers: a queued call runs at the next turn of the event loop.
void expectAnswers(TForm1& window, const char* where)
{
    bool ran = false;
    QTimer::singleShot(0, &window, [&] { ran = true; });
    QApplication::processEvents();
    EXPECT_TRUE(ran) << where;
    EXPECT_TRUE(window.isVisible()) << where;
}

void clickRow(QTableView* view, int row, bool twice = false)
{
    const QRect cell = view->visualRect(view->model()->index(row, 1));
    ASSERT_TRUE(cell.isValid());
    // A double-click is a click and then the second press, as from a mouse.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

// A stroke with the left button across a picture surface.
void stroke(QWidget* surface, QPoint from, QPoint to)
{
    drag(surface, Qt::LeftButton, from, to);
}

// Typing as from the keyboard: one key event per character.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

// One start of the program over the folder: the window shown at a desktop's
// size, as main() shows it.
struct Session {
    std::unique_ptr<Journal> journal;
    ScriptedPrompts prompts;
    std::unique_ptr<TForm1> window;

    explicit Session(const QString& folder)
    {
        journal = std::make_unique<Journal>(folder);
        journal->openDatabase();
        window = std::make_unique<TForm1>(*journal, prompts);
        window->resize(1600, 900);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        expectAnswers(*window, "after start-up");
    }
    ~Session()
    {
        if (window)
            window->close();
        EXPECT_EQ(prompts.messageTexts(), QStringList());
        EXPECT_TRUE(prompts.allAnswersUsed());
    }
    void visit(int page)
    {
        pageTabs(window.get())->setCurrentIndex(page); // as a click on its tab
        expectAnswers(*window, qPrintable(pageTabs(window.get())->tabText(page)));
        EXPECT_EQ(pageTabs(window.get())->currentIndex(), page);
    }
};

class TradersDay : public testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(kStatement))
            GTEST_SKIP() << "the shared fixtures are not here";
        QProcess layout;
        layout.start(QStringLiteral(TJ_APPDIR_TOOL),
                     {dir.path(), QStringLiteral(TJ_SCHEMA_SQL), QStringLiteral(TJ_SOURCE_DIR "/data/sprav")});
        ASSERT_TRUE(layout.waitForFinished(-1));
        ASSERT_EQ(layout.exitCode(), 0);
    }
    TempAppDir dir{false};
};

TEST_F(TradersDay, AccountStatementPagesAnnotationAndRestarts)
{
    QString pictureName; // the trade's picture, named when it was pasted
    TextShape notebookText;
    {
        Session s(dir.path());
        TForm1& w = *s.window;
        AccountsPage& accounts = *w.accountsPage();
        s.visit(TForm1::PageAccounts);

        // A new account with what the dialog offers, only a name typed.
        widgetByName<QAction>(&accounts, "N_Add")->trigger();
        TFm_Add_Schet& dialog = *accounts.accountDialog();
        ASSERT_TRUE(dialog.isVisible());
        widgetByName<QLineEdit>(&dialog, "Edit_Name")->setText(QStringLiteral("Демо"));
        widgetByName<QPushButton>(&dialog, "BitBtn1")->click();
        EXPECT_FALSE(dialog.isVisible());
        ASSERT_EQ(accounts.accountCount(), 1);
        clickRow(widgetByName<QTableView>(&accounts, "ListView1"), 0);
        for (int page = 0; page < pageTabs(&w)->count(); ++page)
            EXPECT_TRUE(pageTabs(&w)->isTabVisible(page)) << page; // the account pages too

        // Open the statement and copy it into the account.
        ImportPanel& import = *w.importPanel();
        s.prompts.answerFile(kStatement);
        widgetByName<QPushButton>(&import, "BitBtn2")->click();
        EXPECT_EQ(import.previewModel()->rows().size(), std::size_t(kStatementTrades));
        EXPECT_EQ(widgetByName<QLabel>(&import, "Label_Result")->text(),
                  QStringLiteral("Закрытых сделок в отчете: 130"));
        EXPECT_EQ(widgetByName<QLabel>(&import, "Label_Sverka")->text(),
                  QStringLiteral("Сверка с отчетом: сходится до цента (закрытые сделки "
                                 "24,17, пополнения 500,00, начальный баланс 0,00)"));
        widgetByName<QPushButton>(&import, "BitBtn3")->click();
        expectAnswers(w, "after the copy");
        EXPECT_EQ(widgetByName<QLabel>(&import, "Label_Result")->text(),
                  QStringLiteral("Добавлено сделок: 130, обновлено: 0, пополнений и снятий: 1, валюта счета: EUR"));
        // The account made with the dialog's defaults (capital 0) takes the
        // statement's currency, and "База данных" ends on the statement's
        // balance: the deposit and every trade net of commission and swap.
        EXPECT_EQ(widgetByName<QLabel>(&accounts, "Label_Kapital")->text(), QStringLiteral("0 EUR"));
        const auto tradeLabel = [&](const char* name) {
            return widgetByName<QLabel>(w.tradeTablePage(), name)->text();
        };
        EXPECT_EQ(tradeLabel("kom1"), QStringLiteral("c коммисией: 524,17"));
        EXPECT_EQ(tradeLabel("kom3"), QStringLiteral("коммисия: -80,43"));
        EXPECT_EQ(pageTabs(&w)->currentIndex(), TForm1::PageTrades);
        EXPECT_EQ(widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model()->rowCount(), kStatementTrades);
        // The trader lands there and reads what the copy did.
        EXPECT_EQ(tradeLabel("Label_CopyResult"),
                  QStringLiteral("Добавлено сделок: 130, обновлено: 0, пополнений и снятий: 1, валюта счета: EUR"));
        EXPECT_EQ(widgetByName<QLabel>(&accounts, "Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 130"));

        for (int page = 0; page < pageTabs(&w)->count(); ++page)
            s.visit(page);

        // Annotate the first trade of the table: its day in the analysis,
        // then the annotation dialog.
        s.visit(TForm1::PageTrades);
        clickRow(widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All"), 0, true);
        ASSERT_EQ(pageTabs(&w)->currentIndex(), TForm1::PageAnalysis);
        AnalysisPage& analysis = *w.analysisPage();
        ASSERT_GT(widgetByName<QTableView>(&analysis, "StringGrid_Analiz")->model()->rowCount(), 0);
        clickRow(widgetByName<QTableView>(&analysis, "StringGrid_Analiz"), 0, true);
        TForm_Add& annotation = *w.tradeDialog();
        ASSERT_TRUE(annotation.isVisible());
        const QString tradeId = annotation.tradeId();
        widgetByName<QComboBox>(&annotation, "ComboBox_Time")->setCurrentText(QStringLiteral("H1"));
        widgetByName<QComboBox>(&annotation, "ComboBox_Trend")->setCurrentText(QStringLiteral("против тренда"));
        widgetByName<QComboBox>(&annotation, "ComboBox_Exit")->setCurrentText(QStringLiteral("По стоп-лоссу"));
        widgetByName<QLineEdit>(&annotation, "Edit_Nedobral")->setText(QStringLiteral("12"));
        widgetByName<QPlainTextEdit>(&annotation, "Edit_Comment")->setPlainText(QStringLiteral("Вход по тренду"));
        widgetByName<QPushButton>(&annotation, "BitBtn1")->click();
        EXPECT_FALSE(annotation.isVisible());
        expectAnswers(w, "after saving the annotation");
        const auto stored = s.journal->db().openResultTable(
            QStringLiteral("SELECT comment, strategia FROM t_sdelki WHERE id=?"), {tradeId.toLongLong()});
        ASSERT_EQ(stored->rowCount(), 1);
        EXPECT_EQ(stored->fieldTextAt(0), QStringLiteral("Вход по тренду"));
        EXPECT_EQ(stored->fieldTextAt(1), QStringLiteral("H1"));

        // "Отчеты": the statement's trades by category, the annotated one
        // in its timeframe, market type and exit; each inner tab shown.
        s.visit(TForm1::PageReports);
        ReportsPage& reports = *w.reportsPage();
        auto cells = [](const QTableView* grid, int row) {
            QStringList texts;
            for (int col = 0; col < grid->model()->columnCount(); ++col)
                texts << grid->model()->index(row, col).data().toString();
            return texts.join(u'|');
        };
        EXPECT_EQ(cells(widgetByName<QTableView>(&reports, "StringGrid_Valuta"), 0), QStringLiteral("1|usdnok|2|100,00%|2|2,67|0|0,00|2,67"));
        EXPECT_EQ(widgetByName<QTableView>(&reports, "StringGrid_Valuta")->model()->rowCount(), 34); // 33 symbols and the empty row
        EXPECT_EQ(cells(widgetByName<QTableView>(&reports, "StringGrid_BuySell"), 0), QStringLiteral("1|buy|125|76,80%|96|286,31|29|-184,67|101,64"));
        EXPECT_EQ(cells(widgetByName<QTableView>(&reports, "StringGrid_BuySell"), 1), QStringLiteral("2|sell|5|80,00%|4|12,58|1|-6,36|6,22"));
        ASSERT_EQ(widgetByName<QTableView>(&reports, "StringGrid_St")->model()->rowCount(), 2);
        EXPECT_EQ(widgetByName<QTableView>(&reports, "StringGrid_St")->model()->index(0, 1).data().toString(), QStringLiteral("H1"));
        EXPECT_EQ(widgetByName<QTableView>(&reports, "StringGrid_Trend")->model()->index(0, 0).data().toString(), QStringLiteral("2"));
        EXPECT_EQ(widgetByName<QTableView>(&reports, "StringGrid_Erorr2")->model()->index(0, 8).data().toString(), QStringLiteral("12"));
        EXPECT_EQ(widgetByName<QTableView>(&reports, "StringGrid_Metrics")->model()->index(0, 1).data().toString(), QStringLiteral("130"));
        EXPECT_EQ(widgetByName<QTableView>(&reports, "StringGrid_Metrics")->model()->index(2, 1).data().toString(), QStringLiteral("24,17"));
        EXPECT_EQ(widgetByName<MonthChartView>(&reports, "Chart_Months")->gains()->count(), 1);
        QTabWidget* reportTabs = widgetByName<QTabWidget>(&reports, "PageControl2");
        for (int tab = 0; tab < reportTabs->count(); ++tab) {
            reportTabs->setCurrentIndex(tab);
            expectAnswers(w, qPrintable(reportTabs->tabText(tab)));
        }
        EXPECT_EQ(reportTabs->count(), 6);
        // The tabs beside the metrics over the statement: every trade by
        // weekday; a what-if without Mondays beside every trade; a day of the
        // calendar opens "Анализ" on that day.
        reportTabs->setCurrentIndex(5);
        const QAbstractItemModel* byWeekday = widgetByName<QTableView>(&reports, "StringGrid_Weekdays")->model();
        int weekdayTrades = 0;
        for (int row = 0; row < byWeekday->rowCount(); ++row)
            weekdayTrades += byWeekday->index(row, 1).data().toInt();
        EXPECT_EQ(weekdayTrades, kStatementTrades);
        reportTabs->setCurrentIndex(3);
        TradeFilter noMondays;
        noMondays.weekdays = TradeFilter::kAllWeekdays & ~1u;
        reports.setFilter(noMondays);
        const QAbstractItemModel* metrics = widgetByName<QTableView>(&reports, "StringGrid_Metrics")->model();
        ASSERT_EQ(metrics->columnCount(), 5);
        EXPECT_EQ(metrics->index(0, 1).data().toString(), QString::number(kStatementTrades));
        EXPECT_EQ(metrics->index(0, 2).data().toString(), QString::number(kStatementTrades - 23)); // 23 on Mondays
        reports.setFilter(TradeFilter());
        expectAnswers(w, "after the what-if");
        reportTabs->setCurrentIndex(4);
        auto* calendar = widgetByName<QTableWidget>(&reports, "Grid_Calendar");
        QTableWidgetItem* tradingDay = nullptr;
        for (int row = 0; row < calendar->rowCount() && !tradingDay; ++row) {
            for (int col = 0; col < 7 && !tradingDay; ++col) {
                QTableWidgetItem* item = calendar->item(row, col);
                if (item && item->text().contains(QStringLiteral("сделок: ")))
                    tradingDay = item;
            }
        }
        ASSERT_NE(tradingDay, nullptr);
        const int dayTrades = tradingDay->text().section(QStringLiteral("сделок: "), 1).toInt();
        QTest::mouseClick(calendar->viewport(), Qt::LeftButton, {}, calendar->visualItemRect(tradingDay).center());
        ASSERT_EQ(pageTabs(&w)->currentIndex(), TForm1::PageAnalysis);
        EXPECT_EQ(widgetByName<QTableView>(&analysis, "StringGrid_Analiz")->model()->rowCount(), dayTrades);
        expectAnswers(w, "after a calendar day");
        s.visit(TForm1::PageReports);
        reports.selectFirstTab();
        // A screenshot pasted as the trade's picture in one step (the trade
        // had none: the picture is added, named by the time) and drawn on;
        // the trade's "Рис" shows it; another trade and back: the strokes
        // are there. The last stroke is written when the window closes.
        const QDate allFrom(2000, 1, 1), allTo(2030, 1, 1);
        analysis.showRange(allFrom, allTo);
        QTableView* analysisGrid = widgetByName<QTableView>(&analysis, "StringGrid_Analiz");
        clickRow(analysisGrid, 0);
        PictureSurface* picture = widgetByName<PictureSurface>(&analysis, "ImPict");
        QToolButton* draw = widgetByName<QToolButton>(&analysis, "ToolButton17");
        QImage shot(800, 500, QImage::Format_RGB32);
        shot.fill(Qt::green);
        QGuiApplication::clipboard()->setImage(shot);
        widgetByName<QToolButton>(&analysis, "ToolButton13")->click();
        ASSERT_EQ(picture->picture().size(), QSize(800, 500));
        const QTreeWidget* pictures = widgetByName<QTreeWidget>(&analysis, "TreeView3");
        ASSERT_EQ(pictures->topLevelItemCount(), 1);
        pictureName = pictures->topLevelItem(0)->text(0);
        EXPECT_TRUE(pictureName.startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))
                    || pictureName.startsWith(QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd"))))
            << pictureName.toStdString();
        EXPECT_EQ(analysisGrid->model()->index(0, 15).data().toString(), QStringLiteral("+"));
        draw->click();
        stroke(picture, {50, 100}, {300, 100});
        clickRow(widgetByName<QTableView>(&analysis, "StringGrid_Analiz"), 1);
        EXPECT_FALSE(picture->hasPicture());
        clickRow(widgetByName<QTableView>(&analysis, "StringGrid_Analiz"), 0);
        EXPECT_EQ(picture->picture().pixel(100, 100), qRgb(0, 0, 0));
        stroke(picture, {50, 200}, {300, 200});
        draw->click();

        // "По дням" over the whole statement: the listed days and weeks hold
        // its trades; a note on a day shows in the table; a double-click
        // opens that day's analysis.
        s.visit(TForm1::PageDays);
        DaysPage& days = *w.daysPage();
        QTableView* dayGrid = widgetByName<QTableView>(&days, "StringGrid_Day");
        widgetByName<QDateTimeEdit>(&days, "DateTimePicker3")->setDate(QDate(2000, 1, 1));
        widgetByName<QPushButton>(&days, "Button_Day")->click();
        const QAbstractItemModel& dayTable = *dayGrid->model();
        for (const QAbstractItemModel* table : {dayGrid->model(), widgetByName<QTableView>(&days, "StringGrid_Ned")->model()}) {
            int trades = 0;
            for (int row = 0; row + 1 < table->rowCount(); ++row) // the last row is always empty
                trades += table->index(row, 3).data().toInt();
            EXPECT_EQ(trades, kStatementTrades);
        }
        const int dayRow = (dayTable.rowCount() + 1) / 2 - 1; // the top row after a build
        clickRow(dayGrid, dayRow);
        widgetByName<QPlainTextEdit>(&days, "Memo_Day")->setPlainText(QStringLiteral("Торговал по плану"));
        widgetByName<QPushButton>(&days, "But_Save")->click();
        EXPECT_EQ(dayTable.index(dayRow, 17).data().toString(), QStringLiteral("Торговал по плану"));
        const QDate day = QDate::fromString(dayTable.index(dayRow, 19).data().toString(), QStringLiteral("dd.MM.yyyy"));
        ASSERT_TRUE(day.isValid());
        clickRow(dayGrid, dayRow, true);
        ASSERT_EQ(pageTabs(&w)->currentIndex(), TForm1::PageAnalysis);
        EXPECT_EQ(widgetByName<QDateTimeEdit>(&analysis, "DateTimePicker1")->date(), day);
        EXPECT_EQ(widgetByName<QDateTimeEdit>(&analysis, "DateTimePicker2")->date(), day.addDays(1));
        EXPECT_EQ(widgetByName<QTableView>(&analysis, "StringGrid_Analiz")->model()->rowCount(), dayTable.index(dayRow, 3).data().toInt());

        // A second account with the defaults (capital 0) and the example
        // statement shipped with the program, whose balance swings over tens
        // of thousands: the account's curve and the balance chart take the
        // new range at once.
        s.visit(TForm1::PageAccounts);
        widgetByName<QAction>(&accounts, "N_Add")->trigger();
        widgetByName<QLineEdit>(&dialog, "Edit_Name")->setText(QStringLiteral("Пример"));
        widgetByName<QPushButton>(&dialog, "BitBtn1")->click();
        ASSERT_EQ(accounts.accountCount(), 2);
        s.prompts.answerFile(QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm"));
        widgetByName<QPushButton>(&import, "BitBtn2")->click();
        widgetByName<QPushButton>(&import, "BitBtn3")->click();
        expectAnswers(w, "after the second copy");
        EXPECT_EQ(widgetByName<QLabel>(&import, "Label_Result")->text(),
                  QStringLiteral("Добавлено сделок: 200, обновлено: 0, пополнений и снятий: 3, валюта счета: USD"));
        EXPECT_EQ(tradeLabel("kom1"), QStringLiteral("c коммисией: 102076,76"));
        EXPECT_EQ(widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model()->rowCount(), 200);

        s.visit(TForm1::PageAccounts);
        clickRow(widgetByName<QTableView>(&accounts, "ListView1"), 0);

        // The notebook: a folder, a document in it, centred bold Cyrillic
        // text typed as from the keyboard.
        s.visit(TForm1::PageNotebook);
        NotebookPage& notebook = *w.notebookPage();
        QTreeWidget* notebookTree = widgetByName<QTreeWidget>(&notebook, "TreeView1");
        notebookTree->setCurrentItem(notebookTree->topLevelItem(0));
        s.prompts.answerText(QStringLiteral("Стратегии"));
        notebook.Add_StratClick();
        s.prompts.answerText(QStringLiteral("Пробой уровня"));
        notebook.Add_TactikClick();
        EXPECT_EQ(widgetByName<QLabel>(&notebook, "Label_name")->text(), QStringLiteral("Пробой уровня"));
        NotebookEditor& editor = *notebook.editor();
        QTextEdit* editorText = widgetByName<QTextEdit>(&editor, "Editor");
        QToolButton* bold = widgetByName<QToolButton>(&editor, "BoldButton");
        editorText->setFocus();
        widgetByName<QToolButton>(&editor, "CenterAlign")->click();
        bold->click();
        typeText(editorText, QStringLiteral("Вход после ретеста"));
        bold->click();
        typeText(editorText, QStringLiteral(" уровня"));
        notebookText = describeText(*editorText->document());
        ASSERT_EQ(notebookText.size(), 1u);
        ASSERT_EQ(notebookText[0].runs.size(), 2u);
        EXPECT_TRUE(notebookText[0].runs[0].format.bold);
        EXPECT_EQ(notebookText[0].alignment, ParagraphAlignment::Center);

        // A chart pasted into the document and drawn on; the stroke is
        // written when the window closes. A pen colour chosen for it also
        // runs the editor's colour command.
        ChartPane& charts = *notebook.chartPane();
        QToolButton* chartDraw = widgetByName<QToolButton>(&charts, "ToolButton5");
        s.prompts.answerText(QStringLiteral("H4"));
        widgetByName<QAction>(&charts, "MenuItem2")->trigger();
        QImage chart(600, 400, QImage::Format_RGB32);
        chart.fill(Qt::green);
        QGuiApplication::clipboard()->setImage(chart);
        widgetByName<QToolButton>(&charts, "ToolButton9")->click();
        ASSERT_EQ(charts.picture().size(), QSize(600, 400));
        chartDraw->click();
        EXPECT_TRUE(widgetByName<QToolButton>(w.analysisPage(), "ToolButton17")->isChecked());
        stroke(widgetByName<PictureSurface>(&charts, "ImgPic2"), {50, 100}, {300, 100});
        chartDraw->click();
        QComboBox* textColours = widgetByName<QComboBox>(&editor, "ColorBox3");
        textColours->setCurrentIndex(textColours->findText(QStringLiteral("Красный")));
        ColorBox* penColours = widgetByName<ColorBox>(&charts, "ColorBox2");
        emit penColours->activated(penColours->findText(QStringLiteral("Синий")));
        EXPECT_EQ(editorText->currentCharFormat().foreground().color(), QColor(Qt::red));
    }

    // The picture with both strokes after a restart.
    {
        Session s(dir.path());
        TForm1& w = *s.window;
        s.visit(TForm1::PageAccounts);
        clickRow(widgetByName<QTableView>(w.accountsPage(), "ListView1"), 0);
        s.visit(TForm1::PageAnalysis);
        AnalysisPage& analysis = *w.analysisPage();
        analysis.showRange(QDate(2000, 1, 1), QDate(2030, 1, 1));
        clickRow(widgetByName<QTableView>(&analysis, "StringGrid_Analiz"), 0);
        const QTreeWidget* list = widgetByName<QTreeWidget>(&analysis, "TreeView3");
        PictureSurface* picture = widgetByName<PictureSurface>(&analysis, "ImPict");
        QToolButton* draw = widgetByName<QToolButton>(&analysis, "ToolButton17");
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(0), pictureName);
        ASSERT_EQ(picture->picture().size(), QSize(800, 500));
        EXPECT_EQ(picture->picture().pixel(100, 100), qRgb(0, 0, 0));
        EXPECT_EQ(picture->picture().pixel(100, 200), qRgb(0, 0, 0));
        EXPECT_EQ(picture->picture().pixel(100, 300), qRgb(0, 255, 0));
        // A stroke left on the picture when the window closes.
        draw->click();
        stroke(picture, {50, 300}, {300, 300});
        draw->click();
    }
    {
        Session s(dir.path());
        TForm1& w = *s.window;
        s.visit(TForm1::PageAccounts);
        clickRow(widgetByName<QTableView>(w.accountsPage(), "ListView1"), 0);
        s.visit(TForm1::PageAnalysis);
        AnalysisPage& analysis = *w.analysisPage();
        analysis.showRange(QDate(2000, 1, 1), QDate(2030, 1, 1));
        clickRow(widgetByName<QTableView>(&analysis, "StringGrid_Analiz"), 0);
        EXPECT_EQ(widgetByName<PictureSurface>(&analysis, "ImPict")->picture().pixel(100, 300), qRgb(0, 0, 0));
    }

    // Close on every page in turn; each start finds the journal as it was.
    for (int page = 0; page < 7; ++page) {
        Session s(dir.path());
        TForm1& w = *s.window;
        EXPECT_EQ(widgetByName<QLabel>(w.accountsPage(), "Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 130"))
            << page;
        s.visit(TForm1::PageAccounts);
        clickRow(widgetByName<QTableView>(w.accountsPage(), "ListView1"), 0);
        s.visit(TForm1::PageTrades); // the table is built when its page is shown
        EXPECT_EQ(widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model()->rowCount(), kStatementTrades) << page;
        if (page == 0) {
            // The notebook as it was left, text typed just before closing included.
            NotebookPage& notebook = *w.notebookPage();
            s.visit(TForm1::PageNotebook);
            QTreeWidget* notebookTree = widgetByName<QTreeWidget>(&notebook, "TreeView1");
            QTreeWidgetItem* folder = notebookTree->topLevelItem(0)->child(0);
            ASSERT_NE(folder, nullptr);
            EXPECT_EQ(folder->text(0), QStringLiteral("Стратегии"));
            ASSERT_EQ(folder->childCount(), 1);
            notebookTree->setCurrentItem(folder->child(0));
            notebook.TreeView1Click();
            EXPECT_EQ(describeText(*widgetByName<QTextEdit>(&notebook, "Editor")->document()), notebookText);
            EXPECT_EQ(notebook.chartPane()->picture().pixel(100, 100), qRgb(0, 0, 0));
        }
        s.visit(page);
    }

    // A history long enough to be read on a thread of its own, and in parts
    // at once (the bounds lowered to this statement): the account manager
    // shows the count at once and the curve when it is read, the page says
    // it is loading, the window answers, and the curve, the table, the
    // balance and the days are the same.
    {
        struct PartsFrom {
            qint64 usual = account_parts::from();
            ~PartsFrom() { account_parts::setFrom(usual); }
        } restore;
        account_parts::setFrom(2);
        Session s(dir.path());
        TForm1& w = *s.window;
        w.setReadAheadTrades(kStatementTrades);
        w.accountsPage()->setCurveThreadFrom(kStatementTrades);
        s.visit(TForm1::PageAccounts);
        clickRow(widgetByName<QTableView>(w.accountsPage(), "ListView1"), 0);
        EXPECT_EQ(widgetByName<QLabel>(w.accountsPage(), "Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 130"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.accountsPage()->curveReading(); }, 20000));
        const QList<QPointF> curve = w.accountsPage()->balanceSeries()->points();
        ASSERT_FALSE(curve.isEmpty());
        EXPECT_NEAR(curve.back().y(), 524.17, 1e-6);
        s.visit(TForm1::PageTrades);
        QAbstractItemModel* grid = widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model();
        ASSERT_TRUE(QTest::qWaitFor([&] { return grid->rowCount() == kStatementTrades; }, 20000));
        EXPECT_FALSE(widgetByName<QLabel>(&w, "Label_Loading")->isVisible());
        EXPECT_EQ(widgetByName<QLabel>(w.tradeTablePage(), "kom1")->text(), QStringLiteral("c коммисией: 524,17"));
        // Every column as wide as its widest text, header included, plus
        // the grid's 19 pixels (the widths come from the kinds of text the
        // parts read).
        const QTableView* view = widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All");
        const QFontMetrics metrics(view->font());
        for (int col = 0; col < grid->columnCount(); ++col) {
            int widest = metrics.horizontalAdvance(grid->headerData(col, Qt::Horizontal).toString());
            for (int row = 0; row < grid->rowCount(); ++row)
                widest = std::max(widest, metrics.horizontalAdvance(grid->index(row, col).data().toString()));
            EXPECT_EQ(view->columnWidth(col), widest + 19) << col;
        }
        s.visit(TForm1::PageDays); // from the same reading, at once
        EXPECT_FALSE(widgetByName<QLabel>(&w, "Label_Loading")->isVisible());
        s.visit(TForm1::PageTrades);
    }
}

// A day with a broker that gives a CSV table: the table mapped (every
// column guessed from its header) and copied, a trade of another platform
// entered by hand, and both in the account's money: "База данных" with
// dates on its chart, the metrics, the calendar.
TEST_F(TradersDay, ACsvTableAndATradeEnteredByHand)
{
    const QString csv = dir.file(QStringLiteral("trades.csv"));
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Ticket;Open Time;Type;Volume;Symbol;Price;S/L;T/P;Close Time;Close Price;Commission;Taxes;Swap;Profit\r\n"
                "9001;2024.03.04 10:15:00;buy;0,10;EURUSD;1,08500;1,08000;0;2024.03.04 12:00:00;1,08625;-0,70;0;-0,10;12,50\r\n"
                "9002;2024.03.05 09:00:00;sell;0,10;GBPUSD;1,27000;1,27500;0;2024.03.05 11:30:00;1,27425;-0,70;0;0;-4,25\r\n");
    }
    Session s(dir.path());
    TForm1& w = *s.window;
    AccountsPage& accounts = *w.accountsPage();
    s.visit(TForm1::PageAccounts);
    widgetByName<QAction>(&accounts, "N_Add")->trigger();
    widgetByName<QLineEdit>(accounts.accountDialog(), "Edit_Name")->setText(QStringLiteral("cTrader"));
    widgetByName<QPushButton>(accounts.accountDialog(), "BitBtn1")->click();
    clickRow(widgetByName<QTableView>(&accounts, "ListView1"), 0);

    ImportPanel& import = *w.importPanel();
    s.prompts.answerFile(csv);
    widgetByName<QPushButton>(&import, "BitBtn2")->click();
    QWidget* mapper = widgetByName<QWidget>(&import, "TFm_Csv");
    ASSERT_TRUE(mapper->isVisible());
    QTest::keyClick(mapper, Qt::Key_Return);
    EXPECT_FALSE(mapper->isVisible());
    EXPECT_EQ(import.previewModel()->rows().size(), std::size_t(2));
    widgetByName<QPushButton>(&import, "BitBtn3")->click();
    expectAnswers(w, "after the CSV copy");
    const auto balance = [&] { return widgetByName<QLabel>(w.tradeTablePage(), "kom1")->text(); };
    // 12,50 - 0,70 - 0,10 and -4,25 - 0,70.
    EXPECT_EQ(balance(), QStringLiteral("c коммисией: 6,75"));
    widgetByName<QCheckBox>(w.tradeTablePage(), "CheckBox_Dates")->setChecked(true);
    expectAnswers(w, "after dates on the chart");

    // A trade of another platform, typed in with its result.
    s.visit(TForm1::PageAnalysis);
    widgetByName<QPushButton>(w.analysisPage(), "BitBtn19")->click();
    TForm_Add& dialog = *w.tradeDialog();
    ASSERT_TRUE(dialog.isVisible());
    const std::vector<std::pair<const char*, QString>> typed = {
        {"Edit_Symbol", "XAUUSD"}, {"Edit_Size", "0,01"}, {"Edit_OpenTime", "06.03.2024 15:00"},
        {"Edit_Commission", "-1"}, {"Edit_Profit", "10"}};
    for (const auto& [name, text] : typed)
        widgetByName<QLineEdit>(&dialog, name)->setText(text);
    widgetByName<QPushButton>(&dialog, "BitBtn1")->click();
    EXPECT_FALSE(dialog.isVisible());
    expectAnswers(w, "after the hand-entered trade");

    s.visit(TForm1::PageTrades);
    EXPECT_EQ(widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model()->rowCount(), 3);
    EXPECT_EQ(balance(), QStringLiteral("c коммисией: 15,75"));
    s.visit(TForm1::PageReports);
    QTabWidget* reportTabs = widgetByName<QTabWidget>(w.reportsPage(), "PageControl2");
    reportTabs->setCurrentIndex(3);
    const QAbstractItemModel* metrics = widgetByName<QTableView>(w.reportsPage(), "StringGrid_Metrics")->model();
    EXPECT_EQ(metrics->index(0, 1).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(metrics->index(2, 1).data().toString(), QStringLiteral("15,75"));
    reportTabs->setCurrentIndex(4);
    EXPECT_EQ(widgetByName<QLabel>(w.reportsPage(), "Label_CalendarTotal")->text(),
              QStringLiteral("Итого за месяц: 15,75, сделок: 3"));
    expectAnswers(w, "on the calendar");
}

} // namespace
