#pragma once

// The one drawing state of the program, shared by every picture surface:
// the mode of a left press, whether a stroke is being drawn, where the last
// right press grabbed the picture, and the state of the controls that the
// trade picture and the notebook chart share (the pressed look of the mode
// buttons and the pen width field). It holds no widget: the buttons and
// fields of each page show it and change it, and follow `changed`.

#include <QObject>
#include <QPoint>
#include <QString>

#include <optional>

class DrawingTool : public QObject {
    Q_OBJECT
public:
    enum class Mode { Move, Draw, Text };
    // "Двигать", "Рисовать", "Текст".
    static QString modeName(Mode mode);

    Mode mode() const { return m_mode; }
    void setMode(Mode mode);

    // True from a press that starts a stroke to the next release on any surface.
    bool stroking = false;
    // The point of the last right press, in the pressed surface's coordinates.
    QPoint dragAnchor;

    // The mode buttons of the main window: the draw buttons of the trade
    // picture and of the chart are shown alike, and so are the text buttons.
    bool drawButtonDown() const { return m_drawDown; }
    bool textButtonDown() const { return m_textDown; }
    // A click on a draw button: "Рисовать" on, or back to "Двигать".
    void toggleDraw();
    // A click on a text button: "Текст" on, or back to "Двигать".
    void toggleText();

    // The big window's own draw button: returns whether it is now shown pressed.
    bool toggleBigDraw();
    // The big window's text button (its look does not change).
    void toggleBigText();
    // The big window closed: back to "Двигать", no stroke.
    void bigWindowClosed();

    // The pen width field (`cbb_Width`) that the trade picture and the chart
    // read; the integer it holds, nothing when it holds none.
    const QString& penWidthText() const { return m_widthText; }
    void setPenWidthText(const QString& text);
    std::optional<int> penWidth() const;

signals:
    void changed();

private:
    Mode m_mode = Mode::Move;
    bool m_drawDown = false;
    bool m_textDown = false;
    QString m_widthText = QStringLiteral("2");
};
