// The widget-free rules of the picture surfaces: fitting, the mapping of a
// pointer to a picture pixel, panning with its clamping, zooming, the modes
// of the drawing tool and the names a trade's picture list accepts.
#include "pictures/core/drawing_tool.h"
#include "pictures/core/picture_geometry.h"
#include "pictures/core/trade_pictures.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace picturegeom;

TEST(PictureGeometry, FitsProportionallyAndNeverEnlarges)
{
    struct Case {
        QSize picture, bounds, shown;
    };
    const Case cases[] = {
        {{400, 160}, {200, 80}, {200, 80}},    // half
        {{400, 160}, {450, 210}, {400, 160}},  // larger bounds: natural size
        {{400, 400}, {350, 150}, {150, 150}},  // the lower side decides
        {{1920, 1080}, {960, 1080}, {960, 540}},
        {{0, 0}, {100, 100}, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fittedSize(c.picture, c.bounds), c.shown) << c.picture.width() << "x" << c.bounds.width();
}

TEST(PictureGeometry, MapsAPointerToThePixelUnderIt)
{
    struct Case {
        QPoint point;
        QSize picture, bounds;
        std::optional<QPoint> pixel;
    };
    const Case cases[] = {
        {{100, 40}, {400, 160}, {200, 80}, QPoint(200, 80)}, // zoomed out to half
        {{100, 40}, {400, 160}, {450, 210}, QPoint(100, 40)}, // zoomed in: shown at natural size
        {{100, 40}, {400, 160}, {400, 160}, QPoint(100, 40)},
        {{3, 5}, {300, 300}, {200, 200}, QPoint(4, 8)},      // 4.5 and 7.5: halves to even
        {{1, 1}, {300, 300}, {200, 200}, QPoint(2, 2)},      // 1.5 to 2
        {{10, 10}, {400, 160}, {0, 160}, std::nullopt},      // a surface of width 0
        {{10, 10}, {0, 0}, {100, 100}, std::nullopt},        // no picture
    };
    for (const Case& c : cases)
        EXPECT_EQ(surfaceToPicture(c.point, c.picture, c.bounds), c.pixel) << c.point.x() << "," << c.point.y();
}

TEST(PictureGeometry, PanKeepsTheGrabbedPixelAndClampsToTheContainer)
{
    struct Case {
        QRect bounds;
        QPoint point, anchor;
        QSize container;
        QRect panned;
    };
    const Case cases[] = {
        // A picture smaller than its panel is pinned to the right and bottom.
        {{0, 0, 300, 200}, {50, 50}, {10, 10}, {500, 300}, {200, 100, 300, 200}},
        {{0, 0, 300, 200}, {0, 0}, {10, 10}, {500, 300}, {200, 100, 300, 200}},
        // A large one moves with the pointer within its edges.
        {{-100, -50, 1000, 800}, {40, 30}, {60, 70}, {500, 300}, {-120, -90, 1000, 800}},
        {{-100, -50, 1000, 800}, {500, 500}, {0, 0}, {500, 300}, {0, 0, 1000, 800}},
        {{-100, -50, 1000, 800}, {0, 0}, {900, 900}, {500, 300}, {-500, -500, 1000, 800}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pannedBounds(c.bounds, c.point, c.anchor, c.container), c.panned) << c.point.x();
}

TEST(PictureGeometry, ZoomsBy25PixelsASide)
{
    EXPECT_EQ(zoomedIn(QRect(0, 0, 400, 300)), QRect(-25, -25, 450, 350));
    EXPECT_EQ(zoomedOut(QRect(-25, -25, 450, 350)), QRect(0, 0, 400, 300));
    EXPECT_EQ(zoomedOut(QRect(0, 0, 50, 400)), QRect(0, 0, 50, 400));
    EXPECT_EQ(zoomedOut(QRect(0, 0, 400, 50)), QRect(0, 0, 400, 50));
    EXPECT_EQ(zoomedOut(QRect(0, 0, 51, 51)), QRect(25, 25, 1, 1));
}

// "+" and "−" and the wheel: the picture grows and shrinks undistorted, the
// pixel under the pivot stays there, and the picture covers the view where
// it can instead of sliding off its corner.
TEST(PictureGeometry, ZoomsAroundThePivotAndKeepsTheViewCovered)
{
    struct Case {
        const char* what;
        QRect bounds;
        QSize picture;
        double factor;
        QPointF pivot;
        QSize container;
        QRect zoomed;
    };
    const Case cases[] = {
        {"in around the view's centre", {0, 0, 400, 200}, {400, 200}, 2.0, {200, 100}, {400, 200}, {-200, -100, 800, 400}},
        {"in under the pointer", {0, 0, 400, 200}, {400, 200}, 2.0, {100, 50}, {400, 200}, {-100, -50, 800, 400}},
        {"in at the corner stays at the corner", {0, 0, 400, 200}, {400, 200}, 2.0, {0, 0}, {400, 200}, {0, 0, 800, 400}},
        {"out of a panned one stays inside", {-300, -150, 800, 400}, {400, 200}, 0.5, {200, 100}, {400, 200}, {0, 0, 400, 200}},
        {"a small one lies at the left", {0, 0, 100, 100}, {100, 100}, 1.25, {300, 150}, {500, 300}, {0, 0, 125, 125}},
        {"out stops before a side of 50", {0, 0, 50, 400}, {50, 400}, 0.8, {25, 100}, {500, 300}, {0, 0, 50, 400}},
        {"the deepest zoom stops", {0, 0, 800, 400}, {100, 50}, 2.0, {0, 0}, {500, 300}, {0, 0, 800, 400}},
        {"a fitted one grows from its shown scale", {0, 0, 200, 80}, {400, 160}, 2.0, {0, 0}, {500, 300}, {0, 0, 400, 160}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zoomedAround(c.bounds, c.picture, c.factor, c.pivot, c.container), c.zoomed) << c.what;
    EXPECT_DOUBLE_EQ(shownScale({400, 160}, {800, 320}), 2.0);
    EXPECT_DOUBLE_EQ(shownScale({400, 160}, {450, 210}), 1.125); // undistorted: the smaller ratio
    EXPECT_EQ(toPicturePixel(QPointF(300, 90), 2.0), QPoint(150, 45));
    EXPECT_EQ(toPicturePixel(QPointF(100, 40), 0.5), QPoint(200, 80));
}

TEST(PictureNames, APastedPictureIsNamedByItsTimeOnce)
{
    const QDateTime when(QDate(2026, 12, 11), QTime(14, 5, 33));
    EXPECT_EQ(pastedPictureName(when, {}), QStringLiteral("2026-12-11 14.05.33"));
    EXPECT_EQ(pastedPictureName(when, {QStringLiteral("2026-12-11 14.05.33")}), QStringLiteral("2026-12-11 14.05.33 (2)"));
    EXPECT_EQ(pastedPictureName(when, {QStringLiteral("2026-12-11 14.05.33"), QStringLiteral("2026-12-11 14.05.33 (2)")}),
              QStringLiteral("2026-12-11 14.05.33 (3)"));
    // A name a picture list accepts.
    EXPECT_EQ(pictureNameProblem(pastedPictureName(when, {}), {}), QString());
}

TEST(DrawingToolModes, ButtonsOfBothPagesAndOfTheBigWindow)
{
    using Mode = DrawingTool::Mode;
    DrawingTool tool;
    QSignalSpy changed(&tool, &DrawingTool::changed);
    EXPECT_EQ(DrawingTool::modeName(tool.mode()), QStringLiteral("Двигать"));
    struct Step {
        void (*act)(DrawingTool&);
        Mode mode;
        bool drawDown, textDown;
    };
    const Step steps[] = {
        {[](DrawingTool& t) { t.toggleDraw(); }, Mode::Draw, true, false},
        {[](DrawingTool& t) { t.toggleText(); }, Mode::Text, false, true},
        {[](DrawingTool& t) { t.toggleText(); }, Mode::Move, false, false},
        {[](DrawingTool& t) { t.toggleDraw(); }, Mode::Draw, true, false},
        {[](DrawingTool& t) { t.toggleDraw(); }, Mode::Move, false, false},
        // The big window's buttons leave the main window's look alone.
        {[](DrawingTool& t) { t.toggleBigText(); }, Mode::Text, false, false},
        {[](DrawingTool& t) { EXPECT_TRUE(t.toggleBigDraw()); }, Mode::Draw, false, false},
        {[](DrawingTool& t) { EXPECT_FALSE(t.toggleBigDraw()); }, Mode::Move, false, false},
        {[](DrawingTool& t) { t.toggleBigDraw(); t.stroking = true; t.bigWindowClosed(); }, Mode::Move, false, false},
    };
    int i = 0;
    for (const Step& s : steps) {
        s.act(tool);
        EXPECT_EQ(tool.mode(), s.mode) << i;
        EXPECT_EQ(tool.drawButtonDown(), s.drawDown) << i;
        EXPECT_EQ(tool.textButtonDown(), s.textDown) << i;
        ++i;
    }
    EXPECT_FALSE(tool.stroking);
    EXPECT_GE(changed.count(), i);

    EXPECT_EQ(tool.penWidth(), 2);
    tool.setPenWidthText(QStringLiteral("x"));
    EXPECT_EQ(tool.penWidth(), std::nullopt);
}

TEST(TradePictureNames, RefusesNamesThatCannotBeOwnFiles)
{
    const QStringList list{QStringLiteral("вход"), QStringLiteral("Выход")};
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"выход H1", true}, {"вход 2", true},
        {"вход", false}, {"ВЫХОД", false}, {" вход ", false}, // one file on any system
        {"", false}, {"   ", false},
        {"a\\b", false}, {"a/b", false}, {"a:b", false}, {"a*b", false}, {"a?b", false},
        {"a\"b", false}, {"a<b", false}, {"a>b", false}, {"a|b", false}, {"a\tb", false},
        {"конец.", false}, // Windows drops the point
    };
    for (const Case& c : cases) {
        const QString problem = pictureNameProblem(QString::fromUtf8(c.name), list);
        EXPECT_EQ(problem.isEmpty(), c.accepted) << c.name << ": " << problem.toStdString();
    }
    EXPECT_EQ(pictureNameProblem(QStringLiteral("ВХОД"), list), QStringLiteral("Рисунок \"вход\" уже есть в списке."));
    EXPECT_FALSE(pictureNameProblem(QString(101, u'я'), {}).isEmpty());
    EXPECT_EQ(tradePictureFile(QStringLiteral("/p/img"), QStringLiteral("3"), 57, QStringLiteral("вход")),
              QStringLiteral("/p/img/3_57_вход.pat"));
}
