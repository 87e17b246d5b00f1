#pragma once

#include "db/core/journal_error.h"

#include <QByteArray>
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
