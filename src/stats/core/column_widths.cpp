#include "stats/core/column_widths.h"

#include "stats/core/text_table.h"

#include "db/core/cp1251.h"

#include <QChar>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

bool sumAllowedFor(const QFont& font)
{
    return !font.kerning() && (font.styleStrategy() & QFont::PreferNoShaping) && font.letterSpacing() == 0
        && font.wordSpacing() == 0 && font.capitalization() == QFont::MixedCase;
}

} // namespace

TextWidthMeasure::TextWidthMeasure(const QFont& font)
    : m_font(font)
    , m_metrics(font)
    , m_metricsF(font)
    , m_sumAllowed(sumAllowedFor(font))
{
    m_advance.fill(kUnknown);
    m_byteAdvance.fill(kUnknown);
    m_summed.fill(-(qint64(1) << 40)); // until prepareBytes()
}

qint32 TextWidthMeasure::charAdvance(char16_t ch)
{
    const QChar c(ch);
    const QChar::Category category = c.category();
    const bool plain = ch >= 0x20 && !(ch >= 0x7F && ch < 0xA0) && !c.isSurrogate()
        && category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining
        && category != QChar::Mark_Enclosing && category != QChar::Other_Format
        && !QChar::requiresSurrogates(ch) && c.script() <= QChar::Script_Cyrillic;
    // Qt keeps advances in 26.6 fixed point; the float form is exact.
    return plain ? static_cast<qint32>(std::lround(m_metricsF.horizontalAdvance(c) * 64)) : kLayout;
}

qint32 TextWidthMeasure::resolve(char16_t ch)
{
    m_advance[ch] = charAdvance(ch);
    return m_advance[ch];
}

int TextWidthMeasure::width(QStringView text)
{
    if (text.isEmpty())
        return 0;
    if (m_sumAllowed) {
        qint64 sum = 0;
        bool plain = true;
        for (const QChar c : text) {
            const char16_t ch = c.unicode();
            qint32 a = ch < kTableSize ? m_advance[ch] : kLayout;
            if (a == kUnknown)
                a = resolve(ch);
            if (a < 0) {
                plain = false;
                break;
            }
            sum += a;
        }
        if (plain)
            return static_cast<int>((sum + 32) >> 6); // rounded as Qt rounds its fixed point
    }
    return m_metrics.horizontalAdvance(text.toString());
}

int TextWidthMeasure::widthOfCp1251(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    if (m_sumAllowed) {
        qint64 sum = 0;
        bool plain = true;
        for (const char b : bytes) {
            const auto byte = static_cast<unsigned char>(b);
            qint32 a = m_byteAdvance[byte];
            if (a == kUnknown)
                a = m_byteAdvance[byte] = charAdvance(cp1251::decode(&b, 1).at(0).unicode());
            if (a < 0) {
                plain = false;
                break;
            }
            sum += a;
        }
        if (plain)
            return static_cast<int>((sum + 32) >> 6);
    }
    return m_metrics.horizontalAdvance(cp1251::decode(bytes.data(), bytes.size()));
}

void TextWidthMeasure::prepareBytes()
{
    for (int byte = 0; byte < 256; ++byte) {
        if (m_byteAdvance[byte] == kUnknown) {
            const char b = static_cast<char>(byte);
            m_byteAdvance[byte] = charAdvance(cp1251::decode(&b, 1).at(0).unicode());
        }
        m_summed[byte] = m_byteAdvance[byte] >= 0 ? m_byteAdvance[byte] : -(qint64(1) << 40);
    }
}

bool TextWidthMeasure::digitsAlike() const
{
    for (int d = '1'; d <= '9'; ++d) {
        if (m_summed[d] != m_summed['0'])
            return false;
    }
    return m_summed['0'] >= 0;
}

std::optional<int> TextWidthMeasure::summedWidthOfCp1251(QByteArrayView bytes) const
{
    if (!m_sumAllowed)
        return std::nullopt;
    // Without a branch per byte: a byte that needs a layout (or was not
    // looked up) adds so much below zero that no text can make it up.
    qint64 sum = 0;
    for (const char b : bytes)
        sum += m_summed[static_cast<unsigned char>(b)];
    if (sum < 0)
        return std::nullopt;
    return static_cast<int>((sum + 32) >> 6);
}

QFont gridFont(const QString& family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

int columnWidthFor(int widestText, int lineWidth) { return widestText + 17 + lineWidth + 1; }

std::vector<int> fitColumnWidths(const TextTable& table, TextWidthMeasure& measure, int lineWidth)
{
    const int columns = table.columnCount();
    std::vector<int> widest(static_cast<size_t>(columns), 0);
    for (int col = 0; col < columns && col < table.headers().size(); ++col)
        widest[col] = measure.width(table.headers()[col]);
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int col = 0; col < columns; ++col)
            widest[col] = std::max(widest[col], measure.width(table.cell(row, col)));
    }
    for (int& w : widest)
        w = columnWidthFor(w, lineWidth);
    return widest;
}
