#include "cli/tsv_writer.h"

#include "cli/cli_support.h"

#include "db/core/cp1251.h"

#include <QString>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace cli {

namespace {

constexpr size_t kBlock = 1 << 20;
constexpr size_t kHeld = 64 << 20;

// The UTF-8 bytes of every Windows-1251 byte, taken from the journal's own
// codec once; a tab or a line break is a blank.
struct Utf8Table {
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<unsigned char, 256> sizes{};
    Utf8Table()
    {
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QByteArray utf8 = cp1251::decode(&byte, 1).toUtf8();
            sizes[b] = static_cast<unsigned char>(utf8.size());
            for (qsizetype i = 0; i < utf8.size(); ++i)
                bytes[b][i] = utf8[i];
        }
        for (const char blank : {'\t', '\n', '\r'}) {
            bytes[static_cast<unsigned char>(blank)][0] = ' ';
            sizes[static_cast<unsigned char>(blank)] = 1;
        }
    }
};

const Utf8Table& utf8Table()
{
    static const Utf8Table table;
    return table;
}

bool plain(unsigned char b) { return b >= 0x20 && b < 0x80; }

// Eight bytes at once: none below 0x20 (subtracting 0x20 sets the top bit of
// the lowest such byte) and none of 0x80 or more.
bool plainWord(const unsigned char* at)
{
    std::uint64_t w;
    std::memcpy(&w, at, sizeof w);
    return ((w | (w - 0x2020202020202020ull)) & 0x8080808080808080ull) == 0;
}

template <class Text> void appendText(Text& out, QByteArrayView cp1251)
{
    const Utf8Table& table = utf8Table();
    const auto* at = reinterpret_cast<const unsigned char*>(cp1251.data());
    const auto* end = at + cp1251.size();
    while (at < end) {
        const unsigned char* run = at;
        while (end - at >= 8 && plainWord(at))
            at += 8;
        while (at < end && plain(*at))
            ++at;
        out.append(reinterpret_cast<const char*>(run), at - run);
        if (at == end)
            break;
        const unsigned char b = *at++;
        if (b == '\r' && at < end && *at == '\n')
            ++at; // CR LF: one blank
        out.append(table.bytes[b].data(), table.sizes[b]);
    }
}

} // namespace

void appendTsvText(std::string& out, QByteArrayView cp1251) { appendText(out, cp1251); }
void appendTsvText(LargeText& out, QByteArrayView cp1251) { appendText(out, cp1251); }

TsvWriter::TsvWriter(std::FILE* out)
    : m_out(out)
{
    m_buffer.reserve(kBlock + 4096);
}

void TsvWriter::cell(QByteArrayView cp1251)
{
    if (m_lineStarted)
        m_buffer.push_back('\t');
    m_lineStarted = true;
    appendTsvText(m_buffer, cp1251);
}

void TsvWriter::endLine()
{
    m_buffer.push_back('\n');
    m_lineStarted = false;
    // While the journal's pages are still being looked at, the lines wait
    // in the buffer (up to a bound) rather than the reading waiting.
    if (m_buffer.size() >= kBlock && (m_buffer.size() >= kHeld || !outputWaitsForCheck()))
        flush();
}

void TsvWriter::numberedLines(qint64 first, std::string_view lines)
{
    std::array<char, 24> digits;
    while (!lines.empty()) {
        const size_t end = lines.find('\n');
        const size_t length = end == std::string_view::npos ? lines.size() : end + 1;
        const char* last = std::to_chars(digits.data(), digits.data() + digits.size(), first++).ptr;
        m_buffer.append(digits.data(), static_cast<size_t>(last - digits.data()));
        m_buffer.push_back('\t');
        m_buffer.append(lines.data(), length);
        lines.remove_prefix(length);
        m_lineStarted = false;
        if (m_buffer.size() >= kBlock && (m_buffer.size() >= kHeld || !outputWaitsForCheck()))
            flush();
    }
}

void TsvWriter::utf8Line(QByteArrayView utf8)
{
    m_buffer.append(utf8.data(), static_cast<size_t>(utf8.size()));
    m_buffer.push_back('\n');
}

void TsvWriter::flush()
{
    if (m_buffer.empty())
        return;
    beforeOutput();
    std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out);
    m_buffer.clear();
}

TsvWriter::~TsvWriter()
{
    try {
        flush();
    } catch (const DamagedJournal&) {
        // main() says why; nothing read from the file is printed.
    }
}

} // namespace cli
