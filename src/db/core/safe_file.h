#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <stdexcept>

// A file that could not be written; the message names the file and the reason.
class FileWriteError : public std::runtime_error {
public:
    explicit FileWriteError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Every file the program writes goes through here: the content goes to a
// temporary file that replaces the target only when complete, so a crash or
// a full disk never leaves half a file. Throws FileWriteError.
void writeFileAtomically(const QString& path, const std::function<void(QIODevice&)>& writer);
void writeFileAtomically(const QString& path, const QByteArray& content);
