#include "state/core/tree_items.h"

#include "db/core/cp1251.h"
#include "state/core/snapshot_stream.h"

#include <QtEndian>

namespace {

constexpr qint32 kRecordFixed = 25; // the record's fields before the text
constexpr qint32 kRecordMax = kRecordFixed + kTreeTextMax;

void put32(QByteArray& out, qint32 v)
{
    char buf[4];
    qToLittleEndian<qint32>(v, buf);
    out.append(buf, 4);
}

void encodeEntry(QByteArray& out, const TreeEntry& e)
{
    // One byte per character; the second cut guards against a character that
    // is more than one UTF-16 unit.
    const QByteArray text = cp1251::encode(QStringView(e.text).left(kTreeTextMax)).left(kTreeTextMax);
    put32(out, kRecordFixed + qint32(text.size()));
    put32(out, e.imageIndex);
    put32(out, e.selectedIndex);
    put32(out, e.stateIndex);
    put32(out, e.overlayIndex);
    put32(out, 0); // the data word: a pointer in memory, meaningless on disk
    put32(out, qint32(e.children.size()));
    out.append(char(text.size()));
    out.append(text);
    for (const TreeEntry& child : e.children)
        encodeEntry(out, child);
}

class EntryReader {
public:
    explicit EntryReader(QByteArrayView data)
        : m_data(data)
    {
    }

    qint32 int32()
    {
        if (m_data.size() - m_pos < 4)
            throw SnapshotError(QStringLiteral("Данные дерева обрываются раньше времени"));
        const qint32 v = qFromLittleEndian<qint32>(m_data.data() + m_pos);
        m_pos += 4;
        return v;
    }

    void entries(TreeEntries& out, qint32 count, int depth)
    {
        if (count < 0)
            throw SnapshotError(QStringLiteral("Отрицательное число элементов в данных дерева"));
        if (depth >= kTreeMaxDepth)
            throw SnapshotError(QStringLiteral("Слишком глубокая вложенность в данных дерева"));
        for (qint32 i = 0; i < count; ++i) {
            TreeEntry e;
            const qint32 children = entry(e);
            entries(e.children, children, depth + 1);
            out.push_back(std::move(e));
        }
    }

private:
    // Reads one record; returns the number of children that follow it.
    qint32 entry(TreeEntry& e)
    {
        const qint32 size = int32();
        if (size < kRecordFixed || size > kRecordMax)
            throw SnapshotError(
                QStringLiteral("Неверный размер записи элемента дерева: %1 (допустимо от 25 до 280)").arg(size));
        if (m_data.size() - m_pos < size)
            throw SnapshotError(QStringLiteral("Данные дерева обрываются раньше времени"));
        const qsizetype end = m_pos + size;
        e.imageIndex = int32();
        e.selectedIndex = int32();
        e.stateIndex = int32();
        e.overlayIndex = int32();
        int32(); // data word
        const qint32 children = int32();
        const int length = static_cast<unsigned char>(m_data[m_pos++]);
        if (length > size - kRecordFixed)
            throw SnapshotError(QStringLiteral("Текст элемента дерева длиннее своей записи"));
        e.text = cp1251::decode(m_data.data() + m_pos, length);
        m_pos = end;
        return children;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray encodeTreeItems(const TreeEntries& entries)
{
    QByteArray out;
    put32(out, qint32(entries.size()));
    for (const TreeEntry& e : entries)
        encodeEntry(out, e);
    return out;
}

TreeEntries decodeTreeItems(QByteArrayView payload)
{
    EntryReader r(payload);
    TreeEntries out;
    r.entries(out, r.int32(), 0);
    return out;
}

bool isLazarusTreeItems(QByteArrayView payload)
{
    return payload.size() >= 4 && qFromLittleEndian<qint32>(payload.data()) == -7;
}
