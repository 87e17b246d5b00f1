#pragma once

#include "about/core/version_file.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkReply;

// Fetches the version file in the background: the caller never waits, and
// the window keeps working while the server is slow or silent. A request
// that sees no data for the time-out is given up. Every failure is silent:
// finished() then carries nothing.
class UpdateChecker : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{10000};

    // The version file is saved to versionFilePath (replaced on success).
    explicit UpdateChecker(QString versionFilePath, QObject* parent = nullptr);

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    // Starts the download. An empty or invalid address makes no request and
    // returns false; so does a check that is already running.
    bool start(const QUrl& address);
    bool isRunning() const { return !m_reply.isNull(); }

signals:
    // The file read, or nothing when the download failed or its first line
    // is not a whole number.
    void finished(const std::optional<VersionFile>& file);

private:
    void onReplyFinished();
    std::optional<VersionFile> saveAndRead(QNetworkReply& reply);

    QString m_path;
    std::chrono::milliseconds m_timeout = kDefaultTimeout;
    QNetworkAccessManager m_manager;
    QPointer<QNetworkReply> m_reply;
};
