// The notebook's document text at 1 MB: reading the RTF (opening a
// document must stay under 100 ms), writing it (the store after typing
// pauses), opening it in the page, and typing into it, where a keystroke
// must cost no store: the counter "stores" stays 0 over every iteration.
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/schema_setup.h"
#include "notebook/core/notebook_store.h"
#include "notebook/core/rtf_reader.h"
#include "notebook/core/rtf_writer.h"
#include "notebook/ui/notebook_page.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// About 1 MB of RTF as the notebook writes it: Cyrillic paragraphs with
// bold, coloured and underlined runs, bullets and centred titles.
const QByteArray& megabyteRtf()
{
    static const QByteArray rtf = [] {
        TextShape shape;
        RunFormat plain{QStringLiteral("Tahoma"), 24, false, false, false, qRgb(0, 0, 255), std::nullopt};
        RunFormat bold = plain;
        bold.bold = true;
        bold.colour = qRgb(200, 0, 0);
        RunFormat underline = plain;
        underline.underline = true;
        underline.halfPoints = 28;
        int i = 0;
        QByteArray out;
        while (out.size() < 1000 * 1000) {
            for (int n = 0; n < 200; ++n, ++i) {
                ParagraphShape p;
                if (i % 20 == 0) {
                    p.alignment = ParagraphAlignment::Center;
                    p.runs.push_back({QStringLiteral("Неделя %1: итоги торговли").arg(i / 20), underline});
                } else {
                    p.list = i % 5 == 0 ? ListKind::Bullet : ListKind::None;
                    p.runs.push_back({QStringLiteral("Сделка %1 по EURUSD: вход на пробое уровня, ").arg(i), plain});
                    p.runs.push_back({QStringLiteral("стоп 20 пунктов"), bold});
                    p.runs.push_back({QStringLiteral(", тейк по плану; эмоции под контролем."), plain});
                }
                shape.push_back(std::move(p));
            }
            out = writeRtf(shape);
        }
        return out;
    }();
    return rtf;
}

void BM_ReadRtf1MB(benchmark::State& state)
{
    const QByteArray& rtf = megabyteRtf();
    for (auto _ : state) {
        QTextDocument document;
        readRtf(rtf, document);
        benchmark::DoNotOptimize(document.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["bytes"] = double(rtf.size());
}
BENCHMARK(BM_ReadRtf1MB)->Unit(benchmark::kMillisecond);

void BM_WriteRtf1MB(benchmark::State& state)
{
    QTextDocument document;
    readRtf(megabyteRtf(), document);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeRtf(document));
}
BENCHMARK(BM_WriteRtf1MB)->Unit(benchmark::kMillisecond);

void BM_ReadWordPadFixture(benchmark::State& state)
{
    QFile file(QStringLiteral(TJ_FIXTURES_DIR "/formats/rtf/01_wordpad11_ru_qc_cf_pntext_bullets_numbers_wmf.rtf"));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("the shared fixtures are not here");
        return;
    }
    const QByteArray rtf = file.readAll();
    for (auto _ : state) {
        QTextDocument document;
        readRtf(rtf, document);
        benchmark::DoNotOptimize(document.blockCount());
    }
    state.counters["bytes"] = double(rtf.size());
}
BENCHMARK(BM_ReadWordPadFixture)->Unit(benchmark::kMillisecond);

// The page over a program folder whose notebook holds the 1 MB document.
struct NotebookFixture {
    QTemporaryDir dir;
    std::unique_ptr<Journal> journal;
    std::unique_ptr<NotebookPage> page;
    NotebookFixture()
    {
        QFile schema(QStringLiteral(TJ_SCHEMA_SQL));
        schema.open(QIODevice::ReadOnly);
        createDatabaseFromSchema(dir.filePath(QStringLiteral("datamoney.db")), QString::fromUtf8(schema.readAll()));
        journal = std::make_unique<Journal>(dir.path());
        journal->openDatabase();
        NotebookStore store(journal->db());
        store.addDocument(QStringLiteral("Дневник"));
        store.storeText(QStringLiteral("Дневник"), megabyteRtf());
        store.addDocument(QStringLiteral("Пусто"));
        page = std::make_unique<NotebookPage>(*journal, prompts());
        page->resize(1400, 800);
        page->prepareEditor();
        page->ensureRootFolder();
        page->show();
    }
    static Prompts& prompts();
};

class SilentPrompts : public Prompts {
public:
    void showMessage(Icon, const QString&, const QString&) override {}
    bool confirm(const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> chooseFile(const FileRequest&) override { return std::nullopt; }
};

Prompts& NotebookFixture::prompts()
{
    static SilentPrompts silent;
    return silent;
}

void BM_OpenDocument1MB(benchmark::State& state)
{
    NotebookFixture f;
    for (auto _ : state) {
        f.page->openDocumentByName(QStringLiteral("Дневник"));
        state.PauseTiming();
        f.page->openDocumentByName(QStringLiteral("Пусто"));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDocument1MB)->Unit(benchmark::kMillisecond);

void BM_KeystrokeIn1MBDocument(benchmark::State& state)
{
    NotebookFixture f;
    f.page->openDocumentByName(QStringLiteral("Дневник"));
    QTextEdit* editor = widgetByName<QTextEdit>(f.page.get(), "Editor");
    editor->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    const int storesBefore = f.page->textStoreCount();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("ж"));
        QApplication::sendEvent(editor, &press);
        QApplication::processEvents(); // timers that are due would run here
    }
    state.counters["stores"] = double(f.page->textStoreCount() - storesBefore);
}
BENCHMARK(BM_KeystrokeIn1MBDocument)->Unit(benchmark::kMicrosecond);

} // namespace
