#pragma once

// The state of the RTF reader, shared by its two halves: rtf_reader.cpp
// reads the groups and control words, rtf_paragraphs.cpp builds the
// document's paragraphs, lists and character formats from what it reads.
// Not for use outside the reader.

#include "notebook/core/text_shape.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QHash>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <optional>
#include <vector>

class QTextDocument;
class QTextList;

namespace rtf_detail {

// Characters a paragraph cannot hold as text: line breaks would split the
// paragraph, and the document's own markers would confuse its structure.
bool keepsAsText(char16_t c);

struct CharProps {
    int font = -1; // -1: the \deff font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = 0;     // colour table index, 0: automatic
    int background = 0; // colour table index, 0: none
    bool operator==(const CharProps&) const = default;
};

struct ParaProps {
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    ListKind list = ListKind::None;
};

enum class Dest { Text, Skip, FontTable, ColourTable, ListMarker, ListDefinition };

struct Group {
    CharProps chr;
    ParaProps para;
    int uc = 1;
    Dest dest = Dest::Text;
};

struct Font {
    QString name;
    int codePage = 0;
};

constexpr int kMaxDepth = 4096;

class RtfReader {
public:
    RtfReader(QByteArrayView in, QTextDocument& document)
        : m_in(in)
        , m_data(in.data())
        , m_doc(document)
        , m_cursor(&document)
    {
    }

    void run();

private:
    Group& top() { return m_stack.back(); }
    void openGroup();
    bool closeGroup(); // false when the outermost group closed
    // The readers of the stream, each starting at m_pos and leaving it
    // after what it read.
    void readText();
    bool readControl(); // false when the stream ends after the backslash
    void readControlWord();
    void readControlSymbol(char symbol);
    bool readByteRun(); // true when a \'hh to be read singly follows the run
    void readHexByte();
    void controlWord(QByteArrayView word, bool hasParam, int param);
    void textByte(uchar b);
    void emitText(QStringView text);
    void emitChar(char16_t c) { emitText(QStringView(&c, 1)); }
    void flushBytes();
    void flushRun();
    void endParagraph(bool last);
    int codePageOf(int font) const;
    QTextCharFormat formatOf(const CharProps& p);
    void textWord(QByteArrayView word, bool hasParam, int param);

    QByteArrayView m_in;
    const char* m_data = nullptr; // m_in's bytes, indexed without checks in the hot loop
    qsizetype m_pos = 0;
    QTextDocument& m_doc;
    QTextCursor m_cursor;
    std::vector<Group> m_stack;
    int m_overflow = 0; // groups past kMaxDepth, read in the state of the deepest
    bool m_groupStart = false;
    bool m_ignorable = false;
    int m_skip = 0; // fallback characters after \u still to skip

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, Font> m_fonts;
    int m_fontIndex = 0;
    QByteArray m_fontBytes;
    std::vector<std::optional<QColor>> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;

    QByteArray m_bytes; // undecoded text bytes, all in one font
    int m_bytesCodePage = 0;
    QString m_run;
    CharProps m_runProps;
    std::optional<CharProps> m_formatKey;
    QTextCharFormat m_format;

    bool m_marker = false;    // a list marker (\pntext, \listtext) in this paragraph
    QString m_markerText;
    bool m_paragraphHasText = false;
    bool m_paragraphHasRun = false;
    QTextList* m_list = nullptr;
    ListKind m_listKind = ListKind::None;
};


} // namespace rtf_detail
