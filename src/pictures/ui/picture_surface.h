#pragma once

// A picture surface: a bitmap shown inside a container widget that clips
// it, drawn on with the program's one DrawingTool. The same class serves the
// trade picture (`ImPict`), the notebook chart (`ImgPic2`) and the big
// window's picture (`Image1`); its kind decides the few rules that differ:
//
//                    shown                              draws with        pans, zooms
//   TradePicture     scaled to its bounds, undistorted  left button       right button, +/−, Ctrl+wheel
//   ChartPicture     natural size until zoomed          left or middle    right button, +/−, Ctrl+wheel
//   BigPicture       natural size, fills window         left or middle    no
//
// The surface's geometry in its parent is the picture's bounds (left and top
// are negative when panned); the picture is shown at the scale that fits it
// to them (shownScale), and strokes and text land on the picture pixel under
// the pointer at every scale. Strokes and text change only the picture in
// memory; the owner stores it (see `modified`, `released`, `zoomed`).

#include <QImage>
#include <QPoint>
#include <QWidget>

class ColorBox;
class DrawingTool;
class Prompts;
class QAbstractButton;
class QMenu;

class PictureSurface : public QWidget {
    Q_OBJECT
public:
    enum class Kind { TradePicture, ChartPicture, BigPicture };

    PictureSurface(Kind kind, const QString& objectName, DrawingTool& tool, Prompts& prompts,
                   QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    // The colour box whose colour a press takes for the pen and the text.
    void setColourBox(ColorBox* box) { m_colourBox = box; }
    // The big window's draw button, whose pressed look brings back
    // "Рисовать" at a press (the other surfaces follow the tool's buttons).
    void setDrawButton(QAbstractButton* button) { m_drawButton = button; }

    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }
    // Replaces the picture. The chart picture sizes itself to it; the others keep their bounds.
    void setPicture(const QImage& image);
    void removePicture();
    // A white picture of the surface's current size.
    void blankPicture();
    QRect bounds() const { return geometry(); }
    void setBounds(const QRect& bounds) { setGeometry(bounds); }

    // Paste as a picture (trade picture): the image at natural size, from 0, 0.
    void pasteAsPicture(const QImage& image);
    // Paste into the chart bitmap: the image at natural size, left and top kept.
    void pasteIntoChart(const QImage& image);
    // One step larger or smaller around the centre of the container's view
    // (smaller only while both sides stay longer than 50 pixels).
    void zoomIn();
    void zoomOut();
    // Zooms by `factor` keeping the picture pixel at `pivot` (a point of
    // the container) where it is.
    void zoomAround(double factor, QPointF pivot);
    // The scale the picture is shown at: 1 at natural size.
    double scale() const;

    // Strokes or text drawn since the picture was set.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    void copyToClipboard() const;
    // "Сохранить как PNG…": asks for a file and writes the marked-up picture.
    void savePngAs();
    // The picture's context menu (a right click that did not pan).
    QMenu* contextMenu() const { return m_menu; }

signals:
    // A button was released over the surface.
    void released();
    // The first stroke or text since the picture was set.
    void modified();
    // A picture dragged in from another program.
    void imageDropped(const QImage& image);
    void doubleClicked();
    // The picture was set, removed or blanked.
    void pictureChanged();
    // The bounds changed by a zoom.
    void zoomed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool drawButtonDown() const;
    QPointF viewCentre() const;
    QColor penColour() const;
    // The picture pixel of a surface point: through the fitted scale on the
    // trade picture, as it is elsewhere.
    std::optional<QPoint> toPicture(QPoint point) const;
    // The surface rectangle that shows a rectangle of picture pixels.
    QRect toSurface(const QRect& pictureRect) const;
    void ensurePicture();
    void startStroke(QPoint point);
    void stampText(QPoint point);
    void markModified();

    Kind m_kind;
    DrawingTool& m_tool;
    Prompts& m_prompts;
    ColorBox* m_colourBox = nullptr;
    QAbstractButton* m_drawButton = nullptr;
    QMenu* m_menu = nullptr;
    QImage m_picture;
    QPoint m_penPos; // in picture pixels
    QColor m_penColour = Qt::black;
    int m_penWidth = 1;
    bool m_modified = false;
    QPoint m_rightPress; // where the right button went down, in global coordinates
    bool m_panned = false;
};
