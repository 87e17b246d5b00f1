// The picture surfaces driven by the mouse as the trader drives them:
// strokes through the trade picture's mapping, text stamps, which buttons
// draw where, panning, and the big window taking the chart and giving it back.
#include "pictures/core/drawing_tool.h"
#include "pictures/ui/big_picture_window.h"
#include "pictures/ui/picture_scroll_bars.h"
#include "pictures/ui/picture_surface.h"
#include "shell/qt_prompts.h"
#include "mouse_input.h"
#include "scripted_prompts.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QTemporaryDir>
#include <QDir>
#include <QInputDialog>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {


QImage white(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The rectangle of the picture's pixels that are not white.
QRect inked(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

class SurfaceTest : public ::testing::Test {
protected:
    DrawingTool tool;
    ScriptedPrompts prompts;
    QWidget container;

    PictureSurface* surface(PictureSurface::Kind kind, QSize picture, QRect bounds)
    {
        auto* s = new PictureSurface(kind, QStringLiteral("S"), tool, prompts, &container);
        s->setPicture(white(picture.width(), picture.height()));
        s->setBounds(bounds);
        return s;
    }
    void SetUp() override { container.resize(500, 300); }
    void TearDown() override
    {
        EXPECT_EQ(prompts.messageTexts(), QStringList());
        EXPECT_TRUE(prompts.allAnswersUsed());
    }
};

// Strokes and text both land on the picture pixel under the pointer.
TEST_F(SurfaceTest, TradePictureZoomedToHalfMapsStrokesAndText)
{
    PictureSurface* s = surface(PictureSurface::Kind::TradePicture, {400, 160}, {0, 0, 200, 80});
    tool.toggleDraw();
    drag(s, Qt::LeftButton, {100, 40}, {110, 40});
    const QImage& p = s->picture();
    EXPECT_EQ(p.pixel(200, 80), qRgb(0, 0, 0));
    EXPECT_EQ(p.pixel(220, 80), qRgb(0, 0, 0));
    EXPECT_EQ(p.pixel(100, 40), qRgb(255, 255, 255));
    EXPECT_EQ(inked(p).left(), 199);
    EXPECT_TRUE(s->isModified());
    EXPECT_FALSE(tool.stroking);

    s->setPicture(white(400, 160));
    tool.toggleText();
    prompts.answerText(QStringLiteral("Ш"));
    mouse(s, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {100, 40});
    const QRect text = inked(s->picture());
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 200);
    EXPECT_LT(text.left(), 206);
    EXPECT_GE(text.top(), 80);
    EXPECT_LT(text.top(), 90);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, QStringLiteral("Текст"));
}

TEST_F(SurfaceTest, MiddleButtonDrawsOnTheChartButNotOnTheTradePicture)
{
    PictureSurface* trade = surface(PictureSurface::Kind::TradePicture, {200, 100}, {0, 0, 200, 100});
    PictureSurface* chart = surface(PictureSurface::Kind::ChartPicture, {200, 100}, {0, 0, 200, 100});
    tool.toggleDraw(); // the draw button of either page
    drag(trade, Qt::MiddleButton, {10, 10}, {60, 10});
    drag(chart, Qt::MiddleButton, {10, 10}, {60, 10});
    EXPECT_TRUE(inked(trade->picture()).isEmpty());
    EXPECT_FALSE(inked(chart->picture()).isEmpty());
    // A stroke on a surface without a picture first gets a white one of its size.
    trade->removePicture();
    drag(trade, Qt::LeftButton, {10, 10}, {60, 10});
    EXPECT_EQ(trade->picture().size(), QSize(200, 100));
}

TEST_F(SurfaceTest, RightButtonPansAndPinsASmallPictureToTheContainersCorner)
{
    PictureSurface* chart = surface(PictureSurface::Kind::ChartPicture, {300, 200}, {0, 0, 300, 200});
    tool.toggleText();
    drag(chart, Qt::RightButton, {10, 10}, {50, 50});
    EXPECT_EQ(chart->bounds(), QRect(200, 100, 300, 200));
    // Panning left text mode; the button still shows pressed, yet a left
    // press stamps nothing (no question is asked) until it is chosen again.
    EXPECT_EQ(tool.mode(), DrawingTool::Mode::Move);
    EXPECT_TRUE(tool.textButtonDown());
    drag(chart, Qt::LeftButton, {10, 10}, {20, 20});
    EXPECT_TRUE(inked(chart->picture()).isEmpty());
}

TEST_F(SurfaceTest, BigWindowDrawsWideAndGivesItsPictureBackOnEsc)
{
    PictureSurface* chart = surface(PictureSurface::Kind::ChartPicture, {300, 200}, {0, 0, 300, 200});
    TFm_All big(tool, prompts);
    big.openChart(*chart, nullptr);
    PictureSurface* bigPicture = widgetByName<PictureSurface>(&big, "Image1");
    QToolButton* bigDraw = widgetByName<QToolButton>(&big, "ToolButton5");
    ASSERT_TRUE(big.isVisible());
    EXPECT_EQ(bigPicture->picture().size(), QSize(300, 200));
    bigDraw->click();
    EXPECT_TRUE(bigDraw->isChecked());
    drag(bigPicture, Qt::MiddleButton, {10, 20}, {110, 20});
    EXPECT_TRUE(inked(chart->picture()).isEmpty()); // not yet back
    QTest::keyClick(&big, Qt::Key_Escape);
    EXPECT_FALSE(big.isVisible());
    EXPECT_EQ(inked(chart->picture()).height(), 3); // the big window's pen is 3 wide
    EXPECT_TRUE(chart->isModified());
    EXPECT_EQ(tool.mode(), DrawingTool::Mode::Move);
}

TEST_F(SurfaceTest, MarkedUpPictureIsSavedAsPngForSharing)
{
    PictureSurface* s = surface(PictureSurface::Kind::TradePicture, {120, 80}, {0, 0, 60, 40});
    tool.toggleDraw();
    drag(s, Qt::LeftButton, {10, 10}, {50, 10});
    QTemporaryDir dir;
    prompts.answerFile(dir.filePath(QStringLiteral("сделка")));
    s->contextMenu()->actions().at(1)->trigger();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_TRUE(prompts.questions[0].request.save);
    const QImage saved(dir.filePath(QStringLiteral("сделка.png")));
    EXPECT_EQ(saved.size(), QSize(120, 80)); // the whole picture, not its zoomed view
    EXPECT_EQ(saved.pixel(40, 20), qRgb(0, 0, 0));
}

// A picture in a 400 × 300 pane with its scroll bars, as the trade
// picture and the chart show it.
class ScrolledSurfaceTest : public SurfaceTest {
protected:
    QWidget window;
    QWidget* pane = nullptr;
    PictureSurface* s = nullptr;
    QScrollBar* across = nullptr;
    QScrollBar* down = nullptr;

    void SetUp() override
    {
        pane = new QWidget;
        s = new PictureSurface(PictureSurface::Kind::TradePicture, QStringLiteral("S"), tool, prompts, pane);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(PictureScrollBars::wrap(pane, s, &window));
        across = widgetByName<QScrollBar>(&window, "SHScroll");
        down = widgetByName<QScrollBar>(&window, "SVScroll");
        window.resize(400, 300);
        window.show();
        QImage picture = white(400, 300);
        picture.setPixel(200, 150, qRgb(255, 0, 0));
        s->setPicture(picture);
        s->setBounds({0, 0, 400, 300});
        settle();
    }
    static void settle() { QApplication::processEvents(); }
    // The picture pixel under a point of the pane.
    QPointF pixelAt(QPointF panePoint) const { return (panePoint - QPointF(s->pos())) / s->scale(); }
    void wheel(QPoint at, int notches, Qt::KeyboardModifiers modifiers)
    {
        QWheelEvent event(QPointF(at), s->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(s, &event);
    }
};

TEST_F(ScrolledSurfaceTest, ZoomKeepsTheCentreShowsScrollBarsAndStrokesLandUnderThePointer)
{
    EXPECT_TRUE(across->isHidden());
    EXPECT_TRUE(down->isHidden());
    const QPointF centre = QRectF(pane->rect()).center();
    const QPointF before = pixelAt(centre);

    s->zoomIn();
    s->zoomIn();
    EXPECT_GT(s->width(), 600);
    EXPECT_NEAR(s->scale(), 1.5625, 0.01);
    // The pixel at the centre of the view stays there, and the picture
    // covers the whole pane: nothing slid off under a toolbar.
    EXPECT_NEAR(pixelAt(centre).x(), before.x(), 1.0);
    EXPECT_NEAR(pixelAt(centre).y(), before.y(), 1.0);
    settle(); // the bars take their room from the pane
    EXPECT_LE(s->x(), 0);
    EXPECT_GE(s->geometry().right(), pane->width() - 1);
    // Scroll bars for the sides that do not fit, at the picture's pan.
    ASSERT_FALSE(across->isHidden());
    ASSERT_FALSE(down->isHidden());
    EXPECT_EQ(across->value(), -s->x());
    EXPECT_EQ(down->value(), -s->y());
    EXPECT_EQ(across->maximum(), s->width() - pane->width());
    across->setValue(0);
    down->setValue(down->maximum());
    EXPECT_EQ(s->x(), 0);
    EXPECT_EQ(s->geometry().bottom(), pane->height() - 1);
    // The wheel scrolls the picture up and down.
    wheel({50, 50}, 1, Qt::NoModifier);
    EXPECT_LT(down->value(), down->maximum());
    EXPECT_EQ(down->value(), -s->y());

    // A stroke lands on the pixels under the pointer at this zoom.
    tool.toggleDraw();
    const QPoint from = QPoint(100, 100), to = QPoint(300, 100);
    drag(s, Qt::LeftButton, from, to);
    const QPoint mid = ((QPointF(from + to) / 2) / s->scale()).toPoint();
    EXPECT_EQ(s->picture().pixel(mid), qRgb(0, 0, 0));
    EXPECT_EQ(inked(s->picture()).left(), qRound(from.x() / s->scale()) - 1);
    tool.toggleDraw();

    // Back to its own size: no bars.
    s->zoomOut();
    s->zoomOut();
    settle();
    EXPECT_EQ(s->size(), QSize(400, 300));
    EXPECT_TRUE(across->isHidden());
    EXPECT_TRUE(down->isHidden());
}

TEST_F(ScrolledSurfaceTest, CtrlWheelZoomsUnderThePointer)
{
    QSignalSpy zoomed(s, &PictureSurface::zoomed);
    wheel({100, 80}, 1, Qt::ControlModifier);
    EXPECT_EQ(zoomed.count(), 1);
    EXPECT_EQ(s->geometry(), QRect(-25, -20, 500, 375)); // pixel (100, 80) stays under the pointer
    wheel({0, 0}, -1, Qt::ControlModifier);
    settle();
    EXPECT_EQ(s->size(), QSize(400, 300));
    EXPECT_TRUE(across->isHidden());
    EXPECT_EQ(s->pos(), QPoint(0, 0));
}

TEST_F(ScrolledSurfaceTest, TextLandsUnderThePointerWhenZoomedIn)
{
    s->zoomAround(2.0, QPointF(0, 0));
    ASSERT_EQ(s->size(), QSize(800, 600));
    tool.toggleText();
    prompts.answerText(QStringLiteral("Ш"));
    mouse(s, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {300, 200});
    mouse(s, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {300, 200});
    QImage withoutMark = s->picture();
    withoutMark.setPixel(200, 150, qRgb(255, 255, 255));
    const QRect text = inked(withoutMark);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 150);
    EXPECT_LT(text.left(), 156);
    EXPECT_GE(text.top(), 100);
    EXPECT_LT(text.top(), 110);
    tool.toggleText();
}

TEST_F(SurfaceTest, APngThatCannotBeWrittenIsToldAndNothingIsLeft)
{
    PictureSurface* s = surface(PictureSurface::Kind::ChartPicture, {60, 40}, {0, 0, 60, 40});
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("нет такой папки/график.png"));
    prompts.answerFile(missing);
    s->savePngAs();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Рисунок не сохранен.\nНе удалось записать файл")))
        << prompts.messages[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    prompts.messages.clear();
}

// The question that names a picture shows its whole title: the box is at
// least as wide as the title's text and the window frame's buttons.
TEST(NamingQuestion, TheInputBoxIsWideEnoughForItsTitle)
{
    QtPrompts prompts;
    const QString title = QStringLiteral("Название рисунка");
    QString shownTitle;
    int width = 0;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            shownTitle = box->windowTitle();
            width = box->width();
            box->setTextValue(QStringLiteral("вход"));
            box->accept();
        }
    });
    EXPECT_EQ(prompts.askText(title, QStringLiteral("Введите название"), QString()), QStringLiteral("вход"));
    EXPECT_EQ(shownTitle, title);
    EXPECT_GE(width, QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(title) + 160);
}

} // namespace
