// tradejournal-cli extract FILE: the preview of a statement as TSV.
#include "import/core/report_file.h"
#include "import/core/trade_extraction.h"

#include <QByteArray>
#include <QStringList>

#include <cstdio>

namespace {

// Tabs and line breaks inside a cell would break the TSV; they are written
// as \t, \r and \n, and a backslash as \\. Every other text is as the grid
// holds it.
void appendCell(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '\\': out.append("\\\\"); break;
        case '\t': out.append("\\t"); break;
        case '\r': out.append("\\r"); break;
        case '\n': out.append("\\n"); break;
        default: out.append(c);
        }
    }
}

void appendLine(QByteArray& out, const auto& cells)
{
    bool first = true;
    for (const QString& cell : cells) {
        if (!first)
            out.append('\t');
        first = false;
        appendCell(out, cell);
    }
    out.append('\n');
}

} // namespace

int runExtract(const QStringList& args)
{
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) {
        std::fprintf(stderr, "Usage: tradejournal-cli extract FILE\n"
                             "Prints the closed trades of a MetaTrader statement as the import preview shows them:\n"
                             "a TSV of the 16 header texts and one line per trade (UTF-8; tab, CR, LF and\n"
                             "backslash inside a cell written as \\t, \\r, \\n and \\\\).\n");
        return 2;
    }
    QByteArray text;
    try {
        text = readTextFile(args[0]);
    } catch (const ReportReadError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    const ReportKind kind = recognizeReport(text);
    if (kind == ReportKind::None) {
        std::fprintf(stderr, "%s\n", notAReportMessage().toUtf8().constData());
        return 1;
    }
    const Extraction result = extractTrades(text, kind);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(result.rows.size()) * 200 + 200);
    appendLine(out, previewHeaderTexts());
    for (const StatementRow& row : result.rows)
        appendLine(out, row.cells);
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    std::fflush(stdout);
    if (!result.complete()) {
        std::fprintf(stderr, "%s\n", result.problem.toUtf8().constData());
        return 1;
    }
    return 0;
}
