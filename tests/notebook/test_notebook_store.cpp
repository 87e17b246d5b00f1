// The documents' rows in a real database, the chart list blob and the
// search over names and texts.
#include "notebook/core/notebook_search.h"
#include "notebook/core/notebook_store.h"
#include "notebook/core/rtf_writer.h"
#include "state/core/snapshot_stream.h"
#include "temp_journal.h"

#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QByteArray rtfOf(const QString& text)
{
    QTextDocument document;
    QTextCursor(&document).insertText(text);
    return writeRtf(document);
}

} // namespace

TEST(NotebookStore, RowsByNameWithAnyCharacter)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    NotebookStore store(journal->db());
    const QString quoted = QStringLiteral("План \"Б\"");
    EXPECT_FALSE(store.exists(quoted));
    store.addDocument(quoted);
    EXPECT_TRUE(store.exists(quoted));
    EXPECT_EQ(store.text(quoted), std::optional<QByteArray>(QByteArray()));
    EXPECT_EQ(store.chartNames(quoted), std::optional<QStringList>(QStringList()));
    EXPECT_EQ(store.text(QStringLiteral("нет")), std::nullopt);

    EXPECT_TRUE(store.storeText(quoted, "{\\rtf1 x}"));
    EXPECT_FALSE(store.storeText(QStringLiteral("нет"), "{\\rtf1 x}")) << "no row, nothing stored";
    EXPECT_TRUE(store.storeChartNames(quoted, {QStringLiteral("EURUSD H1"), QStringLiteral("Уровни")}));
    EXPECT_EQ(store.chartNames(quoted), std::optional<QStringList>({QStringLiteral("EURUSD H1"), QStringLiteral("Уровни")}));

    EXPECT_TRUE(store.renameDocument(quoted, QStringLiteral("План В")));
    EXPECT_FALSE(store.exists(quoted));
    EXPECT_EQ(store.text(QStringLiteral("План В")), std::optional<QByteArray>("{\\rtf1 x}"));
    store.addDocument(QStringLiteral("Второй"));
    store.deleteDocument(QStringLiteral("План В"));
    EXPECT_FALSE(store.exists(QStringLiteral("План В")));
    EXPECT_TRUE(store.exists(QStringLiteral("Второй")));
    store.deleteAll();
    EXPECT_TRUE(store.allTexts().empty());
}

TEST(NotebookStore, ChartListIsATreeSnapshotOfTreeView2)
{
    EXPECT_EQ(encodeChartList({}).isEmpty(), false);
    EXPECT_EQ(decodeChartList(encodeChartList({})), QStringList());
    const QByteArray blob = encodeChartList({QStringLiteral("a"), QStringLiteral("б")});
    const SnapshotObject object = readSnapshot(blob);
    EXPECT_EQ(object.className, "TTreeView");
    EXPECT_EQ(object.objectName, "TreeView2");
    EXPECT_EQ(decodeChartList(blob), (QStringList{QStringLiteral("a"), QStringLiteral("б")}));
    EXPECT_THROW(decodeChartList("garbage"), SnapshotError);
    EXPECT_EQ(chartFileName(QStringLiteral("a_b"), QStringLiteral("c")), QStringLiteral("img/a_b_c.paz"));
}

TEST(NotebookSearch, NamesAndLinesWithoutRegardToCase)
{
    const std::vector<std::pair<QString, QByteArray>> documents = {
        {QStringLiteral("Стратегия пробоя"), rtfOf(QStringLiteral("Вход на ретесте\nСтоп за ЁЛКОЙ"))},
        {QStringLiteral("Психология"), QByteArray("Не входить после стопа\r\nпробой ложный")},
        {QStringLiteral("Пустой"), QByteArray()},
    };
    struct Case {
        QString query;
        std::vector<SearchHit> hits;
    };
    const Case cases[] = {
        {QStringLiteral("ПРОБО"),
         {{QStringLiteral("Стратегия пробоя"), QString()}, {QStringLiteral("Психология"), QStringLiteral("пробой ложный")}}},
        {QStringLiteral("елкой"), {{QStringLiteral("Стратегия пробоя"), QStringLiteral("Стоп за ЁЛКОЙ")}}},
        {QStringLiteral("стоп"),
         {{QStringLiteral("Стратегия пробоя"), QStringLiteral("Стоп за ЁЛКОЙ")},
          {QStringLiteral("Психология"), QStringLiteral("Не входить после стопа")}}},
        {QStringLiteral("  "), {}},
        {QStringLiteral("нет такого"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        EXPECT_EQ(searchNotebook(documents, c.query), c.hits);
    }
}
