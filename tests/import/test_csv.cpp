// Tables of trades (CSV): reading, guessing the columns, converting the
// cells to the statements' form, remembering a mapping, copying twice.
#include "import/core/csv_mapping_memory.h"
#include "import/core/csv_table.h"
#include "import/core/csv_trades.h"
#include "import/core/report_file.h"
#include "import/core/trade_copy.h"
#include "import/core/trade_extraction.h"

#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"

#include "import_test_support.h"
#include "temp_journal.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace importtest;

namespace {

// The fields of a converted row that a case checks: ticket, open time, type,
// size, symbol, open price, close time, commission, swap, profit.
QStringList keyFields(const StatementRow& r)
{
    return {r[StatementRow::Ticket],     r[StatementRow::OpenTime], r[StatementRow::Type],
            r[StatementRow::Size],       r[StatementRow::Item],     r[StatementRow::PriceOpen],
            r[StatementRow::CloseTime],  r[StatementRow::Commission], r[StatementRow::Swap],
            r[StatementRow::Profit]};
}

struct ReaderCase {
    const char* name;
    QByteArray bytes;
    QChar delimiter;
    CsvTable::Encoding encoding;
    std::vector<QStringList> rows; // keyFields of each converted row
    QStringList problems;          // CsvProblem::describe of each
};

const QByteArray kHeaderComma = "Ticket,Open Time,Type,Volume,Symbol,Price,Close Time,Commission,Swap,Profit\n";

TEST(CsvReader, ReadsEveryCommonShapeIntoTheStatementsForm)
{
    const QStringList first = {"101", "2024.03.01 10:15", "buy", "0.10", "EURUSD", "1.08500", "2024.03.01 12:00:30",
                               "-0.70", "0", "12.50"};
    const std::vector<ReaderCase> cases = {
        {"comma", kHeaderComma + "101,2024.03.01 10:15,buy,0.10,EURUSD,1.08500,2024.03.01 12:00:30,-0.70,0,12.50\n",
         u',', CsvTable::Encoding::Utf8, {first}, {}},
        {"semicolon, decimal comma, thousands blanks, CRLF",
         "Ticket;Open Time;Type;Volume;Symbol;Price;Close Time;Commission;Swap;Profit\r\n"
         "101;2024-03-01 10:15;BUY;0,10;EURUSD;1,08500;2024-03-01T12:00:30;-0,70;0;1 012,50\r\n",
         u';', CsvTable::Encoding::Utf8,
         {{"101", "2024.03.01 10:15", "buy", "0.10", "EURUSD", "1.08500", "2024.03.01 12:00:30", "-0.70", "0",
           "1012.50"}}, {}},
        {"tab, day first, long and short",
         "Ticket\tOpen Time\tType\tVolume\tSymbol\tPrice\tClose Time\tCommission\tSwap\tProfit\n"
         "101\t01.03.2024 10:15\tLong\t0.10\tEURUSD\t1.08500\t01.03.2024 12:00:30\t-0.70\t0\t12.50\n"
         "102\t01.03.2024 11:00:05\tshort\t1\tGBPUSD\t1.27\t\t0\t-1.5\t-3\n",
         u'\t', CsvTable::Encoding::Utf8,
         {first, {"102", "2024.03.01 11:00:05", "sell", "1", "GBPUSD", "1.27", "0", "0", "-1.5", "-3"}}, {}},
        {"UTF-8 with BOM, quoted cells",
         "\xEF\xBB\xBF" + kHeaderComma
             + "\"101\",\"2024.03.01 10:15\",buy,\"0,10\",EURUSD,\"1,08500\",2024.03.01 12:00:30,\"-0,70\",0,\"12,50\"\n",
         u',', CsvTable::Encoding::Utf8Bom, {first}, {}},
        {"Windows-1251, Russian names",
         cp1251::encode(QStringLiteral("Тикет;Время открытия;Тип;Объем;Символ;Цена;Время закрытия;Комиссия;Своп;Прибыль\r\n"
                                       "101;01.03.2024 10:15;Покупка;0,10;EURUSD;1,08500;01.03.2024 12:00:30;-0,70;0;12,50\r\n")),
         u';', CsvTable::Encoding::Windows1251, {first}, {}},
        {"missing optional columns",
         "Open Time,Type,Volume,Symbol,Profit\n2024.03.01 10:15,sell,0.5,XAUUSD,-20\n", u',',
         CsvTable::Encoding::Utf8,
         {{derivedTicket("XAUUSD", "2024.03.01 10:15", "sell", "0.5"), "2024.03.01 10:15", "sell", "0.5", "XAUUSD",
           "0", "0", "0", "0", "-20"}}, {}},
        {"bad cells are named by line and column",
         kHeaderComma + "101,2024.03.01 10:15,buy,0.10,EURUSD,1.08500,2024.03.01 12:00:30,-0.70,0,12.50\n"
             + "\n102,2024.13.01 10:15,hold,0.10,EURUSD,1.08500,,0,0,12abc\n"
             + "103,2024.03.01 10:15,buy,,EURUSD,1.08500,,0,0,1\n",
         u',', CsvTable::Encoding::Utf8,
         {first, {"102", "2024.13.01 10:15", "hold", "0.10", "EURUSD", "1.08500", "0", "0", "0", "12abc"},
          {"103", "2024.03.01 10:15", "buy", "0", "EURUSD", "1.08500", "0", "0", "0", "1"}},
         {"Строка 4, столбец «Open Time»: «2024.13.01 10:15» не является датой и временем",
          "Строка 4, столбец «Type»: «hold» не является типом сделки (buy, sell, long, short)",
          "Строка 4, столбец «Profit»: «12abc» не является числом",
          "Строка 5, столбец «Volume»: пустая ячейка, а поле обязательно"}},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvTable table = parseCsvBytes(c.bytes);
        EXPECT_EQ(table.delimiter, c.delimiter);
        EXPECT_EQ(table.encoding, c.encoding);
        const CsvMapping mapping = guessCsvMapping(table.header);
        EXPECT_EQ(mapping.missingRequired(), QStringList());
        const CsvTrades trades = readCsvTrades(table, mapping);
        ASSERT_EQ(trades.rows.size(), c.rows.size());
        for (std::size_t r = 0; r < c.rows.size(); ++r)
            EXPECT_EQ(keyFields(trades.rows[r]), c.rows[r]) << r;
        QStringList problems;
        for (const CsvProblem& p : trades.problems)
            problems << p.describe();
        EXPECT_EQ(problems, c.problems);
    }
}

TEST(CsvReader, CellsAndTimesInTheirCommonForms)
{
    const std::vector<std::pair<QString, std::optional<QString>>> numbers = {
        {"12.50", "12.50"},   {"12,50", "12.50"},     {"-1 234,5", "-1234.5"}, {"1\u00A0234.50", "1234.50"},
        {"1,234.50", "1234.50"}, {"1.234,50", "1234.50"}, {"+3", "3"},       {"\u22122,5", "-2.5"},
        {",5", "0.5"},        {"12abc", std::nullopt}, {"1.2.3", std::nullopt}, {"$12", std::nullopt}};
    for (const auto& [text, expected] : numbers)
        EXPECT_EQ(csvNumber(text), expected) << text.toStdString();
    const std::vector<std::pair<QString, std::optional<QString>>> times = {
        {"2024.03.01 10:15", "2024.03.01 10:15"},          {"2024-03-01 10:15:07", "2024.03.01 10:15:07"},
        {"2024-03-01T10:15:07.250Z", "2024.03.01 10:15:07"}, {"2024-03-01T10:15:07+03:00", "2024.03.01 10:15:07"},
        {"01.03.2024 9:05", "2024.03.01 09:05"},          {"2024/3/1 10:15", "2024.03.01 10:15"},
        {"2024.03.01", std::nullopt},                      {"2024.02.30 10:15", std::nullopt},
        {"2024.03.01 25:00", std::nullopt},               {"вчера", std::nullopt}};
    for (const auto& [text, expected] : times)
        EXPECT_EQ(csvTime(text), expected) << text.toStdString();
}

TEST(CsvMappingGuess, KnowsTheUsualHeaders)
{
    struct Case {
        const char* name;
        QStringList header;
        QString mapping; // CsvMapping::toText
    };
    const std::vector<Case> cases = {
        {"MetaTrader 4 history",
         {"Ticket", "Open Time", "Type", "Volume", "Symbol", "Price", "S/L", "T/P", "Close Time", "Close Price",
          "Commission", "Taxes", "Swap", "Profit"},
         "ticket=1,opentime=2,type=3,size=4,symbol=5,openprice=6,sl=7,tp=8,closetime=9,closeprice=10,commission=11,"
         "taxes=12,swap=13,profit=14"},
        {"MetaTrader 5 positions",
         {"Time", "Position", "Symbol", "Type", "Volume", "Price", "S / L", "T / P", "Time", "Price", "Commission",
          "Swap", "Profit"},
         "ticket=2,opentime=1,type=4,size=5,symbol=3,openprice=6,sl=7,tp=8,closetime=9,closeprice=10,commission=11,"
         "swap=12,profit=13"},
        {"cTrader history",
         {"ID", "Symbol", "Opening Direction", "Opening Time (UTC+2)", "Closing Time (UTC+2)", "Entry price",
          "Closing Price", "Closing Quantity", "Gross $", "Net $"},
         "ticket=1,opentime=4,type=3,size=8,symbol=2,openprice=6,closetime=5,closeprice=7,profit=9"},
        {"a Russian broker's cabinet",
         {"№ сделки", "Инструмент", "Направление", "Лоты", "Дата открытия", "Цена входа", "Дата закрытия",
          "Цена выхода", "Комиссия", "Своп", "Прибыль, USD"},
         "opentime=5,type=3,size=4,symbol=2,openprice=6,closetime=7,closeprice=8,commission=9,swap=10,profit=11"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(guessCsvMapping(c.header).toText(), c.mapping) << c.name;
}

TEST(CsvMappingGuess, MapOptionOverridesByNameOrNumber)
{
    const QStringList header = {"When", "Side", "Lots", "Pair", "Outcome", "Fee"};
    CsvMapping mapping = guessCsvMapping(header);
    EXPECT_EQ(mapping.missingRequired(), QStringList({"Время открытия", "Прибыль"}));
    EXPECT_EQ(applyMapOption(mapping, "opentime=when,profit=5,commission=Fee", header), std::nullopt);
    EXPECT_EQ(mapping.toText(), "opentime=1,type=2,size=3,symbol=4,commission=6,profit=5");
    EXPECT_EQ(applyMapOption(mapping, "commission=-", header), std::nullopt);
    EXPECT_EQ(mapping[CsvField::Commission], -1);
    EXPECT_EQ(applyMapOption(mapping, "profit=Gain", header), QStringLiteral("в заголовке нет столбца «Gain»"));
    EXPECT_TRUE(applyMapOption(mapping, "money=2", header).value_or(QString()).startsWith("нет поля «money»"));
}

TEST(CsvMappingMemory, RemembersByTheHeadersNamesInWindows1251)
{
    TempAppDir dir(false);
    const CsvMappingMemory memory(dir.file(CsvMappingMemory::fileName()));
    const QStringList header = {"Время", "Сторона", "Лоты", "Пара", "Итог"};
    CsvMapping mapping;
    mapping[CsvField::OpenTime] = 0;
    mapping[CsvField::Type] = 1;
    mapping[CsvField::Size] = 2;
    mapping[CsvField::Symbol] = 3;
    mapping[CsvField::Profit] = 4;
    EXPECT_EQ(memory.find(header), std::nullopt);
    memory.remember({"A", "B"}, CsvMapping{});
    memory.remember(header, mapping);
    // Letter case and punctuation of the names do not make another shape.
    EXPECT_EQ(memory.find({"время", "Сторона:", "ЛОТЫ", "Пара", "Итог"}), mapping);
    EXPECT_EQ(memory.find({"Время", "Сторона", "Лоты", "Пара"}), std::nullopt);
    const QByteArray file = readBytes(dir.file(CsvMappingMemory::fileName()));
    EXPECT_TRUE(file.startsWith(cp1251::encode(QStringLiteral("время;сторона;лоты;пара;итог\t"))));
    EXPECT_TRUE(file.endsWith("a;b\t\r\n"));

    // A file of that shape opens with the remembered mapping; another with the guess.
    CsvTable table;
    table.header = header;
    EXPECT_EQ(initialCsvMapping(table, memory), mapping);
    table.header = QStringList{"Open Time", "Type", "Size", "Symbol", "Profit"};
    EXPECT_EQ(initialCsvMapping(table, memory).toText(), "opentime=1,type=2,size=3,symbol=4,profit=5");
}

TEST(CsvImport, ImportingTheSameFileAgainUpdatesInsteadOfAdding)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    // No tickets; two equal trades stay two.
    const QByteArray file = "Open Time;Type;Volume;Symbol;Price;Profit\n"
                            "2024.03.01 10:15;buy;0,1;EURUSD;1,085;12,5\n"
                            "2024.03.01 10:15;buy;0,10;EURUSD;1,085;3\n"
                            "2024.03.01 11:00;sell;1;GBPUSD;1,27;-4,25\n";
    const CsvTable table = parseCsvBytes(file);
    const CsvTrades trades = readCsvTrades(table, guessCsvMapping(table.header));
    ASSERT_TRUE(trades.problems.empty());
    const CopyOutcome first = copyTrades(journal->db(), "3", trades.goodRows(), dir.file("img"));
    EXPECT_EQ(first.inserted, 3);
    journal->db().executeStatement("UPDATE t_sdelki SET comment='по плану' WHERE Item='GBPUSD'");

    // The same file, the last result corrected.
    QByteArray corrected = file;
    corrected.replace("-4,25", "-4,5");
    const CsvTrades again = readCsvTrades(parseCsvBytes(corrected), guessCsvMapping(table.header));
    const CopyOutcome second = copyTrades(journal->db(), "3", again.goodRows(), dir.file("img"));
    EXPECT_EQ(second.inserted, 0);
    EXPECT_EQ(second.updated, 3);
    auto t = journal->db().openResultTable(
        "SELECT Ticket, OpenTime, Type, Size, Item, PriceOpen, CloseTime, Profit, Profit2, comment FROM t_sdelki ORDER BY id");
    ASSERT_EQ(t->rowCount(), 3);
    QStringList tickets;
    for (; !t->atEnd(); t->moveNext())
        tickets << t->fieldTextAt(0);
    EXPECT_EQ(tickets.size(), 3);
    EXPECT_EQ(QSet<QString>(tickets.begin(), tickets.end()).size(), 3);
    for (const QString& ticket : tickets)
        EXPECT_TRUE(ticket.startsWith("csv-")) << ticket.toStdString();
    auto gbp = journal->db().openResultTable("SELECT Profit, Type, comment, CloseTime, Type FROM t_sdelki WHERE Item='GBPUSD'");
    EXPECT_EQ(gbp->fieldTextAt(0), "-4,5");
    EXPECT_EQ(gbp->fieldTextAt(2), "по плану");
    EXPECT_EQ(gbp->fieldTextAt(3), "0");
    EXPECT_EQ(gbp->fieldTextAt(4), "sell");
}

} // namespace

namespace {

// A real statement's trades as a spreadsheet saves them: semicolons,
// decimal commas, the usual English header.
QByteArray spreadsheetCsv(const std::vector<StatementRow>& rows, bool withTickets)
{
    QByteArray csv = "Ticket;Open Time;Type;Volume;Symbol;Price;S/L;T/P;Close Time;Close Price;Commission;Taxes;Swap;"
                     "Profit\r\n";
    constexpr int kNumbers[] = {StatementRow::Size,       StatementRow::PriceOpen,  StatementRow::StopLoss,
                                StatementRow::TakeProfit, StatementRow::PriceClose, StatementRow::Commission,
                                StatementRow::Taxes,      StatementRow::Swap,       StatementRow::Profit};
    for (StatementRow row : rows) {
        for (const int c : kNumbers)
            row[c].replace(u'.', u',');
        if (!withTickets)
            row[StatementRow::Ticket].clear();
        QStringList cells;
        for (int c = StatementRow::Ticket; c < StatementRow::ColumnCount; ++c)
            cells << row[c];
        csv += cells.join(u';').toUtf8() + "\r\n";
    }
    return csv;
}

QList<QStringList> storedTrades(TSQLiteDatabase& db)
{
    auto t = db.openResultTable("SELECT Ticket, OpenTime, Type, Size, Item, PriceOpen, sl, tp, CloseTime, PriceClose, "
                                "Commission, Taxes, Swap, Profit, Profit2 FROM t_sdelki ORDER BY id");
    QList<QStringList> rows;
    for (; !t->atEnd(); t->moveNext()) {
        QStringList row;
        for (int c = 0; c < t->columnCount(); ++c)
            row << t->fieldTextAt(c);
        rows << row;
    }
    return rows;
}

} // namespace

// The trades of a real statement saved as a spreadsheet's CSV import into
// the same stored trades as the statement itself, with or without tickets,
// and a second import adds none.
TEST(CsvImport, ARealStatementsTradesAsCsvAreTheStatementsTrades)
{
    const QString path = fixture(QStringLiteral("mt4_reuniware_DetailedStatement.htm"));
    if (path.isEmpty())
        GTEST_SKIP() << "real statements are not here";
    const QByteArray text = readTextFile(path);
    const Extraction statement = extractTrades(text, recognizeReport(text));
    ASSERT_EQ(statement.rows.size(), 130u);

    TempAppDir fromStatement, fromCsv, withoutTickets;
    auto a = fromStatement.openJournal();
    copyTrades(a->db(), "1", statement.rows, fromStatement.file("img"));
    const QList<QStringList> expected = storedTrades(a->db());

    for (const bool tickets : {true, false}) {
        SCOPED_TRACE(tickets ? "with tickets" : "without tickets");
        TempAppDir& dir = tickets ? fromCsv : withoutTickets;
        auto b = dir.openJournal();
        const CsvTable table = parseCsvBytes(spreadsheetCsv(statement.rows, tickets));
        EXPECT_EQ(table.delimiter, u';');
        const CsvTrades trades = readCsvTrades(table, guessCsvMapping(table.header));
        EXPECT_TRUE(trades.problems.empty());
        EXPECT_EQ(copyTrades(b->db(), "1", trades.goodRows(), dir.file("img")).inserted, 130);
        const CopyOutcome again = copyTrades(b->db(), "1", trades.goodRows(), dir.file("img"));
        EXPECT_EQ(again.inserted, 0);
        EXPECT_EQ(again.updated, 130);
        QList<QStringList> stored = storedTrades(b->db());
        ASSERT_EQ(stored.size(), expected.size());
        for (qsizetype r = 0; r < stored.size(); ++r) {
            if (!tickets) {
                EXPECT_TRUE(stored[r][0].startsWith("csv-"));
                stored[r][0] = expected[r][0];
            }
            EXPECT_EQ(stored[r], expected[r]) << r;
        }
    }
}
