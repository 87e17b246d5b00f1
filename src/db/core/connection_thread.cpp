#include "db/core/connection_thread.h"

#include "db/core/sqlite_database.h"

#include <QObject>
#include <QThread>

void ConnectionThread::start(const QString& path, QObject* context, std::function<void(TSQLiteDatabase&)> read,
                             std::function<void(bool read)> done)
{
    stop();
    const quint64 reading = ++m_readings;
    m_thread = QThread::create([this, path, context, reading, read = std::move(read), done = std::move(done)] {
        bool ok = true;
        try {
            TSQLiteDatabase connection(path);
            {
                const std::lock_guard lock(m_mutex);
                m_connection = &connection;
            }
            try {
                read(connection);
            } catch (const ESQLiteException&) {
                ok = false;
            }
            const std::lock_guard lock(m_mutex);
            m_connection = nullptr;
        } catch (const ESQLiteException&) {
            ok = false;
        }
        QMetaObject::invokeMethod(
            context,
            [this, reading, ok, done] {
                if (end(reading))
                    done(ok);
            },
            Qt::QueuedConnection);
    });
    m_thread->start();
}

void ConnectionThread::stop()
{
    if (!m_thread)
        return;
    ++m_readings; // its end, if already on its way, is not told
    {
        const std::lock_guard lock(m_mutex);
        if (m_connection)
            m_connection->interrupt();
    }
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

bool ConnectionThread::end(quint64 reading)
{
    if (!m_thread || reading != m_readings)
        return false;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    return true;
}
