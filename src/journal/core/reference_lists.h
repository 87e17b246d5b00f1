#pragma once

#include "db/core/columns.h"

#include <QString>
#include <QStringList>

#include <array>

// The five reference lists behind the annotation fields. Each is a file in
// the folder "sprav": Windows-1251, one entry per line.
enum class ListId { Timeframe = 0, Enter, Exit, Psixo, Technique };
inline constexpr int kListCount = 5;

struct ListInfo {
    ListId id;
    const char16_t* name;   // list name, file base name and editor caption
    t_sdelki::Column column; // the trades' column holding the entry
    const char* comboName;  // field of the annotation dialog
};

const std::array<ListInfo, kListCount>& listInfos();
const ListInfo& listInfo(ListId id);
// The list with that name, or nullptr.
const ListInfo* findList(const QString& name);

// File content -> entries: a line ends at CR, LF or CR LF; a last line
// without a break is an entry; an empty line is an empty entry.
QStringList parseListFile(const QByteArray& bytes);
// Entries -> file content: every entry followed by CR LF.
QByteArray listFileBytes(const QStringList& entries);
// Alphabetical, without regard to letter case, in Russian collation.
void sortEntries(QStringList& entries);
// Adds a non-empty text that the entries do not hold yet (compared without
// regard to letter case) and keeps them sorted. Returns whether it was added.
bool addEntry(QStringList& entries, const QString& text);

class ReferenceLists {
public:
    QStringList& entries(ListId id) { return m_entries[static_cast<int>(id)]; }
    const QStringList& entries(ListId id) const { return m_entries[static_cast<int>(id)]; }

    static QString filePath(const QString& appDir, ListId id);
    // Reads one list file; a missing file is an empty list. Sorted.
    static QStringList readList(const QString& path, bool* ok = nullptr);
    // Writes one list file, creating the sprav folder when it is missing.
    // Throws FileWriteError.
    static void writeList(const QString& path, const QStringList& entries);
    // Loads each list whose file exists (sorted); a missing file leaves the
    // list empty. Returns false when a file exists but cannot be read.
    bool loadAll(const QString& appDir);

private:
    std::array<QStringList, kListCount> m_entries;
};
