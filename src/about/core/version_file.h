#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The version file the update check downloads (verj.txt): line 1 the latest
// version number as a whole number, line 2 one line about the new version,
// line 3 the address stored as "Сайт", line 4 unused. Missing lines read as
// empty text.
struct VersionFile {
    qint64 number = 0;
    QString news;
    QString site;
};

// The lines of the file's Windows-1251 text, split at CR LF, LF or CR.
QStringList versionFileLines(const QByteArray& bytes);
// Nothing when line 1 is not a whole number ("8a", "", "7.5").
std::optional<VersionFile> readVersionFile(const QByteArray& bytes);

// The version file counts the program's releases in whole numbers, one
// ahead of the major version: the 6.x releases are 7 there. So 6.1 reads 7,
// and a file announces a newer program from 8 on.
qint64 versionFileNumber(const QString& programVersion);
// True when the file's number is greater than ours.
bool announcesNewerVersion(const VersionFile& file, const QString& programVersion);
