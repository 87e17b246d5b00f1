#include "notebook/core/rtf_reader.h"

#include "db/core/cp1251.h"
#include "notebook/core/rtf_code_pages.h"
#include "notebook/core/rtf_reader_state.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace rtf_detail {

namespace {

int hexValue(char h)
{
    if (h >= '0' && h <= '9')
        return h - '0';
    if (h >= 'a' && h <= 'f')
        return h - 'a' + 10;
    if (h >= 'A' && h <= 'F')
        return h - 'A' + 10;
    return -1;
}


const QHash<QByteArray, Dest>& destinations()
{
    static const QHash<QByteArray, Dest> table = [] {
        QHash<QByteArray, Dest> t;
        for (const char* skip :
             {"info", "stylesheet", "pict", "object", "header", "headerl", "headerr", "headerf", "footer",
              "footerl", "footerr", "footerf", "footnote", "annotation", "listtable", "listoverridetable",
              "revtbl", "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles",
              "datastore", "mmathPr", "pgdsctbl", "fldinst", "bkmkstart", "bkmkend", "shppict", "nonshppict",
              "shp", "shpinst", "pntxta", "pntxtb", "filetbl", "private", "atnid", "atnauthor", "comment",
              "title", "subject", "author", "operator", "keywords", "doccomm", "company", "txe", "xe", "tc",
              "template", "userprops", "docvar", "objdata", "picprop", "blipuid", "fchars", "lchars"})
            t.insert(skip, Dest::Skip);
        t.insert("fonttbl", Dest::FontTable);
        t.insert("colortbl", Dest::ColourTable);
        t.insert("pntext", Dest::ListMarker);
        t.insert("listtext", Dest::ListMarker);
        t.insert("pn", Dest::ListDefinition);
        return t;
    }();
    return table;
}

// Control words that stand for one character of the text.
struct SymbolWord {
    const char* word;
    char16_t character;
};
constexpr SymbolWord kSymbolWords[] = {
    {"tab", u'\t'},       {"cell", u'\t'},      {"line", 0x2028},      {"bullet", 0x2022},
    {"emdash", 0x2014},   {"endash", 0x2013},   {"emspace", 0x2003},   {"enspace", 0x2002},
    {"lquote", 0x2018},   {"rquote", 0x2019},   {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
};

} // namespace

void RtfReader::openGroup()
{
    flushBytes();
    m_skip = 0;
    if (m_stack.size() >= size_t(kMaxDepth)) {
        ++m_overflow;
    } else {
        m_stack.push_back(m_stack.empty() ? Group{} : top());
    }
    m_groupStart = true;
    m_ignorable = false;
}

bool RtfReader::closeGroup()
{
    flushBytes();
    m_skip = 0;
    m_groupStart = false;
    if (m_overflow > 0) {
        --m_overflow;
        return true;
    }
    if (m_stack.size() == 1)
        return false; // the document's group: its state holds the last paragraph's
    const Group closed = top();
    m_stack.pop_back();
    if (closed.dest == Dest::ListDefinition && top().dest == Dest::Text)
        top().para.list = closed.para.list;
    if (closed.dest == Dest::FontTable && !m_fontBytes.isEmpty()) {
        // A name without its ';' at the end of its group.
        Font& f = m_fonts[m_fontIndex];
        f.name += decodeCodePage(f.codePage ? f.codePage : m_ansiCodePage, m_fontBytes);
        m_fontBytes.clear();
    }
    return true;
}

void RtfReader::run()
{
    m_doc.clear();
    m_cursor = QTextCursor(&m_doc);
    // One edit: the cursor does not work out its place on screen after
    // every insertion, and the document reports one change.
    m_cursor.beginEditBlock();
    const qsizetype n = m_in.size();
    // Skip to the first brace (isRtf allowed leading blanks).
    while (m_pos < n && m_data[m_pos] != '{')
        ++m_pos;
    while (m_pos < n) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++m_pos;
            openGroup();
            continue;
        }
        if (c == '}') {
            ++m_pos;
            if (!closeGroup())
                break;
            continue;
        }
        if (m_stack.empty())
            break;
        if (c == '\r' || c == '\n') {
            ++m_pos;
            continue;
        }
        if (c != '\\') {
            readText();
            continue;
        }
        if (!readControl())
            break;
    }
    flushBytes();
    endParagraph(true);
    m_cursor.endEditBlock();
}

// A character that is neither a brace nor a backslash.
void RtfReader::readText()
{
    const char c = m_data[m_pos];
    m_groupStart = false;
    if (uchar(c) < 0x80 && m_skip == 0 && top().dest == Dest::Text && c != ';') {
        // A stretch of plain text at once.
        const qsizetype n = m_in.size();
        qsizetype end = m_pos + 1;
        while (end < n && uchar(m_data[end]) < 0x80 && m_data[end] >= 0x20 && m_data[end] != '\\'
               && m_data[end] != '{' && m_data[end] != '}')
            ++end;
        emitText(QString::fromLatin1(m_in.sliced(m_pos, end - m_pos)));
        m_pos = end;
        return;
    }
    ++m_pos;
    textByte(uchar(c));
}

// A control word or symbol, m_pos at its backslash.
bool RtfReader::readControl()
{
    ++m_pos;
    if (m_pos >= m_in.size())
        return false;
    const char d = m_data[m_pos];
    if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
        readControlWord();
        return true;
    }
    ++m_pos;
    readControlSymbol(d);
    return true;
}

// The letters of the word, then an optional signed number and the space
// that ends it.
void RtfReader::readControlWord()
{
    const qsizetype n = m_in.size();
    const qsizetype start = m_pos;
    while (m_pos < n && ((m_data[m_pos] >= 'a' && m_data[m_pos] <= 'z') || (m_data[m_pos] >= 'A' && m_data[m_pos] <= 'Z')))
        ++m_pos;
    const QByteArrayView word = m_in.sliced(start, std::min<qsizetype>(m_pos - start, 32));
    bool negative = false, hasParam = false;
    qint64 value = 0;
    if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n && m_data[m_pos + 1] >= '0' && m_data[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    while (m_pos < n && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
        hasParam = true;
        if (value < 100000000000LL)
            value = value * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    if (m_pos < n && m_data[m_pos] == ' ')
        ++m_pos;
    value = std::clamp<qint64>(negative ? -value : value, -2147483647LL, 2147483647LL);
    controlWord(word, hasParam, int(value));
}

// The symbol after a backslash, m_pos past it.
void RtfReader::readControlSymbol(char symbol)
{
    if (symbol == '\'') {
        if (m_skip == 0 && top().dest == Dest::Text && !readByteRun())
            return;
        readHexByte();
        return;
    }
    if (symbol == '*') {
        m_ignorable = true;
        return;
    }
    m_groupStart = false;
    if (symbol == '\r' || symbol == '\n') {
        controlWord("par", false, 0);
        return;
    }
    flushBytes();
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}': textByte(uchar(symbol)); break;
    case '~': emitChar(0x00A0); break;
    case '_': emitChar(0x2011); break;
    case '\t': emitChar(u'\t'); break;
    default: break; // \- (optional hyphen), \| and \: (index marks)
    }
}

// A run of \'hh bytes, as Cyrillic text comes: gathered at once in the code
// page of the current font. m_pos is past the first \' on entry.
bool RtfReader::readByteRun()
{
    const qsizetype n = m_in.size();
    const int cp = codePageOf(top().chr.font);
    if (!m_bytes.isEmpty() && cp != m_bytesCodePage)
        flushBytes();
    m_bytesCodePage = cp;
    m_pos -= 2; // back to the backslash
    while (m_pos + 3 < n && m_data[m_pos] == '\\' && m_data[m_pos + 1] == '\'') {
        const int hi = hexValue(m_data[m_pos + 2]), lo = hexValue(m_data[m_pos + 3]);
        if (hi < 0 || lo < 0)
            break;
        const uchar b = uchar(hi * 16 + lo);
        if (b < 0x80 || m_bytes.size() >= (1 << 16))
            break; // ASCII and the rest go the general way
        m_bytes.append(char(b));
        m_pos += 4;
    }
    m_groupStart = false;
    if (m_pos + 1 < n && m_data[m_pos] == '\\' && m_data[m_pos + 1] == '\'') {
        m_pos += 2;
        return true;
    }
    return false;
}

// One \'hh byte (up to two hex digits), m_pos past the \'.
void RtfReader::readHexByte()
{
    const qsizetype n = m_in.size();
    int byte = 0, digits = 0;
    while (digits < 2 && m_pos < n) {
        const int v = hexValue(m_data[m_pos]);
        if (v < 0)
            break;
        byte = byte * 16 + v;
        ++digits;
        ++m_pos;
    }
    m_groupStart = false;
    if (digits > 0)
        textByte(uchar(byte));
}

void RtfReader::controlWord(QByteArrayView word, bool hasParam, int param)
{
    flushBytes();
    if (word == "bin") {
        // Binary data: its bytes are no text and may hold any brace.
        m_pos += std::min<qsizetype>(std::max(param, 0), m_in.size() - m_pos);
        return;
    }
    if (m_stack.empty())
        return;
    if (m_groupStart) {
        m_groupStart = false;
        const auto it = destinations().constFind(word.toByteArray());
        if (it != destinations().cend()) {
            if (top().dest != Dest::Skip)
                top().dest = *it;
            if (*it == Dest::ListMarker && top().dest == Dest::ListMarker)
                m_marker = true;
            m_ignorable = false;
            return;
        }
        if (m_ignorable) {
            m_ignorable = false;
            top().dest = Dest::Skip;
            return;
        }
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    Group& g = top();
    switch (g.dest) {
    case Dest::Skip:
    case Dest::ListMarker: return;
    case Dest::FontTable:
        if (word == "f") {
            m_fontIndex = param;
            m_fonts[param];
        } else if (word == "fcharset") {
            m_fonts[m_fontIndex].codePage = codePageOfCharset(param);
        } else if (word == "cpg" && param > 0) {
            m_fonts[m_fontIndex].codePage = param;
        } else if (word == "u") {
            Font& f = m_fonts[m_fontIndex];
            f.name += decodeCodePage(f.codePage ? f.codePage : m_ansiCodePage, std::exchange(m_fontBytes, {}));
            f.name += QChar(char16_t(param));
            m_skip = g.uc;
        }
        return;
    case Dest::ColourTable:
        if (word == "red" || word == "green" || word == "blue") {
            const int v = std::clamp(param, 0, 255);
            (word == "red" ? m_red : word == "green" ? m_green : m_blue) = v;
            m_colourSet = true;
        }
        return;
    case Dest::ListDefinition:
        if (word == "pnlvlblt")
            g.para.list = ListKind::Bullet;
        else if (word == "pnlvlbody" || word == "pnlvl" || word == "pndec" || word == "pnord" || word == "pncard")
            g.para.list = ListKind::Decimal;
        else if (word == "pnlcltr")
            g.para.list = ListKind::LowerAlpha;
        else if (word == "pnucltr")
            g.para.list = ListKind::UpperAlpha;
        else if (word == "pnlcrm")
            g.para.list = ListKind::LowerRoman;
        else if (word == "pnucrm")
            g.para.list = ListKind::UpperRoman;
        return;
    case Dest::Text: textWord(word, hasParam, param); return;
    }
}

void RtfReader::textWord(QByteArrayView word, bool hasParam, int param)
{
    Group& g = top();
    const bool on = !hasParam || param != 0;
    for (const SymbolWord& symbol : kSymbolWords) {
        if (word == symbol.word) {
            emitChar(symbol.character);
            return;
        }
    }
    switch (word.isEmpty() ? 0 : word[0]) {
    case 'a':
        if (word == "ansicpg" && param > 0)
            m_ansiCodePage = param;
        else if (word == "ansi")
            m_ansiCodePage = 1252;
        return;
    case 'b':
        if (word == "b")
            g.chr.bold = on;
        return;
    case 'c':
        if (word == "cf")
            g.chr.colour = param;
        else if (word == "cb" || word == "chcbpat")
            g.chr.background = param;
        return;
    case 'd':
        if (word == "deff")
            m_defaultFont = param;
        return;
    case 'f':
        if (word == "f")
            g.chr.font = param;
        else if (word == "fs" && hasParam)
            g.chr.halfPoints = std::clamp(param, 2, 3276);
        return;
    case 'h':
        if (word == "highlight")
            g.chr.background = param;
        return;
    case 'i':
        if (word == "i")
            g.chr.italic = on;
        return;
    case 'm':
        if (word == "mac")
            m_ansiCodePage = 10000;
        return;
    case 'p':
        if (word == "par")
            endParagraph(false);
        else if (word == "pard")
            g.para = ParaProps{};
        else if (word == "plain")
            g.chr = CharProps{};
        else if (word == "pc")
            m_ansiCodePage = 437;
        else if (word == "pca")
            m_ansiCodePage = 850;
        return;
    case 'q':
        if (word == "ql")
            g.para.alignment = ParagraphAlignment::Left;
        else if (word == "qc")
            g.para.alignment = ParagraphAlignment::Center;
        else if (word == "qr")
            g.para.alignment = ParagraphAlignment::Right;
        else if (word == "qj" || word == "qd")
            g.para.alignment = ParagraphAlignment::Justify;
        return;
    case 'r':
        if (word == "row")
            endParagraph(false);
        return;
    case 'u':
        if (word == "u" && hasParam) {
            emitChar(char16_t(param));
            m_skip = g.uc;
        } else if (word == "uc" && hasParam) {
            g.uc = std::clamp(param, 0, 16);
        } else if (word == "ul" || (word.startsWith("ul") && word != "ulnone" && word != "ulc")) {
            g.chr.underline = word == "ul" ? on : true;
        } else if (word == "ulnone") {
            g.chr.underline = false;
        }
        return;
    default: return;
    }
}

int RtfReader::codePageOf(int font) const
{
    const auto it = m_fonts.constFind(font < 0 ? m_defaultFont : font);
    if (it != m_fonts.cend() && it->codePage)
        return it->codePage;
    return m_ansiCodePage;
}

void RtfReader::textByte(uchar b)
{
    if (m_stack.empty())
        return;
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    Group& g = top();
    switch (g.dest) {
    case Dest::Skip:
    case Dest::ColourTable:
        if (g.dest == Dest::ColourTable && b == ';') {
            m_colours.push_back(m_colourSet ? std::optional<QColor>(QColor(m_red, m_green, m_blue)) : std::nullopt);
            m_red = m_green = m_blue = 0;
            m_colourSet = false;
        }
        return;
    case Dest::ListDefinition: return;
    case Dest::ListMarker: m_markerText += QChar(b); return;
    case Dest::FontTable:
        if (b == ';') {
            Font& f = m_fonts[m_fontIndex];
            f.name += decodeCodePage(f.codePage ? f.codePage : m_ansiCodePage, m_fontBytes);
            f.name = f.name.trimmed();
            m_fontBytes.clear();
        } else {
            m_fontBytes.append(char(b));
        }
        return;
    case Dest::Text: break;
    }
    if (b < 0x80) {
        emitChar(b);
        return;
    }
    const int cp = codePageOf(g.chr.font);
    if (!m_bytes.isEmpty() && cp != m_bytesCodePage)
        flushBytes();
    m_bytesCodePage = cp;
    m_bytes.append(char(b));
}

void RtfReader::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QByteArray bytes = std::exchange(m_bytes, QByteArray());
    emitText(decodeCodePage(m_bytesCodePage, bytes));
}

} // namespace rtf_detail

using rtf_detail::RtfReader;
using rtf_detail::keepsAsText;

bool isRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

void readRtf(QByteArrayView rtf, QTextDocument& document)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    RtfReader(rtf, document).run();
    document.setUndoRedoEnabled(undo);
}

void readPlainText(QByteArrayView bytes, QTextDocument& document)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = cp1251::decode(bytes.data(), bytes.size());
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    QString line;
    const auto flush = [&] {
        if (!line.isEmpty())
            cursor.insertText(line);
        line.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || c == QChar(0x2029)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            flush();
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        } else if (keepsAsText(c.unicode())) {
            line += c;
        }
    }
    flush();
    document.setUndoRedoEnabled(undo);
}

void readStoredText(QByteArrayView bytes, QTextDocument& document)
{
    if (isRtf(bytes))
        readRtf(bytes, document);
    else
        readPlainText(bytes, document);
}

