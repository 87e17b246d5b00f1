#pragma once

#include "db/core/journal_error.h"

#include <QByteArray>
#include <QString>


// Which terminal wrote a statement; 0 when the text is no statement we read.
enum class ReportKind { None = 0, MetaTrader4 = 4, MetaTrader5 = 5 };

// A statement file that could not be opened or read. The message names the
// file and the system's reason.
class ReportReadError : public JournalError {
public:
    using JournalError::JournalError;
};

// Files larger than this are refused before reading: no statement comes
// near it, and reading one would only exhaust memory.
constexpr qint64 kMaxReportFileSize = 256LL * 1024 * 1024;

// The raw report text of a statement file: its content as Windows-1251
// bytes, decoded by the byte order mark (UTF-16 LE/BE, UTF-8; none means the
// bytes already are Windows-1251), characters Windows-1251 lacks as '?', cut
// at the first NUL character, every line ending in CR LF. Throws
// ReportReadError.
QByteArray readTextFile(const QString& path);

// The same conversion over bytes already in memory.
QByteArray decodeReportBytes(const QByteArray& bytes);

// Decides the kind of a raw report text: a MetaTrader 4 statement by its
// generator text "MetaQuotes Software Corp.", else a MetaTrader 5 report by
// "MetaTrader 5", else a MetaTrader 4 statement whose generator line is
// missing but whose trade table is there. A Strategy Tester report is none.
ReportKind recognizeReport(const QByteArray& text);

// The refusal shown for a file of neither kind.
QString notAReportMessage();
