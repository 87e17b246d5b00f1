#include "db/core/numbers.h"

#include "db/core/cp1251.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The value as sign, 15 significant digits and a decimal exponent:
// value = 0.d1d2...d15 * 10^(exp10+1) with d1 != 0 (exp10 is the exponent of d1).
struct Decimal15 {
    bool negative = false;
    std::string digits; // 15 digits, or empty for zero
    int exp10 = 0;
};

Decimal15 toDecimal15(double value)
{
    Decimal15 d;
    if (value == 0.0 || !std::isfinite(value))
        return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    const char* p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    d.digits.push_back(*p++);
    if (*p == '.')
        ++p;
    while (*p >= '0' && *p <= '9')
        d.digits.push_back(*p++);
    if (*p == 'e' || *p == 'E')
        d.exp10 = std::atoi(p + 1);
    return d;
}

QString specialText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
}

constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common case of a journal's numbers, money with a few decimals, without
// the 15-digit detour through printf. When value * 10^d is a whole number m
// below 10^15, value lies within one part in 10^16 of m / 10^d, which is a
// number of at most 15 significant digits: the 15-digit rounding of value
// is then m / 10^d exactly, so the text is the same as the long way gives.
// Up to 4 decimals keeps the value above 1E-5, where the long way would
// switch to exponent form.
// The text is written backwards ending at end; returns where it starts,
// or nullptr when the value needs the long way.
char* shortDecimalChars(double value, char* end)
{
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const double scaled = value * kPow10[decimals];
        if (std::abs(scaled) >= 1e15)
            return nullptr;
        if (scaled != std::trunc(scaled))
            continue;
        const qint64 m = static_cast<qint64>(scaled);
        quint64 magnitude = static_cast<quint64>(m < 0 ? -m : m);
        // Digits from the right: the decimals without trailing zeros, the
        // comma, the whole part, the sign.
        char* p = end;
        bool significant = false;
        for (int i = 0; i < decimals; ++i) {
            const char digit = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
            if (digit != '0' || significant) {
                *--p = digit;
                significant = true;
            }
        }
        if (significant)
            *--p = ',';
        do {
            *--p = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude > 0);
        if (m < 0)
            *--p = '-';
        return p;
    }
    return nullptr;
}

std::optional<QString> shortDecimalText(double value)
{
    char buf[32];
    const char* p = shortDecimalChars(value, buf + sizeof buf);
    if (!p)
        return std::nullopt;
    return QString::fromLatin1(p, buf + sizeof buf - p);
}

// Decimal-comma or -point numbers of up to 15 digits without exponent, the
// journal's everyday form, without building a C string for strtod. With the
// digits as a whole number below 2^53 and at most 22 decimals, one division
// by an exact power of ten is correctly rounded, so the value is the one
// strtod gives.
constexpr char16_t codeOf(QChar c) { return c.unicode(); }
constexpr char codeOf(char c) { return c; }

// The reading of parseShortDecimal over UTF-16 text or over bytes.
template <typename Char, typename View>
std::optional<double> shortDecimal(View text, Char separator)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    const auto at = [&text](qsizetype k) { return static_cast<Char>(codeOf(text[k])); };
    if (i < n && (at(i) == Char('+') || at(i) == Char('-')))
        negative = at(i++) == Char('-');
    quint64 mantissa = 0;
    int digits = 0, decimals = 0;
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const Char c = at(i);
        if (c >= Char('0') && c <= Char('9')) {
            if (++digits > 15)
                return std::nullopt;
            mantissa = mantissa * 10 + static_cast<quint64>(c - Char('0'));
            if (seenSeparator)
                ++decimals;
        } else if (c == separator && !seenSeparator) {
            seenSeparator = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    const double magnitude = static_cast<double>(mantissa) / kPow10[decimals];
    return negative ? -magnitude : magnitude;
}

std::optional<double> parseShortDecimal(QStringView text, char16_t separator)
{
    return shortDecimal<char16_t>(text, separator);
}

} // namespace

namespace num {

QString formatGeneral(double value)
{
    if (!std::isfinite(value))
        return specialText(value);
    if (std::optional<QString> text = shortDecimalText(value))
        return *text;
    Decimal15 d = toDecimal15(value);
    if (d.digits.empty())
        return QStringLiteral("0");
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    const int n = static_cast<int>(d.digits.size());
    QString out;
    if (d.negative)
        out += QLatin1Char('-');
    if (d.exp10 >= 15 || d.exp10 < -5) {
        out += QLatin1Char(d.digits[0]);
        if (n > 1) {
            out += QLatin1Char(',');
            out += QLatin1String(d.digits.data() + 1, n - 1);
        }
        out += QLatin1Char('E');
        out += QString::number(d.exp10);
        return out;
    }
    if (d.exp10 < 0) {
        out += QLatin1String("0,");
        out += QString(-d.exp10 - 1, QLatin1Char('0'));
        out += QLatin1String(d.digits.data(), n);
        return out;
    }
    const int intDigits = d.exp10 + 1;
    if (n <= intDigits) {
        out += QLatin1String(d.digits.data(), n);
        out += QString(intDigits - n, QLatin1Char('0'));
    } else {
        out += QLatin1String(d.digits.data(), intDigits);
        out += QLatin1Char(',');
        out += QLatin1String(d.digits.data() + intDigits, n - intDigits);
    }
    return out;
}

QString formatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return specialText(value);
    const Decimal15 d = toDecimal15(value);
    const int digitCount = static_cast<int>(d.digits.size());
    // The value scaled by 10^decimals as a digit string, rounded half away
    // from zero on its 15-digit decimal form.
    QByteArray scaled;
    const int keep = digitCount == 0 ? -1 : d.exp10 + 1 + decimals; // digits of d.digits that stay
    if (keep >= 0) {
        for (int i = 0; i < keep; ++i)
            scaled.append(i < digitCount ? d.digits[i] : '0');
        if (keep < digitCount && d.digits[keep] >= '5') {
            int i = static_cast<int>(scaled.size()) - 1;
            while (i >= 0 && scaled[i] == '9')
                scaled[i--] = '0';
            if (i < 0)
                scaled.prepend('1');
            else
                ++scaled[i];
        }
    }
    qsizetype firstNonZero = 0;
    while (firstNonZero < scaled.size() && scaled[firstNonZero] == '0')
        ++firstNonZero;
    scaled.remove(0, firstNonZero);
    const bool negative = d.negative && !scaled.isEmpty(); // no "-0,00"
    if (scaled.size() < decimals + 1)
        scaled.prepend(QByteArray(decimals + 1 - scaled.size(), '0'));
    QString out;
    if (negative)
        out += QLatin1Char('-');
    const qsizetype intLen = scaled.size() - decimals;
    out += QLatin1String(scaled.constData(), intLen);
    if (decimals > 0) {
        out += QLatin1Char(',');
        out += QLatin1String(scaled.constData() + intLen, decimals);
    }
    return out;
}

namespace {

std::optional<double> parseWithSeparator(QStringView text, char16_t separator)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (const std::optional<double> quick = parseShortDecimal(text, separator))
        return quick;
    std::string ascii;
    ascii.reserve(text.size());
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto at = [&](qsizetype k) { return k < n ? text[k].unicode() : char16_t(0); };
    if (at(i) == '+' || at(i) == '-')
        ascii.push_back(static_cast<char>(text[i++].unicode()));
    int mantissaDigits = 0;
    while (at(i) >= '0' && at(i) <= '9') {
        ascii.push_back(static_cast<char>(at(i++)));
        ++mantissaDigits;
    }
    if (at(i) == separator) {
        ascii.push_back('.');
        ++i;
        while (at(i) >= '0' && at(i) <= '9') {
            ascii.push_back(static_cast<char>(at(i++)));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (at(i) == 'e' || at(i) == 'E') {
        ascii.push_back('e');
        ++i;
        if (at(i) == '+' || at(i) == '-')
            ascii.push_back(static_cast<char>(at(i++)));
        int expDigits = 0;
        while (at(i) >= '0' && at(i) <= '9') {
            ascii.push_back(static_cast<char>(at(i++)));
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(ascii.c_str(), &end);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

std::optional<double> parseComma(QStringView text) { return parseWithSeparator(text, u','); }

std::optional<double> parsePoint(QStringView text) { return parseWithSeparator(text, u'.'); }

std::optional<double> parseSwap(QStringView text)
{
    return text.trimmed().isEmpty() ? std::optional<double>(0.0) : parseComma(text);
}

std::optional<double> parseTaxes(QStringView text)
{
    if (!text.contains(u' ') && !text.contains(QChar(0xA0))) // no blanks to take out: no copy
        return text.isEmpty() ? std::optional<double>(0.0) : text.contains(u',') ? parseComma(text) : parsePoint(text);
    QString compact = text.toString();
    compact.remove(u' ').remove(QChar(0xA0));
    if (compact.isEmpty())
        return 0.0;
    return compact.contains(u',') ? parseComma(compact) : parsePoint(compact);
}

std::optional<qint64> parseInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        text = text.mid(1);
    }
    int base = 10;
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        text = text.mid(2);
    } else if (text.startsWith(u'$')) {
        base = 16;
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar ch : text) {
        const bool ok = base == 10 ? ch.isDigit() && ch.unicode() < 0x80
                                   : (ch.unicode() < 0x80 && std::isxdigit(ch.unicode()));
        if (!ok)
            return std::nullopt;
    }
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    return negative ? -v : v;
}

} // namespace num

namespace {

// parseShortDecimal over bytes that hold nothing but a sign, digits and one
// separator: for such a text trimming changes nothing and decoding keeps
// every byte, so the value is the one the decoded text reads as.
std::optional<double> quickBytes(QByteArrayView bytes, char separator)
{
    return shortDecimal<char>(bytes, separator);
}

QString decodedBytes(QByteArrayView bytes) { return cp1251::decode(bytes.data(), bytes.size()); }

} // namespace

namespace num {

std::optional<double> parseCommaBytes(QByteArrayView bytes)
{
    if (const std::optional<double> quick = quickBytes(bytes, ','))
        return quick;
    return parseComma(decodedBytes(bytes));
}

std::optional<double> parseSwapBytes(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0.0;
    if (const std::optional<double> quick = quickBytes(bytes, ','))
        return quick;
    return parseSwap(decodedBytes(bytes));
}

std::optional<double> parseTaxesBytes(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0.0;
    // Without a blank to take out, the separator decides as parseTaxes does.
    const bool comma = bytes.contains(',');
    if (const std::optional<double> quick = quickBytes(bytes, comma ? ',' : '.'))
        return quick;
    return parseTaxes(decodedBytes(bytes));
}

qsizetype formatGeneralInto(double value, char (&out)[48])
{
    if (std::isfinite(value)) {
        char buf[32];
        if (const char* p = shortDecimalChars(value, buf + sizeof buf)) {
            const qsizetype n = buf + sizeof buf - p;
            std::memcpy(out, p, static_cast<size_t>(n));
            return n;
        }
    }
    const QString text = formatGeneral(value);
    const qsizetype n = std::min<qsizetype>(text.size(), sizeof out);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = static_cast<char>(text[i].unicode());
    return n;
}

} // namespace num
