// The picture surfaces driven by the mouse as the trader drives them:
// strokes through the trade picture's mapping, text stamps, which buttons
// draw where, panning, and the big window taking the chart and giving it back.
#include "pictures/core/drawing_tool.h"
#include "pictures/ui/big_picture_window.h"
#include "pictures/ui/picture_surface.h"
#include "mouse_input.h"
#include "scripted_prompts.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
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

} // namespace
