#include "import/core/report_file.h"

#include "db/core/cp1251.h"
#include "db/core/large_pages.h"
#include "import/core/regex.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QStringView>

#include <algorithm>
#include <cstring>

namespace {

// Splits at CR, LF or CR LF and ends every line with CR LF; a NUL ends the
// text. Most statements use one convention throughout, so the common cases
// copy whole runs between line breaks.
QByteArray normalizeLines(const char* data, qsizetype size)
{
    if (const void* nul = std::memchr(data, 0, static_cast<size_t>(size)))
        size = static_cast<const char*>(nul) - data;
    QByteArray out;
    if (size == 0)
        return out;
    out.reserve(size + size / 16 + 2);
    adviseLargePages(out.data(), static_cast<std::size_t>(out.capacity()));
    const char* p = data;
    const char* const end = data + size;
    const auto next = [end](const char* from, char c) {
        const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
        return hit ? static_cast<const char*>(hit) : end;
    };
    const char* nextLf = next(p, '\n');
    const char* nextCr = next(p, '\r');
    while (p < end) {
        if (nextLf < p)
            nextLf = next(p, '\n');
        if (nextCr < p)
            nextCr = next(p, '\r');
        const char* lineEnd = std::min(nextLf, nextCr);
        out.append(p, lineEnd - p);
        out.append("\r\n", 2);
        if (lineEnd == end)
            break;
        p = lineEnd + (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n' ? 2 : 1);
    }
    return out;
}

// True when the text already is what normalizeLines makes of it: no NUL,
// every line ending in CR LF (the usual form of a statement), so the bytes
// read can be kept without a copy.
bool isNormalized(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    const auto size = static_cast<size_t>(bytes.size());
    if (size == 0)
        return true;
    if (size < 2 || data[size - 2] != '\r' || data[size - 1] != '\n' || std::memchr(data, 0, size))
        return false;
    size_t crs = 0, lfs = 0;
    for (const char* p = data; (p = static_cast<const char*>(std::memchr(p, '\r', size - (p - data)))); ++p)
        ++crs;
    for (const char* p = data; (p = static_cast<const char*>(std::memchr(p, '\n', size - (p - data)))); ++p) {
        if (p == data || p[-1] != '\r')
            return false;
        ++lfs;
    }
    return crs == lfs; // every CR is the one before an LF
}

QByteArray normalizeLines(const QByteArray& bytes)
{
    return isNormalized(bytes) ? bytes : normalizeLines(bytes.constData(), bytes.size());
}

QByteArray fromUtf16(const char* data, qsizetype bytes, bool littleEndian)
{
    const qsizetype units = bytes / 2; // an odd last byte is half a character: dropped
    const bool aligned = reinterpret_cast<quintptr>(data) % alignof(char16_t) == 0;
    if (littleEndian && aligned && QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        return cp1251::encode(QStringView(reinterpret_cast<const char16_t*>(data), units));
    QString text(units, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned a = in[2 * i];
        const unsigned b = in[2 * i + 1];
        out[i] = static_cast<char16_t>(littleEndian ? (a | b << 8) : (a << 8 | b));
    }
    return cp1251::encode(text);
}

bool startsWith(const QByteArray& bytes, const char* mark, qsizetype length)
{
    return bytes.size() >= length && std::memcmp(bytes.constData(), mark, static_cast<size_t>(length)) == 0;
}

bool contains(const QByteArray& text, const char* needle)
{
    return QByteArrayView(text).indexOf(QByteArrayView(needle)) >= 0;
}

bool matches(const Regex& regex, const QByteArray& text)
{
    RegexMatcher m(regex);
    return m.find(text.constData(), static_cast<size_t>(text.size()), 0) == RegexMatcher::Status::Found;
}

// The title and the generator line stand at the head of the report.
bool isStrategyTesterReport(const QByteArray& text)
{
    static const Regex tester(R"(<title>[^<>]*Strategy Tester|<meta\s+name="?generator"?\s+content="?strategy tester)");
    return matches(tester, text.left(16 * 1024));
}

// The header row of the trade table of an MT4 statement (its detailed and
// its plain form) and the right-aligned rows that the extraction reads.
bool hasMt4TradeTable(const QByteArray& text)
{
    static const Regex header([] {
        const char* cells[] = {"Ticket", "Open Time", "Type",  "Size",       "Item",  "Price", "S / L",
                               "T / P",  "(?:Close Time|&nbsp;)", "Price", "Commission", "Taxes", "Swap", "Profit"};
        std::string pattern;
        for (const char* cell : cells) {
            if (!pattern.empty())
                pattern += R"(\s*)";
            pattern += R"(<td(?:\s[^<>]*)?>\s*)";
            pattern += cell;
            pattern += R"(\s*</td>)";
        }
        return pattern;
    }());
    static const Regex rows("align=right>");
    return matches(header, text) && matches(rows, text);
}

} // namespace

QByteArray decodeReportBytes(const QByteArray& bytes)
{
    if (startsWith(bytes, "\xFF\xFE", 2))
        return normalizeLines(fromUtf16(bytes.constData() + 2, bytes.size() - 2, true));
    if (startsWith(bytes, "\xFE\xFF", 2))
        return normalizeLines(fromUtf16(bytes.constData() + 2, bytes.size() - 2, false));
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) {
        const QString text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
        return normalizeLines(cp1251::encode(text));
    }
    return normalizeLines(bytes);
}

QByteArray readTextFile(const QString& path)
{
    const auto fail = [&](const QString& reason) {
        return ReportReadError(QStringLiteral("Не удалось прочитать файл \"%1\": %2").arg(path, reason));
    };
    const QString tooLarge = QStringLiteral("файл больше %1 МБ, это не отчет MetaTrader").arg(kMaxReportFileSize >> 20);
    const QFileInfo info(path);
    if (info.isDir())
        throw fail(QStringLiteral("это папка, а не файл"));
    // A device or a pipe has no size to check and may never end (or, for a
    // pipe, never begin: opening it waits for a writer).
    if (info.exists() && !info.isFile())
        throw fail(QStringLiteral("это не обычный файл"));
    if (info.exists() && info.size() > kMaxReportFileSize)
        throw fail(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fail(file.errorString());
    // The size may have changed since it was looked at: never read past the limit.
    QByteArray bytes(std::min(info.size(), kMaxReportFileSize) + 1, Qt::Uninitialized);
    // A large statement is read into fresh memory.
    adviseLargePages(bytes.data(), static_cast<std::size_t>(bytes.size()));
    qint64 got = 0;
    for (;;) {
        const qint64 n = file.read(bytes.data() + got, bytes.size() - got);
        if (n < 0)
            throw fail(file.errorString());
        got += n;
        if (n == 0 || got > kMaxReportFileSize)
            break;
        if (got == bytes.size()) // it grew meanwhile
            bytes.resize(std::min(bytes.size() * 2, kMaxReportFileSize + 1));
    }
    if (got > kMaxReportFileSize)
        throw fail(tooLarge);
    bytes.truncate(got);
    return decodeReportBytes(bytes);
}

ReportKind recognizeReport(const QByteArray& text)
{
    if (isStrategyTesterReport(text))
        return ReportKind::None;
    if (contains(text, "MetaQuotes Software Corp."))
        return ReportKind::MetaTrader4;
    if (contains(text, "MetaTrader 5"))
        return ReportKind::MetaTrader5;
    if (hasMt4TradeTable(text))
        return ReportKind::MetaTrader4;
    return ReportKind::None;
}

QString notAReportMessage()
{
    return QStringLiteral("Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!");
}
