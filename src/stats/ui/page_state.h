#pragma once

#include <QDate>
#include <QDateTimeEdit>
#include <QPlainTextEdit>
#include <QString>

// Small helpers of the pages that keep their state from run to run (dates
// in date.txt, notes in config.ini).
namespace pagestate {

// A restored date keeps the picker's time of day.
inline void setDateKeepingTime(QDateTimeEdit* picker, const QDate& date)
{
    picker->setDateTime(QDateTime(date, picker->time()));
}

// Memos hold LF line breaks; the settings keep CR LF.
inline QString memoText(const QPlainTextEdit* memo)
{
    return memo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

inline void setMemoText(QPlainTextEdit* memo, QString text)
{
    memo->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

} // namespace pagestate
