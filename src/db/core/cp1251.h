#pragma once

#include <QByteArray>
#include <QString>

// The one place where text crosses between QString and the 8-bit Windows-1251
// form used by the database, config.ini, date.txt, the lists and snapshots.
namespace cp1251 {

// Characters that Windows-1251 lacks become '?', one per character.
QByteArray encode(QStringView text);
// The same into out, whose storage is reused: for loops that encode many
// texts one after the other.
void encodeInto(QStringView text, QByteArray& out);
QString decode(const char* data, qsizetype size);
// Appends the decoded text to out, for loops that gather many texts into
// one buffer without a string each.
void decodeAppend(const char* data, qsizetype size, QString& out);
inline QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }

// True when every character of the text has a Windows-1251 byte.
bool canEncode(QStringView text);

} // namespace cp1251
