// The notebook page over a real database and program folder, driven through
// its commands and the scripted prompts: the tree and its file, the rows of
// the documents, the editor's storing and formats, and the charts.
#include "notebook/core/notebook_store.h"
#include "notebook/core/rtf_reader.h"
#include "notebook/core/text_shape.h"
#include "notebook/ui/chart_pane.h"
#include "notebook/ui/notebook_editor.h"
#include "notebook/ui/notebook_page.h"
#include "state/core/control_snapshots.h"
#include "pictures/ui/big_picture_window.h"
#include "pictures/ui/picture_surface.h"
#include "state/core/picture_snapshot.h"
#include "state/ui/tree_snapshot.h"
#include "mouse_input.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QComboBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

// One run of the page over the folder: start-up's calls, then the page shown.
struct PageRun {
    explicit PageRun(const TempAppDir& dir)
        : journal(dir.openJournal())
        , page(*journal, prompts)
    {
        page.resize(1200, 700);
        page.prepareEditor();
        page.restoreState();
        page.ensureRootFolder();
        page.show();
    }

    QTreeWidgetItem* node(const QString& path) const
    {
        // "Главная/Папка/Документ"
        const QStringList parts = path.split(u'/');
        QTreeWidgetItem* item = nullptr;
        for (const QString& part : parts) {
            QTreeWidgetItem* next = nullptr;
            const int count = item ? item->childCount() : tree()->topLevelItemCount();
            for (int i = 0; i < count && !next; ++i) {
                QTreeWidgetItem* c = item ? item->child(i) : tree()->topLevelItem(i);
                if (c->text(0) == part)
                    next = c;
            }
            if (!next)
                return nullptr;
            item = next;
        }
        return item;
    }
    void select(const QString& path)
    {
        QTreeWidgetItem* item = node(path);
        ASSERT_NE(item, nullptr) << path.toStdString();
        tree()->setCurrentItem(item);
    }
    void open(const QString& path)
    {
        select(path);
        page.TreeView1Click();
    }
    void addDocument(const QString& name)
    {
        prompts.answerText(name);
        page.Add_TactikClick();
    }
    void addFolder(const QString& name)
    {
        prompts.answerText(name);
        page.Add_StratClick();
    }
    QTreeWidget* tree() const { return widgetByName<QTreeWidget>(&page, "TreeView1"); }
    QTextEdit* editor() const { return widgetByName<QTextEdit>(&page, "Editor"); }
    void pressReturn() { QTest::keyClick(editor(), Qt::Key_Return); }
    // Typing as a keyboard does, one key event per character.
    void type(const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(editor(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(editor(), &release);
        }
    }
    NotebookStore store() { return NotebookStore(journal->db()); }
    QString storedText(const QString& name)
    {
        const std::optional<QByteArray> rtf = store().text(name);
        return rtf ? storedPlainTextOf(*rtf) : QStringLiteral("<no row>");
    }
    static QString storedPlainTextOf(const QByteArray& rtf);
    TreeEntries treeFile(const TempAppDir& dir) const
    {
        TreeSnapshotState state;
        applyTreeSnapshot(readBytes(dir.file(QStringLiteral("txt/TreeView1.txt"))), state);
        return state.entries;
    }

    ScriptedPrompts prompts;
    std::unique_ptr<Journal> journal;
    NotebookPage page;
};

} // namespace

#include "notebook/core/notebook_search.h"

QString PageRun::storedPlainTextOf(const QByteArray& rtf) { return storedPlainText(rtf); }

TEST(NotebookTree, CommandsKeepTreeRowsAndFileInStep)
{
    TempAppDir dir;
    PageRun run(dir);
    QTreeWidget* tree = run.tree();
    ASSERT_EQ(takeTreeEntries(tree), (TreeEntries{TreeEntry{"Главная", 1, 2, 1, -1, {}}}));

    // Nothing selected: a folder goes to the top level, a document nowhere.
    run.page.Add_TactikClick();
    EXPECT_TRUE(run.prompts.questions.empty());
    run.addFolder("Стратегии");
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "Стратегии");

    run.select("Главная");
    run.addDocument("Пробой");
    run.addFolder("Пробой"); // a folder of a document's name: allowed, no row
    run.select("Главная/Пробой");
    run.addDocument("Откат"); // inside the selected document's folder, last
    EXPECT_EQ(run.page.openDocumentName(), "Откат");
    run.select("Стратегии");
    run.addDocument("Откат");
    EXPECT_EQ(run.prompts.messageTexts(), QStringList{"Имя уже занято, придумайте другое!"});
    run.addDocument(""); // an empty name: nothing
    EXPECT_EQ(run.node("Стратегии")->childCount(), 0);
    EXPECT_TRUE(run.store().exists("Пробой"));
    EXPECT_TRUE(run.store().exists("Откат"));
    EXPECT_EQ(run.store().allTexts().size(), 2u);

    // Every change of shape is in the file at once.
    EXPECT_EQ(run.treeFile(dir), takeTreeEntries(tree));

    // Renaming to an empty or a taken name is refused; a free name moves
    // the row.
    run.prompts.clear();
    run.select("Главная/Откат");
    for (const char* refused : {"", "Пробой"}) {
        run.prompts.answerText(QString::fromUtf8(refused));
        run.page.N19Click();
    }
    EXPECT_EQ(run.prompts.messageTexts(),
              (QStringList{"Имя уже занято, придумайте другое!", "Имя уже занято, придумайте другое!"}));
    run.prompts.answerText("Откат к уровню");
    run.page.N19Click();
    EXPECT_EQ(run.node("Главная/Откат к уровню"), tree->currentItem());
    EXPECT_TRUE(run.store().exists("Откат к уровню"));
    EXPECT_FALSE(run.store().exists("Откат"));

    // Colours and the menu's items for folders and documents.
    run.page.colourClick(3);
    EXPECT_EQ(treeEntryOf(tree->currentItem()).selectedIndex, 3);
    run.page.PopupMenu_TreePopup();
    EXPECT_TRUE(widgetByName<QAction>(&run.page, "N19")->isEnabled());
    run.select("Стратегии");
    run.page.PopupMenu_TreePopup();
    EXPECT_FALSE(widgetByName<QAction>(&run.page, "N19")->isEnabled());
    EXPECT_FALSE(widgetByName<QAction>(&run.page, "N13")->isEnabled());

    // Moves never leave the parent; down on the second-to-last of three
    // makes it the last.
    const auto order = [&] {
        QStringList names;
        for (int i = 0; i < run.node("Главная")->childCount(); ++i)
            names << run.node("Главная")->child(i)->text(0) + QString::number(treeEntryOf(run.node("Главная")->child(i)).imageIndex);
        return names;
    };
    ASSERT_EQ(order(), (QStringList{"Пробой0", "Пробой1", "Откат к уровню3"}));
    run.select("Главная/Пробой");
    run.page.N12Click();
    EXPECT_EQ(order(), (QStringList{"Пробой1", "Пробой0", "Откат к уровню3"}));
    run.page.N12Click();
    EXPECT_EQ(order(), (QStringList{"Пробой1", "Откат к уровню3", "Пробой0"}));
    run.page.N12Click();
    run.page.N11Click();
    run.page.N11Click();
    run.page.N11Click();
    EXPECT_EQ(order(), (QStringList{"Пробой0", "Пробой1", "Откат к уровню3"}));
    EXPECT_EQ(run.treeFile(dir), takeTreeEntries(tree));

    // Deleting the red document deletes its row and frees its name;
    // deleting a folder keeps the rows inside it.
    run.select("Главная/Откат к уровню");
    run.prompts.answerConfirm(true);
    run.page.N9Click();
    EXPECT_FALSE(run.store().exists("Откат к уровню"));
    run.select("Главная");
    run.prompts.answerConfirm(true);
    run.page.N9Click();
    EXPECT_TRUE(run.store().exists("Пробой"));
    EXPECT_EQ(takeTreeEntries(tree), (TreeEntries{TreeEntry{"Стратегии", 1, 2, 1, -1, {}}}));
    EXPECT_EQ(run.treeFile(dir), takeTreeEntries(tree));

    // Clearing the notebook: no rows, no chart files, the root folder only.
    writeBytes(dir.file("img/Пробой_H1.paz"), "x");
    writeBytes(dir.file("img/1_5_вход.pat"), "x");
    run.prompts.answerConfirm(true);
    run.page.N31Click();
    EXPECT_TRUE(run.store().allTexts().empty());
    EXPECT_FALSE(QFile::exists(dir.file("img/Пробой_H1.paz")));
    EXPECT_TRUE(QFile::exists(dir.file("img/1_5_вход.pat")));
    EXPECT_EQ(takeTreeEntries(tree), (TreeEntries{TreeEntry{"Главная", 1, 2, 1, -1, {}}}));
    EXPECT_TRUE(run.prompts.allAnswersUsed());
}

// A tree file as the Windows program writes it: its display properties
// around the entries, texts in Windows-1251.
TEST(NotebookTree, TreeFileOfTheWindowsProgramOpensWithFoldersAndColours)
{
    const auto shortString = [](const QByteArray& s) { return char(s.size()) + s; };
    const auto int32 = [](qint32 v) {
        QByteArray b(4, 0);
        for (int i = 0; i < 4; ++i)
            b[i] = char((v >> (8 * i)) & 0xFF);
        return b;
    };
    const auto entry = [&](int image, int selected, int state, int children, const QByteArray& cp1251) {
        return int32(25 + int(cp1251.size())) + int32(image) + int32(selected) + int32(state) + int32(-1) + int32(0)
            + int32(children) + char(cp1251.size()) + cp1251;
    };
    const QByteArray items = int32(2) + entry(1, 2, 1, 2, "\xc3\xeb\xe0\xe2\xed\xe0\xff")  // Главная
        + entry(0, 0, -1, 0, "\xcf\xeb\xe0\xed")                                           // План
        + entry(1, 2, 1, 1, "\xd1\xf2\xf0\xe0\xf2\xe5\xe3\xe8\xe8")                       // Стратегии
        + entry(3, 3, -1, 0, "\xcf\xf0\xee\xe1\xee\xe9")                                   // Пробой
        + entry(4, 4, -1, 0, "EURUSD");
    const QByteArray stream = "TPF0" + shortString("TTreeView") + shortString("TreeView1") //
        + shortString("Left") + '\x02' + '\x00' + shortString("Top") + '\x02' + '\x1d'     //
        + shortString("Width") + '\x03' + QByteArray("\xd1\x00", 2) + shortString("Height") + '\x03'
        + QByteArray("\x7a\x02", 2) + shortString("Align") + '\x07' + shortString("alLeft")
        + shortString("HotTrack") + '\x09' + shortString("Images") + '\x07' + shortString("ImageList1")
        + shortString("Indent") + '\x02' + '\x13' + shortString("Items.Data") + '\x0a' + int32(int(items.size())) + items
        + shortString("PopupMenu") + '\x07' + shortString("PopupMenu_Tree") + shortString("ReadOnly") + '\x09'
        + shortString("TabOrder") + '\x02' + '\x00' + '\x00' + '\x00';
    TempAppDir dir;
    writeBytes(dir.file("txt/TreeView1.txt"), stream);
    PageRun run(dir);
    EXPECT_EQ(run.prompts.messageTexts(), QStringList());
    const TreeEntries expected = {
        TreeEntry{"Главная", 1, 2, 1, -1, {TreeEntry{"План", 0, 0, -1, -1, {}}, TreeEntry{"Стратегии", 1, 2, 1, -1,
                                                                                          {TreeEntry{"Пробой", 3, 3, -1, -1, {}}}}}},
        TreeEntry{"EURUSD", 4, 4, -1, -1, {}}};
    EXPECT_EQ(takeTreeEntries(run.tree()), expected);
    EXPECT_FALSE(run.node("Главная/Стратегии/Пробой")->icon(0).isNull());
}

TEST(NotebookTree, DamagedTreeFileIsReportedAndKeptAside)
{
    TempAppDir dir;
    writeBytes(dir.file("txt/TreeView1.txt"), "TPF0\x09TTreeView");
    {
        PageRun run(dir);
        ASSERT_EQ(run.prompts.messages.size(), 1u);
        EXPECT_TRUE(run.prompts.messages[0].text.contains("TreeView1.txt"));
        run.addFolder("Новая");
    }
    EXPECT_EQ(readBytes(dir.file("txt/TreeView1.txt.damaged")), QByteArray("TPF0\x09TTreeView"));
}

TEST(NotebookTree, UnwritableTreeFileIsReportedOnceWhileWorkingAndAgainAtExit)
{
    TempAppDir dir;
    PageRun run(dir);
    QDir(dir.file("txt")).removeRecursively();
    run.addFolder("Первая");
    run.addFolder("Вторая");
    EXPECT_EQ(run.prompts.messages.size(), 1u);
    run.page.saveState();
    ASSERT_EQ(run.prompts.messages.size(), 2u);
    EXPECT_TRUE(run.prompts.messages[1].text.contains("TreeView1.txt")) << run.prompts.messages[1].text.toStdString();
}

TEST(NotebookEditor, TextIsStoredAfterTypingPausesAndOnLeaving)
{
    TempAppDir dir;
    PageRun run(dir);
    run.editor()->setFocus();
    run.type("без документа");
    run.page.storePendingText();
    EXPECT_EQ(run.page.textStoreCount(), 0) << "no document open: no row changes";

    run.select("Главная");
    run.addDocument("План");
    // A new document types blue Tahoma 12.
    run.type("Торговый план");
    const TextShape typed = describeText(*run.editor()->document());
    ASSERT_EQ(typed.size(), 1u);
    ASSERT_EQ(typed[0].runs.size(), 1u);
    EXPECT_EQ(typed[0].runs[0].format.family, "Tahoma");
    EXPECT_EQ(typed[0].runs[0].format.halfPoints, 24);
    EXPECT_EQ(typed[0].runs[0].format.colour, std::optional<QRgb>(qRgb(0, 0, 255)));
    EXPECT_EQ(run.page.textStoreCount(), 0) << "typing alone stores nothing";
    QTest::qWait(NotebookEditor::kStoreDelayMs + 400);
    EXPECT_EQ(run.page.textStoreCount(), 1) << "one store once typing paused";
    EXPECT_EQ(run.storedText("План"), "Торговый план");

    // Bold with nothing selected: the following typing is bold, the text
    // before it is not.
    QToolButton* boldButton = widgetByName<QToolButton>(&run.page, "BoldButton");
    boldButton->click();
    run.type(" важно");
    const TextShape bold = describeText(*run.editor()->document());
    ASSERT_EQ(bold[0].runs.size(), 2u);
    EXPECT_FALSE(bold[0].runs[0].format.bold);
    EXPECT_TRUE(bold[0].runs[1].format.bold);
    boldButton->click();

    // Leaving the document stores what the pause has not yet stored.
    run.addDocument("Второй");
    EXPECT_EQ(run.storedText("План"), "Торговый план важно");
    run.type("x");
    // Renaming the open document and typing on stores under the new name.
    run.prompts.answerText("Второй документ");
    run.page.N19Click();
    run.type("y");
    run.page.saveState(); // as at exit
    EXPECT_EQ(run.storedText("Второй документ"), "xy");
    EXPECT_EQ(run.page.textStoreCount(), 4); // the pause, leaving, renaming, exit

    // Opening shows the stored text with its formats again.
    run.open("Главная/План");
    EXPECT_EQ(describeText(*run.editor()->document()), bold);
    EXPECT_EQ(run.page.editor()->hasPendingText(), false) << "opening is no change";

    // A stored text without RTF markup opens as that text.
    run.store().storeText("Второй документ", QByteArray("строка 1\r\nстрока 2"));
    run.open("Главная/Второй документ");
    EXPECT_EQ(run.editor()->toPlainText(), "строка 1\nстрока 2");

    // The search finds names and lines.
    widgetByName<QLineEdit>(&run.page, "Edit_Search")->setText("СТРОКА 2");
    run.page.runSearch();
    const QListWidget* results = widgetByName<QListWidget>(&run.page, "List_Search");
    ASSERT_EQ(results->count(), 1);
    EXPECT_EQ(results->item(0)->text(), "Второй документ: строка 2");
    EXPECT_EQ(run.prompts.messageTexts(), QStringList());
}

TEST(NotebookEditor, ToolbarCommandsFormatTheTextAndItsParagraphs)
{
    TempAppDir dir;
    PageRun run(dir);
    run.select("Главная");
    run.addDocument("Формат");
    NotebookEditor& e = *run.page.editor();
    const auto button = [&e](const char* name) { return widgetByName<QToolButton>(&e, name); };
    QSpinBox* fontSize = widgetByName<QSpinBox>(&e, "FontSize");
    QComboBox* fontName = widgetByName<QComboBox>(&e, "FontName");
    QComboBox* colours = widgetByName<QComboBox>(&e, "ColorBox3");
    struct Case {
        const char* name;
        std::function<void()> command;
        std::function<void(const ParagraphShape&, const RunFormat&)> check;
    };
    const std::vector<Case> cases = {
        {"italic", [&] { button("ItalicButton")->click(); }, [](const ParagraphShape&, const RunFormat& f) { EXPECT_TRUE(f.italic); }},
        {"underline", [&] { button("UnderlineButton")->click(); },
         [](const ParagraphShape&, const RunFormat& f) { EXPECT_TRUE(f.underline); }},
        {"size 18", [&] { fontSize->setValue(18); },
         [](const ParagraphShape&, const RunFormat& f) { EXPECT_EQ(f.halfPoints, 36); }},
        {"font", [&] { fontName->setEditText(fontName->itemText(0)); e.FontNameChange(); },
         [&](const ParagraphShape&, const RunFormat& f) { EXPECT_EQ(f.family, fontName->itemText(0)); }},
        {"colour red", [&] { colours->setCurrentIndex(colours->findText("Красный")); e.ColorBox3Select(); },
         [](const ParagraphShape&, const RunFormat& f) { EXPECT_EQ(f.colour, std::optional<QRgb>(qRgb(255, 0, 0))); }},
        {"centre", [&] { button("CenterAlign")->click(); },
         [](const ParagraphShape& p, const RunFormat&) { EXPECT_EQ(p.alignment, ParagraphAlignment::Center); }},
        {"right", [&] { button("RightAlign")->click(); },
         [](const ParagraphShape& p, const RunFormat&) { EXPECT_EQ(p.alignment, ParagraphAlignment::Right); }},
        {"bullets on", [&] { button("BulletsButton")->click(); },
         [](const ParagraphShape& p, const RunFormat&) { EXPECT_EQ(p.list, ListKind::Bullet); }},
        {"bullets off", [&] { button("BulletsButton")->click(); },
         [](const ParagraphShape& p, const RunFormat&) { EXPECT_EQ(p.list, ListKind::None); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run.pressReturn();
        c.command();
        run.type("текст");
        const TextShape shape = describeText(*run.editor()->document());
        c.check(shape.back(), shape.back().runs.back().format);
    }
    // What was formatted is stored as it shows.
    run.page.saveState();
    QTextDocument stored;
    readStoredText(*run.store().text("Формат"), stored);
    EXPECT_EQ(describeText(stored), describeText(*run.editor()->document()));
}

TEST(NotebookTree, ColouredFolderCountsAsDocumentAndClearingKeepsTheEditor)
{
    TempAppDir dir;
    PageRun run(dir);
    run.select("Главная");
    run.addDocument("План");
    run.type("мысли");
    run.addFolder("Папка");
    // Coloured from the chart list's menu: now a document without a row.
    emit run.page.chartPane()->colourRequested(4);
    run.page.TreeView1Click();
    EXPECT_EQ(run.page.openDocumentName(), "Папка");
    EXPECT_EQ(run.editor()->toPlainText(), "");
    EXPECT_EQ(run.storedText("План"), "мысли");

    run.open("Главная/План");
    run.prompts.answerConfirm(true);
    run.page.N31Click();
    EXPECT_EQ(run.editor()->toPlainText(), "мысли") << "the editor keeps what it shows";
    run.type("!");
    run.page.saveState();
    EXPECT_TRUE(run.store().allTexts().empty()) << "no row takes the text any more";
}

TEST(NotebookCharts, ListFilesAndPane)
{
    TempAppDir dir;
    PageRun run(dir);
    ChartPane& charts = *run.page.chartPane();
    const QPushButton* paneButton = widgetByName<QPushButton>(&charts, "Button6");
    run.select("Главная");
    run.addDocument("a_b");
    EXPECT_EQ(paneButton->text(), "+");

    // Charts cannot go into folders.
    run.select("Главная");
    charts.MenuItem2Click();
    EXPECT_EQ(run.prompts.messageTexts(), QStringList{"Графики нельзя добавлять в папки, создайте документ!"});
    run.prompts.clear();

    // Nor can a chart be pasted there.
    charts.ToolButton9Click();
    EXPECT_EQ(run.prompts.messageTexts(), QStringList{"Добавьте сначала график, в левом окне правая кнопка мыши!"});
    run.prompts.clear();

    run.open("Главная/a_b");
    for (const char* name : {"c", "H4", "c"}) {
        run.prompts.answerText(QString::fromUtf8(name));
        charts.MenuItem2Click();
    }
    EXPECT_EQ(run.prompts.messageTexts(), QStringList{"Имя уже занято, придумайте другое!"});
    EXPECT_EQ(paneButton->text(), "+") << "adding a chart does not open the pane";
    EXPECT_EQ(run.store().chartNames("a_b"), std::optional<QStringList>({"c", "H4"}));

    // Pasting writes the chart's file; reverting shows it again.
    QImage pasted(30, 20, QImage::Format_RGB32);
    pasted.fill(QColor(10, 200, 30));
    QApplication::clipboard()->setImage(pasted);
    charts.ToolButton9Click();
    const QString file = dir.file("img/a_b_H4.paz");
    QImage image;
    QRect bounds;
    ASSERT_TRUE(readPictureFile(file, image, bounds));
    EXPECT_EQ(image.size(), QSize(30, 20));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(10, 200, 30));
    charts.ToolButton21Click();
    EXPECT_EQ(charts.picture().size(), QSize(30, 20));

    // Moving is stored at once; the moved order survives the next addition.
    charts.MenuItem5Click();
    run.prompts.answerText("D1");
    charts.MenuItem2Click();
    EXPECT_EQ(run.store().chartNames("a_b"), std::optional<QStringList>({"H4", "c", "D1"}));

    // Renaming the document moves its chart files along, even while another
    // document's charts are on screen.
    run.select("Главная");
    run.addDocument("другой");
    EXPECT_EQ(charts.chartNames(), QStringList());
    run.select("Главная/a_b");
    run.prompts.answerText("EURUSD");
    run.page.N19Click();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(QFile::exists(dir.file("img/EURUSD_H4.paz")));

    // Opening the document again opens the pane on its first chart.
    run.open("Главная/EURUSD");
    EXPECT_EQ(paneButton->text(), "_");
    EXPECT_EQ(charts.picture().size(), QSize(30, 20));

    // Deleting a chart deletes its file.
    run.prompts.answerConfirm(true);
    charts.MenuItem3Click();
    EXPECT_FALSE(QFile::exists(dir.file("img/EURUSD_H4.paz")));
    EXPECT_EQ(run.store().chartNames("EURUSD"), std::optional<QStringList>({"c", "D1"}));
    EXPECT_TRUE(run.prompts.allAnswersUsed());
}

namespace {


QImage filled(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

struct ChartFile {
    QImage image;
    QRect bounds;
};

ChartFile readChartFile(const QString& path)
{
    ChartFile f;
    EXPECT_TRUE(readPictureFile(path, f.image, f.bounds)) << path.toStdString();
    return f;
}

void chooseChart(ChartPane& charts, const QString& name)
{
    QTreeWidget* list = widgetByName<QTreeWidget>(&charts, "TreeView2");
    const QList<QTreeWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found.first());
}

constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kGreen = 0xff00ff00;

} // namespace

// A screenshot pasted into a document without charts becomes its first
// chart in one step, named by the time; a chart larger than the pane
// scrolls and zooms; no hint shows beside it; it leaves as a PNG.
TEST(NotebookCharts, PasteIntoADocumentWithoutChartsAddsOneInOneStep)
{
    TempAppDir dir;
    PageRun run(dir);
    ChartPane& charts = *run.page.chartPane();
    run.select("Главная");
    run.addDocument("План");
    run.open("Главная/План");
    EXPECT_EQ(widgetByName<QPushButton>(&charts, "Button6")->text(), "+");

    charts.pasteChart(filled({1500, 1000}, QColor(0, 255, 0)));
    EXPECT_EQ(run.prompts.messageTexts(), QStringList());
    const QStringList names = charts.chartNames();
    ASSERT_EQ(names.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$")).match(names[0]).hasMatch())
        << names[0].toStdString();
    EXPECT_EQ(run.store().chartNames("План"), std::optional<QStringList>(names));
    EXPECT_EQ(readChartFile(dir.file("img/План_" + names[0] + ".paz")).image.size(), QSize(1500, 1000));
    EXPECT_EQ(widgetByName<QPushButton>(&charts, "Button6")->text(), "_") << "the pane opens to show it";
    for (const QLabel* label : charts.findChildren<QLabel*>())
        if (label->text().startsWith(QStringLiteral("Нет изображения")) || label->text().startsWith(QStringLiteral("Развернуть"))) {
            EXPECT_TRUE(label->isHidden()) << label->text().toStdString();
        }
    QApplication::processEvents();
    EXPECT_FALSE(widgetByName<QScrollBar>(&charts, "ImgPic2HScroll")->isHidden());

    PictureSurface* surface = widgetByName<PictureSurface>(&charts, "ImgPic2");
    widgetByName<QToolButton>(&charts, "ChartZoomOut")->click();
    EXPECT_EQ(surface->size(), QSize(1200, 800));
    widgetByName<QToolButton>(&charts, "ChartZoomIn")->click();
    EXPECT_EQ(surface->size(), QSize(1500, 1000));

    QTemporaryDir out;
    run.prompts.answerFile(out.filePath(QStringLiteral("план.png")));
    widgetByName<QToolButton>(&charts, "SaveChartAsPng")->click();
    EXPECT_EQ(QImage(out.filePath(QStringLiteral("план.png"))).size(), QSize(1500, 1000));

    // Naming a chart by hand asks under a title of its own.
    run.prompts.answerText("H1");
    charts.MenuItem2Click();
    EXPECT_EQ(run.prompts.questions.back().request.caption, QStringLiteral("Название рисунка"));
    EXPECT_EQ(charts.chartNames(), (QStringList{names[0], "H1"}));
    EXPECT_TRUE(run.prompts.allAnswersUsed());
}

TEST(NotebookCharts, MarkupIsWrittenWhenTheChartIsLeftAndRevertedWhileShown)
{
    TempAppDir dir;
    {
        PageRun run(dir);
        ChartPane& charts = *run.page.chartPane();
        PictureSurface* surface = widgetByName<PictureSurface>(&charts, "ImgPic2");
        QToolButton* draw = widgetByName<QToolButton>(&charts, "ToolButton5");
        run.select("Главная");
        run.addDocument("EURUSD");
        run.addDocument("GBPUSD");
        run.open("Главная/EURUSD");
        for (const char* name : {"H1", "H4"}) {
            run.prompts.answerText(QString::fromUtf8(name));
            charts.MenuItem2Click();
        }
        charts.Button6Click();
        QCoreApplication::processEvents();
        charts.pasteChart(filled({1600, 1200}, Qt::green));
        ASSERT_EQ(surface->bounds(), QRect(0, 0, 1600, 1200));

        // The draw button is the tool's; the middle button draws on the chart.
        draw->click();
        EXPECT_TRUE(draw->isChecked());
        drag(surface, Qt::MiddleButton, {10, 50}, {200, 50});
        EXPECT_EQ(charts.picture().pixel(100, 50), kBlack);
        charts.ToolButton21Click();
        EXPECT_EQ(charts.picture().pixel(100, 50), kGreen) << "reverted to the file";

        // A stroke and a pan, then another chart: both are written.
        drag(surface, Qt::LeftButton, {10, 60}, {200, 60});
        drag(surface, Qt::RightButton, {100, 100}, {60, 70});
        EXPECT_EQ(surface->bounds(), QRect(-40, -30, 1600, 1200));
        chooseChart(charts, "H1");
        const ChartFile h4 = readChartFile(dir.file("img/EURUSD_H4.paz"));
        EXPECT_EQ(h4.image.pixel(100, 60), kBlack);
        EXPECT_EQ(h4.bounds, QRect(-40, -30, 1600, 1200));

        // A chart never written: a stroke gives it a white picture, written
        // when another document opens.
        EXPECT_FALSE(surface->hasPicture());
        drag(surface, Qt::LeftButton, {10, 20}, {90, 20});
        run.open("Главная/GBPUSD");
        EXPECT_EQ(readChartFile(dir.file("img/EURUSD_H1.paz")).image.pixel(50, 20), kBlack);

        // Text on H4, then the program closes.
        run.open("Главная/EURUSD");
        chooseChart(charts, "H4");
        EXPECT_EQ(surface->bounds(), QRect(-40, -30, 1600, 1200));
        widgetByName<QToolButton>(&charts, "ToolButton6")->click();
        run.prompts.answerText("пробой");
        mouse(surface, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {300, 300});
        mouse(surface, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {300, 300});
        EXPECT_TRUE(surface->isModified());
        run.page.saveState();
        EXPECT_TRUE(run.prompts.allAnswersUsed());
    }
    PageRun again(dir);
    ChartPane& charts = *again.page.chartPane();
    const PictureSurface* surface = widgetByName<PictureSurface>(&charts, "ImgPic2");
    again.open("Главная/EURUSD");
    EXPECT_EQ(charts.picture().pixel(50, 20), kBlack) << "H1, the first chart";
    chooseChart(charts, "H4");
    EXPECT_EQ(charts.picture().pixel(100, 60), kBlack);
    EXPECT_NE(charts.picture().copy(300, 300, 60, 20), filled({60, 20}, Qt::green)) << "the text is there";
    EXPECT_EQ(surface->pos(), QPoint(-40, -30));
}

TEST(NotebookCharts, BigWindowAndClearingChangeThePictureUntilReverted)
{
    TempAppDir dir;
    PageRun run(dir);
    ChartPane& charts = *run.page.chartPane();
    PictureSurface* surface = widgetByName<PictureSurface>(&charts, "ImgPic2");
    QToolButton* clear = widgetByName<QToolButton>(&charts, "ToolButton10");
    run.select("Главная");
    run.addDocument("План");
    run.prompts.answerText("M15");
    charts.MenuItem2Click();
    charts.Button6Click();
    charts.pasteChart(filled({300, 200}, Qt::green));

    // Double-click: the big window, modal; a stroke there, Esc, and the chart has it.
    QTimer::singleShot(0, &charts, [&charts] {
        TFm_All* big = charts.bigWindow();
        ASSERT_NE(big, nullptr);
        EXPECT_TRUE(big->isModal() && big->isVisible());
        EXPECT_TRUE(big->windowState() & Qt::WindowMaximized);
        widgetByName<QToolButton>(big, "ToolButton5")->click();
        drag(widgetByName<PictureSurface>(big, "Image1"), Qt::LeftButton, {10, 20}, {110, 20});
        QTest::keyClick(big, Qt::Key_Escape);
    });
    QTest::mouseDClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_FALSE(charts.bigWindow()->isVisible());
    EXPECT_EQ(charts.picture().pixel(60, 20), kBlack);
    EXPECT_TRUE(surface->isModified());
    EXPECT_EQ(readChartFile(dir.file("img/План_M15.paz")).image.pixel(60, 20), kGreen) << "not written yet";

    // Clearing asks, blanks the picture and leaves the button released.
    run.prompts.answerConfirm(false);
    clear->click();
    EXPECT_EQ(charts.picture().pixel(60, 20), kBlack);
    run.prompts.answerConfirm(true);
    clear->click();
    EXPECT_EQ(run.prompts.questions.back().text, "Удалить график?");
    EXPECT_FALSE(clear->isChecked());
    EXPECT_EQ(charts.picture().size(), QSize(300, 200));
    EXPECT_EQ(charts.picture().pixel(60, 20), 0xffffffff);
    charts.ToolButton21Click();
    EXPECT_EQ(charts.picture().pixel(60, 20), kGreen) << "back to the file";
}
