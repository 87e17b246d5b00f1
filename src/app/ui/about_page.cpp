#include "app/ui/about_page.h"

#include "app/core/version.h"

#include <QLabel>
#include <QVBoxLayout>

AboutPage::AboutPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ts3"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(applicationTitleWithVersion(), this);
    title->setObjectName(QStringLiteral("Label_Title"));
    QFont f = title->font();
    f.setPointSize(18);
    f.setBold(true);
    title->setFont(f);
    auto* text = new QLabel(QStringLiteral(
        "Дневник трейдера рынка Форекс.\n\n"
        "1. На странице «Менеджер счетов» создайте счет и сделайте его активным.\n"
        "2. Загрузите отчет MetaTrader 4 или MetaTrader 5 с закрытыми сделками.\n"
        "3. Разбирайте сделки на странице «Анализ», смотрите статистику по дням, отчеты и график баланса.\n"
        "4. Записывайте мысли и графики в «Записную книжку трейдера».\n\n"
        "Все данные хранятся рядом с программой: база datamoney.db, настройки config.ini, "
        "справочники в папке sprav, рисунки в папке img."), this);
    text->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addStretch();
}
