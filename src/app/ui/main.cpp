#include "app/core/data_safety.h"
#include "app/core/journal.h"
#include "app/core/prompts.h"
#include "app/ui/application.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_prompts.h"
#include "app/ui/screen_capture.h"
#include "app/ui/unix_signals.h"

#include <QDir>
#include <QLocale>
#include <QScreen>

int main(int argc, char** argv)
{
    // First of all, so that a stop asked for during start-up still ends in
    // a normal close.
    catchTerminationSignals();
    JournalApplication app(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setApplicationDisplayName(QString());
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    installQtTranslation(app);

    // The program folder is the current folder, so that datamoney.db and
    // date.txt resolve there wherever the program was started from.
    const QString appDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(appDir);

    QtPrompts prompts;
    app.setPrompts(&prompts);
    closeOnTerminationSignals(nullptr); // a stop ends a message shown before the window
    // One window per journal folder, taken before anything is written: two
    // runs would each write their settings and state files at exit.
    const JournalLock lock(appDir);
    if (lock.state() == JournalLock::State::HeldElsewhere) {
        prompts.showMessage(Prompts::Icon::Warning, applicationTitle(), journalAlreadyOpenMessage());
        return 1;
    }
    Journal journal(appDir);
    if (!openJournalDatabase(journal, prompts) || !checkJournalDatabase(journal, prompts))
        return 2;

    TForm1 window(journal, prompts);
    ScreenCaptureFilter capture;
    app.installEventFilter(&capture);
    closeOnTerminationSignals(&window);
    // Without a window manager a maximized window keeps its design size;
    // start at the screen's size so the pages always have room.
    if (const QScreen* screen = window.screen())
        window.resize(screen->availableGeometry().size());
    window.showMaximized();
    return app.exec();
}
