#pragma once

#include "db/core/large_pages.h"

#include <QByteArrayView>

#include <cstdio>
#include <string>
#include <string_view>

namespace cli {

// Text of many megabytes in large pages laid in at once (db/core/large_pages.h).
using LargeText = std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>>;

// Appends a cell's text to out as TsvWriter::cell writes it (without the
// tab before it), for lines made apart from the writer.
void appendTsvText(std::string& out, QByteArrayView cp1251);
void appendTsvText(LargeText& out, QByteArrayView cp1251);

// Tab-separated lines of texts in the journal's Windows-1251 bytes, made
// into UTF-8 as they are copied into one large buffer and written in large
// blocks: a long table costs no string per cell. Tabs and line breaks inside
// a cell become blanks as tsvLine makes them (a CR LF pair one blank).
class TsvWriter {
public:
    explicit TsvWriter(std::FILE* out = stdout);
    // Writes what is left; nothing when the journal was found damaged.
    ~TsvWriter();
    TsvWriter(const TsvWriter&) = delete;
    TsvWriter& operator=(const TsvWriter&) = delete;

    void cell(QByteArrayView cp1251);
    void endLine();
    // A line already in UTF-8, written as it is.
    void utf8Line(QByteArrayView utf8);
    // Lines made apart (each ending in a line break), each written after
    // its number and a tab, numbered from first on.
    void numberedLines(qint64 first, std::string_view lines);
    // Writes the buffer (after the look at the journal's pages: see
    // cli::beforeOutput, which may throw DamagedJournal).
    void flush();

private:
    std::FILE* m_out;
    std::string m_buffer;
    bool m_lineStarted = false;
};

} // namespace cli
