#include "state/core/control_snapshots.h"

#include "state/core/picture_data.h"

#include <limits>

namespace {

// An integer property as an int; a value out of range is a broken stream.
int intValue(const SnapshotProperty& p)
{
    if (!p.value.isInteger() || p.value.integer < std::numeric_limits<int>::min()
        || p.value.integer > std::numeric_limits<int>::max())
        throw SnapshotError(QStringLiteral("Свойство %1 в потоке снимка не целое число")
                                .arg(QString::fromLatin1(p.name)));
    return static_cast<int>(p.value.integer);
}

// A column or row count; a grid never has a negative one, and a count in
// the millions is a broken stream, not a layout.
int countValue(const SnapshotProperty& p)
{
    const int n = intValue(p);
    if (n < 0 || n > 100000)
        throw SnapshotError(QStringLiteral("Свойство %1 в потоке снимка вне допустимых границ: %2")
                                .arg(QString::fromLatin1(p.name))
                                .arg(n));
    return n;
}

// A column width or row height of a grid: -1 marks a hidden column in newer
// grids; anything wider than a few screens is a broken stream.
int sizeValue(const SnapshotProperty& p)
{
    const int v = intValue(p);
    if (v < -1 || v > 10000)
        throw SnapshotError(QStringLiteral("Свойство %1 в потоке снимка вне допустимых границ: %2")
                                .arg(QString::fromLatin1(p.name))
                                .arg(v));
    return v;
}

const QByteArray& binaryValue(const SnapshotProperty& p)
{
    if (p.value.tag != SnapshotTag::Binary)
        throw SnapshotError(QStringLiteral("Свойство %1 в потоке снимка не двоичные данные")
                                .arg(QString::fromLatin1(p.name)));
    return p.value.bytes;
}

// A position or size of a control. Real ones are a few thousand pixels (a
// panned picture goes negative by its own size); far larger ones are a broken
// stream and would overflow the rectangle's arithmetic.
int coordinateValue(const SnapshotProperty& p)
{
    constexpr int kMaxCoordinate = 1 << 20;
    const int v = intValue(p);
    if (v < -kMaxCoordinate || v > kMaxCoordinate)
        throw SnapshotError(QStringLiteral("Свойство %1 в потоке снимка вне допустимых границ: %2")
                                .arg(QString::fromLatin1(p.name))
                                .arg(v));
    return v;
}

// Left, Top, Width and Height; returns false for any other property.
bool applyBounds(const SnapshotProperty& p, QRect& bounds)
{
    if (p.name == "Left")
        bounds.moveLeft(coordinateValue(p));
    else if (p.name == "Top")
        bounds.moveTop(coordinateValue(p));
    else if (p.name == "Width")
        bounds.setWidth(coordinateValue(p));
    else if (p.name == "Height")
        bounds.setHeight(coordinateValue(p));
    else
        return false;
    return true;
}

void add(SnapshotObject& o, const char* name, SnapshotValue value)
{
    o.properties.push_back({QByteArray(name), std::move(value)});
}

SnapshotObject objectWithBounds(const char* className, const QByteArray& objectName, const QRect& bounds)
{
    SnapshotObject o;
    o.className = className;
    o.objectName = objectName;
    add(o, "Left", SnapshotValue::fromInteger(bounds.left()));
    add(o, "Top", SnapshotValue::fromInteger(bounds.top()));
    add(o, "Width", SnapshotValue::fromInteger(bounds.width()));
    add(o, "Height", SnapshotValue::fromInteger(bounds.height()));
    return o;
}

void addIfNotDefault(SnapshotObject& o, const char* name, int value, int defaultValue)
{
    if (value != defaultValue)
        add(o, name, SnapshotValue::fromInteger(value));
}

} // namespace

SnapshotHeader applyTreeSnapshot(QByteArrayView stream, TreeSnapshotState& state)
{
    return readSnapshotProperties(stream, [&](const SnapshotProperty& p) {
        if (applyBounds(p, state.bounds))
            return;
        if (p.name == "Items.Data") {
            const QByteArray& payload = binaryValue(p);
            if (!isLazarusTreeItems(payload))
                state.entries = decodeTreeItems(payload);
        }
    });
}

QByteArray writeTreeSnapshot(const QByteArray& objectName, const TreeSnapshotState& state)
{
    SnapshotObject o = objectWithBounds("TTreeView", objectName, state.bounds);
    if (!state.entries.empty())
        add(o, "Items.Data", SnapshotValue::fromBinary(encodeTreeItems(state.entries)));
    return writeSnapshot(o);
}

SnapshotHeader applyPictureSnapshot(QByteArrayView stream, PictureSnapshotState& state)
{
    return readSnapshotProperties(stream, [&](const SnapshotProperty& p) {
        if (applyBounds(p, state.bounds))
            return;
        if (p.name == "Picture.Data") {
            if (std::optional<QImage> image = decodePictureData(binaryValue(p)))
                state.image = std::move(*image);
        }
    });
}

QByteArray writePictureSnapshot(const QByteArray& objectName, const PictureSnapshotState& state)
{
    SnapshotObject o = objectWithBounds("TImage", objectName, state.bounds);
    if (!state.image.isNull())
        add(o, "Picture.Data", SnapshotValue::fromBinary(encodePictureData(state.image)));
    return writeSnapshot(o);
}

int GridLayout::columnWidth(int column) const
{
    return column >= 0 && column < colWidths.size() ? colWidths[column] : defaultColWidth;
}

SnapshotHeader applyGridSnapshot(QByteArrayView stream, GridLayout& layout)
{
    return readSnapshotProperties(stream, [&](const SnapshotProperty& p) {
        if (applyBounds(p, layout.bounds))
            return;
        if (p.name == "ColCount")
            layout.colCount = countValue(p);
        else if (p.name == "RowCount")
            layout.rowCount = countValue(p);
        else if (p.name == "FixedCols")
            layout.fixedCols = intValue(p);
        else if (p.name == "FixedRows")
            layout.fixedRows = intValue(p);
        else if (p.name == "DefaultColWidth")
            layout.defaultColWidth = sizeValue(p);
        else if (p.name == "DefaultRowHeight")
            layout.defaultRowHeight = sizeValue(p);
        else if (p.name == "ColWidths") {
            // The Windows grid reads one width per column it has.
            if (p.value.tag != SnapshotTag::List)
                throw SnapshotError(QStringLiteral("Свойство ColWidths в потоке снимка не список"));
            QList<int> widths;
            for (const SnapshotValue& v : p.value.items) {
                if (widths.size() == layout.colCount)
                    break;
                widths.append(sizeValue({p.name, v}));
            }
            layout.colWidths = widths;
        }
    });
}

QByteArray writeGridSnapshot(const QByteArray& objectName, const GridLayout& layout)
{
    const GridLayout defaults;
    SnapshotObject o = objectWithBounds("TStringGrid", objectName, layout.bounds);
    addIfNotDefault(o, "ColCount", layout.colCount, defaults.colCount);
    addIfNotDefault(o, "DefaultColWidth", layout.defaultColWidth, defaults.defaultColWidth);
    addIfNotDefault(o, "DefaultRowHeight", layout.defaultRowHeight, defaults.defaultRowHeight);
    addIfNotDefault(o, "FixedCols", layout.fixedCols, defaults.fixedCols);
    addIfNotDefault(o, "RowCount", layout.rowCount, defaults.rowCount);
    addIfNotDefault(o, "FixedRows", layout.fixedRows, defaults.fixedRows);
    // One width per column, as the grid writes them, when any is not the default.
    QList<int> widths;
    bool custom = false;
    for (int c = 0; c < layout.colCount; ++c) {
        widths.append(layout.columnWidth(c));
        custom = custom || widths.back() != layout.defaultColWidth;
    }
    if (custom)
        add(o, "ColWidths", SnapshotValue::fromIntegerList(widths));
    return writeSnapshot(o);
}
