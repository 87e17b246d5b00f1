#include "pictures/core/drawing_tool.h"

QString DrawingTool::modeName(Mode mode)
{
    switch (mode) {
    case Mode::Draw: return QStringLiteral("Рисовать");
    case Mode::Text: return QStringLiteral("Текст");
    case Mode::Move: break;
    }
    return QStringLiteral("Двигать");
}

void DrawingTool::setMode(Mode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    emit changed();
}

void DrawingTool::toggleDraw()
{
    if (m_mode != Mode::Draw) {
        m_mode = Mode::Draw;
        m_drawDown = true;
        m_textDown = false;
    } else {
        m_mode = Mode::Move;
        m_drawDown = false;
    }
    emit changed();
}

void DrawingTool::toggleText()
{
    if (m_mode != Mode::Text) {
        m_mode = Mode::Text;
        m_textDown = true;
        m_drawDown = false;
    } else {
        m_mode = Mode::Move;
        m_textDown = false;
    }
    emit changed();
}

bool DrawingTool::toggleBigDraw()
{
    const bool down = m_mode != Mode::Draw;
    m_mode = down ? Mode::Draw : Mode::Move;
    emit changed();
    return down;
}

void DrawingTool::toggleBigText()
{
    m_mode = m_mode == Mode::Text ? Mode::Move : Mode::Text;
    emit changed();
}

void DrawingTool::bigWindowClosed()
{
    stroking = false;
    setMode(Mode::Move);
}

void DrawingTool::setPenWidthText(const QString& text)
{
    if (m_widthText == text)
        return;
    m_widthText = text;
    emit changed();
}

std::optional<int> DrawingTool::penWidth() const
{
    bool ok = false;
    const int width = m_widthText.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return width;
}
