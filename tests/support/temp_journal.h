#pragma once

#include "context/core/journal.h"

#include <QTemporaryDir>

#include <memory>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// A program folder in a temporary directory with a real datamoney.db made
// from schema.sql, and the folders sprav, txt and img.
class TempAppDir {
public:
    explicit TempAppDir(bool withDatabase = true);
    const QString& path() const { return m_path; }
    QString file(const QString& relative) const { return m_path + u'/' + relative; }
    // A Journal over this folder with the database open (when there is one).
    std::unique_ptr<Journal> openJournal() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Writes bytes to a file, creating folders; fails the test on error.
void writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);
