// The notebook's RTF reader and writer: WordPad's documents open with their
// text and formats, every document read writes back to RTF that reads the
// same, and the corners of the format (escapes, code pages, skipped
// destinations, text that is not RTF).
#include "notebook/core/rtf_reader.h"
#include "notebook/core/rtf_writer.h"
#include "notebook/core/text_shape.h"
#include "temp_journal.h"

#include <QDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

namespace {

QString rtfDir() { return QStringLiteral(TJ_FIXTURES_DIR "/formats/rtf"); }

TextShape readShape(QByteArrayView bytes)
{
    QTextDocument document;
    readStoredText(bytes, document);
    return describeText(document);
}

// The first paragraph holding `part`, or nullptr.
const ParagraphShape* paragraph(const TextShape& shape, const QString& part)
{
    for (const ParagraphShape& p : shape) {
        QString text;
        for (const TextRun& r : p.runs)
            text += r.text;
        if (text.contains(part))
            return &p;
    }
    return nullptr;
}

// The run holding `text`, or nullptr.
const TextRun* run(const TextShape& shape, const QString& text)
{
    for (const ParagraphShape& p : shape) {
        for (const TextRun& r : p.runs) {
            if (r.text.contains(text))
                return &r;
        }
    }
    return nullptr;
}

std::string dump(const TextShape& shape)
{
    // Appended piece by piece: GCC 12 warns falsely on chains of + over std::string.
    std::string out;
    for (const ParagraphShape& p : shape) {
        out.append("[").append(std::to_string(int(p.alignment))).append(",");
        out.append(std::to_string(int(p.list))).append("] ");
        for (const TextRun& r : p.runs) {
            out.append("<").append(r.format.family.toStdString()).append(" ");
            out.append(std::to_string(r.format.halfPoints));
            out.append(r.format.bold ? " b" : "").append(r.format.italic ? " i" : "");
            out.append(r.format.underline ? " u" : "");
            if (r.format.colour)
                out.append(" c").append(QString::number(*r.format.colour, 16).toStdString());
            if (r.format.background)
                out.append(" bg").append(QString::number(*r.format.background, 16).toStdString());
            out.append(">").append(r.text.toStdString());
        }
        out.append("\n");
    }
    return out;
}

} // namespace

TEST(RtfFixtures, WordPadDocumentsOpenWithTheirTextAndFormats)
{
    if (!QDir(rtfDir()).exists())
        GTEST_SKIP() << "fixtures not present";
    struct Expect {
        const char* file;
        QString paragraphStart;
        ParagraphAlignment alignment;
        ListKind list;
        QString runText; // a run inside the document and its format
        const char* family;
        int halfPoints;
        bool bold, italic, underline;
        std::optional<QRgb> colour;
    };
    const std::optional<QRgb> none;
    const Expect cases[] = {
        {"01_wordpad11_ru_qc_cf_pntext_bullets_numbers_wmf.rtf", "Задание", ParagraphAlignment::Center,
         ListKind::None, "ВЫПОЛНЕНО", "Calibri", 28, true, false, false, qRgb(0, 176, 80)},
        {"01_wordpad11_ru_qc_cf_pntext_bullets_numbers_wmf.rtf", "Ввод символов", ParagraphAlignment::Left,
         ListKind::Decimal, "Задание", "Calibri", 28, false, false, false, none},
        {"01_wordpad11_ru_qc_cf_pntext_bullets_numbers_wmf.rtf", "Номер действия", ParagraphAlignment::Left,
         ListKind::Bullet, "Номер действия", "Calibri", 22, false, false, false, none},
        {"02_wordpad10_ru_bold_italic_nbsp.rtf", "Задача:", ParagraphAlignment::Left, ListKind::None, "Задача:", "Calibri", 22, true, false, false, none},
        {"02_wordpad10_ru_bold_italic_nbsp.rtf", "Написать программу", ParagraphAlignment::Left, ListKind::None,
         "Написать программу", "Calibri", 22, false, true, false, none},
        {"03_wordpad7_msftedit_uk_mixed_fcharset.rtf", "1. Зареєструватися--->натиснути на кнопку «+»",
         ParagraphAlignment::Left, ListKind::None, "ім’я, опис та ініціалізувати", "Calibri", 22, false, false, false, none},
        {"04_wordpad10_en_pntext_bullets_decimal.rtf", "Bullet 2", ParagraphAlignment::Left, ListKind::Bullet,
         "Bullet 2", "Calibri", 22, false, false, false, none},
        {"04_wordpad10_en_pntext_bullets_decimal.rtf", "List 2", ParagraphAlignment::Left, ListKind::Decimal,
         "List 2", "Calibri", 22, false, false, false, none},
        {"05_wordpad81_en_qc_qj_highlight_ole_pbrush_bmp.rtf", "Central", ParagraphAlignment::Center,
         ListKind::None, "blue underline italic text", "Arial", 22, false, true, true, qRgb(0, 77, 187)},
        {"05_wordpad81_en_qc_qj_highlight_ole_pbrush_bmp.rtf", "blue underline", ParagraphAlignment::Justify,
         ListKind::None, "Test the RTF Loading File", "Arial", 22, true, false, false, none},
    };
    for (const Expect& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " / " + c.paragraphStart.toStdString());
        const TextShape shape = readShape(readBytes(rtfDir() + u'/' + QLatin1StringView(c.file)));
        const ParagraphShape* p = paragraph(shape, c.paragraphStart);
        ASSERT_NE(p, nullptr) << dump(shape);
        EXPECT_EQ(p->alignment, c.alignment);
        EXPECT_EQ(p->list, c.list);
        const TextRun* r = run(shape, c.runText);
        ASSERT_NE(r, nullptr) << dump(shape);
        EXPECT_EQ(r->format.family, QLatin1StringView(c.family));
        EXPECT_EQ(r->format.halfPoints, c.halfPoints);
        EXPECT_EQ(r->format.bold, c.bold);
        EXPECT_EQ(r->format.italic, c.italic);
        EXPECT_EQ(r->format.underline, c.underline);
        EXPECT_EQ(r->format.colour, c.colour);
    }
}

TEST(RtfFixtures, PicturesAndObjectsLeaveNoTextAndHighlightIsKept)
{
    if (!QDir(rtfDir()).exists())
        GTEST_SKIP() << "fixtures not present";
    const TextShape pictures = readShape(readBytes(rtfDir() + "/01_wordpad11_ru_qc_cf_pntext_bullets_numbers_wmf.rtf"));
    const QString text = shapeText(pictures);
    EXPECT_FALSE(text.contains(QStringLiteral("0100090000"))) << "metafile hex read as text";
    EXPECT_LT(text.size(), 5000);

    const TextShape object = readShape(readBytes(rtfDir() + "/05_wordpad81_en_qc_qj_highlight_ole_pbrush_bmp.rtf"));
    const ParagraphShape* line = paragraph(object, "This line starts here");
    ASSERT_NE(line, nullptr) << dump(object);
    EXPECT_EQ(line->runs.size(), 1u);
    EXPECT_EQ(line->runs[0].text, "This line starts here image. This lone goes on");
    const TextRun* yellow = run(object, "yellow background test");
    ASSERT_NE(yellow, nullptr);
    EXPECT_EQ(yellow->format.background, std::optional<QRgb>(qRgb(255, 255, 0)));

    // Numbered items keep their numbers, bullets their list.
    const TextShape lists = readShape(readBytes(rtfDir() + "/04_wordpad10_en_pntext_bullets_decimal.rtf"));
    EXPECT_EQ(paragraph(lists, "List 1")->listNumber, 1);
    EXPECT_EQ(paragraph(lists, "List 2")->listNumber, 2);
    EXPECT_EQ(paragraph(lists, "Paragraph 2")->list, ListKind::None);
    EXPECT_EQ(lists.back().list, ListKind::None) << "the empty paragraph after the last mark";
}

TEST(RtfFixtures, EveryWordPadDocumentWritesBackToTheSameTextAndFormats)
{
    if (!QDir(rtfDir()).exists())
        GTEST_SKIP() << "fixtures not present";
    const QStringList files = QDir(rtfDir()).entryList({QStringLiteral("*.rtf")}, QDir::Files);
    ASSERT_EQ(files.size(), 5);
    for (const QString& f : files) {
        SCOPED_TRACE(f.toStdString());
        const TextShape first = readShape(readBytes(rtfDir() + u'/' + f));
        const QByteArray written = writeRtf(first);
        const TextShape again = readShape(written);
        EXPECT_EQ(again, first) << dump(first) << "----\n" << dump(again);
        EXPECT_EQ(writeRtf(again), written) << "writing is stable";
    }
}

TEST(Rtf, CornersOfTheFormat)
{
    struct Case {
        const char* name;
        QByteArray rtf;
        QString text; // paragraphs joined by '\n'
    };
    const Case cases[] = {
        {"\\u with a one-byte fallback", "{\\rtf1\\uc1 \\u1055?\\u1088\\'f0\\u-3913?}", QString::fromUtf8("Пр\uf0b7")},
        {"\\uc2 skips two bytes, \\uc0 none", "{\\rtf1{\\uc2\\u1055\\'cf\\'cf}\\uc0\\u1088 x}", "Прx"},
        {"surrogate pair", "{\\rtf1\\u-10179?\\u-8704?}", QString::fromUtf8("\U0001F600")},
        {"\\ansicpg1251 without a font", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", "При"},
        {"font charset wins over \\ansicpg",
         "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial;}}\\f0\\'e9\\f1\\'e9}",
         QString::fromUtf8("éй")},
        {"unknown destinations and pictures skipped",
         "{\\rtf1 a{\\*\\unknown x}{\\pict\\wmetafile8 0102}{\\object{\\*\\objdata 00}{\\result c}}b}", "ab"},
        {"escaped braces, line, tab, nbsp and quotes",
         "{\\rtf1 \\{x\\}\\line y\\tab z\\~\\lquote q\\rquote\\par end}",
         QString::fromUtf8("{x}\u2028y\tz\u00a0\u2018q\u2019\nend")},
        {"binary data is no text", "{\\rtf1 a\\bin3 }{xb}", "ab"},
        {"a missing closing brace", "{\\rtf1 one\\par two", "one\ntwo"},
        {"not RTF: plain Windows-1251 lines", QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\r\n\xec\xe8\xf0"), "Привет\nмир"},
        {"not RTF: UTF-8", QByteArray("Привет {\\b}"), "Привет {\\b}"},
        {"a font named only by blanks, never closed", QByteArray("{\\rtf\xff{\\fonttbl{ }"), QString::fromUtf8("ÿ")},
        {"hyperlink field shows its result", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt site}}}", "site"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextShape shape = readShape(c.rtf);
        EXPECT_EQ(shapeText(shape), c.text);
        EXPECT_EQ(readShape(writeRtf(shape)), shape);
    }
}

TEST(Rtf, EditorTextKeepsEveryFormatThroughStoreAndOpen)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat blue;
    blue.setFontFamilies({QStringLiteral("Tahoma")});
    blue.setFontPointSize(12);
    blue.setForeground(QColor(0, 0, 255));
    cursor.insertText(QStringLiteral("Торговый план"), blue);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    QTextCharFormat bold = blue;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(14.5);
    bold.setFontItalic(true);
    bold.setFontUnderline(true);
    bold.setBackground(QColor(255, 255, 0));
    bold.setFontFamilies({QStringLiteral("Times New Roman")});
    cursor.insertBlock(QTextBlockFormat(), blue);
    cursor.insertText(QStringLiteral("Вход: "), blue);
    cursor.insertText(QStringLiteral("только по тренду {H4}"), bold);
    cursor.insertBlock(QTextBlockFormat(), blue);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.createList(bullets);
    cursor.insertText(QStringLiteral("стоп за уровнем"), blue);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("риск 2%; ёж ‘Ω’ ☺"), blue);
    cursor.insertBlock(QTextBlockFormat(), blue);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.setBlockFormat(right);
    cursor.insertText(QStringLiteral("Итог"), blue);

    const TextShape shape = describeText(document);
    ASSERT_EQ(shape.size(), 5u);
    EXPECT_EQ(shape[2].list, ListKind::Bullet);
    EXPECT_EQ(shape[3].list, ListKind::Bullet);
    const QByteArray rtf = writeRtf(document);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    EXPECT_EQ(readShape(rtf), shape) << dump(shape) << "----\n" << dump(readShape(rtf));

    QTextDocument empty;
    EXPECT_EQ(readShape(writeRtf(empty)), describeText(empty));
}
