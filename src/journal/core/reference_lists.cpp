#include "journal/core/reference_lists.h"

#include "db/core/cp1251.h"
#include "db/core/safe_file.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocale>

#include <algorithm>

const std::array<ListInfo, kListCount>& listInfos()
{
    static const std::array<ListInfo, kListCount> infos = {{
        {ListId::Timeframe, u"Таймфрэйм", t_sdelki::Strategia, "ComboBox_Time"},
        {ListId::Enter, u"Вход", t_sdelki::Taktika, "ComboBox_Enter"},
        {ListId::Exit, u"Выход", t_sdelki::Pravilo2, "ComboBox_Exit"},
        {ListId::Psixo, u"Психо", t_sdelki::Psixo, "ComboBox_Psixo"},
        {ListId::Technique, u"Техника", t_sdelki::Pravilo, "ComboBox_Erorr"},
    }};
    return infos;
}

const ListInfo& listInfo(ListId id) { return listInfos()[static_cast<int>(id)]; }

const ListInfo* findList(const QString& name)
{
    for (const ListInfo& info : listInfos()) {
        if (name == QString::fromUtf16(info.name))
            return &info;
    }
    return nullptr;
}

QStringList parseListFile(const QByteArray& bytes)
{
    QStringList entries;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            entries.append(cp1251::decode(bytes.constData() + start, i - start));
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            start = ++i;
            continue;
        }
        ++i;
    }
    if (start < n)
        entries.append(cp1251::decode(bytes.constData() + start, n - start));
    return entries;
}

QByteArray listFileBytes(const QStringList& entries)
{
    QByteArray out;
    for (const QString& e : entries) {
        out += cp1251::encode(e);
        out += "\r\n";
    }
    return out;
}

void sortEntries(QStringList& entries)
{
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
}

bool addEntry(QStringList& entries, const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QString& e : entries) {
        if (e.compare(text, Qt::CaseInsensitive) == 0)
            return false;
    }
    entries.append(text);
    sortEntries(entries);
    return true;
}

QStringList ReferenceLists::readList(const QString& path, bool* ok)
{
    if (ok)
        *ok = true;
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return {};
    }
    QStringList entries = parseListFile(file.readAll());
    sortEntries(entries);
    return entries;
}

void ReferenceLists::writeList(const QString& path, const QStringList& entries)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw FileWriteError(QStringLiteral("Не удалось создать папку %1").arg(folder));
    writeFileAtomically(path, listFileBytes(entries));
}

QString ReferenceLists::filePath(const QString& appDir, ListId id)
{
    return appDir + QStringLiteral("/sprav/") + QString::fromUtf16(listInfo(id).name) + QStringLiteral(".txt");
}

bool ReferenceLists::loadAll(const QString& appDir)
{
    bool ok = true;
    for (const ListInfo& info : listInfos()) {
        const QString path = filePath(appDir, info.id);
        if (!QFile::exists(path))
            continue;
        bool read = true;
        const QStringList entries = readList(path, &read);
        if (read)
            m_entries[static_cast<int>(info.id)] = entries;
        ok = ok && read;
    }
    return ok;
}
