#pragma once

#include <QString>

#include <stdexcept>

// The base of the program's own failures (the database, statement files,
// written files, snapshot streams). The message is in the user's words and
// is shown as it is; what() holds it as UTF-8, so one catch of
// std::exception can report any of them.
class JournalError : public std::runtime_error {
public:
    explicit JournalError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
