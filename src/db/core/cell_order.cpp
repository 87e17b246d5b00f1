#include "db/core/cell_order.h"

#include "db/core/numbers.h"

#include <QCollator>

#include <algorithm>
#include <optional>

namespace cellorder {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == QChar(0xA0) || c == QChar(0x202F) || c == u'\t'; }

// "-1 234,50", "76,80%", "+5", "0.10": blanks between digit groups and a
// percent sign at the end are part of how the grids show a number.
std::optional<double> readNumber(QStringView text)
{
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (!isBlank(c))
            compact.append(c);
    }
    if (compact.endsWith(u'%'))
        compact.chop(1);
    if (compact.isEmpty())
        return std::nullopt;
    for (const QChar c : compact) {
        // Only what a number is written with: no exponent words, no "inf".
        if (!c.isDigit() && c != u',' && c != u'.' && c != u'-' && c != u'+' && c != u'e' && c != u'E')
            return std::nullopt;
    }
    if (const auto value = num::parseComma(compact))
        return value;
    return num::parsePoint(compact);
}

// Digits at [from, from + count) as a whole number, or -1.
int digitsAt(QStringView text, qsizetype from, int count)
{
    if (from + count > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[from + i];
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// "yyyy.MM.dd", "dd.MM.yyyy", either followed by " hh:mm" or " hh:mm:ss".
std::optional<qint64> readDate(QStringView text)
{
    int year, month, day;
    if (text.size() >= 10 && text[4] == u'.' && text[7] == u'.') {
        year = digitsAt(text, 0, 4);
        month = digitsAt(text, 5, 2);
        day = digitsAt(text, 8, 2);
    } else if (text.size() >= 10 && text[2] == u'.' && text[5] == u'.') {
        day = digitsAt(text, 0, 2);
        month = digitsAt(text, 3, 2);
        year = digitsAt(text, 6, 4);
    } else {
        return std::nullopt;
    }
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    const QStringView time = text.mid(10);
    if (!time.isEmpty()) {
        if (time.size() != 6 && time.size() != 9)
            return std::nullopt;
        if (time[0] != u' ' || time[3] != u':' || (time.size() == 9 && time[6] != u':'))
            return std::nullopt;
        hour = digitsAt(time, 1, 2);
        minute = digitsAt(time, 4, 2);
        second = time.size() == 9 ? digitsAt(time, 7, 2) : 0;
        if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
            return std::nullopt;
    }
    return ((((qint64(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second;
}

const QCollator& collator()
{
    static const QCollator c = [] {
        QCollator made(QLocale(QLocale::Russian, QLocale::Russia));
        made.setCaseSensitivity(Qt::CaseInsensitive);
        made.setNumericMode(true);
        return made;
    }();
    return c;
}

} // namespace

SortKey sortKey(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    SortKey key;
    if (trimmed.isEmpty())
        return key;
    if (const auto stamp = readDate(trimmed)) {
        key.kind = Kind::Date;
        key.stamp = *stamp;
    } else if (const auto number = readNumber(trimmed)) {
        key.kind = Kind::Number;
        key.number = *number;
    } else {
        key.kind = Kind::Text;
        key.text = trimmed.toString();
    }
    return key;
}

int compare(const SortKey& a, const SortKey& b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    switch (a.kind) {
    case Kind::Number: return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    case Kind::Date: return a.stamp < b.stamp ? -1 : (b.stamp < a.stamp ? 1 : 0);
    case Kind::Text: return collator().compare(a.text, b.text);
    case Kind::Empty: break;
    }
    return 0;
}

int compareTexts(QStringView a, QStringView b) { return compare(sortKey(a), sortKey(b)); }

std::vector<int> sortedPositions(const std::vector<SortKey>& keys, bool descending)
{
    std::vector<int> positions(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        positions[i] = static_cast<int>(i);
    std::stable_sort(positions.begin(), positions.end(), [&](int x, int y) {
        const SortKey& a = keys[static_cast<std::size_t>(x)];
        const SortKey& b = keys[static_cast<std::size_t>(y)];
        const bool aEmpty = a.kind == Kind::Empty, bEmpty = b.kind == Kind::Empty;
        if (aEmpty || bEmpty)
            return !aEmpty && bEmpty;
        return descending ? compare(b, a) < 0 : compare(a, b) < 0;
    });
    return positions;
}

} // namespace cellorder
