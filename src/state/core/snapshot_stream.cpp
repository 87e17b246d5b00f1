#include "state/core/snapshot_stream.h"

#include "db/core/cp1251.h"

#include <QtEndian>

namespace {

// Lists, collections and child objects nest; real forms stay far below this.
constexpr int kMaxDepth = 64;

QString truncatedError()
{
    return QStringLiteral("Поток снимка обрывается раньше времени");
}

class Reader {
public:
    explicit Reader(QByteArrayView data)
        : m_data(data)
    {
    }

    qsizetype position() const { return m_pos; }
    qsizetype left() const { return m_data.size() - m_pos; }

    void need(qint64 count) const
    {
        if (count < 0 || count > left())
            throw SnapshotError(truncatedError());
    }

    std::uint8_t peek() const
    {
        need(1);
        return static_cast<std::uint8_t>(m_data[m_pos]);
    }

    std::uint8_t byte()
    {
        const std::uint8_t b = peek();
        ++m_pos;
        return b;
    }

    QByteArray bytes(qint64 count)
    {
        need(count);
        QByteArray out(m_data.data() + m_pos, static_cast<qsizetype>(count));
        m_pos += static_cast<qsizetype>(count);
        return out;
    }

    template <typename T>
    T number()
    {
        need(sizeof(T));
        const T v = qFromLittleEndian<T>(m_data.data() + m_pos);
        m_pos += sizeof(T);
        return v;
    }

    // A 4-byte length; negative lengths are as broken as lengths past the end.
    qint64 length32()
    {
        const qint32 n = number<qint32>();
        need(n);
        return n;
    }

    QByteArray shortString() { return bytes(byte()); }

    SnapshotValue value(int depth)
    {
        const std::uint8_t t = byte();
        SnapshotValue v;
        v.tag = static_cast<SnapshotTag>(t);
        switch (v.tag) {
        case SnapshotTag::List:
            checkDepth(depth);
            while (peek() != 0)
                v.items.push_back(value(depth + 1));
            ++m_pos;
            break;
        case SnapshotTag::Int8: v.integer = number<qint8>(); break;
        case SnapshotTag::Int16: v.integer = number<qint16>(); break;
        case SnapshotTag::Int32: v.integer = number<qint32>(); break;
        case SnapshotTag::Int64: v.integer = number<qint64>(); break;
        case SnapshotTag::Extended: v.bytes = bytes(10); break;
        case SnapshotTag::Single: v.bytes = bytes(4); break;
        case SnapshotTag::Currency:
        case SnapshotTag::Date: v.bytes = bytes(8); break;
        case SnapshotTag::String:
        case SnapshotTag::Ident: v.bytes = shortString(); break;
        case SnapshotTag::LString:
        case SnapshotTag::Utf8String:
        case SnapshotTag::Binary: v.bytes = bytes(length32()); break;
        case SnapshotTag::WString: {
            const qint32 units = number<qint32>();
            if (units < 0)
                throw SnapshotError(truncatedError());
            v.bytes = bytes(2 * qint64(units));
            break;
        }
        case SnapshotTag::False:
        case SnapshotTag::True:
        case SnapshotTag::Nil: break;
        case SnapshotTag::Set:
            for (QByteArray name = shortString(); !name.isEmpty(); name = shortString())
                v.names.append(name);
            break;
        case SnapshotTag::Collection:
            checkDepth(depth);
            while (peek() != 0)
                v.collection.push_back(collectionItem(depth + 1));
            ++m_pos;
            break;
        default:
            throw SnapshotError(QStringLiteral("Неизвестный тип значения 0x%1 в потоке снимка (смещение %2)")
                                    .arg(t, 2, 16, QLatin1Char('0'))
                                    .arg(m_pos - 1));
        }
        return v;
    }

    SnapshotCollectionItem collectionItem(int depth)
    {
        SnapshotCollectionItem item;
        const auto t = static_cast<SnapshotTag>(peek());
        if (t == SnapshotTag::Int8 || t == SnapshotTag::Int16 || t == SnapshotTag::Int32)
            item.order = value(depth);
        if (byte() != std::uint8_t(SnapshotTag::List))
            throw SnapshotError(QStringLiteral("Элемент коллекции в потоке снимка без начала списка (смещение %1)")
                                    .arg(m_pos - 1));
        while (peek() != 0)
            item.properties.push_back(property(depth));
        ++m_pos;
        return item;
    }

    SnapshotProperty property(int depth)
    {
        SnapshotProperty p;
        p.name = shortString();
        p.value = value(depth);
        return p;
    }

    // Flags, class name and object name of an object record.
    void objectHeader(SnapshotObject& object, int depth)
    {
        if ((peek() & 0xF0) == 0xF0) {
            object.flags = byte();
            if (*object.flags & 0x02) {
                object.childPosition = value(depth);
                if (!object.childPosition->isInteger())
                    throw SnapshotError(QStringLiteral("Позиция дочернего объекта в потоке снимка не число"));
            }
        }
        object.className = shortString();
        object.objectName = shortString();
    }

    // Properties up to their 0x00, each handed over as soon as it is read.
    void properties(int depth, const std::function<void(SnapshotProperty&&)>& take)
    {
        while (peek() != 0)
            take(property(depth));
        ++m_pos;
    }

    std::vector<SnapshotObject> children(int depth)
    {
        std::vector<SnapshotObject> out;
        while (peek() != 0)
            out.push_back(object(depth + 1));
        ++m_pos;
        return out;
    }

    SnapshotObject object(int depth)
    {
        checkDepth(depth);
        SnapshotObject o;
        objectHeader(o, depth);
        properties(depth, [&](SnapshotProperty&& p) { o.properties.push_back(std::move(p)); });
        o.children = children(depth);
        return o;
    }

    void signature()
    {
        if (!m_data.startsWith(QByteArrayView(kSnapshotSignature, 4)))
            throw SnapshotError(QStringLiteral("Invalid stream format"));
        m_pos = 4;
    }

private:
    static void checkDepth(int depth)
    {
        if (depth >= kMaxDepth)
            throw SnapshotError(QStringLiteral("Слишком глубокая вложенность в потоке снимка"));
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

class Writer {
public:
    QByteArray out;

    template <typename T>
    void number(T v)
    {
        char buf[sizeof(T)];
        qToLittleEndian<T>(v, buf);
        out.append(buf, sizeof(T));
    }

    void shortString(const QByteArray& s)
    {
        // Names and short texts never exceed 255 bytes in a valid stream.
        const QByteArray cut = s.left(255);
        out.append(char(cut.size()));
        out.append(cut);
    }

    void value(const SnapshotValue& v)
    {
        out.append(char(v.tag));
        switch (v.tag) {
        case SnapshotTag::List:
            for (const SnapshotValue& item : v.items)
                value(item);
            out.append('\0');
            break;
        case SnapshotTag::Int8: number<qint8>(qint8(v.integer)); break;
        case SnapshotTag::Int16: number<qint16>(qint16(v.integer)); break;
        case SnapshotTag::Int32: number<qint32>(qint32(v.integer)); break;
        case SnapshotTag::Int64: number<qint64>(v.integer); break;
        case SnapshotTag::Extended:
        case SnapshotTag::Single:
        case SnapshotTag::Currency:
        case SnapshotTag::Date: out.append(v.bytes); break;
        case SnapshotTag::String:
        case SnapshotTag::Ident: shortString(v.bytes); break;
        case SnapshotTag::LString:
        case SnapshotTag::Utf8String:
        case SnapshotTag::Binary:
            number<qint32>(qint32(v.bytes.size()));
            out.append(v.bytes);
            break;
        case SnapshotTag::WString:
            number<qint32>(qint32(v.bytes.size() / 2));
            out.append(v.bytes);
            break;
        case SnapshotTag::Set:
            for (const QByteArray& name : v.names)
                shortString(name);
            out.append('\0');
            break;
        case SnapshotTag::Collection:
            for (const SnapshotCollectionItem& item : v.collection) {
                if (item.order)
                    value(*item.order);
                out.append(char(SnapshotTag::List));
                for (const SnapshotProperty& p : item.properties)
                    property(p);
                out.append('\0');
            }
            out.append('\0');
            break;
        default: break;
        }
    }

    void property(const SnapshotProperty& p)
    {
        shortString(p.name);
        value(p.value);
    }

    void object(const SnapshotObject& o)
    {
        if (o.flags) {
            out.append(char(*o.flags));
            if (o.childPosition)
                value(*o.childPosition);
        }
        shortString(o.className);
        shortString(o.objectName);
        for (const SnapshotProperty& p : o.properties)
            property(p);
        out.append('\0');
        for (const SnapshotObject& child : o.children)
            object(child);
        out.append('\0');
    }
};

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

SnapshotValue SnapshotValue::fromInteger(qint64 value)
{
    SnapshotValue v;
    v.integer = value;
    if (value >= -128 && value <= 127)
        v.tag = SnapshotTag::Int8;
    else if (value >= -32768 && value <= 32767)
        v.tag = SnapshotTag::Int16;
    else if (value >= INT32_MIN && value <= INT32_MAX)
        v.tag = SnapshotTag::Int32;
    else
        v.tag = SnapshotTag::Int64;
    return v;
}

SnapshotValue SnapshotValue::fromText(const QString& text)
{
    SnapshotValue v;
    if (isAscii(text)) {
        v.bytes = text.toLatin1();
        v.tag = v.bytes.size() < 256 ? SnapshotTag::String : SnapshotTag::LString;
    } else {
        v.bytes = text.toUtf8();
        v.tag = SnapshotTag::Utf8String;
    }
    return v;
}

SnapshotValue SnapshotValue::fromBool(bool value)
{
    SnapshotValue v;
    v.tag = value ? SnapshotTag::True : SnapshotTag::False;
    return v;
}

SnapshotValue SnapshotValue::fromIdent(const QByteArray& name)
{
    SnapshotValue v;
    v.tag = SnapshotTag::Ident;
    v.bytes = name;
    return v;
}

SnapshotValue SnapshotValue::fromBinary(const QByteArray& data)
{
    SnapshotValue v;
    v.tag = SnapshotTag::Binary;
    v.bytes = data;
    return v;
}

SnapshotValue SnapshotValue::fromIntegerList(const QList<int>& values)
{
    SnapshotValue v;
    v.tag = SnapshotTag::List;
    for (int x : values)
        v.items.push_back(fromInteger(x));
    return v;
}

bool SnapshotValue::isInteger() const
{
    return tag == SnapshotTag::Int8 || tag == SnapshotTag::Int16 || tag == SnapshotTag::Int32
        || tag == SnapshotTag::Int64;
}

bool SnapshotValue::isText() const
{
    return tag == SnapshotTag::String || tag == SnapshotTag::LString || tag == SnapshotTag::WString
        || tag == SnapshotTag::Utf8String;
}

QString SnapshotValue::text() const
{
    switch (tag) {
    case SnapshotTag::String:
    case SnapshotTag::LString:
    case SnapshotTag::Ident: return cp1251::decode(bytes);
    case SnapshotTag::Utf8String: return QString::fromUtf8(bytes);
    case SnapshotTag::WString: {
        QString s(bytes.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < s.size(); ++i)
            s[i] = QChar(qFromLittleEndian<quint16>(bytes.constData() + 2 * i));
        return s;
    }
    default: return QString();
    }
}

const SnapshotProperty* SnapshotObject::property(QByteArrayView name) const
{
    for (const SnapshotProperty& p : properties) {
        if (p.name == name)
            return &p;
    }
    return nullptr;
}

SnapshotObject readSnapshot(QByteArrayView data)
{
    Reader r(data);
    r.signature();
    return r.object(0);
}

SnapshotHeader readSnapshotProperties(QByteArrayView data, const std::function<void(const SnapshotProperty&)>& apply)
{
    Reader r(data);
    r.signature();
    SnapshotObject root;
    r.objectHeader(root, 0);
    r.properties(0, [&](SnapshotProperty&& p) { apply(p); });
    r.children(0);
    return {root.className, root.objectName};
}

QByteArray writeSnapshot(const SnapshotObject& object)
{
    Writer w;
    w.out.append(kSnapshotSignature, 4);
    w.object(object);
    return w.out;
}

QByteArrayView stripResourceHeader(QByteArrayView data)
{
    // FF 0A 00, the type; the resource name up to a 0 byte; 2 bytes of
    // memory flags; the 4-byte size of the stream.
    if (!data.startsWith(QByteArrayView("\xFF\x0A\x00", 3)))
        return data;
    const qsizetype nameEnd = data.indexOf('\0', 3);
    if (nameEnd < 0)
        return data;
    const qsizetype start = nameEnd + 1 + 2 + 4;
    if (start > data.size())
        return data;
    return data.sliced(start);
}
