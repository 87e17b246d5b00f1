#include "notebook/core/text_shape.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

namespace {

ParagraphAlignment alignmentOf(Qt::Alignment a)
{
    const Qt::Alignment h = a & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignHCenter)
        return ParagraphAlignment::Center;
    if (h & Qt::AlignJustify)
        return ParagraphAlignment::Justify;
    if (h & (Qt::AlignRight | Qt::AlignTrailing))
        return ParagraphAlignment::Right;
    return ParagraphAlignment::Left;
}

ListKind listKindOf(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return ListKind::Decimal;
    case QTextListFormat::ListLowerAlpha: return ListKind::LowerAlpha;
    case QTextListFormat::ListUpperAlpha: return ListKind::UpperAlpha;
    case QTextListFormat::ListLowerRoman: return ListKind::LowerRoman;
    case QTextListFormat::ListUpperRoman: return ListKind::UpperRoman;
    default: return ListKind::Bullet;
    }
}

} // namespace

RunFormat effectiveFormat(const QTextDocument& document, const QTextCharFormat& format)
{
    const QFont base = document.defaultFont();
    RunFormat f;
    const QStringList families = format.fontFamilies().toStringList();
    f.family = families.isEmpty() ? base.family() : families.first();
    double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : base.pointSizeF();
    if (!(points > 0))
        points = 12;
    f.halfPoints = int(std::lround(points * 2));
    f.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() > QFont::Medium
                                                         : base.weight() > QFont::Medium;
    f.italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic();
    f.underline = format.fontUnderline();
    if (format.foreground().style() != Qt::NoBrush)
        f.colour = format.foreground().color().rgb();
    if (format.background().style() != Qt::NoBrush)
        f.background = format.background().color().rgb();
    return f;
}

TextShape describeText(const QTextDocument& document)
{
    TextShape shape;
    shape.reserve(size_t(document.blockCount()));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        ParagraphShape p;
        p.alignment = alignmentOf(block.blockFormat().alignment());
        if (const QTextList* list = block.textList()) {
            p.list = listKindOf(list->format().style());
            p.listNumber = list->itemNumber(block) + 1;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.length() == 0)
                continue;
            RunFormat f = effectiveFormat(document, fragment.charFormat());
            if (!p.runs.empty() && p.runs.back().format == f)
                p.runs.back().text += fragment.text();
            else
                p.runs.push_back({fragment.text(), std::move(f)});
        }
        shape.push_back(std::move(p));
    }
    return shape;
}

QString shapeText(const TextShape& shape)
{
    QString out;
    for (size_t i = 0; i < shape.size(); ++i) {
        if (i)
            out += u'\n';
        for (const TextRun& r : shape[i].runs)
            out += r.text;
    }
    return out;
}
