#include "notebook/core/rtf_writer.h"

#include "db/core/cp1251.h"

#include <QHash>
#include <QTextDocument>

#include <array>

namespace {

// The Windows-1251 byte of each character that has one (0: none), for the
// characters from 0x80 on.
const std::array<uchar, 0x10000>& cp1251Bytes()
{
    static const std::array<uchar, 0x10000> table = [] {
        std::array<uchar, 0x10000> t{};
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = char(b);
            const QString c = cp1251::decode(&byte, 1);
            if (c.size() == 1)
                t[c[0].unicode()] = uchar(b);
        }
        return t;
    }();
    return table;
}

void appendNumber(QByteArray& out, const char* word, int value)
{
    out += word;
    out += QByteArray::number(value);
}

// Text of a paragraph or a font name: RTF's special characters escaped,
// everything beyond printable ASCII as \u with a one-byte fallback.
void appendText(QByteArray& out, QStringView text, bool inFontTable = false)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t' && !inFontTable) {
            out += "\\tab ";
        } else if (c == 0x2028 && !inFontTable) {
            out += "\\line ";
        } else if (c >= 0x20 && c < 0x7F && !(inFontTable && c == u';')) {
            out += char(c);
        } else if (c >= 0x80 && !inFontTable && cp1251Bytes()[c]) {
            // Every text font is declared Windows-1251 (\fcharset204), so a
            // Cyrillic letter is its one byte, as WordPad writes it.
            static const char hex[] = "0123456789abcdef";
            const uchar b = cp1251Bytes()[c];
            const char escape[4] = {'\\', '\'', hex[b >> 4], hex[b & 15]};
            out.append(escape, 4);
        } else {
            appendNumber(out, "\\u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
            const QByteArray fallback = qc.isSurrogate() || !cp1251::canEncode(QStringView(&qc, 1))
                ? QByteArray("?")
                : cp1251::encode(QStringView(&qc, 1));
            const uchar b = uchar(fallback.at(0));
            if (b < 0x80 && b >= 0x20 && b != '\\' && b != '{' && b != '}') {
                out += char(b);
            } else {
                out += "\\'";
                out += QByteArray::number(b, 16).rightJustified(2, '0');
            }
        }
    }
}

struct Tables {
    QStringList fonts;
    QHash<QString, int> fontIndex;
    QList<QRgb> colours;
    QHash<QRgb, int> colourIndex;

    int font(const QString& name)
    {
        auto it = fontIndex.constFind(name);
        if (it != fontIndex.cend())
            return *it;
        fonts << name;
        return fontIndex[name] = int(fonts.size()) - 1;
    }
    // A font entry of its own for the bullet markers (\fcharset2), apart
    // from a "Symbol" that text may use.
    int bulletFont()
    {
        fonts << QStringLiteral("Symbol");
        return int(fonts.size()) - 1;
    }
    int colour(QRgb rgb)
    {
        rgb |= 0xFF000000u;
        auto it = colourIndex.constFind(rgb);
        if (it != colourIndex.cend())
            return *it;
        colours << rgb;
        return colourIndex[rgb] = int(colours.size()); // index 0 is "automatic"
    }
};

const char* alignmentWord(ParagraphAlignment a)
{
    switch (a) {
    case ParagraphAlignment::Center: return "\\qc";
    case ParagraphAlignment::Right: return "\\qr";
    case ParagraphAlignment::Justify: return "\\qj";
    case ParagraphAlignment::Left: break;
    }
    return "";
}

QString listMarker(ListKind kind, int number)
{
    static const char* const romans[] = {"m", "cm", "d", "cd", "c", "xc", "l", "xl", "x", "ix", "v", "iv", "i"};
    static const int values[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
    switch (kind) {
    case ListKind::LowerAlpha:
    case ListKind::UpperAlpha: {
        QString s;
        for (int n = number; n > 0; n = (n - 1) / 26)
            s.prepend(QChar(u'a' + (n - 1) % 26));
        return (kind == ListKind::UpperAlpha ? s.toUpper() : s) + u'.';
    }
    case ListKind::LowerRoman:
    case ListKind::UpperRoman: {
        QString s;
        int n = std::clamp(number, 1, 3999);
        for (int i = 0; i < 13; ++i) {
            while (n >= values[i]) {
                s += QLatin1StringView(romans[i]);
                n -= values[i];
            }
        }
        return (kind == ListKind::UpperRoman ? s.toUpper() : s) + u'.';
    }
    default: return QString::number(number) + u'.';
    }
}

const char* numberingWord(ListKind kind)
{
    switch (kind) {
    case ListKind::LowerAlpha: return "\\pnlcltr";
    case ListKind::UpperAlpha: return "\\pnucltr";
    case ListKind::LowerRoman: return "\\pnlcrm";
    case ListKind::UpperRoman: return "\\pnucrm";
    default: return "\\pndec";
    }
}

} // namespace

QByteArray writeRtf(const QTextDocument& document) { return writeRtf(describeText(document)); }

QByteArray writeRtf(const TextShape& shape)
{
    Tables tables;
    // Paragraphs first, so that the tables hold what they use.
    QByteArray body;
    std::optional<RunFormat> current;
    int symbolFont = -1;
    bool firstParagraph = true;
    for (const ParagraphShape& p : shape) {
        if (!firstParagraph)
            body += "\\par\r\n";
        firstParagraph = false;
        body += "\\pard";
        body += alignmentWord(p.alignment);
        if (p.list == ListKind::Bullet) {
            if (symbolFont < 0)
                symbolFont = tables.bulletFont();
            const QByteArray f = QByteArray::number(symbolFont);
            body += "{\\pntext\\f" + f + "\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + f + "\\pnindent0{\\pntxtb\\'B7}}"
                    "\\fi-360\\li720";
        } else if (p.list != ListKind::None) {
            const QByteArray marker = listMarker(p.list, p.listNumber).toLatin1();
            body += "{\\pntext " + marker + "\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1";
            body += numberingWord(p.list);
            body += "{\\pntxta.}}\\fi-360\\li720";
        }
        body += ' ';
        for (const TextRun& run : p.runs) {
            const RunFormat& f = run.format;
            QByteArray words;
            if (!current || current->family != f.family)
                appendNumber(words, "\\f", tables.font(f.family));
            if (!current || current->halfPoints != f.halfPoints)
                appendNumber(words, "\\fs", f.halfPoints);
            if (!current || current->colour != f.colour)
                appendNumber(words, "\\cf", f.colour ? tables.colour(*f.colour) : 0);
            if (!current || current->background != f.background)
                appendNumber(words, "\\highlight", f.background ? tables.colour(*f.background) : 0);
            if (!current || current->bold != f.bold)
                words += f.bold ? "\\b" : "\\b0";
            if (!current || current->italic != f.italic)
                words += f.italic ? "\\i" : "\\i0";
            if (!current || current->underline != f.underline)
                words += f.underline ? "\\ul" : "\\ulnone";
            if (!words.isEmpty())
                body += words + ' ';
            current = f;
            appendText(body, run.text);
        }
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl";
    for (qsizetype i = 0; i < tables.fonts.size(); ++i) {
        const bool symbol = int(i) == symbolFont;
        out += "{\\f" + QByteArray::number(i) + (symbol ? "\\fnil\\fcharset2 " : "\\fnil\\fcharset204 ");
        appendText(out, tables.fonts[i], true);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (QRgb c : tables.colours)
        out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
               + QByteArray::number(qBlue(c)) + ';';
    out += "}\r\n\\viewkind4\\uc1\r\n";
    out += body;
    out += "\r\n}\r\n";
    return out;
}
