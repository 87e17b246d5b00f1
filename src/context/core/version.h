#pragma once

#include <QString>

// The program's version, as the build declares it in project(): "6.1". The
// window title, the About page and the command-line tool all show this one.
QString applicationVersion();
// The title of the main window and of the About page: the program's name
// (applicationTitle(), the caption of its messages) and its version.
QString applicationTitleWithVersion();
