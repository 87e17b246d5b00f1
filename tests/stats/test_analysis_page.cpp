#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"
#include "pictures/core/trade_pictures.h"
#include "state/ui/grid_snapshot.h"
#include "state/core/picture_snapshot.h"
#include "pictures/ui/picture_surface.h"
#include "pictures/ui/trade_pictures_panel.h"
#include "header_click.h"
#include "mouse_input.h"
#include "scripted_prompts.h"
#include "stats/core/analysis_model.h"
#include "stats/core/period_analysis.h"
#include "stats/ui/analysis_page.h"
#include "stats_fixture.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QMouseEvent>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

class AnalysisPageTest : public ::testing::Test {
protected:
    StatsFixture fx;
    ScriptedPrompts prompts;
    AnalysisPage page{fx.journal(), prompts};

    template <class T> T* control(const char* name) { return widgetByName<T>(&page, name); }
    QDateTimeEdit* picker(const char* name) { return control<QDateTimeEdit>(name); }
    QLabel* label(const char* name) { return control<QLabel>(name); }
    QTableView* grid() { return control<QTableView>("StringGrid_Analiz"); }

    void range(QDate start, QDate end)
    {
        picker("DateTimePicker1")->setDate(start);
        picker("DateTimePicker2")->setDate(end);
    }
};

TEST_F(AnalysisPageTest, StepsADayBackAndForward)
{
    struct Step {
        void (AnalysisPage::*action)();
        QDate start, end;
    };
    range(QDate(2013, 7, 3), QDate(2013, 7, 10));
    const std::vector<Step> steps = {
        {&AnalysisPage::BitBtn8Click, QDate(2013, 7, 8), QDate(2013, 7, 9)},
        {&AnalysisPage::BitBtn9Click, QDate(2013, 7, 9), QDate(2013, 7, 10)},
        {&AnalysisPage::Button1Click, QDate::currentDate(), QDate::currentDate().addDays(1)},
    };
    for (const Step& s : steps) {
        (page.*s.action)();
        EXPECT_EQ(picker("DateTimePicker1")->date(), s.start);
        EXPECT_EQ(picker("DateTimePicker2")->date(), s.end);
    }
}

TEST_F(AnalysisPageTest, ShowsTheDayWithColoursAndKeepsTheTradersColumnWidths)
{
    fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("10,5")});
    fx.insert({QStringLiteral("2013.07.05 12:00"), QStringLiteral("-4")});
    GridLayout layout;
    layout.colCount = 16;
    layout.colWidths = QList<int>(16, 40);
    layout.colWidths[3] = 130;
    applyGridLayout(grid(), layout);

    page.showDay(QDate(2013, 7, 5));
    EXPECT_EQ(label("Label_Data")->text(), QStringLiteral("05 июля 2013 - Пятница"));
    EXPECT_EQ(label("Label_Day")->text(),
              QStringLiteral("Итог дня: 6,50 , всего сделок: 2, процент выйгрышных: 50,00%, Выйграл: 1, Проиграл 1, "
                             "средняя прибыльная сделка: 10,50"));
    EXPECT_EQ(label("Label_Day")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    const QAbstractItemModel* model = grid()->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->headerData(15, Qt::Horizontal).toString(), QStringLiteral("Рис"));
    EXPECT_EQ(model->index(0, 7).data().toString(), QStringLiteral("10,5"));
    EXPECT_EQ(model->index(0, 3).data(Qt::BackgroundRole).value<QColor>(), QColor(179, 238, 58));
    EXPECT_EQ(model->index(1, 3).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 182, 193));
    EXPECT_EQ(grid()->horizontalHeader()->sectionSize(3), 130);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(AnalysisPageTest, DoubleClickAndMenuActOnTheSelectedTrade)
{
    const QString first = fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("1")});
    const QString second = fx.insert({QStringLiteral("2013.07.05 11:00"), QStringLiteral("2")});
    page.showDay(QDate(2013, 7, 5));
    QSignalSpy selected(&page, &AnalysisPage::tradeSelected);
    EXPECT_EQ(page.selectedTradeId(), QString());
    grid()->selectRow(1);
    EXPECT_EQ(page.selectedTradeId(), second);
    ASSERT_GE(selected.count(), 1);
    EXPECT_EQ(selected.last().at(0).toString(), second);
    QSignalSpy deleted(&page, &AnalysisPage::deleteTradeRequested);
    control<QMenu>("PopupMenu6_Del1")->actions().first()->trigger();
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted.at(0).at(0).toString(), second);
    (void)first;
}

// The selected trade stays selected through a sort by a header, and the
// menu and a rebuild act on it, not on the row that took its place.
TEST_F(AnalysisPageTest, TheSelectedTradeFollowsItsRowThroughAHeaderSort)
{
    const QString small = fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("9,5")});
    const QString large = fx.insert({QStringLiteral("2013.07.05 11:00"), QStringLiteral("10")});
    const QString loss = fx.insert({QStringLiteral("2013.07.05 12:00"), QStringLiteral("-120")});
    page.showDay(QDate(2013, 7, 5));
    EXPECT_EQ(grid()->horizontalHeader()->sortIndicatorSection(), -1);
    grid()->selectRow(0);
    ASSERT_EQ(page.selectedTradeId(), small);

    auto shownIds = [this] {
        QStringList ids;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            ids << grid()->model()->index(row, analysiscol::Id).data().toString();
        return ids;
    };
    clickHeader(grid(), analysiscol::Profit);
    EXPECT_EQ(shownIds(), QStringList({loss, small, large}));
    EXPECT_EQ(grid()->selectionModel()->selectedRows().value(0).row(), 1);
    EXPECT_EQ(page.selectedTradeId(), small);
    clickHeader(grid(), analysiscol::Profit);
    EXPECT_EQ(shownIds(), QStringList({large, small, loss}));
    EXPECT_EQ(page.selectedTradeId(), small);
    // The trade's fill goes with it.
    EXPECT_EQ(grid()->model()->index(2, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 182, 193));

    QSignalSpy deleted(&page, &AnalysisPage::deleteTradeRequested);
    control<QMenu>("PopupMenu6_Del1")->actions().first()->trigger();
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted.at(0).at(0).toString(), small);
    page.runPeriodAnalysis();
    EXPECT_EQ(shownIds(), QStringList({large, small, loss})) << "a rebuild keeps the column";
    EXPECT_EQ(page.selectedTradeId(), small);
}

TEST_F(AnalysisPageTest, AProfitThatIsNotANumberIsReported)
{
    fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("abc")});
    page.showDay(QDate(2013, 7, 5));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Ошибка - Во время обновление данных\nСделка id 1: Прибыль «abc» "
                                                       "не является числом; она не входит в итоги"));
    EXPECT_EQ(label("Label_Day")->text(), QStringLiteral("Нет сделок"));
}

// The tab "Рисунок сделки" under the table: the pictures of the trade
// chosen in it, their list in t_tree and their files in img.
class TradePicturesTest : public AnalysisPageTest {
protected:
    TradePicturesPanel* tab = nullptr;
    QString first, second;

    void SetUp() override
    {
        first = fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("1")});
        second = fx.insert({QStringLiteral("2013.07.05 11:00"), QStringLiteral("2")});
        page.resize(1200, 1000);
        control<QSplitter>("Splitter1")->setSizes({120, 800});
        page.show();
        page.showDay(QDate(2013, 7, 5));
        tab = control<TradePicturesPanel>("TradePictures");
    }
    void TearDown() override
    {
        EXPECT_EQ(prompts.messageTexts(), QStringList());
        EXPECT_TRUE(prompts.allAnswersUsed());
    }
    PictureSurface* picture() { return control<PictureSurface>("ImPict"); }
    void choose(int row) { grid()->selectRow(row); }
    void add(const QString& name)
    {
        prompts.answerText(name);
        tab->N22Click();
    }
    QString file(const QString& trade, const QString& name)
    {
        return tradePictureFile(fx.journal().path(QStringLiteral("img")), QStringLiteral("1"), trade.toLongLong(), name);
    }
    QStringList storedList(const QString& trade)
    {
        const auto t = fx.db().openResultTable(QStringLiteral("SELECT t_tree FROM t_sdelki WHERE id=?"), {trade.toLongLong()});
        return t->fieldTextAt(0).isEmpty() ? QStringList() : pictureListNames(t->fieldBlob(0));
    }
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
    {
        ::mouse(picture(), type, button, held, at);
    }
    void stroke(QPoint from, QPoint to) { drag(picture(), Qt::LeftButton, from, to); }
    static QImage filled(QSize size, Qt::GlobalColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
};

TEST_F(TradePicturesTest, PasteDrawSwitchTradesAndBackKeepsTheStrokes)
{
    // Before a trade is chosen there is no list to paste into.
    ASSERT_EQ(tab->currentTradeId(), 0);
    tab->pasteImage(filled({400, 300}, Qt::green));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{"Добавьте сначала рисунок, в левом окне \"Список рисунков\" правая кнопка мыши!"});
    prompts.clear();
    choose(0);
    EXPECT_EQ(tab->currentTradeId(), first.toLongLong());
    EXPECT_FALSE(picture()->hasPicture()); // the panel's caption shows

    add(QStringLiteral("вход"));
    EXPECT_EQ(storedList(first), QStringList{"вход"});
    EXPECT_TRUE(picture()->hasPicture()); // a white page to draw on, no file yet
    EXPECT_FALSE(QFile::exists(file(first, QStringLiteral("вход"))));
    tab->pasteImage(QImage());
    EXPECT_EQ(prompts.messageTexts(), QStringList{"В буфере обмена нет рисунка."});
    prompts.clear();
    tab->pasteImage(filled({400, 300}, Qt::green));
    EXPECT_EQ(picture()->bounds(), QRect(0, 0, 400, 300));
    EXPECT_TRUE(QFile::exists(file(first, QStringLiteral("вход"))));

    // Panning pins the small picture to the panel's corner; the release stores it.
    mouse(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {10, 10});
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {20, 20});
    mouse(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {20, 20});
    ASSERT_GT(control<QFrame>("Panel1")->height(), 300);
    const QPoint pinned(control<QFrame>("Panel1")->width() - 400, control<QFrame>("Panel1")->height() - 300);
    EXPECT_EQ(picture()->pos(), pinned);
    const auto position = fx.db().openResultTable(QStringLiteral("SELECT img_left, img_top FROM t_sdelki WHERE id=?"),
                                                  {first.toLongLong()});
    EXPECT_EQ(position->fieldTextAt(0), QString::number(pinned.x()));
    EXPECT_EQ(position->fieldTextAt(1), QString::number(pinned.y()));

    // Turning drawing on from the other page shows this page's button pressed.
    fx.journal().drawingTool.toggleDraw();
    EXPECT_TRUE(control<QToolButton>("ToolButton17")->isChecked());
    stroke({10, 50}, {200, 50});
    EXPECT_EQ(picture()->picture().pixel(100, 50), qRgb(0, 0, 0));

    choose(1);
    EXPECT_EQ(control<QTreeWidget>("TreeView3")->topLevelItemCount(), 0);
    EXPECT_FALSE(picture()->hasPicture());
    choose(0);
    ASSERT_TRUE(picture()->hasPicture());
    EXPECT_EQ(picture()->picture().pixel(100, 50), qRgb(0, 0, 0));
    EXPECT_EQ(picture()->pos(), pinned);

    // A stroke not written is undone by "Отменить последние изменения".
    stroke({10, 150}, {200, 150});
    EXPECT_EQ(picture()->picture().pixel(100, 150), qRgb(0, 0, 0));
    tab->ToolButton24Click();
    EXPECT_EQ(picture()->picture().pixel(100, 150), qRgb(0, 255, 0));
    EXPECT_EQ(picture()->picture().pixel(100, 50), qRgb(0, 0, 0));

    // Another day without the trade: a new stroke is written and the tab empties.
    stroke({10, 250}, {200, 250});
    page.showDay(QDate(2013, 7, 6));
    EXPECT_EQ(control<QTreeWidget>("TreeView3")->topLevelItemCount(), 0);
    EXPECT_FALSE(picture()->hasPicture());
    QImage written;
    QRect bounds;
    ASSERT_TRUE(readPictureFile(file(first, QStringLiteral("вход")), written, bounds));
    EXPECT_EQ(written.pixel(100, 250), qRgb(0, 0, 0));
    fx.journal().drawingTool.toggleDraw();
}

// The most common action in one step: a screenshot pasted into a trade
// without pictures becomes its first picture, named by the time; the
// trade's "Рис" shows it at once and after a rebuild; a large picture
// scrolls; no hint shows beside it; it leaves as a PNG from the toolbar.
TEST_F(TradePicturesTest, PasteIntoAnEmptyListAddsAPictureInOneStepAndMarksTheTrade)
{
    const AnalysisModel& model = page.model();
    auto mark = [&] { return model.data(model.index(1, 15)).toString(); };
    choose(1);
    EXPECT_EQ(mark(), QString());
    EXPECT_FALSE(control<QLabel>("Panel1Caption")->isHidden());

    tab->pasteImage(filled({2000, 1500}, Qt::green));
    EXPECT_EQ(prompts.messageTexts(), QStringList());
    const QStringList names = storedList(second);
    ASSERT_EQ(names.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$"))
                    .match(names[0])
                    .hasMatch())
        << names[0].toStdString();
    EXPECT_EQ(control<QTreeWidget>("TreeView3")->currentItem()->text(0), names[0]);
    EXPECT_TRUE(QFile::exists(file(second, names[0])));
    EXPECT_EQ(picture()->picture().size(), QSize(2000, 1500));
    EXPECT_EQ(mark(), QStringLiteral("+")) << "marked at once";
    EXPECT_TRUE(control<QLabel>("Panel1Caption")->isHidden());
    QApplication::processEvents();
    EXPECT_FALSE(control<QScrollBar>("ImPictHScroll")->isHidden());
    EXPECT_FALSE(control<QScrollBar>("ImPictVScroll")->isHidden());

    // The next paste goes into the picture chosen, with no new entry.
    tab->pasteImage(filled({300, 200}, Qt::red));
    EXPECT_EQ(storedList(second), names);
    QApplication::processEvents();
    EXPECT_TRUE(control<QScrollBar>("ImPictHScroll")->isHidden());

    page.showDay(QDate(2013, 7, 5));
    EXPECT_EQ(mark(), QStringLiteral("+")) << "and after a rebuild";
    EXPECT_EQ(model.data(model.index(0, 15)).toString(), QString());

    choose(1);
    QTemporaryDir out;
    prompts.answerFile(out.filePath(QStringLiteral("сделка.png")));
    control<QToolButton>("SavePictureAsPng")->click();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_TRUE(prompts.questions[0].request.save);
    const QImage saved(out.filePath(QStringLiteral("сделка.png")));
    EXPECT_EQ(saved.size(), QSize(300, 200));
    EXPECT_EQ(saved.pixel(10, 10), qRgb(255, 0, 0));

    // Deleting the last picture takes the mark away.
    prompts.answerConfirm(true);
    tab->N24Click();
    EXPECT_EQ(mark(), QString());
}

// "+" and "−" enlarge and shrink the picture around the middle of the view
// instead of sliding it up-left at its own size.
TEST_F(TradePicturesTest, ZoomKeepsTheMiddleOfTheViewAndScrolls)
{
    choose(0);
    add(QStringLiteral("вход"));
    EXPECT_EQ(prompts.questions.back().request.caption, QStringLiteral("Название рисунка"));
    tab->pasteImage(filled({1600, 1200}, Qt::blue));
    QApplication::processEvents();
    const QFrame* pane = control<QFrame>("Panel1");
    ASSERT_LT(pane->width(), 1600);
    const QPointF middle = QRectF(pane->rect()).center();
    const QPointF pixel = (middle - QPointF(picture()->pos())) / picture()->scale();
    control<QToolButton>("ToolButton25")->click();
    control<QToolButton>("ToolButton25")->click();
    control<QToolButton>("ToolButton25")->click();
    EXPECT_GT(picture()->width(), 1100);
    EXPECT_NEAR(picture()->scale(), 1.953, 0.01);
    const QPointF after = (middle - QPointF(picture()->pos())) / picture()->scale();
    EXPECT_NEAR(after.x(), pixel.x(), 1.0);
    EXPECT_NEAR(after.y(), pixel.y(), 1.0);
    EXPECT_LE(picture()->y(), 0) << "no part of the view left empty above it";
    QApplication::processEvents();
    EXPECT_FALSE(control<QScrollBar>("ImPictHScroll")->isHidden());
    control<QToolButton>("ToolButton26")->click();
    control<QToolButton>("ToolButton26")->click();
    control<QToolButton>("ToolButton26")->click();
    EXPECT_EQ(picture()->size(), QSize(1600, 1200));
}

TEST_F(TradePicturesTest, NamesThatWouldShareOrBreakAFileAreRefused)
{
    choose(0);
    add(QStringLiteral("вход"));
    for (const QString& name : {QStringLiteral("Вход"), QStringLiteral("H1/H4"), QStringLiteral("  ")}) {
        add(name);
        ASSERT_EQ(prompts.messages.size(), 1u) << name.toStdString();
        EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
        prompts.messages.clear();
    }
    add(QString()); // cancelled
    EXPECT_EQ(storedList(first), QStringList{"вход"});
}

TEST_F(TradePicturesTest, ZoomsWriteThePictureAndANarrowOneStaysAsItIs)
{
    choose(0);
    add(QStringLiteral("узкий"));
    tab->pasteImage(filled({50, 400}, Qt::blue));
    const QString path = file(first, QStringLiteral("узкий"));
    QFile::remove(path);
    tab->ToolButton26Click();
    EXPECT_EQ(picture()->bounds(), QRect(0, 0, 50, 400));
    EXPECT_TRUE(QFile::exists(path)); // saved all the same
    tab->ToolButton25Click();
    QImage image;
    QRect bounds;
    ASSERT_TRUE(readPictureFile(path, image, bounds));
    // Enlarged undistorted (it no longer slides up-left at its own size).
    EXPECT_EQ(bounds.size(), QSize(63, 500));
    EXPECT_EQ(image.size(), QSize(50, 400));
}

TEST_F(TradePicturesTest, DeletingOnePictureLeavesTheOthersFile)
{
    choose(0);
    add(QStringLiteral("вход"));
    tab->pasteImage(filled({40, 30}, Qt::red));
    add(QStringLiteral("выход"));
    tab->pasteImage(filled({40, 30}, Qt::blue));
    prompts.answerConfirm(true);
    tab->N24Click();
    EXPECT_EQ(storedList(first), QStringList{"вход"});
    EXPECT_FALSE(QFile::exists(file(first, QStringLiteral("выход"))));
    EXPECT_TRUE(QFile::exists(file(first, QStringLiteral("вход"))));
    // The picture shown is the one now selected.
    EXPECT_EQ(picture()->picture().pixel(0, 0), qRgb(255, 0, 0));
    prompts.answerConfirm(false);
    tab->ToolButton22Click();
    EXPECT_EQ(storedList(first), QStringList{"вход"});
    EXPECT_FALSE(control<QToolButton>("ToolButton22")->isChecked());
}

TEST_F(TradePicturesTest, AnImageFileDroppedBecomesThePicture)
{
    choose(1);
    add(QStringLiteral("скрин"));
    const QString png = fx.journal().path(QStringLiteral("скрин.png"));
    ASSERT_TRUE(filled({64, 48}, Qt::magenta).save(png));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(png)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture(), &drop);
    EXPECT_EQ(picture()->picture().size(), QSize(64, 48));
    QImage image;
    QRect bounds;
    ASSERT_TRUE(readPictureFile(file(second, QStringLiteral("скрин")), image, bounds));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 255));
}

TEST_F(TradePicturesTest, APictureFromAnotherWriterShowsWithItsStoredBounds)
{
    const QString fixture = QStringLiteral(TJ_FIXTURES_DIR "/formats/dfm/02_fastreport_FR_Dict_image_treeview.dfm");
    if (!QFile::exists(fixture))
        GTEST_SKIP() << "the shared fixtures are not here";
    // The first picture control of a form written by Delphi, as a file of its own.
    QFile in(fixture);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const SnapshotObject form = readSnapshot(stripResourceHeader(in.readAll()));
    std::function<const SnapshotObject*(const SnapshotObject&)> findImage = [&](const SnapshotObject& o) {
        if (o.property("Picture.Data"))
            return &o;
        for (const SnapshotObject& child : o.children)
            if (const SnapshotObject* found = findImage(child))
                return found;
        return static_cast<const SnapshotObject*>(nullptr);
    };
    const SnapshotObject* image = findImage(form);
    ASSERT_NE(image, nullptr);
    SnapshotObject alone = *image;
    alone.children.clear();
    alone.flags.reset();
    alone.childPosition.reset();
    writeBytes(file(first, QStringLiteral("график")), writeSnapshot(alone));
    TreeSnapshotState list;
    list.entries.push_back(TreeEntry{QStringLiteral("график")});
    TradePictureStore(fx.db()).storeList(first.toLongLong(), writeTreeSnapshot(kPictureListName, list));

    PictureSnapshotState expected{QRect(7, 9, 11, 13), QImage()};
    applyPictureSnapshot(writeSnapshot(alone), expected);
    ASSERT_EQ(expected.bounds, QRect(177, 258, 16, 16)); // Left, Top, Width, Height as Delphi wrote them
    choose(0);
    ASSERT_EQ(control<QTreeWidget>("TreeView3")->topLevelItemCount(), 1);
    ASSERT_TRUE(picture()->hasPicture());
    EXPECT_EQ(picture()->picture().size(), expected.image.size());
    EXPECT_EQ(picture()->bounds().topLeft(), expected.bounds.topLeft());
    EXPECT_EQ(picture()->bounds().size(), expected.bounds.size());
}

} // namespace
