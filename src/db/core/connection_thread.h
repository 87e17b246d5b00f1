#pragma once

#include <QString>

#include <functional>
#include <mutex>

class QObject;
class QThread;
class TSQLiteDatabase;

// A reading of the journal on a thread of its own, over a connection of its
// own to the file, so that the window answers while a large account is
// read. One reading at a time: a new one, stop() or the end of this object
// stops the one before (its statement interrupted) and waits for it.
class ConnectionThread {
public:
    ConnectionThread() = default;
    ~ConnectionThread() { stop(); }
    ConnectionThread(const ConnectionThread&) = delete;
    ConnectionThread& operator=(const ConnectionThread&) = delete;

    // Runs read(connection) on a new thread over a new connection to path,
    // then done(read) on context's thread: read is false when the file
    // could not be opened or read threw ESQLiteException. done is not
    // called for a reading stopped before its end was told, nor after
    // context is gone.
    void start(const QString& path, QObject* context, std::function<void(TSQLiteDatabase&)> read,
               std::function<void(bool read)> done);
    void stop();
    bool running() const { return m_thread != nullptr; }

private:
    // On context's thread when a reading ends: false when it was stopped.
    bool end(quint64 reading);

    QThread* m_thread = nullptr;
    quint64 m_readings = 0; // the number of the latest reading started
    std::mutex m_mutex;     // guards m_connection
    TSQLiteDatabase* m_connection = nullptr; // the thread's connection while it reads
};
