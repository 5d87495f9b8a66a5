#include "pictures/about_picture.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>

namespace ui {

namespace {

constexpr int kWidth = 454, kHeight = 340;

// The strip of paper, slightly rising to the right, its right end under the
// scissors.
QPolygonF stripOutline()
{
    return QPolygonF({{50, 227}, {350, 214}, {354, 256}, {50, 267}});
}

// A soft shadow: the shape drawn small and enlarged smoothly.
void drawSoftShadow(QPainter& p, const QPainterPath& shape, QPointF offset, int alpha)
{
    constexpr int shrink = 4;
    QImage small(kWidth / shrink + 1, kHeight / shrink + 1, QImage::Format_ARGB32_Premultiplied);
    small.fill(Qt::transparent);
    {
        QPainter s(&small);
        s.setRenderHint(QPainter::Antialiasing);
        s.scale(1.0 / shrink, 1.0 / shrink);
        s.translate(offset);
        s.fillPath(shape, QColor(70, 70, 70, alpha));
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(0, 0, small.width() * shrink, small.height() * shrink), small);
    p.restore();
}

// The paper and its shadow on a layer of their own, which fades out
// towards the left.
QImage paperLayer()
{
    QImage layer(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath strip;
    strip.addPolygon(stripOutline());
    strip.closeSubpath();
    drawSoftShadow(p, strip, {5, 9}, 150);

    QLinearGradient paper(0, 214, 0, 268);
    paper.setColorAt(0, QColor(0xfd, 0xfc, 0xf7));
    paper.setColorAt(1, QColor(0xf0, 0xee, 0xe6));
    p.setPen(QPen(QColor(0xd2, 0xcf, 0xc6), 1));
    p.setBrush(paper);
    p.drawPath(strip);

    QLinearGradient fade(50, 0, 250, 0);
    fade.setColorAt(0, Qt::transparent);
    fade.setColorAt(1, Qt::black);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.fillRect(layer.rect(), fade);
    return layer;
}

// One half of the scissors, along the x axis with the pivot at the origin:
// the blade runs to +x, the handle to -x. The blade's back lies on side
// (1: +y, -1: -y), its finger ring on the other side.
QPainterPath bladePath(double side)
{
    constexpr double length = 138, width = 22;
    QPainterPath blade;
    blade.moveTo(-8, 0);
    blade.lineTo(length, 0);  // the cutting edge
    blade.cubicTo(length - 14, side * width * 0.4, length * 0.45, side * width, 6, side * width);
    blade.quadTo(-10, side * width, -12, side * width * 0.3);
    blade.closeSubpath();
    return blade;
}

QPainterPath handlePath(double side)
{
    const double ring = -side;
    const QPointF centre(-70, ring * 30);
    QPainterPath spine;
    spine.moveTo(-4, ring * 2);
    spine.cubicTo(-24, ring * 4, -34, ring * 12, centre.x() + 16, centre.y() - ring * 8);
    QPainterPathStroker stroker;
    stroker.setWidth(12);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath shank = stroker.createStroke(spine);

    QPainterPath outer;
    outer.addEllipse(centre, 30, 21);
    QPainterPath hole;
    hole.addEllipse(centre, 20, 12);
    return shank.united(outer).subtracted(hole);
}

QPainterPath halfPath(double side) { return bladePath(side).united(handlePath(side)); }

void drawSilver(QPainter& p, const QPainterPath& shape, double side)
{
    const QRectF box = shape.boundingRect();
    QLinearGradient metal(0, box.top(), 0, box.bottom());
    const QColor light(0xf7, 0xf8, 0xfa), mid(0xc0, 0xc6, 0xce), dark(0x7c, 0x84, 0x8e);
    metal.setColorAt(0, side > 0 ? mid : light);
    metal.setColorAt(0.35, side > 0 ? light : mid);
    metal.setColorAt(0.65, side > 0 ? mid : light);
    metal.setColorAt(1, side > 0 ? light : dark);
    p.setPen(QPen(QColor(0x4e, 0x55, 0x5e), 1.2));
    p.setBrush(metal);
    p.drawPath(shape);
}

void drawHalf(QPainter& p, const QTransform& place, double side)
{
    p.save();
    p.setTransform(place);
    drawSilver(p, halfPath(side), side);
    // A bright line along the blade's back, and the cutting edge's bevel.
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.6));
    p.drawLine(QPointF(12, side * 12), QPointF(100, side * 6));
    p.setPen(QPen(QColor(0x6a, 0x72, 0x7c), 1));
    p.drawLine(QPointF(4, side * 3), QPointF(128, side * 1.2));
    p.restore();
}

QTransform halfPlace(QPointF pivot, double axisDegrees, double openDegrees)
{
    QTransform place;
    place.translate(pivot.x(), pivot.y());
    place.rotate(axisDegrees + openDegrees);
    return place;
}

void drawPivot(QPainter& p, QPointF pivot)
{
    QRadialGradient screw(pivot - QPointF(2, 2), 8);
    screw.setColorAt(0, Qt::white);
    screw.setColorAt(1, QColor(0x8a, 0x92, 0x9c));
    p.setPen(QPen(QColor(0x45, 0x4b, 0x53), 1.2));
    p.setBrush(screw);
    p.drawEllipse(pivot, 6.5, 6.5);
    p.drawLine(pivot + QPointF(-3.5, 3.5), pivot + QPointF(3.5, -3.5));
}

}  // namespace

QImage drawAboutPicture()
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    // Blades down to the left, handles up to the right, opened around the
    // paper: one half under it, the other over it.
    const QPointF pivot(322, 186);
    const double axis = 146;  // degrees, clockwise from the x axis
    const double open = 12;
    const QTransform under = halfPlace(pivot, axis, -open), over = halfPlace(pivot, axis, open);

    drawSoftShadow(p, under.map(halfPath(-1)), {4, 7}, 70);
    drawHalf(p, under, -1);
    p.drawImage(0, 0, paperLayer());
    drawSoftShadow(p, over.map(halfPath(1)), {4, 7}, 70);
    drawHalf(p, over, 1);
    drawPivot(p, pivot);
    return picture;
}

}  // namespace ui
