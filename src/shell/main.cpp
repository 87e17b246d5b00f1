#include "context/core/data_folder.h"
#include "context/core/data_safety.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/version.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/qt_prompts.h"
#include "shell/screen_capture.h"
#include "shell/unix_signals.h"
#include "db/core/journal_error.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>

#include <cstdio>

namespace {

// The program's own arguments, read before the window system is touched so
// that --help works without a display.
QStringList ownArguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

void printHelp(const DataFolder& folder)
{
    const QString text = QStringLiteral(
        "Использование: tradejournal [--data DIR] [FILE]\n\n"
        "Окно журнала сделок. FILE: отчет MetaTrader 4 или 5 (.htm, .html); окно\n"
        "открывается на странице \"Менеджер счетов\" с его сделками в предпросмотре,\n"
        "щелкните счет и нажмите \"2. Скопировать сделки на счет\".\n\n"
        "Параметры:\n"
        "  --data DIR   хранить журнал в папке DIR (она должна быть) в этот запуск\n"
        "  --help       показать эту справку\n"
        "  --version    показать версию\n\n");
    std::fputs((text + dataFolderHelp(folder)).toUtf8().constData(), stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // First of all, so that a stop asked for during start-up still ends in
    // a normal close.
    catchTerminationSignals();
    const WindowOptions options = parseWindowOptions(ownArguments(argc, argv));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "tradejournal: %s\n", options.error.toUtf8().constData());
        return 2;
    }
    if (!options.data.isEmpty() && !QFileInfo(options.data).isDir()) {
        std::fprintf(stderr, "tradejournal: --data: нет папки %s\n", options.data.toLocal8Bit().constData());
        return 2;
    }
    if (options.help || options.version) {
        QCoreApplication core(argc, argv);
        if (options.version)
            std::printf("tradejournal %s\n", qPrintable(applicationVersion()));
        else
            printHelp(chooseDataFolder(QCoreApplication::applicationDirPath(), options.data,
                                       userFoldersFromEnvironment()));
        return 0;
    }
    JournalApplication app(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setApplicationDisplayName(QString());
    // The installed menu entry and icon; a portable copy finds no icon and keeps Qt's.
    QApplication::setDesktopFileName(QStringLiteral(TJ_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tradejournal")));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    installQtTranslation(app);

    QtPrompts prompts;
    app.setPrompts(&prompts);
    // A stop ends any message shown before the window: from here on the
    // event loop of a message box reads the noted signals.
    closeOnTerminationSignals(nullptr);
    const DataFolder data =
        chooseDataFolder(QCoreApplication::applicationDirPath(), options.data, userFoldersFromEnvironment());
    if (data.kind == DataFolder::Kind::Installed) {
        try {
            layOutDataFolder(data.firstStartData, data.path);
        } catch (const JournalError& e) {
            prompts.showMessage(Prompts::Icon::Error, errorCaption(), e.message());
            return 2;
        }
    }
    // The program folder is the current folder, so that datamoney.db and
    // date.txt resolve there wherever the program was started from.
    const QString appDir = data.path;
    // A statement named relative to where the program was started from.
    const QString statement = options.file.isEmpty() ? QString() : QFileInfo(options.file).absoluteFilePath();
    QDir::setCurrent(appDir);
    // One window per journal folder, taken before anything is written: two
    // runs would each write their settings and state files at exit.
    const JournalLock lock(appDir);
    if (lock.state() == JournalLock::State::HeldElsewhere) {
        prompts.showMessage(Prompts::Icon::Warning, applicationTitle(), journalAlreadyOpenMessage());
        return 1;
    }
    Journal journal(appDir);
    // The look at every page of the file goes on while the window is built;
    // a damaged file is told and the run ends without writing to it.
    bool damaged = false;
    const auto onDamage = [&app, &prompts, &damaged](const QString& message) {
        QMetaObject::invokeMethod(
            &app,
            [&prompts, &damaged, message] {
                damaged = true;
                prompts.showMessage(Prompts::Icon::Error, errorCaption(), message);
                QCoreApplication::exit(2);
            },
            Qt::QueuedConnection);
    };
    if (!openJournalAtStart(journal, prompts, onDamage))
        return 2;
    // A stop that ended a message above ends the program, not only the message.
    if (terminationSignalReceived())
        return 0;

    TForm1 window(journal, prompts);
    ScreenCaptureFilter capture;
    app.installEventFilter(&capture);
    closeOnTerminationSignals(&window);
    if (!statement.isEmpty())
        window.openStatementAtStart(statement);
    window.showAtStart();
    if (damaged) // told while start-up showed a message
        return 2;
    return app.exec();
}
