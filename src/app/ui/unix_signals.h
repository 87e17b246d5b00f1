#pragma once

class QWidget;

// SIGTERM and SIGINT close the window normally, so that shutdown still
// writes the settings and state files.
//
// catchTerminationSignals() runs first thing in main(): from then on a
// signal is only noted, never fatal. closeOnTerminationSignals() hands the
// noted signals to the window once it exists; a signal that came during
// start-up closes the window as soon as the event loop runs.
void catchTerminationSignals();
void closeOnTerminationSignals(QWidget* window);
