#pragma once

// The geometry of a picture surface in its container, without widgets: how
// the trade picture fits its bounds, which picture pixel a pointer is over,
// where panning and zooming put the bounds.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace picturegeom {

// The size a picture is shown at inside bounds of `bounds`: its own size
// when it fits, else scaled down proportionally to fit; never enlarged.
QSize fittedSize(QSize picture, QSize bounds);

// The picture pixel under the surface point `point` of a surface of size
// `bounds` that shows `picture` fitted from its top-left corner: the point
// divided by the shown scale, the nearest integer, halves to even. Nothing
// for an empty picture or surface.
std::optional<QPoint> surfaceToPicture(QPoint point, QSize picture, QSize bounds);

// The bounds after a pan to `point` (surface coordinates) of a picture
// grabbed at `anchor`, clamped to the container: never right of or below
// its top-left corner, then never left of or above the edge that keeps the
// picture's right and bottom inside it. A picture smaller than its
// container ends up against the container's right or bottom edge.
QRect pannedBounds(const QRect& bounds, QPoint point, QPoint anchor, QSize container);

// Zoom by 25 pixels on every side.
QRect zoomedIn(const QRect& bounds);
// Only when both sides are longer than 50; otherwise unchanged.
QRect zoomedOut(const QRect& bounds);

} // namespace picturegeom
