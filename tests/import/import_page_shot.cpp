// Shows the account page with a statement loaded into the import preview, to
// look at it (e.g. under Xvfb with a screenshot). Not a test.
//   import_page_shot APP_DIR STATEMENT ACCOUNT_ID [SECONDS]
#include "accounts/ui/accounts_page.h"
#include "context/core/data_safety.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "import/ui/import_panel.h"

#include <QDir>
#include <QLocale>
#include <QTimer>

#include <cstdio>

namespace {

// Messages go to the terminal instead of boxes that would cover the page.
class PrintedPrompts : public Prompts {
public:
    void showMessage(Icon, const QString& caption, const QString& text) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
    }
    bool confirm(const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFile(const FileRequest&) override { return {}; }
};

} // namespace

int main(int argc, char** argv)
{
    JournalApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    QDir::setCurrent(args[1]);
    PrintedPrompts prompts;
    app.setPrompts(&prompts);
    Journal journal(args[1]);
    if (!openJournalDatabase(journal, prompts))
        return 1;
    TForm1 window(journal, prompts);
    window.showMaximized();
    QTimer::singleShot(300, &window, [&] {
        journal.activeAccount = args[3];
        emit window.accountsPage()->importAllowedChanged(true);
        window.setPage(TForm1::PageAccounts);
        window.importPanel()->loadReport(args[2]);
    });
    QTimer::singleShot((args.size() > 4 ? args[4].toInt() : 6) * 1000, &app, &QApplication::quit);
    return app.exec();
}
