// tradejournal-cli extract FILE: the preview of a statement as TSV.
#include "cli/cli_support.h"
#include "cli/cmd_csv.h"
#include "db/core/cp1251.h"
#include "import/core/report_file.h"
#include "import/core/trade_extraction.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <cstdio>
#include <string>

namespace {

// Writes UTF-8 TSV in chunks. Tabs and line breaks inside a cell would break
// the TSV; they are written as \t, \r and \n, and a backslash as \\. Every
// other text is as the grid holds it.
class TsvWriter {
public:
    TsvWriter()
    {
        // The UTF-8 form of each Windows-1251 byte, from the codec.
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            m_utf8[static_cast<std::size_t>(b)] = cp1251::decode(&byte, 1).toStdString();
        }
        m_utf8['\\'] = "\\\\";
        m_utf8['\t'] = "\\t";
        m_utf8['\r'] = "\\r";
        m_utf8['\n'] = "\\n";
        m_out.reserve(kChunk + 4096);
    }
    ~TsvWriter() { flush(); }

    void line(const TradeCells& cells)
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i)
                m_out += '\t';
            for (const char c : cells[i]) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x80 && b != '\\' && b != '\t' && b != '\r' && b != '\n')
                    m_out += c;
                else
                    m_out += m_utf8[b];
            }
        }
        m_out += '\n';
        if (m_out.size() >= kChunk)
            flush();
    }
    void flush()
    {
        std::fwrite(m_out.data(), 1, m_out.size(), stdout);
        m_out.clear();
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    std::array<std::string, 256> m_utf8;
    std::string m_out;
};

} // namespace

int runExtract(const QStringList& args)
{
    if (namesCsvFile(args))
        return runExtractCsv(args);
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return cli::usageError(QStringLiteral("extract"));
    QByteArray text;
    try {
        text = readTextFile(args[0]);
    } catch (const ReportReadError& e) {
        cli::err(e.message());
        return 1;
    }
    const ReportKind kind = recognizeReport(text);
    if (kind == ReportKind::None) {
        cli::err(notAReportMessage());
        return 1;
    }
    QString problem;
    {
        TsvWriter tsv;
        std::fputs(previewHeaderTexts().join(u'\t').toUtf8().append('\n').constData(), stdout);
        problem = extractTradeCells(text, kind, [&](const TradeCells& cells) { tsv.line(cells); });
    }
    std::fflush(stdout);
    if (!problem.isEmpty()) {
        cli::err(problem);
        return 1;
    }
    return 0;
}
