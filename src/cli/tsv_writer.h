#pragma once

#include <QByteArrayView>

#include <cstdio>
#include <string>

namespace cli {

// Tab-separated lines of texts in the journal's Windows-1251 bytes, made
// into UTF-8 as they are copied into one large buffer and written in large
// blocks: a long table costs no string per cell. Tabs and line breaks inside
// a cell become blanks as tsvLine makes them (a CR LF pair one blank).
class TsvWriter {
public:
    explicit TsvWriter(std::FILE* out = stdout);
    ~TsvWriter() { flush(); }
    TsvWriter(const TsvWriter&) = delete;
    TsvWriter& operator=(const TsvWriter&) = delete;

    void cell(QByteArrayView cp1251);
    void endLine();
    void flush();

private:
    std::FILE* m_out;
    std::string m_buffer;
    bool m_lineStarted = false;
};

} // namespace cli
