#pragma once

#include "db/core/journal_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <functional>

// A file that could not be written; the message names the file and the reason.
class FileWriteError : public JournalError {
public:
    using JournalError::JournalError;
};

// Every file the program writes goes through here: the content goes to a
// temporary file that replaces the target only when complete, so a crash or
// a full disk never leaves half a file. Throws FileWriteError.
void writeFileAtomically(const QString& path, const std::function<void(QIODevice&)>& writer);
void writeFileAtomically(const QString& path, const QByteArray& content);

// A state file that the program cannot read whole is kept beside itself
// before anything replaces it: `read` is given the file's bytes and throws a
// JournalError when they are damaged. The copy is named <file>.damaged (then
// .damaged.2, .damaged.3, ... so an earlier copy is never overwritten).
// Returns the copy's path, or an empty string when the file is missing,
// whole, or could not be copied.
QString keepDamagedCopy(const QString& path, const std::function<void(QByteArrayView)>& read);
// Copies a file found damaged to "<path>.damaged" (or the next free
// .damaged.N); returns the copy's path, or an empty string on failure.
QString keepDamagedCopy(const QString& path);
