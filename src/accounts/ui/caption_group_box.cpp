#include "accounts/ui/caption_group_box.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

CaptionGroupBox::CaptionGroupBox(QWidget* parent)
    : QGroupBox(parent)
{
}

void CaptionGroupBox::setCaption(const QString& caption, const QColor& color)
{
    m_color = color;
    // An empty title would take the caption's line away and move every
    // control of the group up.
    setTitle(caption.isEmpty() ? QStringLiteral(" ") : caption);
    update();
}

void CaptionGroupBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    option.fontMetrics = QFontMetrics(bold);
    // The colour goes into this one painting only; setting it on the
    // widget's palette would pass it on to every child.
    if (m_color.isValid()) {
        option.palette.setColor(QPalette::WindowText, m_color);
        option.textColor = m_color;
    }
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}
