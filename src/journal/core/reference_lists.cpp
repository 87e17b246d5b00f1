#include "journal/core/reference_lists.h"

#include "db/core/cp1251.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <algorithm>

const std::array<ListInfo, kListCount>& listInfos()
{
    static const std::array<ListInfo, kListCount> infos = {{
        {ListId::Timeframe, u"Таймфрэйм", "strategia", "ComboBox_Time"},
        {ListId::Enter, u"Вход", "taktika", "ComboBox_Enter"},
        {ListId::Exit, u"Выход", "pravilo2", "ComboBox_Exit"},
        {ListId::Psixo, u"Психо", "Psixo", "ComboBox_Psixo"},
        {ListId::Technique, u"Техника", "pravilo", "ComboBox_Erorr"},
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

QString ReferenceLists::filePath(const QString& appDir, ListId id)
{
    return appDir + QStringLiteral("/sprav/") + QString::fromUtf16(listInfo(id).name) + QStringLiteral(".txt");
}

bool ReferenceLists::loadAll(const QString& appDir)
{
    bool ok = true;
    for (const ListInfo& info : listInfos()) {
        QFile file(filePath(appDir, info.id));
        if (!file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly)) {
            ok = false;
            continue;
        }
        QStringList entries = parseListFile(file.readAll());
        sortEntries(entries);
        m_entries[static_cast<int>(info.id)] = entries;
    }
    return ok;
}
