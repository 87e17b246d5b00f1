#include "pictures/ui/picture_scroll_bars.h"

#include "pictures/ui/picture_surface.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QScrollBar>
#include <QWheelEvent>

QWidget* PictureScrollBars::wrap(QWidget* container, PictureSurface* surface, QWidget* parent)
{
    auto* frame = new QWidget(parent);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto* horizontal = new QScrollBar(Qt::Horizontal, frame);
    auto* vertical = new QScrollBar(Qt::Vertical, frame);
    horizontal->setObjectName(surface->objectName() + QStringLiteral("HScroll"));
    vertical->setObjectName(surface->objectName() + QStringLiteral("VScroll"));
    horizontal->hide();
    vertical->hide();
    container->setParent(frame);
    grid->addWidget(container, 0, 0);
    grid->addWidget(vertical, 0, 1);
    grid->addWidget(horizontal, 1, 0);
    auto* bars = new PictureScrollBars(container, surface, horizontal, vertical);
    bars->setParent(frame);
    bars->setObjectName(surface->objectName() + QStringLiteral("ScrollBars"));
    return frame;
}

PictureScrollBars::PictureScrollBars(QWidget* container, PictureSurface* surface, QScrollBar* horizontal,
                                     QScrollBar* vertical)
    : m_container(container)
    , m_surface(surface)
    , m_horizontal(horizontal)
    , m_vertical(vertical)
{
    container->installEventFilter(this);
    surface->installEventFilter(this);
    connect(surface, &PictureSurface::pictureChanged, this, &PictureScrollBars::follow);
    connect(horizontal, &QScrollBar::valueChanged, this, [this](int v) { scrollTo(Qt::Horizontal, v); });
    connect(vertical, &QScrollBar::valueChanged, this, [this](int v) { scrollTo(Qt::Vertical, v); });
    follow();
}

bool PictureScrollBars::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        follow();
        break;
    case QEvent::Wheel:
        if (watched == m_container) {
            // Over the picture or beside it: the bars scroll, a horizontal
            // wheel or Shift the width.
            auto* wheel = static_cast<QWheelEvent*>(event);
            const bool across = wheel->angleDelta().x() != 0 || (wheel->modifiers() & Qt::ShiftModifier);
            QScrollBar* bar = across ? m_horizontal : m_vertical;
            if (!bar->isHidden()) {
                QApplication::sendEvent(bar, event);
                return true;
            }
        }
        break;
    default:
        break;
    }
    return false;
}

void PictureScrollBars::follow()
{
    if (m_following)
        return;
    m_following = true;
    QRect bounds = m_surface->geometry();
    const bool any = m_surface->hasPicture();
    // The room the pane would have without bars, less a bar's thickness
    // for each bar needed (a bar needed across can make one needed down).
    const int barHeight = m_horizontal->sizeHint().height(), barWidth = m_vertical->sizeHint().width();
    // (The frame's size: the pane's lags behind a bar shown or hidden until
    // the frame lays it out again.)
    const QWidget* frame = m_container->parentWidget();
    const int fullWidth = frame ? frame->width() : m_container->width();
    const int fullHeight = frame ? frame->height() : m_container->height();
    bool across = any && bounds.width() > fullWidth;
    bool down = any && bounds.height() > fullHeight;
    across = any && bounds.width() > fullWidth - (down ? barWidth : 0);
    down = any && bounds.height() > fullHeight - (across ? barHeight : 0);
    const int roomWidth = fullWidth - (down ? barWidth : 0), roomHeight = fullHeight - (across ? barHeight : 0);
    // A picture that fits a side shows from its start (panned into a
    // corner it stays there); one that does not leaves no gap at its end.
    auto kept = [](int offset, int length, int room, bool scrolls) {
        if (!scrolls)
            return offset < 0 ? 0 : offset;
        return std::clamp(offset, room - length, 0);
    };
    const QPoint at(kept(bounds.left(), bounds.width(), roomWidth, across),
                    kept(bounds.top(), bounds.height(), roomHeight, down));
    if (any && at != bounds.topLeft()) {
        m_surface->move(at);
        bounds.moveTopLeft(at);
    }
    auto set = [](QScrollBar* bar, bool shown, int length, int room, int offset) {
        if (!shown) {
            bar->setRange(0, 0);
            bar->hide();
            return;
        }
        bar->setRange(0, length - room);
        bar->setPageStep(room);
        bar->setSingleStep(std::max(1, room / 20));
        bar->setValue(-offset);
        bar->show();
    };
    set(m_horizontal, across, bounds.width(), roomWidth, bounds.left());
    set(m_vertical, down, bounds.height(), roomHeight, bounds.top());
    m_following = false;
}

void PictureScrollBars::scrollTo(Qt::Orientation orientation, int value)
{
    if (m_following)
        return;
    const QRect bounds = m_surface->geometry();
    if (orientation == Qt::Horizontal)
        m_surface->move(-value, bounds.top());
    else
        m_surface->move(bounds.left(), -value);
    emit scrolled();
}
