#include "about/ui/about_page.h"

#include "context/ui/page_scroll.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "about/core/update_checker.h"
#include "context/core/version.h"
#include "context/core/web_links.h"
#include "about/ui/about_pictures.h"

#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kVersionFile = QStringLiteral("verj.txt");
const QString kMoreHint = QStringLiteral("Кликни, чтобы узнать больше");

QLabel* boldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

} // namespace

AboutPage::AboutPage(Journal& journal, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_journal(journal)
    , m_prompts(prompts)
    , m_openLink([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("ts3"));
    m_checker = new UpdateChecker(journal.path(kVersionFile), this);
    connect(m_checker, &UpdateChecker::finished, this, &AboutPage::onVersionFile);

    auto* layout = new QVBoxLayout(scrollingPageBody(this));
    layout->addWidget(makeNotice());
    layout->addWidget(makeSlogan());
    auto* middle = new QHBoxLayout;
    middle->addWidget(makeProductBox(), 1, Qt::AlignTop);
    middle->addWidget(pictureLink(QStringLiteral("Image3"),
                                  QPixmap::fromImage(aboutpictures::draw(aboutpictures::Picture::BalanceCurve, {220, 130})),
                                  kMoreHint, weblinks::statisticsArticle()));
    layout->addLayout(middle);
    layout->addWidget(makeStartSteps());
    layout->addWidget(makePicturePanels());
    layout->addStretch();
}

QWidget* AboutPage::makeSlogan()
{
    auto* slogan = new QLabel(QStringLiteral("Вначале вы работаете на статистику, потом она работает на Вас!"), this);
    slogan->setObjectName(QStringLiteral("Label_Slogan"));
    QFont sf = slogan->font();
    sf.setPointSize(14);
    sf.setUnderline(true);
    slogan->setFont(sf);
    slogan->setStyleSheet(QStringLiteral("color: rgb(0,128,0);"));
    return slogan;
}

// Keeps a new trader from looking for where to begin.
QWidget* AboutPage::makeStartSteps()
{
    auto* steps = new QLabel(QStringLiteral(
        "Как начать:\n"
        "1. На странице «Менеджер счетов» создайте счет и сделайте его активным.\n"
        "2. Загрузите отчет MetaTrader 4 или MetaTrader 5 с закрытыми сделками.\n"
        "3. Разбирайте сделки на странице «Анализ», смотрите статистику по дням, отчеты и график баланса.\n"
        "4. Записывайте мысли и графики в «Записную книжку трейдера».\n\n"
        "Все данные хранятся в папке %1: база datamoney.db, настройки config.ini, "
        "справочники в папке sprav, рисунки в папке img.").arg(QDir::toNativeSeparators(m_journal.appDir())), this);
    steps->setObjectName(QStringLiteral("Label_Steps"));
    steps->setWordWrap(true);
    return steps;
}

QWidget* AboutPage::makeNotice()
{
    m_notice = new QWidget(this);
    m_notice->setObjectName(QStringLiteral("Panel_NewVersion"));
    auto* layout = new QHBoxLayout(m_notice);
    auto* texts = new QVBoxLayout;
    auto* headline = boldLabel(QStringLiteral("Доступна новая версия программы!"), m_notice);
    headline->setObjectName(QStringLiteral("Label_NewVersion"));
    headline->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
    m_news = new QLabel(QStringLiteral("В программе много изменений и исправлений."), m_notice);
    m_news->setObjectName(QStringLiteral("Label_News"));
    texts->addWidget(headline);
    texts->addWidget(m_news);
    auto* download = new QPushButton(QStringLiteral("Скачать"), m_notice);
    download->setObjectName(QStringLiteral("Button9"));
    connect(download, &QPushButton::clicked, this, [this] { openLink(weblinks::downloadPage()); });
    layout->addLayout(texts, 1);
    layout->addWidget(download);
    m_notice->hide(); // until a check finds a newer version
    return m_notice;
}

QWidget* AboutPage::makeProductBox()
{
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("GroupBox_Product"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boldLabel(applicationTitleWithVersion(), box));
    layout->addWidget(boldLabel(QStringLiteral("импортирует сделки из MetaTeader 4 и 5"), box));
    auto* site = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff;\">%2</a>")
                                .arg(weblinks::makerSite().toString(), weblinks::makerSiteName()),
                            box);
    site->setObjectName(QStringLiteral("lbl30"));
    site->setToolTip(QStringLiteral("Открыть ссылку в новом окне"));
    site->setCursor(Qt::PointingHandCursor);
    connect(site, &QLabel::linkActivated, this, [this](const QString& link) { openLink(QUrl(link)); });
    layout->addWidget(site);
    return box;
}

QWidget* AboutPage::makePicturePanels()
{
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* sponsor = new QLabel(QStringLiteral("Брокерам. Стань спонсором программы на следующий месяц"), area);
    sponsor->setStyleSheet(QStringLiteral("color: rgb(128,128,128);"));
    layout->addWidget(sponsor);

    auto* row = new QHBoxLayout;
    auto* ad = new QGroupBox(QStringLiteral("Сдается реклама для брокеров"), area);
    auto* adLayout = new QVBoxLayout(ad);
    adLayout->addWidget(pictureLink(QStringLiteral("Image4"),
                                    QPixmap::fromImage(aboutpictures::draw(aboutpictures::Picture::BrokerBanner, {260, 110})),
                                    QStringLiteral("Кликните, чтобы узнать больше..."), weblinks::brokerPromotion()));
    row->addWidget(ad);

    using aboutpictures::Picture;
    const Picture pictures[] = {Picture::Tester, Picture::Risk, Picture::Plan, Picture::Calendar};
    for (int i = 0; i < 4; ++i) {
        const weblinks::MakerProgram& program = weblinks::kMakerPrograms[i];
        auto* panel = new QGroupBox(QString::fromUtf16(program.name), area);
        auto* panelLayout = new QVBoxLayout(panel);
        panelLayout->addWidget(pictureLink(QStringLiteral("Image%1").arg(6 + i),
                                           QPixmap::fromImage(aboutpictures::draw(pictures[i], {120, 110})), kMoreHint,
                                           weblinks::programPage(program)));
        row->addWidget(panel);
    }
    row->addStretch();
    layout->addLayout(row);
    return area;
}

QToolButton* AboutPage::pictureLink(const QString& name, const QPixmap& picture, const QString& hint, const QUrl& url)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(picture);
    button->setIconSize(picture.size());
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    connect(button, &QToolButton::clicked, this, [this, url] { openLink(url); });
    return button;
}

void AboutPage::setUpdateTimeout(std::chrono::milliseconds timeout) { m_checker->setTimeout(timeout); }

void AboutPage::startUpdateCheck()
{
    const QString address = m_journal.settings.updateAddress.trimmed();
    if (!address.isEmpty())
        m_checker->start(QUrl(address));
}

bool AboutPage::updateCheckRunning() const { return m_checker->isRunning(); }

void AboutPage::onVersionFile(const std::optional<VersionFile>& file)
{
    if (!file) {
        emit updateCheckFinished(false);
        return;
    }
    m_journal.settings.site = file->site;
    const bool newer = announcesNewerVersion(*file, applicationVersion());
    if (newer) {
        m_news->setText(file->news);
        m_notice->show();
    }
    emit updateCheckFinished(newer);
}

void AboutPage::openLink(const QUrl& url)
{
    if (m_openLink(url))
        return;
    m_prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                          QStringLiteral("Не удалось открыть ссылку в браузере:\n%1").arg(url.toString()));
}
