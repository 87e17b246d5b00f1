#include "import/core/csv_table.h"

#include "db/core/cp1251.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>

namespace {

// Cells of the records of a text split at one delimiter. Each record keeps
// the line it begins on.
std::vector<CsvTable::Row> splitRecords(const QString& text, QChar delimiter, int maxRecords = -1)
{
    std::vector<CsvTable::Row> rows;
    CsvTable::Row row;
    QString cell;
    bool quoted = false, rowStarted = false;
    int line = 1;
    row.line = 1;
    const auto endCell = [&] {
        row.cells << cell;
        cell.clear();
    };
    const auto endRow = [&] {
        if (rowStarted || !row.cells.isEmpty()) {
            endCell();
            rows.push_back(std::move(row));
        }
        row = {};
        rowStarted = false;
        cell.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    cell += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            endRow();
            if (maxRecords >= 0 && static_cast<int>(rows.size()) >= maxRecords)
                return rows;
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++line;
            row.line = line;
            continue;
        }
        if (!rowStarted) {
            rowStarted = true;
            row.line = line;
        }
        if (c == delimiter) {
            endCell();
        } else if (c == u'"' && cell.trimmed().isEmpty()) {
            // A quote opens a quoted cell only at its beginning (blanks before it aside).
            quoted = true;
            cell.clear();
        } else {
            cell += c;
        }
    }
    endRow();
    return rows;
}

bool isBlank(const CsvTable::Row& row)
{
    for (const QString& cell : row.cells)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

// How well a delimiter cuts the first records: the header's cell count, and
// how many of the next rows have that count.
struct Fit {
    int headerCells = 0;
    int agreeing = 0;
};

Fit fitOf(const QString& text, QChar delimiter)
{
    const std::vector<CsvTable::Row> first = splitRecords(text, delimiter, 12);
    Fit fit;
    bool header = true;
    for (const CsvTable::Row& row : first) {
        if (isBlank(row))
            continue;
        if (header) {
            fit.headerCells = static_cast<int>(row.cells.size());
            header = false;
        } else if (static_cast<int>(row.cells.size()) == fit.headerCells) {
            ++fit.agreeing;
        }
    }
    return fit;
}

QChar detectDelimiter(const QString& text)
{
    // On a tie the tab wins over the semicolon, and the semicolon over the
    // comma: numbers with a decimal comma come with one of the first two.
    static constexpr std::array<char16_t, 3> kCandidates = {u'\t', u';', u','};
    QChar best = u',';
    Fit bestFit;
    for (const char16_t c : kCandidates) {
        const Fit fit = fitOf(text, QChar(c));
        if (fit.headerCells < 2)
            continue;
        if (fit.agreeing > bestFit.agreeing
            || (fit.agreeing == bestFit.agreeing && fit.headerCells > bestFit.headerCells)) {
            best = QChar(c);
            bestFit = fit;
        }
    }
    return best;
}

} // namespace

QString decodeCsvBytes(const QByteArray& bytes, CsvTable::Encoding* encoding)
{
    const auto set = [&](CsvTable::Encoding e) {
        if (encoding)
            *encoding = e;
    };
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        set(CsvTable::Encoding::Utf8Bom);
        return QString::fromUtf8(bytes.mid(3));
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        set(CsvTable::Encoding::Utf16);
        QStringDecoder utf16(QStringDecoder::Utf16, QStringDecoder::Flag::ConvertInvalidToNull);
        return utf16.decode(bytes); // the decoder takes the byte order mark
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        set(CsvTable::Encoding::Utf8);
        return text;
    }
    set(CsvTable::Encoding::Windows1251);
    return cp1251::decode(bytes);
}

CsvTable parseCsvText(const QString& input)
{
    QString text = input;
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        text.truncate(nul);
    CsvTable table;
    table.delimiter = detectDelimiter(text);
    std::vector<CsvTable::Row> records = splitRecords(text, table.delimiter);
    bool header = true;
    for (CsvTable::Row& row : records) {
        if (isBlank(row))
            continue;
        if (header) {
            table.headerLine = row.line;
            for (const QString& cell : row.cells)
                table.header << cell.trimmed();
            header = false;
            continue;
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

CsvTable parseCsvBytes(const QByteArray& bytes)
{
    CsvTable::Encoding encoding;
    const QString text = decodeCsvBytes(bytes, &encoding);
    CsvTable table = parseCsvText(text);
    table.encoding = encoding;
    return table;
}

CsvTable readCsvFile(const QString& path)
{
    const auto fail = [&](const QString& reason) {
        return ReportReadError(QStringLiteral("Не удалось прочитать файл \"%1\": %2").arg(path, reason));
    };
    const QFileInfo info(path);
    if (info.isDir())
        throw fail(QStringLiteral("это папка, а не файл"));
    if (info.exists() && !info.isFile())
        throw fail(QStringLiteral("это не обычный файл"));
    const QString tooLarge = QStringLiteral("файл больше %1 МБ").arg(kMaxReportFileSize >> 20);
    if (info.exists() && info.size() > kMaxReportFileSize)
        throw fail(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fail(file.errorString());
    // The size may have changed since it was looked at: never read past the limit.
    const QByteArray bytes = file.read(kMaxReportFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw fail(file.errorString());
    if (bytes.size() > kMaxReportFileSize)
        throw fail(tooLarge);
    return parseCsvBytes(bytes);
}

bool isCsvFileName(const QString& path) { return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive); }
bool isTxtFileName(const QString& path) { return path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive); }
