#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <vector>

// The order of a grid's cells when the trader sorts by a column: a cell is
// read as a number ("-1 234,50", "76,80%", "0.10"), as a date and time
// ("2017.10.06 09:56:55", "2017.10.06", "06.10.2017") or else as text, so
// that numbers and dates sort by value and not letter by letter.
namespace cellorder {

enum class Kind : quint8 { Number, Date, Text, Empty };

struct SortKey {
    Kind kind = Kind::Empty;
    double number = 0; // Number
    qint64 stamp = 0;  // Date: yyyyMMddhhmmss as one whole number
    QString text;      // Text
};

SortKey sortKey(QStringView text);

// Below 0 when a goes before b in the ascending order, 0 when they are
// equal. Numbers go before dates and dates before texts (in a column of
// one kind that never matters); texts compare as the locale sorts them,
// letter case aside.
int compare(const SortKey& a, const SortKey& b);
int compareTexts(QStringView a, QStringView b);

// The positions of the keys in sorted order, ascending or descending. Equal
// keys keep their order, so a second column sorts within the first one's
// ties, and empty cells go below the others in either direction.
std::vector<int> sortedPositions(const std::vector<SortKey>& keys, bool descending);

} // namespace cellorder
