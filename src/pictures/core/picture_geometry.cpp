#include "pictures/core/picture_geometry.h"

#include <algorithm>
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

double shownScale(QSize picture, QSize bounds)
{
    if (picture.isEmpty() || bounds.isEmpty())
        return 1.0;
    return std::min(double(bounds.width()) / picture.width(), double(bounds.height()) / picture.height());
}

QPoint toPicturePixel(QPointF point, double scale)
{
    if (scale <= 0)
        scale = 1.0;
    return QPoint(int(std::nearbyint(point.x() / scale)), int(std::nearbyint(point.y() / scale)));
}

namespace {

// Left (or top) of a side of `length` in a container side of `room`.
int keptInside(double wanted, int length, int room)
{
    if (length <= room)
        return 0;
    return int(std::lround(std::clamp(wanted, double(room - length), 0.0)));
}

} // namespace

QRect zoomedAround(const QRect& bounds, QSize picture, double factor, QPointF pivot, QSize container)
{
    if (picture.isEmpty() || bounds.isEmpty() || factor <= 0)
        return bounds;
    const double scale = shownScale(picture, bounds.size());
    const double wanted = std::clamp(scale * factor, kSmallestScale, kLargestScale);
    if (std::abs(wanted - scale) < 1e-9)
        return bounds;
    const QSize size(std::max(1, int(std::lround(picture.width() * wanted))),
                     std::max(1, int(std::lround(picture.height() * wanted))));
    if (wanted < scale && (size.width() <= 50 || size.height() <= 50))
        return bounds;
    // The picture point under the pivot, in picture pixels.
    const double px = (pivot.x() - bounds.left()) / scale;
    const double py = (pivot.y() - bounds.top()) / scale;
    const double newScale = std::min(double(size.width()) / picture.width(), double(size.height()) / picture.height());
    const int left = keptInside(pivot.x() - px * newScale, size.width(), container.width());
    const int top = keptInside(pivot.y() - py * newScale, size.height(), container.height());
    return QRect(QPoint(left, top), size);
}

} // namespace picturegeom
