// tradejournal-cli extract FILE: the preview of a statement as TSV.
#include "import/core/report_file.h"
#include "import/core/trade_extraction.h"

#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <string>

namespace {

// Tabs and line breaks inside a cell would break the TSV; they are written
// as \t, \r and \n, and a backslash as \\. Every other text is as the grid
// holds it, in UTF-8.
void appendCell(std::string& out, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\': out += "\\\\"; continue;
        case u'\t': out += "\\t"; continue;
        case u'\r': out += "\\r"; continue;
        case u'\n': out += "\\n"; continue;
        default: break;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            // Statement texts come from Windows-1251: no surrogate pairs.
            const QByteArray utf8 = QStringView(text).mid(i, 1).toUtf8();
            out.append(utf8.constData(), static_cast<size_t>(utf8.size()));
        }
    }
}

template <typename Cells>
void appendLine(std::string& out, const Cells& cells)
{
    bool first = true;
    for (const QString& cell : cells) {
        if (!first)
            out += '\t';
        first = false;
        appendCell(out, cell);
    }
    out += '\n';
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
    std::string out;
    out.reserve(result.rows.size() * 200 + 200);
    appendLine(out, previewHeaderTexts());
    for (const StatementRow& row : result.rows)
        appendLine(out, row.cells);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    if (!result.complete()) {
        std::fprintf(stderr, "%s\n", result.problem.toUtf8().constData());
        return 1;
    }
    return 0;
}
