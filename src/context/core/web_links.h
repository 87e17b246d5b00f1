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

// The project publishes no web site of its own yet, so the maker's pages
// open a web search for their subject: never an address that may belong to
// somebody else.
inline QUrl webSearch(const QString& text)
{
    QUrl url(QStringLiteral("https://yandex.ru/search/"));
    url.setQuery(QStringLiteral("text=") + QString::fromLatin1(QUrl::toPercentEncoding(text)));
    return url;
}

// The maker's web site, as the link on "О программе" names it.
inline QString makerSiteName() { return QStringLiteral("Журнал сделок Орвинта в интернете"); }
inline QUrl makerSite() { return webSearch(QStringLiteral("Журнал сделок Орвинта")); }
inline QUrl makerPage(const QString& subject) { return webSearch(QStringLiteral("Орвинта ") + subject); }

// The program's download page, opened by "Скачать" on the update notice.
inline QUrl downloadPage() { return webSearch(QStringLiteral("Журнал сделок Орвинта скачать новую версию")); }
// The article behind the picture beside the product line.
inline QUrl statisticsArticle() { return makerPage(QStringLiteral("статистика трейдера")); }
// The broker's promotion page of the advertising banner.
inline QUrl brokerPromotion() { return makerPage(QStringLiteral("реклама для брокеров")); }

// The maker's other programs: the four picture panels, each titled with the
// program's name and opening a search for it.
struct MakerProgram {
    const char16_t* name;
};
inline constexpr MakerProgram kMakerPrograms[4] = {
    {u"Тестер стратегий Орвинта"},
    {u"Калькулятор риска Орвинта"},
    {u"Торговый план Орвинта"},
    {u"Экономический календарь Орвинта"},
};
inline QUrl programPage(const MakerProgram& program) { return webSearch(QString::fromUtf16(program.name)); }

} // namespace weblinks
