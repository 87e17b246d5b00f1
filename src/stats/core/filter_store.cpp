#include "stats/core/filter_store.h"

#include "db/core/safe_file.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

FilterStore::FilterStore(QString path)
    : m_path(std::move(path))
{
}

QJsonObject FilterStore::readAll()
{
    QFile file(m_path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    file.close();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && doc.isObject())
        return doc.object();
    if (m_damagedKept)
        return {}; // copied once; the next save replaces it
    m_damagedKept = true;
    const QString copy = keepDamagedCopy(m_path);
    m_problem = QStringLiteral("Файл фильтров %1 не читается; он сохранен как %2, фильтры сброшены")
                    .arg(m_path, copy.isEmpty() ? QStringLiteral("(копия не удалась)") : copy);
    return {};
}

TradeFilter FilterStore::load(const QString& account)
{
    const QJsonValue value = readAll().value(account);
    if (!value.isObject())
        return {};
    return TradeFilter::fromJsonObject(value.toObject()).value_or(TradeFilter());
}

void FilterStore::save(const QString& account, const TradeFilter& filter)
{
    QJsonObject all = readAll();
    if (filter.isEmpty())
        all.remove(account);
    else
        all.insert(account, filter.toJsonObject());
    writeFileAtomically(m_path, QJsonDocument(all).toJson(QJsonDocument::Indented));
}

QString FilterStore::takeProblem() { return std::exchange(m_problem, QString()); }
