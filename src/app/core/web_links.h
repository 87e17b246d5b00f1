#pragma once

#include <QString>
#include <QUrl>

// Web pages the program hands to the browser, all in this one place. The
// tutorial links open a video search for the lesson's title, so they always
// lead somewhere useful. The address of the version file is not here: it is
// the "АдресОбновления" setting of config.ini.
namespace weblinks {

inline QUrl videoTutorial(const QString& title)
{
    QUrl url(QStringLiteral("https://www.youtube.com/results"));
    url.setQuery(QStringLiteral("search_query=") + QString::fromLatin1(QUrl::toPercentEncoding(title)));
    return url;
}

// The maker's web site and its pages.
inline QString makerSiteName() { return QStringLiteral("orvinta.ru"); }
inline QUrl makerSite() { return QUrl(QStringLiteral("https://orvinta.ru/")); }
inline QUrl makerPage(const QString& path) { return makerSite().resolved(QUrl(path)); }

// The program's download page, opened by "Скачать" on the update notice.
inline QUrl downloadPage() { return makerPage(QStringLiteral("down/")); }
// The article behind the picture beside the product line.
inline QUrl statisticsArticle() { return makerPage(QStringLiteral("stati/statistika-treidera/")); }
// The broker's promotion page of the advertising banner.
inline QUrl brokerPromotion() { return makerPage(QStringLiteral("reklama/")); }

// The maker's other programs, each with its page: the four picture panels.
struct MakerProgram {
    const char16_t* name;
    const char16_t* path;
};
inline constexpr MakerProgram kMakerPrograms[4] = {
    {u"Тестер стратегий Орвинта", u"programs/tester/"},
    {u"Калькулятор риска Орвинта", u"programs/risk/"},
    {u"Торговый план Орвинта", u"programs/plan/"},
    {u"Экономический календарь Орвинта", u"programs/calendar/"},
};
inline QUrl programPage(const MakerProgram& program) { return makerPage(QString::fromUtf16(program.path)); }

} // namespace weblinks
