// The update check against a real HTTP server on 127.0.0.1, started by each
// test in this process, and the links of the About page.
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "about/core/version_file.h"
#include "context/core/web_links.h"
#include "about/ui/about_page.h"
#include "shell/main_window.h"
#include "db/core/cp1251.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Answers every request with one canned response, or never answers when the
// response is empty. Keeps the head of each request it saw.
class CannedHttpServer : public QObject {
public:
    explicit CannedHttpServer(QByteArray response)
        : m_response(std::move(response))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_pending[socket] += socket->readAll();
                    if (!m_pending[socket].contains("\r\n\r\n"))
                        return;
                    requests << m_pending.take(socket);
                    if (!m_response.isEmpty()) {
                        socket->write(m_response);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    static QByteArray response(int status, const QByteArray& body)
    {
        const QByteArray reason = status == 200 ? "OK" : "Not Found";
        return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: text/plain\r\n"
               "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

    QString address() const { return QStringLiteral("http://127.0.0.1:%1/down/verj.txt").arg(m_server.serverPort()); }
    bool listening() const { return m_server.isListening(); }

    int connections = 0;
    QList<QByteArray> requests;

private:
    QTcpServer m_server;
    QByteArray m_response;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

QByteArray headerValue(const QByteArray& request, const QByteArray& name)
{
    for (const QByteArray& line : request.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void writeConfig(const QString& path, const QString& address, const QString& site)
{
    writeBytes(path, cp1251::encode(QStringLiteral("[Настройки]\r\nАдресОбновления=%1\r\n[Реклама]\r\nСайт=%2\r\n")
                                        .arg(address, site)));
}

bool noticeShown(TForm1& w)
{
    return widgetByName<QWidget>(w.aboutPage(), "Panel_NewVersion")->isVisible();
}

QString noticeText(TForm1& w)
{
    return widgetByName<QLabel>(w.aboutPage(), "Label_News")->text();
}

const QString kOldSite = QStringLiteral("http://старый.example/");

} // namespace

TEST(VersionFile, LinesNumberAndVerdict)
{
    struct Case {
        QString text;
        std::optional<qint64> number;
        QString news;
        QString site;
        bool newer;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("7\r\nИсправления\r\nhttp://a/\r\nx"), 7, QStringLiteral("Исправления"), QStringLiteral("http://a/"), false},
        {QStringLiteral("8\nНовое\nhttp://b/"), 8, QStringLiteral("Новое"), QStringLiteral("http://b/"), true},
        {QStringLiteral("6\r\n\r\nhttp://c/\r\n"), 6, QString(), QStringLiteral("http://c/"), false},
        {QStringLiteral("9"), 9, QString(), QString(), true},
        {QStringLiteral("12\rдве\rстроки"), 12, QStringLiteral("две"), QStringLiteral("строки"), true},
        {QStringLiteral("8a\r\nНовое\r\nhttp://b/"), std::nullopt, {}, {}, false},
        {QStringLiteral("7.5\r\n"), std::nullopt, {}, {}, false},
        {QString(), std::nullopt, {}, {}, false},
    };
    for (const Case& c : cases) {
        const auto file = readVersionFile(cp1251::encode(c.text));
        ASSERT_EQ(file.has_value(), c.number.has_value()) << c.text.toStdString();
        if (!file)
            continue;
        EXPECT_EQ(file->number, *c.number) << c.text.toStdString();
        EXPECT_EQ(file->news, c.news) << c.text.toStdString();
        EXPECT_EQ(file->site, c.site) << c.text.toStdString();
        EXPECT_EQ(announcesNewerVersion(*file, QStringLiteral("6.1")), c.newer) << c.text.toStdString();
    }
}

TEST(VersionFile, OurNumberIsTheMajorVersionPlusOne)
{
    const std::vector<std::pair<QString, qint64>> cases = {
        {QStringLiteral("6.1"), 7}, {QStringLiteral("6.0"), 7}, {QStringLiteral("7.2"), 8}, {QStringLiteral("10"), 11},
    };
    for (const auto& [version, number] : cases)
        EXPECT_EQ(versionFileNumber(version), number) << version.toStdString();
}

// Each server answer, through the real main window's start-up.
TEST(UpdateCheck, ServerAnswersDecideTheNoticeTheSiteAndTheFile)
{
    struct Case {
        const char* name;
        int status;
        QString body;
        bool notice;
        QString news;      // when the notice shows
        QString site;      // "Сайт" after the check
        bool fileSaved;
    };
    const QString def = QStringLiteral("В программе много изменений и исправлений.");
    const std::vector<Case> cases = {
        {"seven", 200, QStringLiteral("7\r\nМелкие правки\r\nhttp://site7/\r\nx\r\n"), false, def,
         QStringLiteral("http://site7/"), true},
        {"eight", 200, QStringLiteral("8\r\nНовые отчеты по сделкам\r\nhttp://site8/\r\nx\r\n"), true,
         QStringLiteral("Новые отчеты по сделкам"), QStringLiteral("http://site8/"), true},
        {"eightA", 200, QStringLiteral("8a\r\nНовое\r\nhttp://site8a/\r\n"), false, def, kOldSite, true},
        {"nineAlone", 200, QStringLiteral("9"), true, QString(), QString(), true},
        {"emptyBody", 200, QString(), false, def, kOldSite, false},
        {"notFound", 404, QStringLiteral("8\r\nНовое\r\nhttp://site404/\r\n"), false, def, kOldSite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CannedHttpServer server(CannedHttpServer::response(c.status, cp1251::encode(c.body)));
        ASSERT_TRUE(server.listening());
        TempAppDir dir;
        writeConfig(dir.file(QStringLiteral("config.ini")), server.address(), kOldSite);
        auto journal = dir.openJournal();
        ScriptedPrompts prompts;
        TForm1 w(*journal, prompts);
        QSignalSpy finished(w.aboutPage(), &AboutPage::updateCheckFinished);
        w.show();
        ASSERT_TRUE(finished.count() == 1 || finished.wait(5000));

        EXPECT_EQ(finished.at(0).at(0).toBool(), c.notice);
        EXPECT_EQ(noticeShown(w), c.notice);
        EXPECT_EQ(noticeText(w), c.news);
        EXPECT_EQ(journal->settings.site, c.site);
        const QString file = dir.file(QStringLiteral("verj.txt"));
        EXPECT_EQ(QFile::exists(file), c.fileSaved);
        if (c.fileSaved) {
            EXPECT_EQ(readBytes(file), cp1251::encode(c.body));
        }
        EXPECT_EQ(prompts.messageTexts(), QStringList());

        ASSERT_EQ(server.requests.size(), 1);
        EXPECT_TRUE(server.requests[0].startsWith("GET /down/verj.txt HTTP/1.1\r\n"));
        EXPECT_EQ(headerValue(server.requests[0], "User-Agent"), QStringLiteral("Журнал сделок Орвинта").toUtf8());
        EXPECT_EQ(headerValue(server.requests[0], "Cache-Control"), "no-cache");

        // The site the check stored goes to config.ini at exit, with the address.
        w.close();
        Settings back;
        ASSERT_TRUE(loadSettings(dir.file(QStringLiteral("config.ini")), back));
        EXPECT_EQ(back.site, c.site);
        EXPECT_EQ(back.updateAddress, server.address());
    }
}

// A failed download takes the old version file with it; a 404 leaves it.
TEST(UpdateCheck, AnEmptyAnswerRemovesTheOldVersionFile)
{
    for (const int status : {200, 404}) {
        CannedHttpServer server(CannedHttpServer::response(status, QByteArray()));
        TempAppDir dir;
        writeConfig(dir.file(QStringLiteral("config.ini")), server.address(), kOldSite);
        writeBytes(dir.file(QStringLiteral("verj.txt")), "7\r\nстарый\r\n");
        auto journal = dir.openJournal();
        ScriptedPrompts prompts;
        TForm1 w(*journal, prompts);
        QSignalSpy finished(w.aboutPage(), &AboutPage::updateCheckFinished);
        w.show();
        ASSERT_TRUE(finished.count() == 1 || finished.wait(5000));
        EXPECT_EQ(QFile::exists(dir.file(QStringLiteral("verj.txt"))), status != 200) << status;
    }
}

// A server that takes the connection and never answers: start-up is over at
// once, the window goes on working, and the check gives up on its time-out.
TEST(UpdateCheck, ASilentServerNeitherHoldsStartUpNorTheWindow)
{
    CannedHttpServer server{QByteArray()};
    TempAppDir dir;
    writeConfig(dir.file(QStringLiteral("config.ini")), server.address(), kOldSite);
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.aboutPage()->setUpdateTimeout(300ms);
    QSignalSpy finished(w.aboutPage(), &AboutPage::updateCheckFinished);
    w.show(); // runs the start-up

    EXPECT_TRUE(w.aboutPage()->updateCheckRunning());
    EXPECT_EQ(finished.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 3000);
    // The window answers while the request hangs.
    bool timerRan = false;
    QTimer::singleShot(0, &w, [&] { timerRan = true; });
    QTRY_VERIFY_WITH_TIMEOUT(timerRan, 2000);
    pageTabs(&w)->setCurrentIndex(TForm1::PageNotebook);
    EXPECT_EQ(pageTabs(&w)->currentIndex(), static_cast<int>(TForm1::PageNotebook));
    EXPECT_TRUE(w.aboutPage()->updateCheckRunning());

    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(0).at(0).toBool(), false);
    EXPECT_FALSE(w.aboutPage()->updateCheckRunning());
    EXPECT_EQ(journal->settings.site, kOldSite);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("verj.txt"))));
    EXPECT_EQ(prompts.messageTexts(), QStringList());
}

// The built-in address is empty: without one in config.ini nothing is asked.
TEST(UpdateCheck, NoAddressNoRequest)
{
    CannedHttpServer server(CannedHttpServer::response(200, "9\r\nНовое\r\n"));
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.show();
    EXPECT_EQ(journal->settings.updateAddress, QString());
    EXPECT_FALSE(w.aboutPage()->updateCheckRunning());
    QTest::qWait(200);
    EXPECT_EQ(server.connections, 0);
    EXPECT_FALSE(noticeShown(w));
}

TEST(AboutPage, EveryLinkOpensItsPageAndAFailureIsReported)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    AboutPage page(*journal, prompts);
    QList<QUrl> opened;
    bool browserWorks = true;
    page.setLinkOpener([&](const QUrl& url) {
        opened << url;
        return browserWorks;
    });

    QList<QUrl> expected;
    auto click = [&](const char* name, const QUrl& url) {
        auto* button = page.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
        expected << url;
    };
    click("Button9", weblinks::downloadPage());
    click("Image3", weblinks::statisticsArticle());
    click("Image4", weblinks::brokerPromotion());
    for (int i = 0; i < 4; ++i)
        click(("Image" + std::to_string(6 + i)).c_str(), weblinks::programPage(weblinks::kMakerPrograms[i]));
    auto* site = page.findChild<QLabel*>(QStringLiteral("lbl30"));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->toolTip(), QStringLiteral("Открыть ссылку в новом окне"));
    emit site->linkActivated(weblinks::makerSite().toString());
    expected << weblinks::makerSite();
    EXPECT_EQ(opened, expected);
    // Every address is its own page.
    EXPECT_EQ(QSet<QUrl>(expected.begin(), expected.end()).size(), expected.size());
    EXPECT_EQ(prompts.messageTexts(), QStringList());

    browserWorks = false;
    page.findChild<QAbstractButton*>(QStringLiteral("Image4"))->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("Не удалось открыть ссылку в браузере:\n") + weblinks::brokerPromotion().toString());
}
