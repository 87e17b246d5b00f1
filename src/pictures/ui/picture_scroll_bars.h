#pragma once

// Scroll bars beside a picture's container: a picture larger than the
// container (panned, zoomed in, or pasted larger than the pane) shows a bar
// for each side that does not fit, whose position is the picture's pan and
// which pans it when moved. The wheel over the container scrolls (with Ctrl
// it zooms, see PictureSurface). The bars are named after the surface:
// "<surface>HScroll" and "<surface>VScroll".

#include <QObject>

class PictureSurface;
class QScrollBar;
class QWidget;

class PictureScrollBars : public QObject {
    Q_OBJECT
public:
    // Puts `container` with the two bars into a new widget of `parent` and
    // returns it; the container keeps clipping the surface as before.
    static QWidget* wrap(QWidget* container, PictureSurface* surface, QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The trader moved a bar.
    void scrolled();

private:
    PictureScrollBars(QWidget* container, PictureSurface* surface, QScrollBar* horizontal, QScrollBar* vertical);
    void follow();
    void scrollTo(Qt::Orientation orientation, int value);

    QWidget* m_container;
    PictureSurface* m_surface;
    QScrollBar* m_horizontal;
    QScrollBar* m_vertical;
    bool m_following = false;
};
