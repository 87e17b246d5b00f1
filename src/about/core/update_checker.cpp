#include "about/core/update_checker.h"

#include "context/core/prompts.h"
#include "db/core/safe_file.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// The system's proxy settings, except for the local machine, which is always
// reached directly.
class SystemProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        const QString host = query.peerHostName();
        QHostAddress address;
        if (host == u"localhost" || (address.setAddress(host) && address.isLoopback()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

} // namespace

UpdateChecker::UpdateChecker(QString versionFilePath, QObject* parent)
    : QObject(parent)
    , m_path(std::move(versionFilePath))
{
    m_manager.setProxyFactory(new SystemProxies); // the manager owns it
}

bool UpdateChecker::start(const QUrl& address)
{
    if (isRunning() || address.isEmpty() || !address.isValid())
        return false;
    QNetworkRequest request(address);
    request.setRawHeader("User-Agent", applicationTitle().toUtf8());
    // Always a fresh copy of the file: no cache read, no cache write.
    request.setRawHeader("Cache-Control", "no-cache");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    m_reply = m_manager.get(request);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateChecker::onReplyFinished);
    return true;
}

void UpdateChecker::onReplyFinished()
{
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    emit finished(saveAndRead(*reply));
}

std::optional<VersionFile> UpdateChecker::saveAndRead(QNetworkReply& reply)
{
    if (reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return std::nullopt;
    const QByteArray body = reply.error() == QNetworkReply::NoError ? reply.readAll() : QByteArray();
    if (body.isEmpty()) {
        // A 200 without a whole body is a failed download: the old copy was
        // being replaced, so none is left.
        QFile::remove(m_path);
        return std::nullopt;
    }
    try {
        writeFileAtomically(m_path, body);
    } catch (const FileWriteError&) {
        return std::nullopt;
    }
    // The file now holds exactly these bytes: read them, not the file again.
    return readVersionFile(body);
}
