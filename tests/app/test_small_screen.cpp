// The window and its dialogs on a small screen (1024 x 600, a netbook's).
#include "accounts/ui/account_dialog.h"
#include "accounts/ui/accounts_page.h"
#include "context/core/journal.h"
#include "db/core/cp1251.h"
#include "journal/ui/list_editor.h"
#include "journal/ui/trade_dialog.h"
#include "shell/main_window.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

const QSize kScreen(1024, 600);
const int kTitleBar = 32; // what a window manager takes above a window

std::string sizeText(QSize s) { return std::to_string(s.width()) + "x" + std::to_string(s.height()); }

// The least a window or dialog can be made: its minimum size, or its
// layout's when none is set.
QSize leastSize(const QWidget* w) { return w->minimumSize().expandedTo(w->minimumSizeHint()); }

TEST(SmallScreen, TheWindowEveryPageAndEveryDialogFit)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.setAccountPagesVisible(true);
    w.show();
    const QSize room = kScreen - QSize(0, kTitleBar);
    EXPECT_TRUE(room.expandedTo(leastSize(&w)) == room) << "window " << sizeText(leastSize(&w));

    const QTabWidget* tabs = pageTabs(&w);
    const QSize pageRoom = room - QSize(0, tabs->tabBar()->sizeHint().height());
    for (int i = 0; i < tabs->count(); ++i) {
        const QWidget* page = tabs->widget(i);
        EXPECT_TRUE(pageRoom.expandedTo(leastSize(page)) == pageRoom)
            << page->objectName().toStdString() << " " << sizeText(leastSize(page));
    }
    const QWidget* dialogs[] = {w.tradeDialog(), w.tradeDialog()->listEditor(), w.accountsPage()->accountDialog()};
    for (const QWidget* dialog : dialogs)
        EXPECT_TRUE(room.expandedTo(leastSize(dialog)) == room)
            << dialog->objectName().toStdString() << " " << sizeText(leastSize(dialog));
}

// At 1024 pixels the window is 1024 wide, and the long lines of "Анализ"
// and "По дням" wrap within it instead of running past its right edge.
TEST(SmallScreen, LongLinesWrapWithinANarrowWindow)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.setAccountPagesVisible(true);
    w.showNormal();
    w.resize(kScreen - QSize(0, kTitleBar));
    EXPECT_EQ(w.size(), kScreen - QSize(0, kTitleBar));
    widgetByName<QLabel>(&w, "Label_Day")
        ->setText(QStringLiteral("Итог дня: 29895,27 , всего сделок: 6, процент выигрышных: 50,00%, Выиграл: 3, "
                                 "Проиграл 3, средняя прибыльная сделка: 10468,31, средняя убыточная: -502,06"));
    struct Line {
        TForm1::Page page;
        const char* scroll;
        const char* label;
    };
    const Line lines[] = {
        {TForm1::PageAnalysis, "TabSheet6_Scroll", "Label_Day"},
        {TForm1::PageDays, "TabSheet3_Scroll", "Label_Optim"},
    };
    for (const Line& line : lines) {
        w.setPage(line.page);
        QApplication::processEvents();
        const auto* scroll = widgetByName<QScrollArea>(&w, line.scroll);
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << line.scroll;
        const QLabel* label = widgetByName<QLabel>(&w, line.label);
        const QRect onPage(label->mapTo(scroll->viewport(), QPoint(0, 0)), label->size());
        EXPECT_LE(onPage.right(), scroll->viewport()->width()) << line.label;
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << line.label << " shows all its lines";
    }
    // The account page wraps the description: its option on the right
    // edge is in sight without scrolling sideways.
    w.setPage(TForm1::PageAccounts);
    QApplication::processEvents();
    EXPECT_FALSE(widgetByName<QScrollArea>(&w, "TabSheet1_Scroll")->horizontalScrollBar()->isVisible());
}

// The size and state the window had at its close come back at the next
// start; a config.ini without them starts it maximized as before.
TEST(SmallScreen, TheWindowStartsAsItWasLeft)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    {
        TForm1 w(*journal, prompts);
        w.showAtStart();
        EXPECT_TRUE(w.isMaximized()) << "no keys yet";
        w.showNormal();
        w.resize(760, 540); // within the test screen (800 x 600)
        w.close();
    }
    const QString config = cp1251::decode(readBytes(dir.file(QStringLiteral("config.ini"))));
    EXPECT_TRUE(config.contains(QStringLiteral("ШиринаОкна=760\r\nВысотаОкна=540\r\nОкноРазвернуто=0\r\n")))
        << config.toStdString();
    TForm1 again(*journal, prompts);
    again.showAtStart();
    EXPECT_FALSE(again.isMaximized());
    EXPECT_EQ(again.size(), QSize(760, 540));
}

} // namespace
