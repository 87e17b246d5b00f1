#include "stats/core/text_table.h"

TextTable::TextTable(int columnCount, QStringList headers)
    : m_columnCount(columnCount)
    , m_headers(std::move(headers))
{
}

QStringView TextTable::cell(int row, int column) const
{
    const size_t index = static_cast<size_t>(row) * m_columnCount + column;
    const quint32 begin = index == 0 ? 0 : m_ends[index - 1];
    return QStringView(m_chars).mid(begin, m_ends[index] - begin);
}

void TextTable::reserve(int rows, qsizetype characters)
{
    m_ends.reserve(static_cast<size_t>(rows) * m_columnCount);
    m_chars.reserve(characters);
}

void TextTable::append(QStringView text)
{
    m_chars.append(text);
    closeCell();
}

void TextTable::closeCell()
{
    if (m_cellsInRow == m_columnCount) { // a row never grows past its columns
        m_chars.truncate(m_ends.empty() ? 0 : m_ends.back());
        return;
    }
    m_ends.push_back(static_cast<quint32>(m_chars.size()));
    ++m_cellsInRow;
}

void TextTable::endRow()
{
    while (m_cellsInRow < m_columnCount)
        append(QStringView());
    m_cellsInRow = 0;
    ++m_rowCount;
}
