#pragma once

class QWidget;

// SIGTERM, SIGINT and SIGHUP (the terminal that started the window closed)
// close the window normally, so that shutdown still writes the settings and
// state files.
//
// catchTerminationSignals() runs first thing in main(): from then on a
// signal is only noted, never fatal. closeOnTerminationSignals() acts on the
// noted signals once an event loop runs: every open modal dialog is
// dismissed as cancelled, then the window (when one is given) is closed. A
// signal that came during start-up closes the window as soon as start-up is
// over; one that came while a message before the window was open ends that
// message.
void catchTerminationSignals();
void closeOnTerminationSignals(QWidget* window);
// True once one of those signals was acted on: shutdown then asks nothing.
bool terminationSignalReceived();
