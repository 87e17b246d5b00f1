#pragma once

#include <QUrl>
#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>

class Journal;
class Prompts;
class QLabel;
class QPushButton;
class QToolButton;
class UpdateChecker;
struct VersionFile;

// The page "О программе": what the program is, how to start, the notice of a
// newer version and the links to the maker's pages.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    // Hands an address to the browser; false when it could not.
    using LinkOpener = std::function<bool(const QUrl&)>;

    AboutPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // Tests open links without a browser.
    void setLinkOpener(LinkOpener opener) { m_openLink = std::move(opener); }
    // Tests give up on a silent server sooner than the 10 seconds.
    void setUpdateTimeout(std::chrono::milliseconds timeout);

    // Starts the update check in the background from the "АдресОбновления"
    // setting; without an address no request is made. Returns at once.
    void startUpdateCheck();
    bool updateCheckRunning() const;

    // Opens the address in the browser, or tells the trader it could not.
    void openLink(const QUrl& url);

signals:
    // The check ended: newer is true when the notice was shown.
    void updateCheckFinished(bool newer);

private:
    void onVersionFile(const std::optional<VersionFile>& file);
    QWidget* makeNotice();
    QWidget* makeSlogan();
    QWidget* makeStartSteps();
    QWidget* makeProductBox();
    QWidget* makePicturePanels();
    QToolButton* pictureLink(const QString& name, const QPixmap& picture, const QString& hint, const QUrl& url);

    Journal& m_journal;
    Prompts& m_prompts;
    LinkOpener m_openLink;
    UpdateChecker* m_checker = nullptr;
    QWidget* m_notice = nullptr;
    QLabel* m_news = nullptr;
};
