#include "about/ui/about_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <iterator>

namespace aboutpictures {

namespace {

void background(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 8, 8);
}

// A balance that rises with setbacks, as a trader's curve does.
void balanceCurve(QPainter& p, const QRectF& r)
{
    background(p, r, QColor(235, 245, 255), QColor(170, 200, 240));
    const double steps[] = {0.0, 0.12, 0.08, 0.25, 0.2, 0.38, 0.33, 0.55, 0.5, 0.72, 0.85};
    const int n = int(std::size(steps));
    QPainterPath line;
    for (int i = 0; i < n; ++i) {
        const QPointF pt(r.left() + 10 + (r.width() - 20) * i / (n - 1), r.bottom() - 10 - (r.height() - 20) * steps[i]);
        i == 0 ? line.moveTo(pt) : line.lineTo(pt);
    }
    QPainterPath area = line;
    area.lineTo(r.right() - 10, r.bottom() - 8);
    area.lineTo(r.left() + 10, r.bottom() - 8);
    area.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(179, 238, 58, 110));
    p.drawPath(area);
    p.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
}

// Candles on a dark banner.
void brokerBanner(QPainter& p, const QRectF& r)
{
    background(p, r, QColor(40, 60, 90), QColor(15, 25, 45));
    const int candles = 12;
    const double w = (r.width() - 20) / candles;
    double price = 0.5;
    const double moves[candles] = {0.08, -0.05, 0.1, 0.06, -0.12, 0.04, 0.09, -0.03, 0.11, -0.07, 0.05, 0.1};
    for (int i = 0; i < candles; ++i) {
        const double next = price + moves[i] * 0.8;
        const double hi = std::max(price, next), lo = std::min(price, next);
        const double x = r.left() + 10 + i * w + w / 2;
        auto y = [&](double v) { return r.bottom() - 8 - (r.height() - 16) * std::clamp(v, 0.0, 1.0); };
        const QColor colour = next >= price ? QColor(120, 220, 120) : QColor(255, 110, 110);
        p.setPen(QPen(colour, 1.5));
        p.drawLine(QPointF(x, y(hi + 0.05)), QPointF(x, y(lo - 0.05)));
        p.setBrush(colour);
        p.drawRect(QRectF(x - w * 0.3, y(hi), w * 0.6, std::max(2.0, y(lo) - y(hi))));
        price = next;
    }
}

void tester(QPainter& p, const QRectF& r)
{
    background(p, r, QColor(255, 240, 210), QColor(240, 180, 90));
    const double bars[] = {0.3, 0.55, 0.45, 0.75, 0.9};
    const double w = (r.width() - 30) / std::size(bars);
    p.setPen(Qt::NoPen);
    for (size_t i = 0; i < std::size(bars); ++i) {
        const double h = (r.height() - 24) * bars[i];
        p.setBrush(QColor(170, 90, 20));
        p.drawRoundedRect(QRectF(r.left() + 15 + i * w + 3, r.bottom() - 12 - h, w - 6, h), 3, 3);
    }
}

void risk(QPainter& p, const QRectF& r)
{
    background(p, r, QColor(255, 228, 225), QColor(255, 182, 193));
    const double d = std::min(r.width(), r.height()) - 24;
    const QRectF pie(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(204, 255, 204));
    p.drawEllipse(pie);
    p.setBrush(QColor(200, 40, 40));
    p.drawPie(pie, 90 * 16, -60 * 16); // the part put at risk
}

void plan(QPainter& p, const QRectF& r)
{
    background(p, r, QColor(240, 255, 240), QColor(170, 220, 170));
    const QRectF sheet = r.adjusted(r.width() * 0.25, 10, -r.width() * 0.25, -10);
    p.setPen(QPen(QColor(90, 120, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    for (int i = 0; i < 4; ++i) {
        const double y = sheet.top() + sheet.height() * (i + 1) / 5;
        p.setPen(QPen(QColor(0, 128, 0), 2));
        p.drawLine(QPointF(sheet.left() + 6, y), QPointF(sheet.left() + 9, y + 3));
        p.drawLine(QPointF(sheet.left() + 9, y + 3), QPointF(sheet.left() + 15, y - 4));
        p.setPen(QPen(QColor(120, 120, 120), 2));
        p.drawLine(QPointF(sheet.left() + 20, y), QPointF(sheet.right() - 6, y));
    }
}

void calendar(QPainter& p, const QRectF& r)
{
    background(p, r, QColor(230, 240, 255), QColor(150, 180, 230));
    const QRectF page = r.adjusted(r.width() * 0.2, 10, -r.width() * 0.2, -10);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 4, 4);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(page.left(), page.top(), page.width(), page.height() * 0.22));
    p.setBrush(QColor(90, 110, 160));
    const double cw = page.width() / 5, ch = page.height() * 0.78 / 4;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col) {
            const QPointF c(page.left() + cw * (col + 0.5), page.top() + page.height() * 0.22 + ch * (row + 0.5));
            p.drawEllipse(c, 2.5, 2.5);
        }
    }
}

} // namespace

QImage draw(Picture picture, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    switch (picture) {
    case Picture::BalanceCurve: balanceCurve(p, r); break;
    case Picture::BrokerBanner: brokerBanner(p, r); break;
    case Picture::Tester: tester(p, r); break;
    case Picture::Risk: risk(p, r); break;
    case Picture::Plan: plan(p, r); break;
    case Picture::Calendar: calendar(p, r); break;
    }
    return image;
}

} // namespace aboutpictures
