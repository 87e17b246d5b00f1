#pragma once

#include <QString>
#include <QUrl>

// Web pages the program hands to the browser. The tutorial links open a
// video search for the lesson's title, so they always lead somewhere useful.
namespace weblinks {

inline QUrl videoTutorial(const QString& title)
{
    QUrl url(QStringLiteral("https://www.youtube.com/results"));
    url.setQuery(QStringLiteral("search_query=") + QString::fromLatin1(QUrl::toPercentEncoding(title)));
    return url;
}

} // namespace weblinks
