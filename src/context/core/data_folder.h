#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps the trader's data: datamoney.db, config.ini,
// date.txt, verj.txt and the folders sprav, img and txt all live in one
// folder, the program folder of the run.
//
// - A portable copy (the build's app folder, a copied folder) keeps it
//   beside the executable, as it always has.
// - An installed program keeps it in $XDG_DATA_HOME/tradejournal (by
//   default ~/.local/share/tradejournal), laid out at the first start from
//   the first-start data the package ships in <prefix>/share/tradejournal.
// - --data DIR names the folder outright.
//
// The executable counts as installed when no datamoney.db lies beside it, it
// sits in a folder named "bin" and <prefix>/share/tradejournal/datamoney.db
// exists next to that folder. Write permission plays no part: root may write
// to /usr/bin, and a portable copy on a read-only stick is still portable.
struct DataFolder {
    enum class Kind { Portable, Installed, Chosen };
    Kind kind = Kind::Portable;
    QString path;            // absolute, without a trailing separator
    QString firstStartData;  // Installed only: <prefix>/share/tradejournal
};

// The two environment values the choice reads, passed in so that tests can
// give their own.
struct UserFolders {
    QString xdgDataHome;  // $XDG_DATA_HOME; ignored unless absolute
    QString home;         // $HOME
};
UserFolders userFoldersFromEnvironment();

// exeDir: the folder of the running executable. chosen: the value of
// --data, empty when not given (relative to the current folder).
DataFolder chooseDataFolder(const QString& exeDir, const QString& chosen, const UserFolders& user);

// Copies whatever of `source` is missing into `target`, creating folders on
// the way. A file that exists in `target` is never replaced, so a second
// start, a journal moved in by hand or a half-finished first start keep all
// they hold. Copies are writable by their owner even when the source is
// read-only. Throws FileWriteError naming the file or folder that failed.
void layOutDataFolder(const QString& source, const QString& target);

// The lines of --help that say where the data is.
QString dataFolderHelp(const DataFolder& folder);

// The window's command line: its own options, at most one statement file
// to open, and Qt's own options (-platform, -style and the like, with one or
// two dashes), which are left to Qt. Anything else is refused.
struct WindowOptions {
    bool help = false;
    bool version = false;
    QString data;   // --data DIR
    QString file;   // a statement to open ("Открыть с помощью")
    QString error;  // a message for stderr when the line is wrong
};
WindowOptions parseWindowOptions(const QStringList& args);
