// The window and its dialogs on a small screen (1024 x 600, a netbook's),
// and the window's size and state kept from run to run.
#include "accounts/ui/account_dialog.h"
#include "accounts/ui/accounts_page.h"
#include "context/core/journal.h"
#include "context/core/settings.h"
#include "journal/ui/list_editor.h"
#include "journal/ui/trade_dialog.h"
#include "pictures/ui/big_picture_window.h"
#include "shell/main_window.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

const QSize kSmallScreen(1024, 600);

TEST(SmallScreen, Measure)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.setAccountPagesVisible(true);
    w.show();
    std::printf("window min %dx%d hint %dx%d\n", w.minimumSize().width(), w.minimumSize().height(),
                w.minimumSizeHint().width(), w.minimumSizeHint().height());
    QTabWidget* tabs = pageTabs(&w);
    for (int i = 0; i < tabs->count(); ++i) {
        QWidget* p = tabs->widget(i);
        std::printf("%s hint %dx%d\n", qPrintable(p->objectName()), p->minimumSizeHint().width(),
                    p->minimumSizeHint().height());
    }
    for (QWidget* d : std::initializer_list<QWidget*>{w.tradeDialog(), w.tradeDialog()->listEditor(),
                                                      w.accountsPage()->accountDialog()})
        std::printf("%s hint %dx%d min %dx%d size %dx%d\n", qPrintable(d->objectName()), d->minimumSizeHint().width(),
                    d->minimumSizeHint().height(), d->minimumWidth(), d->minimumHeight(), d->width(), d->height());
}

} // namespace
