// The snapshot stream: the bytes our writer produces, and a reader that
// skips every tag, stops cleanly on broken input and applies what came
// before the fault.
#include "state/core/control_snapshots.h"
#include "state/core/picture_data.h"
#include "temp_journal.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

QByteArray shortString(const QByteArray& s) { return char(s.size()) + s; }

QByteArray int32le(qint32 v)
{
    char buf[4];
    qToLittleEndian(v, buf);
    return QByteArray(buf, 4);
}

QByteArray propertyBytes(const QByteArray& name, const SnapshotValue& value)
{
    SnapshotObject o;
    o.properties.push_back({name, value});
    // "TPF0", empty class and object names; then the property; then the ends.
    const QByteArray whole = writeSnapshot(o);
    return whole.mid(6, whole.size() - 6 - 2);
}

// A whole stream around hand-made property bytes.
QByteArray stream(const QByteArray& className, const QByteArray& properties, const QByteArray& prefix = {})
{
    return "TPF0" + prefix + shortString(className) + shortString("X") + properties + QByteArray(2, '\0');
}

} // namespace

TEST(SnapshotWriter, ValuesUseTheSmallestTagAndTheRightTextForm)
{
    struct Case {
        const char* what;
        SnapshotValue value;
        QByteArray bytes; // tag and payload
    };
    const QString hint = QStringLiteral("Подсказка");
    const QString longAscii(300, u'a');
    const Case cases[] = {
        {"200", SnapshotValue::fromInteger(200), hex("03c800")},
        {"-5", SnapshotValue::fromInteger(-5), hex("02fb")},
        {"127", SnapshotValue::fromInteger(127), hex("027f")},
        {"-129", SnapshotValue::fromInteger(-129), hex("037fff")},
        {"40000", SnapshotValue::fromInteger(40000), hex("04409c0000")},
        {"Cyrillic hint", SnapshotValue::fromText(hint), "\x14" + int32le(18) + hint.toUtf8()},
        {"ASCII font name", SnapshotValue::fromText(QStringLiteral("Tahoma")), hex("06") + shortString("Tahoma")},
        {"long ASCII", SnapshotValue::fromText(longAscii), "\x0C" + int32le(300) + longAscii.toLatin1()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(propertyBytes("P", c.value), shortString("P") + c.bytes) << c.what;
}

TEST(SnapshotWriter, EmptyTreeWritesBoundsButNoItems)
{
    TreeSnapshotState state{QRect(8, 16, 209, 300), {}};
    const QByteArray expected = "TPF0" + shortString("TTreeView") + shortString("TreeView1")  //
        + shortString("Left") + hex("0208") + shortString("Top") + hex("0210")              //
        + shortString("Width") + hex("03d100") + shortString("Height") + hex("032c01")      //
        + hex("0000");
    EXPECT_EQ(writeTreeSnapshot("TreeView1", state), expected);

    TreeSnapshotState read;
    read.entries.push_back({QStringLiteral("kept")});
    applyTreeSnapshot(expected, read);
    EXPECT_EQ(read.entries.size(), 1u) << "a snapshot without Items.Data leaves the entries";
    EXPECT_EQ(read.bounds, state.bounds);
}

TEST(SnapshotWriter, LongEntryTextIsCutTo255Characters)
{
    TreeEntry e;
    e.text = QString(300, u'ж');
    const QByteArray payload = encodeTreeItems({e});
    ASSERT_EQ(payload.size(), 4 + 4 + 280);
    EXPECT_EQ(qFromLittleEndian<qint32>(payload.constData() + 4), 280);
    EXPECT_EQ(quint8(payload[4 + 4 + 24]), 255);
    EXPECT_EQ(decodeTreeItems(payload).at(0).text, QString(255, u'ж'));
}

TEST(SnapshotWriter, EntryRecordLayout)
{
    TreeEntry folder{QStringLiteral("Главная"), 1, 2, 1, -1, {}};
    folder.children.push_back({QStringLiteral("doc"), 3, 3, -1, -1, {}});
    const QByteArray expected = int32le(1)                                                            //
        + int32le(25 + 7) + int32le(1) + int32le(2) + int32le(1) + int32le(-1) + int32le(0) + int32le(1) //
        + char(7) + hex("c3eb e0e2 ede0 ff")                                                           //
        + int32le(25 + 3) + int32le(3) + int32le(3) + int32le(-1) + int32le(-1) + int32le(0) + int32le(0)
        + char(3) + "doc";
    EXPECT_EQ(encodeTreeItems({folder}), expected);
}

TEST(SnapshotWriter, BitmapPayloadIsTBitmapThenTheWholeBmp)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const QByteArray payload = encodePictureData(image);
    ASSERT_TRUE(payload.startsWith(shortString("TBitmap")));
    const qint32 length = qFromLittleEndian<qint32>(payload.constData() + 8);
    EXPECT_EQ(payload.size(), 1 + 7 + 4 + length);
    const QByteArray bmp = payload.mid(12);
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 2), quint32(length)) << "file size in the BMP header";
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24) << "bits per pixel";
    EXPECT_EQ(decodeBmp(bmp).pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(encodePictureData(QImage()), QByteArray(1, '\0')) << "no picture: the empty kind";
}

TEST(SnapshotWriter, BitmapWithAlphaIsWrittenOpaqueWithThePlainHeader)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(200, 100, 50, 128));
    const QByteArray bmp = encodeBmp(image);
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 14), 40u);
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 30), 0u) << "BI_RGB";
    const QImage read = decodeBmp(bmp);
    EXPECT_EQ(read.size(), QSize(3, 2));
    EXPECT_EQ(read.pixel(2, 1), qRgb(200, 100, 50));
}

TEST(SnapshotRoundTrip, TreesKeepTextsIndexesAndNesting)
{
    TreeEntries tree;
    TreeEntry root{QStringLiteral("Главная"), 1, 2, 1, -1, {}};
    TreeEntry sub{QStringLiteral("Стратегии «пробой»"), 1, 2, 1, -1, {}};
    sub.children.push_back({QStringLiteral("Вход по тренду"), 3, 3, -1, -1, {}});
    sub.children.push_back({QString(), 0, 0, -1, 5, {}});
    root.children.push_back(sub);
    root.children.push_back({QStringLiteral("EURUSD"), 4, 4, -1, -1, {}});
    tree.push_back(root);
    tree.push_back({QStringLiteral("second top"), -1, -2, 7, 0, {}});

    TreeSnapshotState read;
    const SnapshotHeader header = applyTreeSnapshot(writeTreeSnapshot("TreeView3", {QRect(1, 2, 3, 4), tree}), read);
    EXPECT_EQ(header.className, "TTreeView");
    EXPECT_EQ(header.objectName, "TreeView3");
    EXPECT_EQ(read.entries, tree);
    EXPECT_EQ(read.bounds, QRect(1, 2, 3, 4));
}

TEST(SnapshotRoundTrip, PicturesKeepBoundsAndPixels)
{
    QImage image(37, 21, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 12, (x + y) % 256));
    const PictureSnapshotState written{QRect(-12, -40, 800, 600), image};
    const QByteArray bytes = writePictureSnapshot("ImPict", written);

    PictureSnapshotState read{QRect(), QImage(5, 5, QImage::Format_RGB32)};
    applyPictureSnapshot(bytes, read);
    EXPECT_EQ(read.bounds, written.bounds);
    EXPECT_EQ(read.image.convertToFormat(QImage::Format_RGB32), image);

    // Without a picture nothing is written, and the reader keeps its own.
    PictureSnapshotState none{QRect(0, 0, 10, 10), QImage()};
    EXPECT_EQ(readSnapshot(writePictureSnapshot("ImgPic2", none)).property("Picture.Data"), nullptr);
    // An empty kind removes the picture.
    SnapshotObject empty;
    empty.className = "TImage";
    empty.properties.push_back({"Picture.Data", SnapshotValue::fromBinary(QByteArray(1, '\0'))});
    applyPictureSnapshot(writeSnapshot(empty), read);
    EXPECT_TRUE(read.image.isNull());
}

TEST(SnapshotReader, SkipsEveryTagItDoesNotApply)
{
    TreeEntries entries{{QStringLiteral("узел"), 2, 2, -1, -1, {}}};
    const QByteArray items = propertyBytes("Items.Data", SnapshotValue::fromBinary(encodeTreeItems(entries)));
    const QByteArray props =                                                          //
        shortString("Nested") + hex("01 02 05 01 03 0001 00 06 02 6869 00")            // list in a list
        + shortString("Left") + hex("04 07000000")                                     // a 4-byte integer
        + shortString("Scale") + hex("05 00000000000000a0ff3f")                        // 10-byte float
        + shortString("Ratio") + hex("0f 0000803f")                                    // 4-byte float
        + shortString("Caption") + hex("06 05") + "Hello"                              //
        + shortString("Align") + hex("07 08") + "alClient"                             //
        + shortString("ReadOnly") + hex("08") + shortString("Visible") + hex("09")     //
        + shortString("Glyph.Data") + hex("0a 03000000 010203")                        //
        + shortString("Options") + hex("0b") + shortString("goEditing") + hex("00")   // set
        + shortString("Lines.Text") + hex("0c 03000000") + "abc"                       //
        + shortString("OnClick") + hex("0d")                                           // nothing
        + shortString("Columns") + hex("0e 01") + shortString("Width") + hex("0240 00" // collection:
                                                                              "02 05 01 00" // with order
                                                                              "00")
        + shortString("Empty") + hex("0e 00")                                          // empty collection
        + items                                                                        // among the others
        + shortString("Price") + hex("10 1027000000000000")                            // currency
        + shortString("When") + hex("11 0000000000c0e240")                             // date
        + shortString("Wide") + hex("12 02000000 1f04 3804")                           // "Пи"
        + shortString("Utf8") + hex("14 04000000 d09fd0b8")                            // "Пи"
        + shortString("Big") + hex("13 0000000001000000");                            // 8-byte integer

    TreeSnapshotState state;
    applyTreeSnapshot(stream("TTreeView", props, hex("f2 0203")), state); // flags with a child position
    EXPECT_EQ(state.entries, entries);
    EXPECT_EQ(state.bounds.left(), 7);

    const SnapshotObject o = readSnapshot(stream("TTreeView", props));
    EXPECT_EQ(o.property("Wide")->value.text(), QStringLiteral("Пи"));
    EXPECT_EQ(o.property("Utf8")->value.text(), QStringLiteral("Пи"));
    EXPECT_EQ(o.property("Big")->value.integer, Q_INT64_C(1) << 32);
    EXPECT_EQ(o.property("Columns")->value.collection.size(), 2u);
    EXPECT_EQ(o.property("Options")->value.names, QList<QByteArray>{"goEditing"});
    // Everything read is written back byte for byte.
    EXPECT_EQ(writeSnapshot(o), stream("TTreeView", props));
}

TEST(SnapshotReader, WrongSignatureIsInvalidStreamFormat)
{
    TreeSnapshotState state{QRect(1, 1, 1, 1), {{QStringLiteral("a")}}};
    const TreeSnapshotState before = state;
    for (const QByteArray& bad : {QByteArray(), QByteArray("TPF"), QByteArray("TPF1\x05TTree"), QByteArray("tpf0")}) {
        try {
            applyTreeSnapshot(bad, state);
            ADD_FAILURE() << "no error for " << bad.toHex().constData();
        } catch (const SnapshotError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid stream format"));
        }
        EXPECT_EQ(state.entries, before.entries);
        EXPECT_EQ(state.bounds, before.bounds);
    }
}

TEST(SnapshotReader, BrokenStreamsStopWithAnErrorAndKeepWhatCameBefore)
{
    const QByteArray left = shortString("Left") + hex("0209");
    auto entry = [](qint32 size, quint8 textLength, const QByteArray& text) {
        return int32le(1) + int32le(size) + QByteArray(20, '\0') + int32le(0) + char(textLength) + text;
    };
    auto items = [](const QByteArray& payload) { return shortString("Items.Data") + hex("0a") + int32le(payload.size()) + payload; };
    struct Case {
        const char* what;
        QByteArray properties;
    };
    const Case cases[] = {
        {"unknown tag", left + shortString("X") + hex("15")},
        {"tag 0x00 as a value", left + shortString("X") + hex("00")},
        {"length past the end", left + shortString("X") + hex("0a ffffff7f 00")},
        {"negative length", left + shortString("X") + hex("0c feffffff")},
        {"wide text past the end", left + shortString("X") + hex("12 00000040")},
        {"record size 24", left + items(entry(24, 0, {}))},
        {"record size 281", left + items(entry(281, 0, QByteArray(256, 'a')))},
        {"text longer than its record", left + items(entry(27, 3, "abc"))},
        {"negative child count", left + items(int32le(-2))},
        {"record past the payload", left + items(entry(40, 15, "abc"))},
        {"collection item without a list", left + shortString("C") + hex("0e 0201 06")},
        {"width that overflows the bounds", left + shortString("Width") + hex("04 00000080")},
        {"left far out", left + shortString("Top") + hex("04 ffffff7f")},
    };
    for (const Case& c : cases) {
        TreeSnapshotState state;
        EXPECT_THROW(applyTreeSnapshot(stream("TTreeView", c.properties), state), SnapshotError) << c.what;
        EXPECT_EQ(state.bounds.left(), 9) << c.what << ": the property before the fault stays applied";
    }
}

TEST(SnapshotReader, EveryTruncationIsAnErrorNotACrash)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    TreeEntries tree{{QStringLiteral("a"), 0, 0, -1, -1, {{QStringLiteral("b")}}}};
    for (const QByteArray& whole : {writePictureSnapshot("ImPict", {QRect(0, 0, 4, 3), image}),
                                    writeTreeSnapshot("TreeView1", {QRect(), tree})}) {
        for (qsizetype n = 0; n < whole.size(); ++n) {
            const QByteArray cut = whole.left(n); // a copy: the reader must not look past it
            EXPECT_THROW(readSnapshot(cut), SnapshotError) << n;
        }
        EXPECT_NO_THROW(readSnapshot(whole));
    }
}

TEST(SnapshotReader, DeepNestingIsRefused)
{
    const QByteArray deepList = shortString("L") + QByteArray(10000, '\x01');
    EXPECT_THROW(readSnapshot(stream("T", deepList)), SnapshotError);
    // Tree entries nested deeper than the limit.
    QByteArray payload = int32le(1);
    for (int i = 0; i < kTreeMaxDepth + 1; ++i)
        payload += int32le(25) + QByteArray(20, '\0') + int32le(1) + char(0);
    EXPECT_THROW(decodeTreeItems(payload), SnapshotError);
}

TEST(GridSnapshot, WrittenTheWayTheWindowsGridWritesIt)
{
    GridLayout layout;
    layout.bounds = QRect(0, 49, 1254, 206);
    layout.colCount = 16;
    layout.defaultRowHeight = 18;
    layout.colWidths = {24, 40, 64, 110, 40, 40, 60, 60, 80, 80, 120, 120, 30, 120, 60, 300};
    const SnapshotObject o = readSnapshot(writeGridSnapshot("StringGrid_Analiz", layout));
    EXPECT_EQ(o.className, "TStringGrid");
    QList<QByteArray> names;
    for (const SnapshotProperty& p : o.properties)
        names << p.name;
    EXPECT_EQ(names, (QList<QByteArray>{"Left", "Top", "Width", "Height", "ColCount", "DefaultRowHeight", "ColWidths"}));
    const SnapshotValue& widths = o.property("ColWidths")->value;
    ASSERT_EQ(widths.tag, SnapshotTag::List);
    ASSERT_EQ(widths.items.size(), 16u);
    EXPECT_EQ(widths.items[0].tag, SnapshotTag::Int8);
    EXPECT_EQ(widths.items[15].tag, SnapshotTag::Int16);

    GridLayout read;
    applyGridSnapshot(writeGridSnapshot("StringGrid_Analiz", layout), read);
    EXPECT_EQ(read, layout);

    // All widths at the default: no ColWidths, as the Windows grid does.
    GridLayout plain;
    plain.colCount = 16;
    EXPECT_EQ(readSnapshot(writeGridSnapshot("G", plain)).property("ColWidths"), nullptr);
}

TEST(GridSnapshot, ReadsAGridWrittenByTheWindowsProgram)
{
    // ColWidths after ColCount, with integers of every width and more values
    // than columns (only ColCount of them are taken), among unknown properties.
    const QByteArray props = shortString("Left") + hex("0200") + shortString("Cursor") + hex("07 0b") + "crHandPoint"
        + shortString("ColCount") + hex("0203") + shortString("DefaultRowHeight") + hex("0212")
        + shortString("Font.Name") + hex("06 06") + "Tahoma" + shortString("Options") + hex("0b")
        + shortString("goFixedVertLine") + shortString("goRowSelect") + hex("00")
        + shortString("ColWidths") + hex("01 0218 04e8030000 032c01 0240 00")
        + shortString("RowHeights") + hex("01 0212 0212 00");
    GridLayout layout;
    applyGridSnapshot(stream("TStringGrid", props), layout);
    EXPECT_EQ(layout.colCount, 3);
    EXPECT_EQ(layout.defaultRowHeight, 18);
    EXPECT_EQ(layout.colWidths, (QList<int>{24, 1000, 300}));

    GridLayout bad;
    EXPECT_THROW(applyGridSnapshot(stream("TStringGrid", shortString("ColCount") + hex("04ffffffff")), bad), SnapshotError);
    EXPECT_THROW(applyGridSnapshot(stream("TStringGrid", shortString("ColWidths") + hex("0206")), bad), SnapshotError);
    EXPECT_THROW(applyGridSnapshot(stream("TStringGrid", shortString("ColWidths") + hex("01 04ffffff7f 00")), bad),
                 SnapshotError);
}
