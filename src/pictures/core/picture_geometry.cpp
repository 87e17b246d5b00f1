#include "pictures/core/picture_geometry.h"

#include <cmath>

namespace picturegeom {

QSize fittedSize(QSize picture, QSize bounds)
{
    if (picture.isEmpty())
        return picture;
    if (picture.width() <= bounds.width() && picture.height() <= bounds.height())
        return picture;
    return picture.scaled(bounds.expandedTo(QSize(0, 0)), Qt::KeepAspectRatio);
}

std::optional<QPoint> surfaceToPicture(QPoint point, QSize picture, QSize bounds)
{
    const QSize shown = fittedSize(picture, bounds);
    if (picture.isEmpty() || shown.width() <= 0)
        return std::nullopt;
    // One ratio for both axes, as the picture is shown proportionally:
    // x / (shown / picture), computed as x * picture / shown so that halves
    // stay exact; nearbyint rounds them to even in the default rounding mode.
    auto map = [&](int v) { return int(std::nearbyint(double(v) * picture.width() / shown.width())); };
    return QPoint(map(point.x()), map(point.y()));
}

QRect pannedBounds(const QRect& bounds, QPoint point, QPoint anchor, QSize container)
{
    int left = bounds.left() + point.x() - anchor.x();
    int top = bounds.top() + point.y() - anchor.y();
    if (left > 0)
        left = 0;
    if (top > 0)
        top = 0;
    if (left < container.width() - bounds.width())
        left = container.width() - bounds.width();
    if (top < container.height() - bounds.height())
        top = container.height() - bounds.height();
    return QRect(left, top, bounds.width(), bounds.height());
}

QRect zoomedIn(const QRect& bounds)
{
    return QRect(bounds.left() - 25, bounds.top() - 25, bounds.width() + 50, bounds.height() + 50);
}

QRect zoomedOut(const QRect& bounds)
{
    if (bounds.width() <= 50 || bounds.height() <= 50)
        return bounds;
    return QRect(bounds.left() + 25, bounds.top() + 25, bounds.width() - 50, bounds.height() - 50);
}

} // namespace picturegeom
