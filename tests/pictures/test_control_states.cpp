// The real main window keeps the notebook tree and the analysis grid's
// layout in txt/ from one run to the next.
#include "shell/main_window.h"
#include "notebook/ui/notebook_page.h"
#include "state/ui/grid_snapshot.h"
#include "state/ui/tree_snapshot.h"
#include "scripted_prompts.h"
#include "stats/ui/analysis_page.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// One run of the program over the folder: start-up when shown, shutdown
// when closed.
struct ProgramRun {
    explicit ProgramRun(const TempAppDir& dir)
        : journal(dir.openJournal())
        , window(*journal, prompts)
    {
        window.show();
    }
    ~ProgramRun() { window.close(); }

    QTreeWidget* tree() { return widgetByName<QTreeWidget>(window.notebookPage(), "TreeView1"); }
    QTableView* grid() { return widgetByName<QTableView>(window.analysisPage(), "StringGrid_Analiz"); }

    ScriptedPrompts prompts;
    std::unique_ptr<Journal> journal;
    TForm1 window;
};

QStringList errorTexts(const ScriptedPrompts& prompts)
{
    QStringList out;
    for (const auto& m : prompts.messages) {
        if (m.icon == Prompts::Icon::Error)
            out << m.text;
    }
    return out;
}

} // namespace

TEST(ControlStates, WrittenAtExitAndRestoredAtTheNextStart)
{
    TempAppDir dir;
    const QString treeFile = dir.file(QStringLiteral("txt/TreeView1.txt"));
    const QString gridFile = dir.file(QStringLiteral("txt/StringGrid_Analiz.txt"));
    TreeEntries tree;
    {
        ProgramRun run(dir);
        ASSERT_EQ(run.tree()->topLevelItemCount(), 1) << "first start: the root folder only";
        EXPECT_EQ(run.tree()->topLevelItem(0)->text(0), QStringLiteral("Главная"));
        run.tree()->topLevelItem(0)->addChild(makeTreeItem({QStringLiteral("Мой документ"), 4, 4, -1, -1, {}}));
        run.grid()->horizontalHeader()->resizeSection(1, 45);
        run.grid()->horizontalHeader()->resizeSection(15, 333);
        tree = takeTreeEntries(run.tree());
        EXPECT_FALSE(QFile::exists(treeFile));
    }
    ASSERT_TRUE(QFile::exists(treeFile));
    ASSERT_TRUE(QFile::exists(gridFile));
    EXPECT_EQ(readSnapshot(readBytes(treeFile)).objectName, "TreeView1");
    EXPECT_EQ(readSnapshot(readBytes(gridFile)).className, "TStringGrid");

    ProgramRun next(dir);
    EXPECT_EQ(takeTreeEntries(next.tree()), tree);
    EXPECT_EQ(next.grid()->horizontalHeader()->sectionSize(1), 45);
    EXPECT_EQ(next.grid()->horizontalHeader()->sectionSize(15), 333);
    EXPECT_EQ(errorTexts(next.prompts), QStringList());
}

TEST(ControlStates, CorruptFileIsReportedAndStartUpGoesOn)
{
    TempAppDir dir;
    writeBytes(dir.file(QStringLiteral("txt/TreeView1.txt")), QByteArray("not a snapshot"));
    // A grid file whose widths are read before the stream breaks off.
    GridLayout layout;
    layout.colCount = 16;
    layout.colWidths = QList<int>(16, 50);
    const QByteArray grid = writeGridSnapshot("StringGrid_Analiz", layout);
    writeBytes(dir.file(QStringLiteral("txt/StringGrid_Analiz.txt")), grid.left(grid.size() - 1));

    ProgramRun run(dir);
    const QStringList errors = errorTexts(run.prompts);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("TreeView1.txt"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("неверный формат данных"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains(QStringLiteral("StringGrid_Analiz.txt")));
    EXPECT_EQ(run.tree()->topLevelItemCount(), 1) << "the root folder is still added";
    EXPECT_EQ(run.grid()->horizontalHeader()->sectionSize(7), 50);
}

TEST(ControlStates, UnwritableFolderIsReportedAndShutdownGoesOn)
{
    TempAppDir dir;
    {
        ProgramRun run(dir);
        QDir(dir.file(QStringLiteral("txt"))).removeRecursively();
        run.window.close();
        // Both failures in the one message of the close.
        ASSERT_EQ(run.prompts.messages.size(), 1u);
        const QString text = run.prompts.messages[0].text;
        EXPECT_TRUE(text.contains(QStringLiteral("TreeView1.txt"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("StringGrid_Analiz.txt"))) << text.toStdString();
    }
    EXPECT_FALSE(QDir(dir.file(QStringLiteral("txt"))).exists()) << "the folder is not created";
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("date.txt"))));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("config.ini"))));
}
