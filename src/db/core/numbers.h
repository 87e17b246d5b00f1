#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// The one module that turns numbers into text and back. The journal writes
// and reads numbers with a comma as the decimal separator and no thousands
// separator; no other code parses a stored text with toDouble.
namespace num {

// General format with up to 15 significant digits, no trailing zeros, comma as
// decimal separator; exponent form (1,5E20, 1E-5) only where it is needed.
QString formatGeneral(double value);

// Fixed format with the given number of decimals ("0.00" is 2, "0.0" is 1).
// Rounds half away from zero on the 15-digit decimal form of the value, so
// 0,125 becomes 0,13 and 2,675 becomes 2,68, as a trader reads them.
QString formatFixed(double value, int decimals);
inline QString money(double value) { return formatFixed(value, 2); }

// A number written with a decimal comma: optional blanks around it, a sign,
// digits, a comma with decimals, an exponent. A point is not accepted.
std::optional<double> parseComma(QStringView text);

// A number as statements write it: decimal point, no blanks.
std::optional<double> parsePoint(QStringView text);

// A swap as stored (decimal comma); an empty text (a trade stored without
// one) is 0.
std::optional<double> parseSwap(QStringView text);

// The taxes of a stored trade: the statement's text as written (decimal
// point, blanks between groups of digits, "1 234.50"), or a decimal comma;
// an empty text (a trade made by hand) is 0.
std::optional<double> parseTaxes(QStringView text);

// The same parsers over a stored text's Windows-1251 bytes (a null view
// reads as an empty text): the journal's everyday forms are read from the
// bytes in place, anything else is decoded and read as above, so the result
// is always the same as decoding first.
std::optional<double> parseCommaBytes(QByteArrayView bytes);
std::optional<double> parseSwapBytes(QByteArrayView bytes);
std::optional<double> parseTaxesBytes(QByteArrayView bytes);

// formatGeneral's text written into out as Latin-1 bytes (no string on the
// heap); returns its length.
qsizetype formatGeneralInto(double value, char (&out)[48]);

// A whole number: optional sign and decimal digits, or hexadecimal after
// "0x" or "$". Anything else (including overflow) gives nothing.
std::optional<qint64> parseInteger(QStringView text);

} // namespace num
