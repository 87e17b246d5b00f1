#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// One mouse event sent straight to a widget, at a point of the widget.
inline void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
{
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// A press, a move to `to` and a release of one button.
inline void drag(QWidget* w, Qt::MouseButton button, QPoint from, QPoint to)
{
    mouse(w, QEvent::MouseButtonPress, button, button, from);
    mouse(w, QEvent::MouseMove, Qt::NoButton, button, to);
    mouse(w, QEvent::MouseButtonRelease, button, Qt::NoButton, to);
}
