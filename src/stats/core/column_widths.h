#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QByteArrayView>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

class TextTable;

// Pixel widths of texts in one font, equal to QFontMetrics::horizontalAdvance.
// For the plain Latin and Cyrillic texts of the journal the width is the sum
// of the characters' advances, looked up in a table, so a column of a hundred
// thousand cells is measured without laying out every text; anything else
// (other scripts, combining marks, tabs) is laid out by Qt as usual.
// The sum is only exact for a font without kerning and shaping, which is
// what gridFont() gives; other fonts are always laid out.
class TextWidthMeasure {
public:
    explicit TextWidthMeasure(const QFont& font);
    int width(QStringView text);
    // The same for a text given as its Windows-1251 bytes, as the journal
    // stores it: measured without decoding.
    int widthOfCp1251(QByteArrayView bytes);
    // For measuring from several threads at once: after prepareBytes() has
    // looked up every byte, the width of a Windows-1251 text whose bytes all
    // sum, or nothing for one that needs widthOfCp1251's layout. Reads only.
    void prepareBytes();
    bool sumsBytes() const { return m_sumAllowed; }
    // After prepareBytes(): the ten digits are all as wide (as in nearly
    // every font), so a number's width does not depend on which digits it has.
    bool digitsAlike() const;
    std::optional<int> summedWidthOfCp1251(QByteArrayView bytes) const;

private:
    static constexpr int kTableSize = 0x0590; // Latin, Greek, Cyrillic, Armenian
    static constexpr qint32 kUnknown = -1;
    static constexpr qint32 kLayout = -2; // the character needs a real layout
    qint32 resolve(char16_t ch);
    qint32 charAdvance(char16_t ch);

    QFont m_font;
    QFontMetrics m_metrics;
    QFontMetricsF m_metricsF;
    bool m_sumAllowed;
    std::array<qint32, kTableSize> m_advance; // in 1/64 pixel, as Qt keeps them
    std::array<qint32, 256> m_byteAdvance;    // the same by Windows-1251 byte
    std::array<qint64, 256> m_summed;         // the same, a byte needing a layout far below zero
};

// The font of the statistics grids: the family and pixel size asked for,
// black, with kerning and shaping off, so that texts are drawn as the sum of
// their characters (as the trader's old grids were) and measure fast.
QFont gridFont(const QString& family, int pixelSize);

// The column-width rule of every statistics grid: each column is as wide as
// its widest text, header included, plus 17 pixels, plus the grid's line
// width and 1. A column whose texts are all empty gets 17 + line width + 1.
int columnWidthFor(int widestText, int lineWidth);
std::vector<int> fitColumnWidths(const TextTable& table, TextWidthMeasure& measure, int lineWidth);

// A grid's texts that can give the column widths of the rule themselves,
// faster than cell by cell (the models of the statistics grids).
class ColumnWidthSource {
public:
    virtual ~ColumnWidthSource() = default;
    virtual std::vector<int> columnWidths(TextWidthMeasure& measure, int lineWidth) const = 0;
};
