#include "db/core/cp1251.h"

#include <array>

namespace {

// Unicode code points of the bytes 0x80..0xFF. 0x98 has no character in
// Windows-1251; it maps to U+0098 so that every byte survives a round trip.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Reverse map for U+0080..U+2122 built once; 0 means "no byte".
struct ReverseTable {
    std::array<unsigned char, 0x2200> bytes{};
    ReverseTable()
    {
        for (int i = 0; i < 128; ++i)
            bytes[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
    }
};

const ReverseTable& reverseTable()
{
    static const ReverseTable table;
    return table;
}

int byteOf(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<int>(cp);
    if (cp < 0x2200) {
        const unsigned char b = reverseTable().bytes[cp];
        if (b)
            return b;
    }
    return -1;
}

} // namespace

namespace cp1251 {

QByteArray encode(QStringView text)
{
    QByteArray out;
    encodeInto(text, out);
    return out;
}

void encodeInto(QStringView text, QByteArray& out)
{
    const qsizetype n = text.size();
    out.resize(n);
    char* dst = out.data();
    qsizetype written = 0;
    const char16_t* src = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        if (c < 0x80) {
            dst[written++] = static_cast<char>(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
            ++i; // one character outside the BMP: one '?'
            dst[written++] = '?';
            continue;
        }
        const int b = byteOf(c);
        dst[written++] = b < 0 ? '?' : static_cast<char>(b);
    }
    out.truncate(written);
}

namespace {

void decodeInto(const char* data, qsizetype size, QChar* dst)
{
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = QChar(b < 0x80 ? char16_t(b) : kHigh[b - 0x80]);
    }
}

} // namespace

QString decode(const char* data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    decodeInto(data, size, out.data());
    return out;
}

void decodeAppend(const char* data, qsizetype size, QString& out)
{
    unsigned char high = 0;
    for (qsizetype i = 0; i < size; ++i)
        high |= static_cast<unsigned char>(data[i]);
    if (high < 0x80) { // plain ASCII: Qt's widening copy
        out.append(QLatin1StringView(data, size));
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + size);
    decodeInto(data, size, out.data() + start);
}

bool canEncode(QStringView text)
{
    for (const QChar ch : text) {
        if (byteOf(ch.unicode()) < 0)
            return false;
    }
    return true;
}

} // namespace cp1251
