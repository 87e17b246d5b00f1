#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>

// True once the process has put its own handler on SIGTERM, so that the
// signal asks for a normal close instead of killing it.
inline bool catchesSigterm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}
