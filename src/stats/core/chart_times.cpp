#include "stats/core/chart_times.h"

#include <QDate>

#include <cmath>

namespace {

constexpr qint64 kJulianDayOfEpoch = 2440588; // 1970-01-01

int code(QChar c) { return c.unicode(); }
int code(char c) { return static_cast<unsigned char>(c); }

template <typename Char>
int digit(Char c)
{
    const int u = code(c);
    return u >= '0' && u <= '9' ? u - '0' : -1;
}

// A whole number of 1 to maxDigits digits at text[i...]; moves i past it.
template <typename Text>
std::optional<int> number(const Text& text, qsizetype& i, int maxDigits)
{
    int value = 0, digits = 0;
    for (; i < text.size() && digits < maxDigits; ++i, ++digits) {
        const int d = digit(text[i]);
        if (d < 0)
            break;
        value = value * 10 + d;
    }
    return digits > 0 ? std::optional(value) : std::nullopt;
}

template <typename Text>
bool skip(const Text& text, qsizetype& i, char c)
{
    if (i < text.size() && code(text[i]) == c) {
        ++i;
        return true;
    }
    return false;
}

template <typename Text>
std::optional<qint64> parse(const Text& text)
{
    qsizetype i = 0;
    while (i < text.size() && code(text[i]) == ' ')
        ++i;
    std::optional<int> year, month, day;
    const qsizetype start = i;
    const std::optional<int> a = number(text, i, 4);
    const qsizetype aDigits = i - start;
    if (!a || !skip(text, i, '.'))
        return std::nullopt;
    const std::optional<int> b = number(text, i, 2);
    if (!b || !skip(text, i, '.'))
        return std::nullopt;
    const qsizetype third = i;
    const std::optional<int> c = number(text, i, 4);
    if (!c)
        return std::nullopt;
    if (aDigits == 4 && i - third <= 2) { // 2013.05.21
        year = a, month = b, day = c;
    } else if (aDigits <= 2 && i - third == 4) { // 21.05.2013
        year = c, month = b, day = a;
    } else {
        return std::nullopt;
    }
    if (!QDate::isValid(*year, *month, *day))
        return std::nullopt;
    qint64 ms = (QDate(*year, *month, *day).toJulianDay() - kJulianDayOfEpoch) * 86'400'000;
    while (i < text.size() && code(text[i]) == ' ')
        ++i;
    if (i == text.size())
        return ms;
    const std::optional<int> h = number(text, i, 2);
    if (!h || !skip(text, i, ':'))
        return std::nullopt;
    const std::optional<int> m = number(text, i, 2);
    if (!m)
        return std::nullopt;
    std::optional<int> s = 0;
    if (skip(text, i, ':') && !(s = number(text, i, 2)))
        return std::nullopt;
    while (i < text.size() && code(text[i]) == ' ')
        ++i;
    if (i != text.size() || *h > 23 || *m > 59 || *s > 59)
        return std::nullopt;
    return ms + ((*h * 60 + *m) * 60 + *s) * qint64(1000);
}

} // namespace

std::optional<qint64> tradeMsecs(QStringView text) { return parse(text); }
std::optional<qint64> tradeMsecs(QByteArrayView bytes) { return parse(bytes); }

void settleChartTimes(std::span<double> times)
{
    double last = NAN;
    for (const double t : times) {
        if (!std::isnan(t)) {
            last = t;
            break;
        }
    }
    if (std::isnan(last))
        last = 0;
    for (double& t : times) {
        if (std::isnan(t) || t < last)
            t = last;
        last = t;
    }
}
