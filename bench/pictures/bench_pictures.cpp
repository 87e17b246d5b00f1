// Drawing on a screenshot and choosing a trade with one, offscreen with the
// raster paint engine: a stroke segment drawn and repainted on a 1920 × 1080
// picture (one 120 Hz frame is 8 ms), and the trade picture tab showing a
// trade whose 1920 × 1080 picture is read from its file (target 50 ms).
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "state/core/control_snapshots.h"
#include "pictures/core/drawing_tool.h"
#include "pictures/core/trade_pictures.h"
#include "state/core/picture_snapshot.h"
#include "pictures/ui/picture_surface.h"
#include "pictures/ui/trade_pictures_panel.h"

#include "bench_journal.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

class BenchPrompts : public Prompts {
public:
    QStringList shown;
    void showMessage(Icon, const QString&, const QString& text) override { shown << text; }
    bool confirm(const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFile(const FileRequest&) override { return {}; }
};

// A screenshot-like picture: a gradient with a grid of lines.
QImage screenshot(int shade)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 1920, 1080);
    g.setColorAt(0, QColor(shade, 40, 60));
    g.setColorAt(1, QColor(20, 200, shade));
    p.fillRect(image.rect(), g);
    p.setPen(Qt::white);
    for (int x = 0; x < 1920; x += 40)
        p.drawLine(x, 0, x, 1080);
    for (int y = 0; y < 1080; y += 40)
        p.drawLine(0, y, 1920, y);
    return image;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void send(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
{
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// One segment of a stroke (a mouse move while drawing) and the repaint that
// shows it, on a picture shown at natural size (range 0) or fitted into a
// panel two thirds its size (range 1).
void BM_StrokeSegmentAndRepaint(benchmark::State& state)
{
    const bool fitted = state.range(0) == 1;
    DrawingTool tool;
    BenchPrompts prompts;
    QWidget panel;
    panel.resize(1920, 1080);
    PictureSurface surface(PictureSurface::Kind::TradePicture, QStringLiteral("ImPict"), tool, prompts, &panel);
    surface.setPicture(screenshot(90));
    surface.setBounds(fitted ? QRect(0, 0, 1280, 720) : QRect(0, 0, 1920, 1080));
    panel.show();
    QApplication::processEvents();
    tool.toggleDraw();
    tool.setPenWidthText(QStringLiteral("3"));
    send(&surface, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {100, 100});
    PaintCounter counter;
    surface.installEventFilter(&counter);
    int i = 0;
    for (auto _ : state) {
        // A zigzag of 20-pixel segments across the picture, as a hand draws.
        const int x = 100 + (i * 7) % 1000;
        const int y = 100 + ((i / 140) % 2 == 0 ? (i * 3) % 500 : 500 - (i * 3) % 500);
        send(&surface, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {x, y});
        QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QApplication::processEvents();
        ++i;
    }
    send(&surface, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {100, 100});
    // Every segment must have been painted, or the figure measures nothing.
    state.counters["paints_per_segment"] = double(counter.paints) / double(state.iterations());
    if (counter.paints < state.iterations())
        state.SkipWithError("segments were not painted");
    if (!surface.isModified())
        state.SkipWithError("nothing was drawn");
}
BENCHMARK(BM_StrokeSegmentAndRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The whole surface repainted (an expose after another window covered it).
void BM_FullRepaint(benchmark::State& state)
{
    DrawingTool tool;
    BenchPrompts prompts;
    QWidget panel;
    panel.resize(1920, 1080);
    PictureSurface surface(PictureSurface::Kind::TradePicture, QStringLiteral("ImPict"), tool, prompts, &panel);
    surface.setPicture(screenshot(90));
    surface.setBounds(QRect(0, 0, 1920, 1080));
    panel.show();
    QApplication::processEvents();
    for (auto _ : state)
        surface.repaint();
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

// Choosing a trade on the picture tab of a journal of 100 000 trades: its
// row and list read, its 1920 × 1080 picture file read and decoded, the tab
// painted. Two trades alternate, so every choice reads a file.
void BM_ChooseTradeWithPicture(benchmark::State& state)
{
    Journal journal(benchJournalFolder(kBenchTrades)); // the trades chosen below are among its ids
    journal.openDatabase();
    journal.activeAccount = QStringLiteral("1");
    BenchPrompts prompts;
    const QString img = journal.path(QStringLiteral("img"));
    QDir().mkpath(img);
    const qint64 trades[2] = {kBenchTrades / 2, kBenchTrades / 2 + 1};
    for (int t = 0; t < 2; ++t) {
        TreeSnapshotState list;
        list.entries.push_back(TreeEntry{QStringLiteral("вход")});
        TradePictureStore(journal.db()).storeList(trades[t], writeTreeSnapshot(kPictureListName, list));
        writePictureFile(tradePictureFile(img, journal.activeAccount, trades[t], QStringLiteral("вход")),
                         QStringLiteral("ImPict"), screenshot(60 + 100 * t), QRect(0, 0, 1920, 1080));
    }
    TradePicturesPanel tab(journal, prompts);
    tab.resize(1600, 600);
    tab.show();
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        tab.chooseTrade(QString::number(trades[i++ % 2]));
        QApplication::processEvents();
    }
    if (widgetByName<PictureSurface>(&tab, "ImPict")->picture().size() != QSize(1920, 1080))
        state.SkipWithError("the picture was not shown");
    if (!prompts.shown.isEmpty())
        state.SkipWithError(qPrintable(prompts.shown.join(u'|')));
}
BENCHMARK(BM_ChooseTradeWithPicture)->Unit(benchmark::kMillisecond)->Iterations(20);

// The part of the choice that reads the file: a 1920 × 1080 picture
// snapshot (a 6 MB bitmap) read and decoded.
void BM_ReadPictureFile(benchmark::State& state)
{
    const QString file = QDir::tempPath() + QStringLiteral("/bench_pictures_read.pat");
    writePictureFile(file, QStringLiteral("ImPict"), screenshot(120), QRect(0, 0, 1920, 1080));
    for (auto _ : state) {
        QImage image;
        QRect bounds;
        readPictureFile(file, image, bounds);
        benchmark::DoNotOptimize(image);
    }
    QFile::remove(file);
}
BENCHMARK(BM_ReadPictureFile)->Unit(benchmark::kMillisecond);

} // namespace
