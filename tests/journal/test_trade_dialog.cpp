#include "context/core/journal.h"
#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"
#include "journal/ui/list_editor.h"
#include "journal/ui/trade_dialog.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class TradeDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        journal->activeAccount = QStringLiteral("3");
        writeBytes(ReferenceLists::filePath(dir.path(), ListId::Timeframe), "H1\r\nM5\r\n");
        writeBytes(ReferenceLists::filePath(dir.path(), ListId::Enter), cp1251::encode(QStringLiteral("Пробой\r\n")));
        journal->lists.loadAll(dir.path());
    }
    QString insertTrade(const QString& id, const QString& chet, const QString& strategia = QString())
    {
        journal->db().executeStatement(
            QStringLiteral("INSERT INTO t_sdelki (id, chet, Ticket, OpenTime, Profit, strategia, Spas) "
                           "VALUES (?, ?, '555', '2013.07.05 10:00', '1,5', ?, 2)"),
            {id, chet, strategia});
        return id;
    }
    std::unique_ptr<TSQLiteTable> row(const QString& id)
    {
        return journal->db().openResultTable(QStringLiteral("SELECT * FROM t_sdelki WHERE id=?"), {id});
    }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm_Add dialog{*journal, prompts};

    // A field or button of the dialog.
    template <class T>
    T* field(const char* name) { return widgetByName<T>(&dialog, name); }
};

TEST_F(TradeDialogTest, EditModeRewritesAllThirteenColumns)
{
    const QString id = insertTrade(QStringLiteral("10"), QStringLiteral("3"));
    journal->db().executeStatement(QStringLiteral("UPDATE t_sdelki SET comment='old', ocenka='Отлично' WHERE id=10"));
    ASSERT_TRUE(dialog.openForEdit(id));
    EXPECT_EQ(field<QLineEdit>("Edit_Ticket")->text(), QStringLiteral("555"));
    EXPECT_EQ(field<QComboBox>("ComboBox_Ocenka")->currentText(), QStringLiteral("Отлично"));
    EXPECT_EQ(field<QPushButton>("BitBtn1")->text(), QStringLiteral("Сохранить сделку"));

    field<QLineEdit>("Edit_Ticket")->setText(QStringLiteral("777"));
    field<QPlainTextEdit>("Edit_Comment")->setPlainText(QString()); // clearing a field empties its column
    field<QComboBox>("ComboBox_Erorr")->setEditText(QStringLiteral("Ранний вход"));
    field<QComboBox>("ComboBox_Exit")->setEditText(QStringLiteral("По стопу"));
    field<QPlainTextEdit>("Memo_Enter")->setPlainText(QStringLiteral("вход \"по\" уровню\nвторая"));
    field<QPlainTextEdit>("Memo_Exit")->setPlainText(QStringLiteral("выход"));
    field<QLineEdit>("Edit_Nedobral")->setText(QStringLiteral("12"));
    field<QComboBox>("ComboBox_Enter")->setEditText(QStringLiteral("пробой")); // differs only in case
    field<QComboBox>("ComboBox_Time")->setEditText(QStringLiteral("H4"));
    field<QComboBox>("ComboBox_Psixo")->setEditText(QStringLiteral("Страх"));
    field<QComboBox>("ComboBox_Ocenka")->setCurrentText(QStringLiteral("Плохо"));
    field<QComboBox>("ComboBox_Trend")->setEditText(QStringLiteral("флэт"));
    QSignalSpy saved(&dialog, &TForm_Add::saved);
    dialog.BitBtn1Click();
    EXPECT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).toBool(), false);
    EXPECT_FALSE(dialog.isVisible());

    auto t = row(id);
    const std::vector<std::pair<const char*, QString>> expected = {
        {"Ticket", "777"},        {"comment", ""},          {"pravilo", "Ранний вход"}, {"pravilo2", "По стопу"},
        {"enter", "вход \"по\" уровню\nвторая"}, {"exit", "выход"}, {"Nedobral", "12"}, {"Spas", "2"},
        {"taktika", "пробой"},    {"strategia", "H4"},      {"Psixo", "Страх"},         {"ocenka", "Плохо"},
        {"verno", "флэт"},        {"Profit", "1,5"},        {"chet", "3"}};
    for (const auto& [column, value] : expected)
        EXPECT_EQ(t->fieldText(QLatin1String(column)), value) << column;

    // New texts join their lists (sorted, written to the files); a text that
    // differs from an entry only in case does not.
    EXPECT_EQ(journal->lists.entries(ListId::Enter), QStringList({"Пробой"}));
    EXPECT_EQ(journal->lists.entries(ListId::Timeframe), QStringList({"H1", "H4", "M5"}));
    EXPECT_EQ(readBytes(ReferenceLists::filePath(dir.path(), ListId::Timeframe)), QByteArray("H1\r\nH4\r\nM5\r\n"));
    EXPECT_EQ(readBytes(ReferenceLists::filePath(dir.path(), ListId::Technique)),
              cp1251::encode(QStringLiteral("Ранний вход\r\n")));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(TradeDialogTest, ARatingIsNeverInvented)
{
    const QString id = insertTrade(QStringLiteral("11"), QStringLiteral("3"));
    ASSERT_TRUE(dialog.openForEdit(id));
    EXPECT_EQ(field<QComboBox>("ComboBox_Ocenka")->currentIndex(), -1);
    dialog.BitBtn1Click();
    EXPECT_EQ(row(id)->fieldText(QStringLiteral("ocenka")), QString());

    // A stored rating the list does not know is shown and kept.
    journal->db().executeStatement(QStringLiteral("UPDATE t_sdelki SET ocenka='Хорошо' WHERE id=11"));
    ASSERT_TRUE(dialog.openForEdit(id));
    EXPECT_EQ(field<QComboBox>("ComboBox_Ocenka")->currentText(), QStringLiteral("Хорошо"));
    dialog.BitBtn1Click();
    EXPECT_EQ(row(id)->fieldText(QStringLiteral("ocenka")), QStringLiteral("Хорошо"));
}

TEST_F(TradeDialogTest, NewTradeStartsEmptyAndIsStoredInTheActiveAccount)
{
    const QString id = insertTrade(QStringLiteral("12"), QStringLiteral("3"));
    journal->db().executeStatement(QStringLiteral("UPDATE t_sdelki SET ocenka='Отлично', Psixo='x', Nedobral=4 WHERE id=12"));
    ASSERT_TRUE(dialog.openForEdit(id));
    dialog.reject();
    dialog.openForNewTrade();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Новая сделка"));
    EXPECT_EQ(field<QPushButton>("BitBtn1")->text(), QStringLiteral("Добавить сделку"));
    EXPECT_EQ(dialog.fields(), TradeAnnotation{});

    field<QLineEdit>("Edit_Ticket")->setText(QStringLiteral("9001"));
    const QDateTime before = QDateTime::currentDateTime();
    QSignalSpy saved(&dialog, &TForm_Add::saved);
    dialog.BitBtn1Click();
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).toBool(), true);
    auto t = journal->db().openResultTable(QStringLiteral("SELECT * FROM t_sdelki WHERE Ticket='9001'"));
    ASSERT_EQ(t->rowCount(), 1);
    EXPECT_EQ(t->fieldText(QStringLiteral("chet")), QStringLiteral("3"));
    EXPECT_EQ(t->fieldText(QStringLiteral("Profit")), QStringLiteral("0,0"));
    EXPECT_EQ(t->fieldText(QStringLiteral("Swap")), QStringLiteral("0,0"));
    EXPECT_EQ(t->fieldText(QStringLiteral("Commission")), QStringLiteral("0"));
    EXPECT_EQ(t->fieldText(QStringLiteral("ocenka")), QString());
    EXPECT_EQ(t->fieldText(QStringLiteral("Profit2")), QStringLiteral("0"));
    const QString openTime = t->fieldText(QStringLiteral("OpenTime"));
    const QStringList allowed = {newTradeOpenTime(before), newTradeOpenTime(QDateTime::currentDateTime())};
    EXPECT_TRUE(allowed.contains(openTime)) << openTime.toStdString();
}

TEST(NewTradeOpenTime, CarriesHoursAndMinutes)
{
    EXPECT_EQ(newTradeOpenTime(QDateTime(QDate(2014, 5, 17), QTime(14, 5, 9))), QStringLiteral("2014.05.17 14:05"));
    EXPECT_EQ(newTradeOpenTime(QDateTime(QDate(2014, 5, 17), QTime(23, 59, 59))), QStringLiteral("2014.05.18 00:00"));
}

TEST_F(TradeDialogTest, FailuresAreReportedAndNothingIsLost)
{
    // The trade is gone: the dialog does not open.
    EXPECT_FALSE(dialog.openForEdit(QStringLiteral("999")));
    EXPECT_FALSE(dialog.isVisible());

    // A save that cannot be written keeps the dialog open with the text.
    const QString id = insertTrade(QStringLiteral("13"), QStringLiteral("3"));
    ASSERT_TRUE(dialog.openForEdit(id));
    field<QPlainTextEdit>("Edit_Comment")->setPlainText(QStringLiteral("важная мысль"));
    journal->setDatabase(std::make_unique<TSQLiteDatabase>());
    QSignalSpy saved(&dialog, &TForm_Add::saved);
    dialog.BitBtn1Click();
    EXPECT_EQ(saved.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(field<QPlainTextEdit>("Edit_Comment")->toPlainText(), QStringLiteral("важная мысль"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
}

TEST_F(TradeDialogTest, DeletingAsksWithTheTradesId)
{
    insertTrade(QStringLiteral("125"), QStringLiteral("3"));
    prompts.answerConfirm(false);
    EXPECT_FALSE(deleteTrade(*journal, prompts, QStringLiteral("125")));
    EXPECT_EQ(row(QStringLiteral("125"))->rowCount(), 1);
    prompts.answerConfirm(true);
    EXPECT_TRUE(deleteTrade(*journal, prompts, QStringLiteral("125")));
    EXPECT_EQ(row(QStringLiteral("125"))->rowCount(), 0);
    ASSERT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(prompts.questions[0].text, QStringLiteral("Удалить выбранную запись №125 ?"));
}

TEST_F(TradeDialogTest, ListEditorRenamesThroughEveryAccount)
{
    insertTrade(QStringLiteral("20"), QStringLiteral("3"), QStringLiteral("H1"));
    insertTrade(QStringLiteral("21"), QStringLiteral("4"), QStringLiteral("H1"));
    insertTrade(QStringLiteral("22"), QStringLiteral("3"), QStringLiteral("H12"));
    journal->db().executeStatement(QStringLiteral("UPDATE t_sdelki SET taktika='H1'"));
    TFm_Sprav* editor = dialog.listEditor();
    QListWidget* list = widgetByName<QListWidget>(editor, "ListBox1");
    editor->openList(QStringLiteral("Таймфрэйм"));
    EXPECT_EQ(editor->entries(), QStringList({"H1", "M5"}));
    list->setCurrentRow(0);
    prompts.answerText(QStringLiteral("H4"));
    editor->N4Click();
    EXPECT_EQ(editor->entries(), QStringList({"H4", "M5"}));
    auto t = journal->db().openResultTable(QStringLiteral("SELECT id, strategia, taktika FROM t_sdelki ORDER BY id"));
    QStringList strategia, taktika;
    for (; !t->atEnd(); t->moveNext()) {
        strategia << t->fieldText(QStringLiteral("strategia"));
        taktika << t->fieldText(QStringLiteral("taktika"));
    }
    EXPECT_EQ(strategia, QStringList({"H4", "H4", "H12"}));
    EXPECT_EQ(taktika, QStringList({"H1", "H1", "H1"}));

    // Cancelling a rename changes nothing; an added empty answer is an entry.
    prompts.answerText(std::nullopt);
    editor->N4Click();
    prompts.answerText(std::nullopt);
    editor->N1Click();
    EXPECT_EQ(editor->entries(), QStringList({"", "H4", "M5"}));
    list->setCurrentRow(1);
    editor->close();
    EXPECT_EQ(readBytes(ReferenceLists::filePath(dir.path(), ListId::Timeframe)), QByteArray("\r\nH4\r\nM5\r\n"));
    // The field gets the list with one empty entry first and shows the pick.
    EXPECT_EQ(field<QComboBox>("ComboBox_Time")->itemText(0), QString());
    EXPECT_EQ(field<QComboBox>("ComboBox_Time")->currentText(), QStringLiteral("H4"));
}

TEST_F(TradeDialogTest, ClosingTheListEditorWithoutAPickKeepsTheField)
{
    dialog.refillListFields();
    field<QComboBox>("ComboBox_Time")->setCurrentText(QStringLiteral("M5"));
    TFm_Sprav* editor = dialog.listEditor();
    QListWidget* list = widgetByName<QListWidget>(editor, "ListBox1");
    editor->openList(QStringLiteral("Таймфрэйм"));
    // Focus gives the list a current entry without the trader choosing it.
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    editor->close();
    EXPECT_EQ(field<QComboBox>("ComboBox_Time")->currentText(), QStringLiteral("M5"));
    EXPECT_EQ(field<QComboBox>("ComboBox_Time")->itemText(0), QString());
}

TEST_F(TradeDialogTest, ListEditorLeavesTheFileWhenEveryEntryIsDeleted)
{
    const QByteArray before = readBytes(ReferenceLists::filePath(dir.path(), ListId::Timeframe));
    TFm_Sprav* editor = dialog.listEditor();
    QListWidget* list = widgetByName<QListWidget>(editor, "ListBox1");
    editor->openList(QStringLiteral("Таймфрэйм"));
    while (list->count() > 0) {
        list->setCurrentRow(0);
        editor->N3Click();
    }
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(readBytes(ReferenceLists::filePath(dir.path(), ListId::Timeframe)), before);

    // A list whose folder is gone is written into a new one.
    QDir(dir.file(QStringLiteral("sprav"))).removeRecursively();
    editor->openList(QStringLiteral("Выход"));
    prompts.answerText(QStringLiteral("По \"стопу\""));
    editor->N1Click();
    editor->close();
    EXPECT_EQ(readBytes(ReferenceLists::filePath(dir.path(), ListId::Exit)),
              cp1251::encode(QStringLiteral("По \"стопу\"\r\n")));
}

} // namespace

// A trade entered by hand with its prices and result is stored in the
// columns and the form a statement's trade has, so every view counts it.
TEST_F(TradeDialogTest, AHandEnteredTradeIsStoredLikeAStatementsTrade)
{
    dialog.openForNewTrade();
    EXPECT_TRUE(field<QWidget>("GroupBox_Trade")->isVisible());
    field<QLineEdit>("Edit_Ticket")->setText(QStringLiteral("777001"));
    field<QLineEdit>("Edit_Symbol")->setText(QStringLiteral("EURUSD"));
    auto* type = field<QComboBox>("ComboBox_Type");
    type->setCurrentIndex(type->findData(QStringLiteral("sell")));
    const std::vector<std::pair<const char*, QString>> typed = {
        {"Edit_Size", "0,10"},           {"Edit_OpenTime", "01.03.2024 10:15"}, {"Edit_CloseTime", "2024-03-01 12:30:05"},
        {"Edit_PriceOpen", "1,08500"},   {"Edit_PriceClose", "1.08250"},        {"Edit_SL", "1,0880"},
        {"Edit_TP", ""},                 {"Edit_Commission", "-0,70"},          {"Edit_Swap", "-0.15"},
        {"Edit_Profit", "1 025,00"}};
    for (const auto& [name, text] : typed)
        field<QLineEdit>(name)->setText(text);
    field<QComboBox>("ComboBox_Time")->setEditText(QStringLiteral("H1"));
    dialog.BitBtn1Click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messageTexts().join(u'|').toStdString();

    auto t = journal->db().openResultTable(QStringLiteral(
        "SELECT chet, OpenTime, Type, Size, Item, PriceOpen, sl, tp, CloseTime, PriceClose, typeof(Commission), "
        "Commission, Taxes, Swap, Profit, Profit2, strategia FROM t_sdelki WHERE Ticket='777001'"));
    ASSERT_EQ(t->rowCount(), 1);
    QStringList stored;
    for (int i = 0; i < 17; ++i)
        stored << t->fieldTextAt(i);
    EXPECT_EQ(stored, QStringList({"3", "2024.03.01 10:15", "sell", "0.10", "EURUSD", "1.08500", "1.0880", "0",
                                   "2024.03.01 12:30:05", "1.08250", "real", t->fieldTextAt(11), "0", "-0,15",
                                   "1025,00", t->fieldTextAt(15), "H1"}));
    EXPECT_EQ(t->fieldNumber(11), -0.7);
    EXPECT_EQ(t->fieldNumber(15), 1025.0);

    // In edit mode the prices are the statement's: the group is not shown.
    ASSERT_TRUE(dialog.openForEdit(journal->db().openResultTable(QStringLiteral("SELECT id FROM t_sdelki"))->fieldTextAt(0)));
    EXPECT_FALSE(field<QWidget>("GroupBox_Trade")->isVisible());
}

// Profit is required once any field of the trade is filled; a number or a
// time that does not read is named, and nothing is stored.
TEST_F(TradeDialogTest, AHandEnteredTradeNeedsAProfitAndReadableNumbers)
{
    struct Case {
        std::vector<std::pair<const char*, QString>> typed;
        QString message;
    };
    const std::vector<Case> cases = {
        {{{"Edit_Symbol", "EURUSD"}}, "Укажите прибыль сделки: без нее сделка не попадет в статистику."},
        {{{"Edit_Profit", "12"}, {"Edit_Size", "0.1.0"}},
         "«0.1.0» не является числом. Введите число, например 0,10 или -12,50."},
        {{{"Edit_Profit", "12abc"}}, "«12abc» не является числом. Введите число, например 0,10 или -12,50."},
        {{{"Edit_Profit", "12"}, {"Edit_OpenTime", "завтра"}},
         "«завтра» не является датой и временем. Введите, например, 2024.03.01 10:15."},
    };
    for (const Case& c : cases) {
        prompts.clear();
        dialog.openForNewTrade();
        for (const auto& [name, text] : c.typed)
            field<QLineEdit>(name)->setText(text);
        dialog.BitBtn1Click();
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, c.message);
        EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
        dialog.reject();
    }
    EXPECT_EQ(journal->db().openResultTable(QStringLiteral("SELECT id FROM t_sdelki"))->rowCount(), 0);
}
