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

// The scale a picture is shown at in bounds of `bounds`, enlarged or made
// smaller to fit them and never distorted: the smaller of the two ratios.
// 1 for an empty picture or bounds.
double shownScale(QSize picture, QSize bounds);

// The picture pixel under the surface point `point` of a picture shown at
// `scale`: the point divided by the scale, the nearest integer, halves to even.
QPoint toPicturePixel(QPointF point, double scale);

// The nearest and farthest a zoom goes.
inline constexpr double kSmallestScale = 0.1;
inline constexpr double kLargestScale = 8.0;
// One press of "+" or "−", one notch of the wheel.
inline constexpr double kZoomStep = 1.25;

// The bounds of a picture of size `picture` shown in `bounds` after a zoom
// by `factor` (above 1 enlarges) around `pivot`, a point of the container
// of size `container`: the picture pixel under the pivot stays under it.
// The picture then keeps the container covered where it can: a picture
// wider than the container never leaves a gap at either side, a narrower
// one lies against its left edge (heights likewise). Zooming out stops
// before a side becomes 50 pixels or shorter; the scale stays within
// kSmallestScale and kLargestScale. The bounds are unchanged when the zoom
// goes no further.
QRect zoomedAround(const QRect& bounds, QSize picture, double factor, QPointF pivot, QSize container);

} // namespace picturegeom
