#include "notebook/core/rtf_code_pages.h"

#include "db/core/cp1251.h"

#include <QStringDecoder>

#include <array>

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString decodeCodePage(int codePage, QByteArrayView bytes)
{
    switch (codePage) {
    case 1251: return cp1251::decode(bytes.data(), bytes.size());
    case 1252: {
        QString out(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const uchar b = uchar(bytes[i]);
            out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
        }
        return out;
    }
    case 65001: return QString::fromUtf8(bytes);
    default: break;
    }
    const bool windows = codePage == 874 || (codePage >= 1250 && codePage <= 1258);
    const QByteArray name = (windows ? "windows-" : "CP") + QByteArray::number(codePage);
    QStringDecoder decoder(name.constData());
    if (decoder.isValid())
        return decoder.decode(bytes);
    return QString::fromLatin1(bytes);
}

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    case 2: return 1252; // Symbol: its glyphs sit on the Latin bytes
    default: return 0;
    }
}

