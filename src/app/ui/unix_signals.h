#pragma once

class QWidget;

// SIGTERM and SIGINT close the window normally, so that shutdown still
// writes the settings and state files.
void closeOnTerminationSignals(QWidget* window);
