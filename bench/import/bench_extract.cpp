// Reading and extracting generated statements of 10 000 closed trades, and
// reading their header, cash movements and totals.
#include "import/core/report_file.h"
#include "import/core/statement_facts.h"
#include "import/core/trade_extraction.h"

#include "statement_generator.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTrades = 10000;

// The statement written once to a temporary file.
struct StatementFile {
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;
    explicit StatementFile(statementgen::Generated g)
        : bytes(std::move(g.bytes))
    {
        path = dir.filePath(QStringLiteral("statement.htm"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

const StatementFile& mt4File()
{
    static const StatementFile f(statementgen::mt4Statement(kTrades));
    return f;
}

const StatementFile& mt5File()
{
    static const StatementFile f(statementgen::mt5Report(kTrades));
    return f;
}

void setBytes(benchmark::State& state, const StatementFile& f)
{
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
    state.counters["trades"] = kTrades;
}

void BM_ReadTextFile_Mt4(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readTextFile(mt4File().path));
    setBytes(state, mt4File());
}

void BM_PlainRead_Mt4(benchmark::State& state)
{
    for (auto _ : state) {
        QFile f(mt4File().path);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
    }
    setBytes(state, mt4File());
}

void BM_Extract_Mt4(benchmark::State& state)
{
    const QByteArray text = readTextFile(mt4File().path);
    for (auto _ : state) {
        const Extraction e = extractTrades(text, ReportKind::MetaTrader4);
        if (e.rows.size() != kTrades)
            state.SkipWithError("wrong number of trades");
    }
    setBytes(state, mt4File());
}

void BM_ReadRecognizeExtract_Mt4(benchmark::State& state)
{
    for (auto _ : state) {
        const QByteArray text = readTextFile(mt4File().path);
        benchmark::DoNotOptimize(extractTrades(text, recognizeReport(text)));
    }
    setBytes(state, mt4File());
}

void BM_ReadRecognizeExtract_Mt5(benchmark::State& state)
{
    for (auto _ : state) {
        const QByteArray text = readTextFile(mt5File().path);
        const Extraction e = extractTrades(text, recognizeReport(text));
        if (e.rows.size() != kTrades)
            state.SkipWithError("wrong number of trades");
    }
    setBytes(state, mt5File());
}

// The statement's facts: header, cash rows and totals, from the whole text.
void statementFacts(benchmark::State& state, const StatementFile& f)
{
    const QByteArray text = decodeReportBytes(f.bytes);
    const ReportKind kind = recognizeReport(text);
    for (auto _ : state) {
        const StatementFacts facts = readStatementFacts(text, kind);
        if (!facts.hasSummary())
            state.SkipWithError("no totals found");
    }
    setBytes(state, f);
}
void BM_StatementFacts_Mt4(benchmark::State& state) { statementFacts(state, mt4File()); }
void BM_StatementFacts_Mt5(benchmark::State& state) { statementFacts(state, mt5File()); }

BENCHMARK(BM_PlainRead_Mt4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextFile_Mt4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Extract_Mt4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecognizeExtract_Mt4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecognizeExtract_Mt5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatementFacts_Mt4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatementFacts_Mt5)->Unit(benchmark::kMillisecond);

} // namespace
