#pragma once

// The binary control snapshot ("TPF0" stream) in which the Windows program
// kept its pictures, picture lists, the notebook tree and the analysis grid
// layout. A snapshot is one object record: class name, object name, a list
// of named, tagged property values and a list of child objects.
//
// The reader never reads past its buffer: every length is checked against
// what is left before anything is allocated, and nesting is bounded.

#include "db/core/journal_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// A stream that cannot be read (or a payload that cannot be decoded). The
// message is the one shown to the user.
class SnapshotError : public JournalError {
public:
    using JournalError::JournalError;
};

// The value tags of the format, by their byte.
enum class SnapshotTag : std::uint8_t {
    Null = 0x00, // end of a list; never a value
    List = 0x01,
    Int8 = 0x02,
    Int16 = 0x03,
    Int32 = 0x04,
    Extended = 0x05, // 10-byte floating point
    String = 0x06,   // short text, 1-byte length
    Ident = 0x07,
    False = 0x08,
    True = 0x09,
    Binary = 0x0A,
    Set = 0x0B,
    LString = 0x0C, // long text, 4-byte length
    Nil = 0x0D,
    Collection = 0x0E,
    Single = 0x0F,
    Currency = 0x10,
    Date = 0x11,
    WString = 0x12, // UTF-16 text
    Int64 = 0x13,
    Utf8String = 0x14,
};

struct SnapshotCollectionItem;
struct SnapshotProperty;

// One tagged value. Which members are used depends on the tag:
//  integers (Int8..Int64)      integer
//  texts, Ident, Binary         bytes (as stored: Windows-1251, UTF-8 or UTF-16LE)
//  Extended, Single, Currency, Date   bytes (the raw 10, 4, 8 or 8 bytes)
//  Set                          names
//  List                         items
//  Collection                   collection
// The tag is kept so that a value read from a stream is written back as it was.
struct SnapshotValue {
    SnapshotTag tag = SnapshotTag::Nil;
    qint64 integer = 0;
    QByteArray bytes;
    QList<QByteArray> names;
    std::vector<SnapshotValue> items;
    std::vector<SnapshotCollectionItem> collection;

    // Values as our writer makes them.
    static SnapshotValue fromInteger(qint64 value); // smallest of Int8, Int16, Int32 (Int64 beyond)
    static SnapshotValue fromText(const QString& text); // String, LString or Utf8String
    static SnapshotValue fromBool(bool value);
    static SnapshotValue fromIdent(const QByteArray& name);
    static SnapshotValue fromBinary(const QByteArray& data);
    static SnapshotValue fromIntegerList(const QList<int>& values);

    bool isInteger() const;
    bool isText() const; // String, LString, WString, Utf8String
    // The text of a text or identifier value, decoded by its tag.
    QString text() const;
};

struct SnapshotProperty {
    QByteArray name; // a dotted path such as "Font.Name" or "Items.Data"
    SnapshotValue value;
};

struct SnapshotCollectionItem {
    std::optional<SnapshotValue> order; // the optional integer before the item
    std::vector<SnapshotProperty> properties;
};

struct SnapshotObject {
    std::optional<std::uint8_t> flags; // the byte 0xF0..0xFF, when present
    std::optional<SnapshotValue> childPosition; // present when flag 2 is set
    QByteArray className;
    QByteArray objectName;
    std::vector<SnapshotProperty> properties;
    std::vector<SnapshotObject> children;

    // The first property of that name, or null.
    const SnapshotProperty* property(QByteArrayView name) const;
};

// The signature of every snapshot.
inline constexpr char kSnapshotSignature[] = "TPF0";

// Reads a whole stream: signature, then one object record. Bytes after the
// object are ignored. Throws SnapshotError ("Invalid stream format" for a
// wrong signature).
SnapshotObject readSnapshot(QByteArrayView data);

// Reads a stream property by property, handing each to `apply` as soon as it
// is read, then reads (and checks) the children. When the stream breaks off
// or `apply` throws, the properties applied before stay applied and the
// error propagates: this is how a snapshot is applied to a control.
struct SnapshotHeader {
    QByteArray className;
    QByteArray objectName;
};
SnapshotHeader readSnapshotProperties(QByteArrayView data, const std::function<void(const SnapshotProperty&)>& apply);

// Writes a whole stream ("TPF0" and the object) exactly as given: each value
// with its own tag.
QByteArray writeSnapshot(const SnapshotObject& object);

// The stream inside a Delphi resource file (.dfm): a 16-byte resource header
// before "TPF0". Returns the data unchanged when there is no such header.
QByteArrayView stripResourceHeader(QByteArrayView data);
