#include "notebook/core/rtf_code_pages.h"
#include "notebook/core/rtf_reader_state.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace rtf_detail {

// Characters a paragraph cannot hold as text: line breaks would split the
// paragraph, and the document's own markers would confuse its structure.
bool keepsAsText(char16_t c)
{
    if (c < 0x20)
        return c == u'\t';
    return c != 0x2029 && c != 0xFFFC && c != 0xFDD0 && c != 0xFDD1;
}

namespace {

ListKind guessListKind(const QString& marker)
{
    for (const QChar c : marker) {
        if (c.isDigit())
            return ListKind::Decimal;
    }
    return ListKind::Bullet;
}

QTextListFormat::Style listStyle(ListKind kind)
{
    switch (kind) {
    case ListKind::Decimal: return QTextListFormat::ListDecimal;
    case ListKind::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case ListKind::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case ListKind::LowerRoman: return QTextListFormat::ListLowerRoman;
    case ListKind::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
    }
}

} // namespace

void RtfReader::emitText(QStringView text)
{
    if (!m_bytes.isEmpty()) {
        const QByteArray bytes = std::exchange(m_bytes, QByteArray());
        emitText(decodeCodePage(m_bytesCodePage, bytes));
    }
    if (m_stack.empty() || top().dest != Dest::Text)
        return;
    const CharProps& p = top().chr;
    if (!(p == m_runProps)) {
        flushRun();
        m_runProps = p;
    }
    for (const QChar c : text) {
        if (keepsAsText(c.unicode())) {
            m_run += c;
            m_paragraphHasText = true;
        }
    }
}

QTextCharFormat RtfReader::formatOf(const CharProps& p)
{
    if (m_formatKey && *m_formatKey == p)
        return m_format;
    QTextCharFormat f;
    const auto font = m_fonts.constFind(p.font < 0 ? m_defaultFont : p.font);
    const QString family = font != m_fonts.cend() ? font->name.trimmed() : QString();
    if (!family.isEmpty())
        f.setFontFamilies({family});
    f.setFontPointSize(p.halfPoints / 2.0);
    f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(p.italic);
    f.setFontUnderline(p.underline);
    if (p.colour > 0 && size_t(p.colour) < m_colours.size() && m_colours[size_t(p.colour)])
        f.setForeground(*m_colours[size_t(p.colour)]);
    if (p.background > 0 && size_t(p.background) < m_colours.size() && m_colours[size_t(p.background)])
        f.setBackground(*m_colours[size_t(p.background)]);
    m_formatKey = p;
    m_format = f;
    return f;
}

void RtfReader::flushRun()
{
    if (m_run.isEmpty())
        return;
    const QTextCharFormat format = formatOf(m_runProps);
    if (!m_paragraphHasRun) {
        // The paragraph's own format (its list marker's font) is its first text's.
        m_cursor.setBlockCharFormat(format);
        m_paragraphHasRun = true;
    }
    m_cursor.insertText(m_run, format);
    m_run.clear();
}

void RtfReader::endParagraph(bool last)
{
    flushBytes();
    flushRun();
    const ParaProps para = m_stack.empty() ? ParaProps{} : top().para;
    QTextBlockFormat block;
    switch (para.alignment) {
    case ParagraphAlignment::Left: break;
    case ParagraphAlignment::Center: block.setAlignment(Qt::AlignHCenter); break;
    case ParagraphAlignment::Right: block.setAlignment(Qt::AlignRight); break;
    case ParagraphAlignment::Justify: block.setAlignment(Qt::AlignJustify); break;
    }
    m_cursor.setBlockFormat(block);
    ListKind kind = para.list != ListKind::None ? para.list : (m_marker ? guessListKind(m_markerText) : ListKind::None);
    // The paragraph after the last paragraph mark is a list item only when
    // it says so with a marker or holds text.
    if (last && !m_marker && !m_paragraphHasText)
        kind = ListKind::None;
    if (kind == ListKind::None) {
        m_list = nullptr;
    } else if (m_list && m_listKind == kind) {
        m_list->add(m_cursor.block());
    } else {
        QTextListFormat format;
        format.setStyle(listStyle(kind));
        format.setIndent(1);
        m_list = m_cursor.createList(format);
        m_listKind = kind;
    }
    m_marker = false;
    m_markerText.clear();
    m_paragraphHasText = false;
    m_paragraphHasRun = false;
    if (!last)
        m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

} // namespace rtf_detail
