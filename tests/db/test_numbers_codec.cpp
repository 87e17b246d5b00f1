#include "db/core/cp1251.h"
#include "db/core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Numbers, GeneralFormat)
{
    const std::vector<std::pair<double, QString>> cases = {
        {0.0, "0"},          {0.7, "0,7"},        {-1.2, "-1,2"},          {1000.0, "1000"},
        {12.5, "12,5"},      {0.1 + 0.2, "0,3"},  {1.5e20, "1,5E20"},      {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},      {0.0001, "0,0001"},  {0.00001, "0,00001"}, {0.000001, "1E-6"},       {-0.35, "-0,35"},
        {1.0 / 3.0, "0,333333333333333"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(num::formatGeneral(value), text) << value;
}

TEST(Numbers, FixedFormatRoundsHalfAwayFromZero)
{
    const std::vector<std::tuple<double, int, QString>> cases = {
        {0.0, 2, "0,00"},     {12.5, 2, "12,50"},   {-0.35, 2, "-0,35"},   {0.125, 2, "0,13"},
        {2.675, 2, "2,68"},   {-0.125, 2, "-0,13"}, {-0.001, 2, "0,00"},  {999.995, 2, "1000,00"},
        {66.666, 1, "66,7"},  {5.0, 0, "5"},        {1234567.891, 2, "1234567,89"}, {0.05, 1, "0,1"},
    };
    for (const auto& [value, decimals, text] : cases)
        EXPECT_EQ(num::formatFixed(value, decimals), text) << value;
}

TEST(Numbers, Parsing)
{
    EXPECT_EQ(num::parseComma(u"12,5"), 12.5);
    EXPECT_EQ(num::parseComma(u" -0,35 "), -0.35);
    EXPECT_EQ(num::parseComma(u"1E3"), 1000.0);
    EXPECT_EQ(num::parseComma(u"12.5"), std::nullopt);
    EXPECT_EQ(num::parseComma(u""), std::nullopt);
    EXPECT_EQ(num::parseComma(u"1 000"), std::nullopt);
    EXPECT_EQ(num::parsePoint(u"-12.50"), -12.5);
    EXPECT_EQ(num::parseInteger(u"0x1F"), 31);
    EXPECT_EQ(num::parseInteger(u"-7"), -7);
    EXPECT_EQ(num::parseInteger(u"abc"), std::nullopt);
    EXPECT_EQ(num::parseInteger(u"99999999999999999999"), std::nullopt);
}

TEST(Cp1251, RoundTripsEveryByteAndReplacesWhatItLacks)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1251::encode(cp1251::decode(all)), all);
    EXPECT_EQ(cp1251::encode(QStringLiteral("Привет, Ёж №1")), QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6 \xB9\x31"));
    EXPECT_EQ(cp1251::encode(QStringLiteral("a中b😀c")), QByteArray("a?b?c"));
    EXPECT_FALSE(cp1251::canEncode(QStringLiteral("中")));
}

// The parsers over stored bytes read every text as decoding it first and
// parsing the decoded text does.
TEST(Numbers, BytesReadAsTheirDecodedText)
{
    const QByteArray cases[] = {
        "",        "0",        "12,5",      "-0,35",    "+3",       "12.5",     "1 234.50", "1\xA0" "234,5",
        " 7,5 ",   "\t1,2",    "1,2,3",     "1.2.3",    ",",        "-",        "1E3",      "1,5e-2",
        "abc",     "12abc",    "\xC0",      " ",        "1234567890123456", "0,1234567890123456",
        "00012,50", "-0",      "1,",        ",5",       "1.",       "1 000",    "9007199254740993",
    };
    for (const QByteArray& bytes : cases) {
        const QString text = cp1251::decode(bytes);
        EXPECT_EQ(num::parseCommaBytes(bytes), num::parseComma(text)) << bytes.toStdString();
        EXPECT_EQ(num::parseSwapBytes(bytes), num::parseSwap(text)) << bytes.toStdString();
        EXPECT_EQ(num::parseTaxesBytes(bytes), num::parseTaxes(text)) << bytes.toStdString();
    }
    EXPECT_EQ(num::parseCommaBytes(QByteArrayView()), num::parseComma(u""));
    EXPECT_EQ(num::parseSwapBytes(QByteArrayView()), num::parseSwap(u""));
    EXPECT_EQ(num::parseTaxesBytes(QByteArrayView()), num::parseTaxes(u""));
}

TEST(Numbers, GeneralFormatIntoBytesIsTheSameText)
{
    const double cases[] = {0.0,    0.7,  -1.2,          1000.0, 12.5,    0.1 + 0.2, 1.5e20, 123456789012345.0,
                            1e15,   1e-4, 1e-5,          1e-6,   -0.35,   1.0 / 3.0, -2.24,  -1e300,
                            1e-300, NAN,  INFINITY, -INFINITY, 47.3, 0.00012345678901234};
    for (const double value : cases) {
        char out[48];
        const qsizetype n = num::formatGeneralInto(value, out);
        EXPECT_EQ(QString::fromLatin1(out, n), num::formatGeneral(value)) << value;
    }
}
