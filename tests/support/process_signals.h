#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>

// True once the process has put its own handler on `signal`, so that the
// signal asks for a normal close instead of killing it.
inline bool catchesSignal(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

inline bool catchesSigterm(qint64 pid) { return catchesSignal(pid, SIGTERM); }
