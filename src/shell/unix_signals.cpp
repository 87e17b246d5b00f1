#include "shell/unix_signals.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalFds[2] = {-1, -1};
QSocketNotifier* g_notifier = nullptr;
QPointer<QWidget> g_window;
bool g_received = false;

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

} // namespace

void catchTerminationSignals()
{
    if (g_signalFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // SIGTERM last: a caller that sees it caught knows the others are too.
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool terminationSignalReceived() { return g_received; }

void closeOnTerminationSignals(QWidget* window)
{
    catchTerminationSignals();
    g_window = window;
    if (g_signalFds[1] < 0 || g_notifier)
        return;
    g_notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(g_notifier, &QSocketNotifier::activated, g_notifier, [] {
        g_notifier->setEnabled(false);
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalFds[1], &byte, 1);
        g_received = true;
        // An open message or dialog would hold the close until answered:
        // each is dismissed as if cancelled (a question answered "No").
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (dialog && dialog->isVisible() && dialog->isModal())
                dialog->reject();
        }
        if (g_window)
            g_window->close();
        g_notifier->setEnabled(true);
    });
}
