// Streams and bitmaps written by real Delphi and Lazarus programs and by a
// public BMP test suite: the reader reads them to their end, applies the
// trees and pictures it knows and writes every stream back byte for byte.
#include "state/core/control_snapshots.h"
#include "state/core/picture_data.h"
#include "temp_journal.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString formatsDir() { return QStringLiteral(TJ_FIXTURES_DIR "/formats"); }

#define SKIP_WITHOUT_FIXTURES()                                                                     \
    if (!QDir(formatsDir()).exists())                                                               \
    GTEST_SKIP() << "fixtures not present: " << formatsDir().toStdString()

// The binary streams of the corpus (the Delphi text forms are not streams).
QStringList streamFiles()
{
    QStringList out;
    QDirIterator it(formatsDir() + QStringLiteral("/dfm"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.endsWith(QLatin1String(".text.dfm")))
            out << f;
    }
    out.sort();
    return out;
}

void forEachObject(const SnapshotObject& o, const std::function<void(const SnapshotObject&)>& visit)
{
    visit(o);
    for (const SnapshotObject& child : o.children)
        forEachObject(child, visit);
}

int countEntries(const TreeEntries& entries)
{
    int n = 0;
    for (const TreeEntry& e : entries)
        n += 1 + countEntries(e.children);
    return n;
}

SnapshotObject readFixture(const QString& name)
{
    const QByteArray bytes = readBytes(formatsDir() + QStringLiteral("/dfm/") + name);
    return readSnapshot(stripResourceHeader(bytes));
}

} // namespace

TEST(SnapshotFixtures, EveryStreamReadsToItsEndAndWritesBackUnchanged)
{
    SKIP_WITHOUT_FIXTURES();
    const QStringList files = streamFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray bytes = readBytes(file);
        const QByteArrayView stream = stripResourceHeader(bytes);
        ASSERT_TRUE(stream.startsWith("TPF0"));
        SnapshotObject root;
        ASSERT_NO_THROW(root = readSnapshot(stream));
        EXPECT_EQ(writeSnapshot(root), stream.toByteArray());
    }
}

TEST(SnapshotFixtures, BinaryFormsMatchTheTextFormsDelphiWrote)
{
    SKIP_WITHOUT_FIXTURES();
    static const QRegularExpression objectLine(QStringLiteral("^\\s*(?:object|inherited|inline)\\s+(\\w*)\\s*:\\s*(\\w+)"),
                                               QRegularExpression::MultilineOption);
    int compared = 0;
    for (const QString& file : streamFiles()) {
        if (!file.endsWith(QLatin1String(".bin.dfm")))
            continue;
        SCOPED_TRACE(file.toStdString());
        QString textForm = file;
        textForm.replace(QLatin1String(".bin.dfm"), QLatin1String(".text.dfm"));
        QStringList expected;
        auto it = objectLine.globalMatch(QString::fromLatin1(readBytes(textForm)));
        while (it.hasNext()) {
            const auto m = it.next();
            expected << m.captured(1) + u':' + m.captured(2);
        }
        QStringList read;
        forEachObject(readSnapshot(stripResourceHeader(readBytes(file))), [&](const SnapshotObject& o) {
            read << QString::fromLatin1(o.objectName + ':' + o.className);
        });
        EXPECT_EQ(read, expected);
        ++compared;
    }
    EXPECT_EQ(compared, 3);
}

TEST(SnapshotFixtures, TreesAndPicturesDecode)
{
    SKIP_WITHOUT_FIXTURES();
    struct Case {
        const char* file;
        int trees;    // Items.Data in the Delphi layout
        int nodes;    // their entries, all levels
        int pictures; // Picture.Data bitmaps
    };
    const Case cases[] = {
        {"01_p4d_demo10_treeview_richedit.dfm", 1, 145, 0},
        {"02_fastreport_FR_Dict_image_treeview.dfm", 2, -1, 4},
        {"03_kingcal_kingprop_d102_utf8_picture.dfm", 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        int trees = 0, nodes = 0, pictures = 0;
        forEachObject(readFixture(QString::fromLatin1(c.file)), [&](const SnapshotObject& o) {
            if (const SnapshotProperty* p = o.property("Items.Data")) {
                const TreeEntries entries = decodeTreeItems(p->value.bytes);
                ++trees;
                nodes += countEntries(entries);
            }
            if (const SnapshotProperty* p = o.property("Picture.Data")) {
                const std::optional<QImage> image = decodePictureData(p->value.bytes);
                ASSERT_TRUE(image.has_value());
                EXPECT_FALSE(image->isNull());
                // The size the bitmap's own header gives.
                const QByteArray& bytes = p->value.bytes;
                const QByteArrayView bmp = QByteArrayView(bytes).sliced(1 + quint8(bytes[0]) + 4);
                EXPECT_EQ(image->width(), qFromLittleEndian<qint32>(bmp.data() + 18));
                EXPECT_EQ(image->height(), qAbs(qFromLittleEndian<qint32>(bmp.data() + 22)));
                ++pictures;
            }
        });
        EXPECT_EQ(trees, c.trees);
        if (c.nodes >= 0) {
            EXPECT_EQ(nodes, c.nodes);
        }
        EXPECT_EQ(pictures, c.pictures);
    }
}

TEST(SnapshotFixtures, FirstTreeEntriesAndTextsAreReadRight)
{
    SKIP_WITHOUT_FIXTURES();
    const SnapshotObject demo = readFixture(QStringLiteral("01_p4d_demo10_treeview_richedit.dfm"));
    TreeEntries entries;
    forEachObject(demo, [&](const SnapshotObject& o) {
        if (const SnapshotProperty* p = o.property("Items.Data"))
            entries = decodeTreeItems(p->value.bytes);
    });
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, QStringLiteral("TField"));
    EXPECT_EQ(entries[0].stateIndex, -1);
    EXPECT_EQ(entries[0].children.size(), 2u);

    // Windows-1251 bytes in a short text.
    QString caption;
    forEachObject(readFixture(QStringLiteral("04_gedemin_tabhost_flags_cp1251.dfm")), [&](const SnapshotObject& o) {
        if (o.objectName == "actClosePage")
            caption = o.property("Caption")->value.text();
    });
    EXPECT_EQ(caption, QStringLiteral("Спрятать"));

    // The Lazarus tree layout is recognised and left alone, not misread.
    const SnapshotObject lazarus = readFixture(QStringLiteral("06_lazarus_autopopoln_mainform_raw.tpf0"));
    int lazarusTrees = 0;
    forEachObject(lazarus, [&](const SnapshotObject& o) {
        if (const SnapshotProperty* p = o.property("Items.Data")) {
            EXPECT_TRUE(isLazarusTreeItems(p->value.bytes));
            ++lazarusTrees;
        }
    });
    EXPECT_EQ(lazarusTrees, 1);
}

TEST(SnapshotFixtures, BmpFilesDecodeToTheirSize)
{
    SKIP_WITHOUT_FIXTURES();
    const QStringList files = QDir(formatsDir() + QStringLiteral("/bmp")).entryList({QStringLiteral("*.bmp")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bmp = readBytes(formatsDir() + QStringLiteral("/bmp/") + name);
        const QImage image = decodeBmp(bmp);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), qFromLittleEndian<qint32>(bmp.constData() + 18));
        EXPECT_EQ(image.height(), qAbs(qFromLittleEndian<qint32>(bmp.constData() + 22)));
        // And each one survives our writer as a bitmap Windows reads (the
        // colours; Windows draws bitmaps without their alpha).
        const QImage again = decodeBmp(encodeBmp(image));
        EXPECT_EQ(again.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
    }
}
