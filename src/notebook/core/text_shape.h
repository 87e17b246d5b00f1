#pragma once

// What the notebook keeps of a rich text: per paragraph its alignment, its
// list marker and its runs of equally formatted text, each with the font,
// size, styles and colours that show on screen. The RTF writer writes this
// shape and the reader rebuilds it, so that a text stored and opened again
// compares equal here.

#include <QRgb>
#include <QString>

#include <optional>
#include <vector>

class QTextCharFormat;
class QTextDocument;

enum class ParagraphAlignment { Left, Center, Right, Justify };
enum class ListKind { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct RunFormat {
    QString family;
    int halfPoints = 24; // the size in half points: 24 is 12 pt
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<QRgb> colour;     // none: the editor's text colour
    std::optional<QRgb> background; // none: no highlight
    bool operator==(const RunFormat&) const = default;
};

struct TextRun {
    QString text;
    RunFormat format;
    bool operator==(const TextRun&) const = default;
};

struct ParagraphShape {
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    ListKind list = ListKind::None;
    int listNumber = 0; // the marker's number (1, 2, ...) inside its list
    std::vector<TextRun> runs;
    bool operator==(const ParagraphShape&) const = default;
};

using TextShape = std::vector<ParagraphShape>;

// The format a run shows with: properties the run lacks come from the
// document's default font (a size it lacks is 12 pt).
RunFormat effectiveFormat(const QTextDocument& document, const QTextCharFormat& format);

// Every paragraph of the document; neighbouring fragments of one format
// become one run, and empty fragments none.
TextShape describeText(const QTextDocument& document);

// The plain text of a shape, paragraphs joined by '\n'.
QString shapeText(const TextShape& shape);
